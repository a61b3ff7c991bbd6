#include "screens/dashboard/AllOfSetPages2.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/Timer.h"
#include "platform/ui/Button.h"
#include "platform/ui/Switch.h"
#include "platform/ui/Theme.h"
#include "poll/MyUtil.h"
#include "store/MyBasicInfo.h"
#include "views/PowerCustomView.h"
#include "views/PowerYuanHuanCustomView.h"
#include "views/RotateLvCustomView.h"

#include <QLabel>

namespace {

// The half ring and its logo share one frame of 2 : 1; the cylinder stands inside it.
constexpr double GaugeTop = 150;
constexpr double GaugeWidth = 600;
constexpr double CylinderWidth = 156;
constexpr double CylinderHeight = 196;

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

QString oneDecimal(float value)
{
    return QString::asprintf("%0.1f", double(value));
}

} // namespace

AllOfSetPages2::AllOfSetPages2(QWidget* parent) : DashboardPage(parent) {}

void AllOfSetPages2::viewDidLoad()
{
    addTitle(QStringLiteral("电池"));
    buildGauges();
    buildRange();
    buildControls();

    m_PowerCustom1->setPowerProcess(0);
    m_PowerHuanyuan->setYuanHuanProcess(0);
    m_RotateCV->setMyProcess(0);
    m_TargetProcess = 1;
    startAnimation();
    m_updatenum = 0;

    const qint64 fullRange = NumberText::toLong(MyBasicInfo::GetValue(key("powerlichengmax")));
    m_powerlichengmax->setText(fullRange > 29 ? key("45") : key("28"));
    m_switchpower->setOn(NumberText::toLong(MyBasicInfo::GetValue(key("powermiandarao"))) != 0);
}

void AllOfSetPages2::buildGauges()
{
    auto group = [this] { return squareFrame(360, GaugeTop, GaugeWidth, GaugeWidth / 2); };
    m_PowerCustomMini = new QWidget(this);
    m_PowerCustomMini->setObjectName(QStringLiteral("PowerCustomMini"));
    m_PowerCustomMini->setAttribute(Qt::WA_TranslucentBackground);
    place(m_PowerCustomMini, group);
    m_PowerHuanyuan = new PowerYuanHuanCustomView(m_PowerCustomMini);
    m_PowerHuanyuan->setObjectName(QStringLiteral("PowerHuanyuan"));
    m_PowerCustom1 = new PowerCustomView(m_PowerCustomMini);
    m_PowerCustom1->setObjectName(QStringLiteral("PowerCustom1"));
    for (QWidget* view : {static_cast<QWidget*>(m_PowerHuanyuan.data()),
                          static_cast<QWidget*>(m_PowerCustom1.data())})
        view->setAttribute(Qt::WA_TranslucentBackground);
    place(m_PowerHuanyuan, [this] { return QRectF(0, 0, px(GaugeWidth), px(GaugeWidth / 2)); });
    place(m_PowerCustom1, [this] {
        return QRectF(px(GaugeWidth - CylinderWidth) / 2, px(GaugeWidth / 2 - CylinderHeight - 18),
                      px(CylinderWidth), px(CylinderHeight));
    });

    // At either end of the half circle the logo hangs half below the ring's frame.
    m_RotateCV = new RotateLvCustomView(this);
    m_RotateCV->setObjectName(QStringLiteral("RotateCV"));
    m_logo = new GaugeOverflowView(m_RotateCV, this);
    place(m_RotateCV, group);
    place(m_logo, [=, this] {
        const qreal room = px(GaugeWidth) * 0.06;
        return group().adjusted(-room, -room, room, room);
    });
}

void AllOfSetPages2::buildRange()
{
    m_powerlicheng = addLabel(QString(), Theme::Accent, 84, true);
    m_powerlicheng->setObjectName(QStringLiteral("powerlicheng"));
    place(m_powerlicheng, [this] { return QRectF(0, py(470), width(), py(110)); });
    QLabel* caption =
        addLabel(Localized::string(QStringLiteral("剩余里程 (km)")), Theme::Muted, 26);
    place(caption, [this] { return QRectF(0, py(585), width(), py(46)); });
}

