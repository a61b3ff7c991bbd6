#include "store/StoreContext.h"

#include "app/AppDelegate.h"

namespace StoreContext {

ManagedObjectContext* shared()
{
    AppDelegate* delegate = AppDelegate::current();
    return delegate ? delegate->managedObjectContext() : nullptr;
}

} // namespace StoreContext
