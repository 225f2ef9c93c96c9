// Build step: writes the intro's two scenes and their textures.
// Usage: vrk_scenegen OUTDIR
// Writes train.3ds, hut2.3ds and every texture they name (sky.tga, snow.tga ...). Same
// sources, same bytes.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "content/scenes/lengths.h"
#include "content/scenes/scenes.h"
#include "content/scenes/textures.h"
#include "content/scenes/write3ds.h"

namespace {

bool save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out.flush()) {
        std::fprintf(stderr, "vrk_scenegen: error: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vrk_scenegen OUTDIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        bool ok = save(dir + scenes::TRAIN_SCENE, scenes::write3ds(scenes::makeTrainScene())) &&
                  save(dir + scenes::CABIN_SCENE, scenes::write3ds(scenes::makeCabinScene()));
        for (const scenes::TextureFile& t : scenes::allTextures())
            ok = ok && save(dir + t.name, t.bytes);
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vrk_scenegen: error: %s\n", e.what());
        return 1;
    }
}
