// Shared test support: a fixture that opens the library, captures its
// diagnostic output, and at the end checks that every byte of interpreter
// memory came back and that no leak warning was printed.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "quillon.h"

namespace quillon_test {

// Everything the library wrote on its diagnostic output since the capture began.
std::string &DebugText();
void StartDebugCapture();
void StopDebugCapture();

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Clears the captured text.
    void ClearDebug() { DebugText().clear(); }
    const std::string &Debug() const { return DebugText(); }
    JSLibraryBase *base_ = nullptr;
};

// Closes the library and checks the leak conditions; for tests that manage
// the open count themselves.
void ExpectCleanClose();

}  // namespace quillon_test
