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

} // namespace platform
