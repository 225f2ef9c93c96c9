#include "platform/window.h"

#include "platform/resources.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <vector>

namespace platform {

struct Window {
    SDL_Window* sdl = nullptr;
    WindowProc proc = nullptr;
    int pictureWidth = 0, pictureHeight = 0;
    void (*repaint)(void*) = nullptr;
    void* repaintContext = nullptr;
    int windowedW = 0, windowedH = 0; // the size to come back to from full screen
    bool showWhenPainted = false;     // shown, but on Wayland mapped with its first picture
};

namespace {
std::vector<Window*> openWindows;
std::deque<Message> postedMessages;

Window* windowFromId(Uint32 id) {
    SDL_Window* sdl = SDL_GetWindowFromID(id);
    for (Window* w : openWindows)
        if (w->sdl == sdl) return w;
    return nullptr;
}

Window* windowWithFocus(Uint32 id) {
    if (Window* w = windowFromId(id)) return w;
    return openWindows.empty() ? nullptr : openWindows.front();
}

std::uint32_t virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 0x41 + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return 0x30 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_AUDIOPLAY:
        return VK_MEDIA_PLAY_PAUSE;
    case SDLK_AUDIONEXT:
        return VK_MEDIA_NEXT_TRACK;
    case SDLK_AUDIOPREV:
        return VK_MEDIA_PREV_TRACK;
    case SDLK_AUDIOSTOP:
        return VK_MEDIA_STOP;
    default:
        return 0;
    }
}

// Window coordinates (points) to the window's picture, through the same fit the console uses.
void toPicture(Window* w, int x, int y, int& px, int& py) {
    int ptW = 0, ptH = 0, pxW = 0, pxH = 0;
    SDL_GetWindowSize(w->sdl, &ptW, &ptH);
    SDL_GetWindowSizeInPixels(w->sdl, &pxW, &pxH);
    int picW = w->pictureWidth > 0 ? w->pictureWidth : pxW;
    int picH = w->pictureHeight > 0 ? w->pictureHeight : pxH;
    if (ptW <= 0 || ptH <= 0 || picW <= 0 || picH <= 0) {
        px = x;
        py = y;
        return;
    }
    Viewport vp = fitPicture(pxW, pxH, picW, picH);
    long long sx = static_cast<long long>(x) * pxW / ptW - vp.x;
    long long sy = static_cast<long long>(y) * pxH / ptH - vp.y;
    // Map pixel centres, so the last row of the window's picture is the picture's last row.
    px = static_cast<int>(
        std::clamp<long long>((2 * sx + 1) * picW / (2LL * std::max(vp.w, 1)), 0, picW - 1));
    py = static_cast<int>(
        std::clamp<long long>((2 * sy + 1) * picH / (2LL * std::max(vp.h, 1)), 0, picH - 1));
}

// The frame the window manager puts around a window. It comes a moment after the window is
// shown, so a shown window waits for it briefly (on a real display only; 0 when there is none).
void frameSize(SDL_Window* sdl, bool wait, int& frameW, int& frameH) {
    frameW = frameH = 0;
    for (int attempt = 0; sdl && attempt < 25; ++attempt) {
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(sdl, &top, &left, &bottom, &right) != 0) return;
        if (top || left || bottom || right) {
            frameW = left + right;
            frameH = top + bottom;
            return;
        }
        if (!wait || headless()) return;
        SDL_PumpEvents();
        SDL_Delay(8);
    }
}

// The largest whole multiple of the picture that fits the desktop's usable area with the
// window's frame around it.
void fittedSize(SDL_Window* sdl, bool waitForFrame, int& width, int& height) {
    SDL_Rect usable{0, 0, WINDOW_PICTURE_WIDTH, WINDOW_PICTURE_HEIGHT};
    int display = sdl ? SDL_GetWindowDisplayIndex(sdl) : 0;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0)
        SDL_GetDisplayBounds(0, &usable);
    int frameW = 0, frameH = 0;
    frameSize(sdl, waitForFrame, frameW, frameH);
    const int k = windowedScale(usable.w, usable.h, frameW, frameH, WINDOW_PICTURE_WIDTH,
                                WINDOW_PICTURE_HEIGHT);
    width = k * WINDOW_PICTURE_WIDTH;
    height = k * WINDOW_PICTURE_HEIGHT;
}

