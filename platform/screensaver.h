#pragma once
// The desktop's screen saver, switched off while the disk runs.

namespace platform {

bool screenSaverActive();
void setScreenSaverActive(bool active);

} // namespace platform
