#pragma once
// The trail effect: the frame just rendered blended with the frame shown last, which already
// carries the trails of earlier frames.
#include <cstdint>

namespace engine {

// Blends previous into frame (both width x height, rows pitchBytes apart). By trailMode: 2
// shifts the source one pixel along memory order, 3, 1001 and 1003 two pixels, anything else
// none; 1001 to 1003 average all four bytes of pixel pairs with their low bits dropped, the
// others average the three colour bytes exactly and keep the fourth. A source past the last
// pixel of the surface is that last pixel.
void ApplyTrail(std::uint32_t* frame, const std::uint32_t* previous, int width, int height,
                int pitchBytes, int trailMode);

// The plain per-pixel version, kept as the reference of the fast one.
void ApplyTrailScalar(std::uint32_t* frame, const std::uint32_t* previous, int width, int height,
                      int pitchBytes, int trailMode);

} // namespace engine
