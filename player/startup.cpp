// From process start to exit: the command line, the refusals, the user's disk, the window,
// the intro, the console and pictures, the main loop and the release. Fills the shell and
// starts the menu, the scroller and the desktop's link.
#include "player/startup.h"

#include "audio/music.h"
#include "data/archive.h"
#include "data/packed_picture.h"
#include "data/tga.h"
#include "export/export.h"
#include "intro/export.h"
#include "platform/clock.h"
#include "platform/cpu.h"
#include "platform/message_box.h"
#include "platform/screensaver.h"
#include "platform/window.h"
#include "player/command_line.h"
#include "player/desktop_link.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/own_disk.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"
#include "player/window_proc.h"
#include "visuals/aurora.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* MAIN_PICTURE = "tex\\main.pak";
constexpr unsigned MAIN_PICTURE_BYTES = 768539;
constexpr const char* END_PICTURE_1 = "tex\\endpfr1.pak";
constexpr const char* END_PICTURE_2 = "tex\\endpfr2.pak";
constexpr unsigned END_PICTURE_BYTES = 768044;
// The packed sizes the pictures had when the disk was first made; the loader reads the real
// length from the data file's directory instead.
constexpr unsigned MAIN_PICTURE_HINT = 322537, END_PICTURE_1_HINT = 37641,
                   END_PICTURE_2_HINT = 38902;

const char* const tgaEntries[] = {"tex\\lp1.tga",      "tex\\lp2.tga",      "tex\\exit.tga",
                                  "tex\\scrollft.tga", "tex\\menufont.tga", "tex\\elfmask.tga"};

PtcSurface* create(int width, int height) {
    return ptc_surface_create(width, height, shell.format);
}

PtcSurface* load_packed(DataArchive& archive, const char* entry, unsigned hint, unsigned bytes) {
    PtcSurface* s = create(640, 400);
    if (!loadPackedPicture(archive, s, entry, hint, bytes)) {
        ptc_surface_destroy(s);
        throw ptc_error_create("error loading image!");
    }
    return s;
}

PtcSurface* load_tga(DataArchive& archive, const char* entry) {
    int w = 0, h = 0;
    if (!readTgaSize(archive, entry, &w, &h) || w <= 0 || h <= 0)
        throw ptc_error_create("error loading image!");
    PtcSurface* s = create(w, h);
    if (!loadTgaIntoSurface(archive, s, entry)) {
        ptc_surface_destroy(s);
        throw ptc_error_create("error loading image!");
    }
    return s;
}

PtcSurface* copy_of_area(const PtcSurface* source, const PtcArea& area) {
    PtcSurface* s = create(area.width(), area.height());
    PtcArea to{0, 0, area.width(), area.height()};
    ptc_surface_copy_area(source, s, &area, &to);
    return s;
}

void release_shell_console() {
    ptc_surface_destroy(shell.workSurface);
    shell.workSurface = nullptr;
    ptc_format_destroy(shell.format);
    shell.format = nullptr;
    ptc_console_destroy(shell.console);
    shell.console = nullptr;
}

} // namespace

void create_pictures(DataArchive& archive) {
    ShellPictures& p = shell.pictures;
    p.mainPicture = load_packed(archive, MAIN_PICTURE, MAIN_PICTURE_HINT, MAIN_PICTURE_BYTES);
    p.indicatorOn = load_tga(archive, tgaEntries[0]);
    p.indicatorOff = load_tga(archive, tgaEntries[1]);
    p.exitLabel = load_tga(archive, tgaEntries[2]);
    shell.pageCount = ptc_console_pages(shell.console);
    menu.indicatorRedraw = shell.pageCount;
    menu.meterRedraw = shell.pageCount;
    ptc_surface_copy(p.mainPicture, shell.workSurface);
    copy_at(p.exitLabel, shell.workSurface, EXIT_LABEL_X, EXIT_LABEL_Y);
    p.scrollFont = load_tga(archive, tgaEntries[3]);
    p.scrollLine = create(LINE_WIDTH, BAND_HEIGHT);
    PtcColor key{1.0f, 0.0f, 1.0f};
    ptc_surface_clear_color(p.scrollLine, &key);
    p.scrollBand = create(BAND_WIDTH, BAND_HEIGHT);
    p.bandBackground = copy_of_area(p.mainPicture, scrollerArea);
    scroller_setup();
    p.meterLine = create(640, 1);
    p.menuFont = load_tga(archive, tgaEntries[4]);
    p.menuFontCopy = create(p.menuFont->width, p.menuFont->height);
    ptc_surface_copy(p.menuFont, p.menuFontCopy);
    p.menuList = create(MENU_LIST_WIDTH, MENU_STRIP_HEIGHT);
    p.menuWindow = create(menuArea.width(), menuArea.height());
    p.menuBackground = copy_of_area(p.mainPicture, menuArea);
    menu_list_prerender();
    p.elfMask = load_tga(archive, tgaEntries[5]);
    p.auroraBackground = copy_of_area(p.mainPicture, auroraArea);
    p.auroraWork = create(auroraArea.width(), auroraArea.height());
    ptc_surface_copy(p.auroraBackground, p.auroraWork);
    ptc_surface_lock(p.auroraBackground);
    visuals::setupAurora();
    ptc_surface_unlock(p.auroraBackground);
    p.endPicture1 = load_packed(archive, END_PICTURE_1, END_PICTURE_1_HINT, END_PICTURE_BYTES);
    p.endPicture2 = load_packed(archive, END_PICTURE_2, END_PICTURE_2_HINT, END_PICTURE_BYTES);
}

