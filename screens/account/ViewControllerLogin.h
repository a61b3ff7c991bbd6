#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

class StatusAnswer;

// Login to the account the device server keeps for the bound device: remembers the user
// name and, when ticked, the password; opens password recovery; and, from a tap on the
// avatar, switches to another device by emptying the local database.
class ViewControllerLogin : public Screen, public TextFieldDelegate
{
    Q_OBJECT

public:
    explicit ViewControllerLogin(AppContext& context, QWidget* parent = nullptr);
    ~ViewControllerLogin() override;

    void ProcessLogin();
    void ProcessGouHao();
    void GoToFindPwd();
    void tapPageTouXiang();
    // The switch-user confirmation.
    void showOkayCancelAlert();
    void MyAlertView(const QString& message);

    bool textFieldShouldReturn(TextField* field) override;

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidLayoutSubviews() override;
    void paintEvent(QPaintEvent* event) override;
    void didRelease() override;

private:
    void buildViews();
    void loadFields();
    QRectF avatarFrame() const;
    qreal rowPixels() const;
    // "login2.png" while the tick is set, "login1.png" otherwise.
    QString gouHaoImageName() const;
    void setGouHao(bool ticked);
    QString lengthProblem() const;
    void handleAnswer(const StatusAnswer& answer);
    void switchUser();

    AppContext& m_app;
    QPointer<TextField> m_textUserName;
    QPointer<TextField> m_textPwd;
    QPointer<Button> m_gouHaoButton;
    QPointer<Button> m_gouHaoCaption;
    QPointer<Button> m_loginButton;
    QPointer<Button> m_findPwdButton;
    QPointer<ImageView> m_touXiangImage;
    QPointer<QLabel> m_title;
    QPointer<QLabel> m_subtitle;
    QPointer<QLabel> m_hint;
    bool m_gouHaoState = false;
    bool m_appeared = false;
};
