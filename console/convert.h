#pragma once
// Pixel conversion between formats, shared by surface loads, conversions and console copies.
#include "console/console.h"

namespace console {

// One pixel value of format from as 0x00RRGGBB (palette entries for 8-bit indexed formats).
std::uint32_t toArgb(std::uint32_t value, const PtcFormat& from, const PtcPalette* palette);
// 0x00RRGGBB as a pixel value of format to.
std::uint32_t fromArgb(std::uint32_t argb, const PtcFormat& to);
// Converts count pixels of one row.
void convertRow(const std::uint8_t* src, const PtcFormat& from, const PtcPalette* palette,
                std::uint8_t* dst, const PtcFormat& to, int count);

} // namespace console
