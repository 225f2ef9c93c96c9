#include "platform/random.h"

#include <gtest/gtest.h>

TEST(Random, IntegersAreFifteenBits) {
    for (int i = 0; i < 1000; ++i) {
        const int r = platform::libraryRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}
