// The frame as the intro runs it: the engine's globals handed to RenderFrame.
#include "engine/frame.h"

#include "engine/prepare.h"

namespace engine {

FrameDrawers frameDrawers = {FillGouraud,      FillShadedTexture, FillEnvironment,   FillTextured,
                             FillTexturedHalf, FillTexturedBlend, FillTexturedAlpha, BlitFlare};

namespace {

std::uint32_t* framePixels = nullptr;
int framePitch = 0;
const std::uint32_t* previousPixels = nullptr;

} // namespace

void SetFrameBuffers(std::uint32_t* frame, int pitchBytes, const std::uint32_t* previous) {
    framePixels = frame;
    framePitch = pitchBytes;
    previousPixels = previous;
    SetRasterTarget(reinterpret_cast<std::uint8_t*>(frame), pitchBytes, engineSettings.renderWidth,
                    engineSettings.renderHeight);
}

void RenderScene(scene::Scene* scene, scene::Camera* camera) {
    if (!scene) return;
    const FrameContext context{&engineSettings,
                               &lightTable,
                               &frameDrawers,
                               static_cast<SortEntry*>(scene->faceSortTable),
                               FaceSortCapacity(scene),
                               framePixels,
                               framePitch,
                               previousPixels,
                               flareTexture};
    RenderFrame(scene, camera, context);
}

} // namespace engine
