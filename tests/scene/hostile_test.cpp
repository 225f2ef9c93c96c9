// Files that are not sound 3DS scenes: each gets a clear code and leaves nothing behind.
#include "tests/scene/scene_fixture.h"

using namespace scene;
using namespace scene_test;

namespace {

class HostileTest : public SceneFixture {
  protected:
    // A load that fails must leave the pass's list empty.
    void expect_world_refused(const Bytes& b, int code) {
        EXPECT_EQ(code, load_world(b));
        EXPECT_EQ(nullptr, s->worldFirst);
    }
    void expect_motion_refused(const Bytes& b, int code) {
        ASSERT_EQ(0, load_world(b));
        EXPECT_EQ(code, scene_load_motion(path.c_str(), s));
        EXPECT_EQ(nullptr, s->keyFirst);
    }
};

TEST_F(HostileTest, TruncatedFilesAtEveryLength) {
    Bytes good =
        file({material("M", {chunk(0xA200, {}, {chunk(0xA300, str("t.tga"))})}), triangle("A"),
              camera_chunk("Cam", 0, 0, 0, 1, 1, 1, 0, 50)},
             {frames(0, 10), object_node("A", -1, -1, {position_track({{0, {1, 2, 3}}})})});
    ASSERT_EQ(0, load(good));
    for (std::size_t n = 1; n < good.size(); ++n) {
        Bytes cut(good.begin(), good.begin() + n);
        int r = load(cut);
        EXPECT_EQ(SCENE_ERR_BADFILE, r) << "length " << n;
    }
}

TEST_F(HostileTest, ChunkLengthsOutsideTheirBounds) {
    Bytes zero = {0x4D, 0x4D, 0, 0, 0, 0};
    expect_world_refused(zero, SCENE_ERR_BADFILE);
    Bytes five = {0x4D, 0x4D, 5, 0, 0, 0, 0};
    expect_world_refused(five, SCENE_ERR_BADFILE);
    // A sub-chunk that claims more than its parent holds.
    Bytes inner = chunk(0x3D3D, {}, {triangle("A")});
    inner[2] += 40;
    expect_world_refused(chunk(0x4D4D, {}, {inner}), SCENE_ERR_BADFILE);
    // A top-level chunk that runs past the end of the file.
    Bytes past = file({triangle("A")});
    past[2] += 1;
    expect_world_refused(past, SCENE_ERR_BADFILE);
}

TEST_F(HostileTest, CountsLargerThanTheData) {
    Bytes v;
    put16(v, 1000);
    for (int i = 0; i < 9; ++i) putf(v, 1);
    expect_world_refused(file({chunk(0x4000, str("A"), {chunk(0x4100, {}, {chunk(0x4110, v)})})}),
                         SCENE_ERR_BADFILE);
    Bytes f;
    put16(f, 500);
    put16(f, 0);
    expect_world_refused(file({chunk(0x4000, str("A"), {chunk(0x4100, {}, {chunk(0x4120, f)})})}),
                         SCENE_ERR_BADFILE);
}

TEST_F(HostileTest, FaceIndicesBeyondTheObject) {
    expect_world_refused(file({mesh("A", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 3, 0}})}),
                         SCENE_ERR_BADFILE);
    // Faces before any vertex list name no vertex at all.
    Bytes fd;
    put16(fd, 1);
    for (int i = 0; i < 4; ++i) put16(fd, 0);
    expect_world_refused(file({chunk(0x4000, str("A"), {chunk(0x4100, {}, {chunk(0x4120, fd)})})}),
                         SCENE_ERR_BADFILE);
    Bytes fm = str("M");
    put16(fm, 1);
    put16(fm, 1); // the object has one face, index 0
    expect_world_refused(file({material("M"), triangle("A", {chunk(0x4130, fm)})}),
                         SCENE_ERR_BADFILE);
}

TEST_F(HostileTest, NamesTheWorldDoesNotHold) {
    Bytes fm = str("Nope");
    put16(fm, 0);
    expect_world_refused(file({triangle("A", {chunk(0x4130, fm)})}), SCENE_ERR_UNDEFINED);
    expect_motion_refused(file({triangle("A")}, {object_node("B", -1, -1)}), SCENE_ERR_UNDEFINED);
    // A node must name a record of its own kind: a material called "A" is no object.
    expect_motion_refused(file({material("A")}, {object_node("A", -1, -1)}), SCENE_ERR_UNDEFINED);
    Bytes morph;
    key_header(morph, 0);
    put_str(morph, "Ghost");
    expect_motion_refused(
        file({triangle("A")}, {object_node("A", -1, -1, {track(0xB026, 0, 1, morph)})}),
        SCENE_ERR_UNDEFINED);
}

