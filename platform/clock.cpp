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
        // The counter turns over at whole milliseconds of the steady clock, so the moment it
        // reaches the deadline is known exactly: sleep until then instead of spinning.
        using namespace std::chrono;
        for (;;) {
            auto t = steady_clock::now();
            auto ms = duration_cast<milliseconds>(t.time_since_epoch());
            std::int32_t left = static_cast<std::int32_t>(
                deadline - (static_cast<std::uint32_t>(ms.count()) + offset));
            if (left <= 0) return;
            std::this_thread::sleep_until(steady_clock::time_point(ms + milliseconds(left)));
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
