#include "screens/profile/AllOfMinePages1.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"
#include "screens/AppContext.h"
#include "screens/profile/MineUi.h"
#include "store/MyBasicInfo.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr double HeaderBottom = 470;
constexpr double FiguresTop = 520;
constexpr double FiguresHeight = 220;
constexpr double LinkTop = 790;
constexpr double LinkHeight = 130;

QString setting(const char* key)
{
    return MyBasicInfo::GetValue(QString::fromLatin1(key));
}

} // namespace

AllOfMinePages1::AllOfMinePages1(AppContext& context, QWidget* parent)
    : Screen(parent), m_app(context)
{
}

QRectF AllOfMinePages1::unitRect(double x, double y, double w, double h) const
{
    const double sx = width() / 720.0;
    const double sy = height() / 1120.0;
    return QRectF(x * sx, y * sy, w * sx, h * sy);
}

QRectF AllOfMinePages1::avatarFrame() const
{
    const double side = qMin(width() * 200.0 / 720.0, height() * 200.0 / 1120.0);
    return QRectF((width() - side) / 2, height() * 60.0 / 1120.0, side, side);
}

void AllOfMinePages1::viewDidLoad()
{
    buildHeader();
    buildFigures();
    buildRankingLink();
    fill();
    m_leftimage->setOnTap([this] { tapPageWelcom(); });
    MineUi::showMadeChildren(this);
}

void AllOfMinePages1::buildHeader()
{
    m_touxiangimage = MineUi::makeAvatar(this);
    m_touxiangimage->setObjectName(QStringLiteral("touxiangimage"));
    place(m_touxiangimage, [this] { return avatarFrame(); });
    m_username = MineUi::makeLabel(this, Qt::white, Qt::AlignCenter);
    m_username->setObjectName(QStringLiteral("username"));
    place(m_username, [this] {
        Theme::setPixelFont(m_username, unitRect(0, 0, 0, 40).height(), true);
        return unitRect(40, 290, 640, 60);
    });
    m_levelname = MineUi::makeLabel(this, Theme::ProfileSubtitle, Qt::AlignCenter);
    m_levelname->setObjectName(QStringLiteral("levelname"));
    place(m_levelname, [this] {
        Theme::setPixelFont(m_levelname, unitRect(0, 0, 0, 28).height());
        return unitRect(40, 352, 640, 44);
    });
}

void AllOfMinePages1::buildFigures()
{
    const QStringList captions = {QStringLiteral("积分"), QStringLiteral("本周排名"),
                                  QStringLiteral("总里程(km)")};
    QList<QLabel*> values;
    for (int i = 0; i < 3; ++i) {
        const double x = 40 + i * 640.0 / 3;
        QLabel* value = MineUi::makeLabel(this, Theme::Accent, Qt::AlignCenter);
        place(value, [=, this] {
            Theme::setPixelFont(value, unitRect(0, 0, 0, 44).height(), true);
            return unitRect(x, FiguresTop + 40, 640.0 / 3, 80);
        });
        QLabel* caption = MineUi::makeLabel(this, Theme::Muted, Qt::AlignCenter);
        caption->setText(Localized::string(captions[i]));
        place(caption, [=, this] {
            Theme::setPixelFont(caption, unitRect(0, 0, 0, 26).height());
            return unitRect(x, FiguresTop + 126, 640.0 / 3, 44);
        });
        values.append(value);
    }
    m_jifen = values[0];
    m_paiming = values[1];
    m_totallicheng = values[2];
    m_jifen->setObjectName(QStringLiteral("jifen"));
    m_paiming->setObjectName(QStringLiteral("paiming"));
    m_totallicheng->setObjectName(QStringLiteral("totallicheng"));
}

void AllOfMinePages1::buildRankingLink()
{
    QLabel* title = MineUi::makeLabel(this, Theme::ProfileInk);
    title->setText(Localized::string(QStringLiteral("本周排行榜")));
    place(title, [this, title] {
        Theme::setPixelFont(title, unitRect(0, 0, 0, 32).height(), true);
        return unitRect(144, LinkTop, 400, LinkHeight);
    });
    m_leftimage = new ImageView(Images::named(QStringLiteral("rightarrow.png")), this);
    m_leftimage->setObjectName(QStringLiteral("leftimage"));
    m_leftimage->setContentMode(ImageView::ContentMode::AspectFit);
    place(m_leftimage, [this] {
        const QRectF row = unitRect(40, LinkTop, 640, LinkHeight);
        const double side = row.height() * 0.6;
        return QRectF(row.right() - side - row.height() * 0.25, row.center().y() - side / 2, side,
                      side);
    });
}

void AllOfMinePages1::fill()
{
    const QString touxiangpath = setting("touxiangpath");
    MineUi::showAvatar(m_app.images, m_touxiangimage, touxiangpath);
    Log::write(QStringLiteral("touxiangpath = %1").arg(touxiangpath));
    m_username->setText(setting("localusername"));
    m_levelname->setText(MineUi::levelLine(setting("levelname"), setting("level")));
    m_jifen->setText(setting("jifen"));
    m_paiming->setText(MineUi::rankLine(setting("paiming")));
    m_totallicheng->setText(setting("totallicheng"));
}

void AllOfMinePages1::tapPageWelcom()
{
    m_app.center->post(QStringLiteral("AllOfMinePages1ToAllOfMinePages2"), this);
}

void AllOfMinePages1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Theme::Page);
    // The teal header ends in a gentle curve under the name.
    const QRectF header = unitRect(0, 0, 720, HeaderBottom);
    QPainterPath band;
    band.moveTo(0, 0);
    band.lineTo(width(), 0);
    band.lineTo(width(), header.bottom() - header.height() * 0.12);
    band.quadTo(width() / 2.0, header.bottom() + header.height() * 0.08, 0,
                header.bottom() - header.height() * 0.12);
    band.closeSubpath();
    painter.fillPath(band, Theme::Accent);
    MineUi::paintAvatarRing(painter, avatarFrame());
    // White cards under the figures and the link to the ranking list.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const qreal radius = unitRect(0, 0, Theme::ProfileCardRadius, 0).width();
    painter.drawRoundedRect(unitRect(40, FiguresTop, 640, FiguresHeight), radius, radius);
    painter.drawRoundedRect(unitRect(40, LinkTop, 640, LinkHeight), radius, radius);
    painter.setPen(QPen(Theme::ProfileDivider, 1));
    for (int i = 1; i < 3; ++i) {
        const QRectF column = unitRect(40 + i * 640.0 / 3, FiguresTop + 50, 0, 120);
        painter.drawLine(column.topLeft(), column.bottomLeft());
    }
    // A gold medal with a white star before the link's title.
    const QRectF medal = unitRect(62, LinkTop + 35, 0, 60);
    const QRectF disc(medal.x(), medal.y(), medal.height(), medal.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Theme::Medal);
    painter.drawEllipse(disc);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double radius = disc.width() * (i % 2 ? 0.16 : 0.36);
        const double angle = M_PI * (i / 5.0 - 0.5);
        star << disc.center() + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    painter.setBrush(Qt::white);
    painter.drawPolygon(star);
}
