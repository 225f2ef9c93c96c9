#pragma once
// Window messages and virtual-key codes: the vocabulary the window procedures speak. The values
// are the classic desktop ones, so tables written against them read the same here.
#include <cstdint>

namespace platform {

enum : std::uint32_t {
    WM_NULL = 0,
    WM_CREATE = 1,
    WM_DESTROY = 2,
    WM_SIZE = 5,
    WM_PAINT = 15,
    WM_CLOSE = 16,
    WM_QUIT = 18,
    WM_NCPAINT = 133,
    WM_KEYDOWN = 256,
    WM_MOUSEMOVE = 512,
    WM_LBUTTONDOWN = 513,
    WM_RBUTTONDOWN = 516,
    WM_MOUSEWHEEL = 522,
};

// One notch of a mouse wheel in WM_MOUSEWHEEL's high word (a signed 16-bit amount).
inline constexpr int WHEEL_DELTA = 120;

enum : std::uint32_t { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

enum : std::uint32_t {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
    VK_F1 = 0x70,
    VK_MEDIA_NEXT_TRACK = 0xB0,
    VK_MEDIA_PREV_TRACK = 0xB1,
    VK_MEDIA_STOP = 0xB2,
    VK_MEDIA_PLAY_PAUSE = 0xB3,
};

struct Window;

using WindowProc = std::intptr_t (*)(Window* window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

struct Message {
    Window* window = nullptr; // null for WM_QUIT, which belongs to no window
    std::uint32_t message = WM_NULL;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// Packs two 16-bit halves the way mouse messages carry their coordinates.
constexpr std::intptr_t makeLParam(int low, int high) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(high & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(low & 0xFFFF));
}

} // namespace platform
