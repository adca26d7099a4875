// Token programs: a run's own and the copies functions keep, with the text
// and the lines they cover.
#include <cstring>

#include "lexfixture.h"

namespace lexer_test {
namespace {

class CodeTest : public LexerTest {
protected:
    Code *Run(const char *text) {
        uint32_t *codes, *lens, count;
        EXPECT_EQ(Lex_Run(store_, text, 0, nullptr, &codes, &lens, &count), 0u);
        Code *c = Code_NewRun(store_, nullptr, codes, lens, count, text,
                              static_cast<uint32_t>(std::strlen(text)));
        EXPECT_NE(c, nullptr);
        return c;
    }
    static std::string Text(const Code *c) { return std::string(c->source, c->sourceLen); }
    static uint32_t Sum(const Code *c) {
        uint32_t s = 0;
        for (uint32_t i = 0; i < c->count; ++i) s += c->lens[i];
        return s;
    }
    // Index of the first token with this code.
    static uint32_t Find(const Code *c, uint32_t code, uint32_t from = 0) {
        for (uint32_t i = from; i < c->count; ++i)
            if (c->codes[i] == code) return i;
        return UINT32_MAX;
    }
};

TEST_F(CodeTest, RunWrapsTheArraysAndBorrowsTheText) {
    const char *text = "var a = 1;";
    Code *c = Run(text);
    EXPECT_EQ(c->refs, 1u);
    EXPECT_EQ(c->count, 5u);
    EXPECT_EQ(c->source, text);
    EXPECT_EQ(c->ownedSource, nullptr);
    EXPECT_EQ(c->firstLine, 1u);
    EXPECT_FALSE(c->marked);
    EXPECT_EQ(Code_Offset(c, 3), 8u);
    Code_AddRef(c);
    Code_Release(c);
    EXPECT_EQ(c->refs, 1u);
    Code_Release(c);
    Lex_EndRun(store_);
}

TEST_F(CodeTest, CopyCoversTheTokensOwnText) {
    const char *text = "x = 1;\n\n  var f = function (a) {\n  return a + 'z';\n} // tail\ny";
    Code *run = Run(text);
    uint32_t from = Find(run, KW_FUNCTION);
    uint32_t to = Find(run, TK_RBRACE);
    Code *fn = Code_NewCopy(run, from, to - from + 1);
    ASSERT_NE(fn, nullptr);
    EXPECT_EQ(Text(fn), "function (a) {\n  return a + 'z';\n}");
    EXPECT_EQ(Sum(fn), fn->sourceLen);
    EXPECT_EQ(fn->count, to - from + 1);
    EXPECT_EQ(fn->codes[fn->count], 0u);
    EXPECT_EQ(fn->firstLine, 3u);
    EXPECT_TRUE(fn->marked);
    EXPECT_NE(fn->ownedSource, nullptr);
    // The copy's own tokens map into its own text.
    uint32_t s, e;
    uint32_t ret = Find(fn, KW_RETURN);
    Lex_TokenText(fn->source, fn->codes, fn->lens, fn->codes + ret, &s, &e);
    EXPECT_EQ(Text(fn).substr(s, e - s), "return");

    // Its literal survives the end of the run; releasing it frees it later.
    uint32_t z = fn->codes[Find(fn, TK_ADD) + 1];
    Code_Release(run);
    Lex_EndRun(store_);
    EXPECT_EQ(Str(z), "z");
    Code_Release(fn);
    Lex_EndRun(store_);
    EXPECT_EQ(Literals(), 0u);
}

TEST_F(CodeTest, CopyFromTheFirstTokenSkipsLeadingBlanks) {
    Code *run = Run("  \t/* c */ a+b  // x\n");
    Code *c = Code_NewCopy(run, 0, 3);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Text(c), "a+b");
    EXPECT_EQ(Sum(c), 3u);
    EXPECT_EQ(c->firstLine, 1u);
    // A copy of a copy keeps the lines.
    Code *inner = Code_NewCopy(c, 2, 1);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(Text(inner), "b");
    EXPECT_EQ(inner->lens[0], 1u);
    Code_Release(inner);
    Code_Release(c);
    Code_Release(run);
    Lex_EndRun(store_);
}

TEST_F(CodeTest, CopyLinesFollowTheParent) {
    Code *run = Run("a\nb\nc\nd");
    Code *c = Code_NewCopy(run, 4, 3);  // c \n d
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Text(c), "c\nd");
    EXPECT_EQ(c->firstLine, 3u);
    Code *d = Code_NewCopy(c, 2, 1);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->firstLine, 4u);
    Code *none = Code_NewCopy(c, 1, 0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->count, 0u);
    EXPECT_EQ(none->sourceLen, 0u);
    Code_Release(none);
    Code_Release(d);
    Code_Release(c);
    Code_Release(run);
    Lex_EndRun(store_);
}

