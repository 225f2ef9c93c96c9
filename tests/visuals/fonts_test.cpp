// Glyph tables, fade tables and the glyph copy.
#include "visuals/fonts.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

using visuals::glyphX;

TEST(GlyphTables, MenuFontCells) {
    const auto t = visuals::makeMenuGlyphTable();
    EXPECT_EQ(t.rows, 14);
    EXPECT_EQ(glyphX(t, '1'), 0);
    EXPECT_EQ(glyphX(t, '9'), 120);
    EXPECT_EQ(glyphX(t, '0'), 135);
    EXPECT_EQ(glyphX(t, 'A'), 150);
    EXPECT_EQ(glyphX(t, 'Z'), 525);
    EXPECT_EQ(glyphX(t, '-'), 540);
    EXPECT_EQ(glyphX(t, '.'), 555);
    EXPECT_EQ(glyphX(t, '@'), 570); // the scroller-row marker
    EXPECT_EQ(glyphX(t, ' '), 585);
    EXPECT_EQ(glyphX(t, '?'), 600); // the tune-row marker
    EXPECT_EQ(glyphX(t, '\''), 615);
    for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(glyphX(t, c), glyphX(t, c - 32)) << c;
    // Unlisted characters fall back to the cell of "1".
    EXPECT_EQ(glyphX(t, '!'), 0);
    EXPECT_EQ(glyphX(t, '['), 0);
    EXPECT_EQ(glyphX(t, ';'), 0);
    EXPECT_EQ(glyphX(t, 0), 0);
    EXPECT_EQ(glyphX(t, 200), 0);
    EXPECT_EQ(glyphX(t, -1), 0);
}

TEST(GlyphTables, ScrollFontCells) {
    const auto t = visuals::makeScrollGlyphTable();
    EXPECT_EQ(t.rows, 30);
    EXPECT_EQ(glyphX(t, 'a'), glyphX(t, 'A'));
    EXPECT_EQ(glyphX(t, 'q'), 150 + 16 * 15);
    const char* punctuation = "-+><!?.,:";
    for (int i = 0; punctuation[i]; ++i) EXPECT_EQ(glyphX(t, punctuation[i]), 540 + 15 * i);
    EXPECT_EQ(glyphX(t, ';'), 690); // never the unused cell at 675
    const char* symbols = "\"/*@#$% ^~&()='";
    for (int i = 0; symbols[i]; ++i) EXPECT_EQ(glyphX(t, symbols[i]), 705 + 15 * i);
    EXPECT_EQ(glyphX(t, ' '), 810);
    EXPECT_EQ(glyphX(t, '['), 0);
    EXPECT_EQ(glyphX(t, '_'), 0);
    // No character lands on 675, and apart from "1" and the fallbacks no two share a cell
    // except the two cases of a letter.
    std::set<int> cells;
    for (int c = 32; c < 127; ++c) {
        const int x = glyphX(t, c);
        EXPECT_NE(x, 675) << c;
        if (x != 0 && !(c >= 'a' && c <= 'z')) {
            EXPECT_TRUE(cells.insert(x).second) << c;
        }
    }
    EXPECT_EQ(cells.size(), 9u + 26 + 9 + 1 + 15); // 1 is the zero cell
}

TEST(FadeTables, ListAndBandTables) {
    const auto list = visuals::makeListFadeTable();
    EXPECT_EQ(list[0], 255);
    EXPECT_EQ(list[1], 251); // 79 * 255 / 80 = 251.8
    EXPECT_EQ(list[16], 204);
    EXPECT_EQ(list[79], 3);
    const auto band = visuals::makeBandFadeTable();
    EXPECT_EQ(band[0], 255);
    EXPECT_EQ(band[1], 246); // 29 * 8.5 = 246.5
    EXPECT_EQ(band[10], 170);
    EXPECT_EQ(band[29], 8);
    for (int i = 0; i < 80; ++i) EXPECT_EQ(list[i], (80 - i) * 255 / 80) << i;
    for (int i = 0; i < 30; ++i) EXPECT_EQ(band[i], (30 - i) * 255 / 30) << i;
}

struct SurfaceDeleter {
    void operator()(PtcSurface* s) const { ptc_surface_destroy(s); }
};
using Surface = std::unique_ptr<PtcSurface, SurfaceDeleter>;

std::uint32_t& at(PtcSurface* s, int x, int y) {
    return reinterpret_cast<std::uint32_t*>(s->pixels.data())[y * s->width + x];
}

TEST(DrawGlyph, CopiesTheCellFromRowOne) {
    // A font picture whose every pixel says where it came from.
    Surface font(ptc_surface_create(945, 32, nullptr));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 945; ++x) at(font.get(), x, y) = std::uint32_t(y) << 16 | x;
    Surface page(ptc_surface_create(64, 40, nullptr));
    const auto scroll = visuals::makeScrollGlyphTable();
    visuals::drawGlyph(font.get(), scroll, ';', page.get(), 5, 2);
    EXPECT_EQ(at(page.get(), 4, 2), 0u);
    EXPECT_EQ(at(page.get(), 5, 2), 1u << 16 | 690);
    EXPECT_EQ(at(page.get(), 18, 31), 30u << 16 | 703);
    EXPECT_EQ(at(page.get(), 19, 2), 0u); // 14 columns only
    EXPECT_EQ(at(page.get(), 5, 32), 0u); // 30 rows only
    const auto menu = visuals::makeMenuGlyphTable();
    visuals::drawGlyph(font.get(), menu, 'b', page.get(), 40, 20);
    EXPECT_EQ(at(page.get(), 40, 20), 1u << 16 | 165);
    EXPECT_EQ(at(page.get(), 53, 33), 14u << 16 | 178);
    EXPECT_EQ(at(page.get(), 40, 34), 0u);
    // Near the edge the copy is clipped, not written past the surface.
    visuals::drawGlyph(font.get(), scroll, 'x', page.get(), 58, 30);
    EXPECT_EQ(at(page.get(), 63, 39), 10u << 16 | (150 + 23 * 15 + 5));
}

} // namespace
