// scene_update: object matrices, hierarchy, cameras and the transform of vertices and normals.
#include <cmath>

#include "tests/scene/scene_fixture.h"

using namespace scene;
using namespace scene_test;

namespace {

constexpr float PI = 3.14159265358979323846f;

Bytes vec_track(std::uint16_t id,
                std::initializer_list<std::pair<int, std::array<float, 3>>> keys) {
    Bytes k;
    for (const auto& [frame, v] : keys) {
        key_header(k, frame);
        for (float f : v) putf(k, f);
    }
    return track(id, 0, static_cast<std::uint32_t>(keys.size()), k);
}

Bytes rot_track(std::initializer_list<std::pair<int, std::array<float, 4>>> keys) {
    Bytes k;
    for (const auto& [frame, v] : keys) {
        key_header(k, frame);
        for (float f : v) putf(k, f);
    }
    return track(0xB021, 0, static_cast<std::uint32_t>(keys.size()), k);
}

Bytes one_scale() {
    return vec_track(0xB022, {{0, {1, 1, 1}}});
}

void expect_matrix(const Matrix& m, std::initializer_list<float> values, float eps = 1e-5f) {
    const float* a = &m.xx;
    int i = 0;
    for (float v : values) {
        EXPECT_NEAR(a[i], v, eps) << "element " << i;
        ++i;
    }
}

class UpdateTest : public SceneFixture {
  protected:
    void at(float frame) {
        scene_set_active(s);
        ASSERT_EQ(0, scene_set_frame(frame));
        ASSERT_EQ(0, scene_update());
    }
};

TEST_F(UpdateTest, ObjectMatrixIsRotationWithPositionTimesScale) {
    scene_init(0);
    Bytes node =
        object_node("A", -1, -1,
                    {vec_track(0xB020, {{0, {1, 2, 3}}}), rot_track({{0, {PI / 2, 0, 0, 1}}}),
                     vec_track(0xB022, {{0, {2, 2, 2}}})});
    ASSERT_EQ(0, load(file({triangle("A")}, {frames(0, 10), node})));
    at(0);
    // A quarter turn about the library's y axis (the file's z), scaled by 2, moved to
    // (1, 3, 2).
    expect_matrix(object("A")->matrix, {0, 0, 2, 1, 0, 2, 0, 3, -2, 0, 0, 2});
}

TEST_F(UpdateTest, WithoutRotationAndScaleTracksTheObjectCollapsesOntoItsPosition) {
    scene_init(0);
    ASSERT_EQ(0, load(file({triangle("A")},
                           {frames(0, 10),
                            object_node("A", -1, -1, {vec_track(0xB020, {{0, {4, 5, 6}}})})})));
    at(0);
    expect_matrix(object("A")->matrix, {0, 0, 0, 4, 0, 0, 0, 6, 0, 0, 0, 5}, 0);
    EXPECT_EQ(0.0f, object("A")->rotation.w);
}

TEST_F(UpdateTest, PositionTrackInterpolatesAndHideTrackSetsTheFlag) {
    scene_init(0);
    Bytes hide;
    for (int f : {4, 8}) {
        put32(hide, f);
        put16(hide, 0);
    }
    Bytes node = object_node("A", -1, -1,
                             {vec_track(0xB020, {{0, {0, 0, 0}}, {10, {10, 0, 20}}}), one_scale(),
                              track(0xB029, 0, 2, hide)});
    ASSERT_EQ(0, load(file({triangle("A")}, {frames(0, 20), node})));
    at(5);
    Object* o = object("A");
    EXPECT_FLOAT_EQ(5.0f, o->position.x);
    EXPECT_FLOAT_EQ(10.0f, o->position.y);
    EXPECT_EQ(OBJECT_HIDDEN, o->flags & OBJECT_HIDDEN);
    at(9);
    EXPECT_EQ(0, o->flags & OBJECT_HIDDEN);
    at(2);
    EXPECT_EQ(0, o->flags & OBJECT_HIDDEN);
}

TEST_F(UpdateTest, HierarchyComposesParentsIntoChildren) {
    scene_init(SCENE_HIERARCHY);
    Bytes parent = object_node(
        "P", 0, -1,
        {vec_track(0xB020, {{0, {10, 0, 0}}}), one_scale(), rot_track({{0, {PI / 2, 0, 0, 1}}})});
    Bytes child = object_node("C", 1, 0, {vec_track(0xB020, {{0, {1, 0, 0}}}), one_scale()});
    Bytes grandchild = object_node("G", 2, 1, {vec_track(0xB020, {{0, {0, 0, 1}}}), one_scale()});
    Bytes cam = chunk_list(
        0xB003, {}, {node_id(3), node_header("Cam", 1), vec_track(0xB020, {{0, {0, 0, 5}}})});
    Bytes light = chunk_list(
        0xB005, {}, {node_id(4), node_header("L", 3), vec_track(0xB020, {{0, {1, 1, 1}}})});
    ASSERT_EQ(0, load(file({triangle("P"), triangle("C"), triangle("G"),
                            camera_chunk("Cam", 0, 0, 0, 0, 1, 0, 0, 50),
                            chunk(0x4000, str("L"), {chunk(0x4600, floats({0, 0, 0}))})},
                           {frames(0, 10), parent, child, grandchild, cam, light})));
    at(0);
    // Quarter turn about y: x goes to -z. Child sits at parent x (1, 0, 0) -> (10, 0, -1).
    const Matrix& c = object("C")->matrix;
    EXPECT_NEAR(10.0f, c.xw, 1e-5f);
    EXPECT_NEAR(-1.0f, c.zw, 1e-5f);
    // The grandchild's (0, 1, 0) in the library's axes is up, which the turn keeps.
    const Matrix& g = object("G")->matrix;
    EXPECT_NEAR(10.0f, g.xw, 1e-5f);
    EXPECT_NEAR(1.0f, g.yw, 1e-5f);
    EXPECT_NEAR(-1.0f, g.zw, 1e-5f);
    // The camera hangs under C: (0, 5, 0) -> (10, 5, -1); the light under the camera is
    // offset by the camera's position.
    Camera* cm = camera("Cam");
    EXPECT_NEAR(10.0f, cm->position.x, 1e-5f);
    EXPECT_NEAR(5.0f, cm->position.y, 1e-5f);
    auto* l = record<Light>("L", WORLD_LIGHT);
    EXPECT_NEAR(11.0f, l->position.x, 1e-5f);
    EXPECT_NEAR(6.0f, l->position.y, 1e-5f);
    EXPECT_NEAR(0.0f, l->position.z, 1e-5f);
}

TEST(CameraBuild, PerspectiveAndTargetOnTheDepthAxis) {
    Camera c{};
    c.sizeX = 320;
    c.sizeY = 200;
    c.aspect = 0.75f;
    c.fov = 90;
    c.position = Vector{1, 2, 3};
    c.target = Vector{1, 2, 13};
    camera_build(&c);
    EXPECT_FLOAT_EQ(160.0f, c.perspX);
    EXPECT_FLOAT_EQ(100.0f / 0.75f, c.perspY);
    expect_matrix(c.matrix, {1, 0, 0, -1, 0, 1, 0, -2, 0, 0, 1, -3});
    const Vector targets[] = {{7, -3, 2}, {-4, 9, 1}, {0, 2.5f, -8}};
    for (const Vector& t : targets) {
        c.target = t;
        camera_build(&c);
        Vector d, r;
        vec_sub(&t, &c.position, &d);
        mat_transform(&c.matrix, &t, &r);
        EXPECT_NEAR(0.0f, r.x, 1e-4f);
        EXPECT_NEAR(0.0f, r.y, 1e-4f);
        EXPECT_NEAR(vec_length(&d), r.z, 1e-4f);
    }
    // A camera looking at its own position divides by 1 and stays finite.
    c.target = c.position;
    camera_build(&c);
    EXPECT_TRUE(std::isfinite(c.matrix.xx));
    // Roll turns the picture about the depth axis.
    c.target = Vector{1, 2, 13};
    c.roll = 90;
    camera_build(&c);
    Vector up{1, 3, 3}, r;
    mat_transform(&c.matrix, &up, &r);
    EXPECT_NEAR(1.0f, std::fabs(r.x), 1e-5f);
    EXPECT_NEAR(0.0f, r.y, 1e-5f);
}

TEST_F(UpdateTest, TransformMatchesTheMatrixOperationsBitForBit) {
    scene_init(SCENE_NORMALS | SCENE_TRANSFORM);
    Bytes node = object_node("A", -1, -1,
                             {vec_track(0xB020, {{0, {1, 2, 3}}, {10, {-4, 5, 0.5f}}}),
                              rot_track({{0, {0.3f, 0, 1, 0}}, {10, {1.1f, 0.6f, 0, 0.8f}}}),
                              vec_track(0xB022, {{0, {1, 2, 3}}})});
    ASSERT_EQ(0, load(file({mesh("A", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1},
                                 {{0, 1, 2, 0}, {0, 3, 1, 0}, {1, 3, 2, 0}}),
                            camera_chunk("Cam", 0, -20, 5, 0, 0, 0, 10, 35)},
                           {frames(0, 10), node})));
    Camera* cam = camera("Cam");
    cam->sizeX = 320;
    cam->sizeY = 200;
    cam->aspect = 0.75f;
    scene_set_active_camera(cam);
    at(3.5f);
    Object* o = object("A");
    Matrix m, n;
    mat_mul(&cam->matrix, &o->matrix, &m);
    mat_normal(&o->matrix, &n);
    for (int i = 0; i < o->vertexCount; ++i) {
        Vector p, q;
        mat_transform(&m, &o->vertices[i].position, &p);
        mat_rotate(&n, &o->vertices[i].normal, &q);
        EXPECT_EQ(0, std::memcmp(&p, &o->vertices[i].transformed, sizeof p)) << i;
        EXPECT_EQ(0, std::memcmp(&q, &o->vertices[i].transformedNormal, sizeof q)) << i;
    }
    for (int i = 0; i < o->faceCount; ++i) {
        Vector q;
        mat_rotate(&n, &o->faces[i].normal, &q);
        EXPECT_EQ(0, std::memcmp(&q, &o->faces[i].transformedNormal, sizeof q)) << i;
    }
    Vector lo;
    mat_transform(&o->matrix, &o->boxMin, &lo);
    EXPECT_EQ(lo.x, o->tboxMin.x);
    EXPECT_EQ(lo.z, o->tboxMin.z);
}

