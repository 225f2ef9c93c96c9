// Where an export writes: folders that cannot be made or written, files that are there
// already, and files that never take their name until they are whole, also on a full disk.
#include "export/pending_file.h"
#include "tests/collection/scratch.h"
#include "tests/export/fixture.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace exporttest;

namespace {

TEST(ExportFolder, MadeWithTheFoldersAboveOrRefusedWithAReason) {
    scratch::Folder f;
    std::string why;
    EXPECT_TRUE(exporter::makeFolder(f.path("a/b/c"), why)) << why;
    EXPECT_TRUE(exporter::makeFolder(f.path("a/b/c"), why)) << why;  // there already
    EXPECT_EQ(namesIn(f.path("a/b/c")), std::vector<std::string>{}); // the probe is gone
    f.write("file", "x");
    EXPECT_FALSE(exporter::makeFolder(f.path("file/sub"), why));
    EXPECT_EQ(why, "cannot make the folder '" + f.path("file") + "': Not a directory");
    EXPECT_FALSE(exporter::makeFolder(f.path("file"), why));
    // Not even root makes folders in /proc or files in a process's folder there.
    EXPECT_FALSE(exporter::makeFolder("/proc/tinselwave-export", why));
    EXPECT_EQ(why.rfind("cannot make the folder '/proc/tinselwave-export': ", 0), 0u) << why;
    EXPECT_FALSE(exporter::makeFolder("/proc/self", why));
    EXPECT_EQ(why.rfind("cannot write into '/proc/self': ", 0), 0u) << why;
    EXPECT_FALSE(exporter::makeFolder("", why));
}

TEST(ExportPendingFile, TakesItsNameOnlyWhenCommitted) {
    scratch::Folder f;
    std::string why;
    {
        exporter::PendingFile p;
        ASSERT_TRUE(p.create(f.root(), "song.flac", why)) << why;
        ASSERT_TRUE(p.write("half", 4, why));
        EXPECT_FALSE(exporter::somethingAt(f.path("song.flac")));
    } // dropped before commit: nothing is left
    EXPECT_EQ(namesIn(f.root()), std::vector<std::string>{});
    exporter::PendingFile p;
    ASSERT_TRUE(p.create(f.root(), "song.flac", why));
    ASSERT_TRUE(p.write("whole", 5, why) && p.close(why) && p.commit(false, why)) << why;
    EXPECT_EQ(readWhole(f.path("song.flac")), "whole");
    EXPECT_EQ(p.size(), 5u);
    struct stat st {};
    ASSERT_EQ(stat(f.path("song.flac").c_str(), &st), 0);
    const mode_t mask = umask(022);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask); // the user's umask, not mkstemp's 0600
}

TEST(ExportPendingFile, LeavesAFileThatIsThereUnlessToldToReplaceIt) {
    scratch::Folder f;
    f.write("song.flac", "mine");
    std::string why;
    {
        exporter::PendingFile p;
        ASSERT_TRUE(p.create(f.root(), "song.flac", why));
        ASSERT_TRUE(p.write("new", 3, why) && p.close(why));
        EXPECT_FALSE(p.commit(false, why));
        EXPECT_EQ(why, exporter::ALREADY_THERE);
    }
    EXPECT_EQ(readWhole(f.path("song.flac")), "mine");
    EXPECT_EQ(namesIn(f.root()), std::vector<std::string>{"song.flac"});
    exporter::PendingFile p;
    ASSERT_TRUE(p.create(f.root(), "song.flac", why));
    ASSERT_TRUE(p.write("new", 3, why) && p.close(why) && p.commit(true, why)) << why;
    EXPECT_EQ(readWhole(f.path("song.flac")), "new");
}

// A real full disk: a small memory file system (only root may mount one; elsewhere the FLAC
// encoder's own test writes to /dev/full).
TEST(ExportPendingFile, AFullDiskLeavesNothingBehind) {
    scratch::Folder f;
    const std::string disk = f.makeFolder("small");
    if (geteuid() != 0 || mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here (needs root)";
    std::string why;
    bool wrote = true;
    {
        exporter::PendingFile p;
        ASSERT_TRUE(p.create(disk, "big.flac", why)) << why;
        const std::string chunk(4096, 'x');
        for (int i = 0; i < 64 && wrote; ++i) wrote = p.write(chunk.data(), chunk.size(), why);
    }
    EXPECT_FALSE(wrote);
    EXPECT_EQ(why, "No space left on device");
    EXPECT_EQ(namesIn(disk), std::vector<std::string>{});
    umount(disk.c_str());
}

} // namespace
