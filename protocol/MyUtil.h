#pragma once

class HttpManager;

// Protocol part of MyUtil: the shared HTTP manager.
namespace MyUtil {

// The one HTTP manager of the running app, made on first use over the current
// delegate's network access manager and owned by that delegate (so it lives for
// the process in the app; a test's next delegate gets a fresh one). Null only
// when no delegate exists.
HttpManager* GetGlobalAFmanager();

} // namespace MyUtil
