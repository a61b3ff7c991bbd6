#include "screens/SectionTabs.h"

#include "platform/Localized.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Theme.h"

#include <QLabel>

namespace {

constexpr double TabTop = 1136;
constexpr double TabIcon = 72;
constexpr double TabCentres[] = {120, 360, 600};

} // namespace

SectionTabs::Built SectionTabs::build(Screen* screen, Tab current)
{
    Built built;
    built.bar = new ImageView(Images::named(QStringLiteral("graybar.png")), screen);
    screen->place(built.bar, [screen] { return screen->gridRect(0, 1120, 720, 160); });
    const QStringList icons = {QStringLiteral("tabset.png"), QStringLiteral("tabpos.png"),
                               QStringLiteral("tabmine.png")};
    const QStringList names = {QStringLiteral("驴行"), QStringLiteral("位置"),
                               QStringLiteral("我的")};
    for (int i = 0; i < 3; ++i) {
        auto* tab = new ImageView(Images::named(icons[i]), screen);
        tab->setContentMode(ImageView::ContentMode::AspectFit);
        const double centre = TabCentres[i];
        screen->place(tab, [=] {
            return QRectF(screen->gx(centre) - screen->gy(TabIcon) / 2, screen->gy(TabTop),
                          screen->gy(TabIcon), screen->gy(TabIcon));
        });
        auto* label = new QLabel(Localized::string(names[i]), screen);
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setStyleSheet(
            i == current ? QStringLiteral("color:%1;font-weight:bold").arg(Theme::Accent.name())
                         : QStringLiteral("color:%1").arg(Theme::Muted.name()));
        screen->place(label, [=] {
            Theme::setPixelSize(label, screen->gy(26));
            return QRectF(screen->gx(centre - 120), screen->gy(TabTop + TabIcon + 4),
                          screen->gx(240), screen->gy(40));
        });
        built.tabs.append(tab);
    }
    return built;
}