void release_pictures() {
    ShellPictures& p = shell.pictures;
    PtcSurface** order[] = {
        &p.mainPicture, &p.indicatorOn, &p.indicatorOff,   &p.exitLabel,  &p.scrollFont,
        &p.scrollLine,  &p.scrollBand,  &p.bandBackground, &p.menuFont,   &p.menuFontCopy,
        &p.menuList,    &p.menuWindow,  &p.menuBackground, &p.meterLine,  &p.auroraBackground,
        &p.auroraWork,  &p.elfMask,     &p.endPicture1,    &p.endPicture2};
    for (PtcSurface** s : order) {
        ptc_surface_destroy(*s);
        *s = nullptr;
    }
}

namespace {

// The command line's own answers (help, version, a mistake), or -1 to go on and play.
int answer_command_line(const CommandLine& c) {
    if (!c.error.empty()) {
        std::fprintf(stderr, "tinselwave: %s\nTry 'tinselwave --help' for more.\n",
                     c.error.c_str());
        return 2;
    }
    if (c.help) {
        std::fputs(usage_text(), stdout);
        return 0;
    }
    if (c.version) {
        std::printf("tinselwave %s\n", VRK_VERSION);
        return 0;
    }
    if (c.list) return own_disk_list(c.paths);
    if (!c.exportFolder.empty())
        return exporter::exportDisk(
            {c.exportFolder, c.paths, c.force, own_disk_start_folder(), VRK_VERSION}, menu_table(),
            dataArchive);
    return -1;
}

} // namespace

int run_player(int argc, const char* const* argv) {
    const CommandLine command = parse_command_line(argc, argv);
    if (const int status = answer_command_line(command); status >= 0) return status;
    std::srand(platform::timeGetTime());
    if (!dataArchive.isOpen()) {
        platform::messageBox("I need data file 'VRK.BIN' to run!", "Tinselwave",
                             platform::MB_ICONEXCLAMATION);
        return 1;
    }
    if (!platform::cpuHasMmx()) {
        platform::messageBox("I need MMX processor to run properly!", "Tinselwave",
                             platform::MB_ICONEXCLAMATION);
        return 1;
    }
    if (!command.paths.empty())
        if (const int status = own_disk_open(command.paths); status != 0) return status;
    try {
        shell.window = create_player_window();
        platform::setWindowTitle(shell.window, "Tinselwave");
        if (!command.noIntro) StartVrkIntro(const_cast<char*>("Cze huje!"));
        // The intro's own window covered ours: take the screen and the keyboard back.
        platform::bringToFront(shell.window);
        desktop_link_start();
        shell.console = ptc_console_create();
        ptc_console_option(shell.console, "DirectX");
        ptc_console_option(shell.console, "fullscreen output");
        shell.format = ptc_format_create_direct(32, 0xff0000, 0xff00, 0xff, 0);
        ptc_console_option(shell.console, "disable key buffering");
        ptc_console_open_window_resolution(shell.console, shell.window, 640, 400, shell.format, 2);
        shell.workSurface = ptc_surface_create(640, 400, shell.format);
        music_set_window(shell.window);
        create_pictures(dataArchive);
        run_main_loop();
        release_shell_console();
    } catch (const PtcError& error) {
        ptc_error_report(error);
        release_shell_console();
        // The destroy handler never ran on this path: release the audio and give the screen
        // saver back here.
        music_free();
        if (savedScreenSaverState == 1) platform::setScreenSaverActive(true);
        savedScreenSaverState = 0;
    }
    desktop_link_stop();
    visuals::releaseAurora();
    release_pictures();
    own_disk_close();
    return 0;
}
