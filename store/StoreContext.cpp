#include "store/StoreContext.h"

#include "store/db/ManagedObjectContext.h"
#include "store/db/PersistentStoreCoordinator.h"

#include <utility>

namespace {

StoreContext::Provider& installed()
{
    static StoreContext::Provider provider;
    return provider;
}

} // namespace

namespace StoreContext {

ManagedObjectContext* shared()
{
    return installed() ? installed()() : nullptr;
}

sqlite3* database()
{
    ManagedObjectContext* context = shared();
    return context && context->coordinator() ? context->coordinator()->database() : nullptr;
}

Provider install(Provider provider)
{
    return std::exchange(installed(), std::move(provider));
}

} // namespace StoreContext
