#pragma once

class ManagedObjectContext;

// The shared object context of the running application, as every store
// operation obtains it: through the application's delegate. Null when the app
// has no store.
namespace StoreContext {
ManagedObjectContext* shared();
}
