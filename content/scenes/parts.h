#pragma once
// Pieces both scenes are made of: their materials, the sky, the moon, firs, snow drifts,
// puffs of steam and smoke, keyframer nodes and the camera's flight.
#include <span>
#include <string>

#include "content/scenes/geometry.h"
#include "content/scenes/model.h"

namespace scenes {

// Adds a material and returns its index.
std::uint16_t addMaterial(Scene3ds& s, Material m);
// A material showing a texture (a file of the texture folder).
std::uint16_t addTextured(Scene3ds& s, std::string name, Shading shading, std::string texture,
                          bool twoSided = false);
// A flat see-through material on a texture, `percent` transparent; with a key map, the
// transparency is read from that map.
std::uint16_t addSeeThrough(Scene3ds& s, std::string name, std::string texture, int percent,
                            std::string key = {});

// The ambient light's node, in the scene's ambient colour.
void addAmbientNode(Scene3ds& s, int id);

// A still object node: the mesh's rest position (relative to the parent's origin when it has
// one) at frame 0 and unit scale.
Node& addObjectNode(Scene3ds& s, const std::string& name, int id, int parent, Vec3 position);

// The sky dome around the origin (seen from inside) with the given material.
Mesh makeSky(std::uint16_t material, float radius);
// The moon: a textured ball.
Mesh makeMoon(std::uint16_t material, Vec3 where, float radius);
// A fir of three snowed tiers standing at `base` (local to the builder's origin).
void addFir(MeshBuilder& b, Vec3 base, float height, float turn);
// A low mound of snow.
void addDrift(MeshBuilder& b, Vec3 centre, float radius, float height);

// The light that gouraud faces are lit by (the first light of a scene), for light falling from
// direction `towards` (from the scene to the light). The scene library's normals point into
// the solids (its cross product works in its exchanged axes while faces turn outwards), so
// the light stands at the opposite point: there it lights each face as a light in `towards`
// would light the face's outside. Far below the ground, it never shows a flare.
Light shadingLight(const std::string& name, Vec3 towards, float distance, float range);
// An omni light node that holds the light where it is (or where its parent carries it).
void addLightNode(Scene3ds& s, const std::string& name, int id, int parent, Vec3 position);

// One key of the camera's flight: where it stands, where it looks, its field of view and roll.
struct Shot {
    int frame;
    Vec3 position, target;
    float fov, roll;
};
// The camera "Cam" and its target node, flying through the shots; keyOf gives each position
// key its spline parameters.
void addCameraFlight(Scene3ds& s, int& id, std::span<const Shot> shots, Tcb (*keyOf)(const Shot&));

// A billow of steam or smoke about the builder's origin, about `radius` across: a few lobes,
// each a closed solid, turned by `seed`.
void addBillow(MeshBuilder& b, float radius, int seed);

// Billows that leave `from` (in the parent's frame) every `period` frames, drift by `travel`
// over their life while growing, stretching and rolling, and are hidden between their lives.
struct PuffStream {
    std::string prefix;
    int parent = -1;
    int firstId = 0;
    int count = 4;
    int period = 40;
    int firstFrame = 0, lastFrame = 100;
    Vec3 from, travel;
    std::uint16_t materialA = 0, materialB = 0; // alternate puffs
};
void addPuffs(Scene3ds& s, const PuffStream& p);

} // namespace scenes
