#pragma once
// A 3DS scene as the content code describes it: materials, meshes, lights, cameras, the
// ambient colour and the keyframer. Coordinates are in the file's own axes (z up); the writer
// turns the description into chunks without changing any value.
#include <cstdint>
#include <string>
#include <vector>

namespace scenes {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}

struct Colour {
    float r = 0, g = 0, b = 0;
};

enum Shading : std::uint16_t { FLAT = 1, GOURAUD = 2, PHONG = 3, METAL = 4 };

struct Material {
    std::string name;
    Shading shading = FLAT;
    bool twoSided = false;
    Colour ambient, diffuse{0.7f, 0.7f, 0.7f}, specular{0.9f, 0.9f, 0.9f};
    // Percentages, 0 to 100.
    int shininess = 20, shininessStrength = 30, transparency = 0, transparencyFalloff = 0,
        reflectionBlur = 0, selfIllumination = 0;
    std::string texture;    // file name in the texture folder, empty for none
    std::string reflection; // reflection map; with transparency it is read as transparency map
};

inline Material makeMaterial(std::string name, Shading shading, bool twoSided = false) {
    Material m;
    m.name = std::move(name);
    m.shading = shading;
    m.twoSided = twoSided;
    return m;
}

struct Face {
    std::uint16_t a = 0, b = 0, c = 0;
    std::uint16_t flags = 0x0007; // all three edges visible
    std::uint32_t smoothing = 1;  // smoothing group bits
    std::uint16_t material = 0;   // index into Scene3ds::materials
};

struct Mesh {
    std::string name;
    Vec3 origin;                // where the object's local frame sits in the world at rest
    std::vector<Vec3> vertices; // local to origin; written in world coordinates
    std::vector<float> u, v;    // mapping coordinates, one pair a vertex (or none at all)
    std::vector<Face> faces;
};

struct Light {
    std::string name;
    Vec3 position;
    Colour colour{1, 1, 1};
    float rangeStart = 0, rangeEnd = 0, multiplier = 1;
};

struct Camera {
    std::string name;
    Vec3 position, target;
    float roll = 0;  // degrees
    float lens = 50; // millimetres
};

// Spline parameters of a key.
struct Tcb {
    float tension = 0, continuity = 0, bias = 0, easeTo = 0, easeFrom = 0;
};

struct VecKey {
    int frame = 0;
    Vec3 value;
    Tcb tcb;
};
struct FloatKey {
    int frame = 0;
    float value = 0;
    Tcb tcb;
};
// A turn relative to the previous key (the first key's turn is from the identity).
struct RotKey {
    int frame = 0;
    float angle = 0; // radians
    Vec3 axis{0, 0, 1};
    Tcb tcb;
};

// Track flags of the file: 0 plays once, 2 repeats, 3 loops.
enum TrackMode : std::uint16_t { TRACK_ONCE = 0, TRACK_REPEAT = 2, TRACK_LOOP = 3 };

enum NodeKind : std::uint16_t {
    NODE_AMBIENT = 0xB001,
    NODE_OBJECT = 0xB002,
    NODE_CAMERA = 0xB003,
    NODE_TARGET = 0xB004,
    NODE_OMNI = 0xB005,
};

struct Node {
    NodeKind kind = NODE_OBJECT;
    std::string name; // the record it animates; a camera's target node carries the camera's
    int id = 0;
    int parent = -1;     // node id of the parent, -1 for none
    bool hidden = false; // the display-hidden flag of the node header
    Vec3 pivot;
    TrackMode mode = TRACK_ONCE; // for every track of the node
    std::vector<VecKey> position, scale, colour;
    std::vector<RotKey> rotation;
    std::vector<FloatKey> fov, roll;
    std::vector<int> hide; // frames at which the object toggles, hidden from the first on
};

struct Scene3ds {
    std::vector<Material> materials;
    std::vector<Mesh> meshes;
    std::vector<Light> lights;
    std::vector<Camera> cameras;
    Colour ambient;
    int startFrame = 0, endFrame = 100;
    std::vector<Node> nodes; // parents before their children
};

} // namespace scenes
