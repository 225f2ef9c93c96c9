#pragma once
// The collection file: parsing it into the rows of the menu table and checking every rule the
// player relies on (line length, font characters, row layout, times, text lengths). The build
// reads it with the rules of a disk whose modules are embedded; the player reads one named on
// its command line with the looser rules of modules on disk (any path, times measured).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace collection {

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
    std::string title;    // tune rows: the title as the file gives it
};

struct ScrollText {
    std::string name; // e.g. "welcome.txt"
    std::string body; // one line, no line breaks
};

struct Collection {
    std::string title;
    std::string scrollWord;
    std::vector<CollectionRow> rows; // 1 .. MENU_ROW_LIMIT
    std::vector<int> playList;       // tune row indices in table order
    std::vector<ScrollText> texts;   // in scroller-row order
    std::string endTune;
    std::vector<std::string> modules() const; // every tune module, then the end tune
};

// Which rules a collection file is held to.
enum class Rules {
    // Built into the disk: modules are embedded as resources named like 8.3 files (.xm or
    // .mod, each listed once), every tune has its listed time, texts fit the shipped band, and
    // the whole list is one picture.
    Build,
    // Played from disk: module paths of any name and format, relative to the file; a tune may
    // leave out its time (it is measured) and the end tune may be a listed tune; title,
    // scrollword and endtune may be left out; no limit on rows or text lengths.
    Player,
};

// The menu list is one surface of (rows + 14) x 16 pixel rows, and the console makes surfaces
// at most 16384 rows tall: 1010 menu rows in all.
inline constexpr int MENU_SURFACE_ROWS_MAX = 16384;
inline constexpr int MENU_ROW_LIMIT = MENU_SURFACE_ROWS_MAX / 16 - 14;
inline constexpr int SCROLL_TEXT_MIN = 638;
inline constexpr int SCROLL_TEXT_MAX = 4398;
inline constexpr int MENU_LINE = 25;

bool isMenuFontChar(char c);
bool isScrollFontChar(char c);

// "1'52" -> 112000; throws std::invalid_argument for anything but M'SS with SS below 60.
std::uint32_t parsePlayTime(std::string_view s);
// 112000 -> "1'52".
std::string formatPlayTime(std::uint32_t ms);
// Title + three dots (two when three do not fit) + time, right-aligned in 25 characters.
std::string tuneLine(std::string_view title, std::uint32_t ms);
std::string rightAligned(std::string_view s);
// The title banner's middle line: the word spaced out, centred (a word too long for that is
// centred as it is, cut to the line).
std::string bannerLine(std::string_view word);

Collection parseCollection(std::string_view source, Rules rules = Rules::Build);

// The rows of a table, the same whoever makes it: the title banner, each group's header, tunes
// and (but after the last) a blank row, three blank lines, the scroll-text banner, then the
// scroller rows. Groups must not be empty; the play list is filled in.
struct GroupRows {
    std::string name;
    std::vector<CollectionRow> tunes;
};
void layOutRows(Collection& c, const std::vector<GroupRows>& groups,
                const std::vector<CollectionRow>& scrollers);

} // namespace collection
