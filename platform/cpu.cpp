#include "platform/cpu.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace platform {

bool cpuHasMmx() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    return (d >> 23) & 1;
#else
    return true; // the span routines have plain C++ versions everywhere else
#endif
}

bool cpuHasAvx2() {
#if defined(__i386__) || defined(__x86_64__)
    static const bool yes = [] {
        __builtin_cpu_init(); // the feature constructor may not have run yet
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return yes;
#else
    return false;
#endif
}

bool cpuHasAvx512Vbmi() {
#if defined(__i386__) || defined(__x86_64__)
    static const bool yes = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi");
    }();
    return yes;
#else
    return false;
#endif
}

} // namespace platform
