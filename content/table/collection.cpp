#include "content/table/collection.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <utility>

namespace content {

namespace {

constexpr int LINE = 25;

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string> splitFields(std::string_view s) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t bar = s.find('|', start);
        out.push_back(trim(s.substr(start, bar == std::string_view::npos ? s.npos : bar - start)));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return out;
}

std::string rightAligned(const std::string& s) {
    return std::string(LINE - s.size(), ' ') + s;
}

std::string centred(const std::string& s) {
    size_t left = (LINE - s.size()) / 2;
    return std::string(left, ' ') + s + std::string(LINE - s.size() - left, ' ');
}

std::string spacedOut(const std::string& word) {
    std::string out;
    for (char c : word) {
        if (!out.empty()) out += ' ';
        out += c;
    }
    return out;
}

void checkMenuText(int line, const std::string& what, const std::string& s) {
    for (char c : s)
        if (!isMenuFontChar(c))
            throw CollectionError(line, what + " \"" + s + "\" has the character '" +
                                            std::string(1, c) +
                                            "', which the menu font lacks (use a-z, 0-9, space, "
                                            "' - .)");
    if (s.size() > LINE)
        throw CollectionError(line, what + " \"" + s + "\" is longer than 25 characters");
}

// Module and text names end up as archive-style 8.3 names and upper-cased resource names.
void checkFileName(int line, const std::string& name, std::initializer_list<const char*> exts) {
    size_t dot = name.rfind('.');
    bool extOk = false;
    if (dot != std::string::npos)
        for (const char* e : exts)
            if (name.substr(dot) == e) extOk = true;
    std::string allowed;
    for (const char* e : exts) allowed += std::string(allowed.empty() ? "" : " or ") + e;
    if (!extOk || dot == 0 || dot > 8)
        throw CollectionError(line, "file \"" + name +
                                        "\" must be a name of 1 to 8 characters "
                                        "ending in " +
                                        allowed);
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-'))
            throw CollectionError(line, "file \"" + name +
                                            "\" may use only lower-case letters, digits, '_' "
                                            "and '-'");
}

struct Group {
    int line;
    std::string name;
    std::vector<CollectionRow> tunes;
};

struct Scroller {
    int line;
    std::string text, file;
};

// Any number of groups and scroller rows, as long as the list surface holds them all. The
// error names the line whose row is the first past the limit.
void checkShape(const std::vector<Group>& groups, const std::vector<Scroller>& scrollers) {
    if (groups.empty())
        throw CollectionError(0, "the collection has no tunes: the menu needs at least one group "
                                 "line with a tune line after it");
    for (const Group& g : groups)
        if (g.tunes.empty())
            throw CollectionError(g.line, "group \"" + g.name +
                                              "\" has no tunes; every group needs at least one "
                                              "tune line after it");
    if (scrollers.empty())
        throw CollectionError(0, "the collection has no scroller line; the menu needs at least "
                                 "one");
    // The title banner; each group's header, tunes and (but after the last) a blank row; three
    // blank lines and the scroll-text banner; the scroller rows.
    int rows = 5, overLine = 0;
    auto add = [&](int count, int line) {
        rows += count;
        if (rows > MENU_ROW_LIMIT && !overLine) overLine = line;
    };
    for (size_t g = 0; g < groups.size(); ++g) {
        add(1, groups[g].line);
        for (const CollectionRow& t : groups[g].tunes) add(1, t.line);
        if (g + 1 < groups.size()) add(1, groups[g].line);
    }
    add(7, scrollers.front().line);
    for (const Scroller& s : scrollers) add(1, s.line);
    if (rows > MENU_ROW_LIMIT)
        throw CollectionError(overLine, "the menu would have " + std::to_string(rows) +
                                            " rows; its list holds at most " +
                                            std::to_string(MENU_ROW_LIMIT) +
                                            " (11, plus 2 for each group, plus 1 for each tune "
                                            "and each scroller line)");
}

// The rows up to the first scroller row: title banner, the groups, blank lines and the
// scroll-text banner.
void layOut(Collection& c, const std::vector<Group>& groups, const std::string& scrollWord) {
    auto plain = [&](const std::string& text) {
        CollectionRow r;
        r.text = text;
        c.rows.push_back(r);
    };
    const std::string blank(LINE, ' '), dashes(LINE, '-');
    plain(blank);
    plain(dashes);
    plain(centred(spacedOut(c.title)));
    plain(dashes);
    plain(blank);
    for (size_t g = 0; g < groups.size(); ++g) {
        CollectionRow h;
        h.text = rightAligned(groups[g].name);
        h.header = true;
        c.rows.push_back(h);
        for (const CollectionRow& t : groups[g].tunes) {
            c.playList.push_back(static_cast<int>(c.rows.size()));
            c.rows.push_back(t);
        }
        if (g + 1 < groups.size()) plain(blank);
    }
    for (int k = 0; k < 3; ++k) plain(blank);
    plain(dashes);
    plain(centred(spacedOut(scrollWord)));
    plain(dashes);
    plain(blank);
}

std::string cppString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

bool isMenuFontChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' || c == '\'' || c == '-' ||
           c == '.';
}

