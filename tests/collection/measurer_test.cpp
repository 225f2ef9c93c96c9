// Measuring module files on the measuring thread, and the facts that come back.
#include "collection/measurer.h"
#include "scratch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using collection::Measurer;
using collection::ModuleState;

std::vector<Measurer::Result> waitForAll(Measurer& m) {
    std::vector<Measurer::Result> all;
    for (int i = 0; i < 20000 && !m.idle(); ++i) {
        for (auto& r : m.take()) all.push_back(std::move(r));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (auto& r : m.take()) all.push_back(std::move(r));
    return all;
}

TEST(Measurer, MeasuresEveryFileInTurnAndSaysWhatIsWrongWithTheRest) {
    scratch::Folder f;
    const std::string three = f.write("three.mod", scratch::modFile("Three", {}, 3));
    const std::string names =
        f.write("names.mod", scratch::modFile("", {"st-01:strings", "kick.wav",
                                                   "greetings go out to", "everyone who still",
                                                   "listens to four", "channels in the snow"}));
    const std::string cut = f.write("cut.mod", scratch::modFile("Cut").substr(0, 1084));
    Measurer m;
    m.add({0, three});
    m.add({1, names});
    m.add({2, f.path("missing.mod")});
    m.add({3, cut});
    const auto results = waitForAll(m);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].tune, 0);
    EXPECT_EQ(results[0].facts.state, ModuleState::Measured);
    EXPECT_EQ(results[0].facts.durationMs, 23000u); // three patterns of 7.68 s
    EXPECT_EQ(results[0].facts.title, "Three");
    EXPECT_EQ(results[0].facts.type, "mod");
    EXPECT_EQ(results[0].stamp.size, 1084u + 3 * 1024);
    // The sample names that say something make its text; a sample disk's prefix and a bare
    // file name do not.
    EXPECT_EQ(results[1].facts.text, "strings\ngreetings go out to\neveryone who still\nlistens "
                                     "to four\nchannels in the snow");
    EXPECT_EQ(results[2].facts.state, ModuleState::Broken);
    EXPECT_EQ(results[2].facts.reason, "cannot be read (No such file or directory)");
    // A module without its patterns: whatever libopenmpt makes of it, it is never Pending.
    EXPECT_NE(results[3].facts.state, ModuleState::Pending);
}

TEST(Measurer, AFewSoundNamesAreNoText) {
    scratch::Folder f;
    const std::string p =
        f.write("kit.mod", scratch::modFile("kit", {"bass", "snare", "hihat", "lead", "pad"}));
    collection::FileStamp stamp;
    const collection::ModuleFacts facts = collection::measureFile(p, stamp);
    EXPECT_EQ(facts.state, ModuleState::Measured);
    EXPECT_EQ(facts.text, "");
}

TEST(Measurer, StopsWithJobsLeft) {
    scratch::Folder f;
    const std::string p = f.write("a.mod", scratch::modFile("a", {}, 60));
    auto m = std::make_unique<Measurer>();
    for (int i = 0; i < 500; ++i) m->add({i, p});
    m.reset(); // must not wait for all of them
    SUCCEED();
}

} // namespace
