// FLAC files as the export writes them, read back with libFLAC's own decoder and metadata
// reader: the samples, the tags in UTF-8, the cover, the tags added afterwards without touching
// the audio, and a disk that is full.
#include "export/flac_file.h"
#include "tests/collection/scratch.h"
#include "tests/export/fixture.h"

#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace exporttest;

namespace {

std::vector<std::int16_t> tone(std::size_t frames) {
    std::vector<std::int16_t> s(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        s[2 * i] = static_cast<std::int16_t>(12000 * std::sin(i * 0.05));
        s[2 * i + 1] = static_cast<std::int16_t>(-9000 * std::sin(i * 0.031));
    }
    return s;
}

std::string encode(const std::string& path, const std::vector<std::int16_t>& s,
                   const exporter::Tags& tags, const exporter::Picture* cover) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    exporter::FlacEncoder e;
    std::string why;
    const std::uint32_t frames = static_cast<std::uint32_t>(s.size() / 2);
    bool ok = fd >= 0 && e.start(fd, frames, tags, cover, why);
    // In pieces of every size, as blocks and the last short block come.
    for (std::uint32_t done = 0, n = 1; ok && done < frames; done += n, n = n * 3 % 1000 + 1)
        ok = e.add(s.data() + 2 * done, std::min(n, frames - done), why);
    ok = ok && e.finish(why);
    if (fd >= 0) close(fd);
    return ok ? "" : why;
}

TEST(ExportFlac, SamplesTagsAndCoverReadBack) {
    scratch::Folder f;
    const auto samples = tone(100000);
    exporter::Picture cover{{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3}, 640, 400};
    const exporter::Tags tags = {{"TITLE", "Über die Brücke – ♪"},
                                 {"ARTIST", "frostbyte"},
                                 {"COMMENT", "a = sign = inside"}};
    ASSERT_EQ(encode(f.path("a.flac"), samples, tags, &cover), "");
    const FlacFile got = readFlac(f.path("a.flac"));
    ASSERT_TRUE(got.ok);
    EXPECT_EQ(got.rate, 44100u);
    EXPECT_EQ(got.channels, 2u);
    EXPECT_EQ(got.bits, 16u);
    EXPECT_EQ(got.frames, 100000u);
    EXPECT_TRUE(got.samples == samples);
    EXPECT_EQ(got.tag("TITLE"), "Über die Brücke – ♪");
    EXPECT_EQ(got.tag("ARTIST"), "frostbyte");
    EXPECT_EQ(got.tag("COMMENT"), "a = sign = inside");
    EXPECT_EQ(got.pictureType, 3); // front cover
    EXPECT_EQ(got.pictureMime, "image/png");
    EXPECT_EQ(got.pictureWidth, 640);
    EXPECT_EQ(got.pictureHeight, 400);
    EXPECT_EQ(got.picture, cover.png);
}

// The gains come after the audio; they go into the padding, the file keeps its size and its
// audio, a tag given twice keeps only the newer value.
TEST(ExportFlac, TagsAddedLaterTakeThePaddingAndLeaveTheAudio) {
    scratch::Folder f;
    const auto samples = tone(50000);
    ASSERT_EQ(encode(f.path("b.flac"), samples, {{"TITLE", "b"}, {"REPLAYGAIN_TRACK_GAIN", "x"}},
                     nullptr),
              "");
    struct stat before {};
    ASSERT_EQ(stat(f.path("b.flac").c_str(), &before), 0);
    std::string why;
    ASSERT_TRUE(exporter::addFlacTags(
        f.path("b.flac"),
        {{"REPLAYGAIN_TRACK_GAIN", "-3.21 dB"}, {"REPLAYGAIN_ALBUM_PEAK", "0.987654"}}, why))
        << why;
    struct stat after {};
    ASSERT_EQ(stat(f.path("b.flac").c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
    const FlacFile got = readFlac(f.path("b.flac"));
    ASSERT_TRUE(got.ok);
    EXPECT_TRUE(got.samples == samples);
    EXPECT_EQ(got.tags.at("REPLAYGAIN_TRACK_GAIN"), std::vector<std::string>{"-3.21 dB"});
    EXPECT_EQ(got.tag("REPLAYGAIN_ALBUM_PEAK"), "0.987654");
    EXPECT_EQ(got.tag("TITLE"), "b");
    EXPECT_FALSE(exporter::addFlacTags(f.path("none.flac"), {{"A", "b"}}, why));
    f.write("text.flac", "not a FLAC file");
    EXPECT_FALSE(exporter::addFlacTags(f.path("text.flac"), {{"A", "b"}}, why));
}

// A disk that takes no more bytes: the encoder stops and says so in the system's words.
TEST(ExportFlac, AFullDiskIsTold) {
    const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    exporter::FlacEncoder e;
    std::string why;
    const auto samples = tone(200000);
    bool ok = e.start(fd, 200000, {{"TITLE", "t"}}, nullptr, why);
    for (std::uint32_t done = 0; ok && done < 200000; done += 256)
        ok = e.add(samples.data() + 2 * done, 256, why);
    ok = ok && e.finish(why);
    close(fd);
    EXPECT_FALSE(ok);
    EXPECT_EQ(why, "No space left on device");
}

} // namespace
