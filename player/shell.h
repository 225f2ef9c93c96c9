#pragma once
// What the player shell holds for its whole life: the window, the console, the work surface,
// every picture, and the screen rectangles.
#include "console/console.h"
#include "platform/window.h"

#include <cstdint>

// Every picture and work surface of the player, null until created (and again after release).
struct ShellPictures {
    PtcSurface* mainPicture = nullptr;
    PtcSurface* indicatorOn = nullptr;
    PtcSurface* indicatorOff = nullptr;
    PtcSurface* exitLabel = nullptr;
    PtcSurface* scrollFont = nullptr;
    PtcSurface* scrollLine = nullptr;
    PtcSurface* scrollBand = nullptr;
    PtcSurface* bandBackground = nullptr;
    PtcSurface* menuFont = nullptr;
    PtcSurface* menuFontCopy = nullptr;
    PtcSurface* menuList = nullptr;
    PtcSurface* menuWindow = nullptr;
    PtcSurface* menuBackground = nullptr;
    PtcSurface* meterLine = nullptr;
    PtcSurface* auroraBackground = nullptr;
    PtcSurface* auroraWork = nullptr;
    PtcSurface* elfMask = nullptr;
    PtcSurface* endPicture1 = nullptr;
    PtcSurface* endPicture2 = nullptr;
};

struct Shell {
    platform::Window* window = nullptr;
    PtcConsole* console = nullptr;
    PtcFormat* format = nullptr;
    PtcSurface* workSurface = nullptr;
    int pageCount = 0;
    ShellPictures pictures;
};

extern Shell shell;

// The screen rectangles (right and bottom exclusive).
extern const PtcArea scrollerArea; // 110,320 - 542,350: the scroll-text band
extern const PtcArea menuArea;     // 15,70 - 405,290: the tune menu window
extern const PtcArea meterArea;    // 0,370 - 639,371: the level-meter line, 639 wide
extern const PtcArea auroraArea;   // 420,50 - 620,250: the aurora panel
extern const PtcArea markerStrip;  // 375,0 - 389,14: the menu list's marker column

// The player's frames are 33 ms apart.
inline constexpr std::uint32_t FRAME_MS = 33;

// Where the exit label sits on the screen.
inline constexpr int EXIT_LABEL_X = 580, EXIT_LABEL_Y = 370;

// Copies the work surface to the console and shows it, once for every page.
void present_all_pages();

// Copies a whole surface onto a console or surface at (x, y), the same size.
void copy_at(const PtcSurface* source, PtcConsole* console, int x, int y);
void copy_at(const PtcSurface* source, PtcSurface* target, int x, int y);

// Locked pixel rows of a 32-bit surface.
inline std::uint32_t* surface_row(PtcSurface* s, int y) {
    return reinterpret_cast<std::uint32_t*>(s->pixels.data() +
                                            static_cast<std::size_t>(y) * s->pitch);
}
