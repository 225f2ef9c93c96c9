#pragma once
// Writes a scene description as a 3DS file: the mesh data (materials, objects, lights,
// cameras, ambient light) and the keyframer (frame range, nodes with their hierarchy and tracks).
#include <cstdint>
#include <string>
#include <vector>

#include "content/scenes/model.h"

namespace scenes {

// Empty when the description can be written; else what is wrong with it (a face pointing past
// the vertices, more than 65535 vertices or faces, a name the readers cannot hold, a node whose
// parent does not come before it, a track without keys in frame order ...).
std::string checkScene(const Scene3ds& scene);

// The file's bytes. Throws std::invalid_argument with checkScene's text for a bad description.
std::vector<std::uint8_t> write3ds(const Scene3ds& scene);

} // namespace scenes
