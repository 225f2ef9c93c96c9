// Glyph tables, fade tables and the glyph copy.
#include "visuals/fonts.h"

#include "content/art/font.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string_view>

namespace {

using visuals::glyphX;

// Every character the fonts draw finds the cell its font picture paints it in (the pictures'
// cell order comes from the art generator, 15 pixels a cell); lower case shares its capital's
// cell; anything else falls back to the cell of "1", and the scroll font's spare cell is never
// used.
void expectCellsOfThePicture(const visuals::GlyphTable& t, std::string_view cells, int rows) {
    EXPECT_EQ(t.rows, rows);
    std::set<int> used;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] == '_') continue; // the cell no character has
        EXPECT_EQ(glyphX(t, cells[i]), art::CELL_PITCH * static_cast<int>(i)) << cells[i];
        used.insert(static_cast<int>(i));
    }
    for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(glyphX(t, c), glyphX(t, c - 32)) << c;
    for (int c = -1; c < 256; ++c) {
        const bool drawn = c > 0 && c < 128 &&
                           (cells.find(static_cast<char>(c)) != std::string_view::npos ||
                            (c >= 'a' && c <= 'z')) &&
                           c != '_';
        if (!drawn)
            EXPECT_EQ(glyphX(t, c), 0) << c; // the cell of "1"
        else
            EXPECT_TRUE(used.count(glyphX(t, c) / art::CELL_PITCH)) << c;
    }
}

TEST(GlyphTables, EveryCharacterFindsTheCellItsFontPictureHas) {
    expectCellsOfThePicture(visuals::makeMenuGlyphTable(), art::MENU_FONT_CELLS, 14);
    expectCellsOfThePicture(visuals::makeScrollGlyphTable(), art::SCROLL_FONT_CELLS, 30);
    // The row markers of the menu.
    EXPECT_EQ(glyphX(visuals::makeMenuGlyphTable(), '?'), 600);
    EXPECT_EQ(glyphX(visuals::makeMenuGlyphTable(), '@'), 570);
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
