// scenedump FILE [FRAME...]: prints what the scene library reads from a 3DS file (the world
// and the keyframer) and, at each frame given, the evaluated camera and object matrices, with
// the options the intro uses.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scene/scene.h"
#include "tools/help_version.h"

using namespace scene;

namespace {

const char* const HELP =
    "Usage: scenedump FILE [FRAME...]\n"
    "Prints what the scene library reads from the 3DS file FILE, with the options the intro\n"
    "uses: materials, lights, cameras and objects of the world, the keyframer's tracks, and at\n"
    "each FRAME given the evaluated camera and object matrices.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

const char* str(const char* s) {
    return s ? s : "(none)";
}

void print_vec(const char* label, const Vector& v) {
    std::printf(" %s (%g, %g, %g)", label, v.x, v.y, v.z);
}

void print_map(const char* label, const MapInfo& m) {
    if (!m.fileName && m.flags == 0 && m.uScale == 0 && m.vScale == 0) return;
    std::printf("    %s \"%s\" flags 0x%04x scale (%g, %g) offset (%g, %g) rotation %g\n", label,
                str(m.fileName), m.flags, m.uScale, m.vScale, m.uOffset, m.vOffset, m.rotation);
}

void print_world(const Scene* s) {
    std::printf("world\n");
    for (const WorldNode* n = s->worldFirst; n; n = n->next) {
        switch (n->kind) {
        case WORLD_MATERIAL: {
            auto* m = static_cast<const Material*>(n->record);
            std::printf("  material \"%s\" id %d shading %d flags 0x%x", str(m->name), m->id,
                        m->shading, m->flags);
            print_vec("ambient", m->ambient);
            print_vec("diffuse", m->diffuse);
            print_vec("specular", m->specular);
            std::printf(" shininess %g strength %g transparency %g falloff %g blur %g self %g\n",
                        m->shininess, m->shininessStrength, m->transparency, m->transparencyFalloff,
                        m->reflectionBlur, m->selfIllumination);
            print_map("texture", m->texture);
            print_map("bump", m->bump);
            print_map("reflection", m->reflection);
            break;
        }
        case WORLD_OBJECT: {
            auto* o = static_cast<const Object*>(n->record);
            std::printf("  object \"%s\" id %d parent %d vertices %d faces %d flags 0x%x",
                        str(o->name), o->id, o->parentId, o->vertexCount, o->faceCount, o->flags);
            print_vec("pivot", o->pivot);
            print_vec("box", o->boxMin);
            print_vec("to", o->boxMax);
            std::printf("\n");
            break;
        }
        case WORLD_LIGHT: {
            auto* l = static_cast<const Light*>(n->record);
            std::printf("  light \"%s\" id %d kind %s parent %d/%d", str(l->name), l->id,
                        l->kind == LIGHT_SPOT ? "spot" : "omni", l->parentId, l->targetParentId);
            print_vec("position", l->position);
            print_vec("colour", l->color);
            if (l->kind == LIGHT_SPOT) {
                print_vec("target", l->target);
                std::printf(" hotspot %g falloff %g roll %g", l->hotspot, l->falloff, l->roll);
            }
            std::printf(" range %g..%g\n", l->rangeStart, l->rangeEnd);
            break;
        }
        case WORLD_CAMERA: {
            auto* c = static_cast<const Camera*>(n->record);
            std::printf("  camera \"%s\" id %d parent %d/%d", str(c->name), c->id, c->parentId,
                        c->targetParentId);
            print_vec("position", c->position);
            print_vec("target", c->target);
            std::printf(" roll %g fov %g\n", c->roll, c->fov);
            break;
        }
        case WORLD_AMBIENT: {
            auto* a = static_cast<const Ambient*>(n->record);
            std::printf("  ambient \"%s\" id %d", str(a->name), a->id);
            print_vec("colour", a->color);
            std::printf("\n");
            break;
        }
        default:
            break;
        }
    }
}

const char* node_kind(int kind) {
    switch (kind) {
    case KEY_CAMERA:
        return "camera";
    case KEY_CAMERA_TARGET:
        return "camera-target";
    case KEY_OMNI_LIGHT:
        return "omni";
    case KEY_SPOT_LIGHT:
        return "spot";
    case KEY_LIGHT_TARGET:
        return "light-target";
    case KEY_OBJECT:
        return "object";
    case KEY_AMBIENT:
        return "ambient";
    default:
        return "?";
    }
}

const char* node_name(const KeyNode* n) {
    if (!n->record) return nullptr;
    switch (n->kind) {
    case KEY_CAMERA:
    case KEY_CAMERA_TARGET:
        return static_cast<const Camera*>(n->record)->name;
    case KEY_OMNI_LIGHT:
    case KEY_SPOT_LIGHT:
    case KEY_LIGHT_TARGET:
        return static_cast<const Light*>(n->record)->name;
    case KEY_OBJECT:
        return static_cast<const Object*>(n->record)->name;
    case KEY_AMBIENT:
        return static_cast<const Ambient*>(n->record)->name;
    default:
        return nullptr;
    }
}

void print_keyframer(const Scene* s) {
    std::printf("keyframer frames %g..%g\n", s->startFrame, s->endFrame);
    for (const KeyNode* n = s->keyFirst; n; n = n->next) {
        std::printf("  node %d %s \"%s\" parent %d tracks", n->id, node_kind(n->kind),
                    str(node_name(n)), n->parentId);
        for (int i = 0; i < TRACK_SLOTS; ++i) {
            const Track* t = n->tracks[i];
            if (t)
                std::printf(" %d:%d keys/mode %d/length %g", i + 1, t->keyCount, t->mode,
                            t->length);
        }
        std::printf("\n");
    }
}

void print_frame(const Scene* s, float frame) {
    std::printf("frame %g\n", frame);
    for (const WorldNode* n = s->worldFirst; n; n = n->next) {
        if (n->kind == WORLD_CAMERA) {
            auto* c = static_cast<const Camera*>(n->record);
            std::printf("  camera \"%s\"", str(c->name));
            print_vec("position", c->position);
            print_vec("target", c->target);
            std::printf(" roll %g fov %g\n", c->roll, c->fov);
        } else if (n->kind == WORLD_OBJECT) {
            auto* o = static_cast<const Object*>(n->record);
            const Matrix& m = o->matrix;
            std::printf("  object \"%s\" flags 0x%x matrix [%g %g %g %g | %g %g %g %g | %g %g %g "
                        "%g]\n",
                        str(o->name), o->flags, m.xx, m.xy, m.xz, m.xw, m.yx, m.yy, m.yz, m.yw,
                        m.zx, m.zy, m.zz, m.zw);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = answerHelpOrVersion(argc, argv, "scenedump", HELP); status >= 0)
        return status;
    if (argc < 2) {
        std::fprintf(stderr, "usage: scenedump FILE [FRAME...]\n");
        return 2;
    }
    scene_init(SCENE_HIERARCHY | SCENE_NORMALS | SCENE_MORPH | SCENE_TRANSFORM);
    Scene* s = nullptr;
    if (scene_alloc(&s) != SCENE_OK) {
        std::fprintf(stderr, "scenedump: %s\n", scene_error_text(SCENE_ERR_NOMEM));
        return 1;
    }
    int r = scene_load_world(argv[1], s);
    if (r != SCENE_OK) {
        std::fprintf(stderr, "scenedump: %s: %s (%d)\n", argv[1], scene_error_text(r), r);
        scene_release(s);
        return 1;
    }
    scene_set_active(s);
    WorldNode* node = nullptr;
    scene_find_by_name("Camera01", &node);
    if (!node || node->kind != WORLD_CAMERA) scene_find_by_name("Cam", &node);
    if (!node || node->kind != WORLD_CAMERA) scene_find_first(WORLD_CAMERA, &node);
    if (node) {
        auto* cam = static_cast<Camera*>(node->record);
        cam->sizeX = 320;
        cam->sizeY = 200;
        cam->aspect = 0.75f;
        scene_set_active_camera(cam);
    }
    // An empty world has nothing to animate.
    if (s->worldFirst) {
        r = scene_load_motion(argv[1], s);
        if (r != SCENE_OK) {
            std::fprintf(stderr, "scenedump: %s: %s (%d)\n", argv[1], scene_error_text(r), r);
            scene_release(s);
            return 1;
        }
    }
    print_world(s);
    print_keyframer(s);
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        float frame = std::strtof(argv[i], &end);
        if (end == argv[i] || *end) {
            std::fprintf(stderr, "scenedump: not a frame number: %s\n", argv[i]);
            status = 1;
            continue;
        }
        r = scene_set_frame(frame);
        if (r != SCENE_OK) {
            std::fprintf(stderr, "scenedump: frame %s: %s\n", argv[i], scene_error_text(r));
            status = 1;
            continue;
        }
        scene_update();
        print_frame(s, frame);
    }
    scene_release(s);
    return status;
}
