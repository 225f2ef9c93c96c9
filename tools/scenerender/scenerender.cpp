// scenerender: renders frames of a scene with the intro's engine and settings (flares, trail
// and all) into PNG pictures, for people making their own intro and for tests. See README.md.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "data/archive.h"
#include "engine/frame.h"
#include "engine/lights.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "engine/trail.h"
#include "scene/scene.h"
#include "tools/help_version.h"
#include "tools/scenerender/options.h"
#include "tools/scenerender/png.h"

using namespace scenerender;

namespace {

int fail(const std::string& line) {
    std::fprintf(stderr, "scenerender: %s\n", line.c_str());
    return 1;
}

bool readDiskFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes->resize(static_cast<std::size_t>(st.st_size));
    const bool ok = std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
    std::fclose(f);
    return ok;
}

// The scene's bytes from a file on disk, else from the data file's entry.
std::string loadBytes(const Options& o, DataArchive& archive, std::vector<std::uint8_t>* bytes) {
    if (readDiskFile(o.sceneName, bytes)) return {};
    if (!archive.isOpen())
        return "no scene file '" + o.sceneName + "', and no data file '" + o.data + "' (" +
               archive.whyNotOpen() + ") to look in";
    const long size = archive.entrySize(o.sceneName.c_str());
    if (size < 0) return "no scene '" + o.sceneName + "' on disk or in '" + o.data + "'";
    bytes->resize(static_cast<std::size_t>(size));
    if (archive.readEntry(o.sceneName.c_str(), bytes->data(), 0) != size)
        return "cannot read '" + o.sceneName + "' from '" + o.data + "'";
    return {};
}

void applySettings(const Options& o) {
    engine::EngineSettings s =
        o.secondScene ? engine::SecondScenePreset() : engine::FirstScenePreset();
    s.renderWidth = o.width;
    s.renderHeight = o.height;
    const float margin = o.secondScene ? 10.0f : 0.0f;
    const float inset = o.secondScene ? 10.0f : 1.0f;
    s.clipMinX = margin;
    s.clipMinY = margin;
    s.clipMaxX = static_cast<float>(o.width) - inset;
    s.clipMaxY = static_cast<float>(o.height) - inset;
    engine::engineSettings = s;
}

// Everything a loaded scene holds, released in the intro's order.
struct LoadedScene {
    scene::Scene* scene = nullptr;
    scene::Camera* camera = nullptr;
    ~LoadedScene() {
        if (!scene) return;
        engine::ReleaseSceneTextures(scene);
        engine::FreeFaceSortTable(scene);
        scene::scene_release(scene);
    }
};

scene::Camera* findCamera() {
    scene::WorldNode* node = nullptr;
    if (!engine::engineSettings.maxCompat) scene::scene_find_by_name("Camera01", &node);
    if (!node) scene::scene_find_by_name("Cam", &node);
    if (!node || node->kind != scene::WORLD_CAMERA) return nullptr;
    return static_cast<scene::Camera*>(node->record);
}

// Loads and prepares the scene as the intro does; returns an empty string or the problem.
std::string prepare(const Options& o, const std::vector<std::uint8_t>& bytes, LoadedScene* l) {
    const engine::EngineSettings& s = engine::engineSettings;
    scene::scene_init(engine::LibraryOptions(s));
    if (scene::scene_alloc(&l->scene) != scene::SCENE_OK) return "out of memory";
    int e = scene::scene_load_world_memory(bytes.data(), bytes.size(), l->scene);
    if (e == scene::SCENE_OK)
        e = scene::scene_load_motion_memory(bytes.data(), bytes.size(), l->scene);
    if (e != scene::SCENE_OK)
        return "cannot read scene '" + o.sceneName + "': " + scene::scene_error_text(e);
    scene::scene_set_active(l->scene);
    if (!engine::AllocFaceSortTable(l->scene)) return "no memory for the face sort table";
    if (s.optimizeScene) engine::OptimizeScene(l->scene, 1);
    l->camera = findCamera();
    if (!l->camera)
        return std::string("no camera named ") + (s.maxCompat ? "'Cam'" : "'Camera01' or 'Cam'") +
               " in '" + o.sceneName + "'";
    l->camera->sizeX = static_cast<float>(o.width);
    l->camera->sizeY = static_cast<float>(o.height);
    l->camera->aspect = 0.75f;
    if (s.computeAmbient) engine::ComputeAmbient(l->scene);
    engine::ClearLights();
    if (s.reportNoLights) engine::CollectLights(l->scene);
    if (engine::PrepareScene(l->scene) != 1)
        return "preparing '" + o.sceneName + "' failed (materials or textures)";
    scene::scene_set_active_camera(l->camera);
    return {};
}

