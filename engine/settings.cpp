#include "engine/settings.h"

namespace engine {

EngineSettings engineSettings = FirstScenePreset();

int LibraryOptions(const EngineSettings& s) {
    int options = 0;
    for (int bit = 0; bit < 7; ++bit)
        if (s.libraryFlags[bit]) options |= 1 << bit;
    return options;
}

namespace {

// What both scenes share.
EngineSettings commonPreset() {
    EngineSettings s{};
    s.renderWidth = 320;
    s.renderHeight = 200;
    s.framesPerSecond = 33;
    s.clearFrame = 0;
    s.backgroundPicture[0] = '\0';
    s.maxCompat = 1;
    s.optimizeScene = 1;
    s.reportNoLights = 1;
    s.computeAmbient = 0;
    s.reportAmbient = 1;
    s.vertexLighting = 1;
    s.transparencyMaps = 1;
    s.animatedTextures = 0;
    s.animationDelay = 1;
    s.autoResize = 1;
    s.dullTextures = 0;
    s.lightFlares = 0;
    s.depthMode = 2;
    s.singleLight = 1;
    // Hierarchy, normals, morph and transform on; slerp and the two normal variants off.
    const int flags[7] = {1, 1, 1, 1, 0, 0, 0};
    for (int i = 0; i < 7; ++i) s.libraryFlags[i] = flags[i];
    return s;
}

} // namespace

EngineSettings FirstScenePreset() {
    EngineSettings s = commonPreset();
    s.clipMinX = 0.0f;
    s.clipMinY = 0.0f;
    s.clipMaxX = static_cast<float>(s.renderWidth - 1);
    s.clipMaxY = static_cast<float>(s.renderHeight - 1);
    s.trailMode = 1002;
    s.flareType = 3;
    return s;
}

EngineSettings SecondScenePreset() {
    EngineSettings s = commonPreset();
    s.clipMinX = 10.0f;
    s.clipMinY = 10.0f;
    s.clipMaxX = static_cast<float>(s.renderWidth - 10);
    s.clipMaxY = static_cast<float>(s.renderHeight - 10);
    s.trailMode = 0;
    s.flareType = 0;
    return s;
}

// The first scene presents 3 columns and rows fewer than it clips to.
PresentArea FirstSceneArea(const EngineSettings& s) {
    return {0, 0, (s.renderWidth - 1) - 2, (s.renderHeight - 1) - 2};
}

PresentArea SecondSceneArea(const EngineSettings& s) {
    return {10, 10, s.renderWidth - 10, s.renderHeight - 10};
}

} // namespace engine