void toggleFullscreen(Window* w) {
    Uint32 flags = SDL_GetWindowFlags(w->sdl);
    bool full = flags & SDL_WINDOW_FULLSCREEN;
    if (!full) SDL_GetWindowSize(w->sdl, &w->windowedW, &w->windowedH);
    SDL_SetWindowFullscreen(w->sdl, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (full) {
        // Back at the size the user had; a window that started full screen gets the fitted one.
        int width = w->windowedW, height = w->windowedH;
        if (width <= 0 || height <= 0) fittedSize(w->sdl, false, width, height);
        SDL_SetWindowSize(w->sdl, width, height);
        SDL_SetWindowPosition(w->sdl, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    if (w->repaint) w->repaint(w->repaintContext);
}

void setIcon(Window* w, const char* iconName) {
    // The icon resource holds 32 x 32 pixels, 0xAARRGGBB each.
    ResourceHandle h = iconName ? findResource(iconName, "RT_GROUP_ICON") : nullptr;
    if (!h || sizeofResource(h) != 32 * 32 * 4) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<unsigned char*>(lockResource(h)), 32, 32, 32, 32 * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(w->sdl, icon);
    SDL_FreeSurface(icon);
}
} // namespace

bool initVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Ctrl+C in a terminal should end the program as usual, not turn into a close request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

bool headless() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return !driver || SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "offscreen") == 0;
}

bool onWayland() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && SDL_strcmp(driver, "wayland") == 0;
}

Window* createWindow(const char* title, WindowProc proc, const char* iconName) {
    if (!initVideo()) return nullptr;
    bool windowed = std::getenv("VRK_WINDOWED") != nullptr;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
    int width = WINDOW_PICTURE_WIDTH, height = WINDOW_PICTURE_HEIGHT;
    if (windowed) fittedSize(nullptr, false, width, height); // the frame comes when shown
    SDL_DisplayMode mode;
    if (!windowed && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        width = mode.w;
        height = mode.h;
    }
    SDL_Window* sdl = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                       height, flags);
    if (!sdl) return nullptr;
    auto* w = new Window{sdl, proc};
    openWindows.push_back(w);
    setIcon(w, iconName);
    if (proc) proc(w, WM_CREATE, 0, 0);
    return w;
}

