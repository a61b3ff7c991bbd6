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

    void olderAnswersLeaveTheDecisionToTheNewerUpload();
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

void tst_SpeedLimit::olderAnswersLeaveTheDecisionToTheNewerUpload()
{
    limit().load(20);
    const quint64 first = limit().send(25);
    const quint64 second = limit().send(30);
    QCOMPARE(limit().failed(first), Outcome::Nothing);
    QCOMPARE(limit().accepted(second), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(30));
    // A late acceptance of an older upload does not override a newer one.
    const quint64 third = limit().send(15);
    const quint64 fourth = limit().send(20);
    QCOMPARE(limit().accepted(fourth), Outcome::Nothing);
    QCOMPARE(limit().accepted(third), Outcome::Nothing);
    QCOMPARE(limit().confirmed(), qint64(20));
}

void tst_SpeedLimit::loadDuringAnUploadKeepsTheConfirmedValue()
{
    limit().load(20);
    const quint64 ticket = limit().send(30);
    // A page loaded meanwhile reads the 30 already stored; the server has not taken it yet.
    limit().load(30);
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
