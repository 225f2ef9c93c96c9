// Feeds arbitrary bytes to both 3DS loaders through a file, as the intro does, then updates
// the scene at a few frames with every option on.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "scene/scene.h"

using namespace scene;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/scene_fuzz_" + std::to_string(getpid()) + ".tmp";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    scene_init(SCENE_HIERARCHY | SCENE_NORMALS | SCENE_MORPH | SCENE_TRANSFORM |
               SCENE_MORPH_NORMALS | (size & 1 ? SCENE_SLERP : 0) |
               (size & 2 ? 0 : SCENE_NORMALS_RECOMPUTE));
    Scene* s = nullptr;
    if (scene_alloc(&s) != SCENE_OK) return 0;
    if (scene_load_world(path.c_str(), s) == SCENE_OK) {
        scene_set_active(s);
        WorldNode* cam = nullptr;
        scene_find_first(WORLD_CAMERA, &cam);
        if (cam) {
            auto* c = static_cast<Camera*>(cam->record);
            c->sizeX = 320;
            c->sizeY = 200;
            c->aspect = 0.75f;
            scene_set_active_camera(c);
        }
        if (scene_load_motion(path.c_str(), s) == SCENE_OK) {
            float start = 0, end = 0;
            if (scene_get_frames(&start, &end) == SCENE_OK) {
                for (float fr : {start, (start + end) * 0.5f, end - 0.5f}) {
                    if (scene_set_frame(fr) == SCENE_OK) scene_update();
                }
            }
        }
    }
    scene_release(s);
    return 0;
}
