// The shell's one record of window, console and pictures, the screen rectangles, and the
// copies every screen makes of whole pictures.
#include "player/shell.h"

Shell shell;

const PtcArea scrollerArea{110, 320, 542, 350};
const PtcArea menuArea{15, 70, 405, 290};
const PtcArea meterArea{0, 370, 639, 371};
const PtcArea auroraArea{420, 50, 620, 250};
const PtcArea markerStrip{375, 0, 389, 14};

void present_all_pages() {
    if (!shell.console || !shell.workSurface) return;
    for (int i = 0; i < shell.pageCount; ++i) {
        ptc_surface_copy(shell.workSurface, shell.console);
        ptc_console_update(shell.console);
    }
}

void copy_at(const PtcSurface* source, PtcConsole* console, int x, int y) {
    PtcArea from{0, 0, source->width, source->height};
    PtcArea to{x, y, x + source->width, y + source->height};
    ptc_surface_copy_area(source, console, &from, &to);
}

void copy_at(const PtcSurface* source, PtcSurface* target, int x, int y) {
    PtcArea from{0, 0, source->width, source->height};
    PtcArea to{x, y, x + source->width, y + source->height};
    ptc_surface_copy_area(source, target, &from, &to);
}
