#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "protocol/ReturnMarker.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <optional>

struct AppContext;

class StatusAnswer;

// Registration of the account for the bound device: the rider proves the e-mail address with
// a code the server mails to it, may pick an avatar (uploaded at once) and registers; success
// opens the riding dashboard.
class ViewControllerRegister : public Screen,
                               public TextFieldDelegate,
                               public ImagePickerControllerDelegate
{
    Q_OBJECT

public:
    // Side of the uploaded avatar in pixels.
    static constexpr int AvatarSide = 256;
    // Points the screen moves up while a field is edited, so the keyboard leaves it visible.
    static constexpr int KeyboardOffset = 120;

    explicit ViewControllerRegister(AppContext& context, QWidget* parent = nullptr);
    ~ViewControllerRegister() override;

    void GetVcode();
    void getAuthcode();
    void ProcessRegisterButton();
    void tapPageTouXiang();
    // The avatar source dialog.
    void showCustomAlert();
    // 0 nothing, 1 camera, 2 photo library.
    void CustomSheet(int choice);
    // The picture as the rider cropped it: clipped round, scaled, shown and uploaded.
    void didFinishPickingImage(const QImage& edited);
    void imagePickerControllerDidFinishPicking(ImagePickerController* picker,
                                               const ImagePickerResult& result) override;
    void uploadFile(const QImage& image);
    void MyAlertView(const QString& message);
    void animateTextField(TextField* field, bool up);

    // The picture clipped to the ellipse inset by `inset` points; transparent outside it.
    static QImage circleImage(const QImage& image, double inset);
    // The picture stretched to AvatarSide x AvatarSide pixels.
    static QImage imageByScalingToSize(const QImage& image);
    // Keeps the upload's answer as the avatar address when it is an http(s) URL.
    static void storeUploadAnswer(const std::optional<QString>& text);

    bool textFieldShouldReturn(TextField* field) override;
    void textFieldDidBeginEditing(TextField* field) override;
    void textFieldDidEndEditing(TextField* field) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildViews();
    QRectF avatarFrame() const;
    QList<TextField*> fields() const;
    // Whether the address now in the e-mail field is the one verified in this run.
    bool emailVerified() const;
    QString formProblem() const;
    void handleCodeAnswer(ReturnMarker::Marker marker);
    void showCodeDialog();
    void checkCode(const QString& typed);
    void handleRegisterAnswer(const StatusAnswer& answer);
    // The line under the button says whether the address in the field is verified.
    void updateHint();

    AppContext& m_app;
    QPointer<TextField> m_username;
    QPointer<TextField> m_userpwd;
    QPointer<TextField> m_useremail;
    QPointer<TextField> m_userweixin;
    QPointer<ImageView> m_registerTouXiang;
    QPointer<Button> m_registerButton;
    QPointer<Button> m_vcodeButton;
    QPointer<QLabel> m_title;
    QPointer<QLabel> m_subtitle;
    QPointer<QLabel> m_hint;
    QPointer<ImagePickerController> m_picker;
    QString m_changeString;
    // The address the current code was mailed to.
    QString m_codeEmail;
};
