#include "screens/dashboard/AllOfSetPages4.h"

#include "screens/AppContext.h"

#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Theme.h"
#include "store/MyBasicInfo.h"
#include "views/LightCustomView.h"

#include <QLabel>

AllOfSetPages4::AllOfSetPages4(AppContext& context, QWidget* parent)
    : SpeedPage(SpeedLimit::Kind::LightSpeed, context, parent)
{
}

void AllOfSetPages4::viewDidLoad()
{
    addTitle(QStringLiteral("灯光速度"));
    m_MyLightCView = new LightCustomView(this);
    m_MyLightCView->setObjectName(QStringLiteral("MyLightCView"));
    m_slightspeed = addLabel(QString(), Theme::DashboardInk, 120, true);
    m_slightspeed->setObjectName(QStringLiteral("slightspeed"));
    buildDial(m_MyLightCView, m_slightspeed,
              QStringLiteral("沿表盘拖动,松手后设定灯光速度,\n可在 10 到 25 km/h 之间选择。"));
    addScaleMark(QStringLiteral("10"), positionFor(10));
    addScaleMark(QStringLiteral("25"), positionFor(25));
    InitLightSpeed();
}

float AllOfSetPages4::angleFor(float t)
{
    const float angle = t * 180.0f;
    return qBound(15.0f, angle, 165.0f);
}

int AllOfSetPages4::speedAt(float angle)
{
    const float speed = (angle - 15.0f) / 150.0f * 15.0f + 10.0f;
    return int(speed);
}

float AllOfSetPages4::positionFor(qint64 speed)
{
    const float angle = (float(speed) - 10.0f) / 15.0f * 150.0f + 15.0f;
    return angle / 180.0f;
}

void AllOfSetPages4::handlePanFrom(PanGestureRecognizer* recognizer)
{
    const QPointF point = recognizer->locationInView(m_MyLightCView);
    const float angle = angleFor(dragPosition(point.x(), m_MyLightCView->width()));
    m_slightspeed->setText(QString::asprintf("%d", speedAt(angle)));
    m_MyLightCView->setYuanHuanProcess(angle / 180.0f);
    if (recognizer->state() == PanGestureRecognizer::State::Ended) {
        MyBasicInfo::SetValue(limit().key(), m_slightspeed->text());
        uploadSpeed();
    }
    Log::write(QString::asprintf("handleSingleTap!pointx:%f,y:%f", point.x(), point.y()));
}

void AllOfSetPages4::InitLightSpeed()
{
    const QString stored = MyBasicInfo::GetValue(limit().key());
    const qint64 speed = NumberText::toLong(stored);
    m_MyLightCView->setYuanHuanProcess(positionFor(speed));
    m_slightspeed->setText(stored);
    limit().load(speed);
}
