#include "platform/ui/Switch.h"

#include <QSignalSpy>
#include <QtTest>

// The on/off switch: taps flip it and tell, setting it does not, and it draws its state
// in its colours at its scale.
class tst_Switch : public QObject
{
    Q_OBJECT

private slots:
    void tapFlipsAndTells();
    void setOnIsSilent();
    void drawsItsStateScaled();
};

void tst_Switch::tapFlipsAndTells()
{
    Switch toggle;
    QSignalSpy changed(&toggle, &Switch::valueChanged);
    toggle.tap();
    QVERIFY(toggle.isOn());
    toggle.tap();
    QVERIFY(!toggle.isOn());
    QCOMPARE(changed.count(), 2);
}

void tst_Switch::setOnIsSilent()
{
    Switch toggle;
    QSignalSpy changed(&toggle, &Switch::valueChanged);
    QSignalSpy clicked(&toggle, &QAbstractButton::toggled);
    toggle.setOn(true);
    QVERIFY(toggle.isOn());
    QCOMPARE(changed.count(), 0);
    QCOMPARE(clicked.count(), 0);
}

void tst_Switch::drawsItsStateScaled()
{
    Switch toggle;
    toggle.setOnTintColor(QColor(23, 156, 129));
    toggle.setTintColor(QColor(188, 190, 192));
    toggle.setThumbTintColor(QColor(241, 242, 242));
    toggle.setScale(2.0);
    QCOMPARE(toggle.sizeHint(), QSize(102, 62));
    toggle.resize(122, 82);
    QCOMPARE(toggle.trackRect(), QRectF(10, 10, 102, 62));

    toggle.setOn(true);
    QImage on = toggle.grab().toImage();
    // On: the track is filled with the on-tint left of the thumb, which sits at the right.
    QCOMPARE(on.pixelColor(26, 41), QColor(23, 156, 129));
    QCOMPARE(on.pixelColor(81, 41), QColor(241, 242, 242));

    toggle.setOn(false);
    QImage off = toggle.grab().toImage();
    // Off: white inside a tint border, the thumb at the left.
    QCOMPARE(off.pixelColor(96, 41), QColor(Qt::white));
    QCOMPARE(off.pixelColor(110, 41), QColor(188, 190, 192));
    QCOMPARE(off.pixelColor(41, 41), QColor(241, 242, 242));
}

QTEST_MAIN(tst_Switch)
#include "tst_Switch.moc"
