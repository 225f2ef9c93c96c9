#pragma once
// Which output frame a listener hears now. The audio callback hands the device a buffer well
// before it sounds; each callback leaves an anchor (the frame heard at that instant and the last
// frame the device holds), and a reader moves on from the anchor at the output rate. Readers
// never block the callback: the anchor is published under a sequence count and read again when
// it changed meanwhile.
#include <atomic>
#include <cstdint>

namespace audio {

struct ClockAnchor {
    std::int64_t heardFrame = 0; // heard at timeNs; negative while the device's first buffers fill
    std::int64_t limitFrame = 0; // the device has nothing after this frame
    std::int64_t timeNs = 0;     // steady clock
};

// The frame heard at nowNs: the anchor advanced at rate frames a second, never past the limit
// (a late callback means the device starves, not that it plays ahead) and never below 0.
std::int64_t heardFrameAt(const ClockAnchor& anchor, std::int64_t nowNs, unsigned rate);

// Nanoseconds of the steady clock.
std::int64_t steadyNowNs();

class HeardClock {
  public:
    // One writer at a time: the audio callback, or the control thread while no device runs.
    void publish(const ClockAnchor& anchor);
    ClockAnchor read() const;
    void reset() { publish(ClockAnchor{}); }

  private:
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::int64_t> heard_{0};
    std::atomic<std::int64_t> limit_{0};
    std::atomic<std::int64_t> time_{0};
};

} // namespace audio
