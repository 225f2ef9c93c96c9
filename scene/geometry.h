#pragma once
// Per-object geometry derived after loading: bounding boxes and normals.
#include "scene/records.h"

namespace scene {

// Box of the object's vertices in object space; objects without vertices keep their box.
void compute_bounding_box(Object* o);

// Face normals from the face's corners and vertex normals as the normalized mean of the
// normals of the faces that use the vertex. `positions` gives each vertex's position (the
// object's own or a morphed copy); results go to the given normal fields.
void compute_normals(Object* o, Vector Vertex::*position, Vector Vertex::*vertexNormal,
                     Vector Face::*faceNormal);

} // namespace scene
