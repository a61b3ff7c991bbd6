#include "platform/ui/OverlayAlertPresenter.h"

#include "platform/ui/AlertController.h"

OverlayAlertPresenter::OverlayAlertPresenter(QWidget* window) : m_window(window) {}

void OverlayAlertPresenter::showAlert(const QString& title, const QString& message,
                                      const QStringList& buttons, std::function<void(int)> done)
{
    m_queue.append(Request{title, message, buttons, std::move(done)});
    if (!m_showing)
        showNext();
}

void OverlayAlertPresenter::showNext()
{
    if (m_queue.isEmpty() || !m_window) {
        m_showing = false;
        return;
    }
    // An alert a screen put up goes first; this one follows when it closes.
    if (AlertController* other = AlertController::topAlert()) {
        m_showing = true;
        QObject::connect(other, &AlertController::closed, m_window, [this] { showNext(); });
        return;
    }
    const Request request = m_queue.takeFirst();
    auto* alert = new AlertController(request.title, request.message);
    for (int i = 0; i < request.buttons.size(); ++i) {
        alert->addAction(request.buttons[i], AlertController::ActionStyle::Default,
                         [done = request.done, i] {
                             if (done)
                                 done(i);
                         });
    }
    m_showing = alert->presentOver(m_window);
    if (m_showing) {
        QObject::connect(alert, &AlertController::closed, m_window, [this] {
            m_showing = false;
            showNext();
        });
    }
}
