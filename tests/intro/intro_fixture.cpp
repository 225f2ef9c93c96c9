#include "tests/intro/intro_fixture.h"

#include "tests/scene/builder3ds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace introtest {

Script script;
FakeClock fakeClock;

namespace {

bool inScene = false;
std::uint32_t* framePixels = nullptr;
int framePitch = 0;

void recordShown() {
    const std::uint32_t* shown = ptc_console_shown(intro::introState.console);
    if (shown) script.shown.emplace_back(shown, shown + W * H);
}

void musicStart() {
    script.musicStartsAt = fakeClock.t;
}
bool startMusicFadeOut(MusicFlag* running) {
    ++script.fadeOutsStarted;
    script.updatesAtFadeOut = ptc_console_updates(intro::introState.console);
    running->store(0);
    return true;
}
void musicFree() {
    ++script.musicFrees;
}
bool keyWaiting(PtcConsole* console) {
    if (!inScene)
        script.pacedFramesSeen.emplace_back(script.sortTablesAllocated, scriptedPosition());
    const bool key = inScene ? script.renders == script.keyAtRender
                             : script.pacedFrames++ == script.keyAtPacedFrame;
    if (key) script.updatesAtKey = ptc_console_updates(console);
    return key;
}
void clearLights() {}
int allocFaceSortTable(scene::Scene*) {
    inScene = true;
    ++script.sortTablesAllocated;
    return 1;
}
int optimizeScene(scene::Scene*, int) {
    return 1;
}
int computeAmbient(scene::Scene*) {
    return 1;
}
int collectLights(scene::Scene*) {
    return script.lights;
}
int prepareScene(scene::Scene*) {
    return script.prepareResult;
}
void projectScene(scene::Scene* s, scene::Camera*, int, int) {
    script.frames.push_back(s->currentFrame);
    script.positionsAtRender.push_back(scriptedPosition());
}
void setFrameBuffers(std::uint32_t* frame, int pitchBytes, const std::uint32_t*) {
    framePixels = frame;
    framePitch = pitchBytes;
}
// Each frame paints the clip rectangle in a colour of its own frame number.
void renderScene(scene::Scene*, scene::Camera*) {
    const engine::EngineSettings& s = engine::engineSettings;
    const std::uint32_t colour = 0x00203040u + static_cast<std::uint32_t>(script.renders);
    for (int y = int(s.clipMinY); y <= int(s.clipMaxY); ++y)
        for (int x = int(s.clipMinX); x <= int(s.clipMaxX); ++x)
            framePixels[y * (framePitch / 4) + x] = colour;
    ++script.renders;
}
void applyTrail(PtcSurface*, PtcSurface*) {
    ++script.trails;
}
void stepAnimatedTextures(scene::Scene*) {}
void releaseSceneTextures(scene::Scene*) {
    ++script.texturesReleased;
}
void freeFaceSortTable(scene::Scene*) {
    inScene = false;
    ++script.sortTablesFreed;
}
const std::uint32_t* backgroundPixels() {
    return nullptr;
}
void logMessage(const char* text) {
    script.logs.emplace_back(text);
    // Seen by death tests, whose child's records are lost.
    std::fputs(text, stderr);
}

} // namespace

void FakeClock::waitUntil(std::uint32_t deadline) {
    script.deadlines.push_back(deadline);
    if (script.recordPictures) recordShown();
    if (!platform::clockReached(t, deadline)) t = deadline;
}

std::uint32_t scriptedPosition() {
    if (script.musicMissing) return 0xFFFFFFFFu;
    if (script.music) return script.music(fakeClock.t - script.musicStartsAt);
    std::uint32_t rows = script.positionOffset +
                         (fakeClock.t - script.musicStartsAt) / std::max(script.msPerRow, 1u);
    return (rows / 64) << 16 | rows % 64;
}

const intro::IntroServices& fakeServices() {
    static const intro::IntroServices services{
        musicStart,           scriptedPosition,  startMusicFadeOut,  musicFree,
        keyWaiting,           clearLights,       allocFaceSortTable, optimizeScene,
        computeAmbient,       collectLights,     prepareScene,       projectScene,
        setFrameBuffers,      renderScene,       applyTrail,         stepAnimatedTextures,
        releaseSceneTextures, freeFaceSortTable, backgroundPixels,   logMessage,
    };
    return services;
}

