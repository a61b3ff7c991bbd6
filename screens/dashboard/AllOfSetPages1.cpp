#include "screens/dashboard/AllOfSetPages1.h"

#include "platform/Clock.h"
#include "platform/Localized.h"
#include "platform/NumberText.h"
#include "platform/Timer.h"
#include "platform/ui/Button.h"
#include "platform/ui/Theme.h"
#include "screens/AppContext.h"
#include "store/MyBasicInfo.h"
#include "views/DiTanCustomView.h"
#include "views/YuanHuanCustomView.h"

#include <QLabel>

namespace {

// Grid places: the ring, and the seven bars spread over the card under the page dots.
constexpr double RingTop = 130;
constexpr double RingSize = 420;
constexpr double BarTop = 850;
constexpr double BarWidth = 58;
constexpr double BarHeight = 180;
constexpr double BarPitch = 90;

QString dayKey(int day)
{
    return QStringLiteral("day%1licheng").arg(day);
}

} // namespace

AllOfSetPages1::AllOfSetPages1(AppContext& context, QWidget* parent)
    : DashboardPage(parent), m_app(context)
{
}

void AllOfSetPages1::viewDidLoad()
{
    addTitle(QStringLiteral("本周骑行"));
    buildRing();
    buildBars();
    m_TargetYuanHuanProcess = 0;
    m_Targetweek.fill(0);
    startAnimation();
    m_updatenum = 0;
}

void AllOfSetPages1::buildRing()
{
    m_MyYuanHuan = new YuanHuanCustomView(this);
    m_MyYuanHuan->setObjectName(QStringLiteral("MyYuanHuan"));
    place(m_MyYuanHuan, [this] { return squareFrame(360, RingTop, RingSize, RingSize); });
    auto ringCentreY = [this] { return py(RingTop) + px(RingSize / 2); };

    QLabel* caption = addLabel(Localized::string(QStringLiteral("今日里程")), Theme::Muted, 26);
    place(caption, [=, this] { return QRectF(0, ringCentreY() - px(110), width(), px(40)); });
    m_totaylichengs = new Button(this);
    m_totaylichengs->setObjectName(QStringLiteral("totaylichengs"));
    m_totaylichengs->setTitleColor(Theme::Accent);
    scaleFont(m_totaylichengs, 92, true);
    place(m_totaylichengs,
          [=, this] { return QRectF(px(180), ringCentreY() - px(66), px(360), px(120)); });
    QLabel* unit = addLabel(QStringLiteral("km"), Theme::Muted, 26);
    place(unit, [=, this] { return QRectF(0, ringCentreY() + px(56), width(), px(40)); });

    m_weeks = addLabel(QString(), Theme::DashboardInk, 26);
    place(m_weeks,
          [this] { return QRectF(0, py(RingTop) + px(RingSize) - px(30), width(), px(44)); });
}

void AllOfSetPages1::buildBars()
{
    addCard(30, 770, 660, 320);
    QLabel* caption = addLabel(Localized::string(QStringLiteral("近七日低碳 (kg)")),
                               Theme::DashboardInk, 26, true);
    place(caption, [this] { return QRectF(0, py(788), width(), py(46)); });
    for (int i = 0; i < Days; ++i) {
        const double centre = 360 + (i - 3) * BarPitch;
        auto* bar = new DiTanCustomView(this);
        bar->setObjectName(QStringLiteral("week%1").arg(i + 1));
        bar->setAttribute(Qt::WA_TranslucentBackground);
        place(bar, [=, this] {
            return QRectF(px(centre - BarWidth / 2), py(BarTop), px(BarWidth), py(BarHeight));
        });
        m_week[i] = bar;
        m_dayNames[i] = addLabel(QString(), Theme::Muted, 22);
        place(m_dayNames[i], [=, this] {
            return QRectF(px(centre - BarPitch / 2), py(BarTop + BarHeight + 8), px(BarPitch),
                          py(40));
        });
    }
}

void AllOfSetPages1::startAnimation()
{
    m_timer = new Timer(
        AnimationInterval, true, [this] { progressChange(); }, this);
}

void AllOfSetPages1::viewWillAppear()
{
    m_timer->setFireDate(Timer::FireDate::DistantPast);
}

void AllOfSetPages1::viewDidDisappear()
{
    m_timer->setFireDate(Timer::FireDate::DistantFuture);
}

float AllOfSetPages1::GetYuanHuanProcess()
{
    const float thisWeek =
        NumberText::toFloat(MyBasicInfo::GetValue(QStringLiteral("benzhoulicheng")));
    const float lastWeek =
        NumberText::toFloat(MyBasicInfo::GetValue(QStringLiteral("shangzhoulicheng")));
    const float ratio = lastWeek > 0 ? thisWeek / lastWeek : 1.0f;
    if (ratio <= 0)
        return 0;
    return qMin(ratio, 1.0f);
}

float AllOfSetPages1::GetDiTanValue(const QString& text)
{
    const float mileage = NumberText::toFloat(text);
    const float carbon = float(double(mileage) * 2.3 * 0.09);
    return qBound(0.0f, carbon, 3.0f) / 3.0f;
}

float AllOfSetPages1::step(float current, float target)
{
    const float next = current + 0.01f;
    return next < target ? next : target;
}

void AllOfSetPages1::progressChange()
{
    m_updatenum -= 1;
    if (m_updatenum <= 0)
        readTargets();
    if (m_MyYuanHuan)
        m_MyYuanHuan->setYuanHuanProcess(
            step(m_MyYuanHuan->getYuanHuanProcess(), m_TargetYuanHuanProcess));
    for (int i = 0; i < Days; ++i) {
        if (m_week[i])
            m_week[i]->setDiTanProcess(step(m_week[i]->getDiTanProcess(), m_Targetweek[i]));
    }
}

void AllOfSetPages1::readTargets()
{
    m_updatenum = TicksPerRead;
    m_TargetYuanHuanProcess = GetYuanHuanProcess();
    if (m_totaylichengs)
        m_totaylichengs->setText(MyBasicInfo::GetValue(QStringLiteral("todaylicheng")));
    for (int day = 1; day <= Days; ++day)
        m_Targetweek[day - 1] = GetDiTanValue(MyBasicInfo::GetValue(dayKey(day)));
    if (m_weeks) {
        m_weeks->setText(Localized::string(QStringLiteral("本周 %1 km · 上周 %2 km"))
                             .arg(MyBasicInfo::GetValue(QStringLiteral("benzhoulicheng")),
                                  MyBasicInfo::GetValue(QStringLiteral("shangzhoulicheng"))));
    }
    showWeekdays();
}

// The seventh day is today, the first six days before it.
void AllOfSetPages1::showWeekdays()
{
    static const QStringList names = {
        QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四"),
        QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("日")};
    const QDate today = m_app.clock->now().date();
    for (int i = 0; i < Days; ++i) {
        if (!m_dayNames[i])
            continue;
        const QDate date = today.addDays(i - (Days - 1));
        m_dayNames[i]->setText(i == Days - 1
                                   ? Localized::string(QStringLiteral("今天"))
                                   : Localized::string(names.value(date.dayOfWeek() - 1)));
    }
}
