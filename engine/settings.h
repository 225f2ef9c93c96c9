#pragma once
// The engine's process-wide switches and values. The intro sets them before each scene; the
// preparation, the frame renderer and the rasterizers read them. 0 means off.
#include <cstdint>

namespace engine {

struct EngineSettings {
    int renderWidth, renderHeight;
    float clipMinX, clipMinY, clipMaxX, clipMaxY; // rasterizer clip rectangle, pixels
    int framesPerSecond;
    int trailMode;
    int clearFrame;
    char backgroundPicture[100]; // data-file name; empty = none
    int maxCompat;
    int optimizeScene;
    int reportNoLights;
    int computeAmbient;
    int reportAmbient;
    int vertexLighting;
    int transparencyMaps;
    int animatedTextures;
    int animationDelay;
    int autoResize;
    int dullTextures;
    int flareType;   // lens-flare picture 1 to 4, 0 none
    int lightFlares; // second flare switch
    int depthMode;   // 2: camera-space depth; anything else: distance from the camera
    int singleLight;
    int libraryFlags[7]; // bits 0 to 6 of the scene library's options word
};

// The one instance the engine reads.
extern EngineSettings engineSettings;

// The scene library's options word made from libraryFlags, bit 0 first.
int LibraryOptions(const EngineSettings& s);

// Presentation area (left, top, right, bottom) of a scene on the intro's display.
struct PresentArea {
    int left, top, right, bottom;
};

// The intro's two scenes, as the intro, the tools and the tests use them.
EngineSettings FirstScenePreset();  // "train.3ds": full frame, trail 1002, flare picture 3
EngineSettings SecondScenePreset(); // "hut2.3ds": inside a 10-pixel frame, no trail, no flares
PresentArea FirstSceneArea(const EngineSettings& s);
PresentArea SecondSceneArea(const EngineSettings& s);

} // namespace engine
