#pragma once
// The scroll-text band and the level meter of the menu screen.
#include <array>
#include <cstdint>

inline constexpr int BAND_WIDTH = 432;
inline constexpr int BAND_HEIGHT = 30;
inline constexpr int LINE_WIDTH = 448; // the band plus one 16-pixel cell
inline constexpr int CELL = 16;
inline constexpr int BAND_FADE = 30; // pixels (and frames) of the fades

struct Scroller {
    const char* text = nullptr;
    std::int32_t length = 0;
    std::int32_t cellOffset = 0;
    std::int32_t nextCharacter = 0;
    std::int32_t transition = 0;
    std::int32_t speed = 1;
    std::array<std::int32_t, 30> fade{}; // the band fade table
};

extern Scroller scroller;

// Back to the opening text, no transition, speed 1 (the state at program start).
void reset_scroller();
// Builds the scroll font's glyph table and the band fade table.
void scroller_setup();
void scroller_set_text(const char* text);
// Goes on with text, a longer form of the one shown that starts with all of it, from where the
// band is (no transition).
void scroller_extend_text(const char* text);
// One frame: moves the text and composes the band over its background.
void scroller_step();
// Draws the meter from the music's activity and level.
void level_meter_draw();
// The drawing itself, on a 640-pixel line: clears both bar ranges, then (when active) draws
// the left bar leftwards from x 290 and the right bar rightwards from x 300.
void level_meter_paint(std::uint32_t* line, bool active, std::uint32_t level);
