#include "platform/message_box.h"

#include "platform/window.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
bool displayAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver &&
        (SDL_strcasecmp(driver, "dummy") == 0 || SDL_strcasecmp(driver, "offscreen") == 0))
        return false;
    if (SDL_WasInit(SDL_INIT_VIDEO) && headless()) return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}
} // namespace

void messageBox(const char* text, const char* caption, unsigned flags) {
    // Always leave a trace on stderr: it is the only place a headless run can show it.
    std::fprintf(stderr, "%s%s%s\n", caption && *caption ? caption : "",
                 caption && *caption ? ": " : "", text ? text : "");
    if (!displayAvailable()) return;
    Uint32 icon = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == MB_ICONERROR)
        icon = SDL_MESSAGEBOX_ERROR;
    else if ((flags & 0xF0) == MB_ICONEXCLAMATION)
        icon = SDL_MESSAGEBOX_WARNING;
    SDL_ShowSimpleMessageBox(icon, caption ? caption : "", text ? text : "", nullptr);
}

} // namespace platform
