#pragma once
// What the processor offers, asked once at start-up.

namespace platform {

// CPUID function 1, EDX bit 23.
bool cpuHasMmx();
// Whether the processor (and the system) runs AVX2 code. Right even when first asked from a
// static initialiser.
bool cpuHasAvx2();
// The same for AVX-512 F, BW, VL and VBMI, the system saving their registers.
bool cpuHasAvx512Vbmi();

} // namespace platform
