#include "visuals/fonts.h"

#include <cstring>

namespace visuals {

namespace {

// Gives the characters of cells consecutive cells from x onward; returns the next free x.
int assignCells(GlyphTable& t, const char* characters, int x) {
    for (const char* c = characters; *c; ++c, x += GLYPH_CELL)
        t.x[static_cast<unsigned char>(*c)] = x;
    return x;
}

// Letters: upper and lower case share a cell.
int assignLetters(GlyphTable& t, int x) {
    for (int i = 0; i < 26; ++i, x += GLYPH_CELL) t.x['A' + i] = t.x['a' + i] = x;
    return x;
}

} // namespace

GlyphTable makeMenuGlyphTable() {
    GlyphTable t;
    t.rows = 14;
    int x = assignCells(t, "1234567890", 0);
    x = assignLetters(t, x);
    assignCells(t, "-.@ ?'", x);
    return t;
}

GlyphTable makeScrollGlyphTable() {
    GlyphTable t;
    t.rows = 30;
    int x = assignCells(t, "1234567890", 0);
    x = assignLetters(t, x);
    x = assignCells(t, "-+><!?.,:", x);
    x += GLYPH_CELL; // a cell no character uses
    assignCells(t, ";\"/*@#$% ^~&()='", x);
    return t;
}

std::array<std::int32_t, 80> makeListFadeTable() {
    std::array<std::int32_t, 80> f{};
    for (int i = 0; i < 80; ++i) f[i] = static_cast<std::int32_t>((80 - i) * 0.0125 * 255);
    return f;
}

std::array<std::int32_t, 30> makeBandFadeTable() {
    std::array<std::int32_t, 30> f{};
    const float step = 1.0f / 30.0f;
    for (int i = 0; i < 30; ++i)
        f[i] = static_cast<std::int32_t>(static_cast<float>(30 - i) * step * 255.0f);
    return f;
}

std::int32_t glyphX(const GlyphTable& table, int character) {
    return character >= 0 && character < 128 ? table.x[character] : 0;
}

void drawGlyph(const PtcSurface* font, const GlyphTable& table, int character,
               PtcSurface* destination, int x, int y) {
    const int gx = glyphX(table, character);
    PtcArea from{gx, 1, gx + GLYPH_WIDTH, 1 + table.rows};
    PtcArea to{x, y, x + GLYPH_WIDTH, y + table.rows};
    ptc_surface_copy_area(font, destination, &from, &to);
}

} // namespace visuals
