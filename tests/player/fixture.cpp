#include "fixture.h"

#include "audio/music.h"
#include "player/menu.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"
#include "player/startup.h"
#include "player/window_proc.h"
#include "visuals/aurora.h"

#include <cstdlib>
#include <thread>

namespace {
PtcSurface* filled(int w, int h, std::uint32_t colour) {
    PtcSurface* s = ptc_surface_create(w, h, nullptr);
    PtcColor c{((colour >> 16) & 255) / 255.0f, ((colour >> 8) & 255) / 255.0f,
               (colour & 255) / 255.0f};
    ptc_surface_clear_color(s, &c);
    return s;
}

// A font picture: magenta with a white 4 x 4 block inside every glyph cell.
PtcSurface* font(int cells, int rows) {
    PtcSurface* s = filled(cells * 15, rows + 1, 0xFF00FF);
    for (int c = 0; c < cells; ++c)
        for (int y = 4; y < 8; ++y)
            for (int x = 4; x < 8; ++x) surface_row(s, y)[c * 15 + x] = 0xFFFFFF;
    return s;
}

PtcSurface* areaOf(PtcSurface* from, const PtcArea& a) {
    PtcSurface* s = ptc_surface_create(a.width(), a.height(), nullptr);
    PtcArea to{0, 0, a.width(), a.height()};
    ptc_surface_copy_area(from, s, &a, &to);
    return s;
}
} // namespace

void PlayerTest::SetUp() {
    setenv("VRK_WINDOWED", "1", 1);
    previousClock = platform::setClockSource(&clock);
    reset_screens();
    reset_menu();
    reset_scroller();
    shell.window = platform::createWindow("Tinselwave", player_window_proc, nullptr);
    ASSERT_NE(shell.window, nullptr);
    shell.console = ptc_console_create();
    shell.format = ptc_format_create_direct(32, 0xff0000, 0xff00, 0xff, 0);
    ptc_console_open_window_resolution(shell.console, shell.window, 640, 400, shell.format, 2);
    shell.workSurface = ptc_surface_create(640, 400, shell.format);
    shell.pageCount = ptc_console_pages(shell.console);

    ShellPictures& p = shell.pictures;
    p.mainPicture = filled(640, 400, MAIN_COLOUR);
    p.indicatorOn = filled(40, 20, ON_COLOUR);
    p.indicatorOff = filled(40, 20, OFF_COLOUR);
    p.exitLabel = filled(60, 30, LABEL_COLOUR);
    menu.indicatorRedraw = menu.meterRedraw = shell.pageCount;
    ptc_surface_copy(p.mainPicture, shell.workSurface);
    copy_at(p.exitLabel, shell.workSurface, EXIT_LABEL_X, EXIT_LABEL_Y);
    p.scrollFont = font(62, 30);
    p.scrollLine = filled(LINE_WIDTH, BAND_HEIGHT, 0xFF00FF);
    p.scrollBand = ptc_surface_create(BAND_WIDTH, BAND_HEIGHT, nullptr);
    p.bandBackground = areaOf(p.mainPicture, scrollerArea);
    scroller_setup();
    p.meterLine = ptc_surface_create(640, 1, nullptr);
    p.menuFont = font(42, 14);
    p.menuFontCopy = font(42, 14);
    p.menuList = ptc_surface_create(MENU_LIST_WIDTH, MENU_STRIP_HEIGHT, nullptr);
    p.menuWindow = ptc_surface_create(390, 220, nullptr);
    p.menuBackground = areaOf(p.mainPicture, menuArea);
    menu_list_prerender();
    p.elfMask = filled(104, 64, 0xFF00FF);
    p.auroraBackground = areaOf(p.mainPicture, auroraArea);
    p.auroraWork = areaOf(p.mainPicture, auroraArea);
    visuals::setupAuroraFrom(nullptr, 0, nullptr, 0);
    p.endPicture1 = filled(640, 400, END1_COLOUR);
    p.endPicture2 = filled(640, 400, END2_COLOUR);
    pump(); // WM_SIZE and WM_PAINT of the shown window
    menu.windowRestored = 0;
}

void PlayerTest::TearDown() {
    // No tune of one test plays into the next: the music player's state is the process's.
    while (music_is_switching()) std::this_thread::yield();
    music_free();
    release_pictures();
    visuals::releaseAurora();
    ptc_surface_destroy(shell.workSurface);
    ptc_format_destroy(shell.format);
    ptc_console_destroy(shell.console);
    platform::destroyWindow(shell.window);
    shell = Shell{};
    platform::setClockSource(previousClock);
}

void PlayerTest::pump() {
    platform::Message m;
    while (platform::peekMessage(m))
        if (m.message != platform::WM_QUIT) platform::dispatchMessage(m);
}

int PlayerTest::framesUntil(int state, int limit) {
    for (int n = 1; n <= limit; ++n) {
        pump();
        screen_frame();
        if (screens.state == state) return n;
    }
    return -1;
}

std::uint32_t PlayerTest::shownPixel(int x, int y) const {
    const std::uint32_t* shown = ptc_console_shown(shell.console);
    return shown ? shown[y * 640 + x] : 0xDEADBEEF;
}

std::uint64_t PlayerTest::updates() const {
    return ptc_console_updates(shell.console);
}

void PlayerTest::post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    platform::postMessage(shell.window, message, wParam, lParam);
}