TEST_F(UpdateTest, MorphInterpolatesBetweenTargets) {
    scene_init(SCENE_MORPH | SCENE_TRANSFORM);
    Bytes morph;
    key_header(morph, 0);
    put_str(morph, "B");
    key_header(morph, 10);
    put_str(morph, "C");
    Bytes node =
        object_node("A", -1, -1,
                    {vec_track(0xB020, {{0, {0, 0, 0}}}), one_scale(), track(0xB026, 0, 2, morph)});
    ASSERT_EQ(0, load(file({mesh("A", {0, 0, 0, 0, 0, 0, 0, 0, 0}, {{0, 1, 2, 0}}),
                            mesh("B", {0, 0, 0, 2, 0, 0, 0, 2, 0}, {{0, 1, 2, 0}}),
                            mesh("C", {0, 0, 0, 4, 0, 0, 0, 0, 6}, {{0, 1, 2, 0}}),
                            mesh("D", {0, 0, 0}, {})},
                           {frames(0, 20), node})));
    at(5);
    Object* a = object("A");
    EXPECT_EQ(OBJECT_MORPH, a->flags & OBJECT_MORPH);
    EXPECT_EQ(object("B")->id, a->morphFrom);
    EXPECT_EQ(object("C")->id, a->morphTo);
    EXPECT_FLOAT_EQ(3.0f, a->vertices[1].transformed.x);
    EXPECT_FLOAT_EQ(1.0f, a->vertices[2].transformed.z);
    EXPECT_FLOAT_EQ(3.0f, a->vertices[2].transformed.y);
    // Without the morph option the object's own vertices are used.
    scene_init(SCENE_TRANSFORM);
    at(5);
    EXPECT_EQ(0.0f, a->vertices[1].transformed.x);
}

