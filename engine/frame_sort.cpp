// A stable radix sort on the keys' bits. Ordering by the key difference rounded to an integer
// is no strict weak ordering, so a comparison sort with it is undefined; decreasing exact keys
// are one of the orders that comparison allows, and keys within 0.5 of each other may come in
// any order anyway.
#include "engine/frame_sort.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace engine {

namespace {

// Maps a float to an unsigned value that grows as the float falls, so an ascending sort of the
// values is a descending sort of the keys. -0 and +0 map alike.
std::uint32_t descendingBits(float key) {
    key += 0.0f; // -0 becomes +0
    std::uint32_t b;
    std::memcpy(&b, &key, sizeof b);
    const std::uint32_t ascending = (b & 0x80000000u) ? ~b : (b | 0x80000000u);
    return ~ascending;
}

// The sort's working copy, reused from frame to frame.
std::vector<SortEntry> scratch;
std::vector<std::uint32_t> bits, scratchBits;

void insertionSort(SortEntry* e, std::uint32_t* k, int count) {
    for (int i = 1; i < count; ++i) {
        const SortEntry entry = e[i];
        const std::uint32_t key = k[i];
        int j = i;
        for (; j > 0 && k[j - 1] > key; --j) {
            e[j] = e[j - 1];
            k[j] = k[j - 1];
        }
        e[j] = entry;
        k[j] = key;
    }
}

} // namespace

void ReserveFrameSort(int count) {
    const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (bits.size() < n) {
        bits.resize(n);
        scratchBits.resize(n);
        scratch.resize(n);
    }
}

void SortFrameEntries(SortEntry* entries, int count) {
    if (count < 2) return;
    const std::size_t n = static_cast<std::size_t>(count);
    ReserveFrameSort(count);
    for (std::size_t i = 0; i < n; ++i) bits[i] = descendingBits(entries[i].key);
    if (count <= 32) {
        insertionSort(entries, bits.data(), count);
        return;
    }
    // Four passes of 8 bits, least significant first; each pass is stable. A pass whose byte is
    // the same everywhere is skipped.
    SortEntry* from = entries;
    SortEntry* to = scratch.data();
    std::uint32_t* fromBits = bits.data();
    std::uint32_t* toBits = scratchBits.data();
    for (int shift = 0; shift < 32; shift += 8) {
        std::size_t histogram[256] = {};
        for (std::size_t i = 0; i < n; ++i) ++histogram[(fromBits[i] >> shift) & 0xFF];
        if (histogram[(fromBits[0] >> shift) & 0xFF] == n) continue;
        std::size_t offset = 0;
        for (std::size_t& h : histogram) {
            const std::size_t c = h;
            h = offset;
            offset += c;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t slot = histogram[(fromBits[i] >> shift) & 0xFF]++;
            to[slot] = from[i];
            toBits[slot] = fromBits[i];
        }
        std::swap(from, to);
        std::swap(fromBits, toBits);
    }
    if (from != entries) std::memcpy(entries, from, n * sizeof(SortEntry));
}

} // namespace engine
