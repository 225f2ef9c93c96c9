// Outside text folded into the fonts: titles, headers, scroll texts and names in messages.
#include "collection/fold.h"
#include "collection/format.h"

#include <gtest/gtest.h>

namespace {

using collection::foldToMenu;
using collection::foldToScroll;
using collection::printableName;
using collection::tuneRowText;

TEST(FoldToMenu, AccentsBecomeTheirLettersAndCaseGoesDown) {
    EXPECT_EQ(foldToMenu("Café Crème"), "cafe creme");
    EXPECT_EQ(foldToMenu("Straße nach Łódź"), "strasse nach lodz");
    EXPECT_EQ(foldToMenu("ÆON Œuvre Ĳssel"), "aeon oeuvre ijssel");
    EXPECT_EQ(foldToMenu("Ångström Ñandú Ÿ"), "angstrom nandu y");
    // Latin-1 bytes that are no valid UTF-8 (old titles and file names) read as Latin-1.
    EXPECT_EQ(foldToMenu("caf\xE9 m\xFCsli"), "cafe musli");
    // An overlong or cut-off sequence is no character: its bytes are read one by one.
    EXPECT_EQ(foldToMenu("a\xC0\xAF"
                         "b"),
              "aab");
    EXPECT_EQ(foldToMenu("end\xC3"), "enda");
}

TEST(FoldToMenu, LeavesOnlyMenuCharactersWithSingleSpaces) {
    EXPECT_EQ(foldToMenu("  Rock_&_Roll!!  (remix) [v2] "), "rock and roll remix v2");
    EXPECT_EQ(foldToMenu("“Quoted” – ‘dash’ … ok?"), "'quoted' - 'dash' ... ok");
    EXPECT_EQ(foldToMenu("tab\there\nnew line\x01"), "tab here new line");
    EXPECT_EQ(foldToMenu("-- caeros --"), "caeros");
    EXPECT_EQ(foldToMenu("...and justice..."), "and justice");
    EXPECT_EQ(foldToMenu("東京 2049"), "2049");
    EXPECT_EQ(foldToMenu("東京"), "");
    EXPECT_EQ(foldToMenu(""), "");
    for (char c : foldToMenu("!\"#$%&'()*+,-./0123456789:;<=>?@ABCXYZ[\\]^_`abcxyz{|}~"))
        EXPECT_TRUE(collection::isMenuFontChar(c)) << c;
}

TEST(FoldToScroll, KeepsCaseAndTheScrollFontsPunctuation) {
    EXPECT_EQ(foldToScroll("Howdy there.\r\n\n  I hope you're enjoying it!"),
              "Howdy there. I hope you're enjoying it!");
    EXPECT_EQ(foldToScroll("[greets] {to} all | me\\you_too"), "(greets) (to) all / me/you too");
    EXPECT_EQ(foldToScroll("Ørsted spielt Müller"), "Orsted spielt Muller");
    for (char c : foldToScroll("`~!@#$%^&*()_+-=[]{}|;':\",./<>?\t\x7f"))
        EXPECT_TRUE(collection::isScrollFontChar(c)) << c;
}

TEST(TuneRowText, FitsTheRowWithItsTime) {
    EXPECT_EQ(tuneRowText("tune one", 65000), "          tune one...1'05");
    // A title two short of three dots takes two; a longer one is cut after a word.
    EXPECT_EQ(tuneRowText("a very long title x", 65000), "a very long title x..1'05");
    EXPECT_EQ(tuneRowText("the longest title of them all", 754000), "the longest title...12'34");
    EXPECT_EQ(tuneRowText("supercalifragilisticexpialidocious", 65000),
              "supercalifragilist...1'05");
    // Unknown while it is measured; long tunes keep their whole time.
    EXPECT_EQ(tuneRowText("waiting", 0), std::string(11, ' ') + "waiting...-'--");
    EXPECT_EQ(tuneRowText("marathon", 5999000), std::string(9, ' ') + "marathon...99'59");
    for (const char* t : {"", "x", "twenty five characters ok", "a b c d e f g h i j k l m n"})
        for (std::uint32_t ms : {0u, 1000u, 65000u, 600000u, 59999000u}) {
            const std::string row = tuneRowText(t, ms);
            EXPECT_EQ(row.size(), 25u) << '"' << t << "\" " << ms;
            for (char c : row) EXPECT_TRUE(collection::isMenuFontChar(c)) << row;
        }
}

TEST(PrintableName, EscapesWhatATerminalWouldMangle) {
    EXPECT_EQ(printableName("héroes/a b.xm"), "héroes/a b.xm");
    EXPECT_EQ(printableName("two\nlines\tand\x1b[31m"), "two\\nlines\\tand\\x1B[31m");
    EXPECT_EQ(printableName("caf\xE9.mod"), "caf\\xE9.mod");
}

} // namespace
