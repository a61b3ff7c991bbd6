#include "screens/dashboard/SpeedLimit.h"

#include <QtTest>

using Outcome = SpeedLimit::Outcome;

// The pending and confirmed values of one speed limit through uploads whose answers come
// late, fail, or overtake one another.
class tst_SpeedLimit : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void onePerKindForTheWholeRun();
    void loadConfirmsTheStoredValue();
    void anAnswerConfirmsWhatItsRequestSent();
    void quickDragsNeverConfirmAnUnsentValue();
    void newestFailureRestoresTheLastAcceptedValue();
    void olderFailureLeavesTheDecisionToTheNewerUpload();
    void olderAcceptanceAfterNewestFailureIsShown();
    void lateOlderAcceptanceDoesNotOverrideANewerOne();
    void loadDuringAnUploadKeepsTheConfirmedValue();
    void answersAreTakenOnce();

private:
    SpeedLimit& limit() { return SpeedLimit::of(SpeedLimit::Kind::MaxSpeed); }
};

void tst_SpeedLimit::init()
{
    SpeedLimit::of(SpeedLimit::Kind::MaxSpeed).reset();
    SpeedLimit::of(SpeedLimit::Kind::LightSpeed).reset();
}

void tst_SpeedLimit::onePerKindForTheWholeRun()
{
    SpeedLimit& max = SpeedLimit::of(SpeedLimit::Kind::MaxSpeed);
    SpeedLimit& light = SpeedLimit::of(SpeedLimit::Kind::LightSpeed);
    QCOMPARE(&max, &SpeedLimit::of(SpeedLimit::Kind::MaxSpeed));
    QVERIFY(&max != &light);
    QCOMPARE(max.key(), QString("maxspeed"));
    QCOMPARE(light.key(), QString("lightspeed"));
    max.load(20);
    light.load(12);
    QCOMPARE(max.confirmed(), qint64(20));
    QCOMPARE(light.confirmed(), qint64(12));
}

void tst_SpeedLimit::loadConfirmsTheStoredValue()
{
    limit().load(25);
    QCOMPARE(limit().pending(), qint64(25));
    QCOMPARE(limit().confirmed(), qint64(25));
    QVERIFY(!limit().hasUploadsInFlight());
}

void tst_SpeedLimit::anAnswerConfirmsWhatItsRequestSent()
{
    limit().load(20);
    const quint64 ticket = limit().send(30);
    QCOMPARE(limit().pending(), qint64(30));
    QCOMPARE(limit().confirmed(), qint64(20));
    QVERIFY(limit().hasUploadsInFlight());
    QCOMPARE(limit().accepted(ticket), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
    QVERIFY(!limit().hasUploadsInFlight());
}

void tst_SpeedLimit::quickDragsNeverConfirmAnUnsentValue()
{
    limit().load(20);
    const quint64 first = limit().send(25);
    const quint64 second = limit().send(30);
    QCOMPARE(limit().accepted(first), Outcome::Nothing);
    // The first answer confirms 25, which it carried, not the 30 still on its way.
    QCOMPARE(limit().confirmed(), qint64(25));
    QCOMPARE(limit().pending(), qint64(30));
    QCOMPARE(limit().failed(second), Outcome::RestoreAndAlert);
    QCOMPARE(limit().confirmed(), qint64(25));
}

void tst_SpeedLimit::newestFailureRestoresTheLastAcceptedValue()
{
    limit().load(20);
    QCOMPARE(limit().failed(limit().send(30)), Outcome::RestoreAndAlert);
    QCOMPARE(limit().confirmed(), qint64(20));
}

void tst_SpeedLimit::olderFailureLeavesTheDecisionToTheNewerUpload()
{
    limit().load(20);
    const quint64 first = limit().send(25);
    const quint64 second = limit().send(30);
    QCOMPARE(limit().failed(first), Outcome::Nothing);
    QCOMPARE(limit().accepted(second), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
}

void tst_SpeedLimit::olderAcceptanceAfterNewestFailureIsShown()
{
    limit().load(20);
    const quint64 first = limit().send(25);
    const quint64 second = limit().send(30);
    QCOMPARE(limit().failed(second), Outcome::RestoreAndAlert);
    QCOMPARE(limit().confirmed(), qint64(20));
    // The server did take 25 after all: the page shows it instead of the 20 it put back.
    QCOMPARE(limit().accepted(first), Outcome::Restore);
    QCOMPARE(limit().confirmed(), qint64(25));
}

void tst_SpeedLimit::lateOlderAcceptanceDoesNotOverrideANewerOne()
{
    limit().load(20);
    const quint64 first = limit().send(25);
    const quint64 second = limit().send(30);
    QCOMPARE(limit().accepted(second), Outcome::Nothing);
    QCOMPARE(limit().accepted(first), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
}

void tst_SpeedLimit::loadDuringAnUploadKeepsTheConfirmedValue()
{
    limit().load(20);
    const quint64 ticket = limit().send(30);
    // A page loaded meanwhile reads the 30 already stored; the server has not taken it yet.
    limit().load(30);
    QCOMPARE(limit().pending(), qint64(30));
    QCOMPARE(limit().confirmed(), qint64(20));
    QCOMPARE(limit().failed(ticket), Outcome::RestoreAndAlert);
    QCOMPARE(limit().confirmed(), qint64(20));
    limit().load(20);
    QCOMPARE(limit().confirmed(), qint64(20));
}

void tst_SpeedLimit::answersAreTakenOnce()
{
    limit().load(20);
    const quint64 ticket = limit().send(30);
    QCOMPARE(limit().accepted(ticket), Outcome::Nothing);
    QCOMPARE(limit().failed(ticket), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
    // Tickets from before a reset cannot pass for new ones.
    limit().reset();
    QCOMPARE(limit().accepted(ticket), Outcome::Nothing);
    QCOMPARE(limit().failed(ticket), Outcome::Nothing);
    QVERIFY(limit().send(15) > ticket);
}

QTEST_MAIN(tst_SpeedLimit)
#include "tst_SpeedLimit.moc"
