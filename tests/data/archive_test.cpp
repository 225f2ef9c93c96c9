// The archive reader on archives built here byte by byte, well-formed and hostile.
#include "data/archive.h"

#include <gtest/gtest.h>

#include "tests/data/test_files.h"

using namespace datatest;

namespace {

class ArchiveTest : public ::testing::Test {
  protected:
    // Writes the bytes as a file and opens it.
    DataArchive& open(const Bytes& bytes) {
        writeFile(scratch.path("a.bin"), bytes);
        archive = std::make_unique<DataArchive>(scratch.path("a.bin").c_str());
        return *archive;
    }
    ScratchDir scratch;
    std::unique_ptr<DataArchive> archive;
};

Bytes sample() {
    return buildArchive({{"main.pak", bytesOf("0123456789abcdefghijklmnopqrstuvwxyz")},
                         {"lp1.tga", bytesOf("LP1")},
                         {"train.3ds", bytesOf("scene")}});
}

TEST_F(ArchiveTest, LooksUpByFileNameFoldingAsciiCaseOnly) {
    DataArchive& a = open(buildArchive(
        {{"main.pak", bytesOf("abc")}, {"\xc4x.tga", bytesOf("umlaut")}, {"lp1.tga", {}}}));
    ASSERT_EQ(a.isOpen(), 1);
    EXPECT_EQ(a.entrySize("main.pak"), 3);
    EXPECT_EQ(a.entrySize("TEX\\MAIN.PAK"), 3);
    EXPECT_EQ(a.entrySize("tex/Main.Pak"), 3);
    EXPECT_EQ(a.entrySize("c:\\deep\\dir/main.pak"), 3);
    EXPECT_EQ(a.entrySize("\xc4x.tga"), 6);
    EXPECT_EQ(a.entrySize("\xe4x.tga"), -1) << "only A-Z are folded";
    EXPECT_EQ(a.entrySize("lp1.tga"), 0) << "an empty entry exists";
    EXPECT_EQ(a.entrySize("tex\\"), -1) << "an empty name matches nothing";
    EXPECT_EQ(a.entrySize(""), -1);
}

TEST_F(ArchiveTest, PrefixMatchAndFirstRecordWins) {
    DataArchive& a = open(buildArchive({{"main.pa", bytesOf("short")},
                                        {"lens1.tga", bytesOf("first")},
                                        {"LENS1.TGA", bytesOf("second!")}}));
    EXPECT_EQ(a.entrySize("main.pa"), 5);
    EXPECT_EQ(a.entrySize("main.pak"), -1) << "the stored name is shorter than the request";
    EXPECT_EQ(a.entrySize("main"), 5) << "a stored name that begins with the request matches";
    EXPECT_EQ(a.entrySize("lens1.tga"), 5);
    char buf[16] = {};
    EXPECT_EQ(a.readEntry("Lens1.TGA", buf, 0), 5);
    EXPECT_STREQ(buf, "first");
}

TEST_F(ArchiveTest, ThirteenCharacterNameWithoutTerminator) {
    DataArchive& a = open(buildArchive({{"abcdefgh.tgax", bytesOf("x")}}));
    EXPECT_EQ(a.entrySize("abcdefgh.tgax"), 1);
    EXPECT_EQ(a.entrySize("abcdefgh.tgaxy"), -1) << "the name field ends after 13 bytes";
}

TEST_F(ArchiveTest, EmptyDirectoryOpensAndFindsNothing) {
    DataArchive& a = open(buildArchive({}));
    EXPECT_EQ(a.isOpen(), 1);
    EXPECT_EQ(a.entrySize("main.pak"), -1);
    char c;
    EXPECT_EQ(a.readEntry("main.pak", &c, 1), -1);
    EXPECT_EQ(a.seekInEntry("main.pak", 0, 0), -1);
}

TEST_F(ArchiveTest, ReadEntryClampsToTheEntryAndReadRawContinues) {
    DataArchive& a = open(sample());
    char buf[64] = {};
    EXPECT_EQ(a.readEntry("main.pak", buf, 0), 36);
    EXPECT_EQ(std::string(buf, 36), "0123456789abcdefghijklmnopqrstuvwxyz");
    std::fill(std::begin(buf), std::end(buf), 0);
    EXPECT_EQ(a.readEntry("main.pak", buf, 1000), 36) << "a larger count reads the entry only";
    EXPECT_EQ(buf[36], 0);
    EXPECT_EQ(a.readEntry("main.pak", buf, 18), 18);
    EXPECT_EQ(std::string(buf, 18), "0123456789abcdefgh");
    EXPECT_EQ(a.readRaw(buf, 4), 4);
    EXPECT_EQ(std::string(buf, 4), "ijkl");
    EXPECT_EQ(a.readRaw(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "mno");
    // readRaw does not stop at the entry's end: the next entry's bytes follow.
    EXPECT_EQ(a.readEntry("main.pak", buf, 36), 36);
    EXPECT_EQ(a.readRaw(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "LP1");
    EXPECT_EQ(a.readEntry("missing.tga", buf, 1), -1);
}

TEST_F(ArchiveTest, SeekModesZeroAndTwoOthersRefused) {
    const Bytes bytes = sample();
    DataArchive& a = open(bytes);
    const long start = a.seekInEntry("main.pak", 0, 0);
    EXPECT_EQ(start, 0) << "the first entry's data start the file";
    EXPECT_EQ(a.seekInEntry("lp1.tga", 0, 0), 36);
    EXPECT_EQ(a.seekInEntry("lp1.tga", 2, 0), 38);
    char c = 0;
    EXPECT_EQ(a.readRaw(&c, 1), 1);
    EXPECT_EQ(c, '1');
    EXPECT_EQ(a.seekInEntry("main.pak", -1, 2), 35);
    EXPECT_EQ(a.readRaw(&c, 1), 1);
    EXPECT_EQ(c, 'z');
    EXPECT_EQ(a.seekInEntry("main.pak", 0, 2), 36);

    // Mode 1 and unknown modes are refused and leave the position alone.
    a.seekInEntry("train.3ds", 0, 0);
    EXPECT_EQ(a.seekInEntry("main.pak", 1, 1), -1);
    EXPECT_EQ(a.seekInEntry("main.pak", 0, 3), -1);
    EXPECT_EQ(a.seekInEntry("main.pak", 0, -1), -1);
    EXPECT_EQ(a.readRaw(&c, 1), 1);
    EXPECT_EQ(c, 's');
    // A position before the start of the file or one that overflows is refused.
    EXPECT_EQ(a.seekInEntry("lp1.tga", -37, 0), -1);
    EXPECT_EQ(a.seekInEntry("lp1.tga", LONG_MAX, 2), -1);
    EXPECT_EQ(a.seekInEntry("missing", 0, 0), -1);
}

// ---- hostile files ----

TEST_F(ArchiveTest, MissingShortOrWrongMagicIsNotOpen) {
    DataArchive missing(scratch.path("nothing.bin").c_str());
    EXPECT_EQ(missing.isOpen(), 0);
    EXPECT_EQ(missing.entrySize("main.pak"), -1);
    char c;
    EXPECT_EQ(missing.readRaw(&c, 1), -1);

    for (std::size_t n = 0; n < 8; ++n) {
        Bytes shortFile = bytesOf(std::string("\x02\0\0\0DATA", 8).substr(0, n));
        EXPECT_EQ(open(shortFile).isOpen(), 0) << n << " bytes";
    }
    Bytes bytes = sample();
    bytes.back() = 'B';
    EXPECT_EQ(open(bytes).isOpen(), 0);
    EXPECT_STREQ(archive->whyNotOpen(), "does not end in \"DATA\"");
    Bytes lower = sample();
    lower[lower.size() - 4] = 'd';
    EXPECT_EQ(open(lower).isOpen(), 0) << "the magic is case-sensitive";
}

TEST_F(ArchiveTest, DirectoryDistanceBeyondTheFileIsNotOpen) {
    for (std::uint32_t distance : {0u, 1u, 9u, 0x7fffffffu, 0x80000000u, 0xffffffffu}) {
        Bytes bytes = sample();
        const std::size_t size = bytes.size();
        put32(bytes, size - 8, distance);
        EXPECT_EQ(open(bytes).isOpen(), 0) << "distance " << distance;
    }
    Bytes bytes = sample();
    put32(bytes, bytes.size() - 8, static_cast<std::uint32_t>(bytes.size()) + 1);
    EXPECT_EQ(open(bytes).isOpen(), 0);
}

TEST_F(ArchiveTest, DirectoryThatEndsEarlyIsNotOpen) {
    Bytes bytes = sample();
    const std::size_t directory = bytes.size() - get32(bytes, bytes.size() - 8);
    // The count claims more records than the file holds (the trailer counts as file).
    put16(bytes, directory, 4);
    EXPECT_EQ(open(bytes).isOpen(), 0);
    put16(bytes, directory, 0xffff);
    EXPECT_EQ(open(bytes).isOpen(), 0);
    EXPECT_EQ(archive->entrySize("main.pak"), -1);
    // A directory that starts 2 bytes before the end has a count and nothing else.
    Bytes tiny = bytesOf(std::string("\x01\0\x0a\0\0\0DATA", 10));
    EXPECT_EQ(open(tiny).isOpen(), 0);
}

TEST_F(ArchiveTest, EntryWhoseDataLieOutsideTheFileIsNotFound) {
    const Bytes good = sample();
    const std::size_t directory = good.size() - get32(good, good.size() - 8);
    const std::size_t first = directory + 2; // main.pak's record
    const std::uint32_t fileSize = static_cast<std::uint32_t>(good.size());
    struct Case {
        std::uint32_t distance, size;
    } cases[] = {{fileSize + 1, 1},      {0xffffffff, 36}, {0x80000000, 36},        {10, 11},
                 {fileSize, 0xffffffff}, {0, 1},           {fileSize, fileSize + 1}};
    for (const Case& c : cases) {
        Bytes bytes = good;
        put32(bytes, first + 13, c.distance);
        put32(bytes, first + 17, c.size);
        DataArchive& a = open(bytes);
        ASSERT_EQ(a.isOpen(), 1);
        EXPECT_EQ(a.entrySize("main.pak"), -1) << c.distance << "/" << c.size;
        char buf[64];
        EXPECT_EQ(a.readEntry("main.pak", buf, 0), -1);
        EXPECT_EQ(a.seekInEntry("main.pak", 0, 2), -1);
        EXPECT_EQ(a.entrySize("lp1.tga"), 3) << "the other entries stay usable";
    }
    // Data that end exactly at the end of the file are inside it.
    Bytes edge = good;
    put32(edge, first + 13, 4);
    put32(edge, first + 17, 4);
    DataArchive& a = open(edge);
    char magic[5] = {};
    EXPECT_EQ(a.readEntry("main.pak", magic, 0), 4);
    EXPECT_STREQ(magic, "DATA");
}

TEST_F(ArchiveTest, OverflowingCountsAndSizesDoNotWrap) {
    // A record count whose byte total would wrap a 16-bit or small multiplication, a size that
    // wraps distance + size in 32 bits.
    Bytes bytes = sample();
    const std::size_t directory = bytes.size() - get32(bytes, bytes.size() - 8);
    put32(bytes, directory + 2 + 13, 0xfffffff0);
    put32(bytes, directory + 2 + 17, 0x20);
    DataArchive& a = open(bytes);
    EXPECT_EQ(a.entrySize("main.pak"), -1);
    Bytes big = sample();
    put32(big, directory + 2 + 21 + 13, 3);
    put32(big, directory + 2 + 21 + 17, 0xfffffffe);
    EXPECT_EQ(open(big).entrySize("lp1.tga"), -1);
}

} // namespace
