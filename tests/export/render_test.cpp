// A tune as the export renders it against the player's own back-end playing the same module:
// the same samples up to the last second, then the player's fade to silence; and the lengths.
#include "export/render.h"
#include "tests/export/fixture.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

using namespace exporttest;

namespace {

class ExportRender : public ::testing::TestWithParam<const char*> {};

std::size_t firstDifference(const std::vector<std::int16_t>& a,
                            const std::vector<std::int16_t>& b) {
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first -
                                    a.begin()) /
           2;
}

// An XM at full separation and a MOD at the player's 50 %, with its ramping: the export's frames
// are the sound card's frames, and its last second is the player's fade of them.
TEST_P(ExportRender, IsThePlayersOutputFadedOverItsLastSecond) {
    const std::string module = testModule(GetParam());
    ASSERT_FALSE(module.empty());
    constexpr std::uint32_t LISTED_MS = 9000;
    const std::vector<std::int16_t> exported = exportRender(module, LISTED_MS);
    ASSERT_EQ(exported.size(), 2u * 9 * 44100);
    std::vector<std::int16_t> player = playerOutput(module, exported.size() / 2, exported);
    ASSERT_EQ(player.size(), exported.size()) << "the player's output could not be had";
    const std::size_t fade = 44100;
    std::vector<std::int16_t> before(exported.begin(), exported.end() - 2 * fade);
    std::vector<std::int16_t> heard(player.begin(), player.end() - 2 * fade);
    EXPECT_EQ(firstDifference(before, heard), before.size() / 2);
    fadeOutEnd(player, fade);
    EXPECT_EQ(firstDifference(exported, player), exported.size() / 2);
    // The fade really is heard: the last second falls away, the last frame is silent.
    EXPECT_GT(peakOf(std::vector<std::int16_t>(exported.end() - 2 * fade, exported.end() - fade)),
              peakOf(std::vector<std::int16_t>(exported.end() - fade / 4, exported.end())));
    EXPECT_EQ(exported[exported.size() - 1], 0);
    EXPECT_EQ(exported[exported.size() - 2], 0);
    // And so is the loudness, to the last digit.
    EXPECT_DOUBLE_EQ(lufsOf(exported), lufsOf(player));
}

INSTANTIATE_TEST_SUITE_P(Modules, ExportRender, ::testing::Values("dali.xm", "high-score.mod"),
                         [](const auto& info) {
                             const std::string n = info.param;
                             return n.substr(n.find('.') + 1);
                         });

// Without a listed time a tune plays as long as its song runs once (the time the menu rounds
// to the second); with one, exactly that long; a time under a second is all fade.
TEST(ExportRenderLength, ListedOrAsLongAsTheSongRuns) {
    const std::string module = testModule("dali.xm");
    ASSERT_FALSE(module.empty());
    openmpt_module* m =
        openmpt_module_create_from_memory2(module.data(), module.size(), nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m, nullptr);
    const double seconds = openmpt_module_get_duration_seconds(m);
    openmpt_module_destroy(m);
    exporter::TuneRender r;
    std::string why;
    ASSERT_TRUE(r.open(module.data(), module.size(), why));
    EXPECT_EQ(r.type(), "xm");
    EXPECT_NEAR(static_cast<double>(r.lengthFrames(0)), seconds * 44100, 1.0);
    EXPECT_EQ(r.lengthFrames(112000), 112u * 44100);
    const std::vector<std::int16_t> short_ = exportRender(module, 300);
    ASSERT_EQ(short_.size(), 2u * 13230);
    EXPECT_EQ(short_.back(), 0);
}

TEST(ExportRenderLength, RefusesWhatIsNoModule) {
    exporter::TuneRender r;
    std::string why;
    EXPECT_FALSE(r.open("not a module at all, only text", 30, why));
    EXPECT_NE(why.find("libopenmpt refuses it"), std::string::npos) << why;
    EXPECT_FALSE(r.open(nullptr, 0, why));
    std::int16_t block[2 * exporter::BLOCK];
    r.start(1000);
    EXPECT_EQ(r.next(block), 0u);
}

} // namespace
