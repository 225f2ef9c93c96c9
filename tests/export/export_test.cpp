// Whole exports of albums of real modules into scratch folders: every file, tag and gain, the
// play list, and each way a file can fail to be written.
#include "export/export.h"
#include "export/pending_file.h"
#include "tests/collection/scratch.h"
#include "tests/export/fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace exporttest;

namespace {

std::string gain(double lufs) {
    char b[32];
    std::snprintf(b, sizeof b, "%+.2f dB", -18.0 - lufs);
    return b;
}

std::string peak(double p) {
    char b[32];
    std::snprintf(b, sizeof b, "%.6f", p);
    return b;
}

exporter::ModuleSource resource(const char* name, const std::string& bytes, std::size_t size) {
    exporter::ModuleSource m;
    m.name = name;
    m.data = reinterpret_cast<const unsigned char*>(bytes.data());
    m.size = size;
    return m;
}

bool noTemporaryFiles(const std::string& folder) {
    for (const std::string& n : namesIn(folder))
        if (n[0] == '.') return false;
    for (const std::string& n : namesIn(folder + "/modules"))
        if (n[0] == '.') return false;
    return true;
}

struct TwoTunes : ::testing::Test {
    std::string xm = testModule("dali.xm"), mod = testModule("high-score.mod");
    exporter::Album album;
    scratch::Folder f;
    std::string out = f.path("out/dir");

    void SetUp() override {
        ASSERT_FALSE(xm.empty() || mod.empty());
        album.title = "Snow: a test";
        album.date = "2026";
        album.trackTotal = 2;
        album.modules = {resource("dali.xm", xm, xm.size()),
                         resource("high-score.mod", mod, mod.size()),
                         resource("end.mod", mod, 100)};
        album.tracks = {{1, "dali", "frostbyte", "", 5000, 0, 5000},
                        {2, "high/score?", "", "x", 0, 1, 0}};
    }
    exporter::ExportSummary write(bool force = false, const std::atomic<bool>* stop = nullptr) {
        return exporter::writeAlbum(album, out, {force, nullptr, "9.9", stop});
    }
};

TEST_F(TwoTunes, EveryFileTaggedMeasuredAndListed) {
    exporter::Picture cover{{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, 2, 2};
    const exporter::ExportSummary s = exporter::writeAlbum(album, out, {false, &cover, "9.9"});
    EXPECT_EQ(s.problems, std::vector<std::string>{});
    EXPECT_EQ(s.tunes, 2);
    EXPECT_EQ(s.modules, 3);
    EXPECT_EQ(s.playLists, 1);
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"01 - dali.flac", "02 - high_score_.flac",
                                                      "Snow_ a test.m3u8", "modules"}));
    EXPECT_EQ(readWhole(out + "/modules/dali.xm"), xm);
    EXPECT_EQ(readWhole(out + "/modules/high-score.mod"), mod);
    EXPECT_EQ(readWhole(out + "/modules/end.mod"), mod.substr(0, 100));
    const FlacFile a = readFlac(out + "/01 - dali.flac"),
                   b = readFlac(out + "/02 - high_score_.flac");
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.frames, 5u * 44100);
    EXPECT_TRUE(a.samples == exportRender(xm, 5000));
    EXPECT_TRUE(b.samples == exportRender(mod, 0)); // as long as the song runs
    EXPECT_EQ(a.tag("TITLE"), "dali");
    EXPECT_EQ(a.tag("ARTIST"), "frostbyte");
    EXPECT_EQ(b.tags.count("ARTIST"), 0u);
    EXPECT_EQ(b.tag("COMPOSER"), "x");
    EXPECT_EQ(b.tag("TITLE"), "high/score?"); // the tag keeps what the name cannot
    EXPECT_EQ(a.tag("ALBUM"), "Snow: a test");
    EXPECT_EQ(a.tag("TRACKNUMBER"), "1");
    EXPECT_EQ(b.tag("TRACKNUMBER"), "2");
    EXPECT_EQ(b.tag("TRACKTOTAL"), "2");
    EXPECT_EQ(a.tag("DATE"), "2026");
    EXPECT_EQ(a.tag("GENRE"), "Tracker");
    EXPECT_NE(a.tag("COMMENT").find("from the tracker module modules/dali.xm (FastTracker 2"),
              std::string::npos)
        << a.tag("COMMENT");
    EXPECT_EQ(a.pictureType, 3);
    EXPECT_EQ(a.picture, cover.png);
    // ReplayGain 2.0: BS.1770 loudness to -18 LUFS, of each tune and of both as one album.
    EXPECT_EQ(a.tag("REPLAYGAIN_TRACK_GAIN"), gain(lufsOf(a.samples)));
    EXPECT_EQ(b.tag("REPLAYGAIN_TRACK_GAIN"), gain(lufsOf(b.samples)));
    EXPECT_EQ(a.tag("REPLAYGAIN_TRACK_PEAK"), peak(peakOf(a.samples)));
    EXPECT_EQ(a.tag("REPLAYGAIN_ALBUM_GAIN"), gain(albumLufsOf({&a.samples, &b.samples})));
    EXPECT_EQ(b.tag("REPLAYGAIN_ALBUM_GAIN"), a.tag("REPLAYGAIN_ALBUM_GAIN"));
    EXPECT_EQ(a.tag("REPLAYGAIN_ALBUM_PEAK"), peak(std::max(peakOf(a.samples), peakOf(b.samples))));
    const std::uint64_t bSeconds = (b.frames * 1000 / 44100 + 500) / 1000;
    EXPECT_EQ(readWhole(out + "/Snow_ a test.m3u8"),
              "#EXTM3U\n#PLAYLIST:Snow: a test\n#EXTINF:5,frostbyte - dali\n01 - dali.flac\n"
              "#EXTINF:" +
                  std::to_string(bSeconds) + ",high/score?\n02 - high_score_.flac\n");
    EXPECT_TRUE(noTemporaryFiles(out));
}

