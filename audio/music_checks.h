#pragma once
// Two steps of the music player that are worth checking on their own.
#include <cstdint>

namespace audio {

// Ends the process with status 0, after a box saying so, unless version is the back-end
// version the player was made for.
void requireBackendVersion(std::uint32_t version);

// The back-end gives order in the low half and row in the high half; the player compares
// positions as order * 65536 + row.
constexpr std::uint32_t swapPositionHalves(std::uint32_t position) {
    return position >> 16 | position << 16;
}

} // namespace audio
