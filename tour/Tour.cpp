#include "tour/Tour.h"

#include "platform/Localized.h"
#include "platform/Log.h"
#include "platform/notify/LocalNotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/PageViewController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Window.h"
#include "tour/TextCollector.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

namespace {

constexpr int PollMs = 100;

bool shows(const QWidget* widget)
{
    return widget && widget->isVisible() && !widget->visibleRegion().isEmpty();
}

} // namespace

Tour::Tour(Window* window, Storyboard* storyboard, const QString& folder, QObject* parent)
    : QObject(parent), m_window(window), m_storyboard(storyboard), m_folder(folder)
{
}

void Tour::add(const Step& step)
{
    m_steps.append(step);
}

void Tour::shoot(const QString& detail, std::function<void(Tour&)> action, int settleMs)
{
    Step step;
    step.detail = detail;
    step.action = std::move(action);
    step.settleMs = settleMs;
    add(step);
}

void Tour::shootWhen(const QString& detail, std::function<bool(Tour&)> until, int timeoutMs,
                     int settleMs)
{
    Step step;
    step.detail = detail;
    step.until = std::move(until);
    step.timeoutMs = timeoutMs;
    step.settleMs = settleMs;
    add(step);
}

void Tour::start()
{
    QDir dir(m_folder);
    dir.mkpath(QStringLiteral("."));
    for (const QString& old : dir.entryList({QStringLiteral("*.png")}, QDir::Files))
        dir.remove(old);
    note(QStringLiteral("%1 steps, pictures go to %2").arg(m_steps.size()).arg(dir.absolutePath()));
    QTimer::singleShot(0, this, &Tour::runNext);
}

void Tour::runNext()
{
    if (m_next >= m_steps.size()) {
        writeIndex();
        writeTexts();
        note(QStringLiteral("wrote %1 pictures to %2")
                 .arg(m_written)
                 .arg(QDir(m_folder).absolutePath()));
        emit finished(0);
        return;
    }
    const int index = m_next++;
    if (m_steps[index].action)
        m_steps[index].action(*this);
    waitFor(index, QDateTime::currentMSecsSinceEpoch() + m_steps[index].timeoutMs);
}

void Tour::waitFor(int stepIndex, qint64 deadline)
{
    const Step& step = m_steps[stepIndex];
    if (step.until && !step.until(*this)) {
        if (QDateTime::currentMSecsSinceEpoch() < deadline) {
            QTimer::singleShot(PollMs, this,
                               [this, stepIndex, deadline] { waitFor(stepIndex, deadline); });
            return;
        }
        note(QStringLiteral("gave up waiting at step %1 (%2), on %3")
                 .arg(stepIndex + 1)
                 .arg(step.detail, topIdentifier()));
    }
    QTimer::singleShot(step.settleMs, this, [this, stepIndex] { settleAndShoot(stepIndex); });
}

void Tour::settleAndShoot(int stepIndex)
{
    if (m_steps[stepIndex].picture)
        writePicture(m_steps[stepIndex]);
    runNext();
}

void Tour::writePicture(const Step& step)
{
    if (Screen* screen = top())
        screen->finishAnimations();
    QString screenName = step.screen.isEmpty() ? topIdentifier() : step.screen;
    if (screenName.isEmpty())
        screenName = QStringLiteral("Window");
    QString name =
        QStringLiteral("%1-%2").arg(m_written + 1, 2, 10, QLatin1Char('0')).arg(screenName);
    if (!step.detail.isEmpty())
        name += QLatin1Char('-') + step.detail;
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    QWidget* subject = step.subject ? step.subject(*this) : nullptr;
    const QImage picture = subject ? subject->grab().toImage() : m_window->snapshot();
    if (picture.save(path)) {
        ++m_written;
        m_pictures.append(name + QStringLiteral(".png"));
        noteTexts(name, subject ? subject : m_window);
        note(QStringLiteral("picture %1").arg(path));
    } else {
        note(QStringLiteral("could not write %1").arg(path));
    }
}

