// Helpers shared by the number-conversion tests: a fixture that checks the
// memory count is unchanged, and string-returning wrappers.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "numconv/numconv.h"
#include "platform/pool.h"
#include "runtime/memory.h"

namespace numconv_test {

class NumconvTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = quillon::MemUse; }
    void TearDown() override {
        quillon::Pool_FailOff();
        EXPECT_EQ(quillon::MemUse, before_);
    }
    int32_t before_ = 0;
};

inline std::string Fmt(double v, int kind, int count = 0) {
    char buf[quillon::kNumBufSize];
    size_t n = quillon::Num_Format(v, kind, count, buf, sizeof buf);
    EXPECT_EQ(n, std::strlen(buf));
    return n == 0 ? std::string("<none>") : std::string(buf, n);
}

inline std::string Radix(double v, int radix) {
    char buf[quillon::kNumBufSize];
    size_t n = quillon::Num_ToRadix(v, radix, buf, sizeof buf);
    return n == 0 ? std::string("<none>") : std::string(buf, n);
}

}  // namespace numconv_test
