#pragma once
// Top-level windows on SDL2 and the message queue that feeds their window procedures.
#include "platform/messages.h"

struct SDL_Window;
union SDL_Event;

namespace platform {

// Starts SDL's video (falling back to its dummy driver when there is no display); true when
// some driver is up. Every window and console calls it; it is cheap after the first time.
bool initVideo();
// True when nothing is shown to a person: SDL's dummy or offscreen driver.
bool headless();
// True on SDL's Wayland driver, where windows are placed and focused by the compositor alone
// and a window's surface is always a GL texture.
bool onWayland();

// The picture a window is made for: a window (VRK_WINDOWED set in the environment) opens at
// the largest whole multiple of it that fits the desktop's usable area, frame included.
inline constexpr int WINDOW_PICTURE_WIDTH = 640, WINDOW_PICTURE_HEIGHT = 400;

// Creates a window titled title, full screen on the desktop (windowed when the environment sets
// VRK_WINDOWED), calls proc with WM_CREATE before returning. iconName, when set,
// names a raw-data resource holding a TGA picture for the window icon. Null on failure.
Window* createWindow(const char* title, WindowProc proc, const char* iconName);
// Shows the window and sends it WM_SIZE and WM_PAINT, as a shown window gets.
void showWindow(Window* window);
void setWindowTitle(Window* window, const char* title);
// Gives a window that another one covered (and the window manager may have iconified) the screen
// and the keyboard again: restored, raised, activated, repainted.
void bringToFront(Window* window);
void destroyWindow(Window* window);
SDL_Window* sdlWindow(Window* window);

// The size of the picture the window presents (the console's resolution). Mouse messages carry
// coordinates in that picture, whatever size the window has.
void setWindowPicture(Window* window, int width, int height);

// Takes the next message: posted ones first, then translated SDL events. False when none waits.
bool peekMessage(Message& out);
std::intptr_t dispatchMessage(const Message& msg);
void postMessage(Window* window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
void postQuitMessage(int exitCode);
std::intptr_t defWindowProc(Window* window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam);

// How many times picW x picH fits, with a frame of frameW x frameH around it, in a usable area
// of usableW x usableH: the largest whole multiple, at least 1.
int windowedScale(int usableW, int usableH, int frameW, int frameH, int picW, int picH);

// Where a picture of picW x picH lands in an output of outW x outH: as large as fits, aspect
// kept, centred.
struct Viewport {
    int x, y, w, h;
};
Viewport fitPicture(int outW, int outH, int picW, int picH);

// Turns one SDL event into a message for one of our windows; false when it means nothing to
// them (or is Alt+Enter, which toggles full screen here and goes no further).
bool translateEvent(const SDL_Event& event, Message& out);

} // namespace platform

namespace platform {
// Called when the window's contents were lost (exposed, resized, full screen toggled); the
// console that shows pictures in the window sets it to show its last picture again.
void setWindowRepaint(Window* window, void (*repaint)(void*), void* context);
// Paints the window black outside its picture and shows its last picture again.
void paintWindow(Window* window);
} // namespace platform