int gCacheFrees = 0;
void CountCacheFree(Code *c) {
    ++gCacheFrees;
    Mem_Free(c->cache);
    c->cache = nullptr;
}

TEST_F(CodeTest, ReleaseFreesParamsAndCaches) {
    Code *run = Run("function f(a, b) {}");
    Code *fn = Code_NewCopy(run, 0, run->count);
    ASSERT_NE(fn, nullptr);
    fn->params = static_cast<IdEntry **>(Arr_Alloc(sizeof(IdEntry *), 2));
    fn->nparams = 2;
    fn->cache = Mem_Alloc(40);
    gCacheFrees = 0;
    Code_SetCacheFree(&CountCacheFree);
    Code_Release(fn);
    Code_Release(run);
    Code_SetCacheFree(nullptr);
    EXPECT_EQ(gCacheFrees, 2);
    Lex_EndRun(store_);
}

TEST_F(CodeTest, CopyUnderExhaustedMemoryLeavesNothing) {
    Code *run = Run("f = function () { return 'a' + /x/ + 2; };");
    int32_t mem = MemUse;
    int failures = 0;
    for (uint64_t n = 1; n < 20; ++n) {
        Pool_FailNth(n);
        Code *c = Code_NewCopy(run, 2, run->count - 3);
        Pool_FailOff();
        if (!c) {
            ++failures;
            EXPECT_EQ(MemUse, mem) << n;
            continue;
        }
        Code_Release(c);
        EXPECT_EQ(MemUse, mem);
        break;
    }
    EXPECT_EQ(failures, 4);  // record, two arrays, text
    // Nothing kept a mark: every literal goes at the end of the run.
    Code_Release(run);
    Lex_EndRun(store_);
    EXPECT_EQ(Literals(), 0u);
}

}  // namespace
}  // namespace lexer_test

namespace lexer_test {
namespace {

TEST_F(CodeTest, OffsetsAndLinesInAnyOrder) {
    const char *text = "a\n/* x\n y */ b\r\n\nc d";
    Code *run = Run(text);
    ASSERT_EQ(run->count, 7u);  // a \n b \r\n \n c d
    uint32_t lf = 99;
    EXPECT_EQ(Code_Locate(run, 6, &lf), 19u);
    EXPECT_EQ(lf, 4u);
    EXPECT_EQ(Code_Locate(run, 2, &lf), 13u);  // backwards; the comment is in the \n token
    EXPECT_EQ(lf, 2u);
    EXPECT_EQ(Code_Offset(run, 7), std::strlen(text));
    uint32_t s, e;
    Code_TokenText(run, 2, &s, &e);
    EXPECT_EQ(std::string(text + s, e - s), "b");
    EXPECT_EQ(Code_LineAt(run, s), 3u);
    EXPECT_EQ(Code_LineAt(run, 0), 1u);
    EXPECT_EQ(Code_LineAt(run, 18), 5u);
    EXPECT_EQ(Code_LineAt(run, 5), 2u);  // inside the comment
    Code_Release(run);
    Lex_EndRun(store_);
}

TEST_F(CodeTest, ManyCopiesInProgramOrder) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "function f" + std::to_string(i) + "() { return " +
                                         std::to_string(i) + "; }\n";
    Code *run = Run(text.c_str());
    std::vector<Code *> fns;
    for (uint32_t i = 0; i < run->count; ++i) {
        if (run->codes[i] != KW_FUNCTION) continue;
        fns.push_back(Code_NewCopy(run, i, 9));
        ASSERT_NE(fns.back(), nullptr);
    }
    ASSERT_EQ(fns.size(), 200u);
    EXPECT_EQ(Text(fns[0]), "function f0() { return 0; }");
    EXPECT_EQ(fns[0]->firstLine, 1u);
    EXPECT_EQ(Text(fns[199]), "function f199() { return 199; }");
    EXPECT_EQ(fns[199]->firstLine, 200u);
    // Out of order as well.
    Code *again = Code_NewCopy(run, 0, 9);
    EXPECT_EQ(Text(again), "function f0() { return 0; }");
    Code_Release(again);
    for (Code *c : fns) Code_Release(c);
    Code_Release(run);
    Lex_EndRun(store_);
}

}  // namespace
}  // namespace lexer_test
