#pragma once
// A scene loaded from 3DS bytes and prepared as the intro prepares it, for the fuzz target and
// the frame benchmark: dull textures stand in for the data file's, and a flare picture of our
// own stands in for the flare file.
#include <cstdint>
#include <cstring>
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

namespace frame_test {

class PreparedScene {
  public:
    scene::Scene* scene = nullptr;
    scene::Camera* camera = nullptr;
    std::vector<std::uint32_t> frame, previous;

    // Loads and prepares with the given settings (flares switched on afterwards when
    // flareType or lightFlares is set); false when the scene library or the preparation
    // refuses the bytes.
    bool load(const std::uint8_t* bytes, std::size_t size, const engine::EngineSettings& s) {
        engine::EngineSettings prepare = s;
        prepare.dullTextures = 1;
        prepare.flareType = 0;
        prepare.lightFlares = 0;
        prepare.backgroundPicture[0] = '\0';
        engine::engineSettings = prepare;
        engine::SetPictureArchive(&noFile());
        scene::scene_init(engine::LibraryOptions(prepare));
        if (scene::scene_alloc(&scene) != scene::SCENE_OK) return false;
        if (scene::scene_load_world_memory(bytes, size, scene) != scene::SCENE_OK) return false;
        if (scene::scene_load_motion_memory(bytes, size, scene) != scene::SCENE_OK) return false;
        scene::scene_set_active(scene);
        if (!engine::AllocFaceSortTable(scene)) return false;
        engine::OptimizeScene(scene, 0);
        scene::WorldNode* node = nullptr;
        scene::scene_find_first(scene::WORLD_CAMERA, &node);
        if (!node) return false;
        camera = static_cast<scene::Camera*>(node->record);
        camera->sizeX = static_cast<float>(s.renderWidth);
        camera->sizeY = static_cast<float>(s.renderHeight);
        camera->aspect = 0.75f;
        engine::CollectLights(scene);
        if (engine::PrepareScene(scene) != 1) return false;
        scene::scene_set_active_camera(camera);
        engine::engineSettings = s;
        if (s.flareType || s.lightFlares) {
            engine::flareTexture = flarePicture();
            for (int i = 0; i < engine::lightTable.count; ++i) {
                scene::Light* l = engine::lightTable.lights[i];
                l->flareWidth = l->flareHeight = 64.0f;
                l->flareWidthInt = l->flareHeightInt = 64;
            }
        }
        const std::size_t pixels = static_cast<std::size_t>(s.renderWidth) * s.renderHeight;
        frame.assign(pixels, 0);
        previous.assign(pixels, 0);
        return true;
    }

    // One frame as the intro plays it.
    void play(float f) {
        const engine::EngineSettings& s = engine::engineSettings;
        if (scene::scene_set_frame(f) != scene::SCENE_OK) return;
        scene::scene_update();
        engine::ProjectScene(scene, camera, s.renderWidth, s.renderHeight);
        engine::SetFrameBuffers(frame.data(), s.renderWidth * 4, previous.data());
        engine::RenderScene(scene, camera);
        if (s.trailMode)
            engine::ApplyTrail(frame.data(), previous.data(), s.renderWidth, s.renderHeight,
                               s.renderWidth * 4, s.trailMode);
        frame.swap(previous);
    }

    ~PreparedScene() {
        engine::SetPictureArchive(nullptr);
        if (!scene) return;
        engine::ReleaseSceneTextures(scene);
        engine::FreeFaceSortTable(scene);
        scene::scene_release(scene);
    }

  private:
    static DataArchive& noFile() {
        static DataArchive none("/nonexistent/no-data-file.bin");
        return none;
    }
    // A 64 x 64 glow, alpha bytes 0 as the preparation stores flare pictures.
    static std::uint32_t* flarePicture() {
        static std::vector<std::uint32_t> picture = [] {
            std::vector<std::uint32_t> p(64 * 64);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) {
                    const int d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
                    const std::uint32_t v = d < 1024 ? static_cast<std::uint32_t>(255 - d / 4) : 0;
                    p[y * 64 + x] = v * 0x010101u;
                }
            return p;
        }();
        return picture.data();
    }
};

} // namespace frame_test
