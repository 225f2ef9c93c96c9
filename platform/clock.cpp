#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
struct SystemClock final : ClockSource {
    std::uint32_t offset = 0;
    std::uint32_t now() override {
        using namespace std::chrono;
        auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        return static_cast<std::uint32_t>(ms) + offset;
    }
    void waitUntil(std::uint32_t deadline) override {
        for (;;) {
            std::int32_t left = static_cast<std::int32_t>(deadline - now());
            if (left <= 0) return;
            if (left > 2)
                std::this_thread::sleep_for(std::chrono::milliseconds(left - 2));
            else
                std::this_thread::yield();
        }
    }
    void sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

SystemClock systemClock;
ClockSource* activeClock = &systemClock;
} // namespace

ClockSource* setClockSource(ClockSource* src) {
    ClockSource* old = activeClock;
    activeClock = src ? src : &systemClock;
    return old;
}

void offsetSystemClock(std::uint32_t ms) {
    systemClock.offset = ms;
}

std::uint32_t timeGetTime() {
    return activeClock->now();
}
void sleepMs(std::uint32_t ms) {
    activeClock->sleep(ms);
}
void waitUntil(std::uint32_t deadline) {
    activeClock->waitUntil(deadline);
}

} // namespace platform
