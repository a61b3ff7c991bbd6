#pragma once

class HttpManager;

// Protocol part of MyUtil: the shared HTTP manager.
namespace MyUtil {

// The one HTTP manager of the running app, as the composition root installed it
// (ServerAccess). Null when none is installed.
HttpManager* GetGlobalAFmanager();

} // namespace MyUtil
