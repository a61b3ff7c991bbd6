#include "store/StoreContext.h"

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

Provider install(Provider provider)
{
    return std::exchange(installed(), std::move(provider));
}

} // namespace StoreContext
