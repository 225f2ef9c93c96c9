#pragma once
// Scene files as the scene library reads them, in memory, with the intro's options.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scene/scene.h"

namespace scenes_test {

inline std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string generated(const std::string& name) {
    return std::string(VRK_SCENE_FILES_DIR) + "/" + name;
}

// One scene loaded by both passes; released at the end of its scope.
struct Loaded {
    scene::Scene* s = nullptr;
    int world = -1, motion = -1;

    explicit Loaded(const std::vector<std::uint8_t>& bytes, int options = 15) {
        scene::scene_init(options);
        scene::scene_alloc(&s);
        world = scene::scene_load_world_memory(bytes.data(), bytes.size(), s);
        if (world == 0) motion = scene::scene_load_motion_memory(bytes.data(), bytes.size(), s);
        scene::scene_set_active(s);
    }
    ~Loaded() { scene::scene_release(s); }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    template <class T> std::vector<T*> records(int kind) const {
        std::vector<T*> out;
        for (scene::WorldNode* n = s->worldFirst; n; n = n->next)
            if (n->kind == kind) out.push_back(static_cast<T*>(n->record));
        return out;
    }
    template <class T> T* find(const std::string& name, int kind) const {
        for (T* r : records<T>(kind))
            if (r->name && name == r->name) return r;
        return nullptr;
    }
    scene::KeyNode* node(const std::string& name, int kind) const {
        for (scene::KeyNode* k = s->keyFirst; k; k = k->next) {
            if (k->kind != kind || !k->record) continue;
            const char* n = nullptr;
            switch (k->kind) {
            case scene::KEY_OBJECT:
                n = static_cast<scene::Object*>(k->record)->name;
                break;
            case scene::KEY_CAMERA:
            case scene::KEY_CAMERA_TARGET:
                n = static_cast<scene::Camera*>(k->record)->name;
                break;
            case scene::KEY_OMNI_LIGHT:
                n = static_cast<scene::Light*>(k->record)->name;
                break;
            default:
                break;
            }
            if (n && name == n) return k;
        }
        return nullptr;
    }
};

} // namespace scenes_test
