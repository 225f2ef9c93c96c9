// The scenedump tool on a built scene and on files it must refuse.
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "tests/scene/scene_fixture.h"

using namespace scene_test;

namespace {

struct ToolRun {
    int status;
    std::string out;
};

ToolRun run(const std::string& args) {
    std::string cmd = std::string(VRK_BINARY_DIR) + "/scenedump " + args + " 2>&1";
    ToolRun r{-1, {}};
    std::FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

using ScenedumpTest = SceneFixture;

TEST_F(ScenedumpTest, PrintsWorldKeyframerAndFrames) {
    Bytes node =
        object_node("Box", -1, -1,
                    {position_track({{0, {0, 0, 0}}, {10, {10, 0, 20}}}), track(0xB022, 0, 1, [] {
                         Bytes k;
                         key_header(k, 0);
                         for (float f : {1.0f, 1.0f, 1.0f}) putf(k, f);
                         return k;
                     }())});
    Bytes b = file({material("Red", {chunk(0xA100, {3, 0}),
                                     chunk(0xA200, {}, {chunk(0xA300, str("red.tga"))})}),
                    triangle("Box"), camera_chunk("Camera01", 0, -50, 0, 0, 0, 0, 0, 50)},
                   {frames(0, 20), node});
    ASSERT_TRUE(write_file(path, b));
    ToolRun r = run(path + " 5 20");
    EXPECT_EQ(1, r.status); // frame 20 is outside 0..20
    EXPECT_NE(std::string::npos, r.out.find("material \"Red\" id 0 shading 3")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("texture \"red.tga\"")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("object \"Box\" id 1 parent -1 vertices 3 faces 1"))
        << r.out;
    EXPECT_NE(std::string::npos, r.out.find("camera \"Camera01\" id 2")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("fov 46")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("keyframer frames 0..20")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("node 0 object \"Box\" parent -1")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("frame 5\n")) << r.out;
    EXPECT_NE(std::string::npos,
              r.out.find("object \"Box\" flags 0x0 matrix [1 0 0 5 | 0 1 0 10 | 0 0 1 0]"))
        << r.out;
    EXPECT_NE(std::string::npos, r.out.find("frame 20: invalid frame number")) << r.out;
}

TEST_F(ScenedumpTest, RefusesBrokenFilesWithTheLibrarysText) {
    Bytes b = file({mesh("A", {0, 0, 0}, {{0, 1, 2, 0}})});
    ASSERT_TRUE(write_file(path, b));
    ToolRun r = run(path);
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("corrupted file")) << r.out;
    r = run("/nonexistent/file.3ds");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.out.find("file not found")) << r.out;
    EXPECT_EQ(2, run("").status);
}

} // namespace
