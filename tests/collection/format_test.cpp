// A collection file read with the player's rules: modules named by any path, times left out,
// no limits of the built-in disk's picture; the rules of the format itself stay.
#include "collection/format.h"

#include <gtest/gtest.h>

namespace {

using collection::parseCollection;
using collection::Rules;

int errorLine(const std::string& source, Rules rules, std::string* what = nullptr) {
    try {
        parseCollection(source, rules);
    } catch (const collection::CollectionError& e) {
        if (what) *what = e.what();
        return e.line;
    }
    return -1;
}

TEST(PlayerRules, TakeAnyPathOptionalTimesAndAnEndTuneAmongTheTunes) {
    const std::string src = "group one\n"
                            "tune first | Some Folder/Song Title (final).IT\n"
                            "tune second | /abs/path/x.s3m | 2'05\n"
                            "tune again | Some Folder/Song Title (final).IT\n"
                            "endtune /abs/path/x.s3m\n";
    const collection::Collection c = parseCollection(src, Rules::Player);
    ASSERT_EQ(c.playList.size(), 3u);
    EXPECT_EQ(c.rows[6].resource, "Some Folder/Song Title (final).IT");
    EXPECT_EQ(c.rows[6].duration, 0u);
    EXPECT_EQ(c.rows[6].title, "first");
    EXPECT_EQ(c.rows[7].duration, 125000u);
    EXPECT_EQ(c.endTune, "/abs/path/x.s3m");
    // The same file under the build's rules: names must be 8.3 resources, each listed once.
    std::string what;
    EXPECT_EQ(errorLine(src, Rules::Build, &what), 2);
    EXPECT_EQ(what, "a tune line is: tune TITLE | FILE | M'SS");
    EXPECT_EQ(errorLine("group g\ntune t | Some Folder/x.IT | 1'00\n", Rules::Build, &what), 2);
    EXPECT_NE(what.find("must be a name of 1 to 8 characters"), std::string::npos);
}

TEST(PlayerRules, KeepTheFormatsOwnChecks) {
    std::string what;
    EXPECT_EQ(errorLine("group g\ntune Big Title | a.xm\n", Rules::Player, &what), 2);
    EXPECT_NE(what.find("menu font lacks"), std::string::npos);
    EXPECT_EQ(errorLine("group g\ntune t | a.xm | 1:30\n", Rules::Player, &what), 2);
    EXPECT_NE(what.find("time must look like 1'52"), std::string::npos);
    EXPECT_EQ(errorLine("group g\ntune t\n", Rules::Player, &what), 2);
    EXPECT_EQ(what, "a tune line is: tune TITLE | FILE [| M'SS]");
    EXPECT_EQ(errorLine("tune t | a.xm\n", Rules::Player), 1);
    EXPECT_EQ(errorLine("group g\ntune t | a.xm\ntext a.txt\nno end\n", Rules::Player), 3);
    EXPECT_EQ(errorLine("group g\ntune t | a.xm\nscroller s | a.txt\ntext a.txt\n\nend\n",
                        Rules::Player, &what),
              4);
    EXPECT_EQ(what, "text \"a.txt\" is empty");
    // Title, scroll word, end tune, scroller rows and long lists may all be left out or long.
    std::string many = "group g\n";
    for (int i = 0; i < 2000; ++i)
        many += "tune t" + std::to_string(i) + " | f" + std::to_string(i) + ".mod\n";
    EXPECT_EQ(parseCollection(many, Rules::Player).playList.size(), 2000u);
    EXPECT_EQ(errorLine(many, Rules::Build), 2); // no time, under the build's rules
}

} // namespace
