// The models of assimp's test set, read by lib3ds (a general 3DS reader) and by the library:
// both must agree on what the files hold. lib3ds evaluates tracks by other rules, so values are
// compared at key frames only, where the library must give exactly what the file stores.
#include <gtest/gtest.h>
#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "scene/reader.h"
#include "scene/scene.h"
#include "scene/track.h"

using namespace scene;

namespace {

const char* const MODEL_DIR = "/usr/share/assimp/models/3DS/";

std::vector<std::string> model_files() {
    std::vector<std::string> out;
    if (!std::filesystem::is_directory(MODEL_DIR)) return out;
    for (const auto& e : std::filesystem::directory_iterator(MODEL_DIR)) {
        std::string ext = e.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext == ".3ds" || e.path().filename() == "testFormatDetection")
            out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void expect_vec_file(const Vector& ours, const float* file, float eps, const std::string& what) {
    EXPECT_NEAR(ours.x, file[0], eps) << what;
    EXPECT_NEAR(ours.y, file[2], eps) << what;
    EXPECT_NEAR(ours.z, file[1], eps) << what;
}

template <class T> std::vector<T*> records(Scene* s, int kind) {
    std::vector<T*> out;
    for (WorldNode* n = s->worldFirst; n; n = n->next)
        if (n->kind == kind) out.push_back(static_cast<T*>(n->record));
    return out;
}

template <class T> T* by_name(const std::vector<T*>& list, const char* name) {
    for (T* r : list)
        if (r->name && std::strcmp(r->name, name) == 0) return r;
    return nullptr;
}

template <class L> std::vector<L*> lib_list(L* first) {
    std::vector<L*> out;
    for (L* p = first; p; p = p->next) out.push_back(p);
    return out;
}

void collect_nodes(Lib3dsNode* n, std::vector<Lib3dsNode*>& out) {
    for (; n; n = n->next) {
        out.push_back(n);
        collect_nodes(n->childs, out);
    }
}

// The library's world as it stands right after the world pass, node by node against lib3ds.
void compare_world(Scene* s, Lib3dsFile* f, const std::string& name) {
    auto meshes = lib_list(f->meshes);
    auto objects = records<Object>(s, WORLD_OBJECT);
    ASSERT_EQ(meshes.size(), objects.size()) << name;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        Lib3dsMesh* m = meshes[i];
        std::string what = name + " " + m->name;
        Object* o = by_name(objects, m->name);
        ASSERT_NE(nullptr, o) << what;
        ASSERT_EQ(static_cast<int>(m->points), o->vertexCount) << what;
        ASSERT_EQ(static_cast<int>(m->faces), o->faceCount) << what;
        // Vertices are moved into the mesh's local frame by its inverted axes.
        Matrix axes{m->matrix[0][0], m->matrix[0][2], m->matrix[0][1], 0,
                    m->matrix[2][0], m->matrix[2][2], m->matrix[2][1], 0,
                    m->matrix[1][0], m->matrix[1][2], m->matrix[1][1], 0};
        Matrix inv;
        mat_inverse(&axes, &inv);
        Vector origin{m->matrix[3][0], m->matrix[3][2], m->matrix[3][1]};
        for (int v = 0; v < o->vertexCount; ++v) {
            Vector p{m->pointL[v].pos[0], m->pointL[v].pos[2], m->pointL[v].pos[1]}, d, e;
            vec_sub(&p, &origin, &d);
            mat_transform(&inv, &d, &e);
            EXPECT_NEAR(e.x, o->vertices[v].position.x, 1e-3f) << what << " vertex " << v;
            EXPECT_NEAR(e.y, o->vertices[v].position.y, 1e-3f) << what << " vertex " << v;
            EXPECT_NEAR(e.z, o->vertices[v].position.z, 1e-3f) << what << " vertex " << v;
            if (static_cast<unsigned>(v) < m->texels) {
                EXPECT_EQ(m->texelL[v][0], o->vertices[v].u) << what;
                EXPECT_EQ(m->texelL[v][1], o->vertices[v].v) << what;
            }
        }
        for (int k = 0; k < o->faceCount; ++k) {
            const Lib3dsFace& lf = m->faceL[k];
            const Face& face = o->faces[k];
            EXPECT_EQ(lf.points[0], face.a) << what;
            EXPECT_EQ(lf.points[1], face.b) << what;
            EXPECT_EQ(lf.points[2], face.c) << what;
            EXPECT_STREQ(lf.material, face.material ? face.material->name : "") << what;
        }
    }

    auto mats = lib_list(f->materials);
    auto ours = records<Material>(s, WORLD_MATERIAL);
    ASSERT_EQ(mats.size(), ours.size()) << name;
    for (std::size_t i = 0; i < mats.size(); ++i) {
        std::string what = name + " " + mats[i]->name;
        Material* m = by_name(ours, mats[i]->name);
        ASSERT_NE(nullptr, m) << what;
        EXPECT_EQ(mats[i]->shading, m->shading) << what;
        EXPECT_EQ(mats[i]->two_sided != 0, (m->flags & MATERIAL_TWOSIDED) != 0) << what;
        EXPECT_STREQ(mats[i]->texture1_map.name, m->texture.fileName ? m->texture.fileName : "")
            << what;
        EXPECT_NEAR(mats[i]->diffuse[0], m->diffuse.x, 1e-6f) << what;
        EXPECT_NEAR(mats[i]->diffuse[2], m->diffuse.z, 1e-6f) << what;
        EXPECT_NEAR(mats[i]->transparency, m->transparency, 1e-6f) << what;
    }

    auto cams = lib_list(f->cameras);
    auto ourCams = records<Camera>(s, WORLD_CAMERA);
    ASSERT_EQ(cams.size(), ourCams.size()) << name;
    for (std::size_t i = 0; i < cams.size(); ++i) {
        std::string what = name + " " + cams[i]->name;
        Camera* c = by_name(ourCams, cams[i]->name);
        ASSERT_NE(nullptr, c) << what;
        expect_vec_file(c->position, cams[i]->position, 0, what);
        expect_vec_file(c->target, cams[i]->target, 0, what);
        EXPECT_EQ(cams[i]->roll, c->roll) << what;
        // lib3ds keeps 2400 / lens; the library maps table lenses to their own angles.
        EXPECT_NEAR(lens_to_fov(2400.0f / cams[i]->fov), c->fov, 1e-3f) << what;
    }

    auto lights = lib_list(f->lights);
    auto ourLights = records<Light>(s, WORLD_LIGHT);
    ASSERT_EQ(lights.size(), ourLights.size()) << name;
    for (std::size_t i = 0; i < lights.size(); ++i) {
        std::string what = name + " " + lights[i]->name;
        Light* l = by_name(ourLights, lights[i]->name);
        ASSERT_NE(nullptr, l) << what;
        EXPECT_EQ(lights[i]->spot_light ? LIGHT_SPOT : LIGHT_OMNI, l->kind) << what;
        expect_vec_file(l->position, lights[i]->position, 0, what);
        EXPECT_EQ(lights[i]->color[1], l->color.y) << what;
    }
}

int our_kind(const Lib3dsNode* n) {
    switch (n->type) {
    case LIB3DS_AMBIENT_NODE:
        return KEY_AMBIENT;
    case LIB3DS_OBJECT_NODE:
        return KEY_OBJECT;
    case LIB3DS_CAMERA_NODE:
        return KEY_CAMERA;
    case LIB3DS_TARGET_NODE:
        return KEY_CAMERA_TARGET | KEY_LIGHT_TARGET;
    case LIB3DS_LIGHT_NODE:
        return KEY_OMNI_LIGHT;
    case LIB3DS_SPOT_NODE:
        return KEY_SPOT_LIGHT;
    default:
        return 0;
    }
}

void compare_lin3(Track* t, const Lib3dsLin3Track& lt, const std::string& what, bool swap) {
    int keys = 0;
    for (Lib3dsLin3Key* k = lt.keyL; k; k = k->next) ++keys;
    if (keys == 0) return;
    ASSERT_NE(nullptr, t) << what;
    EXPECT_EQ(keys, t->keyCount) << what;
    for (Lib3dsLin3Key* k = lt.keyL; k; k = k->next) {
        Vector v;
        ASSERT_EQ(0, track_eval_vector(t, static_cast<float>(k->tcb.frame), &v)) << what;
        float expect[3] = {k->value[0], swap ? k->value[2] : k->value[1],
                           swap ? k->value[1] : k->value[2]};
        EXPECT_EQ(expect[0], v.x) << what << " frame " << k->tcb.frame;
        EXPECT_EQ(expect[1], v.y) << what << " frame " << k->tcb.frame;
        EXPECT_EQ(expect[2], v.z) << what << " frame " << k->tcb.frame;
    }
}

void compare_lin1(Track* t, const Lib3dsLin1Track& lt, const std::string& what) {
    int keys = 0;
    for (Lib3dsLin1Key* k = lt.keyL; k; k = k->next) ++keys;
    if (keys == 0) return;
    ASSERT_NE(nullptr, t) << what;
    EXPECT_EQ(keys, t->keyCount) << what;
    for (Lib3dsLin1Key* k = lt.keyL; k; k = k->next) {
        float v;
        ASSERT_EQ(0, track_eval_float(t, static_cast<float>(k->tcb.frame), &v)) << what;
        EXPECT_EQ(k->value, v) << what << " frame " << k->tcb.frame;
    }
}

void compare_rotation(Track* t, const Lib3dsQuatTrack& lt, const std::string& what) {
    int keys = 0;
    for (Lib3dsQuatKey* k = lt.keyL; k; k = k->next) ++keys;
    if (keys == 0) return;
    ASSERT_NE(nullptr, t) << what;
    EXPECT_EQ(keys, t->keyCount) << what;
    Quaternion orientation{1, 0, 0, 0};
    for (Lib3dsQuatKey* k = lt.keyL; k; k = k->next) {
        // Orientation the file stores at this key: the product of every key's turn so far.
        Quaternion rel;
        quat_from_angle_axis(k->angle, k->axis[0], k->axis[2], k->axis[1], &rel);
        quat_mul(&rel, &orientation, &orientation);
        Quaternion q;
        ASSERT_EQ(0, track_eval_rotation(t, static_cast<float>(k->tcb.frame), &q)) << what;
        Matrix got, expect;
        mat_from_quat(&q, &got);
        mat_from_quat(&orientation, &expect);
        const float* a = &got.xx;
        const float* b = &expect.xx;
        for (int i = 0; i < 12; ++i)
            EXPECT_NEAR(b[i], a[i], 2e-4f) << what << " frame " << k->tcb.frame << " el " << i;
    }
}

void compare_keyframer(Scene* s, Lib3dsFile* f, const std::string& name) {
    std::vector<Lib3dsNode*> nodes;
    collect_nodes(f->nodes, nodes);
    // Without a keyframer section lib3ds reports its own default range.
    if (!nodes.empty()) {
        EXPECT_EQ(static_cast<float>(f->segment_from), s->startFrame) << name;
        EXPECT_EQ(static_cast<float>(f->segment_to), s->endFrame) << name;
    }
    std::multimap<int, KeyNode*> ours;
    int count = 0;
    for (KeyNode* k = s->keyFirst; k; k = k->next, ++count) ours.emplace(k->id, k);
    ASSERT_EQ(static_cast<int>(nodes.size()), count) << name;
    for (Lib3dsNode* n : nodes) {
        auto range = ours.equal_range(n->node_id);
        ASSERT_EQ(1, std::distance(range.first, range.second)) << name << " node " << n->node_id;
        KeyNode* k = range.first->second;
        std::string what = name + " node " + n->name;
        EXPECT_NE(0, our_kind(n) & k->kind) << what;
        EXPECT_EQ(static_cast<std::int16_t>(n->parent_id), k->parentId) << what;
        switch (n->type) {
        case LIB3DS_OBJECT_NODE:
            compare_lin3(k->tracks[0], n->data.object.pos_track, what + " position", true);
            compare_lin3(k->tracks[1], n->data.object.scl_track, what + " scale", true);
            compare_rotation(k->tracks[2], n->data.object.rot_track, what + " rotation");
            break;
        case LIB3DS_CAMERA_NODE:
            compare_lin3(k->tracks[0], n->data.camera.pos_track, what + " position", true);
            compare_lin1(k->tracks[1], n->data.camera.fov_track, what + " fov");
            compare_lin1(k->tracks[2], n->data.camera.roll_track, what + " roll");
            break;
        case LIB3DS_TARGET_NODE:
            compare_lin3(k->tracks[0], n->data.target.pos_track, what + " target", true);
            break;
        default:
            break;
        }
    }
}

TEST(Oracle, AssimpModelsAgreeWithLib3ds) {
    auto files = model_files();
    if (files.empty()) GTEST_SKIP() << "assimp-testmodels is not installed";
    EXPECT_GE(files.size(), 9u);
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        Lib3dsFile* f = lib3ds_file_load(path.c_str());
        ASSERT_NE(nullptr, f) << path;
        scene_init(0);
        Scene* s = nullptr;
        ASSERT_EQ(0, scene_alloc(&s));
        ASSERT_EQ(0, scene_load_world(path.c_str(), s)) << path;
        compare_world(s, f, path);
        ASSERT_EQ(0, scene_load_motion(path.c_str(), s)) << path;
        compare_keyframer(s, f, path);
        scene_release(s);
        lib3ds_file_free(f);
    }
}

TEST(Oracle, EmptyFileIsRefused) {
    const char* empty = "/usr/share/assimp/models/invalid/empty.3ds";
    if (!std::filesystem::exists(empty)) GTEST_SKIP() << "assimp-testmodels is not installed";
    scene_init(0);
    Scene* s = nullptr;
    ASSERT_EQ(0, scene_alloc(&s));
    EXPECT_EQ(SCENE_ERR_BADFILE, scene_load_world(empty, s));
    EXPECT_EQ(nullptr, lib3ds_file_load(empty));
    scene_release(s);
}

} // namespace
