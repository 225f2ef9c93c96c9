#pragma once
// Scene preparation: materials classified, textures loaded into the aligned texture buffer in
// the layouts the rasterizers read, vertex light, texture coordinates in texels, the flare
// picture and animated textures.
#include <cstdint>

#include "scene/records.h"

namespace engine {

enum : int { SHADING_CONSTANT_GOURAUD = 20 };
enum : int { TEXTURE_SLOT_BYTES = 262144 };

// Transparency classes of a material.
enum : int {
    TRANSPARENCY_OPAQUE = 0,
    TRANSPARENCY_HALF = 1,
    TRANSPARENCY_CONSTANT = 2,
    TRANSPARENCY_MAP = 3,
};

// 1 on success (also without textures), 0 on a failure; everything made so far is released.
// A scene without its face sort table (AllocFaceSortTable failed) is a failure too.
int PrepareScene(scene::Scene* scene);
void ReleaseSceneTextures(scene::Scene* scene);
void StepAnimatedTextures(scene::Scene* scene);
float VertexLightIntensity(const scene::Vertex& vertex);

// renderWidth x renderHeight pixels, or null without a background picture.
extern std::uint32_t* backgroundPixels;
// The flare picture in the texture buffer (row order, alpha 0), or null.
extern std::uint32_t* flareTexture;

} // namespace engine
