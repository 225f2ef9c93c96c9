#include "platform/thread.h"

#include <pthread.h>

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

} // namespace platform
