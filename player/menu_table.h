#pragma once
// The collection as constant data: every menu line, the random-play list and the scroll texts.
// The definitions are generated at build time from a collection file (content/collection.txt
// for the shipped disk), so one player works with a table of any shape.
#include <cstdint>

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
