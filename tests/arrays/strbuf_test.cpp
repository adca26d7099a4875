// The growing text behind joined arrays and built strings.
#include <gtest/gtest.h>

#include <string>

#include "builtins/strbuf.h"
#include "platform/pool.h"

namespace {

using quillon::JSAny;
using quillon::MemUse;
using quillon::StrBuf;

std::string TextOf(const JSAny &v) { return std::string(v.str, v.len); }

TEST(StrBufTest, GrowsAndHandsOverATightText) {
    int32_t before = MemUse;
    {
        StrBuf buf;
        std::string want;
        for (int i = 0; i < 1000; ++i) {
            std::string piece = std::to_string(i) + ",";
            ASSERT_TRUE(buf.Append(piece.data(), piece.size()));
            want += piece;
        }
        ASSERT_TRUE(buf.AppendRepeat("ab", 2, 3));
        ASSERT_TRUE(buf.AppendRepeat("-", 1, 4));
        want += "ababab----";
        JSAny v = quillon::JSAny_Undef();
        buf.Finish(&v);
        ASSERT_EQ(v.type, quillon::JSANY_STRING);
        EXPECT_EQ(TextOf(v), want);
        EXPECT_EQ(v.str[v.len], 0);
        // At most a quarter of the text (and a little) is spare room.
        EXPECT_LE(quillon::Text_Capacity(v.str), v.len + v.len / 4 + 17);
        EXPECT_EQ(buf.text, nullptr);
        quillon::JSAny_Clear(&v);
    }
    EXPECT_EQ(MemUse, before);
}

TEST(StrBufTest, AnEmptyBufferGivesTheEmptyString) {
    int32_t before = MemUse;
    StrBuf buf;
    JSAny v = quillon::JSAny_Undef();
    buf.Finish(&v);
    ASSERT_EQ(v.type, quillon::JSANY_STRING);
    EXPECT_EQ(v.len, 0u);
    EXPECT_EQ(v.str[0], 0);
    quillon::JSAny_Clear(&v);
    EXPECT_EQ(MemUse, before);
}

TEST(StrBufTest, TooLongFailsBeforeAllocating) {
    int32_t before = MemUse;
    uint64_t allocs = quillon::Pool_AllocCount();
    StrBuf buf;
    EXPECT_FALSE(buf.AppendRepeat(",", 1, uint64_t{4000000000}));
    EXPECT_TRUE(buf.failed);
    EXPECT_FALSE(buf.Append("x", 1));  // a failed buffer stays failed
    EXPECT_EQ(quillon::Pool_AllocCount(), allocs);
    StrBuf pairs;
    EXPECT_FALSE(pairs.AppendRepeat("ab", 2, quillon::kMaxStringLength / 2 + 1));
    EXPECT_FALSE(pairs.Reserve(quillon::kMaxStringLength + 1));
    JSAny v = quillon::JSAny_Undef();
    buf.Finish(&v);
    EXPECT_EQ(v.type, quillon::JSANY_ERROR);
    EXPECT_EQ(v.code, quillon::ERR_NOMEM);
    EXPECT_EQ(MemUse, before);
}

TEST(StrBufTest, AFailedAllocationKeepsWhatWasBuiltAndReportsOutOfMemory) {
    int32_t before = MemUse;
    for (uint64_t n = 1; n <= 6; ++n) {
        StrBuf buf;
        quillon::Pool_FailNth(n);
        bool ok = true;
        for (int i = 0; i < 200 && ok; ++i) ok = buf.Append("0123456789", 10);
        quillon::Pool_FailOff();
        EXPECT_FALSE(ok) << "allocation " << n;
        EXPECT_TRUE(buf.failed);
        JSAny v = quillon::JSAny_Undef();
        buf.Finish(&v);
        EXPECT_EQ(v.type, quillon::JSANY_ERROR);
    }
    EXPECT_EQ(MemUse, before);
}

}  // namespace
