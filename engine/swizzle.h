#pragma once
// 32-bit textures in the layout the textured rasterizers read: 32 vertical strips of 8 texels
// x 256 rows, so that texel (x, y) is at (x >> 3) * 2048 + y * 8 + (x & 7).
#include <cstdint>

#include "console/console.h"
#include "engine/sort_table.h"

namespace engine {

constexpr int SwizzledIndex(int x, int y) {
    return (x >> 3) * 2048 + y * 8 + (x & 7);
}

// Writes the 256x256 32-bit picture swizzled into the slot; with computeAmbient each colour is
// tinted by ambientTint and the alpha byte cleared. Returns 0 (writing nothing) for a surface
// that is not 256x256 at 32 bits.
int SwizzleTexture(const PtcSurface* surface, std::uint8_t* slot);

// The same from rows of 256 texels `pitch` bytes apart; tint null copies texels unchanged.
// The reference is the plain per-texel loop; the fast one is chosen once at start-up and gives
// the same bytes.
void SwizzleTexelsReference(const std::uint8_t* rows, int pitch, std::uint32_t* slot,
                            const AmbientTint* tint);
void SwizzleTexels(const std::uint8_t* rows, int pitch, std::uint32_t* slot,
                   const AmbientTint* tint);

// A texel tinted: trunc(channel x tint) for red, green and blue, alpha 0.
std::uint32_t TintTexel(std::uint32_t texel, const AmbientTint& tint);

} // namespace engine
