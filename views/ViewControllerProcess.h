#pragma once

#include "platform/ui/Screen.h"

#include <QPointer>

class FKCustomView;

// The progress test screen: it only shows one plain ring gauge.
class ViewControllerProcess : public Screen
{
    Q_OBJECT

public:
    using Screen::Screen;

    // The ring the screen shows, made when the screen loads.
    FKCustomView* MyProcess() const { return m_myProcess; }

protected:
    void viewDidLoad() override;

private:
    QPointer<FKCustomView> m_myProcess;
};
