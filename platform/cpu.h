#pragma once
// What the processor offers, asked once at start-up.

namespace platform {

// CPUID function 1, EDX bit 23.
bool cpuHasMmx();

} // namespace platform
