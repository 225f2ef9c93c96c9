// The real scenes read by general 3DS readers: lib3ds and assimp's command-line tool must find
// the same names, face counts, cameras, lights, hierarchy and frame ranges as the scene library.
#include <gtest/gtest.h>
#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "content/scenes/lengths.h"
#include "tests/content_scenes/loaded.h"

using scenes_test::generated;
using scenes_test::Loaded;
using scenes_test::readFile;

namespace {

const char* const FILES[] = {scenes::TRAIN_SCENE, scenes::CABIN_SCENE};

std::string parentName(scene::KeyNode* k) {
    if (!k->parent || k->parent->kind != scene::KEY_OBJECT) return "";
    return static_cast<scene::Object*>(k->parent->record)->name;
}

TEST(IntroScenesOracle, Lib3dsReadsTheSameScene) {
    for (const char* name : FILES) {
        SCOPED_TRACE(name);
        Loaded l(readFile(generated(name)));
        ASSERT_EQ(0, l.motion);
        Lib3dsFile* f = lib3ds_file_load(generated(name).c_str());
        ASSERT_NE(nullptr, f);
        std::unique_ptr<Lib3dsFile, void (*)(Lib3dsFile*)> owner(f, lib3ds_file_free);

        int meshes = 0;
        for (Lib3dsMesh* m = f->meshes; m; m = m->next, ++meshes) {
            auto* o = l.find<scene::Object>(m->name, scene::WORLD_OBJECT);
            ASSERT_NE(nullptr, o) << m->name;
            EXPECT_EQ(static_cast<int>(m->faces), o->faceCount) << m->name;
            EXPECT_EQ(static_cast<int>(m->points), o->vertexCount) << m->name;
            for (unsigned i = 0; i < m->faces; i += 97)
                EXPECT_STREQ(m->faceL[i].material, o->faces[i].material->name) << m->name;
        }
        EXPECT_EQ(static_cast<int>(l.records<scene::Object>(scene::WORLD_OBJECT).size()), meshes);

        int materials = 0;
        for (Lib3dsMaterial* m = f->materials; m; m = m->next, ++materials) {
            auto* ours = l.find<scene::Material>(m->name, scene::WORLD_MATERIAL);
            ASSERT_NE(nullptr, ours) << m->name;
            EXPECT_EQ(m->shading, ours->shading) << m->name;
            EXPECT_EQ(m->two_sided != 0, (ours->flags & scene::MATERIAL_TWOSIDED) != 0) << m->name;
            EXPECT_NEAR(m->transparency, ours->transparency, 1e-6f) << m->name;
            EXPECT_STREQ(m->texture1_map.name, ours->texture.fileName ? ours->texture.fileName : "")
                << m->name;
            EXPECT_STREQ(m->reflection_map.name,
                         ours->reflection.fileName ? ours->reflection.fileName : "")
                << m->name;
        }
        EXPECT_EQ(static_cast<int>(l.records<scene::Material>(scene::WORLD_MATERIAL).size()),
                  materials);

        int cameras = 0;
        for (Lib3dsCamera* c = f->cameras; c; c = c->next, ++cameras) {
            auto* ours = l.find<scene::Camera>(c->name, scene::WORLD_CAMERA);
            ASSERT_NE(nullptr, ours) << c->name;
        }
        EXPECT_EQ(1, cameras);

        int lights = 0;
        for (Lib3dsLight* li = f->lights; li; li = li->next, ++lights) {
            auto* ours = l.find<scene::Light>(li->name, scene::WORLD_LIGHT);
            ASSERT_NE(nullptr, ours) << li->name;
            EXPECT_EQ(li->inner_range, ours->rangeStart) << li->name;
            EXPECT_EQ(li->outer_range, ours->rangeEnd) << li->name;
            EXPECT_EQ(li->color[0], ours->color.x) << li->name;
        }
        EXPECT_EQ(static_cast<int>(l.records<scene::Light>(scene::WORLD_LIGHT).size()), lights);

        EXPECT_EQ(static_cast<float>(f->segment_from), l.s->startFrame);
        EXPECT_EQ(static_cast<float>(f->segment_to), l.s->endFrame);

        // Object hierarchy node by node.
        for (scene::KeyNode* k = l.s->keyFirst; k; k = k->next) {
            if (k->kind != scene::KEY_OBJECT) continue;
            const char* n = static_cast<scene::Object*>(k->record)->name;
            Lib3dsNode* ln = lib3ds_file_node_by_name(f, n, LIB3DS_OBJECT_NODE);
            ASSERT_NE(nullptr, ln) << n;
            EXPECT_EQ(parentName(k), ln->parent ? ln->parent->name : "") << n;
        }
    }
}

// Runs `assimp info -r FILE` (a raw import, no post-processing) and reads its counts and its
// node tree.
struct AssimpInfo {
    std::map<std::string, int> counts;
    std::map<std::string, std::string> parent; // node name -> parent node name
};

bool runAssimp(const std::string& file, AssimpInfo& out) {
    const std::string cmd = "assimp info '" + file + "' -r 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return false;
    std::string text;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) text.append(buf, n);
    if (pclose(p) != 0) return false;
    std::istringstream in(text);
    std::string line;
    bool tree = false;
    std::vector<std::string> stack;
    while (std::getline(in, line)) {
        if (line.rfind("Node hierarchy:", 0) == 0) {
            tree = true;
            continue;
        }
        if (!tree) {
            const auto colon = line.find(':');
            if (colon != std::string::npos && line.find('(') == std::string::npos) {
                try {
                    out.counts[line.substr(0, colon)] = std::stoi(line.substr(colon + 1));
                } catch (...) {
                }
            }
            continue;
        }
        // Tree lines: depth shown by groups of two display columns before a branch mark.
        const auto mark = line.find("\u2574"); // the branch's horizontal stub
        if (line.empty() || line[0] == '<') continue;
        if (mark == std::string::npos) continue;
        std::size_t columns = 0;
        for (std::size_t i = 0; i < mark;) {
            const unsigned char ch = static_cast<unsigned char>(line[i]);
            i += ch < 0x80 ? 1 : ch < 0xE0 ? 2 : ch < 0xF0 ? 3 : 4;
            ++columns;
        }
        const std::size_t depth = (columns - 1) / 2;
        std::string name = line.substr(mark + 3);
        name = name.substr(0, name.find(" ("));
        stack.resize(depth);
        out.parent[name] = depth ? stack[depth - 1] : "";
        stack.push_back(name);
    }
    return true;
}

