#include "platform/thread.h"

#include <pthread.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace platform {

namespace {
struct Start {
    void (*body)(void*);
    void* arg;
};

void* trampoline(void* p) {
    Start s = *static_cast<Start*>(p);
    delete static_cast<Start*>(p);
    s.body(s.arg);
    return nullptr;
}
} // namespace

bool startThread(void (*body)(void*), void* arg, unsigned stackBytes) {
    // The callers ask for the few kilobytes their loops need; the libraries they call (the
    // module decoder, the C library) want more on this platform, so never go below 256 KiB.
    constexpr unsigned minimum = 256 * 1024;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_attr_setstacksize(&attr, stackBytes > minimum ? stackBytes : minimum);
    auto* start = new Start{body, arg};
    pthread_t tid;
    int rc = pthread_create(&tid, &attr, trampoline, start);
    pthread_attr_destroy(&attr);
    if (rc != 0) delete start;
    return rc == 0;
}

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
