#include "platform/ui/Storyboard.h"

#include "platform/Log.h"
#include "platform/ui/Screen.h"

#include <QEvent>
#include <QWidget>

Storyboard::Storyboard(QWidget* host, QObject* parent) : QObject(parent), m_host(host)
{
    if (m_host)
        m_host->installEventFilter(this);
}

Storyboard::~Storyboard()
{
    for (const QPointer<Screen>& screen : m_stack) {
        if (screen)
            screen->release();
    }
}

void Storyboard::registerScreen(const QString& identifier, Factory factory)
{
    m_factories.insert(identifier, std::move(factory));
}

void Storyboard::registerSegue(const QString& identifier, const QString& destination,
                               SegueKind kind)
{
    m_segues.insert(identifier, Segue{destination, kind});
}

QStringList Storyboard::screenIdentifiers() const
{
    QStringList ids = m_factories.keys();
    ids.sort();
    return ids;
}

QStringList Storyboard::segueIdentifiers() const
{
    QStringList ids = m_segues.keys();
    ids.sort();
    return ids;
}

Screen* Storyboard::instantiateViewControllerWithIdentifier(const QString& identifier)
{
    const Factory factory = m_factories.value(identifier);
    Screen* screen = factory ? factory() : nullptr;
    if (!screen) {
        Log::write(QStringLiteral("storyboard: no screen registered as %1").arg(identifier));
        screen = new Screen;
    }
    screen->setIdentifier(identifier);
    screen->setStoryboard(this);
    m_made.removeIf([](const QPointer<Screen>& s) { return s.isNull(); });
    m_made.append(screen);
    return screen;
}

Screen* Storyboard::start(const QString& identifier)
{
    QList<Screen*> old = stack();
    Screen* first = instantiateViewControllerWithIdentifier(identifier);
    transition(first, old);
    return first;
}

Screen* Storyboard::rootOf(Screen* screen) const
{
    while (screen && screen->parentScreen())
        screen = screen->parentScreen();
    return screen;
}

bool Storyboard::performSegue(Screen* source, const QString& identifier, QObject* sender)
{
    Screen* root = rootOf(source);
    if (!m_segues.contains(identifier)) {
        Log::write(QStringLiteral("storyboard: no segue %1").arg(identifier));
        return false;
    }
    if (m_transitioning) {
        // A screen asking to move on while it appears: the segue follows this transition.
        QPointer<Screen> later(source);
        QPointer<QObject> from(sender);
        QMetaObject::invokeMethod(
            this, [this, later, identifier, from] { performSegue(later, identifier, from); },
            Qt::QueuedConnection);
        return true;
    }
    if (!root || root != topScreen() || root->isReleased())
        return false;
    const Segue segue = m_segues.value(identifier);
    QList<Screen*> screens = stack();
    QList<Screen*> released;
    switch (segue.kind) {
    case SegueKind::Present:
        break;
    case SegueKind::Replace:
        released.append(root);
        break;
    case SegueKind::BackTo:
        for (int i = screens.size() - 2; i >= 0; --i) {
            if (screens[i]->identifier() == segue.destination) {
                QList<Screen*> above = screens.mid(i + 1);
                transition(screens[i], above);
                emit seguePerformed(identifier, screens[i]);
                return true;
            }
        }
        released.append(root);
        break;
    case SegueKind::EnterSection:
        released = screens.mid(1);
        break;
    case SegueKind::Restart:
        released = screens;
        break;
    }
    Screen* destination = instantiateViewControllerWithIdentifier(segue.destination);
    source->prepareForSegue(identifier, destination, sender);
    transition(destination, released);
    emit seguePerformed(identifier, destination);
    return true;
}

void Storyboard::fitToHost(Screen* screen)
{
    if (m_host)
        screen->setBaseGeometry(m_host->rect());
}

void Storyboard::transition(Screen* destination, const QList<Screen*>& released)
{
    m_transitioning = true;
    Screen* previous = topScreen();
    const bool destinationIsNew = !m_stack.contains(destination);
    if (destinationIsNew) {
        destination->setParent(m_host);
        fitToHost(destination);
        destination->loadViewIfNeeded();
    }
    if (previous && previous != destination)
        previous->beginAppearanceTransition(false);
    destination->beginAppearanceTransition(true);

    m_stack.removeIf([&](const QPointer<Screen>& s) { return s.isNull() || released.contains(s); });
    if (destinationIsNew)
        m_stack.append(destination);
    destination->show();
    destination->raise();
    if (previous && previous != destination)
        previous->hide();

    if (previous && previous != destination)
        previous->endAppearanceTransition();
    destination->endAppearanceTransition();

    for (auto it = released.crbegin(); it != released.crend(); ++it) {
        (*it)->hide();
        (*it)->release();
    }
    m_transitioning = false;
    emit topScreenChanged(destination);
}

QList<Screen*> Storyboard::stack() const
{
    QList<Screen*> screens;
    for (const QPointer<Screen>& screen : m_stack) {
        if (screen)
            screens.append(screen);
    }
    return screens;
}

Screen* Storyboard::topScreen() const
{
    const QList<Screen*> screens = stack();
    return screens.isEmpty() ? nullptr : screens.last();
}

Screen* Storyboard::firstScreen() const
{
    const QList<Screen*> screens = stack();
    return screens.isEmpty() ? nullptr : screens.first();
}

int Storyboard::liveScreenCount() const
{
    int count = 0;
    for (const QPointer<Screen>& screen : m_made) {
        if (screen)
            ++count;
    }
    return count;
}

bool Storyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_host && event->type() == QEvent::Resize) {
        for (Screen* screen : stack())
            fitToHost(screen);
    }
    return QObject::eventFilter(watched, event);
}
