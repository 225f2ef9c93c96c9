// World pass of the 3DS reader: cameras, lights, objects with their meshes, materials.
#include <cstdlib>
#include <cstring>

#include "scene/chunks.h"
#include "scene/errors.h"
#include "scene/lists.h"
#include "scene/reader.h"
#include "scene/scene.h"

namespace scene {

namespace {

constexpr float BYTE_COLOR = 0.00392156862745098f;

Scene* target() {
    return libraryState.activeScene;
}

template <class T> T* current(int kind) {
    if (readerState.currentKind != kind) return nullptr;
    return static_cast<T*>(readerState.current);
}

bool read_vector(ChunkData& d, Vector* v) {
    float x, y, z;
    if (!d.f32(&x) || !d.f32(&y) || !d.f32(&z)) return false;
    *v = Vector{x, z, y}; // the library keeps y up
    return true;
}

// Appends a fresh record and makes it the current one; on failure the record is released.
int adopt(int kind, void* record) {
    if (!append_world_node(target(), kind, record)) {
        free_world_record(kind, record);
        return SCENE_ERR_NOMEM;
    }
    readerState.current = record;
    readerState.currentKind = kind;
    return SCENE_OK;
}

Vector* color_target() {
    switch (readerState.parentId) {
    case 0x4600: {
        Light* l = current<Light>(WORLD_LIGHT);
        return l ? &l->color : nullptr;
    }
    case 0xA010:
    case 0xA020:
    case 0xA030: {
        Material* m = current<Material>(WORLD_MATERIAL);
        if (!m) return nullptr;
        if (readerState.parentId == 0xA010) return &m->ambient;
        if (readerState.parentId == 0xA020) return &m->diffuse;
        return &m->specular;
    }
    default:
        return nullptr;
    }
}

int read_color_float(ChunkData& d) {
    Vector c;
    if (!d.f32(&c.x) || !d.f32(&c.y) || !d.f32(&c.z)) return SCENE_ERR_BADFILE;
    if (Vector* t = color_target()) *t = c;
    return SCENE_OK;
}

int read_color_byte(ChunkData& d) {
    std::uint8_t r, g, b;
    if (!d.u8(&r) || !d.u8(&g) || !d.u8(&b)) return SCENE_ERR_BADFILE;
    if (Vector* t = color_target()) *t = Vector{r * BYTE_COLOR, g * BYTE_COLOR, b * BYTE_COLOR};
    return SCENE_OK;
}

int read_percent(ChunkData& d) {
    std::uint16_t raw;
    if (!d.u16(&raw)) return SCENE_ERR_BADFILE;
    Material* m = current<Material>(WORLD_MATERIAL);
    if (!m) return SCENE_OK;
    float value = raw * 0.01f;
    switch (readerState.parentId) {
    case 0xA040:
        m->shininess = value;
        break;
    case 0xA041:
        m->shininessStrength = value;
        break;
    case 0xA050:
        m->transparency = value;
        break;
    case 0xA052:
        m->transparencyFalloff = value;
        break;
    case 0xA053:
        m->reflectionBlur = value;
        break;
    case 0xA084:
        m->selfIllumination = value;
        break;
    default:
        break;
    }
    return SCENE_OK;
}

int read_named_object(ChunkData& d) {
    return read_name(d) ? SCENE_OK : SCENE_ERR_BADFILE;
}

int read_triangle_mesh(ChunkData&) {
    auto* o = static_cast<Object*>(std::calloc(1, sizeof(Object)));
    if (!o) return SCENE_ERR_NOMEM;
    o->name = copy_string(readerState.name);
    if (!o->name) {
        std::free(o);
        return SCENE_ERR_NOMEM;
    }
    o->id = readerState.idCounter++;
    o->parentId = -1;
    return adopt(WORLD_OBJECT, o);
}

int read_vertices(ChunkData& d) {
    Object* o = current<Object>(WORLD_OBJECT);
    std::uint16_t count;
    // A second vertex list would strand the faces' vertex pointers.
    if (!o || o->vertices || !d.u16(&count)) return SCENE_ERR_BADFILE;
    if (d.left() < std::size_t(count) * 12) return SCENE_ERR_BADFILE;
    if (count == 0) return SCENE_OK;
    o->vertices = static_cast<Vertex*>(std::calloc(count, sizeof(Vertex)));
    if (!o->vertices) return SCENE_ERR_NOMEM;
    o->vertexCount = count;
    for (int i = 0; i < count; ++i) read_vector(d, &o->vertices[i].position);
    return SCENE_OK;
}

int read_faces(ChunkData& d) {
    Object* o = current<Object>(WORLD_OBJECT);
    std::uint16_t count;
    if (!o || o->faces || !d.u16(&count)) return SCENE_ERR_BADFILE;
    if (d.left() < std::size_t(count) * 8) return SCENE_ERR_BADFILE;
    if (count == 0) return SCENE_OK;
    o->faces = static_cast<Face*>(std::calloc(count, sizeof(Face)));
    if (!o->faces) return SCENE_ERR_NOMEM;
    o->faceCount = count;
    for (int i = 0; i < count; ++i) {
        std::uint16_t a = 0, b = 0, c = 0, flags = 0;
        d.u16(&a);
        d.u16(&b);
        d.u16(&c);
        d.u16(&flags);
        // Faces must name vertices of their own object: the engine follows these pointers.
        if (a >= o->vertexCount || b >= o->vertexCount || c >= o->vertexCount)
            return SCENE_ERR_BADFILE;
        Face& f = o->faces[i];
        f.a = a;
        f.b = b;
        f.c = c;
        f.va = &o->vertices[a];
        f.vb = &o->vertices[b];
        f.vc = &o->vertices[c];
        if (flags & 0x0008) f.flags |= FACE_WRAP_U;
        if (flags & 0x0010) f.flags |= FACE_WRAP_V;
    }
    return SCENE_OK;
}

int read_face_materials(ChunkData& d) {
    Object* o = current<Object>(WORLD_OBJECT);
    std::uint16_t count;
    if (!o || !read_name(d) || !d.u16(&count)) return SCENE_ERR_BADFILE;
    WorldNode* node = find_world_name(target(), readerState.name, WORLD_MATERIAL);
    if (!node) return SCENE_ERR_UNDEFINED;
    auto* m = static_cast<Material*>(node->record);
    if (d.left() < std::size_t(count) * 2) return SCENE_ERR_BADFILE;
    for (int i = 0; i < count; ++i) {
        std::uint16_t index = 0;
        d.u16(&index);
        if (index >= o->faceCount) return SCENE_ERR_BADFILE;
        o->faces[index].materialId = m->id;
        o->faces[index].material = m;
    }
    return SCENE_OK;
}

int read_mapping(ChunkData& d) {
    Object* o = current<Object>(WORLD_OBJECT);
    std::uint16_t count;
    if (!o || !d.u16(&count)) return SCENE_ERR_BADFILE;
    // Pairs beyond the object's vertices have nowhere to go and are left unread.
    int n = count < o->vertexCount ? count : o->vertexCount;
    if (d.left() < std::size_t(n) * 8) return SCENE_ERR_BADFILE;
    for (int i = 0; i < n; ++i) {
        d.f32(&o->vertices[i].u);
        d.f32(&o->vertices[i].v);
    }
    return SCENE_OK;
}

int read_mesh_matrix(ChunkData& d) {
    Object* o = current<Object>(WORLD_OBJECT);
    if (!o || d.left() < 48) return SCENE_ERR_BADFILE;
    float a[9] = {};
    for (float& f : a) d.f32(&f);
    Vector origin{};
    read_vector(d, &origin);
    // Rows are the file's axes with columns and then rows 2 and 3 exchanged.
    Matrix m{a[0], a[2], a[1], 0, a[6], a[8], a[7], 0, a[3], a[5], a[4], 0};
    Matrix inv;
    mat_inverse(&m, &inv);
    for (int i = 0; i < o->vertexCount; ++i) {
        Vector p;
        vec_sub(&o->vertices[i].position, &origin, &p);
        mat_transform(&inv, &p, &o->vertices[i].position);
    }
    return SCENE_OK;
}

int read_light(ChunkData& d) {
    auto* l = static_cast<Light*>(std::calloc(1, sizeof(Light)));
    if (!l) return SCENE_ERR_NOMEM;
    if (!read_vector(d, &l->position)) {
        std::free(l);
        return SCENE_ERR_BADFILE;
    }
    l->name = copy_string(readerState.name);
    if (!l->name) {
        std::free(l);
        return SCENE_ERR_NOMEM;
    }
    l->kind = LIGHT_OMNI;
    l->id = readerState.idCounter++;
    return adopt(WORLD_LIGHT, l);
}

int read_spot(ChunkData& d) {
    Light* l = current<Light>(WORLD_LIGHT);
    if (!l || d.left() < 20) return SCENE_ERR_BADFILE;
    read_vector(d, &l->target);
    d.f32(&l->hotspot);
    d.f32(&l->falloff);
    l->kind = LIGHT_SPOT;
    l->roll = 0;
    return SCENE_OK;
}

int read_range_start(ChunkData& d) {
    Light* l = current<Light>(WORLD_LIGHT);
    if (!l || !d.f32(&l->rangeStart)) return SCENE_ERR_BADFILE;
    return SCENE_OK;
}

int read_range_end(ChunkData& d) {
    Light* l = current<Light>(WORLD_LIGHT);
    if (!l || !d.f32(&l->rangeEnd)) return SCENE_ERR_BADFILE;
    return SCENE_OK;
}

int read_camera(ChunkData& d) {
    if (d.left() < 32) return SCENE_ERR_BADFILE;
    auto* c = static_cast<Camera*>(std::calloc(1, sizeof(Camera)));
    if (!c) return SCENE_ERR_NOMEM;
    float lens = 0;
    read_vector(d, &c->position);
    read_vector(d, &c->target);
    d.f32(&c->roll);
    d.f32(&lens);
    c->name = copy_string(readerState.name);
    if (!c->name) {
        std::free(c);
        return SCENE_ERR_NOMEM;
    }
    c->id = readerState.idCounter++;
    c->fov = lens_to_fov(lens);
    return adopt(WORLD_CAMERA, c);
}

int read_material(ChunkData&) {
    auto* m = static_cast<Material*>(std::calloc(1, sizeof(Material)));
    if (!m) return SCENE_ERR_NOMEM;
    m->id = readerState.idCounter++;
    return adopt(WORLD_MATERIAL, m);
}

// Replaces an owned string with a copy of the name buffer.
int set_name(char** slot) {
    char* copy = copy_string(readerState.name);
    if (!copy) return SCENE_ERR_NOMEM;
    std::free(*slot);
    *slot = copy;
    return SCENE_OK;
}

int read_material_name(ChunkData& d) {
    Material* m = current<Material>(WORLD_MATERIAL);
    if (!m || !read_name(d)) return SCENE_ERR_BADFILE;
    return set_name(&m->name);
}

int set_material_flag(int flag) {
    Material* m = current<Material>(WORLD_MATERIAL);
    if (!m) return SCENE_ERR_BADFILE;
    m->flags |= flag;
    return SCENE_OK;
}
int read_twosided(ChunkData&) {
    return set_material_flag(MATERIAL_TWOSIDED);
}
int read_additive(ChunkData&) {
    return set_material_flag(MATERIAL_TRANSPARENCY_ADD);
}
int read_wireframe(ChunkData&) {
    return set_material_flag(MATERIAL_WIREFRAME);
}
int read_soften(ChunkData&) {
    return set_material_flag(MATERIAL_SOFTEN);
}

int read_shading(ChunkData& d) {
    Material* m = current<Material>(WORLD_MATERIAL);
    std::uint16_t shading;
    if (!m || !d.u16(&shading)) return SCENE_ERR_BADFILE;
    m->shading = shading;
    return SCENE_OK;
}

MapInfo* map_target() {
    Material* m = current<Material>(WORLD_MATERIAL);
    if (!m) return nullptr;
    switch (readerState.parentId) {
    case 0xA200:
        return &m->texture;
    case 0xA230:
        return &m->bump;
    case 0xA220:
        return &m->reflection;
    default:
        return nullptr;
    }
}

int read_map_file(ChunkData& d) {
    if (!read_name(d)) return SCENE_ERR_BADFILE;
    MapInfo* map = map_target();
    return map ? set_name(&map->fileName) : SCENE_OK;
}

int read_map_flags(ChunkData& d) {
    std::uint16_t flags;
    if (!d.u16(&flags)) return SCENE_ERR_BADFILE;
    if (MapInfo* map = map_target()) map->flags = flags;
    return SCENE_OK;
}

template <float MapInfo::*Field> int read_map_float(ChunkData& d) {
    float value;
    if (!d.f32(&value)) return SCENE_ERR_BADFILE;
    if (MapInfo* map = map_target()) map->*Field = value;
    return SCENE_OK;
}

const ChunkEntry worldEntries[] = {
    {0x0010, false, read_color_float},
    {0x0011, false, read_color_byte},
    {0x0030, false, read_percent},
    {0xC23D, true, nullptr},
    {0x3DAA, true, nullptr},
    {0x4D4D, true, nullptr},
    {0x3D3D, true, nullptr},
    {0x1200, true, nullptr},
    {0x2100, true, nullptr},
    {0x4000, true, read_named_object},
    {0x4100, true, read_triangle_mesh},
    {0x4110, false, read_vertices},
    {0x4111, false, nullptr},
    {0x4120, true, read_faces},
    {0x4165, false, nullptr},
    {0x4130, false, read_face_materials},
    {0x4140, false, read_mapping},
    {0x4170, false, nullptr},
    {0x4150, false, nullptr},
    {0x4160, false, read_mesh_matrix},
    {0x4600, true, read_light},
    {0x4610, false, read_spot},
    {0x4659, false, read_range_start},
    {0x465A, false, read_range_end},
    {0x4700, false, read_camera},
    {0x4F00, true, nullptr},
    {0x7001, false, nullptr},
    {0xAFFF, true, read_material},
    {0xA000, false, read_material_name},
    {0xA010, true, nullptr},
    {0xA020, true, nullptr},
    {0xA030, true, nullptr},
    {0xA200, true, nullptr},
    {0xA230, true, nullptr},
    {0xA220, true, nullptr},
    {0xA300, false, read_map_file},
    {0xA351, false, read_map_flags},
    {0xA354, false, read_map_float<&MapInfo::uScale>},
    {0xA356, false, read_map_float<&MapInfo::vScale>},
    {0xA358, false, read_map_float<&MapInfo::uOffset>},
    {0xA35A, false, read_map_float<&MapInfo::vOffset>},
    {0xA35C, false, read_map_float<&MapInfo::rotation>},
    {0xA040, true, nullptr},
    {0xA041, true, nullptr},
    {0xA050, true, nullptr},
    {0xA052, true, nullptr},
    {0xA053, true, nullptr},
    {0xA084, true, nullptr},
    {0xA081, false, read_twosided},
    {0xA083, false, read_additive},
    {0xA085, false, read_wireframe},
    {0xA08C, false, read_soften},
    {0xA100, false, read_shading},
};

} // namespace

float lens_to_fov(float lens) {
    static const float table[9][2] = {{15, 115},       {20, 94.28571f}, {24, 84},
                                      {28, 76.36364f}, {35, 63},        {50, 46},
                                      {85, 28},        {135, 18},       {200, 12}};
    for (const auto& row : table) {
        if (row[0] == lens) return row[1];
    }
    return 15.0f / lens * 160.0f;
}

int read3ds_world(std::FILE* file) {
    readerState = ReaderState{};
    readerState.idCounter = 0;
    FileImage image;
    int r = load_file_image(file, &image);
    if (r != SCENE_OK) return r;
    static const ChunkTable table{worldEntries, sizeof worldEntries / sizeof worldEntries[0]};
    r = walk_chunks(table, image.bytes, 0, image.size, 0);
    readerState.current = nullptr;
    readerState.currentKind = 0;
    return r;
}

} // namespace scene
