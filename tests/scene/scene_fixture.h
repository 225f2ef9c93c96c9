#pragma once
// Loads 3DS bytes made by the builder through the library's file-based loaders.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>

#include "scene/scene.h"
#include "tests/scene/builder3ds.h"

namespace scene_test {

class SceneFixture : public ::testing::Test {
  protected:
    scene::Scene* s = nullptr;
    std::string path;

    void SetUp() override {
        scene::scene_init(0);
        ASSERT_EQ(0, scene::scene_alloc(&s));
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path =
            ::testing::TempDir() + "scene_" + info->test_suite_name() + "_" + info->name() + ".tmp";
    }
    void TearDown() override {
        scene::scene_release(s);
        std::remove(path.c_str());
    }
    int load_world(const Bytes& b) {
        EXPECT_TRUE(write_file(path, b));
        return scene::scene_load_world(path.c_str(), s);
    }
    int load(const Bytes& b) {
        int r = load_world(b);
        if (r != 0) return r;
        return scene::scene_load_motion(path.c_str(), s);
    }
    template <class T> T* record(const char* name, int kind) {
        scene::scene_set_active(s);
        scene::WorldNode* n = nullptr;
        scene::scene_find_by_name(name, &n);
        return n && n->kind == kind ? static_cast<T*>(n->record) : nullptr;
    }
    scene::Object* object(const char* name) {
        return record<scene::Object>(name, scene::WORLD_OBJECT);
    }
    scene::Camera* camera(const char* name) {
        return record<scene::Camera>(name, scene::WORLD_CAMERA);
    }
    int count_world(int kind) const {
        int n = 0;
        for (auto* w = s->worldFirst; w; w = w->next) n += w->kind == kind;
        return n;
    }
    int count_nodes() const {
        int n = 0;
        for (auto* k = s->keyFirst; k; k = k->next) ++n;
        return n;
    }
};

// The smallest useful mesh: one triangle.
inline Bytes triangle(const std::string& name, std::initializer_list<Bytes> faceSubs = {},
                      std::initializer_list<Bytes> meshSubs = {}) {
    return mesh(name, {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 0}}, faceSubs, meshSubs);
}

// An object node for `name` with an optional explicit node id and the tracks given.
inline Bytes object_node(const std::string& name, int id, std::int16_t parent,
                         std::initializer_list<Bytes> tracks = {}) {
    std::vector<Bytes> subs;
    if (id >= 0) subs.push_back(node_id(static_cast<std::uint16_t>(id)));
    subs.push_back(node_header(name, parent));
    for (const Bytes& t : tracks) subs.push_back(t);
    return chunk_list(0xB002, {}, subs);
}

inline Bytes position_track(std::initializer_list<std::pair<int, std::array<float, 3>>> keys,
                            std::uint16_t flags = 0) {
    Bytes k;
    for (const auto& [frame, v] : keys) {
        key_header(k, frame);
        for (float f : v) putf(k, f);
    }
    return track(0xB020, flags, static_cast<std::uint32_t>(keys.size()), k);
}

} // namespace scene_test
