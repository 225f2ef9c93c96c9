#pragma once
// The collection file: parsing it into the rows of the menu table and checking every rule the
// player relies on (line length, font characters, row layout, times, text lengths).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace content {

// A broken rule, with the 1-based line of the collection file it concerns (0: the whole file).
struct CollectionError : std::runtime_error {
    int line;
    CollectionError(int line, const std::string& what) : std::runtime_error(what), line(line) {}
};

struct CollectionRow {
    std::string text; // exactly 25 characters
    std::uint32_t duration = 0;
    bool header = false;
    int kind = 0;         // 0 plain, 1 tune, 2 scroller
    std::string resource; // module file or .txt name; empty for plain rows
    int textIndex = -1;   // scroller rows: index into Collection::texts
    int line = 0;         // tune rows: the line of the collection file that made it
};

struct ScrollText {
    std::string name; // e.g. "welcome.txt"
    std::string body; // one line, no line breaks
};

struct Collection {
    std::string title;
    std::vector<CollectionRow> rows; // 1 .. MENU_ROW_LIMIT
    std::vector<int> playList;       // tune row indices in table order
    std::vector<ScrollText> texts;   // in scroller-row order
    std::string endTune;
    std::vector<std::string> modules() const; // every tune module, then the end tune
};

// The menu list is one surface of (rows + 14) x 16 pixel rows, and the console makes surfaces
// at most 16384 rows tall: 1010 menu rows in all.
inline constexpr int MENU_SURFACE_ROWS_MAX = 16384;
inline constexpr int MENU_ROW_LIMIT = MENU_SURFACE_ROWS_MAX / 16 - 14;
inline constexpr int SCROLL_TEXT_MIN = 638;
inline constexpr int SCROLL_TEXT_MAX = 4398;

bool isMenuFontChar(char c);
bool isScrollFontChar(char c);

// "1'52" -> 112000; throws std::invalid_argument for anything but M'SS with SS below 60.
std::uint32_t parsePlayTime(std::string_view s);
// 112000 -> "1'52".
std::string formatPlayTime(std::uint32_t ms);
// Title + three dots (two when three do not fit) + time, right-aligned in 25 characters.
std::string tuneLine(std::string_view title, std::uint32_t ms);

Collection parseCollection(std::string_view source);

// Tune and scroller rows of a table in text form, for a person checking a collection.
std::string describeTable(const Collection& c);

// The C++ definitions of the constant tables declared in player/menu_table.h.
std::string menuTableSource(const Collection& c);

} // namespace content
