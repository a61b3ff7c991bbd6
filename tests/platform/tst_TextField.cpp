#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"

#include <QTest>

namespace {

// A form that moves up for the keyboard while a field edits, as the registration does.
class Form : public Screen, public TextFieldDelegate
{
public:
    QStringList events;
    TextField* name = new TextField(this);
    TextField* pwd = new TextField(this);

    Form()
    {
        name->setObjectName("name");
        pwd->setObjectName("pwd");
        name->setDelegate(this);
        pwd->setDelegate(this);
    }
    bool textFieldShouldReturn(TextField* field) override
    {
        events << "return " + field->objectName();
        field->resignFirstResponder();
        return true;
    }
    void textFieldDidBeginEditing(TextField* field) override
    {
        events << "begin " + field->objectName();
        animateViewOffset(-120);
    }
    void textFieldDidEndEditing(TextField* field) override
    {
        events << "end " + field->objectName();
        animateViewOffset(120);
    }
};

} // namespace

class tst_TextField : public QObject
{
    Q_OBJECT

private slots:
    void beginEndAndReturn();
    void movingToAnotherFieldEndsTheFirstBeforeBeginningTheSecond();
    void focusFromTheWindowDrivesTheEvents();
    void leftImageScalesToTheFieldHeight();
};

void tst_TextField::beginEndAndReturn()
{
    Form form;
    form.setBaseGeometry(QRect(0, 0, 360, 640));
    form.name->becomeFirstResponder();
    QVERIFY(form.name->isFirstResponder());
    QCOMPARE(TextField::firstResponder(), form.name);
    form.finishAnimations();
    QCOMPARE(form.geometry().top(), -120);
    QTest::keyClick(form.name, Qt::Key_Return);
    QCOMPARE(form.events, QStringList({"begin name", "return name", "end name"}));
    QVERIFY(!form.name->isFirstResponder());
    form.finishAnimations();
    QCOMPARE(form.geometry().top(), 0);
}

void tst_TextField::movingToAnotherFieldEndsTheFirstBeforeBeginningTheSecond()
{
    Form form;
    form.setBaseGeometry(QRect(0, 0, 360, 640));
    form.name->becomeFirstResponder();
    form.pwd->becomeFirstResponder();
    QCOMPARE(form.events, QStringList({"begin name", "end name", "begin pwd"}));
    form.finishAnimations();
    QCOMPARE(form.viewOffsetTarget(), -120.0);
    QCOMPARE(form.geometry().top(), -120);
    form.pwd->pressReturn();
    form.finishAnimations();
    QCOMPARE(form.geometry().top(), 0);
}

void tst_TextField::focusFromTheWindowDrivesTheEvents()
{
    Form form;
    form.resize(360, 640);
    form.show();
    form.activateWindow();
    form.name->setFocus(Qt::MouseFocusReason);
    if (!form.name->hasFocus())
        QSKIP("this platform gives no input focus to the test window");
    QCOMPARE(form.events.value(0), QString("begin name"));
    form.pwd->setFocus(Qt::TabFocusReason);
    QCOMPARE(form.events, QStringList({"begin name", "end name", "begin pwd"}));
}

void tst_TextField::leftImageScalesToTheFieldHeight()
{
    TextField field;
    field.resize(200, 40);
    QImage icon(20, 10, QImage::Format_ARGB32);
    icon.fill(QColor(19, 146, 134));
    field.setLeftImage(icon);
    QCOMPARE(field.textMargins().left(), 80);
    QImage picture(field.size(), QImage::Format_ARGB32);
    picture.fill(Qt::white);
    field.render(&picture);
    QCOMPARE(picture.pixelColor(40, 20), QColor(19, 146, 134));
    QVERIFY(picture.pixelColor(120, 20) != QColor(19, 146, 134));
}

QTEST_MAIN(tst_TextField)
#include "tst_TextField.moc"
