#include <cmath>

#include "scene/reader.h"
#include "tests/scene/scene_fixture.h"

using namespace scene;
using namespace scene_test;

namespace {

constexpr float PI = 3.14159265358979323846f;

using ReaderTest = SceneFixture;

TEST_F(ReaderTest, MainChunkAloneIsAnEmptyWorld) {
    EXPECT_EQ(0, load_world(chunk(0x4D4D, {})));
    EXPECT_EQ(nullptr, s->worldFirst);
}

TEST_F(ReaderTest, FirstByteBelowTwoIsAnUnsupportedVersion) {
    Bytes b = chunk(0x4D01, {});
    EXPECT_EQ(SCENE_ERR_VERSION, load_world(b));
    EXPECT_EQ(SCENE_ERR_BADFILE, load_world({}));
    EXPECT_EQ(SCENE_ERR_NOFILE, scene_load_world("/nonexistent/dir/x.3ds", s));
}

TEST_F(ReaderTest, LensToFieldOfView) {
    ASSERT_EQ(0, load_world(file({camera_chunk("C50", 0, 0, 0, 0, 1, 0, 0, 50),
                                  camera_chunk("C40", 0, 0, 0, 0, 1, 0, 0, 40),
                                  camera_chunk("C135", 0, 0, 0, 0, 1, 0, 0, 135)})));
    EXPECT_EQ(46.0f, camera("C50")->fov);
    EXPECT_EQ(60.0f, camera("C40")->fov);
    EXPECT_EQ(18.0f, camera("C135")->fov);
    EXPECT_FLOAT_EQ(2400.0f / 33, lens_to_fov(33));
}

TEST_F(ReaderTest, AxesAreExchangedAndIdsCountAcrossKinds) {
    ASSERT_EQ(0, load_world(file({material("M"), camera_chunk("Cam", 1, 2, 3, 4, 5, 6, 7, 50),
                                  mesh("Tri", {1, 2, 3, 4, 5, 6, 7, 8, 9}, {{0, 1, 2, 0x18}})})));
    Camera* c = camera("Cam");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(1, c->id);
    EXPECT_EQ(1.0f, c->position.x);
    EXPECT_EQ(3.0f, c->position.y);
    EXPECT_EQ(2.0f, c->position.z);
    EXPECT_EQ(6.0f, c->target.y);
    EXPECT_EQ(7.0f, c->roll);
    Object* o = object("Tri");
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(2, o->id);
    EXPECT_EQ(-1, o->parentId);
    EXPECT_EQ(3, o->vertexCount);
    EXPECT_EQ(9.0f, o->vertices[2].position.y);
    EXPECT_EQ(8.0f, o->vertices[2].position.z);
    EXPECT_EQ(FACE_WRAP_U | FACE_WRAP_V, o->faces[0].flags);
    EXPECT_EQ(&o->vertices[1], o->faces[0].vb);
    EXPECT_EQ(nullptr, o->faces[0].material);
    // Bounding box from the vertices.
    EXPECT_EQ(1.0f, o->boxMin.x);
    EXPECT_EQ(9.0f, o->boxMax.y);
}

TEST_F(ReaderTest, MaterialsColoursPercentagesMapsAndFaceMaterials) {
    Bytes tex =
        chunk(0xA200, {},
              {chunk(0x0030, {50, 0}), chunk(0xA300, str("wood.tga")), chunk(0xA351, {0x08, 0x02}),
               chunk(0xA354, floats({2.5f})), chunk(0xA35C, floats({0.75f}))});
    Bytes mat = material("Wood", {chunk(0xA010, {}, {chunk(0x0011, {255, 0, 51})}),
                                  chunk(0xA020, {}, {chunk(0x0010, floats({0.25f, 0.5f, 1}))}),
                                  chunk(0xA050, {}, {chunk(0x0030, {17, 0})}), tex,
                                  chunk(0xA081, {}), chunk(0xA083, {}), chunk(0xA100, {2, 0})});
    Bytes fm = str("Wood");
    put16(fm, 1);
    put16(fm, 0);
    ASSERT_EQ(0, load_world(file({mat, triangle("T", {chunk(0x4130, fm)})})));
    auto* m = record<Material>("Wood", WORLD_MATERIAL);
    ASSERT_NE(nullptr, m);
    EXPECT_FLOAT_EQ(1.0f, m->ambient.x);
    EXPECT_FLOAT_EQ(0.2f, m->ambient.z);
    EXPECT_EQ(0.5f, m->diffuse.y);
    EXPECT_FLOAT_EQ(0.17f, m->transparency);
    EXPECT_EQ(2, m->shading);
    EXPECT_EQ(MATERIAL_TWOSIDED | MATERIAL_TRANSPARENCY_ADD, m->flags);
    EXPECT_STREQ("wood.tga", m->texture.fileName);
    EXPECT_EQ(0x0208, m->texture.flags);
    EXPECT_EQ(2.5f, m->texture.uScale);
    EXPECT_EQ(0.75f, m->texture.rotation);
    EXPECT_EQ(nullptr, m->bump.fileName);
    Object* o = object("T");
    EXPECT_EQ(m, o->faces[0].material);
    EXPECT_EQ(m->id, o->faces[0].materialId);
}

TEST_F(ReaderTest, ColourInAmbientOrBackgroundChunkChangesNothing) {
    Bytes light = chunk(0x4000, str("L"), {chunk(0x4600, floats({1, 2, 3}))});
    ASSERT_EQ(0, load_world(file({light, chunk(0x2100, {}, {chunk(0x0010, floats({1, 1, 1}))}),
                                  chunk(0x1200, {}, {chunk(0x0011, {9, 9, 9})})})));
    auto* l = record<Light>("L", WORLD_LIGHT);
    ASSERT_NE(nullptr, l);
    EXPECT_EQ(0.0f, l->color.x);
    EXPECT_EQ(LIGHT_OMNI, l->kind);
    EXPECT_EQ(1, count_world(WORLD_LIGHT));
}

TEST_F(ReaderTest, SpotLightAndRanges) {
    Bytes light = chunk(
        0x4000, str("S"),
        {chunk(0x4600, floats({1, 2, 3}),
               {chunk(0x0010, floats({0.5f, 0.25f, 1})), chunk(0x4610, floats({4, 5, 6, 30, 45})),
                chunk(0x4659, floats({10})), chunk(0x465A, floats({99}))})});
    ASSERT_EQ(0, load_world(file({light})));
    auto* l = record<Light>("S", WORLD_LIGHT);
    ASSERT_NE(nullptr, l);
    EXPECT_EQ(LIGHT_SPOT, l->kind);
    EXPECT_EQ(0.25f, l->color.y);
    EXPECT_EQ(6.0f, l->target.y);
    EXPECT_EQ(30.0f, l->hotspot);
    EXPECT_EQ(45.0f, l->falloff);
    EXPECT_EQ(10.0f, l->rangeStart);
    EXPECT_EQ(99.0f, l->rangeEnd);
}

TEST_F(ReaderTest, UnknownChunksAreSkippedAtAnyLevel) {
    Bytes junk = chunk(0x7777, {1, 2, 3, 4, 5});
    Bytes cam =
        chunk(0x4000, str("Cam"), {junk, chunk(0x4700, floats({0, 0, 0, 0, 0, 1, 0, 50}), {junk})});
    Bytes m = mesh("Tri", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 0}}, {junk}, {junk});
    Bytes b =
        chunk(0x4D4D, {}, {junk, chunk(0x3D3D, {}, {junk, cam, m, material("M", {junk})}), junk});
    ASSERT_EQ(0, load_world(b));
    EXPECT_EQ(1, count_world(WORLD_CAMERA));
    EXPECT_EQ(1, count_world(WORLD_MATERIAL));
    ASSERT_NE(nullptr, object("Tri"));
    EXPECT_EQ(1, object("Tri")->faceCount);
}

