// The public operations: frames, lookups, active scene rules, release and error texts.
#include "tests/scene/scene_fixture.h"

using namespace scene;
using namespace scene_test;

namespace {

using SceneOps = SceneFixture;

Bytes two_objects(std::uint32_t start, std::uint32_t end) {
    return file({triangle("Camera01"), triangle("Box")},
                {frames(start, end), object_node("Camera01", -1, -1), object_node("Box", -1, -1)});
}

TEST(SceneErrors, Texts) {
    EXPECT_STREQ("internal error", scene_error_text(0));
    EXPECT_STREQ("internal error", scene_error_text(99));
    EXPECT_STREQ("internal error", scene_error_text(SCENE_ERR_UNDEFINED));
    EXPECT_STREQ("internal error", scene_error_text(-1));
    EXPECT_STREQ("not enough memory", scene_error_text(1));
    EXPECT_STREQ("corrupted file", scene_error_text(SCENE_ERR_BADFILE));
    EXPECT_STREQ("less than 2 keys in spline", scene_error_text(12));
    EXPECT_STREQ("object already exist", scene_error_text(15));
}

TEST_F(SceneOps, FramesAreCheckedAgainstTheRange) {
    ASSERT_EQ(0, load(two_objects(10, 50)));
    scene_set_active(s);
    float a, b;
    ASSERT_EQ(0, scene_get_frames(&a, &b));
    EXPECT_EQ(10.0f, a);
    EXPECT_EQ(50.0f, b);
    EXPECT_EQ(0, scene_set_frame(10));
    EXPECT_EQ(SCENE_ERR_FRAME, scene_set_frame(50));
    EXPECT_EQ(SCENE_ERR_FRAME, scene_set_frame(9.5f));
    EXPECT_EQ(0, scene_set_frame(49.5f));
    float f;
    EXPECT_EQ(0, scene_get_frame(&f));
    EXPECT_EQ(49.5f, f);
}

TEST_F(SceneOps, EqualStartAndEndMeanNoFrames) {
    ASSERT_EQ(0, load(two_objects(7, 7)));
    scene_set_active(s);
    float a, b;
    EXPECT_EQ(SCENE_ERR_NOFRAMES, scene_get_frames(&a, &b));
    EXPECT_EQ(SCENE_ERR_NOFRAMES, scene_set_frame(7));
    EXPECT_EQ(SCENE_ERR_NOFRAMES, scene_get_frame(&a));
}

TEST_F(SceneOps, NoActiveSceneOrKeyframer) {
    float a, b;
    EXPECT_EQ(SCENE_ERR_NOSCENE, scene_get_frames(&a, &b));
    EXPECT_EQ(SCENE_ERR_NOSCENE, scene_update());
    WorldNode* n = reinterpret_cast<WorldNode*>(1);
    EXPECT_EQ(SCENE_ERR_NOSCENE, scene_find_by_name("x", &n));
    EXPECT_EQ(nullptr, n);
    EXPECT_EQ(SCENE_ERR_NOSCENE, scene_find_first(WORLD_OBJECT, &n));
    EXPECT_EQ(SCENE_ERR_NULL, scene_set_active(nullptr));
    EXPECT_EQ(SCENE_ERR_NULL, scene_free_world(s));
}

TEST_F(SceneOps, LookupsAreExactAndWalkByKind) {
    ASSERT_EQ(0, load_world(file({material("M"), triangle("Camera01"),
                                  camera_chunk("Cam", 0, 0, 0, 1, 0, 0, 0, 50), triangle("Box")})));
    scene_set_active(s);
    WorldNode* n = nullptr;
    EXPECT_EQ(0, scene_find_by_name("camera01", &n));
    EXPECT_EQ(nullptr, n);
    EXPECT_EQ(0, scene_find_by_name("Camera01", &n));
    ASSERT_NE(nullptr, n);
    EXPECT_EQ(WORLD_OBJECT, n->kind);
    EXPECT_EQ(0, scene_find_by_id(2, &n));
    ASSERT_NE(nullptr, n);
    EXPECT_EQ(WORLD_CAMERA, n->kind);
    EXPECT_EQ(0, scene_find_by_id(77, &n));
    EXPECT_EQ(nullptr, n);
    std::vector<std::string> names;
    for (scene_find_first(WORLD_OBJECT | WORLD_MATERIAL, &n); n;
         scene_find_next(WORLD_OBJECT | WORLD_MATERIAL, &n))
        names.push_back(record_name(n->kind, n->record));
    EXPECT_EQ((std::vector<std::string>{"M", "Camera01", "Box"}), names);
}

TEST_F(SceneOps, MotionWithoutWorldChangesNothing) {
    ASSERT_TRUE(write_file(path, two_objects(0, 10)));
    EXPECT_EQ(SCENE_ERR_NOSCENE, scene_load_motion(path.c_str(), s));
    EXPECT_EQ(nullptr, s->keyFirst);
    EXPECT_EQ(0.0f, s->endFrame);
}

TEST_F(SceneOps, LoadersPutThePreviousActiveSceneBack) {
    Scene* other = nullptr;
    ASSERT_EQ(0, scene_alloc(&other));
    // With no scene active before, the loaded one stays active.
    ASSERT_EQ(0, load(two_objects(0, 10)));
    EXPECT_EQ(s, libraryState.activeScene);
    scene_set_active(other);
    ASSERT_EQ(0, load(two_objects(0, 10)));
    EXPECT_EQ(other, libraryState.activeScene);
    // A failed world load frees its partial world and restores the active scene too.
    EXPECT_EQ(SCENE_ERR_BADFILE, load_world(file({mesh("A", {0, 0, 0}, {{0, 0, 5, 0}})})));
    EXPECT_EQ(other, libraryState.activeScene);
    EXPECT_EQ(nullptr, s->worldFirst);
    EXPECT_EQ(nullptr, s->keyFirst);
    scene_release(other);
}

TEST_F(SceneOps, FreeingTheWorldDropsAnActiveCameraInIt) {
    ASSERT_EQ(0, load_world(file({camera_chunk("Cam", 0, 0, 0, 1, 0, 0, 0, 50)})));
    scene_set_active_camera(camera("Cam"));
    Camera* c = nullptr;
    scene_get_active_camera(&c);
    EXPECT_NE(nullptr, c);
    EXPECT_EQ(0, scene_free_world(s));
    scene_get_active_camera(&c);
    EXPECT_EQ(nullptr, c);
    EXPECT_EQ(0, scene_free_motion(s));
}

TEST_F(SceneOps, NormalsAtLoad) {
    scene_init(SCENE_NORMALS);
    // Two faces sharing an edge, one in the file's xy plane and one in its xz plane; plus a
    // vertex no face uses.
    ASSERT_EQ(0, load_world(file({mesh("N", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 5, 5, 5},
                                       {{0, 1, 2, 0}, {0, 3, 1, 0}})})));
    Object* o = object("N");
    ASSERT_NE(nullptr, o);
    for (int i = 0; i < 2; ++i) {
        Face& f = o->faces[i];
        Vector ab, bc, c, n;
        vec_sub(&f.va->position, &f.vb->position, &ab);
        vec_sub(&f.vb->position, &f.vc->position, &bc);
        vec_cross(&ab, &bc, &c);
        vec_normalize(&c, &n);
        EXPECT_EQ(n.x, f.normal.x);
        EXPECT_EQ(n.y, f.normal.y);
        EXPECT_EQ(n.z, f.normal.z);
        EXPECT_FLOAT_EQ(1.0f, vec_length(&f.normal));
    }
    Vector sum, mean, expect;
    vec_add(&o->faces[0].normal, &o->faces[1].normal, &sum);
    mean = Vector{sum.x / 2, sum.y / 2, sum.z / 2};
    vec_normalize(&mean, &expect);
    EXPECT_EQ(expect.x, o->vertices[0].normal.x);
    EXPECT_EQ(expect.y, o->vertices[0].normal.y);
    EXPECT_EQ(expect.z, o->vertices[0].normal.z);
    EXPECT_EQ(o->faces[0].normal.z, o->vertices[2].normal.z);
    EXPECT_EQ(0.0f, o->vertices[4].normal.x);
    EXPECT_EQ(0.0f, o->vertices[4].normal.y);
}

} // namespace

