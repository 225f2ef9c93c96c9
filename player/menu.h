#pragma once
// The menu screen: the scrolling tune list, random play, the indicator, meters, scroll band and
// aurora, and the leave sequence that hands over to the fade-out.
#include "audio/music.h"
#include "console/console.h"
#include "platform/random.h"
#include "player/menu_table.h"
#include "visuals/fonts.h"

#include <cstdint>

// The list: 25 glyph cells of text, then the marker's column; 16 pixel rows a slot.
inline constexpr int MENU_MARKER_X = MENU_LINE_LENGTH * visuals::GLYPH_CELL; // 375
inline constexpr int MENU_LIST_WIDTH = MENU_MARKER_X + visuals::GLYPH_CELL;  // 390
inline constexpr int MENU_WINDOW_HEIGHT = 220; // the menu area's height
inline constexpr int MENU_SLOT = 16;           // pixel rows per list slot
inline constexpr int MENU_EMPTY_SLOTS = 7;     // empty slots above and below the rows
// The list is drawn only where the window shows it: a strip of the slots it can touch (15 of
// 16 rows: 220 window rows from any row of a slot), so its length is bounded by memory, not by
// one picture.
inline constexpr int MENU_STRIP_SLOTS = 15;
inline constexpr int MENU_STRIP_HEIGHT = MENU_STRIP_SLOTS * MENU_SLOT;
// The farthest the list glides towards a playing row; a longer way is jumped down to this (the
// whole way of the shipped list, so it always glides).
inline constexpr int MENU_FOLLOW_GLIDE = 1172;
// Page Up and Page Down move the list by most of a window.
inline constexpr int MENU_PAGE = 13 * MENU_SLOT;
inline constexpr std::uint32_t MENU_TEXT = 0xddddff;
inline constexpr std::uint32_t MENU_HEADER_TEXT = 0xffffff;
inline constexpr std::uint32_t MENU_HIGHLIGHT = 0xeebb33;
inline constexpr int RANDOM_RANGE = 32768; // the random source yields 0 .. RANDOM_RANGE - 1

struct Menu {
    // The list
    std::int32_t scroll = 0; // list rows above the window's top; a multiple of 4
    std::int32_t previousMouseY = 0;
    std::int32_t mouseY = 0; // from the window procedure
    bool mouseSeen = false;  // previous mouse y is taken on the first list step
    std::int32_t follow = 0;
    std::int32_t playingRow = 0;
    std::int32_t selectedRow = 0;
    std::int32_t markerCountdown = 0;
    std::int32_t markerBlink = 30;
    std::int32_t scrollBy = 0; // list rows to move at the next step (Page Up, Home ...)
    // Random play
    std::int32_t randomPlay = 0;
    std::uint32_t randomStart = 0;
    std::uint32_t randomDuration = 0;
    // The row whose tune was last handed to a switch (by play_row or activate_selection); -1
    // before the first.
    std::int32_t tuneRow = -1;
    // Pause: since when the tune stands (random play's clock stands with it), and whether it
    // was stopped (paused back at its start).
    bool paused = false;
    std::uint32_t pausedAt = 0;
    bool stopped = false;
    // Redraw counters and the meter
    std::int32_t indicatorRedraw = 0;
    std::int32_t indicatorRepaint = 0; // pages still to get the indicator after a repaint
    std::int32_t meterRedraw = 0;
    std::int32_t meterOn = 0;
    // Leaving
    std::int32_t leaveRequest = 0;
    std::int32_t leaveCountdown = 100;
    MusicFlag fadeOutDone; // cleared by the audio fade-out thread
    std::int32_t exitBlink = 1;
    std::int32_t firstFrame = 1;
    std::int32_t windowRestored = 0;
};

extern Menu menu;

// Back to the state the program starts in (for tests).
void reset_menu();

// A row of the table, the all-zero row for the cursor's lowest resting place and beyond; and
// its kind (only the low byte counts).
const MenuRow& menu_row(int index);
int menu_row_kind(int index);

// The list height for the table: (row count + 14) slots.
int menu_list_height();
// A row of the list as drawn (list row y, 0 at the top of the first empty slot); null when the
// strip does not hold it.
const std::uint32_t* menu_list_row(int y);
// The lowest scroll position: list height minus window height (1172 for 73 rows).
int menu_scroll_limit();

void menu_list_prerender();
// One frame of the menu screen; true when the menu has left: its last picture is in the work
// surface, and the fade-out screen comes next.
bool menu_frame(PtcConsole* console, PtcSurface* workSurface);
// The list step alone (scroll, cursor, marker, composition of the menu window).
void menu_list_step();
void play_row(int row);
void activate_selection();
void random_play_start();
// Which play-list entry random play takes: 0 .. count - 1, each with the same chance, from a
// source of 0 .. 32767.
int random_play_index(int count, platform::RandomSource random);
void random_play_tick();
