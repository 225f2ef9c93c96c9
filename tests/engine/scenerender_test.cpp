// The scenerender tool on a scene of every material kind, on hostile scenes and on bad
// command lines. The scenes and their textures are packed into a data file of the test's own.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/frame_scene3ds.h"

using namespace frame_test;
using scene_test::Bytes;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string out;
};

ToolRun run(const std::string& command) {
    ToolRun r{-1, {}};
    std::FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

void put16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// An uncompressed TGA: true colour (24 bits) or colour-mapped (8 bits, 256 entries).
Bytes tga(int w, int h, bool mapped, std::uint32_t (*colour)(int x, int y)) {
    Bytes b = {0, static_cast<std::uint8_t>(mapped ? 1 : 0),
               static_cast<std::uint8_t>(mapped ? 1 : 2)};
    put16(b, 0);
    put16(b, mapped ? 256 : 0);
    b.push_back(mapped ? 24 : 0);
    put16(b, 0);
    put16(b, 0);
    put16(b, w);
    put16(b, h);
    b.push_back(mapped ? 8 : 24);
    b.push_back(0x20); // top row first
    if (mapped)
        for (int i = 0; i < 256; ++i)
            b.insert(b.end(), {std::uint8_t(i), std::uint8_t(255 - i), 128});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y);
            if (mapped)
                b.push_back(static_cast<std::uint8_t>(c));
            else
                b.insert(b.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        }
    return b;
}

class ScenerenderTest : public ::testing::Test {
  protected:
    fs::path dir;
    std::string data;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(::testing::TempDir()) / (std::string("scenerender_") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        write("wood.tga", tga(256, 256, false, [](int x, int y) {
                  return static_cast<std::uint32_t>((x * 7) ^ (y * 3)) * 0x010203u;
              }));
        write("light.tga", tga(256, 256, false, [](int x, int y) {
                  return static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 |
                         0x40;
              }));
        write("pal.tga",
              tga(256, 256, true, [](int x, int y) { return static_cast<std::uint32_t>(x ^ y); }));
        write("lens3.tga", tga(64, 64, false, [](int x, int y) {
                  const int d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
                  return d < 900 ? 0x00303030u : 0u;
              }));
        write("balls.3ds", spheresScene(8, 12, 7, 20));
        data = (dir / "test.bin").string();
        const ToolRun r = run(bin("vrkpack") + " create " + data + " " + path("wood.tga") + " " +
                              path("light.tga") + " " + path("pal.tga") + " " + path("lens3.tga") +
                              " " + path("balls.3ds"));
        ASSERT_EQ(r.status, 0) << r.out;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    static std::string bin(const std::string& tool) {
        return std::string(VRK_BINARY_DIR) + "/" + tool;
    }
    void write(const std::string& name, const Bytes& b) {
        ASSERT_TRUE(scene_test::write_file(path(name), b));
    }
    // Runs scenerender from the test's folder (so nothing lands in the build folder).
    ToolRun render(const std::string& args) const {
        return run("cd " + dir.string() + " && " + bin("scenerender") + " " + args);
    }
    // The picture's pixels through ImageMagick, as text "r,g,b" per pixel, or empty.
    Bytes pixels(const std::string& png) const {
        ToolRun r = run("convert " + path(png) + " -depth 8 rgb:-");
        if (r.status != 0) return {};
        return Bytes(r.out.begin(), r.out.end());
    }
};

TEST_F(ScenerenderTest, RendersFramesOfAnEntryAndOfAFileOnDisk) {
    ToolRun r = render("--data test.bin --frames 3..5 --time balls.3ds out.png");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("median frame time:"), std::string::npos) << r.out;
    for (const char* name : {"out-0003.png", "out-0004.png", "out-0005.png"}) {
        const Bytes p = pixels(name);
        ASSERT_EQ(p.size(), 320u * 200u * 3u) << name;
        int lit = 0;
        for (std::uint8_t v : p) lit += v != 0;
        EXPECT_GT(lit, 1000) << name; // the spheres are there
    }
    EXPECT_FALSE(fs::exists(path("out-0002.png")));
    // The same scene from disk, at another size and with the second scene's settings: one
    // frame, named as given. The data file is still where the textures come from.
    fs::rename(path("balls.3ds"), path("disk.3ds"));
    r = render("--data test.bin --scene second --size 160x100 disk.3ds one.png");
    ASSERT_EQ(r.status, 0) << r.out;
    const Bytes p = pixels("one.png");
    ASSERT_EQ(p.size(), 160u * 100u * 3u);
    // The second scene draws inside a 10-pixel margin only.
    for (int x = 0; x < 160; ++x)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(p[(5 * 160 + x) * 3 + c], 0) << x;
    // Nothing but the pictures is written where it runs.
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string n = e.path().filename().string();
        EXPECT_TRUE(n.ends_with(".png") || n.ends_with(".tga") || n.ends_with(".3ds") ||
                    n.ends_with(".bin"))
            << n;
    }
}

