#pragma once
// Animated textures: up to 16 frames of 64x64 share one slot as 4 x 4 tiles of a swizzled
// 256x256 picture; longer animations take one slot per group of 16.
#include <cstdint>

#include "console/console.h"

namespace engine {

enum : int { FRAME_SIZE = 64, FRAMES_PER_SLOT = 16 };

// Loads frames 1 to `frames` of the animation named by path (whose ".0" is followed by the
// two-digit frame number, counted over the whole animation) into consecutive slots from
// firstSlot. With withMap, each frame's alpha bytes take the 64x64 transparency map's indices.
// Returns 1, or 0 after reporting why; it never ends the process.
int LoadAnimatedFrames(const char* path, int frames, std::uint8_t* firstSlot, int withMap,
                       const PtcSurface* map);

// Texel offset of frame f's tile inside its slot.
float FrameOffsetU(int frame);
float FrameOffsetV(int frame);

// The countdown of StepAnimatedTextures starts again at 1 (each scene starts afresh).
void RestartAnimationClock();

} // namespace engine
