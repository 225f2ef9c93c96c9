// Message translation on SDL's dummy video driver: events in, window messages out.
#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <vector>

using namespace platform;

namespace {
std::vector<Message> received;

std::intptr_t recordingProc(Window* w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    received.push_back({w, m, wp, lp});
    return 0;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VRK_WINDOWED", "1", 1);
        ASSERT_TRUE(initVideo());
        received.clear();
        window = createWindow("Tinselwave", recordingProc, nullptr);
        ASSERT_NE(window, nullptr);
        setWindowPicture(window, 640, 400);
        drain();
        received.clear();
    }
    void TearDown() override {
        destroyWindow(window);
        drain();
    }
    void drain() {
        Message m;
        while (peekMessage(m)) dispatchMessage(m);
    }
    Uint32 id() const { return SDL_GetWindowID(sdlWindow(window)); }

    SDL_Event keyDown(SDL_Keycode key, bool repeat, Uint16 mod = KMOD_NONE) const {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = id();
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        return e;
    }
    SDL_Event motion(int x, int y) const {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = id();
        e.motion.x = x;
        e.motion.y = y;
        return e;
    }
    Window* window = nullptr;
};

int highWord(std::intptr_t lp) {
    return static_cast<int>((static_cast<std::uint32_t>(lp) >> 16) & 0xFFFF);
}
} // namespace

TEST_F(WindowTest, CreationSendsCreateAndShowingSendsSizeAndPaint) {
    received.clear();
    Window* w = createWindow("second", recordingProc, nullptr);
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().message, WM_CREATE);
    showWindow(w);
    drain();
    bool sized = false, painted = false;
    for (const Message& m : received) {
        sized |= m.message == WM_SIZE && m.wParam == SIZE_RESTORED && m.window == w;
        painted |= m.message == WM_PAINT && m.window == w;
    }
    EXPECT_TRUE(sized);
    EXPECT_TRUE(painted);
    destroyWindow(w);
}

TEST_F(WindowTest, HeldKeyRepeatsKeyDownWithItsCode) {
    struct Case {
        SDL_Keycode key;
        std::uint32_t vk;
    } cases[] = {{SDLK_l, 0x4C},    {SDLK_ESCAPE, 0x1B}, {SDLK_RETURN, 0x0D}, {SDLK_SPACE, 0x20},
                 {SDLK_LEFT, 0x25}, {SDLK_UP, 0x26},     {SDLK_RIGHT, 0x27},  {SDLK_DOWN, 0x28},
                 {SDLK_q, 0x51},    {SDLK_x, 0x58},      {SDLK_e, 0x45},      {SDLK_5, 0x35}};
    for (const Case& c : cases) {
        for (bool repeat : {false, true, true}) {
            Message m;
            ASSERT_TRUE(translateEvent(keyDown(c.key, repeat), m)) << c.key;
            EXPECT_EQ(m.message, WM_KEYDOWN);
            EXPECT_EQ(m.wParam, c.vk);
            EXPECT_EQ(m.window, window);
            EXPECT_EQ((m.lParam >> 30) & 1, repeat ? 1 : 0);
        }
    }
}

TEST_F(WindowTest, AltEnterTogglesFullScreenAndIsNotAMessage) {
    Message m;
    EXPECT_FALSE(translateEvent(keyDown(SDLK_RETURN, false, KMOD_LALT), m));
    EXPECT_TRUE(SDL_GetWindowFlags(sdlWindow(window)) & SDL_WINDOW_FULLSCREEN);
    EXPECT_FALSE(translateEvent(keyDown(SDLK_RETURN, false, KMOD_LALT), m));
    EXPECT_FALSE(SDL_GetWindowFlags(sdlWindow(window)) & SDL_WINDOW_FULLSCREEN);
}

TEST_F(WindowTest, FullScreenGivesTheWindowBackAtTheSizeItHad) {
    SDL_SetWindowSize(sdlWindow(window), 700, 450);
    Message m;
    translateEvent(keyDown(SDLK_RETURN, false, KMOD_LALT), m);
    ASSERT_TRUE(SDL_GetWindowFlags(sdlWindow(window)) & SDL_WINDOW_FULLSCREEN);
    translateEvent(keyDown(SDLK_RETURN, false, KMOD_RALT), m);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdlWindow(window), &w, &h);
    EXPECT_EQ(w, 700);
    EXPECT_EQ(h, 450);
}

TEST_F(WindowTest, AWindowOpensAtAWholeMultipleOfThePictureThatFits) {
    SDL_Rect usable{};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    const int k = windowedScale(usable.w, usable.h, 0, 0, 640, 400);
    Window* w = createWindow("fitted", recordingProc, nullptr);
    showWindow(w);
    int width = 0, height = 0;
    SDL_GetWindowSize(sdlWindow(w), &width, &height);
    EXPECT_EQ(width, 640 * k);
    EXPECT_EQ(height, 400 * k);
    destroyWindow(w);
}

