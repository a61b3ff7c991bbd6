#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class LocalNotificationCenter;
class Screen;
class ShareService;
class Storyboard;
class Window;
class QWidget;

// Walks the app's screens like a rider would and writes a picture of each to a folder
// (the headless run). Each step does something, waits until a condition holds (or a
// time-out passes), lets the screen settle, and takes the picture, named by its number
// and the screen on display. With each picture it notes the texts on display, and
// texts.tsv lists them (picture, place, text) for checking the language.
class Tour : public QObject
{
    Q_OBJECT

public:
    struct Step
    {
        QString detail;                    // added to the picture's name; empty is fine
        std::function<void(Tour&)> action; // what the rider does
        std::function<bool(Tour&)> until;  // what to wait for afterwards (none: no wait)
        int timeoutMs = 8000;
        int settleMs = 600;
        bool picture = true;
        QString screen; // names the picture instead of the top screen
        // What the picture shows, when not the phone screen (a desktop window).
        std::function<QWidget*(Tour&)> subject;
    };

    Tour(Window* window, Storyboard* storyboard, const QString& folder, QObject* parent = nullptr);

    void add(const Step& step);
    // A picture after `action` and `settleMs` of settling.
    void shoot(const QString& detail, std::function<void(Tour&)> action = {}, int settleMs = 600);
    // Waits for `until`, then takes the picture.
    void shootWhen(const QString& detail, std::function<bool(Tour&)> until, int timeoutMs,
                   int settleMs = 600);
    void start();
    int picturesWritten() const { return m_written; }
    QString folder() const { return m_folder; }

    // What steps use.
    Window* window() const { return m_window; }
    // Where the app's sharing goes; the tour shows the last picture sent.
    ShareService* share() const { return m_share; }
    void setShare(ShareService* share) { m_share = share; }
    // The notifications delivered count as texts on display too.
    void setNotifications(LocalNotificationCenter* center) { m_notifications = center; }
    Storyboard* storyboard() const { return m_storyboard; }
    Screen* top() const;
    QString topIdentifier() const;
    QWidget* find(const QString& objectName) const;
    bool tap(const QString& objectName);
    bool type(const QString& objectName, const QString& text);
    bool swipe(bool forward = true);
    bool segue(const QString& identifier);
    // Goes on by the segue when the screen on display is not `identifier` yet (screens
    // still missing or not answering).
    void ensure(const QString& identifier, const QString& segueIdentifier);
    bool pressAlert(const QString& button);
    void note(const QString& text) const;

signals:
    void finished(int exitCode);

private:
    void runNext();
    void waitFor(int stepIndex, qint64 deadline);
    void settleAndShoot(int stepIndex);
    void writePicture(const Step& step);
    void writeIndex();
    void noteTexts(const QString& picture, QWidget* subject);
    void writeTexts() const;

    Window* m_window;
    Storyboard* m_storyboard;
    ShareService* m_share = nullptr;
    LocalNotificationCenter* m_notifications = nullptr;
    qsizetype m_notificationsNoted = 0;
    QStringList m_texts;
    QString m_folder;
    QList<Step> m_steps;
    int m_next = 0;
    int m_written = 0;
    QStringList m_pictures;
};