TEST_F(HostileTest, MappingCountsBeyondTheVertexCountAreCutThere) {
    Bytes map;
    put16(map, 50);
    for (int i = 0; i < 6; ++i) putf(map, 0.5f);
    ASSERT_EQ(0, load_world(file({triangle("A", {}, {chunk(0x4140, map)})})));
    EXPECT_EQ(0.5f, object("A")->vertices[2].v);
}

TEST_F(HostileTest, LongNamesAreCutTo63Bytes) {
    std::string longName(300, 'x');
    ASSERT_EQ(0, load_world(file({triangle(longName)})));
    EXPECT_NE(nullptr, object(std::string(63, 'x').c_str()));
    // An unterminated name is corrupt.
    Bytes open = {'a', 'b', 'c'};
    expect_world_refused(file({chunk(0x4000, open)}), SCENE_ERR_BADFILE);
}

TEST_F(HostileTest, DeepNestingIsRefusedNotRecursedInto) {
    // 100000 containers, each holding the next and nothing else.
    const std::uint32_t depth = 100000;
    Bytes b;
    for (std::uint32_t i = 0; i < depth; ++i) {
        put16(b, i == 0 ? 0x4D4D : 0x3D3D);
        put32(b, 6 * (depth - i));
    }
    expect_world_refused(b, SCENE_ERR_BADFILE);
    Bytes ok = chunk(0x3D3D, {});
    for (int i = 0; i < 20; ++i) ok = chunk(0x3D3D, {}, {ok});
    EXPECT_EQ(0, load_world(chunk(0x4D4D, {}, {ok})));
}

TEST_F(HostileTest, KeyCountsFarBeyondTheChunk) {
    Bytes keys;
    key_header(keys, 0);
    for (int i = 0; i < 3; ++i) putf(keys, 1);
    expect_motion_refused(
        file({triangle("A")}, {object_node("A", -1, -1, {track(0xB020, 0, 0xFFFFFFFFu, keys)})}),
        SCENE_ERR_BADFILE);
    // Only the low 16 bits of the count are used: 0x10001 is one key.
    ASSERT_EQ(
        0, load(file({triangle("A")},
                     {frames(0, 5), object_node("A", -1, -1, {track(0xB020, 0, 0x10001, keys)})})));
    EXPECT_EQ(1, s->keyFirst->tracks[0]->keyCount);
}

TEST_F(HostileTest, NodesThatNameThemselvesOrEachOtherAsParent) {
    // Node 0 names itself, node 1 names node 2 which comes later, node 2 names node 1.
    ASSERT_EQ(0, load(file({triangle("A"), triangle("B"), triangle("C")},
                           {frames(0, 10), object_node("A", 0, 0), object_node("B", 1, 2),
                            object_node("C", 2, 1)})));
    KeyNode* a = s->keyFirst;
    KeyNode* b = a->next;
    KeyNode* c = b->next;
    EXPECT_EQ(nullptr, a->parent);
    EXPECT_EQ(nullptr, b->parent);
    EXPECT_EQ(b, c->parent);
    EXPECT_EQ(-1, object("A")->parentId);
    scene_init(SCENE_HIERARCHY | SCENE_TRANSFORM);
    scene_set_active(s);
    s->endFrame = 10;
    EXPECT_EQ(0, scene_update());
}

TEST_F(HostileTest, RecordDataOutsideItsRecord) {
    Bytes v;
    put16(v, 0);
    // A vertex list straight under the mesh data chunk has no object to go to.
    expect_world_refused(file({chunk(0x4110, v)}), SCENE_ERR_BADFILE);
    // Spot data inside a camera chunk's name block, without a light.
    expect_world_refused(file({chunk(0x4000, str("X"), {chunk(0x4610, floats({1, 2, 3, 4, 5}))})}),
                         SCENE_ERR_BADFILE);
    // A node header outside any node chunk.
    expect_motion_refused(file({triangle("A")}, {node_header("A", -1)}), SCENE_ERR_BADFILE);
    // $$$DUMMY is an object and $AMBIENT$ an ambient node; crossing them is refused.
    expect_motion_refused(
        file({triangle("A")}, {chunk_list(0xB003, {}, {node_header("$$$DUMMY", -1)})}),
        SCENE_ERR_BADFILE);
}

TEST_F(HostileTest, SecondVertexListInOneObjectIsRefused) {
    Bytes v;
    put16(v, 1);
    for (int i = 0; i < 3; ++i) putf(v, 0);
    expect_world_refused(
        file({chunk(0x4000, str("A"), {chunk(0x4100, {}, {chunk(0x4110, v), chunk(0x4110, v)})})}),
        SCENE_ERR_BADFILE);
}

} // namespace
