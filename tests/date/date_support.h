// Shared helpers of the date tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/memory.h"

namespace date_test {

// The date functions are pure: they must leave the memory count alone.
class PureDateTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = quillon::MemUse; }
    void TearDown() override { EXPECT_EQ(quillon::MemUse, before_); }

private:
    int32_t before_ = 0;
};

// Days from 1978-01-01 by an independent method (eras of 400 years counted
// from 0000-03-01), for cross-checking.
inline int64_t ReferenceDays(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 - 2922;
}

}  // namespace date_test