TEST(WindowedScale, LargestMultipleWithTheFrameInside) {
    EXPECT_EQ(windowedScale(1280, 800, 0, 0, 640, 400), 2);
    // A title bar on a 1280 x 800 desktop: twice the picture no longer fits.
    EXPECT_EQ(windowedScale(1280, 800, 2, 26, 640, 400), 1);
    EXPECT_EQ(windowedScale(1920, 1080, 2, 30, 640, 400), 2);
    EXPECT_EQ(windowedScale(2560, 1440, 4, 40, 640, 400), 3);
    EXPECT_EQ(windowedScale(3840, 2160, 0, 0, 640, 400), 5);
    // A desktop smaller than the picture still gets it once; nonsense sizes do not loop.
    EXPECT_EQ(windowedScale(800, 300, 0, 0, 640, 400), 1);
    EXPECT_EQ(windowedScale(1 << 30, 1 << 30, 0, 0, 0, 400), 1);
}

TEST_F(WindowTest, TheWheelBecomesWheelMessagesInNotches) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = id();
    struct Case {
        int y;
        Uint32 direction;
        int amount;
    } cases[] = {{1, SDL_MOUSEWHEEL_NORMAL, 120},
                 {-2, SDL_MOUSEWHEEL_NORMAL, -240},
                 {1, SDL_MOUSEWHEEL_FLIPPED, -120}};
    for (const Case& c : cases) {
        e.wheel.y = c.y;
        e.wheel.direction = c.direction;
        Message m;
        ASSERT_TRUE(translateEvent(e, m));
        EXPECT_EQ(m.message, WM_MOUSEWHEEL);
        EXPECT_EQ(m.window, window);
        EXPECT_EQ(static_cast<std::int16_t>(highWord(static_cast<std::intptr_t>(m.wParam))),
                  c.amount);
    }
    e.wheel.y = 0; // sideways only
    e.wheel.x = 1;
    Message m;
    EXPECT_FALSE(translateEvent(e, m));
}

TEST_F(WindowTest, MouseYIsInThePicturesCoordinatesWhateverTheWindowSize) {
    struct Case {
        int w, h;
    } sizes[] = {{640, 400}, {1280, 800}, {1920, 1080}, {800, 800}, {333, 777}};
    for (const Case& s : sizes) {
        SDL_SetWindowSize(sdlWindow(window), s.w, s.h);
        int w, h;
        SDL_GetWindowSize(sdlWindow(window), &w, &h);
        Viewport vp = fitPicture(w, h, 640, 400);
        Message m;
        // Top edge of the picture, its middle, its last row, and outside it (clamped).
        ASSERT_TRUE(translateEvent(motion(w / 2, vp.y), m));
        EXPECT_EQ(m.message, WM_MOUSEMOVE);
        EXPECT_EQ(highWord(m.lParam), 0) << w << "x" << h;
        ASSERT_TRUE(translateEvent(motion(w / 2, vp.y + vp.h / 2), m));
        EXPECT_NEAR(highWord(m.lParam), 200, 1) << w << "x" << h;
        ASSERT_TRUE(translateEvent(motion(w / 2, vp.y + vp.h - 1), m));
        EXPECT_EQ(highWord(m.lParam), 399) << w << "x" << h;
        ASSERT_TRUE(translateEvent(motion(w / 2, h - 1), m));
        EXPECT_LE(highWord(m.lParam), 399);
    }
}

TEST_F(WindowTest, CloseButtonIsACloseRequestAndNeverAQuit) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = id();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
    Message m;
    bool sawClose = false;
    while (peekMessage(m)) {
        EXPECT_NE(m.message, WM_QUIT);
        sawClose |= m.message == WM_CLOSE && m.window == window;
        dispatchMessage(m);
    }
    EXPECT_TRUE(sawClose);
    EXPECT_EQ(defWindowProc(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(peekMessage(m)); // the default handling posted nothing, least of all a quit
}

TEST_F(WindowTest, PostedMessagesComeFirstAndQuitBelongsToNoWindow) {
    postMessage(window, WM_DESTROY, 0, 0);
    postQuitMessage(0);
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.message, WM_DESTROY);
    EXPECT_EQ(m.window, window);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.window, nullptr);
    EXPECT_EQ(dispatchMessage(m), 0);
}

TEST(Viewport, FitsKeepingTheAspect) {
    Viewport v = fitPicture(1920, 1080, 640, 400);
    EXPECT_EQ(v.h, 1080);
    EXPECT_EQ(v.w, 1728);
    EXPECT_EQ(v.x, 96);
    EXPECT_EQ(v.y, 0);
    v = fitPicture(640, 400, 640, 400);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.w, 640);
    v = fitPicture(800, 800, 640, 400);
    EXPECT_EQ(v.w, 800);
    EXPECT_EQ(v.h, 500);
    EXPECT_EQ(v.y, 150);
}