std::string outName(const Options& o, long frame, bool several) {
    if (!several) return o.out;
    char number[32];
    std::snprintf(number, sizeof number, "-%04ld", frame);
    const std::size_t n = o.out.size();
    if (n > 4 && o.out.compare(n - 4, 4, ".png") == 0)
        return o.out.substr(0, n - 4) + number + ".png";
    return o.out + number + ".png";
}

// Plays frames from the scene's start up to the last one chosen, as the intro plays them,
// writing the chosen ones. Returns an empty string or the problem.
std::string play(const Options& o, LoadedScene& l, long first, long last,
                 std::vector<double>* times) {
    const engine::EngineSettings& s = engine::engineSettings;
    const std::size_t pixels = static_cast<std::size_t>(o.width) * o.height;
    std::vector<std::uint32_t> a(pixels, 0), b(pixels, 0);
    std::uint32_t* frame = a.data();
    std::uint32_t* previous = b.data();
    float start = 0, end = 0;
    scene::scene_get_frames(&start, &end);
    for (long f = static_cast<long>(start); f <= last; ++f) {
        const auto begin = std::chrono::steady_clock::now();
        scene::scene_set_frame(static_cast<float>(f));
        scene::scene_update();
        engine::ProjectScene(l.scene, l.camera, o.width, o.height);
        engine::SetFrameBuffers(frame, o.width * 4, previous);
        if (s.clearFrame) {
            if (engine::backgroundPixels)
                std::copy(engine::backgroundPixels, engine::backgroundPixels + pixels, frame);
            else
                std::fill(frame, frame + pixels, 0u);
        }
        engine::RenderScene(l.scene, l.camera);
        if (s.trailMode)
            engine::ApplyTrail(frame, previous, o.width, o.height, o.width * 4, s.trailMode);
        if (s.animatedTextures) engine::StepAnimatedTextures(l.scene);
        times->push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
        if (f >= first) {
            const std::string name = outName(o, f, first != last);
            const std::string why = WritePng(name, frame, o.width, o.height, o.width * 4);
            if (!why.empty()) return "cannot write '" + name + "': " + why;
        }
        std::swap(frame, previous);
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = answerHelpOrVersion(argc, argv, "scenerender", HELP); status >= 0)
        return status;
    Options o;
    const std::string problem = ParseOptions(argc, argv, &o);
    if (!problem.empty()) {
        std::fprintf(stderr, "scenerender: %s\n%s\n", problem.c_str(), USAGE);
        return 2;
    }
    DataArchive archive(o.data.c_str());
    if (o.dataGiven && !archive.isOpen())
        return fail("cannot open data file '" + o.data + "': " + archive.whyNotOpen());
    engine::SetPictureArchive(&archive);
    std::vector<std::uint8_t> bytes;
    std::string why = loadBytes(o, archive, &bytes);
    if (!why.empty()) return fail(why);

    applySettings(o);
    LoadedScene loaded;
    why = prepare(o, bytes, &loaded);
    if (!why.empty()) return fail(why);
    float start = 0, end = 0;
    if (scene::scene_get_frames(&start, &end) != scene::SCENE_OK || !(start < end))
        return fail("scene '" + o.sceneName + "' has no frames");
    const long first = o.framesGiven ? o.firstFrame : static_cast<long>(start);
    const long last = o.framesGiven ? o.lastFrame : first;
    if (first < start || !(static_cast<float>(last) < end))
        return fail("frames " + std::to_string(first) + ".." + std::to_string(last) +
                    " are outside the scene's frames " + std::to_string(static_cast<long>(start)) +
                    ".." + std::to_string(static_cast<long>(end) - 1));
    std::vector<double> times;
    why = play(o, loaded, first, last, &times);
    engine::SetPictureArchive(nullptr);
    if (!why.empty()) return fail(why);
    if (o.time) {
        std::sort(times.begin(), times.end());
        std::printf("median frame time: %.3f ms over %zu frames at %dx%d\n",
                    times[times.size() / 2], times.size(), o.width, o.height);
    }
    return 0;
}
