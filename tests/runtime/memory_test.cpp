// Memory blocks: MemUse arithmetic of the three kinds, text capacities,
// array growth, and failures that change nothing.
#include <gtest/gtest.h>

#include "platform/pool.h"
#include "runtime/memory.h"

namespace quillon {
namespace {

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = MemUse; }
    void TearDown() override {
        Pool_FailOff();
        EXPECT_EQ(MemUse, before_);
    }
    int32_t before_ = 0;
};

TEST_F(MemoryTest, PlainBlocksCountTheirDataBytes) {
    void *p = Mem_Alloc(10);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(MemUse, before_ + 10);
    void *z = Mem_AllocZero(33);
    for (int i = 0; i < 33; ++i) EXPECT_EQ(static_cast<char *>(z)[i], 0);
    EXPECT_EQ(MemUse, before_ + 43);
    Mem_Free(z);
    Mem_Free(p);
    Mem_Free(nullptr);
}

TEST_F(MemoryTest, TextCapacitiesRoundToEight) {
    char *e = Text_FromBytes("", 0);
    EXPECT_EQ(Text_Capacity(e), 8u);
    EXPECT_EQ(MemUse, before_ + 9);  // capacity + 1
    char *seven = Text_FromString("1234567");
    EXPECT_EQ(Text_Capacity(seven), 8u);
    char *eight = Text_FromString("12345678");
    EXPECT_EQ(Text_Capacity(eight), 16u);
    EXPECT_EQ(Text_RefCount(eight), 1u);
    Text_AddRef(eight);
    Text_Release(eight);
    EXPECT_STREQ(eight, "12345678");
    Text_Release(eight);
    Text_Release(seven);
    Text_Release(e);
    char *joined = Text_Join("ab", 2, "cd", 2);
    EXPECT_STREQ(joined, "abcd");
    Text_Release(joined);
    char *f = Text_Format("%s-%ld", "x", 42L);
    EXPECT_STREQ(f, "x-42");
    Text_Release(f);
}

TEST_F(MemoryTest, ArraysGrowByHalfPlusEight) {
    void *a = Arr_Alloc(4, 0);
    EXPECT_EQ(MemUse, before_ + 8);
    EXPECT_TRUE(Arr_Ensure(&a, 1, 4));
    EXPECT_EQ(Arr_Capacity(a), 8u);
    EXPECT_TRUE(Arr_Ensure(&a, 9, 4));
    EXPECT_EQ(Arr_Capacity(a), 20u);
    EXPECT_TRUE(Arr_Ensure(&a, 21, 4));
    EXPECT_EQ(Arr_Capacity(a), 38u);
    EXPECT_EQ(MemUse, before_ + 38 * 4 + 8);
    void *same = a;
    int32_t use = MemUse;
    EXPECT_TRUE(Arr_Ensure(&a, 30, 4));  // within the capacity: nothing allocated
    EXPECT_EQ(a, same);
    EXPECT_EQ(MemUse, use);
    EXPECT_TRUE(Arr_Ensure(&a, 1000, 4));
    EXPECT_EQ(Arr_Capacity(a), 1000u);
    Arr_Free(a);
}

TEST_F(MemoryTest, FailedAllocationsChangeNothing) {
    Pool_FailNth(1);
    EXPECT_EQ(Mem_Alloc(16), nullptr);
    EXPECT_EQ(MemUse, before_);
    void *a = Arr_Alloc(8, 4);
    ASSERT_NE(a, nullptr);
    void *old = a;
    int32_t use = MemUse;
    Pool_FailNth(1);
    EXPECT_FALSE(Arr_Ensure(&a, 100, 8));
    EXPECT_EQ(a, old);
    EXPECT_EQ(MemUse, use);
    Arr_Free(a);
    Pool_FailNth(1);
    EXPECT_EQ(Text_FromString("abc"), nullptr);
    Pool_FailAfter(2);
    void *x = Mem_Alloc(1), *y = Mem_Alloc(1);
    EXPECT_NE(x, nullptr);
    EXPECT_NE(y, nullptr);
    EXPECT_EQ(Mem_Alloc(1), nullptr);
    EXPECT_EQ(Mem_Alloc(1), nullptr);
    Pool_FailOff();
    Mem_Free(x);
    Mem_Free(y);
}

}  // namespace
}  // namespace quillon
