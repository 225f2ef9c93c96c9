// The scene preparation in its order of steps, and the release of what it made.
#include "engine/prepare.h"

#include <cstdint>
#include <new>

#include "engine/animated.h"
#include "engine/log.h"
#include "engine/prepare_steps.h"
#include "engine/settings.h"

namespace engine {

std::uint32_t* backgroundPixels = nullptr;
std::uint32_t* flareTexture = nullptr;

std::uint8_t* SlotCursor::take(int count) {
    if (count < 1 || !next || end - next < static_cast<std::ptrdiff_t>(count) * TEXTURE_SLOT_BYTES)
        return nullptr;
    std::uint8_t* slot = next;
    next += static_cast<std::ptrdiff_t>(count) * TEXTURE_SLOT_BYTES;
    return slot;
}

namespace {

template <typename Visit> void forEachMaterial(scene::Scene* scene, Visit visit) {
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next)
        if (n->kind == scene::WORLD_MATERIAL && n->record)
            visit(static_cast<scene::Material*>(n->record));
}

// The texture buffer with room for the slots and its first slot on a 262144-byte boundary.
SlotCursor allocTextureBuffer(scene::Scene* scene, int slots) {
    void* buffer = EngineCalloc(TEXTURE_SLOT_BYTES, static_cast<std::size_t>(slots) + 4,
                                PREPARE_SOURCE, 290, "bigbuffer for textures");
    scene->textureBuffer = buffer;
    if (!buffer) return {nullptr, nullptr};
    const auto start = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t aligned =
        (start + TEXTURE_SLOT_BYTES - 1) & ~std::uintptr_t(TEXTURE_SLOT_BYTES - 1);
    auto* first = static_cast<std::uint8_t*>(buffer) + (aligned - start);
    scene->textureBase = first;
    return {first, first + static_cast<std::ptrdiff_t>(slots) * TEXTURE_SLOT_BYTES};
}

int buildAnimatedTable(scene::Scene* scene, int count) {
    scene->animatedTable = nullptr;
    scene->animatedCount = count;
    if (!engineSettings.animatedTextures || count == 0) return 1;
    scene->animatedTable = static_cast<scene::MapInfo**>(
        EngineCalloc(static_cast<std::size_t>(count), sizeof(scene::MapInfo*), PREPARE_SOURCE, 722,
                     "table for handling animated textures"));
    if (!scene->animatedTable) return 0;
    int i = 0;
    forEachMaterial(scene, [&](scene::Material* m) {
        if (m->texture.animated && i < count) scene->animatedTable[i++] = &m->texture;
    });
    return 1;
}

int prepareSteps(scene::Scene* scene) {
    // Without the table the frame has nowhere to sort its faces and would draw nothing at all;
    // the allocation has already written its error.
    if (!scene->faceSortTable) return 0;
    if (engineSettings.backgroundPicture[0] && !LoadBackgroundPicture()) return 0;
    int slots = 0, animated = 0;
    if (!ClassifyMaterials(scene, &slots, &animated)) return 0;
    if (slots == 0) {
        LogError("\nNo materials textures defined in scene!");
        scene->textureBuffer = nullptr;
        return 1;
    }
    const bool flares = engineSettings.flareType || engineSettings.lightFlares;
    if (flares) ++slots;
    SlotCursor cursor = allocTextureBuffer(scene, slots);
    if (!cursor.next) return 0;
    if (flares && !LoadFlarePicture(scene, cursor)) return 0;
    ConvertShadings(scene);
    int ok = 1;
    forEachMaterial(scene, [&](scene::Material* m) {
        if (ok) ok = LoadMaterialTexture(m, cursor);
    });
    if (!ok) return 0;
    ScaleTextureCoordinates(scene);
    return buildAnimatedTable(scene, animated);
}

// Pointers into a texture buffer that is going away.
void forgetTextures(scene::Scene* scene) {
    forEachMaterial(scene, [](scene::Material* m) {
        m->texture.texturePixels = nullptr;
        m->texture.firstSlot = nullptr;
    });
}

} // namespace

int PrepareScene(scene::Scene* scene) {
    if (!scene) return 0;
    // What a previous preparation left behind is released first, so preparing again is safe.
    ReleaseSceneTextures(scene);
    RestartAnimationClock();
    int ok = 0;
    try {
        ok = prepareSteps(scene);
    } catch (const std::bad_alloc&) {
        ok = 0;
    } catch (const PtcError&) {
        ok = 0;
    }
    if (!ok) ReleaseSceneTextures(scene);
    return ok;
}

void ReleaseSceneTextures(scene::Scene* scene) {
    if (scene) {
        forgetTextures(scene);
        EngineFree(scene->textureBuffer, RELEASE_SOURCE, 45);
        EngineFree(scene->animatedTable, RELEASE_SOURCE, 46);
        scene->textureBuffer = nullptr;
        scene->textureBase = nullptr;
        scene->animatedTable = nullptr;
        scene->animatedCount = 0;
    }
    EngineFree(backgroundPixels, RELEASE_SOURCE, 47);
    backgroundPixels = nullptr;
    flareTexture = nullptr;
}

} // namespace engine
