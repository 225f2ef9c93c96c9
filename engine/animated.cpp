#include "engine/animated.h"

#include <cstdio>
#include <cstring>

#include "engine/log.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/resize.h"
#include "engine/settings.h"
#include "engine/swizzle.h"

namespace engine {

namespace {

int countdown = 1;

// Frame file `number` (1 to 99): the two characters after ".0" become its two digits.
bool numberFrame(char* path, int number) {
    char* dot = std::strstr(path, ".0");
    if (!dot || !dot[2] || !dot[3]) return false;
    dot[2] = static_cast<char>('0' + number / 10 % 10);
    dot[3] = static_cast<char>('0' + number % 10);
    return true;
}

// One frame, converted, checked or resized to 64x64, its alpha bytes from the map when asked.
SurfaceHandle loadFrame(const char* path, int withMap, const PtcSurface* map) {
    SurfaceHandle picture = LoadPicture(path);
    if (!picture) {
        LogError("\nCouldn't load texture file: '%s'!", path);
        return nullptr;
    }
    SurfaceHandle frame = ConvertToArgb(picture.get());
    if (!frame) {
        LogError("\n Couldn't convert texture '%s' to ARGB format!", path);
        return nullptr;
    }
    if (frame->width != FRAME_SIZE || frame->height != FRAME_SIZE) {
        if (!engineSettings.autoResize) {
            LogError("\nFile '%s': bad animated texture size(should be 64x64)!", path);
            return nullptr;
        }
        LogMessage("\nAutoresizing animated frame '%s' from %d%%d to 64x64...", path, frame->width);
        frame.reset(ResizeSurface(frame.get(), FRAME_SIZE, FRAME_SIZE));
        if (!frame) {
            LogError("\nCouldn't resize texture %s!", path);
            return nullptr;
        }
    }
    if (withMap && map && map->width == FRAME_SIZE && map->height == FRAME_SIZE)
        for (int y = 0; y < FRAME_SIZE; ++y) {
            std::uint32_t* row = PixelRow(frame.get(), y);
            const std::uint8_t* alpha = IndexRow(map, y);
            for (int x = 0; x < FRAME_SIZE; ++x)
                row[x] = (row[x] & 0xFFFFFF) | static_cast<std::uint32_t>(alpha[x]) << 24;
        }
    return frame;
}

void copyToTile(const PtcSurface* frame, PtcSurface* sheet, int tile) {
    const int left = (tile & 3) * FRAME_SIZE, top = (tile >> 2) * FRAME_SIZE;
    for (int y = 0; y < FRAME_SIZE; ++y)
        std::memcpy(PixelRow(sheet, top + y) + left, PixelRow(frame, y), FRAME_SIZE * 4);
}

} // namespace

float FrameOffsetU(int frame) {
    return static_cast<float>((frame & 3) * FRAME_SIZE);
}

float FrameOffsetV(int frame) {
    return static_cast<float>(((frame & 15) >> 2) * FRAME_SIZE);
}

void RestartAnimationClock() {
    countdown = 1;
}

int LoadAnimatedFrames(const char* path, int frames, std::uint8_t* firstSlot, int withMap,
                       const PtcSurface* map) {
    SurfaceHandle sheet = CreateSurface(256, 256, PTC_FORMAT_ARGB8888);
    if (!sheet) {
        LogError("\n can't allocate surface!");
        return 0;
    }
    LogMessage("\nLoading frames of animated texture file '%s':", path);
    char name[100];
    if (!path || std::strlen(path) >= sizeof name || !firstSlot || frames < 1 || frames > 99)
        return 0;
    std::strcpy(name, path);
    std::uint8_t* slot = firstSlot;
    for (int frame = 0; frame < frames; ++frame) {
        const int tile = frame % FRAMES_PER_SLOT;
        // Numbered over the whole animation, so frames past 16 come from their own files.
        if (!numberFrame(name, frame + 1)) return 0;
        SurfaceHandle picture = loadFrame(name, withMap, map);
        if (!picture) return 0;
        copyToTile(picture.get(), sheet.get(), tile);
        if (tile == FRAMES_PER_SLOT - 1 || frame == frames - 1) {
            SwizzleTexture(sheet.get(), slot);
            slot += TEXTURE_SLOT_BYTES;
        }
    }
    return 1;
}

void StepAnimatedTextures(scene::Scene* scene) {
    // A delay of 0 or less steps every frame instead of never again.
    if (--countdown > 0) return;
    countdown = engineSettings.animationDelay;
    if (!scene || !scene->animatedTable) return;
    for (int i = 0; i < scene->animatedCount; ++i) {
        scene::MapInfo* map = scene->animatedTable[i];
        if (!map) continue;
        map->currentFrame = map->currentFrame >= map->lastFrame ? 0 : map->currentFrame + 1;
        if (map->firstSlot)
            map->texturePixels = map->firstSlot + static_cast<std::size_t>(map->currentFrame >> 4) *
                                                      TEXTURE_SLOT_BYTES;
        map->frameOffsetU = FrameOffsetU(map->currentFrame);
        map->frameOffsetV = FrameOffsetV(map->currentFrame);
    }
}

} // namespace engine
