#include "platform/screensaver.h"

#include "platform/window.h"

#include <SDL.h>

namespace platform {

bool screenSaverActive() {
    initVideo();
    return SDL_IsScreenSaverEnabled() == SDL_TRUE;
}

void setScreenSaverActive(bool active) {
    initVideo();
    if (active)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

} // namespace platform
