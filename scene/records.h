#pragma once
// The records of a loaded scene: the world list (cameras, lights, objects, materials, the
// ambient light) and the keyframer list (animation nodes with their tracks of keys). The scene
// library owns every record; the 3D engine reads them and keeps its own fields in the room
// marked for it below.
#include <cstdint>

#include "scene/math.h"

namespace scene {

// World node kinds.
enum : int {
    WORLD_CAMERA = 1,
    WORLD_LIGHT = 2,
    WORLD_OBJECT = 4,
    WORLD_MATERIAL = 8,
    WORLD_AMBIENT = 16,
};

// Keyframer node kinds.
enum : int {
    KEY_CAMERA = 1,
    KEY_CAMERA_TARGET = 2,
    KEY_OMNI_LIGHT = 4,
    KEY_SPOT_LIGHT = 8,
    KEY_LIGHT_TARGET = 16,
    KEY_OBJECT = 32,
    KEY_AMBIENT = 64,
};

// Track types; each node kind holds the types it animates in fixed slots (1 to 5).
enum : int {
    TRACK_POSITION = 1,
    TRACK_ROTATION = 2,
    TRACK_SCALE = 3,
    TRACK_FOV = 4,
    TRACK_ROLL = 5,
    TRACK_COLOR = 6,
    TRACK_MORPH = 7,
    TRACK_HIDE = 8,
};

enum : int { TRACK_MODE_NONE = 0, TRACK_MODE_REPEAT = 1, TRACK_MODE_LOOP = 2 };

enum : int {
    OBJECT_HIDDEN = 1,
    OBJECT_DISPLAY_HIDDEN = 2,
    OBJECT_DUMMY = 4,
    OBJECT_MORPH = 8,
};

enum : int { FACE_WRAP_U = 1, FACE_WRAP_V = 2 };

enum : int {
    MATERIAL_TWOSIDED = 1,
    MATERIAL_SOFTEN = 2,
    MATERIAL_WIREFRAME = 4,
    MATERIAL_TRANSPARENCY_ADD = 8,
};

enum : int { LIGHT_OMNI = 1, LIGHT_SPOT = 2 };

struct Material;

struct Camera {
    char* name;
    int id;
    int parentId;
    int targetParentId;
    Vector position;
    Vector target;
    float fov;  // degrees
    float roll; // degrees
    float sizeX, sizeY, aspect;
    float perspX, perspY;
    Matrix matrix; // world to camera
};

struct Light {
    char* name;
    int id;
    int parentId;
    int targetParentId;
    int kind;
    Vector position;
    Vector target;
    float roll;
    float hotspot;
    float falloff;
    float rangeStart;
    float rangeEnd;
    Vector color;
    // Engine fields.
    float sx, sy;
    int flareVisible;
    float depth;
    float flareWidth, flareHeight;
    int flareWidthInt, flareHeightInt;
};

struct Vertex {
    Vector position;    // object space
    Vector transformed; // camera space after an update
    Vector normal;
    Vector transformedNormal; // world space
    float u, v;
    // Engine fields.
    float sx, sy;
    int visible;
    float vertexLight;
    // The computed light of the frame `lightFrame`, kept for the vertex's other faces.
    float frameLight;
    std::uint32_t lightFrame;
};

struct Face {
    int a, b, c;
    int flags;
    int materialId;
    Vertex* va;
    Vertex* vb;
    Vertex* vc;
    Material* material;
    Vector normal;
    Vector transformedNormal;
    // Engine field.
    std::uint32_t engineWord;
};

struct Object {
    char* name;
    int id;
    int parentId;
    int vertexCount;
    int faceCount;
    int flags;
    Vertex* vertices;
    Face* faces;
    Vector pivot;
    Vector position;
    Vector scale;
    Vector boxMin, boxMax;   // object space
    Vector tboxMin, tboxMax; // world space
    Quaternion rotation;
    int morphFrom;
    int morphTo;
    float morphAlpha;
    Matrix matrix; // object to world
};

struct MapInfo {
    char* fileName;
    int flags;
    float uScale, vScale;
    float uOffset, vOffset;
    float rotation;
    // Engine fields (used on the texture map).
    std::uint8_t* texturePixels;
    int textureWidth, textureHeight, textureDepth;
    int animated;
    int lastFrame;
    int currentFrame;
    float frameOffsetU, frameOffsetV;
    std::uint8_t* firstSlot;
};

struct Material {
    char* name;
    int id;
    int shading; // 1 flat, 2 gouraud, 3 phong, 4 metal, 0 none given
    int flags;
    Vector ambient, diffuse, specular;
    float shininess, shininessStrength;
    float transparency, transparencyFalloff;
    float reflectionBlur, selfIllumination;
    MapInfo texture, bump, reflection;
    // Engine fields.
    int transparencyClass;
    std::uint32_t opacityWeights;
    std::uint32_t transparencyWeights;
};

struct Ambient {
    char* name;
    int id;
    Vector color;
};

struct Key {
    float frame;
    float tension, bias, continuity, easeTo, easeFrom;
    float value[4];
    float incoming[4]; // tangents of value tracks
    float outgoing[4];
    Quaternion innerIn; // inner quaternions of rotation tracks
    Quaternion innerOut;
    Quaternion orientation; // absolute orientation at a rotation key
    Key* next;
    Key* prev;
};

struct Track {
    int mode;
    int keyCount;
    float length;
    Key* first;
    Key* last;   // the tail, where the next key goes
    Key* cursor; // the start key of the segment last evaluated, where the next search begins
};

struct WorldNode {
    int kind;
    void* record;
    WorldNode* next;
    WorldNode* prev;
};

enum { TRACK_SLOTS = 5 };

struct KeyNode {
    int kind;
    int id;
    int parentId;
    Track* tracks[TRACK_SLOTS]; // slot n at index n - 1
    void* record;
    KeyNode* parent;
    KeyNode* firstChild;
    KeyNode* nextSibling;
    KeyNode* next;
    KeyNode* prev;
};

struct Scene {
    float startFrame, endFrame, currentFrame;
    WorldNode* worldFirst;
    WorldNode* worldLast;
    KeyNode* keyFirst;
    KeyNode* keyLast;
    // Engine fields.
    void* textureBuffer;
    MapInfo** animatedTable;
    int animatedCount;
    void* faceSortTable;
    std::uint8_t* textureBase;
};

// Releases one record with everything it owns; null does nothing. The engine's optimizer uses
// these for records it drops from the world.
void free_object(Object* o);
void free_material(Material* m);
void free_camera(Camera* c);
void free_light(Light* l);
void free_ambient(Ambient* a);
void free_track(Track* t);
// Releases the record of a world node according to its kind (kind 0 holds none).
void free_world_record(int kind, void* record);

// The record's name whatever its kind, or null for kind 0 and unknown kinds.
const char* record_name(int kind, const void* record);
int record_id(int kind, const void* record);

} // namespace scene