bool isScrollFontChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return c != 0 && std::strchr("-+><!?.,:;\"/*@#$% ^~&()='", c) != nullptr;
}

std::uint32_t parsePlayTime(std::string_view s) {
    size_t apo = s.find('\'');
    if (apo == std::string_view::npos || apo == 0 || apo + 3 != s.size())
        throw std::invalid_argument("time must look like 1'52");
    std::uint32_t minutes = 0;
    for (size_t i = 0; i < apo; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i])) || i >= 3)
            throw std::invalid_argument("time must look like 1'52");
        minutes = minutes * 10 + (s[i] - '0');
    }
    if (!std::isdigit(static_cast<unsigned char>(s[apo + 1])) ||
        !std::isdigit(static_cast<unsigned char>(s[apo + 2])))
        throw std::invalid_argument("time must look like 1'52");
    std::uint32_t seconds = (s[apo + 1] - '0') * 10 + (s[apo + 2] - '0');
    if (seconds >= 60) throw std::invalid_argument("seconds must be below 60");
    std::uint32_t total = minutes * 60 + seconds;
    if (total == 0) throw std::invalid_argument("a tune must play for at least one second");
    return total * 1000;
}

std::string formatPlayTime(std::uint32_t ms) {
    std::uint32_t s = ms / 1000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u'%02u", s / 60, s % 60);
    return buf;
}

std::string tuneLine(std::string_view title, std::uint32_t ms) {
    std::string time = formatPlayTime(ms);
    std::string line = std::string(title) + "..." + time;
    if (line.size() > LINE) line = std::string(title) + ".." + time;
    if (line.size() > LINE) return line;
    return rightAligned(line);
}

std::vector<std::string> Collection::modules() const {
    std::vector<std::string> out;
    for (const CollectionRow& r : rows)
        if (r.kind == 1) out.push_back(r.resource);
    out.push_back(endTune);
    return out;
}

