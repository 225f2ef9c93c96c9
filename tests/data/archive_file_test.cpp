// Named entry handles: the name limit, the shared position, and failures as 0.
#include "data/archive.h"

#include <gtest/gtest.h>

#include "tests/data/test_files.h"

using namespace datatest;

namespace {

class ArchiveFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(scratch.path("a.bin"),
                  buildArchive({{"vrk.tga", bytesOf("header-bytes-0123456789")},
                                {"lens3.tga", bytesOf("flare")}}));
        archive = std::make_unique<DataArchive>(scratch.path("a.bin").c_str());
        ASSERT_EQ(archive->isOpen(), 1);
    }
    ScratchDir scratch;
    std::unique_ptr<DataArchive> archive;
};

TEST_F(ArchiveFileTest, OpensExistingEntriesAndRefusesLongNames) {
    ArchiveFile file;
    file.archive = archive.get();
    EXPECT_EQ(file.isOpen(), 0);
    EXPECT_EQ(file.open("Flares\\lens3.tga"), 1); // 16 characters
    EXPECT_EQ(file.isOpen(), 1);
    EXPECT_EQ(file.open("missing.tga"), 0);
    EXPECT_EQ(file.isOpen(), 0) << "a failed open leaves the handle closed";

    EXPECT_EQ(file.open("abcdefghijk\\vrk.tga"), 1) << "19 characters fit";
    EXPECT_EQ(file.open("abcdefghijkl\\vrk.tga"), 0) << "20 characters do not";
    EXPECT_EQ(file.isOpen(), 0);
    EXPECT_EQ(file.open(std::string(5000, 'x').c_str()), 0);
    EXPECT_EQ(file.open(nullptr), 0);

    ArchiveFile named("tex\\vrk.tga", archive.get());
    EXPECT_EQ(named.isOpen(), 1);
    named.close();
    EXPECT_EQ(named.isOpen(), 0);
}

TEST_F(ArchiveFileTest, ReadsFollowTheSharedPosition) {
    ArchiveFile picture("tex\\vrk.tga", archive.get());
    ArchiveFile flare("lens3.tga", archive.get());
    char buf[8] = {};
    EXPECT_EQ(picture.seek(7), 7);
    EXPECT_EQ(picture.read(buf, 5), 5);
    EXPECT_EQ(std::string(buf, 5), "bytes");
    // Positioning through another handle moves the one position both read from.
    flare.seek(0);
    EXPECT_EQ(picture.read(buf, 5), 5);
    EXPECT_EQ(std::string(buf, 5), "flare");
    // Beyond the end of the file a read yields nothing.
    EXPECT_EQ(picture.seek(100000), 100000);
    EXPECT_EQ(picture.read(buf, 8), 0);
}

TEST_F(ArchiveFileTest, ClosedHandlesReadAndSeekNothing) {
    ArchiveFile file;
    file.archive = archive.get();
    char buf[4];
    EXPECT_EQ(file.read(buf, 4), 0);
    EXPECT_EQ(file.seek(0), 0);
    ArchiveFile noArchive;
    noArchive.archive = nullptr;
    EXPECT_EQ(noArchive.open("vrk.tga"), 0);
}

} // namespace
