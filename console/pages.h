#pragma once
// The console's drawing page, for the surface operations that write onto the console.
#include "console/console.h"

namespace console {

struct Page {
    std::uint32_t* pixels;
    int width, height;
};

// The page the next update shows; raises when the console is not open.
Page drawingPage(PtcConsole* console);
// Converts sourceArea of a surface onto targetArea of a page (scaling as area copies do).
void loadPage(const Page& page, const PtcSurface* source, PtcArea sourceArea, PtcArea targetArea);

} // namespace console
