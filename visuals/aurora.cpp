#include "visuals/aurora.h"

#include "data/packed_picture.h"
#include "platform/resources.h"
#include "visuals/spans.h"

#include <algorithm>
#include <cstring>

namespace visuals {

AuroraState aurora;

void mirrorAuroraFrames(std::uint8_t* buffer) {
    for (int f = 0; f < AURORA_STORED_FRAMES; ++f) {
        const std::uint8_t* from = buffer + f * AURORA_FRAME_BYTES;
        std::uint8_t* to = buffer + AURORA_UNPACKED_BYTES + f * AURORA_FRAME_BYTES;
        for (int r = 0; r < AURORA_HEIGHT; ++r, from += AURORA_WIDTH, to += AURORA_WIDTH)
            for (int c = 0; c < AURORA_WIDTH; ++c) to[AURORA_WIDTH - 1 - c] = from[c];
    }
}

void setupAuroraFrom(const void* packed, std::size_t packedLength, const void* starSprites,
                     std::size_t starSpritesSize, platform::RandomSource random) {
    releaseAurora();
    for (Star& s : aurora.stars) createStar(s, random);
    aurora.frames = new std::uint8_t[AURORA_BUFFER_BYTES](); // zero: no aurora until unpacked
    if (packed && packedLength > 0)
        unpackLzo(packed, packedLength, AURORA_UNPACKED_BYTES, aurora.frames);
    mirrorAuroraFrames(aurora.frames);
    prepareStarLevels(starSprites, starSpritesSize);
}

void setupAurora() {
    // The packed length is the resource's own size: the stream may be shorter or longer than
    // the one the frames were first packed into, and reading past the resource is never safe.
    platform::ResourceHandle pak = platform::findResource("BOREALISPAK", "RT_RCDATA");
    platform::ResourceHandle stars = platform::findResource("STARSDAT", "RT_RCDATA");
    setupAuroraFrom(platform::lockResource(pak), platform::sizeofResource(pak),
                    platform::lockResource(stars), platform::sizeofResource(stars));
}

void advanceAurora(AuroraPlayback& p) {
    if (p.hold == 0) {
        p.hold = AURORA_HOLD;
        if (p.forward) {
            if (++p.frame >= AURORA_FRAMES) {
                p.frame = AURORA_FRAMES - 1;
                p.forward = 0;
            }
        } else if (--p.frame < 0) {
            p.frame = 0;
            p.forward = 1;
        }
    }
    --p.hold;
}

void drawAuroraPanel(PtcSurface* background, PtcSurface* work, platform::RandomSource random) {
    if (ptc_surface_width(work) < AURORA_PANEL_SIZE ||
        ptc_surface_height(work) < AURORA_PANEL_SIZE || work->format.bits != 32)
        throw PtcError("aurora work surface must be 200 x 200 at 32 bits");
    ptc_surface_copy(background, work);
    if (!aurora.frames) return; // not set up: the still picture only

    auto* pixels = static_cast<std::uint8_t*>(ptc_surface_lock(work));
    const int pitch = ptc_surface_pitch(work);
    for (Star& s : aurora.stars) {
        updateStar(s, random);
        drawStar(s, reinterpret_cast<std::uint32_t*>(pixels), pitch / 4, random);
    }
    // The playback state is only ever stepped within 0 .. 87, but a frame index from elsewhere
    // must not read outside the buffer.
    const int frame = std::clamp(aurora.playback.frame, 0, AURORA_FRAMES - 1);
    const std::uint8_t* rows = aurora.frames + std::size_t(frame) * AURORA_FRAME_BYTES;
    for (int r = 0; r < AURORA_HEIGHT; ++r)
        addBlueSpan(rows + r * AURORA_WIDTH,
                    reinterpret_cast<std::uint32_t*>(pixels + std::size_t(r) * pitch),
                    AURORA_WIDTH);
    ptc_surface_unlock(work);
    advanceAurora(aurora.playback);
}

void releaseAurora() {
    delete[] aurora.frames;
    aurora.frames = nullptr;
    aurora.stars = {};
    releaseStarLevels();
}

} // namespace visuals
