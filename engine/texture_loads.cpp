// The second material pass: 32-bit textures (with transparency maps and animations) and
// palette textures with their shade tables, each into its slot of the texture buffer.
#include <cstdlib>
#include <cstring>

#include "engine/animated.h"
#include "engine/log.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/prepare_steps.h"
#include "engine/resize.h"
#include "engine/settings.h"
#include "engine/shade_table.h"
#include "engine/swizzle.h"
#include "scene/lists.h"

namespace engine {

namespace {

enum : int { TEXTURE_SIZE = 256 };
constexpr std::uint32_t DULL_COLOUR = 0x00323232;
const char* const TEXTURES = "Textures\\";
const char* const ANIMATED = "Animated\\";

const char* nameOf(const scene::Material* m) {
    return m->name ? m->name : "";
}

// The transparency map of a class-3 material, 8 bits per pixel.
SurfaceHandle loadTransparencyMap(const scene::Material* m) {
    char path[PATH_CAPACITY];
    if (!BuildPath(path, TEXTURES, m->reflection.fileName, nameOf(m))) return nullptr;
    SurfaceHandle map = LoadPicture(path);
    if (!map) {
        LogError("\nCouldn't load transparency map file: '%s'(%s)!", path, nameOf(m));
        return nullptr;
    }
    if (!IsIndexed(map.get())) {
        LogError("\nTransparency map '%s' should have only max. 256 colors!", path);
        return nullptr;
    }
    LogMessage("\nLoading transparency map file '%s'(%s), size: %dx%d...ok!", path, nameOf(m),
               map->width, map->height);
    return map;
}

int loadAnimated(scene::Material* m, SurfaceHandle& map, SlotCursor& slots) {
    scene::MapInfo& t = m->texture;
    const bool withMap = m->transparencyClass == TRANSPARENCY_MAP;
    if (withMap && (map->width != FRAME_SIZE || map->height != FRAME_SIZE)) {
        if (!engineSettings.autoResize) {
            LogError("\nBad size(not 64x64) of transparency map file '%s' from material '%s'!",
                     m->reflection.fileName, nameOf(m));
            return 0;
        }
        LogMessage("\nAutoresizing transparency map '%s' for animated textures from %dx%d to "
                   "64x64...",
                   m->reflection.fileName, map->width, map->height);
        map.reset(ResizeIndexedSurface(map.get(), FRAME_SIZE, FRAME_SIZE));
        if (!map) {
            LogError("\nCouldn't resize transparency map '%s'!", m->reflection.fileName);
            return 0;
        }
    }
    char path[PATH_CAPACITY];
    if (!BuildPath(path, ANIMATED, t.fileName, nameOf(m))) return 0;
    const int frames = t.lastFrame + 1;
    std::uint8_t* first = slots.take((frames + FRAMES_PER_SLOT - 1) / FRAMES_PER_SLOT);
    if (!first || !LoadAnimatedFrames(path, frames, first, withMap, map.get())) {
        LogError("\n Can't load animated textures from material %s!", nameOf(m));
        return 0;
    }
    t.textureWidth = t.textureHeight = TEXTURE_SIZE;
    t.textureDepth = 32;
    t.firstSlot = t.texturePixels = first;
    return 1;
}

// The texture picture, or the dull one in its place when allowed.
SurfaceHandle loadTexturePicture(const char* path, const scene::Material* m, int depth) {
    SurfaceHandle picture = LoadPicture(path);
    if (picture) return picture;
    if (!engineSettings.dullTextures) {
        if (depth == 32)
            LogError("\nCouldn't load texture file: '%s' from material %s!", path, nameOf(m));
        else
            LogMessage("\nCouldn't load texture file: '%s'(%s)!", path, nameOf(m));
        return nullptr;
    }
    LogMessage("\n*Couldn't locate file '%s'! Applying dull texture!", path);
    picture = CreateSurface(TEXTURE_SIZE, TEXTURE_SIZE,
                            depth == 32 ? PTC_FORMAT_ARGB8888 : PTC_FORMAT_INDEX8);
    if (!picture) {
        if (depth == 32)
            LogError("\nFatal: couldn't create surface!");
        else
            LogMessage("\nFatal: couldn't create surface!");
        return nullptr;
    }
    if (depth == 32)
        for (int y = 0; y < TEXTURE_SIZE; ++y)
            for (int x = 0; x < TEXTURE_SIZE; ++x) PixelRow(picture.get(), y)[x] = DULL_COLOUR;
    return picture;
}

// Resizes a texture of the wrong size to 256x256 when allowed.
bool fitTexture(SurfaceHandle& picture, const char* path, const scene::Material* m,
                const char* resizeText) {
    if (picture->width == TEXTURE_SIZE && picture->height == TEXTURE_SIZE) return true;
    if (!engineSettings.autoResize) {
        LogError("\nFile '%s' in %s: bad texture size(should be 256x256)!", path, nameOf(m));
        return false;
    }
    LogMessage(resizeText, path, nameOf(m), picture->width, picture->height);
    picture.reset(IsIndexed(picture.get())
                      ? ResizeIndexedSurface(picture.get(), TEXTURE_SIZE, TEXTURE_SIZE)
                      : ResizeSurface(picture.get(), TEXTURE_SIZE, TEXTURE_SIZE));
    if (!picture) LogError("\nCouldn't resize texture %s!", path);
    return picture != nullptr;
}

// The transparency map's indices into the texture's alpha bytes, after fitting its size.
bool applyTransparencyMap(PtcSurface* texture, SurfaceHandle& map, const scene::Material* m) {
    if (map->width != texture->width || map->height != texture->height) {
        if (!engineSettings.autoResize) {
            LogError("\nBad size(not 256x256) of transparency map file '%s' from material '%s'!",
                     m->reflection.fileName, nameOf(m));
            return false;
        }
        LogMessage("\nAutoresizing transparency map '%s'(%s) from %dx%d to %dx%d...",
                   m->reflection.fileName, nameOf(m), map->width, map->height, texture->width,
                   texture->height);
        map.reset(ResizeIndexedSurface(map.get(), texture->width, texture->height));
        if (!map) {
            LogError("\nCouldn't resize transparency map file %s!", m->reflection.fileName);
            return false;
        }
    }
    for (int y = 0; y < texture->height; ++y) {
        std::uint32_t* row = PixelRow(texture, y);
        const std::uint8_t* alpha = IndexRow(map.get(), y);
        for (int x = 0; x < texture->width; ++x)
            row[x] = (row[x] & 0xFFFFFF) | static_cast<std::uint32_t>(alpha[x]) << 24;
    }
    return true;
}

int loadTrueColourTexture(scene::Material* m, SlotCursor& slots) {
    scene::MapInfo& t = m->texture;
    if (!t.fileName || !t.fileName[0]) {
        LogMessage("\n*No texture filename for flat/phong shading in material %s!", nameOf(m));
        if (!engineSettings.dullTextures) return 0;
        LogMessage("\n*Applying fake-texture name to material '%s'!", nameOf(m));
        char* dull = scene::copy_string("$dully$");
        if (!dull) return 0;
        std::free(t.fileName);
        t.fileName = dull;
    }
    SurfaceHandle map;
    if (m->transparencyClass == TRANSPARENCY_MAP && !(map = loadTransparencyMap(m))) return 0;
    if (engineSettings.animatedTextures && t.animated) return loadAnimated(m, map, slots);

    char path[PATH_CAPACITY];
    if (!BuildPath(path, TEXTURES, t.fileName, nameOf(m))) return 0;
    SurfaceHandle picture = loadTexturePicture(path, m, 32);
    if (!picture) return 0;
    SurfaceHandle texture = ConvertToArgb(picture.get());
    if (!texture) {
        LogError("\n Couldn't convert texture '%s' to ARGB format!", path);
        return 0;
    }
    picture.reset();
    if (!fitTexture(texture, path, m, "\nAutoresizing texture '%s'(%s) from %dx%d to 256x256..."))
        return 0;
    if (map && !applyTransparencyMap(texture.get(), map, m)) return 0;
    std::uint8_t* slot = slots.take();
    if (!slot || !SwizzleTexture(texture.get(), slot)) return 0;
    t.texturePixels = slot;
    t.textureWidth = texture->width;
    t.textureHeight = texture->height;
    t.textureDepth = texture->format.bits;
    LogMessage("\nLoading texture file '%s'(%s), size: %dx%d...ok!", path, nameOf(m),
               texture->width, texture->height);
    return 1;
}

int loadPaletteTexture(scene::Material* m, SlotCursor& slots) {
    scene::MapInfo& t = m->texture;
    if (!t.fileName || !t.fileName[0]) {
        LogMessage("\nMaterial %s with constant/gouraud shading has no texture...", nameOf(m));
        t.texturePixels = nullptr;
        return 1;
    }
    char path[PATH_CAPACITY];
    if (!BuildPath(path, TEXTURES, t.fileName, nameOf(m))) return 0;
    SurfaceHandle picture = loadTexturePicture(path, m, 8);
    if (!picture) return 0;
    if (!IsIndexed(picture.get())) {
        LogError("\nTexture '%s' in gouraud material %s should have only 256 colors!", path,
                 nameOf(m));
        return 0;
    }
    if (!fitTexture(picture, path, m,
                    "\nAutoresizing gouraud texture map '%s'(%s) from %dx%d to 256x256..."))
        return 0;
    std::uint8_t* slot = slots.take();
    if (!slot) return 0;
    for (int y = 0; y < TEXTURE_SIZE; ++y)
        std::memcpy(slot + y * TEXTURE_SIZE, IndexRow(picture.get(), y), TEXTURE_SIZE);
    BuildShadeTable(picture->palette.entries,
                    engineSettings.computeAmbient ? &ambientTint : nullptr,
                    reinterpret_cast<std::uint32_t*>(slot + SHADE_TABLE_OFFSET));
    t.texturePixels = slot;
    t.textureWidth = t.textureHeight = TEXTURE_SIZE;
    t.textureDepth = 8;
    LogMessage("\nLoading texture file '%s'(%s), size: %dx%d...ok!", path, nameOf(m),
               picture->width, picture->height);
    return 1;
}

} // namespace

bool BuildPath(char* path, const char* folder, const char* name, const char* material) {
    const std::size_t room = PATH_CAPACITY - std::strlen(folder) - 1;
    if (!name || std::strlen(name) > room) {
        LogError("\nFile name '%.40s...' in material %s is longer than %d characters!",
                 name ? name : "", material, static_cast<int>(room));
        return false;
    }
    std::strcpy(path, folder);
    std::strcat(path, name);
    return true;
}

int LoadMaterialTexture(scene::Material* m, SlotCursor& slots) {
    switch (m->shading) {
    case 1:
    case 3:
        return loadTrueColourTexture(m, slots);
    case 2:
    case SHADING_CONSTANT_GOURAUD:
        return loadPaletteTexture(m, slots);
    case SHADING_METAL:
        if (m->texture.fileName && m->texture.fileName[0])
            LogMessage("\nMaterial %s with environment mapping needs no texture...", nameOf(m));
        m->texture.texturePixels = nullptr;
        return 1;
    default:
        LogMessage("\n*Error! Unknown material shading(code: %d)!", m->shading);
        if (engineSettings.maxCompat)
            LogMessage("\n*3ds max users: objects/materials' names are probably duplicated!");
        return 0;
    }
}

} // namespace engine
