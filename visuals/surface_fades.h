#pragma once
// Whole-surface darkening built on the span routines, for the screen transitions.
#include "console/console.h"

namespace visuals {

// target = source darkened by level (0..255) per colour channel, row by row. Works over the
// part both surfaces share, each with its own pitch, so a smaller target is never overrun.
// Both must be 32-bit surfaces; anything else raises PtcError.
void fadeSurfaceFrom(PtcSurface* source, PtcSurface* target, int level);
// Darkens the surface by 15 per colour channel: 17 calls take any picture to black.
void fadeSurfaceInPlace(PtcSurface* surface);

} // namespace visuals