void Tour::writeIndex()
{
    // One page that shows the pictures in the order they were taken, with their names.
    QString html =
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"zh\"><head><meta charset=\"utf-8\">"
            "<title>%1 – screens</title><style>"
            "body{font-family:'Noto Sans CJK SC',sans-serif;background:#eef2f2;margin:24px;}"
            "h1{color:#139286;font-weight:600;}"
            ".grid{display:flex;flex-wrap:wrap;gap:20px;}"
            "figure{margin:0;background:#fff;padding:10px;border-radius:12px;"
            "box-shadow:0 1px 4px rgba(0,0,0,.12);}"
            "figcaption{font-size:13px;color:#4a5656;margin-top:6px;text-align:center;}"
            "img{display:block;width:270px;border-radius:6px;}"
            "</style></head><body>\n<h1>%1</h1>\n<div class=\"grid\">\n")
            .arg(Localized::string(QStringLiteral("驴行")));
    for (const QString& picture : std::as_const(m_pictures)) {
        QString caption = picture;
        caption.chop(4);
        html += QStringLiteral("<figure><a href=\"%1\"><img src=\"%1\" alt=\"%2\"></a>"
                               "<figcaption>%2</figcaption></figure>\n")
                    .arg(picture.toHtmlEscaped(), caption.toHtmlEscaped());
    }
    html += QStringLiteral("</div>\n</body></html>\n");
    QFile file(QDir(m_folder).filePath(QStringLiteral("index.html")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(html.toUtf8());
}

void Tour::noteTexts(const QString& picture, QWidget* subject)
{
    QList<TextCollector::Seen> seen = TextCollector::visibleTexts(subject, topIdentifier());
    const QList<LocalNotification> delivered =
        m_notifications ? m_notifications->delivered() : QList<LocalNotification>();
    for (qsizetype i = m_notificationsNoted; i < delivered.size(); ++i) {
        seen.append({QStringLiteral("notification"), delivered[i].alertBody});
        seen.append({QStringLiteral("notification"),
                     delivered[i].userInfo.value(QStringLiteral("key")).toString()});
    }
    m_notificationsNoted = delivered.size();
    for (const TextCollector::Seen& text : std::as_const(seen)) {
        QString line = text.text;
        line.replace(QLatin1Char('\n'), QLatin1String("\\n"))
            .replace(QLatin1Char('\t'), QLatin1Char(' '));
        m_texts.append(picture + QLatin1Char('\t') + text.where + QLatin1Char('\t') + line);
    }
}

void Tour::writeTexts() const
{
    QFile file(QDir(m_folder).filePath(QStringLiteral("texts.tsv")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(m_texts.join(QLatin1Char('\n')).toUtf8() + '\n');
}

Screen* Tour::top() const
{
    return m_storyboard ? m_storyboard->topScreen() : nullptr;
}

QString Tour::topIdentifier() const
{
    Screen* screen = top();
    return screen ? screen->identifier() : QString();
}

QWidget* Tour::find(const QString& objectName) const
{
    for (QWidget* widget : m_window->findChildren<QWidget*>(objectName)) {
        if (shows(widget))
            return widget;
    }
    return nullptr;
}

bool Tour::tap(const QString& objectName)
{
    QWidget* widget = find(objectName);
    if (!widget) {
        note(QStringLiteral("nothing to tap named %1 on %2").arg(objectName, topIdentifier()));
        return false;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->click();
        return true;
    }
    if (auto* recognizer =
            widget->findChild<TapGestureRecognizer*>(QString(), Qt::FindDirectChildrenOnly)) {
        recognizer->tap();
        return true;
    }
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
    return true;
}

bool Tour::type(const QString& objectName, const QString& text)
{
    auto* field = qobject_cast<QLineEdit*>(find(objectName));
    if (!field) {
        note(QStringLiteral("no field named %1 on %2").arg(objectName, topIdentifier()));
        return false;
    }
    field->setText(text);
    return true;
}

bool Tour::swipe(bool forward)
{
    for (PageViewController* pager : m_window->findChildren<PageViewController*>()) {
        if (!shows(pager))
            continue;
        const auto direction = forward ? PageViewController::NavigationDirection::Forward
                                       : PageViewController::NavigationDirection::Reverse;
        if (!pager->beginSwipe(direction))
            return false;
        pager->updateSwipe(0.6);
        pager->endSwipe(true);
        return true;
    }
    note(QStringLiteral("no pager on %1").arg(topIdentifier()));
    return false;
}

bool Tour::segue(const QString& identifier)
{
    return m_storyboard && m_storyboard->performSegue(top(), identifier, nullptr);
}

void Tour::ensure(const QString& identifier, const QString& segueIdentifier)
{
    if (topIdentifier() == identifier)
        return;
    note(QStringLiteral("%1 is on display instead of %2; going on by %3")
             .arg(topIdentifier(), identifier, segueIdentifier));
    segue(segueIdentifier);
}

bool Tour::pressAlert(const QString& button)
{
    AlertController* alert = AlertController::topAlert();
    return alert && alert->pressAction(button);
}

void Tour::note(const QString& text) const
{
    Log::write(QStringLiteral("tour: ") + text);
}
