#pragma once

#include <functional>

class ManagedObjectContext;
struct sqlite3;

// The shared object context of the running application, as every store operation
// obtains it: from the provider the composition root installed at start (it opens the
// store on first use). Null when nothing is installed or the app has no store.
namespace StoreContext {

using Provider = std::function<ManagedObjectContext*()>;

ManagedObjectContext* shared();
// The shared context's store file, for the tables kept beside the entities; null as above.
sqlite3* database();
// Installs `provider` and answers the one it replaces, for putting it back.
Provider install(Provider provider);

} // namespace StoreContext
