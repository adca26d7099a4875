#include "rx_support.h"

using namespace rx_test;
using V = std::vector<std::string>;

TEST_F(RxTest, Smoke) {
    EXPECT_EQ(Exec("abc", "xxabcx"), (V{"abc"}));
    EXPECT_EQ(Exec("(a|ab)(c|bcd)(d*)", "abcd"), (V{"abcd", "a", "bcd", ""}));
}
