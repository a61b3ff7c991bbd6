#include "views/ViewControllerProcess.h"
#include "platform/Log.h"
#include "views/FKCustomView.h"

void ViewControllerProcess::viewDidLoad()
{
    Log::write(QStringLiteral("进度条"));
    m_myProcess = new FKCustomView(this);
    m_myProcess->setGeometry(140, 30, 40, 40);
    m_myProcess->show();
}
