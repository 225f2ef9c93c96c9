#include "audio/heard_clock.h"

#include <chrono>
#include <thread>

namespace audio {

std::int64_t heardFrameAt(const ClockAnchor& anchor, std::int64_t nowNs, unsigned rate) {
    std::int64_t elapsed = nowNs - anchor.timeNs;
    if (elapsed < 0) elapsed = 0;
    // Whole seconds and the rest apart, so a long gap cannot overflow the product.
    std::int64_t frames = elapsed / 1000000000 * rate + elapsed % 1000000000 * rate / 1000000000;
    std::int64_t heard = anchor.heardFrame + frames;
    if (heard > anchor.limitFrame) heard = anchor.limitFrame;
    return heard < 0 ? 0 : heard;
}

std::int64_t steadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void HeardClock::publish(const ClockAnchor& anchor) {
    std::uint32_t s = sequence_.load(std::memory_order_relaxed);
    sequence_.store(s + 1, std::memory_order_relaxed);
    // Release stores: a reader that sees any new field also sees the odd count before it.
    heard_.store(anchor.heardFrame, std::memory_order_release);
    limit_.store(anchor.limitFrame, std::memory_order_release);
    time_.store(anchor.timeNs, std::memory_order_release);
    sequence_.store(s + 2, std::memory_order_release);
}

ClockAnchor HeardClock::read() const {
    for (unsigned tries = 1;; ++tries) {
        // A writer interrupted halfway holds the count odd until it runs again; let it.
        if (tries % 64 == 0) std::this_thread::yield();
        std::uint32_t before = sequence_.load(std::memory_order_acquire);
        ClockAnchor a;
        // Acquire loads keep the second reading of the count after them.
        a.heardFrame = heard_.load(std::memory_order_acquire);
        a.limitFrame = limit_.load(std::memory_order_acquire);
        a.timeNs = time_.load(std::memory_order_acquire);
        if (!(before & 1) && sequence_.load(std::memory_order_relaxed) == before) return a;
    }
}

} // namespace audio