Bytes tga32(int width, int height, const std::vector<std::uint32_t>& pixels) {
    Bytes b(18, 0);
    b[2] = 2;
    datatest::put16(b, 12, static_cast<std::uint32_t>(width));
    datatest::put16(b, 14, static_cast<std::uint32_t>(height));
    b[16] = 32;
    b[17] = 0x20 | 8;
    for (std::uint32_t p : pixels)
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(p >> (8 * i)));
    return b;
}

std::vector<std::uint32_t> pattern(int width, int height, std::uint32_t seed, bool withKeys) {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(width) * height);
    std::uint32_t x = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < p.size(); ++i) {
        x = x * 1664525u + 1013904223u;
        p[i] = withKeys && i % 7 == 3 ? 0x00FF00FFu : (x >> 8) & 0x00FFFFFFu;
    }
    return p;
}

Bytes sceneFile(const char* cameraName, int first, int last) {
    using namespace scene_test;
    Bytes tri = mesh("Box", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 0}});
    Bytes cam = camera_chunk(cameraName, 0, -10, 0, 0, 0, 0, 0, 50);
    Bytes node = chunk_list(0xB002, {}, {node_id(0), node_header("Box", -1)});
    return file(
        {tri, cam},
        {frames(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)), node});
}

void IntroFixture::SetUp() {
    script = Script{};
    inScene = false;
    realClock = platform::setClockSource(&fakeClock);
    logo = pattern(320, 79, 1, false);
    caption = pattern(86, 22, 2, true);
    bigLogo = pattern(320, 136, 3, true);
    useArchive(defaultEntries());
    intro::introState.services = &fakeServices();
    intro::introState.introAborted = 0;
    engine::engineSettings = engine::FirstScenePreset();
}

void IntroFixture::TearDown() {
    closeDisplay();
    platform::setClockSource(realClock);
    intro::introState.archive = nullptr;
}

std::vector<datatest::Entry> IntroFixture::defaultEntries(int firstSceneFrames,
                                                          int secondSceneFrames) {
    return {{"vrk.tga", tga32(320, 79, logo)},
            {"present.tga", tga32(86, 22, caption)},
            {"fernlogo.tga", tga32(320, 136, bigLogo)},
            {"train.3ds", sceneFile("Cam", 0, firstSceneFrames)},
            {"hut2.3ds", sceneFile("Cam", 0, secondSceneFrames)}};
}

void IntroFixture::useArchive(const std::vector<datatest::Entry>& entries) {
    const std::string path = dir.path("vrk.bin");
    datatest::writeFile(path, datatest::buildArchive(entries));
    archive = std::make_unique<DataArchive>(path.c_str());
    ASSERT_TRUE(archive->isOpen());
    intro::introState.archive = archive.get();
}

void IntroFixture::openDisplay() {
    intro::IntroState& st = intro::introState;
    st.console = ptc_console_create();
    ptc_console_open(st.console, "test", W, H, "FUZZY32");
    const PtcFormat f = ptc_format_named(PTC_FORMAT_ARGB8888);
    st.frameSurface = ptc_surface_create(W, H, &f);
    st.previousSurface = ptc_surface_create(W, H, &f);
}

void IntroFixture::closeDisplay() {
    intro::IntroState& st = intro::introState;
    ptc_surface_destroy(st.frameSurface);
    ptc_surface_destroy(st.previousSurface);
    ptc_console_destroy(st.console);
    st.frameSurface = st.previousSurface = nullptr;
    st.console = nullptr;
}

void IntroFixture::fillSurfaces(std::uint32_t frameColour, std::uint32_t previousColour) {
    auto fill = [](PtcSurface* s, std::uint32_t c) {
        auto* p = static_cast<std::uint32_t*>(ptc_surface_lock(s));
        std::fill(p, p + W * H, c);
        ptc_surface_unlock(s);
    };
    fill(intro::introState.frameSurface, frameColour);
    fill(intro::introState.previousSurface, previousColour);
}

Picture IntroFixture::surfacePixels(PtcSurface* s) const {
    auto* p = static_cast<const std::uint32_t*>(ptc_surface_lock(s));
    Picture out(p, p + W * H);
    ptc_surface_unlock(s);
    return out;
}

} // namespace introtest
