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

// Keys and entries' places packed as (key bits << 32 | place): the passes move 8 bytes an entry
// instead of the entry and its key, and the entries move once, at the end. Reused from frame to
// frame.
std::vector<std::uint64_t> order, scratchOrder;
std::vector<SortEntry> unsorted;

void insertionSort(std::uint64_t* k, int count) {
    for (int i = 1; i < count; ++i) {
        const std::uint64_t key = k[i];
        int j = i;
        for (; j > 0 && k[j - 1] > key; --j) k[j] = k[j - 1];
        k[j] = key;
    }
}

// Stable passes of 8 bits over the key bits, least significant first; a pass whose byte is the
// same everywhere is skipped. The four histograms are counted in one reading. Returns where the
// sorted values ended up.
std::uint64_t* radixSort(std::uint64_t* from, std::uint64_t* to, std::size_t n) {
    std::size_t histogram[4][256] = {};
    for (std::size_t i = 0; i < n; ++i)
        for (int b = 0; b < 4; ++b) ++histogram[b][(from[i] >> (32 + 8 * b)) & 0xFF];
    for (int b = 0; b < 4; ++b) {
        const int shift = 32 + 8 * b;
        std::size_t* h = histogram[b];
        if (h[(from[0] >> shift) & 0xFF] == n) continue;
        std::size_t offset = 0;
        for (int v = 0; v < 256; ++v) {
            const std::size_t c = h[v];
            h[v] = offset;
            offset += c;
        }
        for (std::size_t i = 0; i < n; ++i) to[h[(from[i] >> shift) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    return from;
}

} // namespace

void ReserveFrameSort(int count) {
    const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
    if (order.size() < n) {
        order.resize(n);
        scratchOrder.resize(n);
        unsorted.resize(n);
    }
}

void SortFrameEntries(SortEntry* entries, int count) {
    if (count < 2) return;
    const std::size_t n = static_cast<std::size_t>(count);
    ReserveFrameSort(count);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = std::uint64_t{descendingBits(entries[i].key)} << 32 | i;
    const std::uint64_t* sorted = order.data();
    if (count <= 32)
        insertionSort(order.data(), count);
    else
        sorted = radixSort(order.data(), scratchOrder.data(), n);
    std::memcpy(unsorted.data(), entries, n * sizeof(SortEntry));
    for (std::size_t i = 0; i < n; ++i) entries[i] = unsorted[sorted[i] & 0xFFFFFFFFu];
}

} // namespace engine
