// The intro's tune as the build wrote it: two players accept it, it stays below clipping at
// the loudness of the collection, and it reaches the positions the intro waits for at the
// times its sequences need, each on the start of a phrase.

#include "content/music/catalogue.h"
#include "content/music/intro_timeline.h"
#include "content/music/intro_tune.h"
#include "content/music/writers.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace tl = intro_timeline;
using namespace music;

namespace {

const std::string TUNE = std::string(VRK_BINARY_DIR) + "/content/music/super.xm";
constexpr int RATE = 44100;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

openmpt_module* open(const std::vector<uint8_t>& bytes) {
    return openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr);
}

// Interleaved stereo at 44.1 kHz, at most `seconds` long; empty when libopenmpt refuses.
std::vector<float> render(const std::vector<uint8_t>& bytes, double seconds) {
    std::vector<float> out;
    openmpt_module* m = open(bytes);
    if (!m) return out;
    std::vector<float> buf(2 * 4096);
    const size_t limit = size_t(seconds * RATE);
    while (out.size() < 2 * limit) {
        size_t got = openmpt_module_read_interleaved_float_stereo(m, RATE, 4096, buf.data());
        if (got == 0) break;
        out.insert(out.end(), buf.begin(), buf.begin() + 2 * got);
    }
    openmpt_module_destroy(m);
    return out;
}

// Mean power in dB relative to full scale over interleaved stereo samples.
double powerDb(const std::vector<float>& stereo) {
    double sum = 0;
    for (float v : stereo) sum += double(v) * v;
    return 10 * std::log10(sum / double(stereo.size()) + 1e-12);
}

const tl::Position MOMENTS[] = {tl::LOGO_HOLD_END, tl::FIRST_SCENE, tl::CAPTION_HOLD_END,
                                tl::TITLE_HOLD_END, tl::SECOND_SCENE};

} // namespace

TEST(IntroTune, BothPlayersAcceptItWithItsLayout) {
    std::vector<uint8_t> bytes = readFile(TUNE);
    ASSERT_FALSE(bytes.empty()) << TUNE << " was not written";
    openmpt_module* m = open(bytes);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(openmpt_module_get_num_orders(m), tl::ORDERS);
    EXPECT_NEAR(openmpt_module_get_duration_seconds(m), tl::TUNE_SECONDS, 0.05);
    EXPECT_GE(openmpt_module_get_num_channels(m), 8);
    for (int o = 0; o < tl::ORDERS; ++o)
        EXPECT_EQ(openmpt_module_get_pattern_num_rows(m, openmpt_module_get_order_pattern(m, o)),
                  tl::PATTERN_ROWS);
    EXPECT_EQ(openmpt_module_get_current_speed(m), tl::SPEED);
    EXPECT_EQ(openmpt_module_get_current_tempo(m), tl::TEMPO);
    openmpt_module_destroy(m);

    xmp_context ctx = xmp_create_context();
    ASSERT_EQ(xmp_load_module_from_memory(ctx, bytes.data(), long(bytes.size())), 0);
    ASSERT_EQ(xmp_start_player(ctx, RATE, 0), 0);
    xmp_module_info info;
    xmp_get_module_info(ctx, &info);
    EXPECT_EQ(info.mod->len, tl::ORDERS);
    EXPECT_NEAR(info.seq_data[0].duration / 1000.0, tl::TUNE_SECONDS, 0.5);
    xmp_end_player(ctx);
    xmp_release_module(ctx);
    xmp_free_context(ctx);
}

// The tune uses the tracker's expression: vibrato, volume slides, tone portamento and panning.
TEST(IntroTune, IsComposedWithExpressionAndStartsAPhraseOnEveryMoment) {
    Module m = introTune();
    std::map<int, int> effects;
    for (const auto& row : m.rows)
        for (const Cell& c : row) ++effects[c.effect];
    for (int fx : {0x3, 0x4, 0x8, 0xA}) EXPECT_GT(effects[fx], 0) << "effect " << fx;
    // A phrase starts where several voices strike together.
    for (const tl::Position& p : MOMENTS) {
        int onsets = 0;
        for (const Cell& c : m.rows.at(size_t(p.rows()))) onsets += c.note > 0;
        EXPECT_GE(onsets, 2) << "order " << p.order << " row " << p.row;
    }
    EXPECT_EQ(writeXm(m), readFile(TUNE)) << "the build's copy differs from a new run";
}

