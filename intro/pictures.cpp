// The intro's 2D sequences: the logo before the first scene, the caption and the large logo
// cross-faded over the first scene's last picture, and the final fade to black. Each paced
// frame lasts 50 ms; the holds end when the music reaches their positions.
#include "intro/intro.h"
#include "intro/sequence.h"

#include "data/tga.h"
#include "platform/clock.h"
#include "visuals/spans.h"

#include <cstdint>

namespace intro {

const PtcArea pictureArea{0, 0, 317, 197};

PtcSurface* loadPicture(const char* entry, int width, int height) {
    PtcSurface* loaded = loadImage(*introState.archive, entry);
    PtcSurface* picture = nullptr;
    if (loaded && loaded->width >= width && loaded->height >= height) {
        try {
            picture = ptc_surface_convert(loaded);
        } catch (const PtcError&) {
        }
    }
    ptc_surface_destroy(loaded);
    if (!picture) {
        ptc_error_report(ptc_error_create("can't read image!"));
        introState.introAborted = 1;
    }
    return picture;
}

void fadeRows(int first, int last) {
    PtcSurface* frame = introState.frameSurface;
    void* pixels = ptc_surface_lock(frame);
    for (int y = first; y <= last; ++y) visuals::fadeSpan(row(frame, pixels, y), 320);
    ptc_surface_unlock(frame);
}

namespace {

// The logo's fade-in from black, then its hold until the music reaches (1, 40).
void logoFadeIn(PtcSurface* logo, void* logoPixels) {
    IntroState& st = introState;
    int counter = 64, amount = 252;
    while (st.services->musicPosition() < musicPos(1, 40)) {
        bool go = pacedFrame(nullptr, [&] {
            void* pixels = ptc_surface_lock(st.frameSurface);
            const int level = counter != 0 ? amount : 0;
            for (int r = 0; r < 79; ++r)
                visuals::subtractLevelSpan(row(logo, logoPixels, r),
                                           row(st.frameSurface, pixels, 50 + r), 320, level);
            if (counter != 0) {
                amount -= 4;
                --counter;
            }
            ptc_surface_unlock(st.frameSurface);
        });
        if (!go) return;
    }
}

} // namespace

void BuildWeightTable(int weights[64]) {
    for (int i = 0; i < 64; ++i) weights[i] = static_cast<int>((64 - i) * 0.015625 * 255);
}

void ShowLogo() {
    IntroState& st = introState;
    PtcSurface* logo = loadPicture("tex\\vrk.tga", 320, 79);
    if (!logo) return;
    void* logoPixels = ptc_surface_lock(logo);
    if (!st.introAborted) logoFadeIn(logo, logoPixels);
    ptc_surface_unlock(logo);
    for (int i = 0; i < 36 && !st.introAborted; ++i)
        if (!pacedFrame(nullptr, [] { fadeRows(50, 128); })) break;
    ptc_surface_destroy(logo);
}

void FadeToBlack() {
    for (int i = 0; i < 36; ++i) {
        fadeRows(0, 199);
        PresentAndSwap(&pictureArea);
    }
}

} // namespace intro
