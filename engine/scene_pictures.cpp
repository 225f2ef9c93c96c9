// The preparation's pictures outside the materials: the background and the lens-flare picture.
#include <cstdio>
#include <cstring>

#include "engine/log.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/prepare_steps.h"
#include "engine/resize.h"
#include "engine/settings.h"

namespace engine {

namespace {
enum : int { SLOT_SIZE = 256 };
}

int LoadBackgroundPicture() {
    const EngineSettings& s = engineSettings;
    const char* name = s.backgroundPicture;
    const std::size_t pixels = s.renderWidth > 0 && s.renderHeight > 0
                                   ? static_cast<std::size_t>(s.renderWidth) * s.renderHeight
                                   : 0;
    backgroundPixels = static_cast<std::uint32_t*>(
        EngineCalloc(pixels, 4, PREPARE_SOURCE, 183, "allokacja BackgroundPicPtr"));
    if (!backgroundPixels) return 0;
    SurfaceHandle picture = LoadPicture(name);
    if (!picture) {
        LogMessage("\n Error! couldn't load background picture file '%s'!", name);
        return 0;
    }
    SurfaceHandle argb = ConvertToArgb(picture.get());
    if (!argb) {
        LogMessage("\n Couldn't convert file '%s' to ARGB8888 format!", name);
        return 0;
    }
    const int m = s.renderWidth == 320 ? 1 : 2;
    SurfaceHandle fitted(
        ResizeSurface(argb.get(), s.renderWidth - 20 * m, s.renderHeight - 20 * m));
    if (!fitted) {
        LogMessage("\n Couldn't resize background picture '%s' to proper size!", name);
        return 0;
    }
    for (int y = 0; y < fitted->height; ++y)
        std::memcpy(backgroundPixels + static_cast<std::size_t>(y + 10 * m) * s.renderWidth +
                        10 * m,
                    PixelRow(fitted.get(), y), static_cast<std::size_t>(fitted->width) * 4);
    return 1;
}

int LoadFlarePicture(scene::Scene* scene, SlotCursor& slots) {
    const int type = engineSettings.flareType;
    // Only pictures 1 to 4 have a name; the second switch alone shows no picture.
    if (type < 1 || type > 4) return 1;
    char path[PATH_CAPACITY];
    std::snprintf(path, sizeof path, "Flares\\lens%d.tga", type);
    SurfaceHandle picture = LoadPicture(path);
    if (!picture) {
        LogError("\nCouldn't load flare-texture file: '%s'!", path);
        return 0;
    }
    SurfaceHandle argb = ConvertToArgb(picture.get());
    if (!argb) {
        LogError("\n Couldn't convert texture '%s' to ARGB format!", path);
        return 0;
    }
    const int w = argb->width, h = argb->height;
    LogMessage("\nLoading flare-texture file '%s', size: %dx%d...ok!", path, w, h);
    // One slot holds 256x256 pixels; a larger picture would run into the next slot.
    if (w > SLOT_SIZE || h > SLOT_SIZE) {
        LogError("\nFlare-texture file '%s' is larger than 256x256!", path);
        return 0;
    }
    std::uint8_t* slot = slots.take();
    if (!slot) return 0;
    auto* out = reinterpret_cast<std::uint32_t*>(slot);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = PixelRow(argb.get(), y);
        for (int x = 0; x < w; ++x) out[y * w + x] = row[x] & 0x00FFFFFF;
    }
    flareTexture = out;
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next)
        if (n->kind == scene::WORLD_LIGHT && n->record) {
            auto* light = static_cast<scene::Light*>(n->record);
            light->flareWidth = static_cast<float>(w);
            light->flareHeight = static_cast<float>(h);
            light->flareWidthInt = w;
            light->flareHeightInt = h;
        }
    return 1;
}

} // namespace engine