TEST_F(UpdateTest, MorphTargetWithOtherVertexCountIsNotFollowed) {
    scene_init(SCENE_MORPH | SCENE_TRANSFORM);
    Bytes morph;
    key_header(morph, 0);
    put_str(morph, "D");
    Bytes node = object_node("A", -1, -1, {one_scale(), track(0xB026, 0, 1, morph)});
    ASSERT_EQ(0, load(file({triangle("A"), mesh("D", {0, 0, 0}, {})}, {frames(0, 20), node})));
    at(5);
    EXPECT_EQ(1.0f, object("A")->vertices[1].transformed.x);
}

TEST_F(UpdateTest, RecordsTakenOutOfTheWorldAreLeftAlone) {
    scene_init(SCENE_HIERARCHY | SCENE_TRANSFORM);
    Bytes dummy = chunk_list(0xB002, {},
                             {node_id(0), node_header("$$$DUMMY", -1),
                              vec_track(0xB020, {{0, {5, 0, 0}}}), one_scale()});
    Bytes child = object_node("A", 1, 0, {vec_track(0xB020, {{0, {1, 0, 0}}}), one_scale()});
    ASSERT_EQ(0, load(file({triangle("A")}, {frames(0, 10), dummy, child})));
    at(0);
    EXPECT_FLOAT_EQ(6.0f, object("A")->matrix.xw);
    // Drop the dummy the way the engine's optimizer drops objects without faces.
    for (WorldNode* n = s->worldFirst; n; n = n->next) {
        if (n->kind == WORLD_OBJECT && (static_cast<Object*>(n->record)->flags & OBJECT_DUMMY)) {
            scene_detach_record(s, n->record);
            free_object(static_cast<Object*>(n->record));
            n->kind = 0;
            n->record = nullptr;
        }
    }
    at(1);
    EXPECT_FLOAT_EQ(1.0f, object("A")->matrix.xw);
}

