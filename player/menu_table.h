#pragma once
// The collection as constant data: every menu line, the random-play list and the scroll texts.
// The definitions are generated at build time from a collection file (content/collection.txt
// for the shipped disk), so one player works with a table of any shape.
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

// MENU_ROW_COUNT rows followed by one all-zero row that only the cursor's lowest resting
// place ever reaches.
extern const MenuRow menuTable[];
// The row count every walker uses (kept beside the table as a plain integer).
extern const std::int32_t menuRowCount;
// The tune rows in table order; random play picks an index into it.
extern const std::int32_t playList[];
// The scroll texts in scroller-row order; the first is also the band's opening text.
extern const char* const scrollTexts[];
// Module file of the tune that plays over the end pictures (it has no menu row).
extern const char* const endTuneResource;

// The layout numbers of the collection the program was built with, written beside the table
// (73, 31, 9, 6 and 64 for the shipped one). Every collection has at least one tune and one
// scroller row.
extern const std::int32_t MENU_ROW_COUNT;
extern const std::int32_t PLAY_LIST_LENGTH;
extern const std::int32_t SCROLL_TEXT_COUNT;
extern const std::int32_t FIRST_TUNE_ROW;     // the tune the menu starts with
extern const std::int32_t FIRST_SCROLLER_ROW; // the scroller rows run from here to the end

// The table the menu walks: the one the program was built with (above), or one a disk made at
// run time from the user's modules lays out. Every walker reads it through menu_table().
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

const MenuTable& menu_table();
// Makes table the one the menu walks; null goes back to the built-in one. The table must stay
// until it is replaced.
void use_menu_table(const MenuTable* table);