namespace {

using TextList = std::vector<std::pair<int, ScrollText>>; // with the line of their "text" line

std::vector<std::string> splitLines(std::string_view source) {
    std::vector<std::string> lines;
    std::string cur;
    for (char ch : source) {
        if (ch == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

CollectionRow tuneRow(int ln, const std::string& rest, std::set<std::string>& moduleNames) {
    auto f = splitFields(rest);
    if (f.size() != 3) throw CollectionError(ln, "a tune line is: tune TITLE | FILE | M'SS");
    checkMenuText(ln, "tune title", f[0]);
    if (f[0].empty()) throw CollectionError(ln, "a tune needs a title");
    checkFileName(ln, f[1], {".xm", ".mod"});
    if (!moduleNames.insert(f[1]).second)
        throw CollectionError(ln, "module \"" + f[1] + "\" is listed twice");
    CollectionRow r;
    try {
        r.duration = parsePlayTime(f[2]);
    } catch (const std::invalid_argument& e) {
        throw CollectionError(ln, "tune \"" + f[0] + "\": " + e.what());
    }
    r.text = tuneLine(f[0], r.duration);
    if (r.text.size() != LINE)
        throw CollectionError(ln, "tune line \"" + r.text + "\" does not fit in 25 characters");
    // The shown time and the duration must agree: read it back from the line.
    std::string shown = r.text.substr(r.text.rfind('.') + 1);
    if (parsePlayTime(shown) != r.duration)
        throw CollectionError(ln, "shown time differs from the duration");
    r.kind = 1;
    r.resource = f[1];
    r.line = ln;
    return r;
}

// Reads the text that starts after line i up to its "end" line; returns the index of that line.
size_t readText(const std::vector<std::string>& lines, size_t i, const std::string& name,
                TextList& texts) {
    const int ln = static_cast<int>(i) + 1;
    checkFileName(ln, name, {".txt"});
    std::string body;
    size_t j = i + 1;
    for (; j < lines.size() && trim(lines[j]) != "end"; ++j) {
        std::string part = trim(lines[j]);
        if (part.empty()) continue;
        if (!body.empty()) body += ' ';
        body += part;
    }
    if (j == lines.size())
        throw CollectionError(ln, "text \"" + name + "\" has no closing \"end\" line");
    for (char ch : body)
        if (!isScrollFontChar(ch))
            throw CollectionError(ln, "text \"" + name + "\" has the character '" +
                                          std::string(1, ch) + "', which the scroll font lacks");
    if (body.size() < SCROLL_TEXT_MIN || body.size() > SCROLL_TEXT_MAX)
        throw CollectionError(ln, "text \"" + name + "\" is " + std::to_string(body.size()) +
                                      " characters long; it must have 638 to 4398");
    for (auto& t : texts)
        if (t.second.name == name)
            throw CollectionError(ln, "text \"" + name + "\" is defined twice");
    texts.push_back({ln, {name, body}});
    return j;
}

// Each scroller row starts its own text; every text belongs to exactly one row. Returns the
// text of each scroller row.
std::vector<int> matchTexts(const std::vector<Scroller>& scrollers, const TextList& texts) {
    std::vector<int> textOf(scrollers.size(), -1);
    std::vector<bool> used(texts.size(), false);
    for (size_t s = 0; s < scrollers.size(); ++s) {
        for (size_t t = 0; t < texts.size(); ++t)
            if (texts[t].second.name == scrollers[s].file) textOf[s] = static_cast<int>(t);
        if (textOf[s] < 0)
            throw CollectionError(scrollers[s].line,
                                  "no text \"" + scrollers[s].file + "\" in the collection");
        if (used[textOf[s]])
            throw CollectionError(scrollers[s].line,
                                  "text \"" + scrollers[s].file + "\" has two scroller lines");
        used[textOf[s]] = true;
    }
    for (size_t t = 0; t < texts.size(); ++t)
        if (!used[t])
            throw CollectionError(texts[t].first,
                                  "text \"" + texts[t].second.name + "\" has no scroller line");
    return textOf;
}

// What the lines read so far have said, before the rows are laid out.
struct Draft {
    Collection c;
    std::string scrollWord;
    std::vector<Group> groups;
    std::vector<Scroller> scrollers;
    TextList texts;
    std::set<std::string> moduleNames;
    int titleLine = 0, scrollWordLine = 0, endTuneLine = 0;
};

void readScroller(Draft& d, int ln, const std::string& rest) {
    auto f = splitFields(rest);
    if (f.size() != 2) throw CollectionError(ln, "a scroller line is: scroller LINE | FILE.txt");
    checkMenuText(ln, "scroller line", f[0]);
    checkFileName(ln, f[1], {".txt"});
    d.scrollers.push_back({ln, f[0], f[1]});
}

void readEndTune(Draft& d, int ln, const std::string& rest) {
    checkFileName(ln, rest, {".xm", ".mod"});
    if (!d.moduleNames.insert(rest).second)
        throw CollectionError(ln, "module \"" + rest + "\" is listed twice");
    d.c.endTune = rest;
    d.endTuneLine = ln;
}

// Reads the line at index i (and, for a text, the lines up to its "end"); returns the index of
// the last line it used.
size_t readLine(Draft& d, const std::vector<std::string>& lines, size_t i) {
    int ln = static_cast<int>(i) + 1;
    std::string line = trim(lines[i]);
    if (line.empty() || line[0] == '#') return i;
    size_t sp = line.find(' ');
    std::string word = line.substr(0, sp);
    std::string rest = sp == std::string::npos ? "" : trim(line.substr(sp + 1));

    if (word == "title") {
        checkMenuText(ln, "title", spacedOut(rest));
        if (rest.empty()) throw CollectionError(ln, "the title is empty");
        d.c.title = rest;
        d.titleLine = ln;
    } else if (word == "scrollword") {
        checkMenuText(ln, "scroll-text word", spacedOut(rest));
        if (rest.empty()) throw CollectionError(ln, "the scroll-text word is empty");
        d.scrollWord = rest;
        d.scrollWordLine = ln;
    } else if (word == "group") {
        checkMenuText(ln, "group name", rest);
        if (rest.empty()) throw CollectionError(ln, "a group needs a name");
        d.groups.push_back({ln, rest, {}});
    } else if (word == "tune") {
        if (d.groups.empty()) throw CollectionError(ln, "a tune must follow a group line");
        d.groups.back().tunes.push_back(tuneRow(ln, rest, d.moduleNames));
    } else if (word == "endtune") {
        readEndTune(d, ln, rest);
    } else if (word == "scroller") {
        readScroller(d, ln, rest);
    } else if (word == "text") {
        return readText(lines, i, rest, d.texts);
    } else {
        throw CollectionError(ln, "unknown line \"" + word +
                                      "\" (expected title, scrollword, "
                                      "group, tune, endtune, scroller or "
                                      "text)");
    }
    return i;
}

// Checks the whole and lays out the rows: the groups and tunes, then the scroller rows.
Collection finish(Draft& d) {
    if (!d.titleLine) throw CollectionError(0, "the collection has no title line");
    if (!d.scrollWordLine) throw CollectionError(0, "the collection has no scrollword line");
    if (!d.endTuneLine) throw CollectionError(0, "the collection has no endtune line");
    checkShape(d.groups, d.scrollers);
    const std::vector<int> textOf = matchTexts(d.scrollers, d.texts);

    Collection& c = d.c;
    layOut(c, d.groups, d.scrollWord);
    for (size_t s = 0; s < d.scrollers.size(); ++s) {
        CollectionRow r;
        r.text = rightAligned(d.scrollers[s].text);
        r.kind = 2;
        r.resource = d.scrollers[s].file;
        r.textIndex = static_cast<int>(s);
        c.rows.push_back(r);
        c.texts.push_back(d.texts[textOf[s]].second);
    }
    return std::move(c);
}

} // namespace

Collection parseCollection(std::string_view source) {
    Draft d;
    const std::vector<std::string> lines = splitLines(source);
    for (size_t i = 0; i < lines.size(); ++i) i = readLine(d, lines, i);
    return finish(d);
}

std::string menuTableSource(const Collection& c) {
    std::ostringstream o;
    o << "// Generated from the collection file; edit that file and rebuild.\n"
         "#include \"player/menu_table.h\"\n\n"
         "namespace {\n";
    for (size_t t = 0; t < c.texts.size(); ++t)
        o << "// " << c.texts[t].name << "\nconst char scrollText" << t << "[] =\n    "
          << cppString(c.texts[t].body) << ";\n";
    o << "} // namespace\n\n";
    o << "const char* const scrollTexts[] = {";
    for (size_t t = 0; t < c.texts.size(); ++t) o << (t ? ", " : "") << "scrollText" << t;
    o << "};\n\n";
    o << "const MenuRow menuTable[] = {\n";
    static const char* kinds[] = {"ROW_PLAIN", "ROW_TUNE", "ROW_SCROLLER"};
    int firstScroller = -1;
    for (size_t i = 0; i < c.rows.size(); ++i) {
        const CollectionRow& r = c.rows[i];
        if (r.kind == 2 && firstScroller < 0) firstScroller = static_cast<int>(i);
        o << "    {" << cppString(r.text) << ", " << r.duration << "u, " << (r.header ? 1 : 0)
          << "u, " << kinds[r.kind] << ", "
          << (r.resource.empty() ? std::string("nullptr") : cppString(r.resource)) << ", "
          << (r.textIndex >= 0 ? "scrollText" + std::to_string(r.textIndex)
                               : std::string("nullptr"))
          << "}, // " << i << "\n";
    }
    o << "    {nullptr, 0u, 0u, ROW_PLAIN, nullptr, nullptr},\n};\n\n";
    o << "const std::int32_t menuRowCount = " << c.rows.size() << ";\n\n";
    o << "const std::int32_t playList[] = {";
    for (size_t i = 0; i < c.playList.size(); ++i) o << (i ? ", " : "") << c.playList[i];
    o << "};\n\n";
    o << "const std::int32_t MENU_ROW_COUNT = " << c.rows.size() << ";\n";
    o << "const std::int32_t PLAY_LIST_LENGTH = " << c.playList.size() << ";\n";
    o << "const std::int32_t SCROLL_TEXT_COUNT = " << c.texts.size() << ";\n";
    o << "const std::int32_t FIRST_TUNE_ROW = " << (c.playList.empty() ? 0 : c.playList[0])
      << ";\n";
    o << "const std::int32_t FIRST_SCROLLER_ROW = " << firstScroller << ";\n\n";
    o << "const char* const endTuneResource = " << cppString(c.endTune) << ";\n";
    return o.str();
}

std::string describeTable(const Collection& c) {
    std::ostringstream o;
    int groups = 0;
    for (const CollectionRow& r : c.rows) groups += r.header ? 1 : 0;
    o << c.rows.size() << " menu rows (at most " << MENU_ROW_LIMIT << "), " << groups << " groups, "
      << c.playList.size() << " tunes, " << c.texts.size() << " scroller rows; the list is "
      << (c.rows.size() + 14) * 16 << " pixel rows tall\n";
    static const char* kinds[] = {"", "tune", "scroller"};
    for (size_t i = 0; i < c.rows.size(); ++i) {
        const CollectionRow& r = c.rows[i];
        char head[32];
        std::snprintf(head, sizeof head, "%4zu ", i);
        o << head << "|" << r.text << "|";
        if (r.header || r.kind) o << " " << (r.header ? "group" : kinds[r.kind]);
        if (!r.resource.empty()) o << " " << r.resource;
        if (r.textIndex >= 0) o << " (" << c.texts[r.textIndex].body.size() << " characters)";
        o << "\n";
    }
    o << "play list:";
    for (int row : c.playList) o << " " << row;
    o << "\nend tune: " << c.endTune << "\n";
    return o.str();
}

} // namespace content
