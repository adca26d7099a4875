// Helpers for the regular-expression tests: compile and match in one call,
// results as plain strings, and a fixture that checks every byte of
// interpreter memory is given back.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/pool.h"
#include "regexp/regexp.h"
#include "runtime/errors.h"
#include "runtime/memory.h"

namespace rx_test {

constexpr const char *kUnset = "<unset>";

// The outcome of compiling `pattern` and matching it against `input` from
// `start`: {"<no match>"}, {"<error 0x...>"}, or the matched text followed by
// every group's text (kUnset for a group that did not take part).
std::vector<std::string> Exec(const std::string &pattern, const std::string &input, uint32_t flags = 0,
                              uint32_t start = 0, bool multiline = false);
// Where the match starts, -1 without a match or on an error.
int64_t MatchIndex(const std::string &pattern, const std::string &input, uint32_t flags = 0,
                   uint32_t start = 0);
// The compile result code alone.
uint32_t CompileCode(const std::string &pattern, uint32_t flags = 0);
std::string Hex(uint32_t code);

class RxTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = quillon::MemUse; }
    void TearDown() override {
        quillon::Pool_FailOff();
        EXPECT_EQ(quillon::MemUse, before_) << "memory not given back";
    }
    int32_t before_ = 0;
};

}  // namespace rx_test
