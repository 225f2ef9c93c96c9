// The real intro content on the fake clock: the scenes and pictures of this build's vrk.bin and
// the positions of the intro's tune as a module player renders it, with every scene frame taking
// its 30 ms. Each fade-in must end before the position that ends its hold, and the whole intro
// must last between 50 and 90 seconds.
#include "tests/intro/intro_fixture.h"

#include <libopenmpt/libopenmpt.h>

#include <fstream>
#include <iterator>

namespace introtest {
namespace {

// The module rendered as far as asked, answering its position there.
class RenderedTune {
  public:
    explicit RenderedTune(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        module = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr, nullptr);
        if (module) openmpt_module_set_repeat_count(module, -1);
    }
    ~RenderedTune() { openmpt_module_destroy(module); }
    bool ok() const { return module != nullptr; }
    std::uint32_t at(std::uint32_t ms) {
        const std::int64_t want = static_cast<std::int64_t>(ms) * RATE / 1000;
        while (rendered < want) {
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(want - rendered, 1024));
            openmpt_module_read_interleaved_stereo(module, RATE, n, buffer);
            rendered += static_cast<std::int64_t>(n);
        }
        return static_cast<std::uint32_t>(openmpt_module_get_current_order(module)) << 16 |
               static_cast<std::uint32_t>(openmpt_module_get_current_row(module));
    }

  private:
    static constexpr int RATE = 48000;
    std::vector<char> bytes;
    openmpt_module* module = nullptr;
    std::int64_t rendered = 0;
    std::int16_t buffer[2048];
};

class ContentTimeline : public IntroFixture {};

TEST_F(ContentTimeline, FadesEndBeforeTheirPositionsAndTheIntroLastsFiftyToNinetySeconds) {
    DataArchive content(VRK_BINARY_DIR "/vrk.bin");
    ASSERT_TRUE(content.isOpen()) << "this build's vrk.bin";
    intro::introState.archive = &content;
    RenderedTune tune(VRK_INTRO_TUNE_PATH);
    ASSERT_TRUE(tune.ok()) << VRK_INTRO_TUNE_PATH;
    script.music = [&](std::uint32_t ms) { return tune.at(ms); };

    const std::uint32_t start = fakeClock.t;
    EXPECT_EQ(0, intro::RunIntro(nullptr));
    const double seconds = (fakeClock.t - start) / 1000.0;

    // Both scenes play every frame: 0..869 and 0..599.
    ASSERT_EQ(870u + 600u, script.frames.size());
    // Paced frames before the first scene, and between the scenes, counted by what they saw.
    long logoHold = 0, captionHold = 0, between = 0, titleHold = 0;
    for (const auto& [scenes, position] : script.pacedFramesSeen) {
        if (scenes == 0) logoHold += position < intro::musicPos(1, 40);
        if (scenes == 1) {
            ++between;
            captionHold += position < intro::musicPos(6, 0);
        }
    }
    // Between the scenes: caption in and hold, its 64 frames out, title in and hold, 36 out.
    titleHold = between - captionHold - 64 - 36;
    EXPECT_GT(logoHold, 64) << "the logo's fade-in ends after (1, 40)";
    EXPECT_GT(captionHold, 64) << "the caption's fade-in ends after (6, 0)";
    EXPECT_GT(titleHold, 64) << "the large logo's fade-in ends after (7, 16)";
    EXPECT_GE(seconds, 50.0);
    EXPECT_LE(seconds, 90.0);
    RecordProperty("intro_seconds", std::to_string(seconds));
    std::printf("intro %.1f s on the tune's positions: logo %ld, caption %ld, title %ld frames "
                "in and holding\n",
                seconds, logoHold, captionHold, titleHold);
}

} // namespace
} // namespace introtest
