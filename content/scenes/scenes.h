#pragma once
// The intro's two scenes.
#include "content/scenes/model.h"

namespace scenes {

// A night train with lit windows crossing a snowy forest; its headlamp is a light that carries
// a lens flare along; the camera waits by the line, turns with the train and rises after it.
Scene3ds makeTrainScene();

// The lit cabin in the snow under the aurora; the camera moves in towards its warm window while
// smoke rises and the door swings open.
Scene3ds makeCabinScene();

} // namespace scenes
