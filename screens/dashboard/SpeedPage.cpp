#include "screens/dashboard/SpeedPage.h"

#include "platform/AlertPresenter.h"
#include "platform/Localized.h"
#include "platform/NumberText.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Theme.h"
#include "protocol/DeviceServer.h"
#include "screens/AppContext.h"
#include "store/MyBasicInfo.h"
#include "views/HalfDialView.h"

#include <QLabel>
#include <cmath>

namespace {

constexpr double DialTop = 170;
constexpr double DialWidth = 600;

const char* const FailureMessage = "网络访问出错,速度设置失败!";

} // namespace

SpeedPage::SpeedPage(SpeedLimit::Kind kind, AppContext& context, QWidget* parent)
    : DashboardPage(parent), m_kind(kind), m_app(context)
{
}

float SpeedPage::dragPosition(qreal x, int dialWidth)
{
    return float(double(x) / double(float(dialWidth)));
}

void SpeedPage::buildDial(HalfDialView* dial, QLabel* value, const QString& hint)
{
    dial->setAttribute(Qt::WA_TranslucentBackground);
    place(dial, [this] { return squareFrame(360, DialTop, DialWidth, DialWidth / 2); });
    m_pan = new PanGestureRecognizer(dial, [this](PanGestureRecognizer* r) { handlePanFrom(r); });
    m_pan->setObjectName(QStringLiteral("pan"));
    m_pan->setMaximumNumberOfTouches(1);

    auto dialBottom = [this] { return py(DialTop) + px(DialWidth / 2); };
    place(value, [=, this] { return QRectF(0, dialBottom() - px(170), width(), px(130)); });
    value->setAttribute(Qt::WA_TransparentForMouseEvents);
    QLabel* unit = addLabel(QStringLiteral("km/h"), Theme::Muted, 28);
    unit->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(unit, [=, this] { return QRectF(0, dialBottom() - px(44), width(), px(40)); });

    addCard(30, 770, 660, 320);
    QLabel* help = addHint(hint);
    place(help, [this] { return QRectF(px(80), py(790), px(560), py(280)); });
}

void SpeedPage::addScaleMark(const QString& text, double p)
{
    QLabel* mark = addLabel(text, Theme::Muted, 24, true);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(mark, [=, this] {
        const double angle = M_PI * (1.0 + p);
        const double radius = px(DialWidth) * 0.47;
        const QPointF centre(px(360) + radius * std::cos(angle),
                             py(DialTop) + px(DialWidth / 2) + radius * std::sin(angle));
        return QRectF(centre.x() - px(30), centre.y() - px(18), px(60), px(36));
    });
}

void SpeedPage::uploadSpeed()
{
    const QString devid = MyBasicInfo::GetValue(QStringLiteral("devid"));
    const QString maxspeed = MyBasicInfo::GetValue(QStringLiteral("maxspeed"));
    const QString lightspeed = MyBasicInfo::GetValue(QStringLiteral("lightspeed"));
    const QString sent = m_kind == SpeedLimit::Kind::MaxSpeed ? maxspeed : lightspeed;
    const SpeedLimit::Kind kind = m_kind;
    const quint64 ticket = limit().send(NumberText::toLong(sent));
    AlertPresenter* alerts = m_app.alerts;
    QPointer<SpeedPage> self(this);
    m_app.server->updateSpeed(
        devid, maxspeed, lightspeed,
        [self, kind, ticket] {
            if (SpeedLimit::of(kind).accepted(ticket) == SpeedLimit::Outcome::Restore)
                restore(self, kind);
        },
        [self, kind, ticket, alerts](const QString& error) {
            DeviceServer::logError(error);
            if (SpeedLimit::of(kind).failed(ticket) == SpeedLimit::Outcome::RestoreAndAlert)
                restore(self, kind, alerts, true);
        });
}

// The last value the server accepted goes back into the store and onto the page; the page
// may be gone by then (the rider left the section), the store is restored all the same.
void SpeedPage::restore(QPointer<SpeedPage> page, SpeedLimit::Kind kind, AlertPresenter* alerts,
                        bool alert)
{
    const QString message = Localized::string(QString::fromUtf8(FailureMessage));
    if (alert) {
        if (page)
            page->MyAlertView(message);
        else if (alerts)
            alerts->showAlert(Localized::string(QStringLiteral("提示")), message,
                              {Localized::string(QStringLiteral("确定"))});
    }
    const SpeedLimit& limit = SpeedLimit::of(kind);
    MyBasicInfo::SetValue(limit.key(), QString::asprintf("%lld", limit.confirmed()));
    if (page)
        page->initSpeed();
}

void SpeedPage::MyAlertView(const QString& message)
{
    AlertController::showTip(this, message);
}
