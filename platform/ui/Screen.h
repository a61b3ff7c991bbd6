#pragma once

#include <QList>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QVariantAnimation;
#include "platform/ui/Storyboard.h"

// Base of every screen and page: the lifecycle (load once, will/did appear, will/did
// disappear, release), segues by identifier through the storyboard that made it, child
// screens that share its appearance, and geometry on the 720 x 1280 design grid, laid out
// again whenever the screen's size changes.
class Screen : public QWidget
{
    Q_OBJECT

public:
    explicit Screen(QWidget* parent = nullptr);
    ~Screen() override;

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    Storyboard* storyboard() const { return m_storyboard; }
    void setStoryboard(Storyboard* storyboard) { m_storyboard = storyboard; }

    // Runs viewDidLoad the first time it is called.
    void loadViewIfNeeded();
    bool isViewLoaded() const { return m_loaded; }

    // Appearance, sent by the storyboard and by containers; forwarded to the child screens.
    // A transition to the state the screen is already in (or going to) is ignored.
    void beginAppearanceTransition(bool appearing);
    void endAppearanceTransition();
    bool isAppeared() const { return m_appearance == Appearance::Appeared; }

    void performSegueWithIdentifier(const QString& identifier, QObject* sender = nullptr);

    // A child screen shares this screen's appearance; its view becomes a child widget of
    // `container` (this screen when none).
    void addChildScreen(Screen* child, QWidget* container = nullptr);
    void removeChildScreen(Screen* child);
    Screen* parentScreen() const { return m_parentScreen; }
    QList<Screen*> childScreens() const;

    // Called once by whoever owned the screen when it lets it go: runs didRelease (also on
    // the child screens), then the object, with its children, is deleted as soon as no
    // keepAlive() token holds it any more.
    void release();
    bool isReleased() const { return m_released; }
    // A token that keeps the screen object alive after its release (for answers still due).
    std::shared_ptr<void> keepAlive();

    // Design grid: units of the 720 x 1280 design, as points of the current size.
    float gx(double units) const { return float(width() * units / 720.0); }
    float gy(double units) const { return float(height() * units / 1280.0); }
    QRectF gridRect(double x, double y, double w, double h) const;

    // Gives `widget` the frame `frame` computes, now and after every change of size. A
    // screen's own size is best set with setBaseGeometry, which lays it out at once even
    // while it is hidden.
    void place(QWidget* widget, std::function<QRectF()> frame);
    static QRect pixelRect(const QRectF& frame);

    // Moves the whole screen vertically by dy points over durationMs, starting from where it
    // is now and adding to any offset still under way (the keyboard offset).
    void animateViewOffset(qreal dy, int durationMs = 300);
    qreal viewOffsetTarget() const { return m_offsetTarget; }
    qreal viewOffset() const { return m_offset; }
    // Jumps every running animation of the screen to its end (tests, screenshots).
    virtual void finishAnimations();
    // The frame the container gives the screen; the view offset is added to it.
    void setBaseGeometry(const QRect& frame);

signals:
    void loaded();

protected:
    virtual void viewDidLoad() {}
    virtual void viewWillAppear() {}
    virtual void viewDidAppear() {}
    virtual void viewWillDisappear() {}
    virtual void viewDidDisappear() {}
    // After every change of size, once the place() rules have run.
    virtual void viewDidLayoutSubviews() {}
    // The screen is let go ("Set释放" and the like are logged here).
    virtual void didRelease() {}
    virtual void prepareForSegue(const QString& identifier, Screen* destination, QObject* sender);
    // The children that receive this screen's appearance events (a pager: its visible page).
    virtual QList<Screen*> appearanceChildren() const;

    void resizeEvent(QResizeEvent* event) override;
    void layoutNow();

private:
    friend class Storyboard;
    enum class Appearance { Disappeared, Appearing, Appeared, Disappearing };
    struct Rule
    {
        QPointer<QWidget> widget;
        std::function<QRectF()> frame;
    };
    void dropHold();
    void markReleased();
    void applyOffset();
    static void setFrame(QWidget* widget, const QRectF& frame);

    QString m_identifier;
    QPointer<Storyboard> m_storyboard;
    QPointer<Screen> m_parentScreen;
    QList<QPointer<Screen>> m_children;
    QList<Rule> m_rules;
    bool m_loaded = false;
    bool m_released = false;
    int m_holds = 0;
    Appearance m_appearance = Appearance::Disappeared;
    QRect m_baseGeometry;
    QSize m_laidOutSize;
    qreal m_offset = 0;
    qreal m_offsetTarget = 0;
    QPointer<QVariantAnimation> m_offsetAnimation;
};
