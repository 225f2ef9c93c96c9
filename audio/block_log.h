#pragma once
// What each rendered block of output held: the module's order, row and time at its first frame
// and the peak levels after the volume was applied. The callback writes a block as it renders it;
// readers look up the block being heard, which lies a device buffer or two behind. Every word
// carries its block's number, so a reader that meets a slot being rewritten sees a number it
// did not ask for and never mixes two blocks.
#include <array>
#include <atomic>
#include <cstdint>

namespace audio {

constexpr unsigned BLOCK_FRAMES = 256;   // about 5.8 ms at 44100 Hz
constexpr unsigned LOGGED_BLOCKS = 2048; // about 12 s of history, far more than any latency

struct BlockRecord {
    std::uint32_t position = 0; // order in the low 16 bits, row in the high 16 bits
    std::uint32_t levels = 0;   // left level in the low 16 bits, right in the high 16 bits
    std::uint32_t timeMs = 0;   // the song's time at its first frame, in milliseconds
};

class BlockLog {
  public:
    void write(std::uint64_t block, const BlockRecord& record);
    // False when the slot holds another block (not yet rendered, or long overwritten).
    bool read(std::uint64_t block, BlockRecord& out) const;
    void clear();

  private:
    struct Slot {
        std::atomic<std::uint64_t> position{0};
        std::atomic<std::uint64_t> levels{0};
        std::atomic<std::uint64_t> timeMs{0};
    };
    std::array<Slot, LOGGED_BLOCKS> slots_;
};

} // namespace audio
