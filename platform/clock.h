#pragma once
// The millisecond clock and frame pacing.
#include <cstdint>

namespace platform {

// A 32-bit millisecond counter that wraps around after about 49.7 days; compare two readings
// only by their difference.
std::uint32_t timeGetTime();
void sleepMs(std::uint32_t ms);
// Returns once timeGetTime() is at or past the deadline (wrap-aware), sleeping until the very
// moment the counter reaches it rather than spinning a core.
void waitUntil(std::uint32_t deadline);
// True when a is at or past b, across a wrap of the counter.
inline bool clockReached(std::uint32_t a, std::uint32_t b) {
    return static_cast<std::int32_t>(a - b) >= 0;
}

// Where the clock comes from. Tests put a fake one in place to step frame sequences without
// waiting; the real one is active otherwise.
struct ClockSource {
    virtual ~ClockSource() = default;
    virtual std::uint32_t now() = 0;
    virtual void waitUntil(std::uint32_t deadline) = 0;
    virtual void sleep(std::uint32_t ms) = 0;
};
// Installs src (null restores the real clock); returns the one it replaces.
ClockSource* setClockSource(ClockSource* src);
// Moves the real clock's readings by ms, e.g. to run close to the counter's wrap-around.
void offsetSystemClock(std::uint32_t ms);

} // namespace platform
