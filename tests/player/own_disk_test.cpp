// The player with a disk made from modules on disk: the menu walks its table, tunes are read
// from their files when chosen, measuring fills the rows in while the list stays put, and
// files that change or vanish play nothing.
#include "../collection/scratch.h"
#include "fixture.h"

#include "audio/music.h"
#include "collection/cache.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/own_disk.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

class OwnDiskTest : public PlayerTest {
  protected:
    void SetUp() override {
        setenv("XDG_CACHE_HOME", cacheHome.root().c_str(), 1);
        PlayerTest::SetUp();
        screens.state = SCREEN_MENU;
        menu.mouseY = 200;
    }
    void TearDown() override {
        waitForSwitch();
        own_disk_close();
        PlayerTest::TearDown();
        unsetenv("XDG_CACHE_HOME");
    }
    // Opens the disk and starts the menu on it, as start-up does.
    void open(const std::string& path) {
        ASSERT_EQ(own_disk_open({path}), 0);
        reset_scroller();
        menu_list_step();
    }
    // Steps between frames until everything is measured and taken in.
    void settle() {
        for (int i = 0; i < 20000 && !own_disk_settled(); ++i) {
            own_disk_step();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        own_disk_step();
        ASSERT_TRUE(own_disk_settled());
    }
    static void waitForSwitch() {
        for (int i = 0; i < 20000 && music_is_switching(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int rowOf(const std::string& file) const {
        const MenuTable& t = menu_table();
        for (int i = 0; i < t.rowCount; ++i)
            if (t.rows[i].resource && folder.path(file) == t.rows[i].resource) return i;
        return -1;
    }
    void cursorTo(int r) {
        menu.scroll = r * MENU_SLOT;
        menu.previousMouseY = menu.mouseY;
        menu_list_step();
        ASSERT_EQ(menu.selectedRow, r);
    }

    scratch::Folder cacheHome, folder;
};

TEST_F(OwnDiskTest, AFolderPlaysItsModulesInTheMenuAndNothingIsWrittenIntoIt) {
    folder.write("songs/a.mod", scratch::modFile("first song"));
    folder.write("songs/b.mod", scratch::modFile("second song", {}, 2));
    const std::string before = scratch::listing(folder.root());
    open(folder.path("songs"));
    const MenuTable& t = menu_table();
    EXPECT_EQ(t.playListLength, 2);
    EXPECT_EQ(t.firstTuneRow, 6);
    EXPECT_STREQ(t.rows[5].text, "                    songs");
    EXPECT_STREQ(scroller.text, t.scrollTexts[0]);
    EXPECT_NE(std::strstr(scroller.text, "2 tunes in 1 group"), nullptr);
    // The first frame plays the first tune, read from its file.
    menu_frame(shell.console, shell.workSurface);
    waitForSwitch();
    EXPECT_EQ(music_is_active(), 1);
    settle();
    EXPECT_EQ(menu_table().rows[7].text, scratch::line("second song...0'15"));
    waitForSwitch();
    own_disk_close();
    EXPECT_EQ(scratch::listing(folder.root()), before);
    // What was measured is kept for the next time.
    EXPECT_EQ(collection::readModuleCache(collection::moduleCachePath()).modules.size(), 2u);
}

TEST_F(OwnDiskTest, AModuleThatVanishedOrChangedPlaysNothingAndSaysSo) {
    folder.write("d/a.mod", scratch::modFile("stays"));
    folder.write("d/b.mod", scratch::modFile("goes"));
    folder.write("d/c.mod", scratch::modFile("changes"));
    open(folder.path("d"));
    settle();
    const int gone = rowOf("d/b.mod"), changed = rowOf("d/c.mod");
    ASSERT_GT(gone, 0);
    ASSERT_GT(changed, 0);
    ASSERT_EQ(std::remove(folder.path("d/b.mod").c_str()), 0);
    folder.write("d/c.mod", scratch::modFile("changed now", {}, 3));
    testing::internal::CaptureStderr();
    play_row(gone);
    EXPECT_EQ(music_is_switching(), 0);
    play_row(changed);
    EXPECT_EQ(music_is_switching(), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(folder.path("d/b.mod") + ": gone since the disk was opened; nothing plays"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(folder.path("d/c.mod") + ": changed since the disk was opened"),
              std::string::npos)
        << said;
    // Measured again, the changed one plays and shows what it is now.
    settle();
    EXPECT_EQ(menu_table().rows[rowOf("d/c.mod")].text, scratch::line("changed now...0'23"));
    play_row(rowOf("d/c.mod"));
    EXPECT_EQ(menu.playingRow, rowOf("d/c.mod"));
}

TEST_F(OwnDiskTest, MeasuringFillsInTheRowsAndTheListStaysOnItsTunes) {
    // The first module's header is sound but it does not load: it leaves once measured.
    folder.write("m/a.mod", scratch::brokenPackedModule());
    for (const char* n : {"m/b.mod", "m/c.mod", "m/d.mod", "m/e.mod"})
        folder.write(n, scratch::modFile(n + 2));
    open(folder.path("m"));
    ASSERT_EQ(menu_table().playListLength, 5);
    const int rowD = rowOf("m/d.mod");
    cursorTo(rowD);
    play_row(rowOf("m/e.mod"));
    menu.follow = 0;
    testing::internal::CaptureStderr();
    settle();
    const std::string said = testing::internal::GetCapturedStderr();
    menu_list_step();
    EXPECT_NE(said.find(folder.path("m/a.mod") + ": skipped"), std::string::npos) << said;
    EXPECT_EQ(menu_table().playListLength, 4);
    EXPECT_EQ(menu.selectedRow, rowOf("m/d.mod"));
    EXPECT_EQ(menu.selectedRow, rowD - 1);
    EXPECT_EQ(menu.playingRow, rowOf("m/e.mod"));
}

TEST_F(OwnDiskTest, RandomPlayTimesATuneByItsMeasuredTime) {
    folder.write("r/only.mod", scratch::modFile("only", {}, 4));
    open(folder.path("r"));
    EXPECT_EQ(menu_table().rows[6].duration, 0u); // not measured yet
    random_play_start();
    // Chosen before its turn, it is measured as it is read; its time comes in at the next step.
    EXPECT_EQ(menu.randomDuration, UNKNOWN_TUNE_MS);
    menu.randomPlay = 1;
    own_disk_step();
    EXPECT_EQ(menu.randomDuration, 31000u);
}

TEST_F(OwnDiskTest, TheOpeningTextGrowsByTheWholeTimeWhereTheBandIs) {
    folder.write("t/a.mod", scratch::modFile("a"));
    open(folder.path("t"));
    const std::string first = scroller.text;
    EXPECT_EQ(first.find("play for"), std::string::npos);
    for (int f = 0; f < 16 * 40; ++f) scroller_step();
    const int at = scroller.nextCharacter;
    settle();
    EXPECT_EQ(scroller.nextCharacter, at);
    EXPECT_EQ(std::string(scroller.text).rfind(first, 0), 0u);
    EXPECT_NE(std::strstr(scroller.text, "The tune plays for 0 minutes 8 seconds."), nullptr);
    EXPECT_EQ(scroller.transition, 0);
}

TEST_F(OwnDiskTest, WhatCannotBePlayedIsRefusedWithTheUsualBox) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(own_disk_open({folder.path("nothing here")}), 1);
    folder.write("bad.txt", "group Bad\n");
    EXPECT_EQ(own_disk_open({folder.path("bad.txt")}), 1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Tinselwave: I cannot open '" + folder.path("nothing here") +
                        "': No such file or directory"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(folder.path("bad.txt") + ":1: error: group name \"Bad\""),
              std::string::npos)
        << said;
    EXPECT_EQ(&menu_table().rows[0], &menu_table().rows[0]);
    EXPECT_EQ(menu_table().playListLength, PLAY_LIST_LENGTH); // still the built-in disk
}

} // namespace
