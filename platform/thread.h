#pragma once
// Short-lived worker threads and the processor check.

namespace platform {

// Starts body(arg) on a detached thread with at least stackBytes of stack; false when the
// thread could not be started.
bool startThread(void (*body)(void*), void* arg, unsigned stackBytes);

// CPUID function 1, EDX bit 23.
bool cpuHasMmx();

} // namespace platform
