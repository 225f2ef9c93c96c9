// The screens from the black pause to quit and the main loop that steps through them. Reads
// and writes the screens' state (screens), reads the shell's console and pictures, and hands
// the menu screen to menu_frame.
#include "player/screens.h"

#include "audio/music.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "player/desktop_link.h"
#include "player/menu.h"
#include "player/own_disk.h"
#include "player/shell.h"
#include "visuals/surface_fades.h"

#include "player/menu_table.h"

Screens screens;

void reset_screens() {
    screens = Screens{};
}

namespace {

void show_work_surface(std::uint32_t deadline) {
    ptc_surface_copy(shell.workSurface, shell.console);
    ptc_console_update(shell.console);
    platform::waitUntil(deadline);
}

void black_pause(std::uint32_t deadline) {
    if (--screens.blackCounter == 0) {
        screens.state = SCREEN_FADE_IN;
        return;
    }
    PtcColor black{0, 0, 0};
    ptc_surface_clear_color(shell.workSurface, &black);
    show_work_surface(deadline);
}

void main_fade_in(std::uint32_t deadline) {
    if (--screens.fadeInCounter == 0) {
        ptc_surface_copy(shell.pictures.mainPicture, shell.workSurface);
        copy_at(shell.pictures.exitLabel, shell.workSurface, EXIT_LABEL_X, EXIT_LABEL_Y);
        present_all_pages();
        screens.state = SCREEN_MENU;
        return;
    }
    visuals::fadeSurfaceFrom(shell.pictures.mainPicture, shell.workSurface,
                             screens.fadeInCounter * 8);
    show_work_surface(deadline);
}

void menu_fade_out(std::uint32_t deadline) {
    if (--screens.menuFadeOutCounter == 0) {
        screens.state = SCREEN_END_FADE_IN;
        start_tune(menu_table().endTune); // a missing end tune leaves the end pictures silent
        return;
    }
    visuals::fadeSurfaceInPlace(shell.workSurface);
    show_work_surface(deadline);
}

void end_fade_in(std::uint32_t deadline) {
    if (--screens.endFadeInCounter == 0) {
        screens.state = SCREEN_END;
        screens.endPictureTime = platform::timeGetTime();
        return;
    }
    PtcSurface* picture =
        screens.endFadeInSelector ? shell.pictures.endPicture1 : shell.pictures.endPicture2;
    visuals::fadeSurfaceFrom(picture, shell.workSurface, screens.endFadeInCounter * 8);
    if (screens.endFadeInAlternation == 0) {
        screens.endFadeInAlternation = 7;
        screens.endFadeInSelector ^= 1;
    } else {
        --screens.endFadeInAlternation;
    }
    show_work_surface(deadline);
}

void end_picture(std::uint32_t deadline) {
    if (platform::timeGetTime() - screens.endPictureTime > 6000 || screens.quitRequested)
        screens.endLeaveRequest = 1;
    if (screens.endLeaveRequest) {
        if (screens.endLeaveCountdown == 100)
            platform::startThread(music_fade_out_thread, &screens.endFadeOutDone, 8000);
        if (screens.endLeaveCountdown == 0) {
            if (screens.endFadeOutDone.load() == 0) {
                screens.state = SCREEN_END_FADE_OUT;
                ptc_console_copy(shell.console, shell.workSurface);
                return;
            }
        } else {
            --screens.endLeaveCountdown;
        }
    }
    ptc_surface_copy(screens.endSelector ? shell.pictures.endPicture1 : shell.pictures.endPicture2,
                     shell.console);
    if (screens.endAlternation == 0) {
        screens.endAlternation = 7;
        screens.endSelector ^= 1;
    } else {
        --screens.endAlternation;
    }
    ptc_console_update(shell.console);
    platform::waitUntil(deadline);
}

void end_fade_out(std::uint32_t deadline) {
    if (--screens.endFadeOutCounter == 0) {
        screens.state = SCREEN_QUIT;
        return;
    }
    visuals::fadeSurfaceInPlace(shell.workSurface);
    show_work_surface(deadline);
}

} // namespace

void screen_frame() {
    own_disk_step();
    desktop_link_step();
    const std::uint32_t deadline = platform::timeGetTime() + FRAME_MS;
    switch (screens.state) {
    case SCREEN_BLACK:
        black_pause(deadline);
        break;
    case SCREEN_FADE_IN:
        main_fade_in(deadline);
        break;
    case SCREEN_MENU:
        if (menu_frame(shell.console, shell.workSurface)) screens.state = SCREEN_MENU_FADE_OUT;
        break;
    case SCREEN_MENU_FADE_OUT:
        menu_fade_out(deadline);
        break;
    case SCREEN_END_FADE_IN:
        end_fade_in(deadline);
        break;
    case SCREEN_END:
        end_picture(deadline);
        break;
    case SCREEN_END_FADE_OUT:
        end_fade_out(deadline);
        break;
    case SCREEN_QUIT:
        // Posted on every idle pass until the quit message arrives.
        platform::postMessage(shell.window, platform::WM_DESTROY, 0, 0);
        break;
    default:
        break;
    }
}

void run_main_loop() {
    platform::Message msg;
    for (;;) {
        if (platform::peekMessage(msg)) {
            if (msg.message == platform::WM_QUIT) return;
            platform::dispatchMessage(msg);
            continue;
        }
        screen_frame();
    }
}
