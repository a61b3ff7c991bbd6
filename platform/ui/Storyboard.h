#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class Screen;

// How a segue puts its destination on display.
enum class SegueKind {
    Present,      // over the current screen, which stays underneath
    Replace,      // in place of the current screen, which is released
    BackTo,       // back to the nearest screen underneath with the destination's identifier
                  // (the ones above it are released); a new one replaces the top when none
    EnterSection, // everything above the first screen is released; the destination goes on it
    Restart       // every screen is released; the destination becomes the new first screen
};

// Makes screens and pages by their identifiers and performs segues by identifier on the
// stack of screens shown full-size in the host widget. The first screen stays underneath
// for the whole run; released screens are deleted, so memory stays bounded however often
// the rider moves between screens. An identifier nobody registered is logged and makes a
// blank screen, so a slip in a name never crashes the app.
class Storyboard : public QObject
{
    Q_OBJECT

public:
    using Factory = std::function<Screen*()>;
    struct Segue
    {
        QString destination;
        SegueKind kind;
    };

    explicit Storyboard(QWidget* host, QObject* parent = nullptr);
    ~Storyboard() override;

    void registerScreen(const QString& identifier, Factory factory);
    template <class T> void registerScreen(const QString& identifier)
    {
        registerScreen(identifier, [] { return new T; });
    }
    void registerSegue(const QString& identifier, const QString& destination, SegueKind kind);
    bool hasScreen(const QString& identifier) const { return m_factories.contains(identifier); }
    bool hasSegue(const QString& identifier) const { return m_segues.contains(identifier); }
    Segue segue(const QString& identifier) const { return m_segues.value(identifier); }
    QStringList screenIdentifiers() const;
    QStringList segueIdentifiers() const;

    // A new screen (not yet loaded, no parent) carrying its identifier and this storyboard.
    Screen* instantiateViewControllerWithIdentifier(const QString& identifier);
    template <class T> T* instantiate(const QString& identifier)
    {
        return qobject_cast<T*>(instantiateViewControllerWithIdentifier(identifier));
    }

    // Makes the first screen and shows it.
    Screen* start(const QString& identifier);
    // Performs a segue from `source` (or from the screen that contains it). A source that is
    // no longer on display, or an unknown identifier, changes nothing and answers false. A
    // segue asked for while screens appear or disappear runs right after that transition.
    bool performSegue(Screen* source, const QString& identifier, QObject* sender = nullptr);

    QWidget* host() const { return m_host; }
    QList<Screen*> stack() const;
    Screen* topScreen() const;
    Screen* firstScreen() const;
    // Screens made by this storyboard that still exist (released ones go at the next turn
    // of the event loop).
    int liveScreenCount() const;

signals:
    void seguePerformed(const QString& identifier, Screen* destination);
    void topScreenChanged(Screen* top);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Screen* rootOf(Screen* screen) const;
    void transition(Screen* destination, const QList<Screen*>& released);
    void fitToHost(Screen* screen);

    QWidget* m_host;
    QHash<QString, Factory> m_factories;
    QHash<QString, Segue> m_segues;
    QList<QPointer<Screen>> m_stack;
    QList<QPointer<Screen>> m_made;
    bool m_transitioning = false;
};
