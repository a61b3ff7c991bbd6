#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLineEdit;
class QVBoxLayout;
class QHBoxLayout;

// An alert-style dialog over the whole window: title, message, optional text fields and
// buttons of cancel or default style. It never blocks: pressing a button closes it and
// runs that button's handler. Only one alert shows in a window at a time; presenting a
// second while one is up shows nothing.
class AlertController : public QWidget
{
    Q_OBJECT

public:
    enum class ActionStyle { Default, Cancel, Destructive };

    AlertController(const QString& title, const QString& message);
    ~AlertController() override;

    void addAction(const QString& title, ActionStyle style = ActionStyle::Default,
                   std::function<void()> handler = {});
    QLineEdit* addTextField(const QString& placeholder = QString());
    QList<QLineEdit*> textFields() const { return m_fields; }

    // Shows the alert over the window that holds `anchor`. Answers false, and deletes the
    // alert, when another alert already shows there.
    bool presentOver(QWidget* anchor);
    // The one-button alert "提示" with the message and "确定", which only closes it.
    static AlertController* showTip(QWidget* anchor, const QString& message);

    QString title() const { return m_title; }
    QString message() const { return m_message; }
    QStringList actionTitles() const;
    ActionStyle actionStyle(int index) const;
    // Presses a button as the rider would: the alert closes, then the handler runs.
    void pressAction(int index);
    bool pressAction(const QString& title);

    // The alerts on display now, oldest first, and the newest one.
    static QList<AlertController*> visibleAlerts();
    static AlertController* topAlert();

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Action
    {
        QString title;
        ActionStyle style;
        std::function<void()> handler;
    };
    void buildButtons();
    void fitToWindow();

    QString m_title;
    QString m_message;
    QList<Action> m_actions;
    QList<QLineEdit*> m_fields;
    QWidget* m_card;
    QVBoxLayout* m_cardLayout;
    QWidget* m_buttonRow = nullptr;
    bool m_closing = false;
};
