// Renders arbitrary 3DS bytes with the engine: load, prepare (dull textures), then a few
// frames with flares and the trail into frames exactly their size, with settings picked from
// the input's length. Seeds: any scene files, e.g.
//   build-fuzz/fuzz_engine -max_total_time=600 corpus/ /usr/share/assimp/models/3DS/
#include <cstdint>

#include "tests/engine/frame_prepared.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    engine::EngineSettings s = size & 1 ? engine::SecondScenePreset() : engine::FirstScenePreset();
    s.depthMode = size & 2 ? 2 : 0;
    s.singleLight = size & 4 ? 1 : 0;
    s.transparencyMaps = size & 8 ? 1 : 0;
    s.trailMode = size & 16 ? 1003 : (size & 32 ? 2 : s.trailMode);
    s.lightFlares = 1;
    frame_test::PreparedScene p;
    if (p.load(data, size, s)) {
        float start = 0, end = 0;
        if (scene::scene_get_frames(&start, &end) == scene::SCENE_OK)
            for (float f : {start, start + 1.0f, (start + end) * 0.5f, end - 0.5f}) p.play(f);
    }
    return 0;
}
