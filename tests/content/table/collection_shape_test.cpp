// Collections of any shape: the general row layout, the limits and the messages a user sees.
#include "content/table/table_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

const std::string SMALL = VRK_SOURCE_DIR "/tests/collections/small.txt";

// A collection of the given groups (tune counts) and scroller rows, every text long enough.
std::string collectionOf(const std::vector<int>& groups, int scrollers) {
    std::string s = "title mine\nscrollword texts\n";
    int n = 0;
    for (size_t g = 0; g < groups.size(); ++g) {
        s += "group group " + std::to_string(g) + "\n";
        for (int t = 0; t < groups[g]; ++t, ++n)
            s += "tune tune " + std::to_string(n) + " | t" + std::to_string(n) + ".xm | 1'0" +
                 std::to_string(n % 10) + "\n";
    }
    s += "endtune end.mod\n";
    for (int k = 0; k < scrollers; ++k)
        s += "scroller text " + std::to_string(k) + " | s" + std::to_string(k) + ".txt\n";
    for (int k = 0; k < scrollers; ++k)
        s += "text s" + std::to_string(k) + ".txt\n" + std::string(700, 'a') + "\nend\n";
    return s;
}

std::string errorText(const std::string& source, int* line = nullptr) {
    try {
        collection::parseCollection(source);
    } catch (const collection::CollectionError& e) {
        if (line) *line = e.line;
        return e.what();
    }
    ADD_FAILURE() << "the collection was accepted";
    return "";
}

TEST(CollectionShape, SmallCollectionGetsTheWholeLayout) {
    collection::Collection c = collection::parseCollection(readFile(SMALL));
    const std::string blank(25, ' '), dashes(25, '-');
    ASSERT_EQ(c.rows.size(), 22u);
    // Title banner; group of 2 and its blank row; group of 3; blank lines; text banner; texts.
    const char* kinds = "pppppHttpHtttpppppppss";
    for (size_t i = 0; i < c.rows.size(); ++i) {
        const collection::CollectionRow& r = c.rows[i];
        char k = r.header ? 'H' : r.kind == 1 ? 't' : r.kind == 2 ? 's' : 'p';
        EXPECT_EQ(k, kinds[i]) << i;
        EXPECT_EQ(r.text.size(), 25u) << i;
    }
    EXPECT_EQ(c.rows[2].text, "     s n o w f a l l     ");
    for (int i : {0, 4, 8, 13, 14, 15, 19}) EXPECT_EQ(c.rows[i].text, blank) << i;
    for (int i : {1, 3, 16, 18}) EXPECT_EQ(c.rows[i].text, dashes) << i;
    EXPECT_EQ(c.rows[17].text, "        n o t e s        ");
    EXPECT_EQ(c.playList, (std::vector<int>{6, 7, 10, 11, 12}));
    EXPECT_EQ(c.texts.size(), 2u);
    EXPECT_EQ(c.rows[21].textIndex, 1);
    EXPECT_EQ(c.rows[21].resource, "thanks.txt");

    // The generated source states the layout numbers of this table.
    const std::string cpp = content::menuTableSource(c);
    for (const char* line :
         {"const std::int32_t menuRowCount = 22;", "const std::int32_t MENU_ROW_COUNT = 22;",
          "const std::int32_t PLAY_LIST_LENGTH = 5;", "const std::int32_t SCROLL_TEXT_COUNT = 2;",
          "const std::int32_t FIRST_TUNE_ROW = 6;", "const std::int32_t FIRST_SCROLLER_ROW = 20;",
          "const std::int32_t playList[] = {6, 7, 10, 11, 12};"})
        EXPECT_NE(cpp.find(line), std::string::npos) << line;
}

TEST(CollectionShape, OneGroupOfOneTuneAndOneText) {
    collection::Collection c = collection::parseCollection(collectionOf({1}, 1));
    EXPECT_EQ(c.rows.size(), 11u + 2 + 1 + 1);
    EXPECT_EQ(c.playList, std::vector<int>{6});
    EXPECT_EQ(c.rows.back().kind, 2);
}

TEST(CollectionShape, TheErrorsAUserSees) {
    int line = -1;
    // An empty group names its own line.
    std::string s = collectionOf({2, 1}, 1);
    s.replace(s.find("group group 1\n"), 0, "group nobody\n");
    EXPECT_EQ(errorText(s, &line),
              "group \"nobody\" has no tunes; every group needs at least one tune line after it");
    EXPECT_EQ(line, 6);
    // A collection without a single tune.
    EXPECT_EQ(errorText(collectionOf({}, 1), &line),
              "the collection has no tunes: the menu needs at least one group line with a tune "
              "line after it");
    EXPECT_EQ(line, 0);
    // Without a scroller row.
    EXPECT_NE(errorText(collectionOf({1}, 0)).find("no scroller line"), std::string::npos);
}

TEST(CollectionShape, TheListHoldsAtMost1010Rows) {
    EXPECT_EQ(collection::MENU_ROW_LIMIT, 1010);
    // 11 + 2 x 2 + 993 + 2 = 1010: accepted, and its list is exactly the tallest surface.
    collection::Collection c = collection::parseCollection(collectionOf({500, 493}, 2));
    EXPECT_EQ(c.rows.size(), 1010u);
    EXPECT_EQ((c.rows.size() + 14) * 16, 16384u);
    // One tune more: refused at the line of the first row that does not fit.
    std::string s = collectionOf({500, 494}, 2);
    int line = -1;
    EXPECT_EQ(errorText(s, &line),
              "the menu would have 1011 rows; its list holds at most 1010 (11, plus 2 for each "
              "group, plus 1 for each tune and each scroller line)");
    std::istringstream in(s);
    std::string text;
    for (int i = 0; i < line; ++i) std::getline(in, text);
    EXPECT_EQ(text, "scroller text 1 | s1.txt") << line;
    // A group past the limit points at a tune line.
    errorText(collectionOf({1010, 1}, 1), &line);
    std::istringstream in2(collectionOf({1010, 1}, 1));
    for (int i = 0; i < line; ++i) std::getline(in2, text);
    EXPECT_EQ(text.rfind("tune tune 1004 |", 0), 0u) << text;
}

// The generator alone checks a collection: it prints the menu it would make, or the first error.
TEST(CollectionShape, GeneratorAloneChecksWithoutBuilding) {
    auto run = [](const std::string& file, int& status) {
        std::string cmd = "\"" VRK_BINARY_DIR "/vrk_tablegen\" \"" + file + "\" 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        std::string out;
        char buf[4096];
        size_t n;
        while (p && (n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        status = p ? pclose(p) : -1;
        return out;
    };
    int status = -1;
    std::string out = run(SMALL, status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("22 menu rows (at most 1010), 2 groups, 5 tunes, 2 scroller rows"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  10 |      silent night...2'40| tune silent.xm\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find("play list: 6 7 10 11 12"), std::string::npos) << out;

    const std::string bad = VRK_BINARY_DIR "/tests/empty_group_collection.txt";
    std::string s = readFile(SMALL);
    s.replace(s.find("group aurora pads"), 0, "group nobody\n\n");
    std::ofstream(bad, std::ios::binary) << s;
    out = run(bad, status);
    EXPECT_NE(status, 0);
    EXPECT_EQ(out, bad + ":9: error: group \"nobody\" has no tunes; every group needs at least one "
                         "tune line after it\n");
}

} // namespace