TEST(IntroScenesOracle, AssimpReadsTheSameScene) {
    if (std::system("command -v assimp >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "assimp (package assimp-utils) is not installed";
    for (const char* name : FILES) {
        SCOPED_TRACE(name);
        AssimpInfo info;
        ASSERT_TRUE(runAssimp(generated(name), info));
        Loaded l(readFile(generated(name)));
        int faces = 0;
        for (auto* o : l.records<scene::Object>(scene::WORLD_OBJECT)) faces += o->faceCount;
        EXPECT_EQ(faces, info.counts["Faces"]);
        EXPECT_EQ(1, info.counts["Cameras"]);
        EXPECT_EQ(static_cast<int>(l.records<scene::Light>(scene::WORLD_LIGHT).size()),
                  info.counts["Lights"]);
        EXPECT_EQ(static_cast<int>(l.records<scene::Material>(scene::WORLD_MATERIAL).size()),
                  info.counts["Materials"]);
        for (scene::KeyNode* k = l.s->keyFirst; k; k = k->next) {
            if (k->kind != scene::KEY_OBJECT) continue;
            const char* n = static_cast<scene::Object*>(k->record)->name;
            ASSERT_TRUE(info.parent.count(n)) << n;
            EXPECT_EQ(parentName(k), info.parent[n]) << n;
        }
        EXPECT_TRUE(info.parent.count("Cam"));
    }
}

// scenedump, the authors' tool, shows each scene: its camera, lights, objects and frames.
TEST(IntroScenesOracle, ScenedumpShowsThem) {
    for (const char* name : FILES) {
        SCOPED_TRACE(name);
        const std::string cmd = std::string(VRK_SCENEDUMP) + " '" + generated(name) + "' 100";
        FILE* p = popen(cmd.c_str(), "r");
        ASSERT_NE(nullptr, p);
        std::string text;
        char buf[4096];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) text.append(buf, n);
        EXPECT_EQ(0, pclose(p));
        Loaded l(readFile(generated(name)));
        EXPECT_NE(std::string::npos, text.find("camera \"Cam\""));
        for (auto* li : l.records<scene::Light>(scene::WORLD_LIGHT))
            EXPECT_NE(std::string::npos, text.find(std::string("light \"") + li->name + "\""));
        for (auto* o : l.records<scene::Object>(scene::WORLD_OBJECT))
            EXPECT_NE(std::string::npos, text.find(std::string("object \"") + o->name + "\" id " +
                                                   std::to_string(o->id)))
                << o->name;
    }
}

} // namespace
