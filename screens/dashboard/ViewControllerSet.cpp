#include "screens/dashboard/ViewControllerSet.h"

#include "platform/Log.h"
#include "platform/Timer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/Localized.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Theme.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/StatusAnswer.h"
#include "screens/AppContext.h"
#include "store/MyBasicInfo.h"
#include "screens/SectionTabs.h"

#include <QLabel>
#include <QPainter>

namespace {

// The section tabs in the lowest eighth of the screen: this section's at the left, then the
// position and the profile sections.

} // namespace

ViewControllerSet::ViewControllerSet(AppContext& context, QWidget* parent) : Screen(parent), m_app(context) {}

void ViewControllerSet::viewDidLoad()
{
    buildTabs();
    for (int i = 1; i <= PageCount; ++i) {
        const QString identifier = QStringLiteral("AllOfSetPages%1").arg(i);
        Screen* page = storyboard()->instantiateViewControllerWithIdentifier(identifier);
        page->setObjectName(identifier);
        // Owned by the section until the pager shows it; hidden until then.
        page->setParent(this);
        page->hide();
        m_AllOfSetPages.append(page);
    }
    buildPager();
    buildUI();
    connect(m_pageControl, &PageControl::valueChanged, this, &ViewControllerSet::changePage);
    // Scheduled paused: it runs only while the section is on screen.
    m_timer = new Timer(
        RefreshInterval, true, [this] { timerFired(); }, this);
    m_timer->setFireDate(Timer::FireDate::DistantFuture);
}

void ViewControllerSet::buildTabs()
{
    const SectionTabs::Built built = SectionTabs::build(this, SectionTabs::Set);
    m_GrayImage = built.bar;
    const QList<ImageView*>& tabs = built.tabs;
    m_SetImage = tabs[0];
    m_PosImage = tabs[1];
    m_MineImage = tabs[2];
    m_GrayImage->setObjectName(QStringLiteral("GrayImage"));
    m_PosImage->setObjectName(QStringLiteral("PosImage"));
    m_MineImage->setObjectName(QStringLiteral("MineImage"));
    m_PosImage->setOnTap([this] { tapPagePos(); });
    m_MineImage->setOnTap([this] { tapPageMine(); });
}

void ViewControllerSet::buildPager()
{
    m_pageViewController =
        storyboard()->instantiate<PageViewController>(QStringLiteral("PageViewController"));
    m_pageViewController->setObjectName(QStringLiteral("pageViewController"));
    m_pageViewController->setDataSource(this);
    m_pageViewController->setDelegate(this);
    m_pageViewController->setViewControllers(
        {m_AllOfSetPages.value(0)}, PageViewController::NavigationDirection::Forward, false);
    place(m_pageViewController, [this] {
        const float height = float(double(this->height()) * -160.0 / 1280.0);
        return QRectF(0, 0, width(), float(this->height() + height));
    });
    addChildScreen(m_pageViewController);
}

void ViewControllerSet::buildUI()
{
    m_pageControl = new PageControl(this);
    m_pageControl->setObjectName(QStringLiteral("pageControl"));
    m_pageControl->setNumberOfPages(PageCount);
    m_pageControl->setCurrentPage(0);
    m_pageControl->setCornerRadius(Theme::DotsRadius);
    place(m_pageControl,
          [this] { return QRectF(width() * 0.5 - 40, height() * 735.0 / 1280.0, 80, 16); });
    m_pageControl->setCurrentPageIndicatorTintColor(Theme::Accent);
    m_pageControl->setPageIndicatorTintColor(Theme::PageDot);
    m_pageControl->setBackgroundColor(Qt::transparent);
    m_pageControl->setCurrentPage(0);
    m_pageControl->raise();
}

void ViewControllerSet::tapPagePos()
{
    performSegueWithIdentifier(QStringLiteral("SetToPos"));
}

void ViewControllerSet::tapPageMine()
{
    performSegueWithIdentifier(QStringLiteral("SetToMine"));
}

Screen* ViewControllerSet::viewControllerBeforeViewController(PageViewController*, Screen* page)
{
    Log::write(QStringLiteral("11"));
    const qsizetype index = m_AllOfSetPages.indexOf(page);
    if (index <= 0)
        return nullptr;
    return m_AllOfSetPages.at(index - 1);
}

Screen* ViewControllerSet::viewControllerAfterViewController(PageViewController*, Screen* page)
{
    Log::write(QStringLiteral("22"));
    const qsizetype index = m_AllOfSetPages.indexOf(page);
    if (index < 0 || index >= m_AllOfSetPages.size() - 1)
        return nullptr;
    return m_AllOfSetPages.at(index + 1);
}

void ViewControllerSet::willTransitionToViewControllers(PageViewController*,
                                                        const QList<Screen*>& pending)
{
    if (!pending.isEmpty())
        m_pageControl->setCurrentPage(int(m_AllOfSetPages.indexOf(pending.first())));
}

void ViewControllerSet::changePage()
{
    const qsizetype visible = m_AllOfSetPages.indexOf(m_pageViewController->visiblePage());
    const int chosen = m_pageControl->currentPage();
    m_pageViewController->setViewControllers({m_AllOfSetPages.value(chosen)},
                                             chosen > visible
                                                 ? PageViewController::NavigationDirection::Forward
                                                 : PageViewController::NavigationDirection::Reverse,
                                             false);
    Log::write(QStringLiteral("33"));
}

void ViewControllerSet::timerFired()
{
    const QString devid = MyBasicInfo::GetValue(QStringLiteral("devid"));
    // The answer is stored when its message says "ok"; a failure changes nothing and says
    // nothing.
    m_app.server->getEveryThing(devid, StatusStore::storingFirst(), [](const QString&) {});
}

void ViewControllerSet::viewWillAppear()
{
    m_timer->setFireDate(Timer::FireDate::DistantPast);
}

void ViewControllerSet::viewDidDisappear()
{
    m_timer->setFireDate(Timer::FireDate::DistantFuture);
}

void ViewControllerSet::didRelease()
{
    Log::write(QStringLiteral("Set释放"));
}

void ViewControllerSet::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::Page);
}
