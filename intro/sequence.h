#pragma once
// What the picture sequences share: rows of locked surfaces, the paced frame, picture loading
// and the in-place fade.
#include "intro/intro.h"
#include "platform/clock.h"

#include <cstddef>
#include <cstdint>

namespace intro {

constexpr std::uint32_t PACE_MS = 50;
// Where the caption, the large logo and the final fade are shown.
extern const PtcArea pictureArea;

inline std::uint32_t* row(PtcSurface* s, void* pixels, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels) +
                                            static_cast<std::size_t>(y) * ptc_surface_pitch(s));
}

// One paced frame: key test, draw, present, exchange, wait for the deadline. False once the
// sequence must end because a key was pressed (the frame is still finished and shown).
template <class Draw> bool pacedFrame(const PtcArea* area, Draw draw) {
    IntroState& st = introState;
    const std::uint32_t deadline = platform::timeGetTime() + PACE_MS;
    if (st.services->keyWaiting(st.console)) st.introAborted = 1;
    draw();
    PresentAndSwap(area);
    platform::waitUntil(deadline);
    return !st.introAborted;
}

// A picture of the data file as an ARGB8888 surface of at least width x height, or null after
// the error report ("can't read image!") with introAborted set. A smaller picture cannot be
// drawn where it belongs, so it counts as unreadable.
PtcSurface* loadPicture(const char* entry, int width, int height);

// Darkens rows first..last of the frame surface by 15 per channel.
void fadeRows(int first, int last);

} // namespace intro
