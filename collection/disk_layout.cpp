// A disk's tunes as they become known, its made texts, and the menu table it lays out.
#include "collection/disk.h"

#include "collection/fold.h"

#include <cstdio>

namespace collection {

namespace {

bool listed(const Tune& t) {
    return t.facts.state == ModuleState::Pending || t.facts.state == ModuleState::Measured;
}

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string spokenTime(std::uint64_t ms) {
    const std::uint64_t s = (ms + 500) / 1000, h = s / 3600, m = s / 60 % 60;
    std::string out = h ? plural(h, "hour", "hours") : plural(s / 60, "minute", "minutes");
    if (h && m) out.append(" ").append(plural(m, "minute", "minutes"));
    if (!h) out.append(" ").append(plural(s % 60, "second", "seconds"));
    return out;
}

std::string stemOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string openingBase(const Disk& d) {
    return "Welcome to Tinselwave! ... This disk plays " + d.title + ": " +
           plural(d.tunes.size(), "tune", "tunes") + " in " +
           plural(d.groups.size(), "group", "groups") +
           ". ... Move through the list with the mouse, the wheel or the arrow keys (Page Up, "
           "Page Down, Home and End take bigger steps), press Enter, Space or a mouse button to "
           "play the tune under the cursor or to read the text of a row at the bottom, L for "
           "random play, Q for the level meter, left and right to make this text faster or "
           "slower, and Escape to leave. ... ";
}

std::string openingTotal(const Disk& d) {
    std::uint64_t ms = 0;
    std::size_t tunes = 0, texts = 0, unknown = 0;
    for (const Tune& t : d.tunes) {
        if (!listed(t)) continue;
        ++tunes;
        texts += t.text >= 0;
        unknown += tuneMs(t) == 0;
        ms += tuneMs(t);
    }
    std::string s = tunes == 1 ? "The tune plays for "
                               : "All " + std::to_string(tunes) + " tunes together play for ";
    s.append(spokenTime(ms)).append(unknown ? " and more. " : ". ");
    if (texts)
        s += plural(texts, "module carries", "modules carry") +
             " a text of its own: choose its row under " + d.scrollWord + " to read it. ";
    return s + "... ";
}

// The text of a tune that carries one: who and what it is, then the author's own words.
std::string tuneText(const Disk& d, const Tune& t) {
    std::string title = foldToScroll(t.facts.title);
    if (title.empty()) title = foldToScroll(stemOf(t.name));
    std::string s = title;
    if (const std::string artist = foldToScroll(t.facts.artist); !artist.empty())
        s += " by " + artist;
    s += " (" + d.groups[t.group];
    if (tuneMs(t)) s += ", " + formatPlayTime(tuneMs(t));
    s += "): " + foldToScroll(t.facts.text) + " ... ";
    if (s.size() < SHORTEST_SCROLL_TEXT) s += "from " + d.title + ", on Tinselwave. ... ";
    return s;
}

CollectionRow tuneRow(const Tune& t) {
    CollectionRow r;
    r.kind = 1;
    r.duration = tuneMs(t);
    r.text = tuneRowText(tuneTitle(t), r.duration);
    r.resource = t.path;
    r.title = tuneTitle(t);
    return r;
}

CollectionRow scrollerRow(const std::string& line) {
    CollectionRow r;
    r.kind = 2;
    r.text = rightAligned(shortenMenuText(line, MENU_LINE));
    return r;
}

} // namespace

std::string tuneTitle(const Tune& t) {
    if (!t.listedTitle.empty()) return t.listedTitle;
    std::string title = foldToMenu(t.facts.title);
    if (title.empty()) title = foldToMenu(stemOf(t.name));
    return title.empty() ? "untitled" : title;
}

std::uint32_t tuneMs(const Tune& t) {
    return t.listedMs ? t.listedMs : t.facts.durationMs;
}

int pendingTunes(const Disk& d) {
    int n = 0;
    for (const Tune& t : d.tunes) n += t.facts.state == ModuleState::Pending;
    return n;
}

void makeTuneText(Disk& d, int index) {
    Tune& t = d.tunes[index];
    if (d.makesTexts && t.text < 0 && t.facts.state == ModuleState::Measured &&
        !t.facts.text.empty()) {
        d.texts.push_back(tuneText(d, t));
        t.text = static_cast<int>(d.texts.size()) - 1;
    }
}

void makeOpeningText(Disk& d) {
    std::string text = d.openingText >= 0 ? d.texts[d.openingText] : openingBase(d);
    if (pendingTunes(d) == 0 && !d.totalTold) {
        text += openingTotal(d);
        d.totalTold = true;
    } else if (d.openingText >= 0) {
        return;
    }
    d.texts.push_back(text);
    d.openingText = static_cast<int>(d.texts.size()) - 1;
}

bool takeFacts(Disk& d, int index, ModuleFacts facts, std::vector<std::string>& notes) {
    Tune& t = d.tunes[index];
    const bool wasListed = listed(t);
    if (facts.state == ModuleState::Broken || facts.state == ModuleState::NotModule) {
        if (wasListed)
            notes.push_back(
                printableName(t.path) + ": skipped: " +
                (facts.reason.empty() ? "not a module libopenmpt can open" : facts.reason));
        t.facts = std::move(facts);
    } else {
        t.facts = std::move(facts);
        makeTuneText(d, index);
    }
    if (d.makesTexts && !d.totalTold) makeOpeningText(d);
    return wasListed;
}

DiskTable layOutDisk(const Disk& d) {
    DiskTable out;
    Collection& c = out.table;
    c.title = d.title;
    c.scrollWord = d.scrollWord;
    std::vector<GroupRows> groups(d.groups.size());
    std::vector<std::vector<int>> groupTunes(d.groups.size());
    for (std::size_t i = 0; i < d.tunes.size(); ++i) {
        if (!listed(d.tunes[i])) continue;
        groups[d.tunes[i].group].tunes.push_back(tuneRow(d.tunes[i]));
        groupTunes[d.tunes[i].group].push_back(static_cast<int>(i));
    }
    std::vector<GroupRows> shown;
    std::vector<int> tuneOrder;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].tunes.empty()) continue;
        groups[g].name = d.groups[g];
        shown.push_back(std::move(groups[g]));
        tuneOrder.insert(tuneOrder.end(), groupTunes[g].begin(), groupTunes[g].end());
    }
    std::vector<CollectionRow> scrollers;
    std::vector<int> textOrder;
    if (d.makesTexts) {
        scrollers.push_back(scrollerRow("welcome - tinselwave"));
        textOrder.push_back(d.openingText);
        for (int i : tuneOrder)
            if (d.tunes[i].text >= 0) {
                scrollers.push_back(scrollerRow(tuneTitle(d.tunes[i])));
                textOrder.push_back(d.tunes[i].text);
            }
    } else {
        for (const Disk::Scroller& s : d.scrollers) {
            scrollers.push_back(scrollerRow(s.line));
            textOrder.push_back(s.text);
        }
    }
    for (std::size_t s = 0; s < scrollers.size(); ++s) scrollers[s].textIndex = static_cast<int>(s);
    layOutRows(c, shown, scrollers);
    std::size_t tune = 0, text = 0;
    for (const CollectionRow& r : c.rows) {
        out.rowTune.push_back(r.kind == 1 ? tuneOrder[tune++] : -1);
        out.rowText.push_back(r.kind == 2 ? textOrder[text++] : -1);
    }
    return out;
}

} // namespace collection
