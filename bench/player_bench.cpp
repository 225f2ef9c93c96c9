// One whole menu frame of drawing at 640 x 400 (everything but the wait for the frame's
// deadline), headless, with the collection's own pictures, fonts and aurora.
#include "data/archive.h"
#include "platform/clock.h"
#include "player/menu.h"
#include "player/screens.h"
#include "player/shell.h"
#include "player/startup.h"
#include "player/window_proc.h"
#include "visuals/aurora.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {
// Frames never wait: the deadline is reached the moment it is asked for.
struct NoWait : platform::ClockSource {
    std::uint32_t t = 0;
    std::uint32_t now() override { return t; }
    void waitUntil(std::uint32_t d) override { t = d; }
    void sleep(std::uint32_t ms) override { t += ms; }
};

void BM_MenuFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("VRK_WINDOWED", "1", 1);
    NoWait clock;
    platform::setClockSource(&clock);
    DataArchive archive(VRK_BINARY_DIR "/vrk.bin");
    if (!archive.isOpen()) {
        state.SkipWithError("build vrk.bin first");
        return;
    }
    shell.window = platform::createWindow("Tinselwave", player_window_proc, nullptr);
    shell.console = ptc_console_create();
    shell.format = ptc_format_create_direct(32, 0xff0000, 0xff00, 0xff, 0);
    ptc_console_open_window_resolution(shell.console, shell.window, 640, 400, shell.format, 2);
    shell.workSurface = ptc_surface_create(640, 400, shell.format);
    create_pictures(archive);
    screens.state = SCREEN_MENU;
    menu.firstFrame = 0; // no tune: this measures drawing only
    menu.meterOn = 1;    // the meter line is drawn and copied too
    for (auto _ : state) menu_frame(shell.console, shell.workSurface);
    visuals::releaseAurora();
    release_pictures();
    ptc_surface_destroy(shell.workSurface);
    ptc_format_destroy(shell.format);
    ptc_console_destroy(shell.console);
    platform::destroyWindow(shell.window);
    platform::setClockSource(nullptr);
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
} // namespace
