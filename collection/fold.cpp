// Folding outside text into the menu and scroll fonts.
#include "collection/fold.h"

#include "collection/format.h"

#include <cstdint>
#include <cstdio>

namespace collection {

namespace {

// Reads one code point at text[i] and advances i: a valid UTF-8 sequence (no overlong forms,
// no surrogates), or else the single byte as Latin-1.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const unsigned char b0 = static_cast<unsigned char>(text[i]);
    const int extra = b0 >= 0xF0 && b0 <= 0xF4  ? 3
                      : b0 >= 0xE0 && b0 < 0xF0 ? 2
                      : b0 >= 0xC2 && b0 < 0xE0 ? 1
                                                : 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return b0;
    }
    char32_t cp = b0 & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return b0;
        }
        cp = cp << 6 | (b & 0x3F);
    }
    const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
    if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        ++i;
        return b0;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

// Latin-1 letters U+00C0..U+00FF as plain letters ("" for the two signs among them).
const char* const LATIN1[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
    "D", "N", "O", "O", "O", "O", "O",  "x", "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};

// Latin Extended-A, U+0100..U+017F: the base letter of each (the ligatures IJ and OE are
// written out below).
constexpr char LATIN_A[] = "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkk"
                           "LlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUu"
                           "WwYyYZzZzZzs";
static_assert(sizeof LATIN_A - 1 == 0x80);

// The plain text of one code point, before either font's rules: letters and digits as they are,
// accented letters as their base, typographic marks as plain ASCII, anything else as itself
// when it is ASCII or as nothing.
std::string plainOf(char32_t cp) {
    if (cp < 0x80) return std::string(1, static_cast<char>(cp));
    if (cp >= 0xC0 && cp <= 0xFF) return LATIN1[cp - 0xC0];
    if (cp >= 0x100 && cp < 0x100 + sizeof LATIN_A - 1) {
        if (cp == 0x132) return "IJ";
        if (cp == 0x133) return "ij";
        if (cp == 0x152) return "OE";
        if (cp == 0x153) return "oe";
        return std::string(1, LATIN_A[cp - 0x100]);
    }
    switch (cp) {
    case 0xA0: // no-break space
    case 0x2002:
    case 0x2003:
    case 0x2009:
        return " ";
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x2032:
    case 0xB4:
        return "'";
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x2033:
    case 0xAB:
    case 0xBB:
        return "\"";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2212:
        return "-";
    case 0x2026:
        return "...";
    case 0xB7:
    case 0x2022:
        return ".";
    case 0xD7:
        return "x";
    default:
        return "";
    }
}

// Appends c, never two spaces in a row nor a space at the start.
void put(std::string& out, char c) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) return;
    out += c;
}

void trimTrailing(std::string& s, std::string_view what) {
    while (!s.empty() && what.find(s.back()) != std::string_view::npos) s.pop_back();
}

} // namespace

std::string foldToMenu(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        for (char c : plainOf(nextCodePoint(text, i))) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (isMenuFontChar(c)) {
                put(out, c);
            } else if (c == '&') {
                put(out, ' ');
                out += "and ";
            } else if (c == '"' || c == '`') {
                put(out, '\'');
            } else if (c != '!' && c != '?') {
                put(out, ' '); // separators, brackets and the rest
            }
        }
    }
    // Dashes and dots that frame a title ("-- caeros --") say nothing on a row.
    trimTrailing(out, " -.");
    const std::size_t first = out.find_first_not_of(" -.");
    return first == std::string::npos ? std::string() : out.substr(first);
}

std::string foldToScroll(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        for (char c : plainOf(nextCodePoint(text, i))) {
            if (c == '[' || c == '{') c = '(';
            if (c == ']' || c == '}') c = ')';
            if (c == '|' || c == '\\') c = '/';
            if (c == '`') c = '\'';
            if (c == '_' || static_cast<unsigned char>(c) < 0x20) c = ' ';
            if (isScrollFontChar(c)) put(out, c);
        }
    }
    trimTrailing(out, " ");
    return out;
}

std::string shortenMenuText(std::string_view text, std::size_t width) {
    std::string s(text.substr(0, std::min(text.size(), width)));
    if (text.size() > width) {
        const std::size_t space = s.rfind(' ');
        if (text[width] != ' ' && space != std::string::npos && space * 3 >= width * 2)
            s.resize(space);
    }
    trimTrailing(s, " .-");
    return s;
}

std::string tuneRowText(std::string_view title, std::uint32_t ms) {
    const std::string time = ms ? formatPlayTime(ms) : std::string("-'--");
    const std::size_t room = MENU_LINE - time.size();
    if (title.size() + 3 <= room) return rightAligned(std::string(title) + "..." + time);
    if (title.size() + 2 <= room) return rightAligned(std::string(title) + ".." + time);
    return rightAligned(shortenMenuText(title, room - 3) + "..." + time);
}

std::string printableName(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t start = i;
        const char32_t cp = nextCodePoint(name, i);
        const bool stray = i == start + 1 && static_cast<unsigned char>(name[start]) >= 0x80;
        if (cp == '\n') {
            out += "\\n";
        } else if (cp == '\t') {
            out += "\\t";
        } else if (stray || cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(name[start]));
            out += hex;
        } else {
            out.append(name.substr(start, i - start));
        }
    }
    return out;
}

} // namespace collection
