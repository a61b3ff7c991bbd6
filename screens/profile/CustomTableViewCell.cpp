#include "screens/profile/CustomTableViewCell.h"

#include "platform/ui/ImageView.h"
#include "platform/ui/Theme.h"
#include "screens/profile/MineUi.h"

#include <QLabel>

namespace {

// The first three ranks wear gold, silver and bronze; the rest the accent colour.
QColor rankColour(qint64 rank)
{
    switch (rank) {
    case 1:
        return Theme::RankGold;
    case 2:
        return Theme::RankSilver;
    case 3:
        return Theme::RankBronze;
    default:
        return Theme::Accent;
    }
}

} // namespace

CustomTableViewCell::CustomTableViewCell(ImageLoader* images, QWidget* parent)
    : TableViewCell(QString::fromLatin1(Identifier), parent), m_images(images)
{
    m_paiming = MineUi::makeLabel(this, Theme::Accent, Qt::AlignCenter);
    m_paiming->setObjectName(QStringLiteral("paiming"));
    Theme::setPixelFont(m_paiming, 15, true);
    m_cellimage = MineUi::makeAvatar(this);
    m_cellimage->setObjectName(QStringLiteral("cellimage"));
    m_username = MineUi::makeLabel(this, Theme::ProfileInk);
    m_username->setObjectName(QStringLiteral("username"));
    Theme::setPixelFont(m_username, 15, true);
    m_levelname = MineUi::makeLabel(this, Theme::Muted);
    m_levelname->setObjectName(QStringLiteral("levelname"));
    Theme::setPixelFont(m_levelname, 12);
    setSelectionStyle(SelectionStyle::None);
}

void CustomTableViewCell::Setpaiming(qint64 paiming)
{
    m_paiming->setText(QStringLiteral("NO.%1").arg(paiming));
    QPalette palette = m_paiming->palette();
    palette.setColor(QPalette::WindowText, rankColour(paiming));
    m_paiming->setPalette(palette);
}

void CustomTableViewCell::RefshImage(const QString& address)
{
    MineUi::showAvatar(m_images, m_cellimage, address);
}

void CustomTableViewCell::SetUsername(const QString& username)
{
    m_username->setText(username);
}

void CustomTableViewCell::SetLevelName(const QString& level, const QString& levelname)
{
    m_levelname->setText(MineUi::levelLine(levelname, level));
}

void CustomTableViewCell::prepareForReuse()
{
    m_username->clear();
    m_levelname->clear();
    MineUi::clearAvatar(m_images, m_cellimage);
}

void CustomTableViewCell::resizeEvent(QResizeEvent* event)
{
    TableViewCell::resizeEvent(event);
    const int h = height();
    const int side = qMax(0, h - 16);
    m_paiming->setGeometry(4, 0, 64, h);
    m_cellimage->setGeometry(72, (h - side) / 2, side, side);
    const int textX = 72 + side + 12;
    const int textW = qMax(0, width() - textX - 12);
    m_username->setGeometry(textX, h / 2 - 21, textW, 22);
    m_levelname->setGeometry(textX, h / 2 + 2, textW, 18);
}
