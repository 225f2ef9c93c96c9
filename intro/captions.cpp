// The caption and the large logo, cross-faded in and out over the first scene's last picture.
#include "intro/intro.h"
#include "intro/sequence.h"

#include "visuals/spans.h"

namespace intro {

namespace {

struct Placed {
    PtcSurface* picture;
    void* pixels;
    int x, y, width, height;
};

// The background onto the frame, then the picture blended with the weights (or, with none,
// copied where it is not the key).
void drawOver(PtcSurface* background, const Placed& p, const int* weights, int k) {
    IntroState& st = introState;
    ptc_surface_copy(background, st.frameSurface);
    void* frame = ptc_surface_lock(st.frameSurface);
    for (int r = 0; r < p.height; ++r) {
        std::uint32_t* out = row(st.frameSurface, frame, p.y + r) + p.x;
        const std::uint32_t* in = row(p.picture, p.pixels, r);
        if (weights)
            visuals::keyedBlendSpan(out, in, out, p.width, static_cast<std::uint16_t>(weights[k]),
                                    static_cast<std::uint16_t>(weights[63 - k]));
        else
            visuals::keyedCopySpan(in, out, p.width);
    }
    ptc_surface_unlock(st.frameSurface);
}

// Fades the picture in over 64 frames, then holds it until the music reaches the position.
// False when a key ended it.
bool fadeInAndHold(PtcSurface* background, const Placed& p, const int* weights,
                   std::uint32_t until) {
    IntroState& st = introState;
    int counter = 64;
    while (st.services->musicPosition() < until) {
        bool go = pacedFrame(&pictureArea, [&] {
            if (counter != 0) {
                drawOver(background, p, weights, 64 - counter);
                --counter;
            } else {
                drawOver(background, p, nullptr, 0);
            }
        });
        if (!go) return false;
    }
    return true;
}

bool fadeOut(PtcSurface* background, const Placed& p, const int* weights) {
    // The weights run backwards: picture weight 3 last.
    int reversed[64];
    for (int i = 0; i < 64; ++i) reversed[i] = weights[63 - i];
    for (int k = 0; k < 64; ++k)
        if (!pacedFrame(&pictureArea, [&] { drawOver(background, p, reversed, k); })) return false;
    return true;
}

void crossFades(PtcSurface* background, const Placed& caption, const Placed& logo,
                const int* weights) {
    IntroState& st = introState;
    if (st.introAborted) return;
    if (!fadeInAndHold(background, caption, weights, musicPos(6, 0))) return;
    if (!fadeOut(background, caption, weights)) return;
    fadeInAndHold(background, logo, weights, musicPos(7, 16));
}

} // namespace

void ShowPictures() {
    IntroState& st = introState;
    int weights[64];
    BuildWeightTable(weights);
    PtcSurface* caption = loadPicture("tex\\present.tga", 86, 22);
    if (!caption) return;
    PtcSurface* logo = loadPicture("tex\\fernlogo.tga", 320, 136);
    if (!logo) {
        ptc_surface_destroy(caption);
        return;
    }
    PtcSurface* background = nullptr;
    try {
        const PtcFormat format = ptc_format_named(PTC_FORMAT_ARGB8888);
        background = ptc_surface_create(320, 200, &format);
    } catch (const PtcError&) {
    }
    if (!ptc_surface_valid(background)) {
        ptc_error_report(ptc_error_create("can't create surface!"));
        st.introAborted = 1;
        ptc_surface_destroy(background);
        ptc_surface_destroy(logo);
        ptc_surface_destroy(caption);
        return;
    }
    ptc_surface_copy(st.frameSurface, background);
    const Placed placedCaption{caption, ptc_surface_lock(caption), 110, 50, 86, 22};
    const Placed placedLogo{logo, ptc_surface_lock(logo), 0, 30, 320, 136};
    ptc_surface_lock(background);
    crossFades(background, placedCaption, placedLogo, weights);
    ptc_surface_unlock(logo);
    ptc_surface_unlock(caption);
    ptc_surface_unlock(background);
    for (int i = 0; i < 36 && !st.introAborted; ++i)
        if (!pacedFrame(&pictureArea, [] { fadeRows(0, 199); })) break;
    ptc_surface_destroy(background);
    ptc_surface_destroy(logo);
    ptc_surface_destroy(caption);
}

} // namespace intro