namespace {

// The intro loads its scenes straight from the data file's bytes: the same bytes must give the
// same scene as the file, and a damaged buffer the same refusal.
TEST_F(SceneOps, LoadingFromMemoryMatchesLoadingTheFile) {
    Bytes b = two_objects(0, 30);
    ASSERT_EQ(0, load(b));
    const int objects = count_world(WORLD_OBJECT), nodes = count_nodes();
    float a, e;
    scene_set_active(s);
    ASSERT_EQ(0, scene_get_frames(&a, &e));

    ASSERT_EQ(0, scene_load_world_memory(b.data(), b.size(), s));
    ASSERT_EQ(0, scene_load_motion_memory(b.data(), b.size(), s));
    EXPECT_EQ(objects, count_world(WORLD_OBJECT));
    EXPECT_EQ(nodes, count_nodes());
    float a2, e2;
    scene_set_active(s);
    ASSERT_EQ(0, scene_get_frames(&a2, &e2));
    EXPECT_EQ(a, a2);
    EXPECT_EQ(e, e2);
    ASSERT_NE(nullptr, object("Box"));

    const int onDisk = load_world(Bytes{});
    ASSERT_NE(0, onDisk) << "an empty file must be refused";
    EXPECT_EQ(onDisk, scene_load_world_memory(b.data(), 0, s));
    EXPECT_EQ(onDisk, scene_load_world_memory(nullptr, 0, s));
    EXPECT_EQ(SCENE_ERR_NULL, scene_load_world_memory(nullptr, 10, s));
    Bytes cut(b.begin(), b.begin() + b.size() / 2);
    EXPECT_EQ(load_world(cut), scene_load_world_memory(cut.data(), cut.size(), s));
}

} // namespace
