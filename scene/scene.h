#pragma once
// The scene library's public operations: options, loading, the active scene and camera,
// lookups, frames, update and release. Every operation returns a code of scene/errors.h.
#include <cstddef>

#include "scene/errors.h"
#include "scene/records.h"

namespace scene {

// Option bits given to scene_init.
enum : int {
    SCENE_HIERARCHY = 1,
    SCENE_NORMALS = 2,
    SCENE_MORPH = 4,
    SCENE_TRANSFORM = 8,
    SCENE_SLERP = 16,
    SCENE_MORPH_NORMALS = 32,
    SCENE_NORMALS_RECOMPUTE = 64,
};

int scene_init(int options);
int scene_alloc(Scene** scene);
int scene_load_world(const char* fileName, Scene* scene);
int scene_load_motion(const char* fileName, Scene* scene);
int scene_load(const char* fileName, Scene* scene);
// The same two passes over a scene file's bytes in memory (nothing is written anywhere).
int scene_load_world_memory(const void* bytes, std::size_t size, Scene* scene);
int scene_load_motion_memory(const void* bytes, std::size_t size, Scene* scene);
int scene_set_active(Scene* scene);
int scene_set_active_camera(Camera* camera);
int scene_get_active_camera(Camera** camera);
int scene_find_by_name(const char* name, WorldNode** node);
int scene_find_by_id(int id, WorldNode** node);
int scene_find_first(int kindMask, WorldNode** node);
int scene_find_next(int kindMask, WorldNode** node);
int scene_get_frames(float* start, float* end);
int scene_set_frame(float frame);
int scene_get_frame(float* frame);
int scene_update();
// Perspective factors and world-to-camera matrix from position, target, roll and field of view.
void camera_build(Camera* camera);
int scene_free_world(Scene* scene);
int scene_free_motion(Scene* scene);
// Cuts every keyframer node of the scene loose from `record`, for a caller that takes a world
// record out of the scene (the engine's optimizer drops dummy objects, which have nodes);
// updates then leave those nodes alone instead of writing into freed memory.
void scene_detach_record(Scene* scene, const void* record);
// Releases a Scene record from scene_alloc (its lists must have been freed, or are freed here).
void scene_release(Scene* scene);

// The library's process-wide state.
struct LibraryState {
    int options;
    Scene* activeScene;
    Camera* activeCamera;
};
extern LibraryState libraryState;

} // namespace scene
