#pragma once
// The scaffold the tune groups share. A tune is a plan of sections, each a phrase played one of
// its group's ways; the group's own section function writes them end to end over its own kit,
// then the group's expression is applied and the song is fitted to the tune's length.
#include <vector>

#include "content/music/expression.h"
#include "content/music/notation.h"
#include "content/music/song.h"

namespace music {

// One section of a plan. `level` is what the group's section function takes besides the phrase
// and the mode: a loudness, a key or a variant.
template <typename Mode> struct Section {
    const Phrase* phrase;
    Mode mode;
    int level = 0;
};

// Writes the plan's sections one after another: play(row, section) writes one at row and
// returns its rows. Returns the first row of each section, and last the row after them all.
template <typename Mode, typename Play>
std::vector<int> layOut(const std::vector<Section<Mode>>& plan, Play play) {
    std::vector<int> starts{0};
    for (const Section<Mode>& p : plan) starts.push_back(starts.back() + play(starts.back(), p));
    return starts;
}

// Applies the expression, then fits the song to `seconds` at speed 6 with the gain.
Module finishTune(Song& s, const Expression& e, double seconds, double gain);

// The whole scaffold: the plan laid out, the expression applied, the song fitted.
template <typename Mode, typename Play>
Module arrangeTune(Song& s, const std::vector<Section<Mode>>& plan, Play play, const Expression& e,
                   double seconds, double gain) {
    layOut(plan, play);
    return finishTune(s, e, seconds, gain);
}

} // namespace music
