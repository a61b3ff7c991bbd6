#pragma once

#include "platform/ui/PanGestureRecognizer.h"
#include "screens/dashboard/DashboardPage.h"
#include "screens/dashboard/SpeedLimit.h"
#include "views/HalfDialView.h"

#include <QLabel>
#include <QPointer>

// Base of the two speed-limit pages: a half-circle dial the rider drags along, the label
// with the limit, and the upload of both limits to the device server, which puts back the
// last accepted value when the server does not take the new one.
class AlertPresenter;
struct AppContext;

class SpeedPage : public DashboardPage
{
    Q_OBJECT

public:
    // Where a touch lies along the dial: 0 at its left edge, 1 at its right edge, not
    // clamped.
    static float dragPosition(qreal x, int dialWidth);

    // Sends both stored limits; this page's limit counts as sent with its stored value.
    void uploadSpeed();
    // The one-button alert "提示" of this page.
    void MyAlertView(const QString& message);

protected:
    // The context's alerts tell the rider of a refused change after the page is gone.
    SpeedPage(SpeedLimit::Kind kind, AppContext& context, QWidget* parent);

    SpeedLimit& limit() const { return SpeedLimit::of(m_kind); }

    // Shows the stored limit and takes it as the confirmed value when nothing is on its way.
    virtual void initSpeed() = 0;
    virtual void handlePanFrom(PanGestureRecognizer* recognizer) = 0;

    // The dial, the value label inside it and the help text under the page dots.
    void buildDial(HalfDialView* dial, QLabel* value, const QString& hint);
    // A small grey scale mark outside the dial at position p along it.
    void addScaleMark(const QString& text, double p);

private:
    // With `alert`, the rider is told of the refusal: on the page while it exists, otherwise
    // through `alerts`.
    static void restore(QPointer<SpeedPage> page, SpeedLimit::Kind kind,
                        AlertPresenter* alerts = nullptr, bool alert = false);

    SpeedLimit::Kind m_kind;
    AppContext& m_app;
    QPointer<PanGestureRecognizer> m_pan;
};
