// A lexer store in a fresh pool, with helpers that lex a text and look at
// the tokens; every test ends with MemUse where it started.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/code.h"
#include "lexer/lexer.h"
#include "platform/debuglog.h"
#include "platform/pool.h"
#include "runtime/errors.h"
#include "runtime/memory.h"
#include "values/jsany.h"

namespace lexer_test {

using namespace quillon;

struct Lexed {
    uint32_t err = 0;
    std::vector<uint32_t> codes;  // without the final 0
    std::vector<uint32_t> lens;
};

inline std::string &Captured() {
    static std::string text;
    return text;
}
inline void Capture(const char *text, void *) { Captured() += text; }

class LexerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Pool_Create();
        Lex_InitTables();
        Captured().clear();
        Plat_SetDebugWriter(&Capture, nullptr);
        mem0_ = MemUse;
        store_ = Lex_CreateStore();
        ASSERT_NE(store_, nullptr);
    }
    void TearDown() override {
        Pool_FailOff();
        Lex_SetRegExpMaker(nullptr);
        Lex_DestroyStore(store_);
        Plat_SetDebugWriter(nullptr, nullptr);
        EXPECT_EQ(MemUse, mem0_) << "interpreter memory left";
    }

    Lexed Lex(const std::string &text, int32_t compat = 0) {
        Lexed out;
        uint32_t *codes = nullptr, *lens = nullptr, count = 0;
        out.err = Lex_Run(store_, text.c_str(), compat, nullptr, &codes, &lens, &count);
        if (out.err) {
            EXPECT_EQ(codes, nullptr);
            EXPECT_EQ(lens, nullptr);
            return out;
        }
        out.codes.assign(codes, codes + count);
        out.lens.assign(lens, lens + count);
        EXPECT_EQ(codes[count], 0u);
        EXPECT_EQ(lens[count], 0u);
        Arr_Free(codes);
        Arr_Free(lens);
        return out;
    }

    // The codes with every operand replaced by 3001 (the kinds of tokens).
    static std::vector<uint32_t> Kinds(const Lexed &l) {
        std::vector<uint32_t> k;
        for (uint32_t c : l.codes) k.push_back(Tk_IsOperand(c) ? TK_OPERAND : c);
        return k;
    }

    const JSAny *Const(uint32_t code) { return Lex_ConstOf(store_, code); }
    double Num(uint32_t code) {
        const JSAny *a = Const(code);
        EXPECT_TRUE(a && a->type == JSANY_NUMBER);
        return a && a->type == JSANY_NUMBER ? a->num : -12345;
    }
    std::string Str(uint32_t code) {
        const JSAny *a = Const(code);
        EXPECT_TRUE(a && a->type == JSANY_STRING);
        return a && a->type == JSANY_STRING ? std::string(a->str, a->len) : "<none>";
    }
    uint32_t ErrOf(uint32_t code) {
        const JSAny *a = Const(code);
        EXPECT_TRUE(a && a->type == JSANY_ERROR);
        return a && a->type == JSANY_ERROR ? a->code : 0;
    }
    // Literal entries still alive (marks 0 or above, no identifier).
    uint32_t Literals() const {
        uint32_t n = 0;
        for (uint32_t i = 0; i < store_->count; ++i)
            n += store_->ops[i].marks >= 0 && !store_->ops[i].id;
        return n;
    }

    LexStore *store_ = nullptr;
    int32_t mem0_ = 0;
};

}  // namespace lexer_test
