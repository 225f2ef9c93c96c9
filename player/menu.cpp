// The menu screen, one frame at a time: the leave sequence and its blinking exit label, the
// random-play indicator and its picks, the level meter, then the scroll band, the tune list
// and the aurora copied to the console; and what choosing a row does. Reads and writes the
// menu's state (menu), reads the shell's pictures and the table the menu walks.
#include "player/menu.h"

#include "audio/music.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "player/menu_table.h"
#include "player/scroller.h"
#include "player/shell.h"
#include "player/tune_control.h"
#include "visuals/aurora.h"

Menu menu;

namespace {

// The leave countdown: 100 frames, the exit label blinking 10 frames on and 10 off.
constexpr int LEAVE_FRAMES = 100, EXIT_BLINK_FRAMES = 10;
// The audio threads' stack, as the music player's own are made.
constexpr unsigned FADE_THREAD_STACK = 8000;

// Hands a tune row's module to a switch; false when the row is no tune or its module is
// missing.
bool switch_to_row_tune(int index) {
    if (menu_row_kind(index) != ROW_TUNE || !menu_row(index).resource) return false;
    const bool accepted = !music_is_switching(); // else the request is dropped
    if (!start_tune(menu_row(index).resource)) return false;
    if (accepted) menu.tuneRow = index;
    return true;
}

// The leave sequence: the countdown with the fade-out running beside it, the blinking label.
// True once both are done and the console's picture is grabbed for the fade-out screen.
bool leave_step(PtcConsole* console, PtcSurface* workSurface) {
    if (menu.leaveCountdown == LEAVE_FRAMES)
        platform::startThread(music_fade_out_thread, &menu.fadeOutDone, FADE_THREAD_STACK);
    if (menu.leaveCountdown == 0) {
        if (menu.fadeOutDone.load() == 0) {
            menu.leaveRequest = 0;
            ptc_console_copy(console, workSurface);
            return true;
        }
    } else {
        --menu.leaveCountdown;
    }
    PtcSurface* label = shell.pictures.exitLabel;
    if (menu.exitBlink) {
        copy_at(label, console, EXIT_LABEL_X, EXIT_LABEL_Y);
    } else {
        PtcColor black{0, 0, 0};
        PtcArea a{EXIT_LABEL_X, EXIT_LABEL_Y, EXIT_LABEL_X + label->width,
                  EXIT_LABEL_Y + label->height};
        ptc_console_clear_color_area(console, &black, &a);
    }
    if (menu.leaveCountdown % EXIT_BLINK_FRAMES == 0) menu.exitBlink ^= 1;
    return false;
}

// The random-play indicator on every page after a toggle (a pick follows the last one) or a
// repaint (no pick), and random play's clock.
void indicator_step(PtcConsole* console) {
    PtcSurface* indicator =
        menu.randomPlay ? shell.pictures.indicatorOn : shell.pictures.indicatorOff;
    tune_keep_random_clock();
    if (menu.indicatorRedraw != 0) {
        --menu.indicatorRedraw;
        copy_at(indicator, console, 0, 0);
        if (menu.randomPlay && menu.indicatorRedraw == 0) random_play_start();
        return;
    }
    if (menu.indicatorRepaint != 0) {
        --menu.indicatorRepaint;
        copy_at(indicator, console, 0, 0);
    }
    if (menu.randomPlay && !menu.paused) random_play_tick();
}

// The meter line while it is on; once on every page after it was switched off, black.
void meter_step(PtcConsole* console) {
    if (menu.meterOn) {
        level_meter_draw();
        PtcArea line{0, 0, 640, 1};
        ptc_surface_copy_area(shell.pictures.meterLine, console, &line, &meterArea);
    } else if (menu.meterRedraw != 0) {
        --menu.meterRedraw;
        PtcColor black{0, 0, 0};
        ptc_console_clear_color_area(console, &black, &meterArea);
    }
}

// The three moving parts, each made afresh and copied to its place on the console.
void panels_step(PtcConsole* console) {
    scroller_step();
    PtcArea band{0, 0, BAND_WIDTH, BAND_HEIGHT};
    ptc_surface_copy_area(shell.pictures.scrollBand, console, &band, &scrollerArea);
    menu_list_step();
    PtcArea window{0, 0, MENU_LIST_WIDTH, MENU_WINDOW_HEIGHT};
    ptc_surface_copy_area(shell.pictures.menuWindow, console, &window, &menuArea);
    visuals::drawAuroraPanel(shell.pictures.auroraBackground, shell.pictures.auroraWork);
    PtcArea panel{0, 0, auroraArea.width(), auroraArea.height()};
    ptc_surface_copy_area(shell.pictures.auroraWork, console, &panel, &auroraArea);
}

} // namespace

void reset_menu() {
    menu = Menu{};
}

void play_row(int row) {
    if (!switch_to_row_tune(row)) return;
    menu.follow = 1;
    menu.playingRow = row;
}

void activate_selection() {
    switch (menu_row_kind(menu.selectedRow)) {
    case ROW_TUNE:
        switch_to_row_tune(menu.selectedRow);
        break;
    case ROW_SCROLLER:
        if (menu_row(menu.selectedRow).scrollText)
            scroller_set_text(menu_row(menu.selectedRow).scrollText);
        break;
    default:
        break;
    }
}

int random_play_index(int count, platform::RandomSource random) {
    if (count <= 1) return 0;
    // Every entry with the same chance: draws from the top of the range that would favour the
    // low entries are drawn again (a few per cent of them at most; the bound only guards
    // against a source that never yields a usable draw).
    const int span = RANDOM_RANGE - RANDOM_RANGE % count;
    int r = random() & (RANDOM_RANGE - 1);
    for (int tries = 0; r >= span && tries < 64; ++tries) r = random() & (RANDOM_RANGE - 1);
    return r % count;
}

void random_play_start() {
    menu.randomStart = platform::timeGetTime();
    const MenuTable& t = menu_table();
    const int row = t.playList[random_play_index(t.playListLength, platform::libraryRandom)];
    play_row(row);
    menu.randomDuration = menu_row(row).duration ? menu_row(row).duration : UNKNOWN_TUNE_MS;
}

void random_play_tick() {
    if (platform::timeGetTime() - menu.randomStart > menu.randomDuration) random_play_start();
}

bool menu_frame(PtcConsole* console, PtcSurface* workSurface) {
    const std::uint32_t deadline = platform::timeGetTime() + FRAME_MS;
    if (menu.firstFrame) {
        menu.firstFrame = 0;
        play_row(menu_table().firstTuneRow);
    }
    if (menu.leaveRequest && leave_step(console, workSurface)) return true;
    if (menu.windowRestored) {
        menu.windowRestored = 0;
        present_all_pages();
        // The repaint wiped the indicator and the meter line from every page: draw them on
        // each page again, without another random pick.
        menu.indicatorRepaint = shell.pageCount;
        if (!menu.meterOn) menu.meterRedraw = shell.pageCount;
    }
    indicator_step(console);
    meter_step(console);
    panels_step(console);
    ptc_console_update(console);
    platform::waitUntil(deadline);
    return false;
}
