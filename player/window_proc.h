#pragma once
// The player's window: creation and the window procedure, its only input path.
#include "platform/messages.h"

// Creates and shows the full-screen player window; raises PtcError "could not create window".
platform::Window* create_player_window();

std::intptr_t player_window_proc(platform::Window* window, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam);

// The screen saver's state when the window was created (1 when it was active).
extern std::int32_t savedScreenSaverState;
