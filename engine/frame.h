#pragma once
// One frame of a prepared scene: projection of vertices and lights, culling, depth keys, the
// painter's sort and the hand-over of each face to its rasterizer.
#include <cstdint>

#include "engine/lights.h"
#include "engine/raster.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "scene/records.h"

namespace engine {

// The locked frame (renderWidth x renderHeight, pitch in bytes) and the frame shown last,
// which metal materials reflect.
void SetFrameBuffers(std::uint32_t* frame, int pitchBytes, const std::uint32_t* previous);

void ProjectScene(scene::Scene* scene, scene::Camera* camera, int width, int height);
void RenderScene(scene::Scene* scene, scene::Camera* camera);

// Where RenderScene sends faces and flares. Set to the real drawers; a test may put recorders
// in their place.
struct FrameDrawers {
    void (*gouraud)(ScreenVertex* v);
    void (*shadedTexture)(ShadedVertex* v, const std::uint8_t* texture);
    void (*environment)(ScreenVertex* v, const std::uint32_t* previous, int previousWidth,
                        int previousHeight);
    void (*textured)(ScreenVertex* v, const std::uint8_t* texture);
    void (*texturedHalf)(ScreenVertex* v, const std::uint8_t* texture);
    void (*texturedBlend)(ScreenVertex* v, const std::uint8_t* texture,
                          std::uint32_t opacityWeights, std::uint32_t transparencyWeights);
    void (*texturedAlpha)(ScreenVertex* v, const std::uint8_t* texture);
    void (*blitFlare)(const std::uint32_t* picture, int w, int h, int x, int y,
                      std::uint32_t* frame, int W, int H);
};
extern FrameDrawers frameDrawers;

// Everything a frame reads besides the scene and the camera. RenderScene fills it from the
// engine's globals; RenderFrame takes it as given, so it can run on any table and lights.
struct FrameContext {
    const EngineSettings* settings;
    const LightTable* lights;
    const FrameDrawers* drawers;
    SortEntry* entries; // the scene's face sort table
    int capacity;       // its entries; a frame never keeps more
    std::uint32_t* frame;
    int pitchBytes;
    const std::uint32_t* previous; // same size and pitch as the frame
    const std::uint32_t* flarePicture;
};

// Builds, sorts and draws the frame; returns the number of entries drawn in sorted order
// (faces and flares, including those a drawer then rejects).
int RenderFrame(scene::Scene* scene, scene::Camera* camera, const FrameContext& context);

// The item of light i's flare in the sort (0 <= i < MAX_LIGHTS); never a face's address.
const void* FlareMarker(int light);
// The light a sort item stands for, or -1 when the item is a face.
int FlareMarkerLight(const void* item);

} // namespace engine