namespace {
void reveal(Window* w) {
    const bool mapping = SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_HIDDEN;
    SDL_ShowWindow(w->sdl);
    if (onWayland()) {
        // The compositor places, sizes and focuses a window it maps, and tells nobody of its
        // frame. An activation asked for now is answered later, and if the window has gone by
        // then (a display that could not be opened closes it at once) SDL still sends it, for
        // a surface without its toplevel: sway 1.7 dies of that. A window already shown is
        // asked to come forward as everywhere.
        if (!mapping) SDL_RaiseWindow(w->sdl);
        return;
    }
    SDL_RaiseWindow(w->sdl);
    if (!(SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_FULLSCREEN)) {
        // Now that the window has its frame, make sure frame and all fit the desktop.
        int width = 0, height = 0, nowW = 0, nowH = 0;
        fittedSize(w->sdl, true, width, height);
        SDL_GetWindowSize(w->sdl, &nowW, &nowH);
        if (width != nowW || height != nowH) {
            SDL_SetWindowSize(w->sdl, width, height);
            SDL_SetWindowPosition(w->sdl, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    }
}
} // namespace

void showWindow(Window* w) {
    if (!w) return;
    // A Wayland window appears with its first picture, not before. Until then the compositor
    // cannot make it full screen and answers the request with a windowed configure, which SDL
    // 2.26 takes for the end of full screen, so that a window shown long before it is painted
    // (the player's, behind the intro) would come up at its windowed size inside a full-screen
    // frame. So it is mapped when something paints it: the console that shows in it.
    if (onWayland() && !w->repaint && (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_HIDDEN))
        w->showWhenPainted = true;
    else
        reveal(w);
    int pw = 0, ph = 0;
    SDL_GetWindowSizeInPixels(w->sdl, &pw, &ph);
    postMessage(w, WM_SIZE, SIZE_RESTORED, makeLParam(pw, ph));
    postMessage(w, WM_PAINT, 0, 0);
}

void bringToFront(Window* w) {
    if (!w) return;
    // Restoring a window that is not minimized would take it through the window manager's
    // un-maximize, a needless flicker; SDL learns of the minimizing from the pending events.
    SDL_PumpEvents();
    if (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(w->sdl);
    showWindow(w);
    // A window manager that guards against focus stealing may refuse the activation request of
    // a window the user last touched long ago; the keyboard belongs here now all the same.
    SDL_SetWindowInputFocus(w->sdl);
}

void setWindowTitle(Window* w, const char* title) {
    if (w) SDL_SetWindowTitle(w->sdl, title);
}

void destroyWindow(Window* w) {
    if (!w) return;
    openWindows.erase(std::remove(openWindows.begin(), openWindows.end(), w), openWindows.end());
    std::erase_if(postedMessages, [w](const Message& m) { return m.window == w; });
    SDL_DestroyWindow(w->sdl);
    delete w;
}

SDL_Window* sdlWindow(Window* w) {
    return w ? w->sdl : nullptr;
}

void setWindowPicture(Window* w, int width, int height) {
    if (!w) return;
    w->pictureWidth = width;
    w->pictureHeight = height;
}

void setWindowRepaint(Window* w, void (*repaint)(void*), void* context) {
    if (!w) return;
    w->repaint = repaint;
    w->repaintContext = context;
    if (repaint && w->showWhenPainted) {
        w->showWhenPainted = false;
        reveal(w);
    }
}

void paintWindow(Window* w) {
    if (w && w->repaint) w->repaint(w->repaintContext);
}

int windowedScale(int usableW, int usableH, int frameW, int frameH, int picW, int picH) {
    if (picW <= 0 || picH <= 0) return 1;
    int k = 1;
    while (static_cast<long long>(picW) * (k + 1) + frameW <= usableW &&
           static_cast<long long>(picH) * (k + 1) + frameH <= usableH)
        ++k;
    return k;
}

Viewport fitPicture(int outW, int outH, int picW, int picH) {
    if (outW <= 0 || outH <= 0 || picW <= 0 || picH <= 0) return {0, 0, outW, outH};
    // Scale by the smaller ratio; compare in integers to stay exact.
    int w = outW, h = outH;
    if (static_cast<long long>(outW) * picH > static_cast<long long>(outH) * picW)
        w = static_cast<int>(static_cast<long long>(outH) * picW / picH);
    else
        h = static_cast<int>(static_cast<long long>(outW) * picH / picW);
    return {(outW - w) / 2, (outH - h) / 2, w, h};
}

namespace {

// Each of these fills `out` from one kind of SDL event; false when the event means nothing to a
// window procedure.
bool windowEventMessage(const SDL_WindowEvent& e, Message& out) {
    Window* w = windowFromId(e.windowID);
    if (!w) return false;
    out.window = w;
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE:
        out.message = WM_CLOSE;
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
        out.message = WM_PAINT;
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        out.message = WM_SIZE;
        out.wParam = SIZE_MINIMIZED;
        return true;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        int pw = 0, ph = 0;
        SDL_GetWindowSizeInPixels(w->sdl, &pw, &ph);
        out.message = WM_SIZE;
        out.wParam = e.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED;
        out.lParam = makeLParam(pw, ph);
        if (w->repaint) w->repaint(w->repaintContext);
        return true;
    }
    default:
        return false;
    }
}

bool keyMessage(const SDL_KeyboardEvent& e, Message& out) {
    Window* w = windowWithFocus(e.windowID);
    if (!w) return false;
    SDL_Keycode key = e.keysym.sym;
    if ((key == SDLK_RETURN || key == SDLK_KP_ENTER) && (e.keysym.mod & KMOD_ALT)) {
        if (!e.repeat) toggleFullscreen(w);
        return false;
    }
    std::uint32_t vk = virtualKey(key);
    if (!vk) return false;
    out.window = w;
    out.message = WM_KEYDOWN;
    out.wParam = vk;
    // Repeat count 1; bit 30 says the key was already down.
    out.lParam = 1 | (e.repeat ? (1 << 30) : 0);
    return true;
}

bool mouseMoveMessage(const SDL_MouseMotionEvent& e, Message& out) {
    Window* w = windowFromId(e.windowID);
    if (!w) return false;
    int px, py;
    toPicture(w, e.x, e.y, px, py);
    out.window = w;
    out.message = WM_MOUSEMOVE;
    out.lParam = makeLParam(px, py);
    return true;
}

bool mouseButtonMessage(const SDL_MouseButtonEvent& e, Message& out) {
    Window* w = windowFromId(e.windowID);
    if (!w) return false;
    if (e.button != SDL_BUTTON_LEFT && e.button != SDL_BUTTON_RIGHT) return false;
    int px, py;
    toPicture(w, e.x, e.y, px, py);
    out.window = w;
    out.message = e.button == SDL_BUTTON_LEFT ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    out.lParam = makeLParam(px, py);
    return true;
}

bool wheelMessage(const SDL_MouseWheelEvent& e, Message& out) {
    Window* w = windowFromId(e.windowID);
    if (!w || e.y == 0) return false;
    // Positive: turned away from the user. The high word carries it in steps of
    // WHEEL_DELTA per notch.
    int notches = e.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.y : e.y;
    notches = std::clamp(notches, -200, 200);
    out.window = w;
    out.message = WM_MOUSEWHEEL;
    out.wParam = static_cast<std::uint32_t>(static_cast<std::uint16_t>(
                     static_cast<std::int16_t>(notches * static_cast<int>(WHEEL_DELTA))))
                 << 16;
    return true;
}

} // namespace

bool translateEvent(const SDL_Event& e, Message& out) {
    out = Message{};
    switch (e.type) {
    case SDL_WINDOWEVENT:
        return windowEventMessage(e.window, out);
    case SDL_QUIT:
        // The desktop asks the program to end (last window closed, session ending): the same
        // request as the close button.
        if (openWindows.empty()) return false;
        out.window = openWindows.front();
        out.message = WM_CLOSE;
        return true;
    case SDL_KEYDOWN:
        return keyMessage(e.key, out);
    case SDL_MOUSEMOTION:
        return mouseMoveMessage(e.motion, out);
    case SDL_MOUSEBUTTONDOWN:
        return mouseButtonMessage(e.button, out);
    case SDL_MOUSEWHEEL:
        return wheelMessage(e.wheel, out);
    default:
        return false;
    }
}

bool peekMessage(Message& out) {
    if (!postedMessages.empty()) {
        out = postedMessages.front();
        postedMessages.pop_front();
        return true;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (translateEvent(e, out)) return true;
    return false;
}

std::intptr_t dispatchMessage(const Message& msg) {
    if (!msg.window || !msg.window->proc) return 0;
    return msg.window->proc(msg.window, msg.message, msg.wParam, msg.lParam);
}

void postMessage(Window* w, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    postedMessages.push_back({w, message, wParam, lParam});
}

void postQuitMessage(int exitCode) {
    postedMessages.push_back({nullptr, WM_QUIT, static_cast<std::uintptr_t>(exitCode), 0});
}

std::intptr_t defWindowProc(Window* w, std::uint32_t message, std::uintptr_t, std::intptr_t) {
    if (message == WM_PAINT || message == WM_NCPAINT) paintWindow(w);
    return 0;
}

} // namespace platform
