#pragma once
// The aurora panel's moving light and the star sprites that twinkle in it.
#include <cstdint>
#include <vector>

namespace art {

inline constexpr int AURORA_FRAMES = 44, AURORA_ROWS = 140, AURORA_COLUMNS = 180;
inline constexpr int AURORA_MAX = 98;
inline constexpr int STARS_BYTES = 1516;

// 44 frames of 140 rows x 180 columns, one byte each (0..98): the light added to the panel's
// blue. Frame 44 + f of the endless sequence is frame f mirrored, so playing all 44, then
// their mirror images, then everything backwards moves without a jump.
std::vector<std::uint8_t> makeAuroraFrames();
// Any frame of that endless sequence (0..87 is one full sway, then it repeats).
std::vector<std::uint8_t> auroraFrame(int t);

// The three star sprites as 379 little-endian 0x00RRGGBB pixels: 10 x 11 from pixel 0, 9 x 9
// from pixel 110, 12 x 14 from pixel 191; pixels 359..378 are unused and black.
std::vector<std::uint8_t> makeStarSprites();

} // namespace art
