// The painter's sort: decreasing keys, ties in the order given, on any number of entries.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/frame_sort.h"

namespace {

std::vector<engine::SortEntry> entries(const std::vector<float>& keys) {
    std::vector<engine::SortEntry> e;
    for (std::size_t i = 0; i < keys.size(); ++i)
        e.push_back({keys[i], reinterpret_cast<const void*>(i + 1)});
    return e;
}

void expectSortedStably(std::vector<engine::SortEntry> e) {
    std::vector<engine::SortEntry> want = e;
    std::stable_sort(
        want.begin(), want.end(),
        [](const engine::SortEntry& a, const engine::SortEntry& b) { return a.key > b.key; });
    engine::SortFrameEntries(e.data(), static_cast<int>(e.size()));
    ASSERT_EQ(e.size(), want.size());
    for (std::size_t i = 0; i < e.size(); ++i) {
        ASSERT_EQ(e[i].item, want[i].item) << "at " << i << " of " << e.size();
        ASSERT_EQ(e[i].key, want[i].key);
    }
}

TEST(FrameSort, DecreasingKeysWithTiesInGivenOrder) {
    std::mt19937 rng(12);
    for (int n : {0, 1, 2, 5, 31, 32, 33, 100, 1000, 30000}) {
        std::vector<float> keys(n);
        // Few distinct values so ties are common, keys a fraction apart, and negative keys.
        std::uniform_int_distribution<int> pick(0, 40);
        for (float& k : keys) k = (pick(rng) - 10) * 0.25f;
        expectSortedStably(entries(keys));
        std::uniform_real_distribution<float> wide(-1e6f, 1e6f);
        for (float& k : keys) k = wide(rng);
        expectSortedStably(entries(keys));
    }
}

TEST(FrameSort, SignedZerosTieAndInfinitiesGoToTheEnds) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> keys = {0.0f, -0.0f, 1.0f, -inf, inf, -0.0f, 0.0f, -1.0f};
    for (int copies = 0; copies < 5; ++copies)
        keys.insert(keys.end(), keys.begin(), keys.begin() + 8);
    auto e = entries(keys);
    engine::SortFrameEntries(e.data(), static_cast<int>(e.size()));
    EXPECT_EQ(e.front().key, inf);
    EXPECT_EQ(e.back().key, -inf);
    // The zeros of either sign keep their given order among themselves.
    std::vector<std::uintptr_t> zeros;
    for (const auto& x : e)
        if (x.key == 0.0f) zeros.push_back(reinterpret_cast<std::uintptr_t>(x.item));
    EXPECT_TRUE(std::is_sorted(zeros.begin(), zeros.end()));
    EXPECT_EQ(zeros.size(), 4u * 6u);
}

} // namespace
