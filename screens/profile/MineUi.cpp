#include "screens/profile/MineUi.h"

#include "platform/Localized.h"
#include "platform/net/ImageLoader.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"

#include <QLabel>
#include <QPainter>

namespace MineUi {

QString levelLine(const QString& levelname, const QString& level)
{
    return Localized::string(QStringLiteral("%1 %2级")).arg(levelname, level);
}

QString rankLine(const QString& paiming)
{
    return QStringLiteral("NO.%1").arg(paiming);
}

QLabel* makeLabel(QWidget* parent, const QColor& color, Qt::Alignment alignment)
{
    auto* label = new QLabel(parent);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

ImageView* makeAvatar(QWidget* parent)
{
    auto* view = new ImageView(parent);
    view->setRound(true);
    view->setContentMode(ImageView::ContentMode::AspectFill);
    return view;
}

void showAvatar(ImageLoader* loader, ImageView* view, const QString& address)
{
    const QImage placeholder = Images::named(QStringLiteral("touxiangsmall.png"));
    if (loader)
        loader->setImageWithURL(view, address, placeholder);
    else
        view->setImage(placeholder);
}

void clearAvatar(ImageLoader* loader, ImageView* view)
{
    if (loader)
        loader->setImageWithURL(view, QString(), QImage());
    else
        view->setImage(QImage());
}

void showMadeChildren(QWidget* parent)
{
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
    }
}

void paintAvatarRing(QPainter& painter, const QRectF& frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::AvatarShadow);
    painter.drawEllipse(frame.adjusted(-5, -3, 5, 7));
    painter.setBrush(Qt::white);
    painter.drawEllipse(frame.adjusted(-4, -4, 4, 4));
    painter.restore();
}

} // namespace MineUi