void AllOfSetPages2::buildControls()
{
    addCard(30, 770, 660, 320);
    QLabel* full = addLabel(Localized::string(QStringLiteral("满电续航")), Theme::DashboardInk, 30,
                            false, Qt::AlignLeft | Qt::AlignVCenter);
    place(full, [this] { return QRectF(px(70), py(800), px(330), py(120)); });
    m_button28 = new Button(this);
    m_button28->setObjectName(QStringLiteral("button28"));
    m_button28->setBackgroundColor(Theme::AccentPale);
    place(m_button28, [this] { return QRectF(px(460), py(818), px(190), py(84)); });
    connect(m_button28, &Button::clicked, this, &AllOfSetPages2::process28);
    m_powerlichengmax =
        addLabel(QString(), Theme::Accent, 36, true, Qt::AlignRight | Qt::AlignVCenter);
    m_powerlichengmax->setObjectName(QStringLiteral("powerlichengmax"));
    m_powerlichengmax->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(m_powerlichengmax, [this] { return QRectF(px(470), py(818), px(88), py(84)); });
    QLabel* unit = addLabel(QStringLiteral("km ⇄"), Theme::Accent, 26, false,
                            Qt::AlignLeft | Qt::AlignVCenter);
    unit->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(unit, [this] { return QRectF(px(566), py(818), px(84), py(84)); });

    QLabel* quiet = addLabel(Localized::string(QStringLiteral("电量报警免打扰")),
                             Theme::DashboardInk, 30, false, Qt::AlignLeft | Qt::AlignVCenter);
    place(quiet, [this] { return QRectF(px(70), py(950), px(380), py(120)); });
    m_switchpower = new Switch(this);
    m_switchpower->setObjectName(QStringLiteral("switchpower"));
    m_switchpower->setOnTintColor(Theme::Good);
    m_switchpower->setTintColor(Theme::ControlOff);
    m_switchpower->setThumbTintColor(Theme::SwitchThumb);
    m_switchpower->setScale(1.25);
    place(m_switchpower, [this] {
        const QSize size = m_switchpower->sizeHint();
        return QRectF(px(650) - size.width(), py(1010) - size.height() / 2.0, size.width(),
                      size.height());
    });
    connect(m_switchpower, &Switch::valueChanged, this, &AllOfSetPages2::processswitch);
}

void AllOfSetPages2::startAnimation()
{
    m_timer = new Timer(
        AnimationInterval, true, [this] { progressChange(); }, this);
}

void AllOfSetPages2::viewWillAppear()
{
    m_timer->setFireDate(Timer::FireDate::DistantPast);
}

void AllOfSetPages2::viewDidDisappear()
{
    m_timer->setFireDate(Timer::FireDate::DistantFuture);
}

void AllOfSetPages2::showRange(float fullRange)
{
    m_powerlicheng->setText(oneDecimal(fullRange * m_TargetProcess));
}

void AllOfSetPages2::progressChange()
{
    m_updatenum -= 1;
    if (m_updatenum <= 0) {
        m_updatenum = TicksPerRead;
        m_TargetProcess = MyUtil::GetDianYaBiLv();
        showRange(NumberText::toFloat(m_powerlichengmax->text()));
    }
    const float cylinder = m_PowerCustom1->getPowerProcess() + 0.01f;
    m_PowerCustom1->setPowerProcess(cylinder < m_TargetProcess ? cylinder : m_TargetProcess);
    const float empty = 1.0f - m_TargetProcess;
    float ring = m_PowerHuanyuan->getYuanHuanProcess() + 0.01f;
    if (!(ring < empty))
        ring = empty;
    m_PowerHuanyuan->setYuanHuanProcess(ring);
    m_RotateCV->setMyProcess(ring);
    m_logo->update();
}

void AllOfSetPages2::process28()
{
    float fullRange = NumberText::toFloat(m_powerlichengmax->text());
    if (fullRange < 30) {
        m_powerlichengmax->setText(key("45"));
        fullRange = 45;
    } else {
        m_powerlichengmax->setText(key("28"));
        fullRange = 28;
    }
    MyBasicInfo::SetValue(key("powerlichengmax"), m_powerlichengmax->text());
    showRange(fullRange);
}

void AllOfSetPages2::processswitch()
{
    const int on = m_switchpower->isOn() ? 1 : 0;
    Log::write(QString::asprintf("%d", on));
    MyBasicInfo::SetValue(key("powermiandarao"), QString::asprintf("%d", on));
    if (on) {
        Log::write(QStringLiteral("取消长时间震动"));
        MyBasicInfo::SetValue(key("zhendongcishu"), key("0"));
    }
}
