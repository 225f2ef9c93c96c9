// The console on SDL's dummy video driver: pages, flipping and what is shown.
#include "console/console.h"
#include "console/presenter.h"
#include "platform/window.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
std::intptr_t quietProc(platform::Window*, std::uint32_t, std::uintptr_t, std::intptr_t) {
    return 0;
}

class ConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VRK_WINDOWED", "1", 1);
        window = platform::createWindow("Tinselwave", quietProc, nullptr);
        ASSERT_NE(window, nullptr);
        console = ptc_console_create();
        EXPECT_TRUE(ptc_console_option(console, "DirectX"));
        EXPECT_TRUE(ptc_console_option(console, "fullscreen output"));
        EXPECT_TRUE(ptc_console_option(console, "disable key buffering"));
        format = ptc_format_create_direct(32, 0xff0000, 0xff00, 0xff, 0);
        ptc_console_open_window_resolution(console, window, 640, 400, format, 2);
        surface = ptc_surface_create(640, 400, format);
    }
    void TearDown() override {
        ptc_surface_destroy(surface);
        ptc_format_destroy(format);
        ptc_console_destroy(console);
        platform::destroyWindow(window);
    }
    void fill(std::uint32_t colour) {
        PtcColor c{((colour >> 16) & 255) / 255.0f, ((colour >> 8) & 255) / 255.0f,
                   (colour & 255) / 255.0f};
        ptc_surface_clear_color(surface, &c);
    }
    platform::Window* window = nullptr;
    PtcConsole* console = nullptr;
    PtcFormat* format = nullptr;
    PtcSurface* surface = nullptr;
};
} // namespace

TEST_F(ConsoleTest, PresentsTwoPicturesAndReadsThemBackInOrder) {
    EXPECT_EQ(ptc_console_pages(console), 2);
    EXPECT_EQ(ptc_console_shown(console), nullptr);
    fill(0xFF0000);
    ptc_surface_copy(surface, console);
    ptc_console_update(console);
    ASSERT_NE(ptc_console_shown(console), nullptr);
    EXPECT_EQ(ptc_console_shown(console)[0], 0xFF0000u);
    EXPECT_EQ(ptc_console_shown(console)[640 * 400 - 1], 0xFF0000u);
    fill(0x0000FF);
    ptc_surface_copy(surface, console);
    ptc_console_update(console);
    EXPECT_EQ(ptc_console_shown(console)[0], 0x0000FFu);
    EXPECT_EQ(ptc_console_updates(console), 2u);
}

TEST_F(ConsoleTest, TwoPagesFlipSoAPartialRedrawLandsOnOnePageOnly) {
    fill(0x111111);
    for (int i = 0; i < 2; ++i) { // the same picture on both pages
        ptc_surface_copy(surface, console);
        ptc_console_update(console);
    }
    // Draw a small area on the next page only, then show both pages once more without drawing.
    PtcColor white{1, 1, 1};
    PtcArea spot{10, 10, 20, 20};
    ptc_console_clear_color_area(console, &white, &spot);
    ptc_console_update(console);
    EXPECT_EQ(ptc_console_shown(console)[15 * 640 + 15], 0xFFFFFFu);
    ptc_console_update(console);
    EXPECT_EQ(ptc_console_shown(console)[15 * 640 + 15], 0x111111u); // the other page never had it
    ptc_console_update(console);
    EXPECT_EQ(ptc_console_shown(console)[15 * 640 + 15], 0xFFFFFFu); // back to the first page
}

TEST_F(ConsoleTest, CopyGrabsThePictureShownLast) {
    fill(0x123456);
    ptc_console_present(console, surface);
    fill(0);
    ptc_console_copy(console, surface);
    EXPECT_EQ(reinterpret_cast<std::uint32_t*>(surface->pixels.data())[1234], 0x123456u);
}