TEST_F(ScenerenderTest, HostileScenesRenderOrAreRefusedWithOneLine) {
    using namespace scene_test;
    auto withVertices = [](const std::vector<float>& xyz) {
        std::vector<Tri> faces;
        for (std::size_t i = 0; i + 2 < xyz.size() / 3; i += 3)
            faces.push_back({std::uint16_t(i), std::uint16_t(i + 1), std::uint16_t(i + 2), 0});
        Bytes fm;
        put_str(fm, "Grey");
        put16(fm, static_cast<std::uint16_t>(faces.size()));
        for (std::size_t i = 0; i < faces.size(); ++i) put16(fm, static_cast<int>(i));
        return file({materialChunk({"Grey", 2, ""}),
                     camera_chunk("Cam", 0, -300, 0, 0, 0, 0, 0, 35),
                     mesh("Bad", xyz, faces, {chunk(0x4130, fm)})},
                    {frames(0, 2), cameraNodes(1, 2)[0], cameraNodes(1, 2)[1],
                     object_node("Bad", 0, -1, {vectorTrack(0xB022, 1, 1, 1, 1, 1, 1, 2)})});
    };
    const float nan = std::nanf(""), inf = INFINITY;
    const std::vector<std::pair<std::string, Bytes>> scenes = {
        {"nan.3ds", withVertices({nan, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0, 5})},
        {"inf.3ds",
         withVertices({inf, 0, 0, -inf, 0, 0, 0, 0, inf, 0, 0, 0, 1e30f, 0, 0, 0, 0, -1e30f})},
        {"huge.3ds", withVertices({-1e9f, 0, -1e9f, 1e9f, 0, -1e9f, 0, 0, 1e9f})},
        // Faces behind the camera and crossing it.
        {"behind.3ds", withVertices({-50, -400, 0, 50, -400, 0, 0, -400, 50, -50, -350, 0, 50, -250,
                                     0, 0, -300, 50})},
    };
    // 100000 faces in 250 spheres.
    write("many.3ds", spheresScene(250, 20, 11, 2));
    EXPECT_EQ(render("--data test.bin many.3ds many.png").status, 0);
    for (const auto& [name, bytes] : scenes) {
        write(name, bytes);
        const ToolRun r = render("--data test.bin --frames 0..1 " + name + " out.png");
        EXPECT_EQ(r.status, 0) << name << ": " << r.out;
    }
    // A damaged file, a scene without a camera and frames outside the scene: one line each.
    Bytes cut = spheresScene(2, 8, 5, 4);
    cut.resize(cut.size() / 2);
    write("cut.3ds", cut);
    write("nocam.3ds", file({materialChunk({"Grey", 2, ""}), triangle("T")}, {frames(0, 2)}));
    for (const std::string& args :
         {std::string("cut.3ds o.png"), std::string("nocam.3ds o.png"),
          std::string("--frames 19..25 balls.3ds o.png"), std::string("missing.3ds o.png")}) {
        const ToolRun r = render("--data test.bin " + args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << args << ": " << r.out;
        EXPECT_EQ(r.out.rfind("scenerender: ", 0), 0u) << r.out;
    }
}

TEST_F(ScenerenderTest, BadCommandLinesAreRefused) {
    for (const char* args :
         {"", "balls.3ds", "--scene third balls.3ds o.png", "--size 320 balls.3ds o.png",
          "--size 10x10 balls.3ds o.png", "--size 99999x200 balls.3ds o.png",
          "--frames 5..2 balls.3ds o.png", "--frames x balls.3ds o.png", "--bogus balls.3ds o.png",
          "balls.3ds o.png extra", "--data"}) {
        const ToolRun r = render(std::string("--data test.bin ") + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.out.find("usage: scenerender"), std::string::npos) << args;
    }
    const ToolRun r = render("--data nothere.bin balls.3ds o.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("nothere.bin"), std::string::npos);
}

} // namespace
