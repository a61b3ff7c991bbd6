#include "screens/profile/ViewControllerMine.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/Theme.h"
#include "screens/AppContext.h"
#include "screens/SectionTabs.h"
#include "screens/profile/AllOfMinePages3.h"

#include <QLabel>
#include <QPainter>
#include <memory>
#include <optional>

namespace {

// The section tabs in the lowest eighth of the screen: the dashboard's, the position
// section's and this section's.

} // namespace

ViewControllerMine::ViewControllerMine(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

ViewControllerMine::~ViewControllerMine()
{
    // Pages the pager never showed have no parent screen; they go with the section.
    for (const QPointer<Screen>& page : std::as_const(m_AllOfMinePages)) {
        if (page && !page->parentScreen())
            delete page.data();
    }
}

QList<Screen*> ViewControllerMine::AllOfMinePages() const
{
    QList<Screen*> pages;
    for (const QPointer<Screen>& page : m_AllOfMinePages)
        pages.append(page);
    return pages;
}

void ViewControllerMine::viewDidLoad()
{
    buildTabs();
    for (int i = 1; i <= PageCount; ++i) {
        m_AllOfMinePages.append(
            QPointer<Screen>(storyboard()->instantiateViewControllerWithIdentifier(
                QStringLiteral("AllOfMinePages%1").arg(i))));
    }
    buildPager();
    // An answer due after the section is let go still runs, on the section it was sent for.
    m_rankingFeed = new RankingFeed(
        m_app.server, [this] { return keepAlive(); }, this);
    observe();
}

void ViewControllerMine::buildTabs()
{
    const QList<ImageView*> tabs = SectionTabs::build(this, SectionTabs::Mine).tabs;
    m_SetImage = tabs[0];
    m_PosImage = tabs[1];
    m_SetImage->setObjectName(QStringLiteral("SetImage"));
    m_PosImage->setObjectName(QStringLiteral("PosImage"));
    m_PosImage->setOnTap([this] { tapPagePos(); });
    m_SetImage->setOnTap([this] { tapPageSet(); });
}

void ViewControllerMine::buildPager()
{
    m_pageViewController =
        storyboard()->instantiate<PageViewController>(QStringLiteral("PageViewControllerMine"));
    m_pageViewController->setObjectName(QStringLiteral("pageViewController"));
    m_pageViewController->setDataSource(this);
    m_pageViewController->setDelegate(this);
    m_pageViewController->setViewControllers({m_AllOfMinePages.value(0).data()},
                                             PageViewController::NavigationDirection::Forward,
                                             false);
    place(m_pageViewController, [this] {
        const float offset = float(double(this->height()) * -160.0 / 1280.0);
        return QRectF(0, 0, width(), float(this->height() + offset));
    });
    addChildScreen(m_pageViewController);
}

void ViewControllerMine::observe()
{
    NotificationCenter& center = *m_app.center;
    center.addObserver(
        QStringLiteral("Notification_GetUserProfileSuccess"),
        [this](const Notification&) { changePage(); }, this);
    center.addObserver(
        QStringLiteral("AllOfMinePages1ToAllOfMinePages2"),
        [this](const Notification&) { showPage(1); }, this);
    center.addObserver(
        QStringLiteral("AllOfMinePages2ToAllOfMinePages1"),
        [this](const Notification&) { showPage(0); }, this);
    center.addObserver(
        QStringLiteral("AllOfMinePages3ToAllOfMinePages2"),
        [this](const Notification&) { showPage(1); }, this);
}

void ViewControllerMine::showPage(int index)
{
    m_pageViewController->setViewControllers({m_AllOfMinePages.value(index).data()},
                                             PageViewController::NavigationDirection::Forward,
                                             false);
}

void ViewControllerMine::changePage()
{
    if (auto* map = qobject_cast<AllOfMinePages3*>(m_AllOfMinePages.value(2).data()))
        map->UpdateData();
    showPage(2);
    Log::write(QStringLiteral("changePage"));
}

void ViewControllerMine::tapPagePos()
{
    performSegueWithIdentifier(QStringLiteral("MineToPos"));
}

void ViewControllerMine::tapPageSet()
{
    performSegueWithIdentifier(QStringLiteral("MineToSet"));
}

Screen* ViewControllerMine::viewControllerBeforeViewController(PageViewController*, Screen* page)
{
    const qsizetype index = AllOfMinePages().indexOf(page);
    if (index <= 0) {
        Log::write(QStringLiteral("mine11"));
        return nullptr;
    }
    return m_AllOfMinePages.at(index - 1).data();
}

Screen* ViewControllerMine::viewControllerAfterViewController(PageViewController*, Screen* page)
{
    const qsizetype index = AllOfMinePages().indexOf(page);
    if (index < 0 || index >= m_AllOfMinePages.size() - 1) {
        Log::write(QStringLiteral("mine22"));
        return nullptr;
    }
    return m_AllOfMinePages.at(index + 1).data();
}

void ViewControllerMine::willTransitionToViewControllers(PageViewController*, const QList<Screen*>&)
{
}

void ViewControllerMine::viewWillAppear()
{
    m_rankingFeed->resume();
}

void ViewControllerMine::viewDidDisappear()
{
    m_rankingFeed->pause();
}

void ViewControllerMine::didRelease()
{
    m_app.center->removeObserver(this);
    Log::write(QStringLiteral("Mine释放"));
}

void ViewControllerMine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Theme::Page);
}
