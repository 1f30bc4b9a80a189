#pragma once

#include <functional>

// Runs the event loop until `done` says so or `timeoutMs` has passed,
// whichever is first; sleeps while nothing happens rather than asking again
// and again, so that the window system it waits for has the processor.
// True when `done` was reached.
bool ProcessEventsUntil(const std::function<bool()> &done, int timeoutMs);