TEST_F(ConsoleTest, AreaCopiesOntoTheConsoleScale) {
    PtcSurface* line = ptc_surface_create(640, 1, format);
    auto* p = reinterpret_cast<std::uint32_t*>(line->pixels.data());
    for (int x = 0; x < 640; ++x) p[x] = x;
    PtcArea from{0, 0, 640, 1}, to{0, 370, 639, 371};
    ptc_surface_copy_area(line, console, &from, &to);
    ptc_console_update(console);
    const std::uint32_t* shown = ptc_console_shown(console);
    EXPECT_EQ(shown[370 * 640 + 638], 639u);
    EXPECT_EQ(shown[370 * 640 + 318], 318u);
    EXPECT_EQ(shown[370 * 640 + 319], 320u);
    ptc_surface_destroy(line);
}

TEST_F(ConsoleTest, ErrorsArriveAsTheErrorObjectAndTheReportClosesTheConsole) {
    PtcSurface* wrong = ptc_surface_create(320, 200, format);
    EXPECT_THROW(ptc_surface_copy(wrong, console), PtcError);
    ptc_surface_destroy(wrong);
    PtcError e = ptc_error_create("error loading image!");
    EXPECT_STREQ(e.message(), "error loading image!");
    testing::internal::CaptureStderr();
    ptc_error_report(e);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ptc error"), std::string::npos);
    EXPECT_NE(err.find("error loading image!"), std::string::npos);
    EXPECT_FALSE(ptc_console_is_open(console));
    EXPECT_THROW(ptc_console_update(console), PtcError);
}

TEST(ConsoleOwnWindow, OpensByModeNameAndRefusesUnknownModes) {
    setenv("VRK_WINDOWED", "1", 1);
    PtcConsole* c = ptc_console_create();
    EXPECT_THROW(ptc_console_open(c, "Tinselwave intro", 320, 200, "FUZZY8"), PtcError);
    ptc_console_open(c, "Tinselwave intro", 320, 200, "FUZZY32");
    EXPECT_TRUE(ptc_console_is_open(c));
    EXPECT_EQ(ptc_console_width(c), 320);
    EXPECT_FALSE(ptc_console_key(c));
    ptc_console_destroy(c);
}

TEST(Presenter, ScalesByNearestPixelInsideTheViewportOnly) {
    constexpr int W = 64, H = 40;
    std::vector<std::uint32_t> picture(W * H);
    for (int i = 0; i < W * H; ++i) picture[i] = i;
    for (auto [ow, oh] : {std::pair{128, 80}, std::pair{200, 90}, std::pair{97, 61}}) {
        platform::Viewport vp = platform::fitPicture(ow, oh, W, H);
        std::vector<std::uint32_t> out(ow * oh, 0xDEADBEEF);
        console::scalePicture(picture.data(), W, H, out.data(), ow, vp);
        for (int y = 0; y < oh; ++y)
            for (int x = 0; x < ow; ++x) {
                const bool inside = x >= vp.x && x < vp.x + vp.w && y >= vp.y && y < vp.y + vp.h;
                const std::uint32_t want =
                    inside ? picture[((2 * (y - vp.y) + 1) * H / (2 * vp.h)) * W +
                                     (2 * (x - vp.x) + 1) * W / (2 * vp.w)]
                           : 0xDEADBEEF;
                ASSERT_EQ(out[y * ow + x], want) << ow << "x" << oh << " at " << x << "," << y;
            }
    }
}

namespace {

// Only a machine with a graphics device can have a GL worth probing for; the probe itself
// loads tens of megabytes of software GL that stay mapped when it is refused.
TEST(Presenter, ProbesForAGpuOnlyWhereAGraphicsDeviceExists) {
    const std::string dir = ::testing::TempDir() + "vrk_devices_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    EXPECT_FALSE(console::graphicsDeviceIn(dir.c_str()));
    std::ofstream(dir + "/null");
    std::ofstream(dir + "/tty0");
    EXPECT_FALSE(console::graphicsDeviceIn(dir.c_str()));
    std::ofstream(dir + "/renderD128");
    EXPECT_TRUE(console::graphicsDeviceIn(dir.c_str()));
    std::filesystem::remove(dir + "/renderD128");
    std::ofstream(dir + "/nvidiactl");
    EXPECT_TRUE(console::graphicsDeviceIn(dir.c_str()));
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(console::graphicsDeviceIn((dir + "/gone").c_str()));
}

} // namespace
