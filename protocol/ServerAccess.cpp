#include "protocol/ServerAccess.h"

#include <utility>

namespace {

ServerAccess::Services& current()
{
    static ServerAccess::Services services;
    return services;
}

} // namespace

namespace ServerAccess {

const Services& installed()
{
    return current();
}

Services install(Services services)
{
    return std::exchange(current(), std::move(services));
}

} // namespace ServerAccess
