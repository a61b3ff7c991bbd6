#include "protocol/MyUtil.h"

#include "protocol/ServerAccess.h"

namespace MyUtil {

HttpManager* GetGlobalAFmanager()
{
    const ServerAccess::Services& access = ServerAccess::installed();
    return access.manager ? access.manager() : nullptr;
}

} // namespace MyUtil
