#pragma once
// A player on SDL's dummy video driver with pictures made in the test and a fake clock that
// moves to each frame's deadline instead of waiting for it.
#include "console/console.h"
#include "platform/clock.h"
#include "platform/window.h"

#include <gtest/gtest.h>

struct FakeClock : platform::ClockSource {
    std::uint32_t t = 100000;
    std::uint32_t now() override { return t; }
    void waitUntil(std::uint32_t deadline) override {
        if (!platform::clockReached(t, deadline)) t = deadline;
    }
    void sleep(std::uint32_t ms) override { t += ms; }
};

// Plain colours of the made-up pictures.
inline constexpr std::uint32_t MAIN_COLOUR = 0x406080;
inline constexpr std::uint32_t LABEL_COLOUR = 0xFFEE00;
inline constexpr std::uint32_t END1_COLOUR = 0xC03020;
inline constexpr std::uint32_t END2_COLOUR = 0x2030C0;
inline constexpr std::uint32_t ON_COLOUR = 0x00FF00;
inline constexpr std::uint32_t OFF_COLOUR = 0x008000;

class PlayerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches every waiting message, as the main loop does between frames.
    void pump();
    // Renders frames until the screen state is `state` (at most `limit` frames); returns how
    // many frames it took.
    int framesUntil(int state, int limit = 1000);
    std::uint32_t shownPixel(int x, int y) const;
    std::uint64_t updates() const;
    void post(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    FakeClock clock;
    platform::ClockSource* previousClock = nullptr;
};
