#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Shows a non-blocking alert over whatever is on screen; the answer says which
// button was pressed (its index in buttons). The widget side provides it; the
// core (notification callbacks) only asks for one.
class AlertPresenter
{
public:
    virtual ~AlertPresenter() = default;
    virtual void showAlert(const QString& title, const QString& message, const QStringList& buttons,
                           std::function<void(int)> done = {}) = 0;
};
