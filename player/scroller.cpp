// The scroll-text band (a line buffer moved a pixel at a time, its edges faded over the band's
// background) and the level meter. Reads and writes the scroller's state, reads the shell's
// pictures and the music's level.
#include "player/scroller.h"

#include "audio/music.h"
#include "player/menu_table.h"
#include "player/shell.h"
#include "visuals/fonts.h"
#include "visuals/spans.h"

#include <algorithm>
#include <cstring>

Scroller scroller;

namespace {
visuals::GlyphTable scrollGlyphs;

// The edge fades: per colour byte (band x bandWeight + background x backgroundWeight) / 256,
// saturated; magenta shows the background.
void fade_edge_pixel(std::uint32_t band, std::uint32_t background, std::uint32_t& out,
                     int bandWeight, int backgroundWeight) {
    if (band == visuals::COLOR_KEY) {
        out = background;
        return;
    }
    std::uint32_t result = band & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int v = (static_cast<int>((band >> shift) & 0xFF) * bandWeight +
                       static_cast<int>((background >> shift) & 0xFF) * backgroundWeight) >>
                      8;
        result |= static_cast<std::uint32_t>(std::min(v, 255)) << shift;
    }
    out = result;
}

void copy_line_into_band() {
    PtcArea from{scroller.cellOffset, 0, scroller.cellOffset + BAND_WIDTH, BAND_HEIGHT};
    PtcArea to{0, 0, BAND_WIDTH, BAND_HEIGHT};
    ptc_surface_copy_area(shell.pictures.scrollLine, shell.pictures.scrollBand, &from, &to);
}

void clear_line(const PtcArea* area) {
    PtcColor key{1.0f, 0.0f, 1.0f};
    ptc_surface_clear_color(shell.pictures.scrollLine, &key, area);
}

} // namespace

void reset_scroller() {
    scroller = Scroller{};
    scroller.text = menu_table().scrollTexts[0];
    scroller.length = static_cast<std::int32_t>(std::strlen(scroller.text));
    scroller.fade = visuals::makeBandFadeTable();
}

void scroller_setup() {
    scrollGlyphs = visuals::makeScrollGlyphTable();
    scroller.fade = visuals::makeBandFadeTable();
    if (!scroller.text) {
        scroller.text = menu_table().scrollTexts[0];
        scroller.length = static_cast<std::int32_t>(std::strlen(scroller.text));
    }
}

void scroller_extend_text(const char* text) {
    scroller.text = text;
    scroller.length = static_cast<std::int32_t>(std::strlen(text));
}

void scroller_set_text(const char* text) {
    scroller.text = text;
    scroller.length = static_cast<std::int32_t>(std::strlen(text));
    scroller.transition = 30;
}

void scroller_step() {
    PtcSurface* band = shell.pictures.scrollBand;
    PtcSurface* background = shell.pictures.bandBackground;
    const auto& T = scroller.fade;
    if (scroller.transition != 0) {
        --scroller.transition;
        copy_line_into_band();
        if (scroller.transition == 0) {
            clear_line(nullptr);
            scroller.cellOffset = 0;
            scroller.nextCharacter = 0;
        }
        const int k = scroller.transition;
        for (int y = 0; y < BAND_HEIGHT; ++y)
            visuals::keyedBlendSpan(
                surface_row(background, y), surface_row(band, y), surface_row(band, y), BAND_WIDTH,
                static_cast<std::uint16_t>(T[k]), static_cast<std::uint16_t>(T[29 - k]));
        return;
    }
    scroller.cellOffset += scroller.speed;
    if (scroller.cellOffset > 15) {
        scroller.cellOffset = 0;
        PtcArea from{CELL, 0, LINE_WIDTH, BAND_HEIGHT}, to{0, 0, LINE_WIDTH - CELL, BAND_HEIGHT};
        ptc_surface_copy_area(shell.pictures.scrollLine, shell.pictures.scrollLine, &from, &to);
        PtcArea gap{446, 0, 448, BAND_HEIGHT};
        clear_line(&gap);
        if (scroller.length > 0) {
            visuals::drawGlyph(shell.pictures.scrollFont, scrollGlyphs,
                               static_cast<unsigned char>(scroller.text[scroller.nextCharacter]),
                               shell.pictures.scrollLine, BAND_WIDTH, 0);
            if (++scroller.nextCharacter >= scroller.length) scroller.nextCharacter = 0;
        }
    }
    copy_line_into_band();
    for (int y = 0; y < BAND_HEIGHT; ++y) {
        std::uint32_t* b = surface_row(band, y);
        const std::uint32_t* bg = surface_row(background, y);
        for (int x = 0; x < BAND_FADE; ++x) fade_edge_pixel(b[x], bg[x], b[x], T[29 - x], T[x]);
        visuals::fillKeyedSpan(bg + BAND_FADE, b + BAND_FADE, BAND_WIDTH - 2 * BAND_FADE);
        for (int x = BAND_WIDTH - BAND_FADE; x < BAND_WIDTH; ++x)
            fade_edge_pixel(b[x], bg[x], b[x], T[x - 402], T[29 - (x - 402)]);
    }
}

void level_meter_paint(std::uint32_t* line, bool active, std::uint32_t level) {
    std::fill(line + 163, line + 291, 0u);
    std::fill(line + 300, line + 428, 0u);
    if (!active) return;
    const int left = static_cast<int>(level & 0xFFFF), right = static_cast<int>(level >> 16);
    int leftBar = 0, rightBar = 0;
    for (int t = 1; t < 128; t += t - t / 2) {
        if (left >= t) leftBar += 8;
        if (right >= t) rightBar += 8;
    }
    auto colour = [](int i) {
        const std::uint32_t v = static_cast<std::uint32_t>(std::min(2 * i + 64, 255));
        return ((v / 2) << 16) | (v << 8) | v;
    };
    for (int i = 0; i < leftBar; ++i) line[290 - i] = colour(i);
    for (int i = 0; i < rightBar; ++i) line[300 + i] = colour(i);
}

void level_meter_draw() {
    PtcSurface* line = shell.pictures.meterLine;
    auto* p = static_cast<std::uint32_t*>(ptc_surface_lock(line));
    const bool active = music_is_active() != 0;
    level_meter_paint(p, active, active ? music_level() : 0);
    ptc_surface_unlock(line);
}
