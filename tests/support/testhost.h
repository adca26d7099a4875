// A scriptable host for tests: records every hook call and answers through
// handlers a test sets. Program objects it makes hold a small record naming
// what they stand for.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "quillon.h"

namespace quillon_test {

struct Report {
    uint32_t kind;
    std::string heading, message, before, token, after;
    bool hasPosition;
};

class TestHost {
public:
    TestHost();
    ~TestHost();
    const JSHostLibrary *Hooks() const { return &hooks_; }

    // Creates a space with these hooks and user data 1 (and remembers it).
    JSProgramSpace *Space();
    // Runs a text in result mode with host handle 1; returns the call's result.
    uint32_t Run(const char *text, uint32_t flags = JSRUN_RESULT, int32_t compat = 0);
    // The last result as a string / number (after a run).
    std::string ResultString();
    double ResultNumber();

    // Handlers; null ones answer "no such name" or 0.
    std::function<uint32_t(JSRunContext *, void *data, const char *name, uint32_t flags)> getProperty;
    std::function<uint32_t(JSRunContext *, void *data, uint32_t index, uint32_t flags)> getElement;
    std::function<uint32_t(JSRunContext *, void *data, uint32_t size, uint32_t op)> invoke;
    std::function<uint32_t()> poll;  // kind 7
    uint32_t createdAnswer = 0;

    std::vector<Report> reports;
    std::vector<std::string> log;  // "get NAME flags", "elem I flags", "invoke op", "created N", "released N"
    int created = 0, released = 0;
    JSProgramSpace *space = nullptr;

private:
    JSHostLibrary hooks_;
};

// The TestHost of the hook calls in progress.
TestHost *CurrentHost();

}  // namespace quillon_test
