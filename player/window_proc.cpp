// The player's window procedure, its only input path: keys, mouse and close requests become
// the menu's and the screens' flags and calls. Writes the menu, screens and scroller state and
// keeps the screen saver's state from creation to destruction.
#include "player/window_proc.h"

#include "audio/music.h"
#include "console/console.h"
#include "platform/screensaver.h"
#include "platform/window.h"
#include "player/menu.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"
#include "player/tune_control.h"

#include <thread>

using namespace platform;

std::int32_t savedScreenSaverState = 0;

namespace {
// Wheel amounts short of a whole notch (fine-grained wheels and touchpads), kept for the next.
int wheelRest = 0;

// The wheel scrolls the list as the arrow keys do: one notch, one key press.
void menu_wheel(std::uintptr_t wParam) {
    wheelRest += static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
    const int notches = wheelRest / WHEEL_DELTA;
    wheelRest -= notches * WHEEL_DELTA;
    menu.mouseY -= 2 * notches;
}

void menu_key(std::uint32_t key) {
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        activate_selection();
        break;
    case VK_ESCAPE:
    case 'E':
    case 'X':
        menu.leaveRequest = 1;
        break;
    case VK_LEFT:
        if (scroller.speed < 4) scroller.speed *= 2;
        break;
    case VK_RIGHT:
        if (scroller.speed > 1) scroller.speed /= 2;
        break;
    case VK_UP:
        menu.mouseY -= 2;
        break;
    case VK_DOWN:
        menu.mouseY += 2;
        break;
    case VK_PRIOR:
        menu.scrollBy -= MENU_PAGE;
        break;
    case VK_NEXT:
        menu.scrollBy += MENU_PAGE;
        break;
    case VK_HOME:
        menu.scrollBy = -menu_scroll_limit();
        break;
    case VK_END:
        menu.scrollBy = menu_scroll_limit();
        break;
    case 'L':
        menu.randomPlay ^= 1;
        menu.indicatorRedraw = shell.pageCount;
        break;
    case 'Q':
        menu.meterOn ^= 1;
        menu.meterRedraw = shell.pageCount;
        break;
    case 'P':
    case VK_MEDIA_PLAY_PAUSE:
        tune_toggle_pause();
        break;
    case VK_MEDIA_NEXT_TRACK:
        tune_step(1);
        break;
    case VK_MEDIA_PREV_TRACK:
        tune_step(-1);
        break;
    case VK_MEDIA_STOP:
        tune_stop();
        break;
    default:
        break;
    }
}

} // namespace

platform::Window* create_player_window() {
    platform::Window* w = createWindow("Tinselwave", player_window_proc, "TINSELWAVEICON");
    if (!w) throw ptc_error_create("could not create window");
    showWindow(w);
    return w;
}

std::intptr_t player_window_proc(platform::Window* window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
    case WM_CREATE:
        savedScreenSaverState = 0;
        savedScreenSaverState = screenSaverActive() ? 1 : 0;
        if (savedScreenSaverState == 1) setScreenSaverActive(false);
        menu.firstFrame = 1;
        return 0;
    case WM_DESTROY:
        while (music_is_switching()) std::this_thread::yield();
        music_free();
        if (savedScreenSaverState == 1) setScreenSaverActive(true);
        savedScreenSaverState = 0;
        postQuitMessage(0);
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) menu.windowRestored = 1;
        return 0;
    case WM_PAINT:
    case WM_NCPAINT:
        // Black around the picture; the console shows its last picture again.
        paintWindow(window);
        return 0;
    case WM_CLOSE:
        if (screens.state == SCREEN_MENU)
            menu.leaveRequest = 1;
        else if (screens.state == SCREEN_END)
            screens.endLeaveRequest = 1;
        return 0;
    case WM_KEYDOWN:
        if (screens.state == SCREEN_MENU) {
            menu_key(static_cast<std::uint32_t>(wParam));
        } else if (screens.state == SCREEN_END) {
            if (wParam == VK_ESCAPE || wParam == 'E' || wParam == 'X') screens.endLeaveRequest = 1;
        }
        return 0;
    case WM_MOUSEMOVE:
        menu.mouseY =
            static_cast<std::int32_t>((static_cast<std::uint32_t>(lParam) >> 16) & 0xFFFF);
        return 0;
    case WM_MOUSEWHEEL:
        if (screens.state == SCREEN_MENU) menu_wheel(wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (screens.state == SCREEN_MENU)
            activate_selection();
        else if (screens.state == SCREEN_END)
            screens.endLeaveRequest = 1;
        return 0;
    default:
        return defWindowProc(window, message, wParam, lParam);
    }
}
