#pragma once
// The steps of the scene preparation, shared between its source files.
#include <cstdint>

#include "scene/records.h"

namespace engine {

enum : int { PATH_CAPACITY = 100, SHADING_METAL = 4 };

// Slots of the texture buffer handed out in order.
struct SlotCursor {
    std::uint8_t* next;
    std::uint8_t* end;
    // The next free slot, or null when the buffer has none left.
    std::uint8_t* take(int count = 1);
};

// Classifies the materials (animated, transparency class and weights); adds up the slots and
// animated materials. 0 after reporting a bad frame count.
int ClassifyMaterials(scene::Scene* scene, int* slots, int* animatedCount);
// "phong + two-sided" to gouraud when maxCompat; "flat + two-sided" to constant gouraud with
// the vertices' light when vertexLighting.
void ConvertShadings(scene::Scene* scene);
// Texture coordinates in texels: mirrored, scaled, and flipped in v with maxCompat.
void ScaleTextureCoordinates(scene::Scene* scene);

// folder + name into a PATH_CAPACITY buffer; false (after saying so) when it does not fit.
bool BuildPath(char* path, const char* folder, const char* name, const char* material);

int LoadBackgroundPicture();
int LoadFlarePicture(scene::Scene* scene, SlotCursor& slots);
// The second pass for one material by its shading.
int LoadMaterialTexture(scene::Material* m, SlotCursor& slots);

// The frame count of an animated texture's file name ("NN....001..."), or -1 when the name is
// not one.
int AnimatedFrameCount(const char* fileName);

} // namespace engine
