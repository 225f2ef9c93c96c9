// Every module of the collection as the build wrote it: it loads in libopenmpt and in libxmp,
// plays for its menu time, stays below clipping, never falls silent, loops, and comes out of
// the generator byte for byte the same every time.

#include "content/music/catalogue.h"
#include "render.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

using namespace music;

namespace music {
// Test names and messages show the tune's file rather than the record's bytes.
void PrintTo(const TuneEntry& t, std::ostream* os) {
    *os << t.file;
}
} // namespace music

namespace {

std::string modulePath(const std::string& file) {
    return std::string(VRK_BINARY_DIR) + "/content/music/" + file;
}

bool isMod(const std::string& file) {
    return file.size() > 4 && file.substr(file.size() - 4) == ".mod";
}

class CollectionModule : public ::testing::TestWithParam<TuneEntry> {};

std::string nameOf(const ::testing::TestParamInfo<TuneEntry>& info) {
    std::string n = info.param.file;
    for (char& c : n)
        if (c == '.') c = '_';
    return n;
}

} // namespace

TEST_P(CollectionModule, LoadsInLibopenmptWithItsTimeAndShape) {
    const TuneEntry& t = GetParam();
    std::vector<uint8_t> bytes = readFile(modulePath(t.file));
    ASSERT_FALSE(bytes.empty()) << modulePath(t.file) << " was not written";
    Rendered r = renderModule(bytes, 0);
    ASSERT_TRUE(r.loaded);
    EXPECT_NEAR(r.duration, t.seconds, 0.15);
    EXPECT_EQ(r.type, isMod(t.file) ? "mod" : "xm");
    if (isMod(t.file)) {
        EXPECT_EQ(r.channels, 4);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[1080]), 4), "M.K.");
    } else {
        EXPECT_GE(r.channels, 6);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 17),
                  "Extended Module: ");
    }
}

TEST_P(CollectionModule, LoadsInLibxmpWithTheSameLength) {
    const TuneEntry& t = GetParam();
    std::vector<uint8_t> bytes = readFile(modulePath(t.file));
    ASSERT_FALSE(bytes.empty());
    xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, bytes.data(), static_cast<long>(bytes.size())), 0);
    ASSERT_EQ(xmp_start_player(ctx, 44100, 0), 0);
    xmp_module_info info;
    xmp_get_module_info(ctx, &info);
    EXPECT_EQ(info.mod->chn, isMod(t.file) ? 4 : info.mod->chn);
    ASSERT_GE(info.num_sequences, 1);
    // A second player's own count of the playing time; it should agree closely.
    EXPECT_NEAR(info.seq_data[0].duration / 1000.0, t.seconds, 0.15);
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
}

TEST_P(CollectionModule, StaysBelowClippingAndNeverFallsSilent) {
    const TuneEntry& t = GetParam();
    Rendered r = renderModule(readFile(modulePath(t.file)), t.seconds + 1);
    ASSERT_TRUE(r.loaded);
    ASSERT_GT(r.stereo.size(), static_cast<size_t>((t.seconds - 1) * 44100 * 2));
    float peak = 0;
    for (float v : r.stereo) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 0.95f);
    EXPECT_GT(peak, 0.2f); // and is not needlessly quiet
    // Every whole second carries sound: no gaps in the middle of a tune.
    const size_t second = 44100 * 2;
    for (size_t s = 0; s + second <= r.stereo.size(); s += second) {
        double sum = 0;
        for (size_t i = s; i < s + second; ++i) sum += r.stereo[i] * r.stereo[i];
        EXPECT_GT(std::sqrt(sum / second), 0.005) << "silent second " << s / second;
    }
}

TEST_P(CollectionModule, PlaysOnPastItsEndFromTheStart) {
    // Looping playback (as the player asks for) goes on after the loop point with the opening.
    const TuneEntry& t = GetParam();
    std::vector<uint8_t> bytes = readFile(modulePath(t.file));
    openmpt_module* m = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m, nullptr);
    openmpt_module_set_repeat_count(m, -1);
    double loopAt = openmpt_module_get_duration_seconds(m);
    openmpt_module_set_position_seconds(m, loopAt - 1.0);
    std::vector<float> buf(2 * 44100 * 3);
    size_t got = openmpt_module_read_interleaved_float_stereo(m, 44100, 44100 * 3, buf.data());
    EXPECT_EQ(got, 44100u * 3);
    EXPECT_EQ(openmpt_module_get_current_order(m), 0); // back at the top
    double sum = 0;
    for (size_t i = 2 * 44100; i < 2 * 44100 * 3; ++i) sum += buf[i] * buf[i];
    EXPECT_GT(std::sqrt(sum / (2 * 44100 * 2)), 0.005);
    openmpt_module_destroy(m);
}

namespace {

// Where two byte strings first differ, or -1 when they are equal (kept short in failures).
long firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return static_cast<long>(i);
    return a.size() == b.size() ? -1 : static_cast<long>(n);
}

} // namespace

TEST_P(CollectionModule, GeneratorIsByteForByteRepeatable) {
    const TuneEntry& t = GetParam();
    std::vector<uint8_t> first = renderTune(t);
    EXPECT_EQ(firstDifference(first, renderTune(t)), -1) << "two runs in one process differ";
    EXPECT_EQ(firstDifference(first, readFile(modulePath(t.file))), -1)
        << "the build's copy differs from a new run";
}

INSTANTIATE_TEST_SUITE_P(All, CollectionModule, ::testing::ValuesIn(catalogue()), nameOf);

TEST(Collection, HasTheTunesOfTheMenuAndTheEndTune) {
    const auto& list = catalogue();
    ASSERT_EQ(list.size(), 32u);
    int mods = 0;
    for (const auto& t : list) {
        mods += isMod(t.file);
        EXPECT_EQ(t.file, [&] {
            std::string lower = t.file;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return lower;
        }());
        EXPECT_LE(t.file.size(), 12u); // 8.3 names, as resources
    }
    EXPECT_EQ(list.back().file, "bubble.mod");
    EXPECT_EQ(mods, 9); // eight menu tunes and the end tune
}

TEST(Collection, AgreesWithTheCollectionFile) {
    // The collection file names every tune's module and time; the modules must match it.
    std::ifstream in(std::string(VRK_SOURCE_DIR) + "/content/collection.txt");
    if (!in) GTEST_SKIP() << "no collection file in this tree";
    std::map<std::string, int> table;
    std::string endTune, line;
    std::regex tune(R"(^tune\s+.*\|\s*(\S+)\s*\|\s*(\d+)'(\d\d)\s*$)");
    std::regex end(R"(^endtune\s+(\S+)\s*$)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, tune))
            table[m[1]] = std::stoi(m[2]) * 60 + std::stoi(m[3]);
        else if (std::regex_match(line, m, end))
            endTune = m[1];
    }
    ASSERT_EQ(table.size(), 31u);
    for (const auto& t : catalogue()) {
        if (t.file == endTune) continue;
        ASSERT_TRUE(table.count(t.file)) << t.file << " is not in the collection file";
        EXPECT_EQ(table[t.file], t.seconds) << t.file;
    }
    EXPECT_EQ(endTune, "bubble.mod");
}