// Played as the intro hears it, from the top: when is each position first reported?
TEST(IntroTune, ReachesEachMomentAtItsDesignedTime) {
    std::vector<uint8_t> bytes = readFile(TUNE);
    openmpt_module* m = open(bytes);
    ASSERT_NE(m, nullptr);
    std::map<unsigned, double> firstSeen;
    std::vector<float> buf(2 * 441);
    for (double t = 0; t < tl::TUNE_SECONDS - 0.5; t += 0.01) {
        unsigned pos = unsigned(openmpt_module_get_current_order(m)) << 16 |
                       unsigned(openmpt_module_get_current_row(m));
        firstSeen.emplace(pos, t);
        ASSERT_EQ(openmpt_module_read_interleaved_float_stereo(m, RATE, 441, buf.data()), 441u);
    }
    openmpt_module_destroy(m);
    for (const tl::Position& p : MOMENTS) {
        ASSERT_TRUE(firstSeen.count(p.packed())) << p.order << "," << p.row;
        EXPECT_NEAR(firstSeen[p.packed()], p.seconds(), 0.02) << p.order << "," << p.row;
    }
    // Each fade ends before the position that ends its hold, with the scenes as long as given.
    auto at = [&](const tl::Position& p) { return firstSeen[p.packed()]; };
    EXPECT_LT(tl::LOGO_FADE_IN, at(tl::LOGO_HOLD_END));
    EXPECT_LE(at(tl::LOGO_HOLD_END) + tl::LOGO_FADE_OUT, at(tl::FIRST_SCENE) + 0.01);
    double trainEnds = at(tl::FIRST_SCENE) + tl::SCENE_LOAD + tl::FIRST_SCENE_LENGTH;
    EXPECT_LT(trainEnds + tl::CAPTION_FADE, at(tl::CAPTION_HOLD_END));
    EXPECT_LT(at(tl::CAPTION_HOLD_END) + tl::CAPTION_FADE + tl::TITLE_FADE_IN,
              at(tl::TITLE_HOLD_END));
    EXPECT_LE(at(tl::TITLE_HOLD_END) + tl::TITLE_FADE_OUT, at(tl::SECOND_SCENE));
    double cabinEnds = at(tl::SECOND_SCENE) + tl::SCENE_LOAD + tl::SECOND_SCENE_LENGTH;
    EXPECT_LT(cabinEnds, tl::TUNE_SECONDS) << "the tune plays on until the final fade";
    EXPECT_GE(cabinEnds, 50.0);
    EXPECT_LE(cabinEnds, 90.0);
}

// No clipping anywhere (peaks below -1 dBFS), no silent second, and about as loud as the
// collection's own tunes (the median of their first minutes, within 2 dB).
TEST(IntroTune, StaysBelowClippingAtTheCollectionsLoudness) {
    std::vector<float> tune = render(readFile(TUNE), tl::TUNE_SECONDS);
    ASSERT_GT(tune.size(), size_t(2 * RATE * (tl::TUNE_SECONDS - 1)));
    float peak = 0;
    for (float v : tune) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(20 * std::log10(peak), -1.0) << "peak " << 20 * std::log10(peak) << " dBFS";
    const size_t second = 2 * RATE;
    for (size_t s = 0; s + second <= tune.size(); s += second) {
        double sum = 0;
        for (size_t i = s; i < s + second; ++i) sum += tune[i] * tune[i];
        EXPECT_GT(std::sqrt(sum / second), 0.005) << "silent second " << s / second;
    }
    const double intro = powerDb(tune);

    std::vector<double> levels;
    for (const music::TuneEntry& t : music::catalogue()) {
        std::vector<float> c =
            render(readFile(std::string(VRK_BINARY_DIR) + "/content/music/" + t.file),
                   std::min(60.0, double(t.seconds)));
        if (!c.empty()) levels.push_back(powerDb(c));
    }
    ASSERT_GE(levels.size(), 10u);
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    const double median = levels[levels.size() / 2];
    EXPECT_NEAR(intro, median, 2.0) << "intro " << intro << " dB, collection " << median << " dB";
}
