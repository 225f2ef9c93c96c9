#pragma once
// Short-lived worker threads.

namespace platform {

// Starts body(arg) on a detached thread with at least stackBytes of stack; false when the
// thread could not be started.
bool startThread(void (*body)(void*), void* arg, unsigned stackBytes);

} // namespace platform
