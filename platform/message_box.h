#pragma once
// Ownerless message boxes. Without a display the caption and text go to standard error and the
// call returns at once, so a headless run never blocks on one.

namespace platform {

enum : unsigned { MB_OK = 0x00, MB_ICONERROR = 0x10, MB_ICONEXCLAMATION = 0x30 };

void messageBox(const char* text, const char* caption, unsigned flags);

} // namespace platform
