#pragma once
// Point-sampled resizing of pictures, in two passes (rows, then columns) with a 10-bit step.
#include "console/console.h"

namespace engine {

// A new surface of the given size in the source's format (32-bit pictures; the indexed variant
// for 8-bit pictures, palette kept), or null for sizes below 1, a source of the wrong kind or
// a surface that cannot be made. The caller owns the result.
PtcSurface* ResizeSurface(const PtcSurface* surface, int width, int height);
PtcSurface* ResizeIndexedSurface(const PtcSurface* surface, int width, int height);

// The source position of destination pixel k when `from` pixels become `to`: the step
// trunc(from x 1024.0 / to) accumulated by addition, its integer part taken.
int ResizeSource(int from, int to, int k);

} // namespace engine
