#pragma once
// The records of a menu table, whoever makes it: the build's table generator (the constant
// table of the built-in disk) or a disk made at run time; the player's menu walks one, the
// export reads one.
#include <cstdint>
#include <string>

// What a menu row does when chosen; only the low byte is ever looked at.
enum RowKind : std::uint32_t {
    ROW_PLAIN = 0,    // blank line, banner or arranger header
    ROW_TUNE = 1,     // plays the module named by `resource`
    ROW_SCROLLER = 2, // shows `scrollText` in the scroll band
};

struct MenuRow {
    const char* text;       // the display line, always MENU_LINE_LENGTH characters
    std::uint32_t duration; // tune rows: listed playing time in ms; 0 otherwise
    std::uint32_t header;   // 1 for an arranger header (drawn in white)
    RowKind kind;           // what choosing the row does
    const char* resource;   // tune rows: module file name; scroller rows: its .txt name
    const char* scrollText; // scroller rows: the text for the band; null otherwise
};

constexpr int MENU_LINE_LENGTH = 25;

// A whole table as the menu walks it: the one the program was built with, or one a disk made
// at run time from the user's modules lays out.
struct MenuTable {
    const MenuRow* rows; // rowCount rows, then the all-zero row
    std::int32_t rowCount;
    const std::int32_t* playList;
    std::int32_t playListLength;
    const char* const* scrollTexts; // in scroller-row order; the first opens the band
    std::int32_t scrollTextCount;
    std::int32_t firstTuneRow;
    const char* endTune; // the end pictures' tune
    // Rows of a run-time table change as its modules are measured; this counts the changes.
    std::uint32_t version;
    // The module bytes of a tune row's resource (or the end tune), as a locked resource that a
    // tune switch takes; null when there are none to play.
    const unsigned char* (*loadModule)(const char* resource);
    // The disk's title, and a tune row's title as its module or collection names it (null: the
    // row's own text says it).
    const char* title;
    std::string (*tuneTitle)(int row);
};

// A tune without a known time (being measured) plays this long under random play.
inline constexpr std::uint32_t UNKNOWN_TUNE_MS = 180000;