TEST_F(ReaderTest, MappingAndMeshMatrix) {
    Bytes map;
    put16(map, 3);
    for (float f : {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}) putf(map, f);
    // Local axes: x along file x, y along file z (scaled 2), z along file -y; origin (10, 20, 30).
    Bytes mm = floats({1, 0, 0, 0, 0, 2, 0, -1, 0, 10, 20, 30});
    ASSERT_EQ(0, load_world(file({mesh("M", {11, 20, 30, 10, 20, 34, 10, 18, 30}, {{0, 1, 2, 0}},
                                       {}, {chunk(0x4140, map), chunk(0x4160, mm)})})));
    Object* o = object("M");
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(0.5f, o->vertices[2].u);
    EXPECT_EQ(0.6f, o->vertices[2].v);
    // The axes in the library's order (columns, then rows 2 and 3 exchanged), inverted.
    Matrix m{1, 0, 0, 0, 0, 0, -1, 0, 0, 2, 0, 0};
    Matrix inv;
    mat_inverse(&m, &inv);
    Vector d{0, 4, 0}, expect;
    mat_transform(&inv, &d, &expect);
    EXPECT_FLOAT_EQ(expect.x, o->vertices[1].position.x);
    EXPECT_FLOAT_EQ(expect.y, o->vertices[1].position.y);
    EXPECT_FLOAT_EQ(expect.z, o->vertices[1].position.z);
    EXPECT_FLOAT_EQ(1.0f, o->vertices[0].position.x);
}

