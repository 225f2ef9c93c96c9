#pragma once
// Shade tables of palette textures: for each palette entry 64 colours, from black (0) through
// the colour itself (31) towards white (62); entry 63 is black again.
#include <cstdint>

#include "engine/sort_table.h"

namespace engine {

enum : int { SHADE_LEVELS = 64, SHADE_TABLE_OFFSET = 65536 };

// Fills 256 blocks of 64 colours (0x00RRGGBB) at table from the 256 palette colours; tint null
// takes the colours as they are, otherwise each component is first trunc(component x tint).
void BuildShadeTable(const std::uint32_t* palette, const AmbientTint* tint, std::uint32_t* table);

// Entry `level` (0 to 63) of the block of one colour.
std::uint32_t ShadeOf(std::uint32_t colour, int level);

} // namespace engine
