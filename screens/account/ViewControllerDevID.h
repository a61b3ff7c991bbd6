#pragma once

#include "platform/Timer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "screens/account/RoundView.h"

#include <QLabel>
#include <QPointer>

struct AppContext;
struct DeviceInfo;

// Device binding: the rider types the tracker's number and taps connect; after a short
// pulsing animation the server is asked about the number, which leads on to login or
// registration.
class ViewControllerDevID : public Screen, public TextFieldDelegate
{
    Q_OBJECT

public:
    // Ticks of the connecting animation before the query goes out.
    static constexpr int PaintTicks = 31;
    static constexpr double PaintIntervalSeconds = 0.1;

    explicit ViewControllerDevID(AppContext& context, QWidget* parent = nullptr);
    ~ViewControllerDevID() override;

    void tapPageConnect();
    void startPainting();
    void stopPainting();
    // One tick of the connecting animation.
    void paint();
    void ProcessDevidQuery();
    void MyAlertView(const QString& message);

    bool textFieldShouldReturn(TextField* field) override;

protected:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildViews();
    void routeByAnswer(const DeviceInfo& info);

    AppContext& m_app;
    QPointer<TextField> m_textFieldDevID;
    QPointer<QLabel> m_label1;
    QPointer<QLabel> m_label2;
    QPointer<RoundView> m_connectBj;
    QPointer<RoundView> m_connect;
    QPointer<QLabel> m_title;
    QPointer<QLabel> m_subtitle;
    QPointer<QLabel> m_hint;
    QPointer<Timer> m_paintingTimer;
    int m_addalpha = 1;
    int m_addalphaTotalTime = 0;
};
