// The collection's sound goals, measured on the modules the build wrote and rendered as the
// player renders them (MODs at its stereo separation), the intro's tune among them: expression
// in every tune, XMs spread across the field, no tempo jump near the loop, loudness as BS.1770
// measures it even from tune to tune, with headroom and a range that moves, some brightness,
// and patterns that do not just repeat.

#include "analysis.h"
#include "content/music/catalogue.h"
#include "content/music/intro_timeline.h"
#include "render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>

using namespace music;

namespace {

struct Piece {
    std::string file;
    double seconds = 0;
};

void PrintTo(const Piece& p, std::ostream* os) {
    *os << p.file;
}

std::vector<Piece> pieces() {
    std::vector<Piece> all;
    for (const TuneEntry& t : catalogue()) all.push_back({t.file, double(t.seconds)});
    all.push_back({"super.xm", intro_timeline::TUNE_SECONDS});
    return all;
}

// Every style on the disk has some brightness: bells, sleigh bells, hats, the comb of a music
// box. None is left darker on purpose.
constexpr double BRIGHT_SHARE = 0.015;

struct Measured {
    PatternScan scan;
    SoundStats sound;
    double duration = 0;
};

const Measured& measured(const Piece& p) {
    static std::map<std::string, Measured> cache;
    auto it = cache.find(p.file);
    if (it != cache.end()) return it->second;
    Measured m;
    std::vector<uint8_t> bytes = readFile(std::string(VRK_BINARY_DIR) + "/content/music/" + p.file);
    m.scan = scanPatterns(bytes);
    Rendered r = renderModule(bytes, p.seconds + 1, true);
    m.duration = r.duration;
    if (r.loaded) m.sound = soundStats(r.stereo, 44100);
    return cache[p.file] = m;
}

class SoundGoals : public ::testing::TestWithParam<Piece> {};

} // namespace

TEST_P(SoundGoals, ExpressiveSpreadSteadyVariedBrightAndMoving) {
    const Piece& p = GetParam();
    const Measured& m = measured(p);
    ASSERT_TRUE(m.scan.ok) << p.file << " cannot be read back";
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
    EXPECT_NEAR(m.scan.seconds, p.seconds, 0.2);
    EXPECT_GE(2 * m.scan.distinctTracks, m.scan.tracks)
        << m.scan.distinctTracks << " of " << m.scan.tracks << " tracks differ";
    EXPECT_GE(m.sound.highShare, BRIGHT_SHARE) << "energy above 4 kHz";
    // Headroom for the listener's converter, and sections that drop and build.
    const Loudness& l = m.sound.loudness;
    ASSERT_TRUE(l.ok);
    EXPECT_LE(l.truePeakDbtp, -1.0) << "true peak, dBTP";
    EXPECT_GE(l.rangeLu, 4.0) << "loudness range, LU";
}

INSTANTIATE_TEST_SUITE_P(All, SoundGoals, ::testing::ValuesIn(pieces()),
                         [](const ::testing::TestParamInfo<Piece>& info) {
                             std::string n = info.param.file;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

// Random play moves from tune to tune: none may jump out or sink (1 LU of the collection's
// median), the intro's tune included.
TEST(SoundGoals, IntegratedLoudnessIsEvenAcrossTheCollection) {
    std::vector<double> levels;
    for (const TuneEntry& t : catalogue())
        levels.push_back(measured({t.file, double(t.seconds)}).sound.loudness.integratedLufs);
    std::vector<double> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    for (const Piece& p : pieces())
        EXPECT_NEAR(measured(p).sound.loudness.integratedLufs, median, 1.0)
            << p.file << ", LUFS against the median";
}
