#pragma once
// The intro's pictures: the makers' mark, the word "presents", the frosted title and the four
// lens flares. Each has the fixed size the intro draws it at.
#include "content/art/image.h"

namespace art {

inline constexpr int CREW_W = 320, CREW_H = 79;
inline constexpr int PRESENTS_W = 86, PRESENTS_H = 22;
inline constexpr int FERN_W = 320, FERN_H = 136;
inline constexpr int FLARE_COUNT = 4;

// "the tinsel crew" in the title's gold tinsel on black (faded in by subtracting a level).
Image makeCrewLogo();
// "presents" in frosted silver; magenta where the frame shows through.
Image makePresents();
// "tinselwave" grown from frost ferns of ice; magenta where the frame shows through.
Image makeFernLogo();
// Lens flare 1..4: light added onto the frame, black (no effect) at its border.
Image makeFlare(int kind);

} // namespace art
