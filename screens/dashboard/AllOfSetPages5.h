#pragma once

#include "platform/net/WebView.h"
#include "platform/ui/Button.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "screens/dashboard/DashboardPage.h"
#include "views/WeiLanCustomView.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

// The dashboard's geofence page: the fence radius, 30 m to 3 km, chosen by dragging along
// the dial and kept as the dial angle in weilanradio; the children mode switch (weilanmode),
// under which every reload moves the fence's centre to the device's last position; and the
// device server's map page showing the fence.
class AllOfSetPages5 : public DashboardPage
{
    Q_OBJECT

public:
    static constexpr const char* ChildrenOnImage = "childern.png";
    static constexpr const char* ChildrenOffImage = "childernp.png";

    explicit AllOfSetPages5(AppContext& context, QWidget* parent = nullptr);

    // Degrees along the dial for a touch at t, kept within 15 to 165.
    static float angleFor(float t);

    // Shows the stored settings and loads the map page.
    void InitWeiLan();
    // Toggles children mode.
    void processchildren();
    // Loads the map page for a radius in metres around a position.
    void loadString(int radius, float lng, float lat);

protected:
    void viewDidLoad() override;

private:
    void buildDial();
    void buildChildrenButton();
    void buildMap();
    void handlePanFrom(PanGestureRecognizer* recognizer);
    void storeAngle(float angle);
    void showChildrenImage(const QString& name);

    AppContext& m_app;
    QPointer<WeiLanCustomView> m_MyWLCView;
    QPointer<QLabel> m_weilanradio;
    QPointer<Button> m_childrenbutton;
    QPointer<WebView> m_MyWebView;
    QPointer<PanGestureRecognizer> m_pan;
};
