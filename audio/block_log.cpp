#include "audio/block_log.h"

namespace audio {

namespace {
// Block n is tagged n + 1, so the zeroes of a cleared slot never pass for block 0.
std::uint64_t tagged(std::uint64_t block, std::uint32_t value) {
    return (block + 1) << 32 | value;
}
bool tagMatches(std::uint64_t word, std::uint64_t block) {
    return (word >> 32) == ((block + 1) & 0xFFFFFFFFu);
}
} // namespace

void BlockLog::write(std::uint64_t block, const BlockRecord& record) {
    Slot& s = slots_[block % LOGGED_BLOCKS];
    s.position.store(tagged(block, record.position), std::memory_order_release);
    s.levels.store(tagged(block, record.levels), std::memory_order_release);
    s.timeMs.store(tagged(block, record.timeMs), std::memory_order_release);
}

bool BlockLog::read(std::uint64_t block, BlockRecord& out) const {
    const Slot& s = slots_[block % LOGGED_BLOCKS];
    std::uint64_t p = s.position.load(std::memory_order_acquire);
    std::uint64_t l = s.levels.load(std::memory_order_acquire);
    std::uint64_t t = s.timeMs.load(std::memory_order_acquire);
    if (!tagMatches(p, block) || !tagMatches(l, block) || !tagMatches(t, block)) return false;
    out.position = static_cast<std::uint32_t>(p);
    out.levels = static_cast<std::uint32_t>(l);
    out.timeMs = static_cast<std::uint32_t>(t);
    return true;
}

void BlockLog::clear() {
    for (Slot& s : slots_) {
        s.position.store(0, std::memory_order_relaxed);
        s.levels.store(0, std::memory_order_relaxed);
        s.timeMs.store(0, std::memory_order_relaxed);
    }
}

} // namespace audio
