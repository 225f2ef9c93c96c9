// The menu table the build generated, and the rule checks of the collection file.
#include "content/table/table_source.h"
#include "player/menu_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readCollection() {
    std::ifstream in(VRK_SOURCE_DIR "/content/collection.txt", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Replaces the first occurrence of `from` in the real collection file.
std::string edited(const std::string& from, const std::string& to) {
    std::string s = readCollection();
    size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

int lineOf(const std::string& source, const std::string& what) {
    size_t at = source.find(what);
    return 1 + static_cast<int>(std::count(source.begin(), source.begin() + at, '\n'));
}

// Parses and returns the error, failing the test when there is none.
collection::CollectionError errorOf(const std::string& source) {
    try {
        collection::parseCollection(source);
    } catch (const collection::CollectionError& e) {
        return e;
    }
    ADD_FAILURE() << "the collection was accepted";
    return collection::CollectionError(-1, "");
}

TEST(GeneratedMenuTable, HasTheRowLayoutTheMenuWalks) {
    ASSERT_EQ(menuRowCount, 73);
    const MenuRow& end = menuTable[MENU_ROW_COUNT];
    EXPECT_EQ(end.text, nullptr);
    EXPECT_EQ(end.duration, 0u);
    EXPECT_EQ(end.header, 0u);
    EXPECT_EQ(end.kind, ROW_PLAIN);
    EXPECT_EQ(end.resource, nullptr);
    EXPECT_EQ(end.scrollText, nullptr);

    const std::string blank(25, ' '), dashes(25, '-');
    EXPECT_EQ(menuTable[0].text, blank);
    EXPECT_EQ(menuTable[1].text, dashes);
    EXPECT_EQ(menuTable[2].text, std::string("   t i n s e l w a v e   "));
    EXPECT_EQ(menuTable[3].text, dashes);
    EXPECT_EQ(menuTable[4].text, blank);
    for (int r : {57, 58, 59, 63}) EXPECT_EQ(menuTable[r].text, blank) << r;
    EXPECT_EQ(menuTable[60].text, dashes);
    EXPECT_EQ(menuTable[62].text, dashes);

    // Walk the groups: header, its tunes, a blank row between groups.
    const int sizes[] = {3, 1, 3, 4, 2, 4, 2, 7, 1, 3, 1};
    int row = 5;
    for (int g = 0; g < 11; ++g) {
        EXPECT_EQ(menuTable[row].header, 1u) << row;
        EXPECT_EQ(menuTable[row].kind, ROW_PLAIN) << row;
        EXPECT_NE(menuTable[row].text[24], ' ') << "headers are right-aligned, row " << row;
        ++row;
        for (int t = 0; t < sizes[g]; ++t, ++row) EXPECT_EQ(menuTable[row].kind, ROW_TUNE) << row;
        if (g < 10) {
            EXPECT_EQ(menuTable[row++].text, blank);
        }
    }
    EXPECT_EQ(row, 57);
    EXPECT_EQ(menuTable[6].kind, ROW_TUNE) << "the menu starts on row 6";

    int headers = 0;
    for (int i = 0; i < MENU_ROW_COUNT; ++i) {
        const MenuRow& r = menuTable[i];
        headers += r.header;
        bool scroller = i >= FIRST_SCROLLER_ROW;
        EXPECT_EQ(r.kind == ROW_SCROLLER, scroller) << i;
        if (r.kind == ROW_PLAIN) {
            EXPECT_EQ(r.duration, 0u) << i;
            EXPECT_EQ(r.resource, nullptr) << i;
            EXPECT_EQ(r.scrollText, nullptr) << i;
        } else {
            EXPECT_EQ(r.header, 0u) << i;
        }
    }
    EXPECT_EQ(headers, 11);
}

TEST(GeneratedMenuTable, EveryLineIs25MenuFontCharacters) {
    for (int i = 0; i < MENU_ROW_COUNT; ++i) {
        ASSERT_NE(menuTable[i].text, nullptr) << i;
        std::string s = menuTable[i].text;
        EXPECT_EQ(s.size(), 25u) << i << ": \"" << s << "\"";
        for (char c : s) EXPECT_TRUE(collection::isMenuFontChar(c)) << i << ": '" << c << "'";
    }
}

TEST(GeneratedMenuTable, TuneRowsShowTheirDurationAndNameAModule) {
    for (int i = 0; i < MENU_ROW_COUNT; ++i) {
        const MenuRow& r = menuTable[i];
        if (r.kind != ROW_TUNE) continue;
        std::string s = r.text;
        size_t dots = s.find("..");
        ASSERT_NE(dots, std::string::npos) << s;
        std::string shown = s.substr(s.find_last_of('.') + 1);
        size_t apo = shown.find('\'');
        ASSERT_EQ(apo + 3, shown.size()) << s;
        unsigned minutes = std::stoul(shown.substr(0, apo));
        unsigned seconds = std::stoul(shown.substr(apo + 1));
        EXPECT_LT(seconds, 60u);
        EXPECT_EQ(r.duration, (minutes * 60 + seconds) * 1000) << s;
        ASSERT_NE(r.resource, nullptr);
        std::string res = r.resource;
        bool module = res.ends_with(".xm") || res.ends_with(".mod");
        EXPECT_TRUE(module) << res;
        EXPECT_EQ(r.scrollText, nullptr);
    }
    EXPECT_STREQ(endTuneResource, "bubble.mod");
}

TEST(GeneratedMenuTable, PlayListIsTheTuneRowsInOrder) {
    const int expected[31] = {6,  7,  8,  11, 14, 15, 16, 19, 20, 21, 22, 25, 26, 29, 30, 31,
                              32, 35, 36, 39, 40, 41, 42, 43, 44, 45, 48, 51, 52, 53, 56};
    int n = 0;
    for (int i = 0; i < MENU_ROW_COUNT; ++i)
        if (menuTable[i].kind == ROW_TUNE) {
            ASSERT_LT(n, PLAY_LIST_LENGTH);
            EXPECT_EQ(playList[n], i);
            EXPECT_EQ(playList[n], expected[n]);
            ++n;
        }
    EXPECT_EQ(n, PLAY_LIST_LENGTH);
}

TEST(GeneratedMenuTable, ScrollerRowsCarryTheScrollTexts) {
    for (int s = 0; s < SCROLL_TEXT_COUNT; ++s) {
        const MenuRow& r = menuTable[FIRST_SCROLLER_ROW + s];
        EXPECT_EQ(r.kind, ROW_SCROLLER);
        EXPECT_EQ(r.scrollText, scrollTexts[s]);
        ASSERT_NE(r.resource, nullptr);
        EXPECT_TRUE(std::string(r.resource).ends_with(".txt")) << r.resource;
        std::string text = scrollTexts[s];
        EXPECT_GE(text.size(), 638u) << r.resource;
        EXPECT_LE(text.size(), 4398u) << r.resource;
        for (char c : text) EXPECT_TRUE(collection::isScrollFontChar(c)) << r.resource << c;
    }
    EXPECT_STREQ(menuTable[FIRST_SCROLLER_ROW].resource, "welcome.txt");
}

TEST(CollectionFile, TuneLinesAndTimes) {
    EXPECT_EQ(collection::tuneLine("tune one", 65000), "          tune one...1'05");
    EXPECT_EQ(collection::parsePlayTime("2'30"), 150000u);
    EXPECT_EQ(collection::formatPlayTime(150000), "2'30");
    // 19 characters of title + "...1'05" is 26: two dots make it fit.
    EXPECT_EQ(collection::tuneLine("a very long title x", 65000), "a very long title x..1'05");
    for (const char* bad : {"1'60", "152", "1'5", "'52", "1'5x", "0'00", "1''52"})
        EXPECT_THROW(collection::parsePlayTime(bad), std::invalid_argument) << bad;
    EXPECT_EQ(collection::parsePlayTime("10'00"), 600000u);
}

TEST(CollectionFile, BrokenRulesNameTheirLine) {
    const std::string src = readCollection();
    ASSERT_NO_THROW(collection::parseCollection(src));

    struct Case {
        std::string from, to, needle; // needle: text on the line the error must name
    };
    const Case cases[] = {
        // title too long for the line (needs two times its length minus one)
        {"tune jingle bells        | jingle.xm   | 1'52",
         "tune jingle bells with extra | jingle.xm | 1'52", "jingle bells with extra"},
        {"tune deck the halls      | deckhall.xm | 1'40",
         "tune Deck the halls | deckhall.xm | 1'40", "Deck the halls"},
        {"tune icicle run          | icicle.xm   | 2'04", "tune icicle run | icicle.xm | 2'64",
         "icicle run |"},
        {"tune icicle run          | icicle.xm   | 2'04", "tune icicle run | jingle.xm | 2'04",
         "icicle run |"},
        {"tune icicle run          | icicle.xm   | 2'04", "tune icicle run | icicle.wav | 2'04",
         "icicle run |"},
        {"tune icicle run          | icicle.xm   | 2'04", "tune icicle run! | icicle.xm | 2'04",
         "icicle run!"},
        {"scroller chip talk - frostbyte     | chiptalk.txt",
         "scroller chip talk - frostbyte | nosuch.txt", "nosuch.txt"},
        {"scroller welcome - the tinsel crew | welcome.txt",
         "scroller welcome - the tinsel crew! | welcome.txt", "tinsel crew!"},
        {"group icepick", "grup icepick", "grup icepick"},
        // A text's problems point at its "text" line.
        {"happy holidays,", "happy holidays{", "text welcome.txt"},
    };
    for (const Case& c : cases) {
        std::string s = src;
        size_t at = s.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        s.replace(at, c.from.size(), c.to);
        collection::CollectionError e = errorOf(s);
        EXPECT_EQ(e.line, lineOf(s, c.needle)) << c.to << " -> " << e.what();
    }
}

TEST(CollectionFile, StructureRules) {
    // Any shape is a table: merging two groups leaves ten, a tune may move to the next group.
    EXPECT_EQ(collection::parseCollection(edited("group the bellfounders\n", "")).rows.size(), 71u);
    EXPECT_EQ(collection::parseCollection(edited("tune icicle run          | icicle.xm   | 2'04\n\n"
                                              "group the bellfounders\n",
                                              "\ngroup the bellfounders\n"
                                              "tune icicle run | icicle.xm | 2'04\n"))
                  .playList[2],
              10);
    // A scroller row may not reuse another row's text.
    EXPECT_NE(std::string(errorOf(edited("scroller credits", "scroller extra | welcome.txt\n"
                                                             "scroller credits"))
                              .what())
                  .find("two scroller lines"),
              std::string::npos);
    // A text without its closing line.
    {
        std::string s = readCollection();
        s = s.substr(0, s.rfind("end"));
        EXPECT_NE(std::string(errorOf(s).what()).find("closing"), std::string::npos);
    }
    // Too short a text.
    {
        std::string s = readCollection();
        size_t a = s.find("text credits.txt\n") + std::strlen("text credits.txt\n");
        size_t b = s.find("\nend", a);
        s.replace(a, b - a, std::string(637, 'x'));
        EXPECT_NE(std::string(errorOf(s).what()).find("637 characters"), std::string::npos);
        s = readCollection();
        s.replace(a, b - a, std::string(638, 'x'));
        EXPECT_NO_THROW(collection::parseCollection(s));
        s = readCollection();
        s.replace(a, b - a, std::string(4399, 'x'));
        EXPECT_NE(std::string(errorOf(s).what()).find("4399 characters"), std::string::npos);
    }
    // No end tune.
    EXPECT_NE(std::string(errorOf(edited("endtune bubble.mod", "")).what()).find("endtune"),
              std::string::npos);
    // Lines of a text are joined by one space: the body keeps no line break.
    collection::Collection c = collection::parseCollection(readCollection());
    for (const auto& t : c.texts) EXPECT_EQ(t.body.find('\n'), std::string::npos);
    EXPECT_EQ(c.modules().size(), 32u);
    EXPECT_EQ(c.modules().back(), "bubble.mod");
}

// Damaged collection files are refused with a rule's message, never with a crash.
TEST(CollectionFile, DamagedFilesAreRefusedCleanly) {
    const std::string src = readCollection();
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        std::string s = src;
        int edits = 1 + next() % 4;
        for (int e = 0; e < edits; ++e) {
            size_t at = next() % s.size();
            switch (next() % 4) {
            case 0:
                s[at] = char(next() % 256);
                break; // change a byte
            case 1:
                s.erase(at, 1 + next() % 40);
                break; // cut a piece
            case 2:
                s.insert(at, std::string(1 + next() % 30, '|'));
                break; // add separators
            default:
                s = s.substr(0, at);
                break; // truncate
            }
            if (s.empty()) s.assign(1, '\n');
        }
        try {
            collection::Collection c = collection::parseCollection(s);
            EXPECT_EQ(c.rows.size(), 73u); // accepted: still a whole table
        } catch (const collection::CollectionError& e) {
            ++refused;
            EXPECT_GE(e.line, 0);
            EXPECT_NE(std::string(e.what()), "");
        }
    }
    EXPECT_GT(refused, 200);
}

// The build step itself: a broken file stops it with the file, the line and the rule.
TEST(CollectionFile, GeneratorReportsTheLineAndFails) {
    const std::string dir = VRK_BINARY_DIR "/tests";
    const std::string bad = dir + "/broken_collection.txt";
    std::string s = readCollection();
    std::string from = "tune we wish you         | wewish.mod  | 1'36";
    s.replace(s.find(from), from.size(), "tune we wish you | wewish.mod | 1'96");
    std::ofstream(bad, std::ios::binary) << s;
    std::string cmd =
        "\"" VRK_BINARY_DIR "/vrk_tablegen\" \"" + bad + "\" \"" + dir + "/broken_table.cpp\" 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[512] = {};
    size_t n = fread(buf, 1, sizeof buf - 1, p);
    int status = pclose(p);
    std::string out(buf, n);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("broken_collection.txt:" + std::to_string(lineOf(s, "1'96")) + ": error:"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("seconds must be below 60"), std::string::npos) << out;
}

TEST(CollectionFile, GeneratedSourceEscapesQuotes) {
    std::string s = readCollection();
    size_t at = s.find("happy holidays,");
    s.replace(at, 15, "\"happy\" holidays,");
    std::string cpp = content::menuTableSource(collection::parseCollection(s));
    EXPECT_NE(cpp.find("\\\"happy\\\" holidays"), std::string::npos);
}

} // namespace
