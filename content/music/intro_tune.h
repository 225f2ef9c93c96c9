#pragma once
// The intro's own tune, composed for the moments of intro_timeline.h.

#include "content/music/module.h"

#include <cstdint>
#include <vector>

namespace music {

Module introTune();

} // namespace music
