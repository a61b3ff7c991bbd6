#include "platform/ui/AlertController.h"
#include "platform/ui/OverlayAlertPresenter.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class tst_AlertController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tipAlertReadsAndCloses();
    void cancelAndDefaultActionsRunTheirHandlers();
    void textFieldContentReachesTheHandler();
    void secondAlertIsNotStackedOnTheFirst();
    void clickingAButtonPressesIt();
    void presenterShowsCoreAlertsOneAfterAnother();
    void longMessagesGetTheirWholeHeight();

private:
    QWidget* m_window = nullptr;
};

void tst_AlertController::init()
{
    m_window = new QWidget;
    m_window->resize(360, 640);
    m_window->show();
}

void tst_AlertController::cleanup()
{
    delete m_window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(AlertController::visibleAlerts().isEmpty());
}

void tst_AlertController::tipAlertReadsAndCloses()
{
    auto* child = new QWidget(m_window);
    QVERIFY(AlertController::showTip(child, "密码过短!"));
    AlertController* alert = AlertController::topAlert();
    QVERIFY(alert);
    QCOMPARE(alert->title(), QString("提示"));
    QCOMPARE(alert->message(), QString("密码过短!"));
    QCOMPARE(alert->actionTitles(), QStringList({"确定"}));
    QCOMPARE(alert->parentWidget(), m_window);
    QCOMPARE(alert->geometry(), m_window->rect());
    QVERIFY(alert->pressAction("确定"));
    QVERIFY(AlertController::topAlert() == nullptr);
}

void tst_AlertController::cancelAndDefaultActionsRunTheirHandlers()
{
    QStringList ran;
    auto* alert = new AlertController("切换用户", "点击切换之后将清空数据,并返回设备匹配界面.");
    alert->addAction("取消", AlertController::ActionStyle::Cancel, [&] { ran << "cancel"; });
    alert->addAction("切换", AlertController::ActionStyle::Default, [&] { ran << "switch"; });
    QVERIFY(alert->presentOver(m_window));
    QCOMPARE(alert->actionTitles(), QStringList({"取消", "切换"}));
    QCOMPARE(alert->actionStyle(0), AlertController::ActionStyle::Cancel);
    QCOMPARE(alert->actionStyle(1), AlertController::ActionStyle::Default);
    alert->pressAction(1);
    alert->pressAction(0);
    QCOMPARE(ran, QStringList({"switch"}));
    QVERIFY(!alert->pressAction("nothing"));
}

void tst_AlertController::textFieldContentReachesTheHandler()
{
    QString typed;
    auto* alert = new AlertController("提示", "邮件发送成功,请注意查收!");
    QLineEdit* field = alert->addTextField();
    QCOMPARE(field->placeholderText(), QString());
    alert->addAction("确定", AlertController::ActionStyle::Default,
                     [&, field] { typed = field->text(); });
    alert->presentOver(m_window);
    QCOMPARE(AlertController::topAlert()->textFields().size(), 1);
    QTest::keyClicks(AlertController::topAlert()->textFields().first(), "7QX2");
    AlertController::topAlert()->pressAction("确定");
    QCOMPARE(typed, QString("7QX2"));
}

void tst_AlertController::secondAlertIsNotStackedOnTheFirst()
{
    QVERIFY(AlertController::showTip(m_window, "用户名过短!"));
    QVERIFY(!AlertController::showTip(m_window, "密码过短!"));
    QCOMPARE(AlertController::visibleAlerts().size(), 1);
    QCOMPARE(AlertController::topAlert()->message(), QString("用户名过短!"));
    AlertController::topAlert()->pressAction(0);
    QVERIFY(AlertController::showTip(m_window, "密码过短!"));
    AlertController::topAlert()->pressAction(0);
}

void tst_AlertController::clickingAButtonPressesIt()
{
    bool pressed = false;
    auto* alert = new AlertController("选择图像", "选择一张图片作为您的头像.");
    alert->addAction("取消", AlertController::ActionStyle::Cancel);
    alert->addAction("从相册选择", AlertController::ActionStyle::Default, [&] { pressed = true; });
    alert->presentOver(m_window);
    QPushButton* button = nullptr;
    for (QPushButton* b : alert->findChildren<QPushButton*>()) {
        if (b->text() == "从相册选择")
            button = b;
    }
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(pressed);
    QVERIFY(AlertController::topAlert() == nullptr);
}

void tst_AlertController::presenterShowsCoreAlertsOneAfterAnother()
{
    OverlayAlertPresenter presenter(m_window);
    QList<int> answers;
    AlertController::showTip(m_window, "网络访问出错!");
    presenter.showAlert("报警", "围栏报警", {"OK"}, [&](int i) { answers << i; });
    presenter.showAlert("报警", "电量报警", {"OK", "Later"}, [&](int i) { answers << 10 + i; });
    QCOMPARE(AlertController::topAlert()->message(), QString("网络访问出错!"));
    AlertController::topAlert()->pressAction(0);
    QCOMPARE(AlertController::topAlert()->title(), QString("报警"));
    QCOMPARE(AlertController::topAlert()->message(), QString("围栏报警"));
    AlertController::topAlert()->pressAction("OK");
    QCOMPARE(AlertController::topAlert()->message(), QString("电量报警"));
    AlertController::topAlert()->pressAction("Later");
    QCOMPARE(answers, QList<int>({0, 11}));
    QCOMPARE(presenter.queuedCount(), 0);
}

void tst_AlertController::longMessagesGetTheirWholeHeight()
{
    const QString message = QString("Switching clears all data on this phone and returns to "
                                    "device binding. ")
                                .repeated(3);
    auto* alert = new AlertController("Switch user", message);
    alert->addAction("Cancel", AlertController::ActionStyle::Cancel);
    alert->addAction("Switch");
    QVERIFY(alert->presentOver(m_window));
    QLabel* text = nullptr;
    for (QLabel* label : alert->findChildren<QLabel*>()) {
        if (label->text() == message)
            text = label;
    }
    QVERIFY(text);
    QVERIFY(text->height() >= text->heightForWidth(text->width()));
    QWidget* card = text->parentWidget();
    for (QPushButton* button : card->findChildren<QPushButton*>())
        QVERIFY(card->rect().contains(
            button->geometry().translated(button->parentWidget()->mapTo(card, QPoint(0, 0)))));
    alert->pressAction(0);
}

QTEST_MAIN(tst_AlertController)
#include "tst_AlertController.moc"
