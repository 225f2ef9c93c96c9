#pragma once
// One frame of a prepared scene: projection of vertices and lights, culling, depth keys, the
// painter's sort and the hand-over of each face to its rasterizer.
#include <cstdint>

#include "scene/records.h"

namespace engine {

// The locked frame (renderWidth x renderHeight, pitch in bytes) and the frame shown last,
// which metal materials reflect.
void SetFrameBuffers(std::uint32_t* frame, int pitchBytes, const std::uint32_t* previous);

void ProjectScene(scene::Scene* scene, scene::Camera* camera, int width, int height);
void RenderScene(scene::Scene* scene, scene::Camera* camera);

} // namespace engine
