#pragma once

#include "platform/ui/Screen.h"

#include "platform/ui/ImageView.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

// The riders-mode page under the position map: a rider card, first the user's own, then
// the card of each nearby rider whose mark is selected on the map ("SelectLvYou").
class AllOfPosPages2 : public Screen
{
    Q_OBJECT

public:
    explicit AllOfPosPages2(AppContext& context, QWidget* parent = nullptr);

    void InitData();
    // The card of the rider whose mark posted the notification.
    void ProcessSelectLvYou(QObject* mark);

    static QString usernameText(const QString& name, const QString& levelname,
                                const QString& level);
    static QString paimingText(const QString& paiming);
    static QString weixinText(const QString& weixin);

protected:
    void viewDidLoad() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildCard();
    void showAvatar(const QString& address);

    AppContext& m_app;
    QPointer<ImageView> m_touxiangimage;
    QPointer<QLabel> m_username;
    QPointer<QLabel> m_paiming;
    QPointer<QLabel> m_weixin;
};
