#pragma once
// Serialisers of a Module: FastTracker 2 XM (version 1.04, linear frequencies, packed patterns)
// and 4-channel ProTracker MOD ("M.K."). Both cut the row grid into patterns, share identical
// patterns in the order list, and throw std::runtime_error when the module cannot be written
// in that format (a pitch outside the range, too many patterns, two effects in one MOD cell).

#include "content/music/module.h"

#include <cstdint>
#include <vector>

namespace music {

std::vector<uint8_t> writeXm(const Module& m);
std::vector<uint8_t> writeMod(const Module& m);

// The sample bytes a writer stores: the float data scaled to full range and rounded.
std::vector<int16_t> quantise16(const std::vector<float>& data);
std::vector<int8_t> quantise8(const std::vector<float>& data);

} // namespace music
