// A hand-built run context over a lexed text, with a host hook that keeps
// what it is shown and a capture of the diagnostic output.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "values/space.h"
#include "values/context.h"
#include "lexer/code.h"
#include "lexer/lexer.h"
#include "platform/debuglog.h"
#include "platform/pool.h"
#include "platform/signals.h"
#include "quillon.h"
#include "runtime/errors.h"
#include "runtime/memory.h"
#include "interp/report.h"

namespace report_test {

using namespace quillon;

struct Shown {
    uint32_t kind;
    uintptr_t handle;
    std::string heading, message, before, token, after;
    const char *position;
};

struct HostLog {
    std::vector<Shown> shown;
    int polls = 0;
    uint32_t pollAnswer = 0;
};

inline HostLog &Host() {
    static HostLog log;
    return log;
}

inline std::string Safe(const char *s) { return s ? s : "<null>"; }

inline uint32_t TestNotify(uint32_t kind, uintptr_t handle, const char *heading,
                           const char *message, const char *before, const char *token,
                           const char *after, const char *position) {
    if (kind == JSNOTIFY_POLL) {
        EXPECT_EQ(handle, 0u);
        EXPECT_EQ(heading, nullptr);
        EXPECT_EQ(message, nullptr);
        ++Host().polls;
        return Host().pollAnswer;
    }
    Host().shown.push_back(
        {kind, handle, Safe(heading), Safe(message), Safe(before), Safe(token), Safe(after),
         position});
    return 0;
}

inline std::string &Output() {
    static std::string text;
    return text;
}
inline void CaptureOutput(const char *text, void *) { Output() += text; }

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        Pool_Create();
        Lex_InitTables();
        Host() = HostLog{};
        Output().clear();
        Plat_SetDebugWriter(&CaptureOutput, nullptr);
        hooks_ = JSHostLibrary{};
        hooks_.HostNotify = &TestNotify;
        std::memset(static_cast<void *>(&space_), 0, sizeof space_);
        space_.hooks = &hooks_;
        std::memset(static_cast<void *>(&ctx_), 0, sizeof ctx_);
        ctx_.space = &space_;
        ctx_.hostHandle = 77;
        mem0_ = MemUse;
        store_ = Lex_CreateStore();
        ASSERT_NE(store_, nullptr);
        ctx_.store = store_;
    }
    void TearDown() override {
        Err_ClearTryReport(&ctx_);
        if (ctx_.code) Code_Release(ctx_.code);
        Lex_EndRun(store_);
        Lex_DestroyStore(store_);
        Pool_FailOff();
        Plat_SetDebugWriter(nullptr, nullptr);
        Plat_SetSignal(0, ~0u);
        EXPECT_EQ(MemUse, mem0_) << "interpreter memory left";
    }

    // Lexes the text as the run's program (the text must outlive the test).
    void Program(const char *text) {
        if (ctx_.code) Code_Release(ctx_.code);
        uint32_t *codes, *lens, count;
        ASSERT_EQ(Lex_Run(store_, text, 0, &space_, &codes, &lens, &count), 0u);
        ctx_.code = Code_NewRun(store_, &space_, codes, lens, count, text,
                                static_cast<uint32_t>(std::strlen(text)));
        ASSERT_NE(ctx_.code, nullptr);
    }
    // The n-th token (0-based) whose own text is `text`.
    const uint32_t *Tok(const char *text, int n = 0) {
        const Code *c = ctx_.code;
        for (uint32_t i = 0; i <= c->count; ++i) {
            uint32_t s, e;
            Lex_TokenText(c->source, c->codes, c->lens, c->codes + i, &s, &e);
            if (std::string(c->source + s, e - s) == text && n-- == 0) return c->codes + i;
        }
        ADD_FAILURE() << "no token " << text;
        return nullptr;
    }
    const uint32_t *End() { return ctx_.code->codes + ctx_.code->count; }
    const Shown &Last() {
        static Shown none{};
        EXPECT_FALSE(Host().shown.empty());
        return Host().shown.empty() ? none : Host().shown.back();
    }

    JSHostLibrary hooks_{};
    ProgramSpace space_;
    RunContext ctx_;
    LexStore *store_ = nullptr;
    int32_t mem0_ = 0;
};

}  // namespace report_test
