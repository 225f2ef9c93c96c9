// Motion pass of the 3DS reader: the keyframer nodes with their tracks of keys.
#include <cstdlib>
#include <cstring>
#include <utility>

#include "scene/chunks.h"
#include "scene/errors.h"
#include "scene/lists.h"
#include "scene/reader.h"
#include "scene/scene.h"
#include "scene/track.h"

namespace scene {

namespace {

Scene* target() {
    return libraryState.activeScene;
}

bool read_vector(ChunkData& d, float* v) {
    float x, y, z;
    if (!d.f32(&x) || !d.f32(&y) || !d.f32(&z)) return false;
    v[0] = x;
    v[1] = z;
    v[2] = y;
    return true;
}

int read_frames(ChunkData& d) {
    std::uint32_t start, end;
    if (!d.u32(&start) || !d.u32(&end)) return SCENE_ERR_BADFILE;
    target()->startFrame = static_cast<float>(start);
    target()->endFrame = static_cast<float>(end);
    return SCENE_OK;
}

int read_node_id(ChunkData& d) {
    std::uint16_t id;
    if (!d.u16(&id)) return SCENE_ERR_BADFILE;
    readerState.idCounter = id;
    return SCENE_OK;
}

int node_kind_of_chunk(std::uint16_t id) {
    switch (id) {
    case 0xB001:
        return KEY_AMBIENT;
    case 0xB002:
        return KEY_OBJECT;
    case 0xB003:
        return KEY_CAMERA;
    case 0xB004:
        return KEY_CAMERA_TARGET;
    case 0xB005:
        return KEY_OMNI_LIGHT;
    case 0xB006:
        return KEY_LIGHT_TARGET;
    case 0xB007:
        return KEY_SPOT_LIGHT;
    default:
        return 0;
    }
}

// Creates the record that a node header names itself ($AMBIENT$, $$$DUMMY).
int create_node_record(int worldKind, int nodeId, void** record) {
    char* name = copy_string(readerState.name);
    if (!name) return SCENE_ERR_NOMEM;
    if (worldKind == WORLD_AMBIENT) {
        auto* a = static_cast<Ambient*>(std::calloc(1, sizeof(Ambient)));
        if (!a) {
            std::free(name);
            return SCENE_ERR_NOMEM;
        }
        a->name = name;
        a->id = nodeId + 1024;
        *record = a;
    } else {
        auto* o = static_cast<Object*>(std::calloc(1, sizeof(Object)));
        if (!o) {
            std::free(name);
            return SCENE_ERR_NOMEM;
        }
        o->name = name;
        o->id = nodeId + 1024;
        o->parentId = -1;
        o->flags = OBJECT_DUMMY;
        *record = o;
    }
    if (!append_world_node(target(), worldKind, *record)) {
        free_world_record(worldKind, *record);
        return SCENE_ERR_NOMEM;
    }
    return SCENE_OK;
}

// The world record a node header names: the ambient light and dummy objects are made for
// their nodes; every other name must be a record of the node's own kind already in the world.
int node_record(int kind, int nodeId, void** record) {
    const char* name = readerState.name;
    const int worldKind = world_kind_of(kind);
    const bool ambientName = std::strcmp(name, "$AMBIENT$") == 0;
    const bool dummyName = std::strcmp(name, "$$$DUMMY") == 0;
    if (ambientName || dummyName) {
        // These records are made here, and only a node of their own kind may make them.
        if ((ambientName && kind != KEY_AMBIENT) || (dummyName && kind != KEY_OBJECT))
            return SCENE_ERR_BADFILE;
        return create_node_record(worldKind, nodeId, record);
    }
    const char* lookup = std::strcmp(name, "Cam.target") == 0 ? "Cam" : name;
    // Only a record of the node's own kind will do: a material that shares an object's name
    // must not be animated as that object.
    WorldNode* found = find_world_name(target(), lookup, worldKind);
    if (!found) return SCENE_ERR_UNDEFINED;
    *record = found->record;
    return SCENE_OK;
}

// Hands the parent's record id to the node's record, in the field its kind keeps it in.
void link_record_to_parent(int kind, void* record, int parentRecordId, std::uint16_t flags1) {
    switch (kind) {
    case KEY_OBJECT: {
        auto* o = static_cast<Object*>(record);
        o->parentId = parentRecordId;
        if (flags1 & 0x0800) o->flags |= OBJECT_DISPLAY_HIDDEN;
        readerState.current = o;
        readerState.currentKind = WORLD_OBJECT;
        break;
    }
    case KEY_CAMERA:
        static_cast<Camera*>(record)->parentId = parentRecordId;
        break;
    case KEY_CAMERA_TARGET:
        static_cast<Camera*>(record)->targetParentId = parentRecordId;
        break;
    case KEY_OMNI_LIGHT:
    case KEY_SPOT_LIGHT:
        static_cast<Light*>(record)->parentId = parentRecordId;
        break;
    case KEY_LIGHT_TARGET:
        static_cast<Light*>(record)->targetParentId = parentRecordId;
        break;
    default:
        break;
    }
}

int read_node_header(ChunkData& d) {
    if (readerState.previousId != 0xB030) ++readerState.idCounter;
    int nodeId = readerState.idCounter;
    if (!read_name(d)) return SCENE_ERR_BADFILE;
    // A header outside a node chunk has no kind to give its node.
    int kind = node_kind_of_chunk(readerState.parentId);
    if (kind == 0) return SCENE_ERR_BADFILE;
    std::uint16_t flags1 = 0, flags2 = 0, parentRaw = 0;
    if (d.left() < 6) return SCENE_ERR_BADFILE;
    d.u16(&flags1);
    d.u16(&flags2);
    d.u16(&parentRaw);

    void* record = nullptr;
    int r = node_record(kind, nodeId, &record);
    if (r != SCENE_OK) return r;

    int parentId = static_cast<std::int16_t>(parentRaw);
    KeyNode* parent = nullptr;
    int parentRecordId = -1;
    if (parentId != -1) {
        // Only nodes read before this one can be parents, so no node becomes its own
        // ancestor.
        parent = find_key_node(target(), parentId);
        if (parent) parentRecordId = record_id(world_kind_of(parent->kind), parent->record);
    }

    auto* node = static_cast<KeyNode*>(std::calloc(1, sizeof(KeyNode)));
    if (!node) return SCENE_ERR_NOMEM;
    node->kind = kind;
    node->id = nodeId;
    node->parentId = parentId;
    node->record = record;
    if (parent) {
        node->parent = parent;
        node->nextSibling = parent->firstChild;
        parent->firstChild = node;
    }
    append_key_node(target(), node);
    link_record_to_parent(kind, record, parentRecordId, flags1);
    return SCENE_OK;
}

int read_instance_name(ChunkData& d) {
    if (!read_name(d)) return SCENE_ERR_BADFILE;
    if (!readerState.current) return SCENE_OK;
    char* copy = copy_string(readerState.name);
    if (!copy) return SCENE_ERR_NOMEM;
    char** slot = nullptr;
    switch (readerState.currentKind) {
    case WORLD_OBJECT:
        slot = &static_cast<Object*>(readerState.current)->name;
        break;
    case WORLD_AMBIENT:
        slot = &static_cast<Ambient*>(readerState.current)->name;
        break;
    default:
        break;
    }
    if (!slot) {
        std::free(copy);
        return SCENE_OK;
    }
    std::free(*slot);
    *slot = copy;
    return SCENE_OK;
}

int read_pivot(ChunkData& d) {
    float p[3];
    if (!read_vector(d, p)) return SCENE_ERR_BADFILE;
    if (readerState.currentKind != WORLD_OBJECT) return SCENE_ERR_BADFILE;
    auto* o = static_cast<Object*>(readerState.current);
    Vector pivot{p[0], p[1], p[2]};
    o->pivot = pivot;
    for (int i = 0; i < o->vertexCount; ++i)
        vec_sub(&o->vertices[i].position, &pivot, &o->vertices[i].position);
    // The box was taken from the vertices at load and moves with them.
    if (o->vertexCount > 0) {
        vec_sub(&o->boxMin, &pivot, &o->boxMin);
        vec_sub(&o->boxMax, &pivot, &o->boxMax);
    }
    return SCENE_OK;
}

// Bytes a key of each track type needs at the least: header and value.
std::size_t min_key_bytes(int type) {
    switch (type) {
    case TRACK_POSITION:
    case TRACK_SCALE:
    case TRACK_COLOR:
        return 6 + 12;
    case TRACK_ROTATION:
        return 6 + 16;
    case TRACK_FOV:
    case TRACK_ROLL:
        return 6 + 4;
    case TRACK_MORPH:
        return 6 + 1;
    default:
        return 6;
    }
}

int read_key_header(ChunkData& d, Key* key, int* frame) {
    std::uint32_t rawFrame;
    std::uint16_t flags;
    if (!d.u32(&rawFrame) || !d.u16(&flags)) return SCENE_ERR_BADFILE;
    *frame = static_cast<int>(rawFrame & 0xFFFF);
    for (int bit = 0; bit < 16; ++bit) {
        if (!(flags & (1u << bit))) continue;
        float value;
        if (!d.f32(&value)) return SCENE_ERR_BADFILE;
        switch (bit) {
        case 0:
            key->tension = value;
            break;
        case 1:
            key->continuity = value;
            break;
        case 2:
            key->bias = value;
            break;
        case 3:
            key->easeTo = value;
            break;
        case 4:
            key->easeFrom = value;
            break;
        default:
            break;
        }
    }
    return SCENE_OK;
}

int read_key_value(ChunkData& d, int type, Key* key, Key* previous, int index) {
    switch (type) {
    case TRACK_POSITION:
    case TRACK_SCALE:
        return read_vector(d, key->value) ? SCENE_OK : SCENE_ERR_BADFILE;
    case TRACK_COLOR:
        return d.f32(&key->value[0]) && d.f32(&key->value[1]) && d.f32(&key->value[2])
                   ? SCENE_OK
                   : SCENE_ERR_BADFILE;
    case TRACK_FOV:
    case TRACK_ROLL:
        return d.f32(&key->value[0]) ? SCENE_OK : SCENE_ERR_BADFILE;
    case TRACK_ROTATION: {
        float angle, x, y, z;
        if (!d.f32(&angle) || !d.f32(&x) || !d.f32(&y) || !d.f32(&z)) return SCENE_ERR_BADFILE;
        Quaternion relative;
        quat_from_angle_axis(angle, x, y, z, &relative);
        std::swap(relative.y, relative.z);
        Quaternion before;
        if (previous)
            before = previous->orientation;
        else
            quat_identity(&before);
        quat_mul(&relative, &before, &key->orientation);
        key->value[0] = previous ? previous->value[0] + angle : angle;
        key->value[1] = x;
        key->value[2] = z;
        key->value[3] = y;
        return SCENE_OK;
    }
    case TRACK_MORPH: {
        if (!read_name(d)) return SCENE_ERR_BADFILE;
        WorldNode* found = find_world_name(target(), readerState.name, WORLD_OBJECT);
        if (!found) return SCENE_ERR_UNDEFINED;
        key->value[0] = static_cast<float>(static_cast<Object*>(found->record)->id);
        return SCENE_OK;
    }
    case TRACK_HIDE:
        key->value[0] = (index & 1) ? 0.0f : 1.0f;
        return SCENE_OK;
    default:
        return SCENE_ERR_BADFILE;
    }
}

int read_track(ChunkData& d, int type) {
    std::uint16_t flags;
    std::uint32_t rawCount;
    if (!d.u16(&flags) || !d.skip(8) || !d.u32(&rawCount)) return SCENE_ERR_BADFILE;
    int count = static_cast<int>(rawCount & 0xFFFF);
    // A count the chunk cannot hold is refused before anything is allocated.
    if (std::size_t(count) * min_key_bytes(type) > d.left()) return SCENE_ERR_BADFILE;

    auto* track = static_cast<Track*>(std::calloc(1, sizeof(Track)));
    if (!track) return SCENE_ERR_NOMEM;
    if ((flags & 0x0003) == 3)
        track->mode = TRACK_MODE_LOOP;
    else if (flags & 0x0002)
        track->mode = TRACK_MODE_REPEAT;

    for (int i = 0; i < count; ++i) {
        auto* key = static_cast<Key*>(std::calloc(1, sizeof(Key)));
        if (!key) {
            free_track(track);
            return SCENE_ERR_NOMEM;
        }
        int frame = 0;
        int r;
        if (type == TRACK_HIDE) {
            std::uint32_t rawFrame;
            r = d.u32(&rawFrame) && d.skip(2) ? SCENE_OK : SCENE_ERR_BADFILE;
            frame = static_cast<int>(rawFrame & 0xFFFF);
        } else {
            r = read_key_header(d, key, &frame);
        }
        if (r == SCENE_OK) r = read_key_value(d, type, key, track->last, i);
        if (r != SCENE_OK) {
            std::free(key);
            free_track(track);
            return r;
        }
        track_add_key(track, key, frame);
    }

    switch (type) {
    case TRACK_ROTATION:
        spline_init_rotation(track);
        break;
    case TRACK_MORPH:
    case TRACK_HIDE:
        break;
    default:
        spline_init(track);
        break;
    }

    KeyNode* node = find_key_node(target(), readerState.idCounter);
    if (!node) {
        free_track(track);
        return SCENE_ERR_UNDEFINED;
    }
    int slot = track_slot(node->kind, type);
    if (slot == 0) {
        free_track(track);
        return SCENE_OK;
    }
    // A repeated track replaces the earlier one.
    free_track(node->tracks[slot - 1]);
    node->tracks[slot - 1] = track;
    return SCENE_OK;
}

int read_position(ChunkData& d) {
    return read_track(d, TRACK_POSITION);
}
int read_rotation(ChunkData& d) {
    return read_track(d, TRACK_ROTATION);
}
int read_scale(ChunkData& d) {
    return read_track(d, TRACK_SCALE);
}
int read_fov(ChunkData& d) {
    return read_track(d, TRACK_FOV);
}
int read_roll(ChunkData& d) {
    return read_track(d, TRACK_ROLL);
}
int read_color(ChunkData& d) {
    return read_track(d, TRACK_COLOR);
}
int read_morph(ChunkData& d) {
    return read_track(d, TRACK_MORPH);
}
int read_hide(ChunkData& d) {
    return read_track(d, TRACK_HIDE);
}

const ChunkEntry motionEntries[] = {
    {0x4D4D, true, nullptr},
    {0xB000, true, nullptr},
    {0xB001, true, nullptr},
    {0xB002, true, nullptr},
    {0xB008, false, read_frames},
    {0xB010, false, read_node_header},
    {0xB011, false, read_instance_name},
    {0xB013, false, read_pivot},
    {0xB020, false, read_position},
    {0xB025, false, read_color},
    {0xB021, false, read_rotation},
    {0xB022, false, read_scale},
    {0xB026, false, read_morph},
    {0xB029, false, read_hide},
    {0xB030, false, read_node_id},
    {0xB003, true, nullptr},
    {0xB004, true, nullptr},
    {0xB005, true, nullptr},
    {0xB006, true, nullptr},
    {0xB007, true, nullptr},
    {0xB023, false, read_fov},
    {0xB024, false, read_roll},
};

} // namespace

int read3ds_motion(std::FILE* file) {
    readerState = ReaderState{};
    readerState.idCounter = -1;
    FileImage image;
    int r = load_file_image(file, &image);
    if (r != SCENE_OK) return r;
    static const ChunkTable table{motionEntries, sizeof motionEntries / sizeof motionEntries[0]};
    r = walk_chunks(table, image.bytes, 0, image.size, 0);
    readerState.current = nullptr;
    readerState.currentKind = 0;
    return r;
}

const SceneDriver sceneDrivers[] = {
    {"3DS", read3ds_world, read3ds_motion, nullptr},
};
const int sceneDriverCount = 1;

} // namespace scene
