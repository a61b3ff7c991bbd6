#include "protocol/MyUtil.h"

#include "app/AppDelegate.h"
#include "protocol/HttpManager.h"

namespace {

const char* const ManagerName = "GlobalAFmanager";

} // namespace

namespace MyUtil {

HttpManager* GetGlobalAFmanager()
{
    AppDelegate* delegate = AppDelegate::current();
    if (!delegate)
        return nullptr;
    QNetworkAccessManager* network = delegate->networkAccessManager();
    auto* manager =
        delegate->findChild<HttpManager*>(QLatin1String(ManagerName), Qt::FindDirectChildrenOnly);
    // A network access manager handed to the delegate after first use gets a
    // manager of its own; the old one stays until the delegate goes, so requests
    // already under way still reach their handlers.
    if (manager && manager->network() != network) {
        manager->setObjectName(QString());
        manager = nullptr;
    }
    if (!manager) {
        manager = new HttpManager(network, delegate);
        manager->setObjectName(QLatin1String(ManagerName));
    }
    return manager;
}

} // namespace MyUtil
