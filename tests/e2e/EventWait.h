#pragma once

#include <functional>

// Runs the event loop until a condition holds or the time is up. It wakes on
// every event instead of polling every few milliseconds, so a test made of
// thousands of quick round trips is not rounded up to the polling step.
namespace EventWait {

bool until(const std::function<bool()>& condition, int timeoutMs = 20000);

} // namespace EventWait