TEST_F(TwoTunes, FilesThereAlreadyAreLeftAloneUnlessForced) {
    f.write("out/dir/01 - dali.flac", "mine");
    f.write("out/dir/modules/end.mod", "mine too");
    exporter::ExportSummary s = write();
    EXPECT_EQ(s.problems,
              (std::vector<std::string>{
                  "01 - dali.flac: not written: there already; not replaced without --force",
                  "modules/end.mod: not written: there already; not replaced without --force"}));
    EXPECT_EQ(readWhole(out + "/01 - dali.flac"), "mine");
    EXPECT_EQ(readWhole(out + "/modules/end.mod"), "mine too");
    const FlacFile b = readFlac(out + "/02 - high_score_.flac");
    EXPECT_TRUE(b.ok);
    // The tune there already still counts in the album's gain, and the list names its file.
    const std::vector<std::int16_t> dali = exportRender(xm, 5000);
    EXPECT_EQ(b.tag("REPLAYGAIN_ALBUM_GAIN"), gain(albumLufsOf({&dali, &b.samples})));
    EXPECT_NE(readWhole(out + "/Snow_ a test.m3u8").find("\n01 - dali.flac\n"), std::string::npos);
    s = write();
    EXPECT_EQ(s.problems.size(), 5u); // both tunes and three modules; nothing to list anew
    s = write(true);
    EXPECT_EQ(s.problems, std::vector<std::string>{});
    EXPECT_TRUE(readFlac(out + "/01 - dali.flac").ok);
    EXPECT_EQ(readWhole(out + "/modules/end.mod"), mod.substr(0, 100));
    EXPECT_TRUE(noTemporaryFiles(out));
}

TEST_F(TwoTunes, ATuneThatCannotBeRenderedIsToldAndTheRestIsWritten) {
    const std::string junk = "Extended Module: but nothing after it";
    album.modules[0] = resource("dali.xm", junk, junk.size());
    album.problems = {"03 - gone.flac: its module gone.xm is not built into this program"};
    const exporter::ExportSummary s = write();
    ASSERT_EQ(s.problems.size(), 2u);
    EXPECT_EQ(s.problems[0], album.problems[0]);
    EXPECT_EQ(s.problems[1].rfind("01 - dali.flac: not written: libopenmpt refuses it (", 0), 0u)
        << s.problems[1];
    EXPECT_EQ(s.tunes, 1);
    EXPECT_FALSE(exporter::somethingAt(out + "/01 - dali.flac"));
    EXPECT_EQ(readWhole(out + "/Snow_ a test.m3u8").find("dali"), std::string::npos);
    EXPECT_TRUE(noTemporaryFiles(out));
}

TEST_F(TwoTunes, AFolderThatCannotBeMadeWritesNothing) {
    f.write("out/dir", "a file where the folder should be");
    const exporter::ExportSummary s = write();
    ASSERT_EQ(s.problems.size(), 1u);
    EXPECT_EQ(s.problems[0], "cannot make the folder '" + out + "': Not a directory");
    EXPECT_TRUE(s.folderRefused);
    EXPECT_EQ(s.tunes + s.modules + s.playLists, 0);
}

TEST_F(TwoTunes, AnInterruptedExportLeavesNoFileHalfMade) {
    std::atomic<bool> stop{true};
    const exporter::ExportSummary s = write(false, &stop);
    EXPECT_EQ(s.tunes + s.modules + s.playLists, 0);
    EXPECT_EQ(namesIn(out), std::vector<std::string>{"modules"});
    EXPECT_EQ(namesIn(out + "/modules"), std::vector<std::string>{});
}

// A disk too small for the whole album (the tunes are written on several threads at once, so
// which files fit first is not fixed): every file is there whole or told as not written, and
// nothing is left half made.
TEST_F(TwoTunes, AFullDiskIsToldForEachFile) {
    const std::string disk = f.makeFolder("small");
    if (geteuid() != 0 || mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=160k") != 0)
        GTEST_SKIP() << "no small file system can be mounted here (needs root)";
    out = disk + "/dir";
    const exporter::ExportSummary s = write();
    const bool clean = noTemporaryFiles(out);
    const FlacFile a = readFlac(out + "/01 - dali.flac"),
                   b = readFlac(out + "/02 - high_score_.flac");
    const std::string modules[3] = {readWhole(out + "/modules/dali.xm"),
                                    readWhole(out + "/modules/high-score.mod"),
                                    readWhole(out + "/modules/end.mod")};
    const bool listed = exporter::somethingAt(out + "/Snow_ a test.m3u8");
    umount2(disk.c_str(), MNT_DETACH);
    EXPECT_TRUE(clean);
    ASSERT_FALSE(s.problems.empty());
    const auto told = [&](const std::string& name) {
        for (const std::string& p : s.problems)
            if (p == name + ": not written: No space left on device") return true;
        return false;
    };
    EXPECT_NE(a.ok && a.frames == 5u * 44100, told("01 - dali.flac"));
    EXPECT_NE(b.ok, told("02 - high_score_.flac"));
    const std::string want[3] = {xm, mod, mod.substr(0, 100)};
    const char* names[3] = {"modules/dali.xm", "modules/high-score.mod", "modules/end.mod"};
    for (int k = 0; k < 3; ++k) EXPECT_NE(modules[k] == want[k], told(names[k])) << names[k];
    EXPECT_EQ(s.tunes, (a.ok ? 1 : 0) + (b.ok ? 1 : 0));
    if (s.tunes == 0) {
        EXPECT_FALSE(listed); // no tune: no play list
    }
}

} // namespace
