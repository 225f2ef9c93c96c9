#pragma once
// The 3DS scene reader: one chunk walker, two passes. The world pass fills the active scene's
// world list from the mesh chunks; the motion pass fills its keyframer list from the keyframe
// chunks. Both return a code of scene/errors.h and leave partial results for the caller to free.
#include <cstdio>

namespace scene {

int read3ds_world(std::FILE* file);
int read3ds_motion(std::FILE* file);

// Field of view in degrees of a camera lens in millimetres.
float lens_to_fov(float lens);

// A scene-file format: its extension, its two readers and its writer (null when it has none).
struct SceneDriver {
    const char* extension;
    int (*readWorld)(std::FILE*);
    int (*readMotion)(std::FILE*);
    int (*write)(std::FILE*);
};

// Loading always uses the first entry, whatever the file is called: the intro hands over
// temporary copies whose names say nothing about their contents.
extern const SceneDriver sceneDrivers[];
extern const int sceneDriverCount;

} // namespace scene
