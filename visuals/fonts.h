#pragma once
// The two bitmap fonts: glyph position tables, the fade tables built beside them, and drawing
// one glyph cell with an area copy. A font picture is one row of 14-pixel glyph cells, 15 pixels
// apart; row 0 of the picture is never copied.
#include "console/console.h"

#include <array>
#include <cstdint>

namespace visuals {

struct GlyphTable {
    std::array<std::int32_t, 128> x{}; // cell x per character code; 0 (the "1") when unlisted
    int rows = 0;                      // glyph height copied from the picture, from row 1
};

inline constexpr int GLYPH_WIDTH = 14;
inline constexpr int GLYPH_CELL = 15;

// Menu font: digits, letters (both cases on one cell), "-", ".", the two row markers on "?"
// and "@", space, "'". Glyphs are 14 rows high.
GlyphTable makeMenuGlyphTable();
// Scroll font: digits, letters, punctuation and symbols; the cell at 675 is left unused.
// Glyphs are 30 rows high.
GlyphTable makeScrollGlyphTable();

// The list fade table: entry i = trunc((80 - i) * 0.0125 * 255), 255 down to 3.
std::array<std::int32_t, 80> makeListFadeTable();
// The band fade table: entry i = trunc((30 - i) * (1/30) * 255) in single precision, 255 down
// to 8.
std::array<std::int32_t, 30> makeBandFadeTable();

// The cell x of a character; codes outside 0..127 get the cell of "1" like unlisted ones.
std::int32_t glyphX(const GlyphTable& table, int character);

// Copies the glyph of character from the font picture (area x, 1, x + 14, 1 + rows) to the
// same-sized area at (x, y) of the destination.
void drawGlyph(const PtcSurface* font, const GlyphTable& table, int character,
               PtcSurface* destination, int x, int y);

} // namespace visuals
