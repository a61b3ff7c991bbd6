#include "screens/dashboard/AllOfSetPages3.h"

#include "screens/AppContext.h"

#include "platform/NumberText.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Theme.h"
#include "store/MyBasicInfo.h"
#include "views/MaxSpeedCustomView.h"

#include <QLabel>

AllOfSetPages3::AllOfSetPages3(AppContext& context, QWidget* parent)
    : SpeedPage(SpeedLimit::Kind::MaxSpeed, context, parent)
{
}

void AllOfSetPages3::viewDidLoad()
{
    addTitle(QStringLiteral("最高时速"));
    m_MyMaxSpeedCView = new MaxSpeedCustomView(this);
    m_MyMaxSpeedCView->setObjectName(QStringLiteral("MyMaxSpeedCView"));
    m_maxspeedlicheng = addLabel(QString(), Theme::DashboardInk, 120, true);
    m_maxspeedlicheng->setObjectName(QStringLiteral("maxspeedlicheng"));
    buildDial(m_MyMaxSpeedCView, m_maxspeedlicheng,
              QStringLiteral("沿表盘拖动,松手后设定最高时速。\n儿童区限速 15 km/h。"));
    for (qint64 speed : {15, 20, 25, 30})
        addScaleMark(QString::number(speed), positionFor(speed));
    InitMaxSpeed();
}

qint64 AllOfSetPages3::snap(float t)
{
    if (t <= 0.20833333f)
        return 15;
    if (t <= 0.5f)
        return 20;
    if (t <= 0.80277777f)
        return 25;
    return 30;
}

float AllOfSetPages3::positionFor(qint64 speed)
{
    if (speed < 18)
        return float(1.0 / 12.0);
    if (speed <= 22)
        return float(1.0 / 3.0);
    if (speed <= 27)
        return float(2.0 / 3.0);
    return float(11.0 / 12.0);
}

void AllOfSetPages3::handlePanFrom(PanGestureRecognizer* recognizer)
{
    const QPointF point = recognizer->locationInView(m_MyMaxSpeedCView);
    const float t = dragPosition(point.x(), m_MyMaxSpeedCView->width());
    m_MyMaxSpeedCView->setYuanHuanProcess(t);
    if (recognizer->state() != PanGestureRecognizer::State::Ended)
        return;
    const qint64 speed = snap(t);
    const QString text = QString::number(speed);
    m_MyMaxSpeedCView->setYuanHuanProcess(positionFor(speed));
    m_maxspeedlicheng->setText(text);
    MyBasicInfo::SetValue(limit().key(), text);
    uploadSpeed();
}

void AllOfSetPages3::InitMaxSpeed()
{
    const QString stored = MyBasicInfo::GetValue(limit().key());
    const qint64 speed = NumberText::toLong(stored);
    m_MyMaxSpeedCView->setYuanHuanProcess(positionFor(speed));
    m_maxspeedlicheng->setText(stored);
    limit().load(speed);
}
