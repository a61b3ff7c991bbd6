#include "store/MyPosInfo.h"

#include "platform/Log.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObject.h"
#include "store/db/ManagedObjectContext.h"

void MyPosInfo::ClearMySelf()
{
    ManagedObjectContext* context = StoreContext::shared();
    if (!context)
        return;
    for (ManagedObject* row : context->fetch(FetchRequest::all(QStringLiteral("MyPosInfo"))))
        context->deleteObject(row);
    QString error;
    if (!context->save(&error))
        Log::write(QStringLiteral("error:%1").arg(error));
}
