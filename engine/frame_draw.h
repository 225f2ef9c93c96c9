#pragma once
// One face handed to the drawer its material needs, with the vertex records that drawer reads.
#include "engine/frame.h"
#include "engine/frame_light.h"

namespace engine {

// Faces whose records would carry a value that is not a number or infinite are not drawn.
void DrawFace(const scene::Face& face, const FrameContext& context, const FrameLights& lights);

} // namespace engine