TEST_F(ReaderTest, NodeIdsFollowOnAndHonourExplicitIds) {
    Bytes world = file({triangle("A"), triangle("B"), triangle("C"), triangle("D")},
                       {frames(0, 100), object_node("A", -1, -1), object_node("B", -1, 0),
                        object_node("C", 7, -1), object_node("D", -1, 7)});
    ASSERT_EQ(0, load(world));
    std::vector<int> ids;
    for (KeyNode* k = s->keyFirst; k; k = k->next) ids.push_back(k->id);
    EXPECT_EQ((std::vector<int>{0, 1, 7, 8}), ids);
    EXPECT_EQ(object("A")->id, object("B")->parentId);
    EXPECT_EQ(object("C")->id, object("D")->parentId);
    EXPECT_EQ(-1, object("C")->parentId);
    KeyNode* a = s->keyFirst;
    EXPECT_EQ(a->next, a->firstChild);
    EXPECT_EQ(a, a->next->parent);
    EXPECT_EQ(0.0f, s->startFrame);
    EXPECT_EQ(100.0f, s->endFrame);
}

TEST_F(ReaderTest, RotationKeysAreCumulative) {
    Bytes keys;
    for (int i = 0; i < 2; ++i) {
        key_header(keys, i * 10);
        for (float f : {PI / 2, 0.0f, 0.0f, 1.0f}) putf(keys, f); // about file z = library y
    }
    ASSERT_EQ(0,
              load(file({triangle("A")},
                        {frames(0, 20), object_node("A", -1, -1, {track(0xB021, 0, 2, keys)})})));
    Track* t = s->keyFirst->tracks[2];
    ASSERT_NE(nullptr, t);
    Key* k2 = t->first->next;
    EXPECT_FLOAT_EQ(PI, k2->value[0]);
    EXPECT_EQ(1.0f, k2->value[2]);
    EXPECT_NEAR(0.0f, k2->orientation.w, 1e-6f);
    EXPECT_NEAR(1.0f, std::fabs(k2->orientation.y), 1e-6f);
    EXPECT_NEAR(0.0f, k2->orientation.z, 1e-6f);
}

TEST_F(ReaderTest, HideKeysToggleFromHidden) {
    Bytes keys;
    for (int f : {0, 10, 20}) {
        put32(keys, f);
        put16(keys, 0);
    }
    ASSERT_EQ(0,
              load(file({triangle("A")},
                        {frames(0, 30), object_node("A", -1, -1, {track(0xB029, 0, 3, keys)})})));
    Track* t = s->keyFirst->tracks[4];
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(1.0f, t->first->value[0]);
    EXPECT_EQ(0.0f, t->first->next->value[0]);
    EXPECT_EQ(1.0f, t->first->next->next->value[0]);
}

