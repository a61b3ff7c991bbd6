#include "screens/dashboard/AllOfSetPages5.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/net/WebView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Images.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Theme.h"
#include "poll/MyUtil.h"
#include "protocol/DeviceServer.h"
#include "screens/AppContext.h"
#include "store/MyBasicInfo.h"
#include "views/WeiLanCustomView.h"

#include <QLabel>

namespace {

constexpr double DialTop = 170;
constexpr double DialWidth = 600;

QString value(const char* key)
{
    return MyBasicInfo::GetValue(QString::fromLatin1(key));
}

void setValue(const char* key, const QString& text)
{
    MyBasicInfo::SetValue(QString::fromLatin1(key), text);
}

} // namespace

AllOfSetPages5::AllOfSetPages5(AppContext& context, QWidget* parent)
    : DashboardPage(parent), m_app(context)
{
}

void AllOfSetPages5::viewDidLoad()
{
    addTitle(QStringLiteral("电子围栏"));
    buildDial();
    buildChildrenButton();
    buildMap();
    m_pan = new PanGestureRecognizer(m_MyWLCView,
                                     [this](PanGestureRecognizer* r) { handlePanFrom(r); });
    m_pan->setObjectName(QStringLiteral("pan"));
    m_pan->setMaximumNumberOfTouches(1);
    InitWeiLan();
}

void AllOfSetPages5::buildDial()
{
    m_MyWLCView = new WeiLanCustomView(this);
    m_MyWLCView->setObjectName(QStringLiteral("MyWLCView"));
    m_MyWLCView->setAttribute(Qt::WA_TranslucentBackground);
    place(m_MyWLCView, [this] { return squareFrame(360, DialTop, DialWidth, DialWidth / 2); });
    auto dialBottom = [this] { return py(DialTop) + px(DialWidth / 2); };
    m_weilanradio = addLabel(QString(), Theme::DashboardInk, 104, true);
    m_weilanradio->setObjectName(QStringLiteral("weilanradio"));
    m_weilanradio->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(m_weilanradio, [=, this] { return QRectF(0, dialBottom() - px(160), width(), px(120)); });
    QLabel* unit = addLabel(Localized::string(QStringLiteral("围栏半径 (米)")), Theme::Muted, 26);
    unit->setAttribute(Qt::WA_TransparentForMouseEvents);
    place(unit, [=, this] { return QRectF(0, dialBottom() - px(44), width(), px(40)); });
}

void AllOfSetPages5::buildChildrenButton()
{
    m_childrenbutton = new Button(this);
    m_childrenbutton->setObjectName(QStringLiteral("childrenbutton"));
    m_childrenbutton->setCornerRadius(px(48));
    place(m_childrenbutton, [this] { return QRectF(px(600), py(590), px(90), px(90)); });
    connect(m_childrenbutton, &Button::clicked, this, &AllOfSetPages5::processchildren);
    QLabel* caption = addLabel(Localized::string(QStringLiteral("儿童模式")), Theme::Muted, 22);
    place(caption, [this] { return QRectF(px(570), py(590) + px(92), px(150), px(34)); });
}

void AllOfSetPages5::buildMap()
{
    addCard(30, 770, 660, 320);
    m_MyWebView = new WebView(this);
    m_MyWebView->setObjectName(QStringLiteral("MyWebView"));
    place(m_MyWebView, [this] { return QRectF(px(48), py(786), px(624), py(288)); });
    m_MyWebView->setNetworkAccessManager(m_app.network);
    m_MyWebView->setAllowedServer(QUrl(m_app.serverUrl));
}

float AllOfSetPages5::angleFor(float t)
{
    const float angle = t * 180.0f;
    return qBound(15.0f, angle, 165.0f);
}

void AllOfSetPages5::handlePanFrom(PanGestureRecognizer* recognizer)
{
    const qreal x = recognizer->locationInView(m_MyWLCView).x();
    const float t = float(double(x) / double(float(m_MyWLCView->width())));
    const float angle = angleFor(t);
    m_MyWLCView->setYuanHuanProcess(angle / 180.0f);
    m_weilanradio->setText(QString::asprintf("%d", MyUtil::BanJingOfAngle(angle)));
    if (recognizer->state() != PanGestureRecognizer::State::Ended)
        return;
    storeAngle(angle);
    InitWeiLan();
}

void AllOfSetPages5::storeAngle(float angle)
{
    const QString text = QString::asprintf("%f", double(angle));
    Log::write(QStringLiteral("保存围栏角度:%1").arg(text));
    setValue("weilanradio", text);
}

void AllOfSetPages5::InitWeiLan()
{
    const QString stored = value("weilanradio");
    Log::write(QStringLiteral("加载围栏角度:%1").arg(stored));
    const float angle = NumberText::toFloat(stored);
    const int radius = MyUtil::BanJingOfAngle(angle);
    loadString(radius, NumberText::toFloat(value("lng")), NumberText::toFloat(value("lat")));
    m_MyWLCView->setYuanHuanProcess(angle / 180.0f);
    m_weilanradio->setText(QString::asprintf("%d", radius));

    const QString mode = value("weilanmode");
    QString image = QString::fromLatin1(ChildrenOffImage);
    if (NumberText::toLong(mode) != 0) {
        image = QString::fromLatin1(ChildrenOnImage);
        MyUtil::UpdateBasePos();
    }
    Log::write(QStringLiteral("sweilanmode:%1").arg(mode));
    Log::write(QStringLiteral("imagename:%1").arg(image));
    showChildrenImage(image);
}

void AllOfSetPages5::processchildren()
{
    if (NumberText::toLong(value("weilanmode")) != 0) {
        showChildrenImage(QString::fromLatin1(ChildrenOffImage));
        setValue("weilanmode", QStringLiteral("0"));
        storeAngle(15.0f);
        InitWeiLan();
    } else {
        showChildrenImage(QString::fromLatin1(ChildrenOnImage));
        setValue("weilanmode", QStringLiteral("1"));
    }
}

void AllOfSetPages5::loadString(int radius, float lng, float lat)
{
    m_MyWebView->loadRequest(QUrl(m_app.server->mapPageUrl(radius, lng, lat)));
    m_MyWebView->setBounces(false);
}

// Until the app's pictures for the two states exist, the button says its state in words.
void AllOfSetPages5::showChildrenImage(const QString& name)
{
    const QImage image = Images::named(name);
    m_childrenbutton->setImage(image);
    const bool on = name == QLatin1String(ChildrenOnImage);
    m_childrenbutton->setText(image.isNull() ? Localized::string(QStringLiteral("儿童"))
                                             : QString());
    m_childrenbutton->setBackgroundColor(image.isNull() ? (on ? Theme::Accent : Theme::ControlOff)
                                                        : QColor(Qt::transparent));
}
