#pragma once
// The intro's two scenes: their entry names and keyframer lengths. The tune and the timeline
// are written for these lengths; scenes, tests and the documentation read them from here.

namespace scenes {

constexpr const char* TRAIN_SCENE = "train.3ds";
constexpr const char* CABIN_SCENE = "hut2.3ds";
constexpr int TRAIN_FRAMES = 870; // frames 0..870: 870 frames of 30 ms, 26.1 s
constexpr int CABIN_FRAMES = 600; // frames 0..600: 18 s
constexpr int FRAME_MS = 30;      // the intro's frame time at 33 frames a second

} // namespace scenes
