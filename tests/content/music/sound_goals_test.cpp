// The collection's sound goals, measured on the modules the build wrote and rendered as the
// player renders them: expression in every tune, XMs spread across the field, no tempo jump
// near the loop, true-peak headroom, and an even loudness (BS.1770) from tune to tune.

#include "analysis.h"
#include "content/music/catalogue.h"
#include "render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace music;

namespace music {
void PrintTo(const TuneEntry& t, std::ostream* os); // the tune's file, from collection_test
} // namespace music

namespace {

struct Measured {
    PatternScan scan;
    SoundStats sound;
    double duration = 0;
};

const Measured& measured(const TuneEntry& t) {
    static std::map<std::string, Measured> cache;
    auto it = cache.find(t.file);
    if (it != cache.end()) return it->second;
    Measured m;
    std::vector<uint8_t> bytes = readFile(std::string(VRK_BINARY_DIR) + "/content/music/" + t.file);
    m.scan = scanPatterns(bytes);
    Rendered r = renderModule(bytes, t.seconds + 1, true);
    m.duration = r.duration;
    if (r.loaded) m.sound = soundStats(r.stereo, 44100);
    return cache[t.file] = m;
}

class SoundGoals : public ::testing::TestWithParam<TuneEntry> {};

} // namespace

TEST_P(SoundGoals, ExpressiveSpreadSteadyInTempoAndWithHeadroom) {
    const TuneEntry& t = GetParam();
    const Measured& m = measured(t);
    ASSERT_TRUE(m.scan.ok) << t.file << " cannot be read back";
    EXPECT_GE(m.scan.expressionKinds(), 3);
    if (m.scan.format == "xm") {
        EXPECT_GE(m.sound.sideToMidDb, -12.0) << "nearly mono";
        EXPECT_GE(m.scan.envelopes, 1);
    } else { // the player narrows the hard-panned channels: a mix, not two speakers (-6 dB)
        EXPECT_LT(m.sound.sideToMidDb, -9.0);
        EXPECT_GT(m.sound.sideToMidDb, -20.0);
    }
    for (const TempoChange& c : m.scan.tempo)
        EXPECT_LT(c.seconds, m.scan.seconds - 8) << "a tempo change just before the loop";
    EXPECT_LE(m.sound.loudness.truePeakDbtp, -1.0);
    EXPECT_NEAR(m.scan.seconds, t.seconds, 0.2);
}

INSTANTIATE_TEST_SUITE_P(All, SoundGoals, ::testing::ValuesIn(catalogue()),
                         [](const ::testing::TestParamInfo<TuneEntry>& info) {
                             std::string n = info.param.file;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

TEST(SoundGoals, LoudnessIsEvenAcrossTheCollection) {
    std::vector<double> levels;
    for (const TuneEntry& t : catalogue())
        levels.push_back(measured(t).sound.loudness.integratedLufs);
    std::vector<double> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    for (size_t i = 0; i < levels.size(); ++i)
        EXPECT_NEAR(levels[i], median, 1.0) << catalogue()[i].file;
}
