// The list is drawn only where the window shows it. Whatever the window shows must be what one
// picture of the whole list would show there, row for row, the blinking marker included: the
// whole picture is made here from the rules (every row's glyphs at 16 i + 112; the marker column
// cleared over the slots below the cursor's and the marker drawn seven slots down), and the two
// are compared over a long walk through the list.
#include "fixture.h"

#include "player/menu.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/shell.h"
#include "visuals/fonts.h"

#include <random>

namespace {

class MenuListTest : public PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        screens.state = SCREEN_MENU;
        menu.mouseY = 200;
        glyphs = visuals::makeMenuGlyphTable();
        whole = ptc_surface_create(MENU_LIST_WIDTH, menu_list_height(), nullptr);
        PtcColor key{1.0f, 0.0f, 1.0f};
        ptc_surface_clear_color(whole, &key);
        const MenuTable& t = menu_table();
        for (int i = 0; i < t.rowCount; ++i)
            for (int n = 0; n < 25 && t.rows[i].text[n]; ++n)
                visuals::drawGlyph(t.rows[i].header ? shell.pictures.menuFontCopy
                                                    : shell.pictures.menuFont,
                                   glyphs, static_cast<unsigned char>(t.rows[i].text[n]), whole,
                                   15 * n, 16 * i + 112);
    }
    void TearDown() override {
        ptc_surface_destroy(whole);
        PlayerTest::TearDown();
    }

    // One list step, and the same step of the marker on the whole picture.
    void step() {
        const int countdown = menu.markerCountdown;
        menu_list_step();
        const int q = menu.selectedRow;
        PtcColor key{1.0f, 0.0f, 1.0f};
        PtcArea column{375, 16 * q + 16, 389, 16 * q + 224};
        ptc_surface_clear_color(whole, &key, &column);
        if (countdown != 0) {
            const int kind = q >= 0 && q < menu_table().rowCount
                                 ? static_cast<int>(menu_table().rows[q].kind)
                                 : 0;
            const int gx = visuals::glyphX(glyphs, kind == 1 ? '?' : kind == 2 ? '@' : ' ');
            PtcArea from{gx, 1, gx + 14, 15}, to{375, 16 * (q + 7), 389, 16 * (q + 7) + 16};
            ptc_surface_copy_area(shell.pictures.menuFont, whole, &from, &to);
        }
    }

    // Every row the window shows, as the whole picture has it.
    void expectWindowRowsAsInTheWholeList(int frame) {
        for (int j = 0; j < MENU_WINDOW_HEIGHT; ++j) {
            const std::uint32_t* drawn = menu_list_row(menu.scroll + j);
            ASSERT_NE(drawn, nullptr) << "frame " << frame << " row " << j;
            const std::uint32_t* expected = surface_row(whole, menu.scroll + j);
            for (int x = 0; x < MENU_LIST_WIDTH; ++x)
                ASSERT_EQ(drawn[x], expected[x])
                    << "frame " << frame << ", list row " << menu.scroll + j << ", x " << x;
        }
    }

    visuals::GlyphTable glyphs;
    PtcSurface* whole = nullptr;
};

TEST_F(MenuListTest, TheWindowShowsWhatThePictureOfTheWholeListWould) {
    std::mt19937 random(2026);
    step();
    for (int frame = 0; frame < 1500; ++frame) {
        switch (random() % 8) {
        case 0: // a long jump, now and then past either end
            menu.mouseY += static_cast<int>(random() % 161) - 80;
            break;
        case 1:
            play_row(menu_table().playList[random() % menu_table().playListLength]);
            break;
        case 2:
        case 3:
            menu.mouseY += static_cast<int>(random() % 7) - 3;
            break;
        default: // resting, or gliding towards the playing row
            break;
        }
        step();
        expectWindowRowsAsInTheWholeList(frame);
    }
}

TEST_F(MenuListTest, PageKeysAndHomeAndEndMoveTheListByWindowsAndToItsEnds) {
    step();
    post(platform::WM_KEYDOWN, platform::VK_NEXT);
    pump();
    step();
    EXPECT_EQ(menu.scroll, MENU_PAGE);
    post(platform::WM_KEYDOWN, platform::VK_END);
    pump();
    step();
    EXPECT_EQ(menu.scroll, menu_scroll_limit());
    post(platform::WM_KEYDOWN, platform::VK_PRIOR);
    pump();
    step();
    EXPECT_EQ(menu.scroll, menu_scroll_limit() - MENU_PAGE);
    post(platform::WM_KEYDOWN, platform::VK_HOME);
    pump();
    step();
    EXPECT_EQ(menu.scroll, 0);
    expectWindowRowsAsInTheWholeList(0);
}

} // namespace
