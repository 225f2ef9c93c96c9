// The collection file's reader and rule checker, shared by the build's table generator and the
// player's run-time disks.
#include "collection/format.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

namespace collection {

namespace {

constexpr int LINE = MENU_LINE;

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

std::string centred(const std::string& s) {
    size_t left = (LINE - s.size()) / 2;
    return std::string(left, ' ') + s + std::string(LINE - s.size() - left, ' ');
}

std::string spacedOut(std::string_view word) {
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

void checkName(Rules rules, int line, const std::string& name,
               std::initializer_list<const char*> exts) {
    if (rules == Rules::Build) {
        checkFileName(line, name, exts);
    } else if (name.empty()) {
        throw CollectionError(line, "a file name is missing");
    }
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

// Any number of groups and scroller rows, as long as the list surface holds them all (when the
// rules make it one picture). The error names the line whose row is the first past the limit.
void checkShape(Rules rules, const std::vector<Group>& groups,
                const std::vector<Scroller>& scrollers) {
    if (groups.empty())
        throw CollectionError(0, "the collection has no tunes: the menu needs at least one group "
                                 "line with a tune line after it");
    for (const Group& g : groups)
        if (g.tunes.empty())
            throw CollectionError(g.line, "group \"" + g.name +
                                              "\" has no tunes; every group needs at least one "
                                              "tune line after it");
    if (rules == Rules::Player) return;
    if (scrollers.empty())
        throw CollectionError(0, "the collection has no scroller line; the menu needs at least "
                                 "one");
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

std::string rightAligned(std::string_view s) {
    return std::string(LINE - std::min<size_t>(s.size(), LINE), ' ') + std::string(s);
}

std::string bannerLine(std::string_view word) {
    const std::string spaced = spacedOut(word);
    if (spaced.size() <= LINE) return centred(spaced);
    return centred(std::string(word.substr(0, LINE)));
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

void layOutRows(Collection& c, const std::vector<GroupRows>& groups,
                const std::vector<CollectionRow>& scrollers) {
    auto plain = [&](const std::string& text) {
        CollectionRow r;
        r.text = text;
        c.rows.push_back(r);
    };
    const std::string blank(LINE, ' '), dashes(LINE, '-');
    plain(blank);
    plain(dashes);
    plain(bannerLine(c.title));
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
    plain(bannerLine(c.scrollWord));
    plain(dashes);
    plain(blank);
    for (const CollectionRow& s : scrollers) c.rows.push_back(s);
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

// What the lines read so far have said, before the rows are laid out.
struct Draft {
    Rules rules = Rules::Build;
    Collection c;
    std::vector<Group> groups;
    std::vector<Scroller> scrollers;
    TextList texts;
    std::set<std::string> moduleNames;
    int titleLine = 0, scrollWordLine = 0, endTuneLine = 0;
};

// A module is listed once in a built disk, where it is a resource of that name.
void claimModule(Draft& d, int ln, const std::string& name) {
    if (d.rules == Rules::Build && !d.moduleNames.insert(name).second)
        throw CollectionError(ln, "module \"" + name + "\" is listed twice");
}

CollectionRow tuneRow(Draft& d, int ln, const std::string& rest) {
    auto f = splitFields(rest);
    const bool timeOptional = d.rules == Rules::Player;
    if (f.size() != 3 && !(timeOptional && f.size() == 2))
        throw CollectionError(ln, timeOptional ? "a tune line is: tune TITLE | FILE [| M'SS]"
                                               : "a tune line is: tune TITLE | FILE | M'SS");
    checkMenuText(ln, "tune title", f[0]);
    if (f[0].empty()) throw CollectionError(ln, "a tune needs a title");
    checkName(d.rules, ln, f[1], {".xm", ".mod"});
    claimModule(d, ln, f[1]);
    CollectionRow r;
    r.kind = 1;
    r.resource = f[1];
    r.line = ln;
    r.title = f[0];
    if (f.size() == 2) return r; // measured when the disk opens
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
    return r;
}

// Reads the text that starts after line i up to its "end" line; returns the index of that line.
size_t readText(Draft& d, const std::vector<std::string>& lines, size_t i,
                const std::string& name) {
    const int ln = static_cast<int>(i) + 1;
    checkName(d.rules, ln, name, {".txt"});
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
    if (d.rules == Rules::Build && (body.size() < SCROLL_TEXT_MIN || body.size() > SCROLL_TEXT_MAX))
        throw CollectionError(ln, "text \"" + name + "\" is " + std::to_string(body.size()) +
                                      " characters long; it must have 638 to 4398");
    if (body.empty()) throw CollectionError(ln, "text \"" + name + "\" is empty");
    for (auto& t : d.texts)
        if (t.second.name == name)
            throw CollectionError(ln, "text \"" + name + "\" is defined twice");
    d.texts.push_back({ln, {name, body}});
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

void readScroller(Draft& d, int ln, const std::string& rest) {
    auto f = splitFields(rest);
    if (f.size() != 2) throw CollectionError(ln, "a scroller line is: scroller LINE | FILE.txt");
    checkMenuText(ln, "scroller line", f[0]);
    checkName(d.rules, ln, f[1], {".txt"});
    d.scrollers.push_back({ln, f[0], f[1]});
}

void readEndTune(Draft& d, int ln, const std::string& rest) {
    checkName(d.rules, ln, rest, {".xm", ".mod"});
    claimModule(d, ln, rest);
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
        d.c.scrollWord = rest;
        d.scrollWordLine = ln;
    } else if (word == "group") {
        checkMenuText(ln, "group name", rest);
        if (rest.empty()) throw CollectionError(ln, "a group needs a name");
        d.groups.push_back({ln, rest, {}});
    } else if (word == "tune") {
        if (d.groups.empty()) throw CollectionError(ln, "a tune must follow a group line");
        d.groups.back().tunes.push_back(tuneRow(d, ln, rest));
    } else if (word == "endtune") {
        readEndTune(d, ln, rest);
    } else if (word == "scroller") {
        readScroller(d, ln, rest);
    } else if (word == "text") {
        return readText(d, lines, i, rest);
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
    if (d.rules == Rules::Build) {
        if (!d.titleLine) throw CollectionError(0, "the collection has no title line");
        if (!d.scrollWordLine) throw CollectionError(0, "the collection has no scrollword line");
        if (!d.endTuneLine) throw CollectionError(0, "the collection has no endtune line");
    }
    checkShape(d.rules, d.groups, d.scrollers);
    const std::vector<int> textOf = matchTexts(d.scrollers, d.texts);

    Collection& c = d.c;
    std::vector<GroupRows> groups;
    for (const Group& g : d.groups) groups.push_back({g.name, g.tunes});
    std::vector<CollectionRow> scrollers;
    for (size_t s = 0; s < d.scrollers.size(); ++s) {
        CollectionRow r;
        r.text = rightAligned(d.scrollers[s].text);
        r.kind = 2;
        r.resource = d.scrollers[s].file;
        r.textIndex = static_cast<int>(s);
        r.line = d.scrollers[s].line;
        scrollers.push_back(r);
        c.texts.push_back(d.texts[textOf[s]].second);
    }
    layOutRows(c, groups, scrollers);
    return std::move(c);
}

} // namespace

Collection parseCollection(std::string_view source, Rules rules) {
    Draft d;
    d.rules = rules;
    const std::vector<std::string> lines = splitLines(source);
    for (size_t i = 0; i < lines.size(); ++i) i = readLine(d, lines, i);
    return finish(d);
}

} // namespace collection
