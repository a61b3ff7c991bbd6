#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "protocol/ReturnMarker.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

// Password recovery: once the rider has typed back the code shown on screen, the device
// server mails the account's password to the address given at registration.
class ViewControllerFindPwd : public Screen, public TextFieldDelegate
{
    Q_OBJECT

public:
    explicit ViewControllerFindPwd(AppContext& context, QWidget* parent = nullptr);
    ~ViewControllerFindPwd() override;

    void RefshCode();
    // A new code, shown at once.
    void getAuthcode();
    void ProcessFindPwd();
    void MyAlertView(const QString& message);

    bool textFieldShouldReturn(TextField* field) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildViews();
    QRectF avatarFrame() const;
    QString checkProblem() const;
    void handleAnswer(ReturnMarker::Marker marker);
    void showSentDialog();

    AppContext& m_app;
    QPointer<TextField> m_textEmail;
    QPointer<TextField> m_textCode;
    QPointer<QLabel> m_myCustomCOde;
    QPointer<ImageView> m_touXiangImage;
    QPointer<Button> m_sendButton;
    QPointer<Button> m_refreshButton;
    QPointer<Button> m_backButton;
    QPointer<QLabel> m_title;
    QPointer<QLabel> m_subtitle;
};
