// Text as the exported files carry it: tags in valid UTF-8, file names any player's file
// system holds, the gains as ReplayGain writes them.
#include "export/loudness.h"
#include "export/names.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(ExportNames, TextIsValidUtf8WithOldBytesReadAsLatin1) {
    EXPECT_EQ(exporter::cleanText("  H\xC3\xA9roes\t01 \n"), "H\xC3\xA9roes 01");
    EXPECT_EQ(exporter::cleanText("Caf\xE9 \xB5"), "Caf\xC3\xA9 \xC2\xB5");
    // Overlong forms and surrogates are no UTF-8: their bytes are Latin-1 letters.
    EXPECT_EQ(exporter::cleanText("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(exporter::cleanText("a\xED\xA0\x80z"), "a\xC3\xAD\xC2\xA0 z");
    EXPECT_EQ(exporter::cleanText(std::string("a\0b\x7F\x85", 5)), "a b");
    EXPECT_EQ(exporter::cleanText("\xF0\x9F\x8E\x84 tree"), "\xF0\x9F\x8E\x84 tree");
    // A character cut short: its lead byte is a letter, the rest Latin-1's control bytes.
    EXPECT_EQ(exporter::cleanText("\xF0\x9F\x8E"), "\xC3\xB0");
}

TEST(ExportNames, FileNamesEveryFileSystemHolds) {
    EXPECT_EQ(exporter::safeFileName("a/b\\c:d*e?f\"g<h>i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(exporter::safeFileName("song. . "), "song");
    EXPECT_EQ(exporter::safeFileName(".."), "untitled");
    EXPECT_EQ(exporter::safeFileName("  "), "untitled");
    EXPECT_EQ(exporter::safeFileName(".hidden"), ".hidden");
    // Cut between characters, never inside one.
    std::string snow;
    for (int i = 0; i < 100; ++i) snow += "\xE2\x9D\x84";
    const std::string cut = exporter::safeFileName(snow, 20);
    EXPECT_EQ(cut.size(), 18u);
    EXPECT_EQ(exporter::cleanText(cut), cut);
}

TEST(ExportNames, TrackNamesAreNumberedAsWideAsTheList) {
    EXPECT_EQ(exporter::trackFileName(7, 31, "deck the halls"), "07 - deck the halls.flac");
    EXPECT_EQ(exporter::trackFileName(7, 120, "x"), "007 - x.flac");
    EXPECT_EQ(exporter::trackFileName(1, 1, "what?"), "01 - what_.flac");
    const std::string longName = exporter::trackFileName(3, 9, std::string(400, 'a'));
    EXPECT_EQ(longName.size(), exporter::FILE_NAME_MAX);
    EXPECT_TRUE(longName.ends_with(".flac"));
    EXPECT_EQ(exporter::clockTime(83000), "1:23");
    EXPECT_EQ(exporter::clockTime(3723400), "1:02:03");
}

TEST(ExportNames, GainsToTheReferenceAndPeaks) {
    EXPECT_EQ(exporter::gainText(-18.0), "+0.00 dB");
    EXPECT_EQ(exporter::gainText(-23.456), "+5.46 dB");
    EXPECT_EQ(exporter::gainText(-9.5), "-8.50 dB");
    EXPECT_EQ(exporter::gainText(-HUGE_VAL), ""); // silence cannot be brought to -18
    EXPECT_EQ(exporter::peakText(0.5), "0.500000");
}

} // namespace