TEST_F(ReaderTest, SplineParametersTrackModesAndDroppedTracks) {
    Bytes keys;
    put32(keys, 0);
    put16(keys, 0x1F | 0x40); // tension, continuity, bias, ease to, ease from, one more
    for (float f : {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 9.0f}) putf(keys, f);
    for (float f : {1.0f, 2.0f, 3.0f}) putf(keys, f);
    key_header(keys, 10);
    for (float f : {4.0f, 5.0f, 6.0f}) putf(keys, f);
    Bytes fov;
    key_header(fov, 0);
    putf(fov, 40);
    ASSERT_EQ(0, load(file({triangle("A")},
                           {frames(0, 30),
                            object_node("A", -1, -1,
                                        {track(0xB020, 3, 2, keys), track(0xB023, 0, 1, fov)})})));
    Track* t = s->keyFirst->tracks[0];
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(TRACK_MODE_LOOP, t->mode);
    EXPECT_EQ(0.1f, t->first->tension);
    EXPECT_EQ(0.2f, t->first->continuity);
    EXPECT_EQ(0.3f, t->first->bias);
    EXPECT_EQ(0.4f, t->first->easeTo);
    EXPECT_EQ(0.5f, t->first->easeFrom);
    EXPECT_EQ(3.0f, t->first->value[1]);
    EXPECT_EQ(6.0f, t->first->next->value[1]);
    // A field-of-view track has no slot in an object node.
    for (int slot = 1; slot < TRACK_SLOTS; ++slot) EXPECT_EQ(nullptr, s->keyFirst->tracks[slot]);
}

TEST_F(ReaderTest, DummyAmbientAndInstanceName) {
    Bytes amb;
    key_header(amb, 0);
    for (float f : {0.5f, 0.25f, 1.0f}) putf(amb, f);
    Bytes kf = chunk_list(0xB001, {},
                          {node_id(0), node_header("$AMBIENT$", -1), track(0xB025, 0, 1, amb)});
    Bytes dummy = chunk_list(0xB002, {},
                             {node_id(3), node_header("$$$DUMMY", -1), chunk(0xB011, str("Helper")),
                              chunk(0xB013, floats({1, 2, 3}))});
    ASSERT_EQ(0, load(file({triangle("A")}, {frames(0, 10), kf, dummy, object_node("A", -1, 3)})));
    auto* a = record<Ambient>("$AMBIENT$", WORLD_AMBIENT);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(1024, a->id);
    EXPECT_EQ(0.25f, a->color.y); // evaluated by the update after loading
    Object* d = object("Helper");
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(1027, d->id);
    EXPECT_EQ(OBJECT_DUMMY, d->flags & OBJECT_DUMMY);
    EXPECT_EQ(3.0f, d->pivot.y);
    EXPECT_EQ(1027, object("A")->parentId);
}

TEST_F(ReaderTest, PivotMovesVerticesAndTheirBox) {
    Bytes node = chunk_list(0xB002, {}, {node_header("A", -1), chunk(0xB013, floats({1, 0, 0}))});
    ASSERT_EQ(0, load(file({triangle("A")}, {frames(0, 10), node})));
    Object* o = object("A");
    EXPECT_EQ(-1.0f, o->vertices[0].position.x);
    EXPECT_EQ(0.0f, o->vertices[1].position.x);
    EXPECT_EQ(-1.0f, o->boxMin.x);
    EXPECT_EQ(0.0f, o->boxMax.x);
}

TEST_F(ReaderTest, CamTargetIsLookedUpAsCamAndTargetsGetTheirTracks) {
    Bytes pos;
    key_header(pos, 0);
    for (float f : {7.0f, 8.0f, 9.0f}) putf(pos, f);
    Bytes node = chunk_list(0xB004, {}, {node_header("Cam.target", -1), track(0xB020, 0, 1, pos)});
    ASSERT_EQ(0, load(file({camera_chunk("Cam", 0, 0, 0, 1, 1, 1, 0, 50)}, {frames(0, 10), node})));
    EXPECT_EQ(9.0f, camera("Cam")->target.y);
    EXPECT_EQ(KEY_CAMERA_TARGET, s->keyFirst->kind);
}

TEST_F(ReaderTest, ExtensionPlaysNoPartAndTheDriverTableStartsWith3ds) {
    EXPECT_STREQ("3DS", sceneDrivers[0].extension);
    EXPECT_EQ(&read3ds_world, sceneDrivers[0].readWorld);
    EXPECT_EQ(&read3ds_motion, sceneDrivers[0].readMotion);
    // The fixture's files end in ".tmp".
    ASSERT_EQ(0, load_world(file({triangle("A")})));
    EXPECT_NE(nullptr, object("A"));
}

} // namespace
