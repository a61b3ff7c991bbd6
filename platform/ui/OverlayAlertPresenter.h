#pragma once

#include "platform/AlertPresenter.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

// The app's AlertPresenter: shows the alerts the core asks for (the "报警" alert of a
// notification arriving in front) over the window, one after another when several come.
class OverlayAlertPresenter : public AlertPresenter
{
public:
    explicit OverlayAlertPresenter(QWidget* window);

    void showAlert(const QString& title, const QString& message, const QStringList& buttons,
                   std::function<void(int)> done = {}) override;
    int queuedCount() const { return int(m_queue.size()); }

private:
    struct Request
    {
        QString title;
        QString message;
        QStringList buttons;
        std::function<void(int)> done;
    };
    void showNext();

    QPointer<QWidget> m_window;
    QList<Request> m_queue;
    bool m_showing = false;
};
