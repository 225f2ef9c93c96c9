#include "scene/scene.h"

#include <cstdio>
#include <cstdlib>

#include "scene/geometry.h"
#include "scene/lists.h"
#include "scene/reader.h"

namespace scene {

LibraryState libraryState;

namespace {

bool has_world(const Scene* s) {
    return s && s->worldFirst;
}
bool has_keyframer(const Scene* s) {
    return s && s->keyFirst;
}

// Where a pass reads from: a file on disk, or bytes already in memory (the intro's scenes come
// out of the data file and are never written anywhere).
struct Source {
    const char* fileName;
    const void* bytes;
    std::size_t size;
};

std::FILE* open_source(const Source& src) {
    if (src.fileName) return std::fopen(src.fileName, "rb");
    // An empty buffer reads as an empty file; fmemopen wants a pointer even then.
    static unsigned char nothing[1];
    void* bytes = src.size ? const_cast<void*>(src.bytes) : nothing;
    return fmemopen(bytes, src.size, "rb");
}

// Runs one reader pass on the source with `scene` active for its duration.
int run_pass(const Source& src, Scene* scene, int (*reader)(std::FILE*), Scene** previous) {
    std::FILE* f = open_source(src);
    if (!f) return SCENE_ERR_NOFILE;
    *previous = libraryState.activeScene;
    libraryState.activeScene = scene;
    int r = reader(f);
    std::fclose(f);
    return r;
}

void restore_active(Scene* previous) {
    if (previous) libraryState.activeScene = previous;
}

int frames_ready() {
    Scene* s = libraryState.activeScene;
    if (!has_keyframer(s)) return SCENE_ERR_NOSCENE;
    if (s->endFrame - s->startFrame == 0.0f) return SCENE_ERR_NOFRAMES;
    return SCENE_OK;
}

} // namespace

int scene_init(int options) {
    libraryState.options = options;
    libraryState.activeScene = nullptr;
    libraryState.activeCamera = nullptr;
    return SCENE_OK;
}

int scene_alloc(Scene** scene) {
    if (!scene) return SCENE_ERR_NULL;
    *scene = static_cast<Scene*>(std::calloc(1, sizeof(Scene)));
    return *scene ? SCENE_OK : SCENE_ERR_NOMEM;
}

namespace {

int load_world(const Source& src, Scene* scene) {
    // Whatever the scene held before goes, so nothing of it is lost or left pointing at a
    // freed world.
    scene_free_motion(scene);
    scene_free_world(scene);
    scene->startFrame = scene->endFrame = scene->currentFrame = 0.0f;
    Scene* previous = nullptr;
    const SceneDriver& driver = sceneDrivers[0];
    int r = run_pass(src, scene, driver.readWorld, &previous);
    if (r == SCENE_ERR_NOFILE) return r;
    if (r != SCENE_OK) {
        restore_active(previous);
        scene_free_world(scene);
        return r;
    }
    for (WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (n->kind != WORLD_OBJECT) continue;
        auto* o = static_cast<Object*>(n->record);
        compute_bounding_box(o);
        if (libraryState.options & SCENE_NORMALS)
            compute_normals(o, &Vertex::position, &Vertex::normal, &Face::normal);
    }
    restore_active(previous);
    return SCENE_OK;
}

int load_motion(const Source& src, Scene* scene) {
    if (!has_world(scene)) return SCENE_ERR_NOSCENE;
    scene_free_motion(scene);
    Scene* previous = nullptr;
    const SceneDriver& driver = sceneDrivers[0];
    int r = run_pass(src, scene, driver.readMotion, &previous);
    if (r == SCENE_ERR_NOFILE) return r;
    if (r != SCENE_OK) {
        restore_active(previous);
        scene_free_motion(scene);
        return r;
    }
    scene->currentFrame = 0.0f;
    scene_update();
    restore_active(previous);
    return SCENE_OK;
}

} // namespace

int scene_load_world(const char* fileName, Scene* scene) {
    if (!scene || !fileName) return SCENE_ERR_NULL;
    return load_world({fileName, nullptr, 0}, scene);
}

int scene_load_motion(const char* fileName, Scene* scene) {
    if (!scene || !fileName) return SCENE_ERR_NULL;
    return load_motion({fileName, nullptr, 0}, scene);
}

int scene_load_world_memory(const void* bytes, std::size_t size, Scene* scene) {
    if (!scene || (!bytes && size)) return SCENE_ERR_NULL;
    return load_world({nullptr, bytes, size}, scene);
}

int scene_load_motion_memory(const void* bytes, std::size_t size, Scene* scene) {
    if (!scene || (!bytes && size)) return SCENE_ERR_NULL;
    return load_motion({nullptr, bytes, size}, scene);
}

int scene_load(const char* fileName, Scene* scene) {
    int r = scene_load_world(fileName, scene);
    if (r != SCENE_OK) return r;
    return scene_load_motion(fileName, scene);
}

int scene_set_active(Scene* scene) {
    if (!scene) return SCENE_ERR_NULL;
    libraryState.activeScene = scene;
    return SCENE_OK;
}

int scene_set_active_camera(Camera* camera) {
    libraryState.activeCamera = camera;
    return SCENE_OK;
}

int scene_get_active_camera(Camera** camera) {
    if (!camera) return SCENE_ERR_NULL;
    *camera = libraryState.activeCamera;
    return SCENE_OK;
}

namespace {
constexpr int ANY_RECORD =
    WORLD_CAMERA | WORLD_LIGHT | WORLD_OBJECT | WORLD_MATERIAL | WORLD_AMBIENT;
}

int scene_find_by_name(const char* name, WorldNode** node) {
    if (!node || !name) return SCENE_ERR_NULL;
    *node = nullptr;
    if (!has_world(libraryState.activeScene)) return SCENE_ERR_NOSCENE;
    *node = find_world_name(libraryState.activeScene, name, ANY_RECORD);
    return SCENE_OK;
}

int scene_find_by_id(int id, WorldNode** node) {
    if (!node) return SCENE_ERR_NULL;
    *node = nullptr;
    if (!has_world(libraryState.activeScene)) return SCENE_ERR_NOSCENE;
    *node = find_world_id(libraryState.activeScene, id, ANY_RECORD);
    return SCENE_OK;
}

int scene_find_first(int kindMask, WorldNode** node) {
    if (!node) return SCENE_ERR_NULL;
    *node = nullptr;
    if (!has_world(libraryState.activeScene)) return SCENE_ERR_NOSCENE;
    for (WorldNode* n = libraryState.activeScene->worldFirst; n; n = n->next) {
        if (n->kind & kindMask) {
            *node = n;
            break;
        }
    }
    return SCENE_OK;
}

int scene_find_next(int kindMask, WorldNode** node) {
    if (!node || !*node) return SCENE_ERR_NULL;
    WorldNode* n = (*node)->next;
    while (n && !(n->kind & kindMask)) n = n->next;
    *node = n;
    return SCENE_OK;
}

int scene_get_frames(float* start, float* end) {
    if (!start || !end) return SCENE_ERR_NULL;
    int r = frames_ready();
    if (r != SCENE_OK) return r;
    *start = libraryState.activeScene->startFrame;
    *end = libraryState.activeScene->endFrame;
    return SCENE_OK;
}

int scene_set_frame(float frame) {
    int r = frames_ready();
    if (r != SCENE_OK) return r;
    Scene* s = libraryState.activeScene;
    if (!(frame >= s->startFrame && frame < s->endFrame)) return SCENE_ERR_FRAME;
    s->currentFrame = frame;
    return SCENE_OK;
}

int scene_get_frame(float* frame) {
    if (!frame) return SCENE_ERR_NULL;
    int r = frames_ready();
    if (r != SCENE_OK) return r;
    *frame = libraryState.activeScene->currentFrame;
    return SCENE_OK;
}

int scene_free_world(Scene* scene) {
    if (!has_world(scene)) return SCENE_ERR_NULL;
    for (WorldNode* n = scene->worldFirst; n;) {
        WorldNode* next = n->next;
        // The active camera must not outlive the world that holds it.
        if (n->kind == WORLD_CAMERA && n->record == libraryState.activeCamera)
            libraryState.activeCamera = nullptr;
        free_world_record(n->kind, n->record);
        std::free(n);
        n = next;
    }
    scene->worldFirst = scene->worldLast = nullptr;
    return SCENE_OK;
}

int scene_free_motion(Scene* scene) {
    if (!scene) return SCENE_ERR_NULL;
    for (KeyNode* n = scene->keyFirst; n;) {
        KeyNode* next = n->next;
        for (Track* t : n->tracks) free_track(t);
        std::free(n);
        n = next;
    }
    scene->keyFirst = scene->keyLast = nullptr;
    return SCENE_OK;
}

void scene_detach_record(Scene* scene, const void* record) {
    if (!scene || !record) return;
    for (KeyNode* n = scene->keyFirst; n; n = n->next) {
        if (n->record == record) n->record = nullptr;
    }
}

void scene_release(Scene* scene) {
    if (!scene) return;
    scene_free_motion(scene);
    scene_free_world(scene);
    if (libraryState.activeScene == scene) libraryState.activeScene = nullptr;
    std::free(scene);
}

} // namespace scene
