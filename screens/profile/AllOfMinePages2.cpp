#include "screens/profile/AllOfMinePages2.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Theme.h"
#include "screens/AppContext.h"
#include "screens/profile/CustomTableViewCell.h"
#include "screens/profile/MineUi.h"
#include "store/MyBasicInfo.h"
#include "store/MyPaiMingInfo.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr double HeaderBottom = 250;
constexpr double TableTop = 300;

QString setting(const char* key)
{
    return MyBasicInfo::GetValue(QString::fromLatin1(key));
}

} // namespace

AllOfMinePages2::AllOfMinePages2(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

QRectF AllOfMinePages2::unitRect(double x, double y, double w, double h) const
{
    const double sx = width() / 720.0;
    const double sy = height() / 1120.0;
    return QRectF(x * sx, y * sy, w * sx, h * sy);
}

QRectF AllOfMinePages2::avatarFrame() const
{
    const double side = height() * 150.0 / 1120.0;
    return QRectF(width() * 130.0 / 720.0, height() * 50.0 / 1120.0, side, side);
}

void AllOfMinePages2::viewDidLoad()
{
    buildHeader();
    buildTable();
    fill();
    m_rightimage->setOnTap([this] { tapPageWelcom(); });
    MineUi::showMadeChildren(this);
}

void AllOfMinePages2::buildHeader()
{
    m_rightimage = new ImageView(Images::named(QStringLiteral("leftarrow.png")), this);
    m_rightimage->setObjectName(QStringLiteral("rightimage"));
    m_rightimage->setContentMode(ImageView::ContentMode::AspectFit);
    place(m_rightimage, [this] {
        const double side = height() * 60.0 / 1120.0;
        return QRectF(width() * 30.0 / 720.0, avatarFrame().center().y() - side / 2, side, side);
    });
    m_touxiangimage = MineUi::makeAvatar(this);
    place(m_touxiangimage, [this] { return avatarFrame(); });
    m_username = MineUi::makeLabel(this, Qt::white);
    m_username->setObjectName(QStringLiteral("username"));
    place(m_username, [this] {
        Theme::setPixelFont(m_username, unitRect(0, 0, 0, 36).height(), true);
        return unitRect(310, 60, 260, 60);
    });
    m_levelname = MineUi::makeLabel(this, Theme::ProfileSubtitle);
    m_levelname->setObjectName(QStringLiteral("levelname"));
    place(m_levelname, [this] {
        Theme::setPixelFont(m_levelname, unitRect(0, 0, 0, 26).height());
        return unitRect(310, 130, 260, 50);
    });
    m_paiming = MineUi::makeLabel(this, Qt::white, Qt::AlignRight);
    m_paiming->setObjectName(QStringLiteral("paiming"));
    place(m_paiming, [this] {
        Theme::setPixelFont(m_paiming, unitRect(0, 0, 0, 40).height(), true);
        return unitRect(520, 80, 170, 80);
    });
}

void AllOfMinePages2::buildTable()
{
    m_tableView = new TableView(this);
    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->registerCell(QString::fromLatin1(CustomTableViewCell::Identifier),
                              [this] { return new CustomTableViewCell(m_app.images); });
    m_tableView->setDataSource(this);
    m_tableView->setDelegate(this);
    place(m_tableView, [this] {
        const QRectF top = unitRect(0, TableTop, 720, 0);
        return QRectF(0, top.y(), width(), height() - top.y());
    });
}

void AllOfMinePages2::fill()
{
    const QString touxiangpath = setting("touxiangpath");
    MineUi::showAvatar(m_app.images, m_touxiangimage, touxiangpath);
    Log::write(QStringLiteral("AllOfMinePages2 touxiangpath = %1").arg(touxiangpath));
    m_username->setText(setting("localusername"));
    m_levelname->setText(MineUi::levelLine(setting("levelname"), setting("level")));
    m_paiming->setText(MineUi::rankLine(setting("paiming")));
}

void AllOfMinePages2::tapPageWelcom()
{
    m_app.center->post(QStringLiteral("AllOfMinePages2ToAllOfMinePages1"), this);
}

int AllOfMinePages2::numberOfRowsInSection(TableView*, int)
{
    return MyPaiMingInfo::GetCount();
}

qreal AllOfMinePages2::heightForRowAtIndexPath(TableView*, int)
{
    return RowHeight;
}

TableViewCell* AllOfMinePages2::cellForRowAtIndexPath(TableView* tableView, int row)
{
    Log::write(QStringLiteral("UITableViewCell:%1").arg(row));
    const qint64 rank = qint64(row) + 1;
    const QList<RiderInfo> riders = MyPaiMingInfo::GetValue(QString::number(rank));
    auto* cell = static_cast<CustomTableViewCell*>(tableView->dequeueReusableCellWithIdentifier(
        QString::fromLatin1(CustomTableViewCell::Identifier)));
    cell->Setpaiming(rank);
    if (!riders.isEmpty()) {
        const RiderInfo& rider = riders.first();
        cell->RefshImage(rider.touxiangpath);
        cell->SetUsername(rider.username);
        cell->SetLevelName(rider.level, rider.levelname);
    }
    cell->setSelectionStyle(TableViewCell::SelectionStyle::None);
    return cell;
}

void AllOfMinePages2::didSelectRowAtIndexPath(TableView*, int row)
{
    Log::write(QStringLiteral("点击Cell:%1").arg(row));
    MyBasicInfo::SetValue(QStringLiteral("cellindex"), QString::number(qint64(row) + 1));
    m_app.center->post(QStringLiteral("Notification_GetUserProfileSuccess"), this);
}

void AllOfMinePages2::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Theme::Page);
    painter.fillRect(unitRect(0, 0, 720, HeaderBottom), Theme::Accent);
    MineUi::paintAvatarRing(painter, avatarFrame());
    // The list's caption between the header and the rows.
    painter.setPen(Theme::Muted);
    QFont font = painter.font();
    font.setPixelSize(Theme::pixelSize(unitRect(0, 0, 0, 26).height()));
    painter.setFont(font);
    painter.drawText(unitRect(30, HeaderBottom, 660, TableTop - HeaderBottom),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     Localized::string(QStringLiteral("本周排行榜")));
}