TEST_F(UpdateTest, MorphedNormalsInterpolatedOrRecomputed) {
    Bytes morph;
    key_header(morph, 0);
    put_str(morph, "B");
    key_header(morph, 10);
    put_str(morph, "C");
    Bytes node = object_node("A", -1, -1, {one_scale(), track(0xB026, 0, 2, morph)});
    // B lies in the library's xz plane, C in its xy plane; halfway the triangle leans at 45
    // degrees.
    Bytes b = file({triangle("A"), mesh("B", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 0}}),
                    mesh("C", {0, 0, 0, 1, 0, 0, 0, 0, 1}, {{0, 1, 2, 0}})},
                   {frames(0, 20), node});
    const int base = SCENE_NORMALS | SCENE_MORPH | SCENE_TRANSFORM;

    scene_init(base | SCENE_MORPH_NORMALS);
    ASSERT_EQ(0, load(b));
    at(5);
    Object* a = object("A");
    Vector lerped;
    vec_lerp(&object("B")->faces[0].normal, &object("C")->faces[0].normal, 0.5f, &lerped);
    EXPECT_FLOAT_EQ(lerped.y, a->faces[0].transformedNormal.y);
    EXPECT_FLOAT_EQ(lerped.z, a->faces[0].transformedNormal.z);
    EXPECT_NEAR(0.5f, std::fabs(a->faces[0].transformedNormal.y), 1e-6f);

    scene_init(base | SCENE_NORMALS_RECOMPUTE);
    ASSERT_EQ(0, load(b));
    at(5);
    a = object("A");
    EXPECT_NEAR(std::sqrt(0.5f), std::fabs(a->faces[0].transformedNormal.y), 1e-6f);
    EXPECT_NEAR(std::sqrt(0.5f), std::fabs(a->faces[0].transformedNormal.z), 1e-6f);
    EXPECT_NEAR(1.0f, vec_length(&a->vertices[0].transformedNormal), 1e-6f);
}

} // namespace
