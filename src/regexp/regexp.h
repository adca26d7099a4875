// Regular expressions: a compiler that turns a pattern into a program of
// byte operations, and a backtracking matcher that runs it over 8-bit
// (Latin-1) text. The RegExp objects and the pattern methods of strings are
// built on these calls.
#pragma once
#include <cstdint>

namespace quillon {

enum : uint32_t { RX_IGNORECASE = 1, RX_GLOBAL = 2, RX_MULTILINE = 4 };

// A compiled expression: owns a counted copy of its source text, the flags,
// the group count, the class table and the program.
struct RxProgram;

// Compiles `source` with `flags`. Returns 0 and the program in *out, or an
// error code: 103 out of memory, or one of the ERR_RX_* codes of
// runtime/errors.h for a syntax error. With `plain` the whole source is one
// literal string (no metacharacters). Nothing is left allocated on failure.
uint32_t Rx_Compile(const char *source, uint32_t len, uint32_t flags, bool plain, RxProgram **out);
void Rx_Free(RxProgram *p);  // null is ignored

uint32_t Rx_GroupCount(const RxProgram *p);
uint32_t Rx_Flags(const RxProgram *p);
// The pattern text the program was compiled from (not zero-terminated).
const char *Rx_Source(const RxProgram *p, uint32_t *len);

// One capturing group of a match. start -1: the group did not participate.
struct RxCapture {
    int32_t start;
    uint32_t length;
};

// Asked every few thousand matching steps: 0 goes on, any other value stops
// the match, which then returns that value.
using RxBreakPoll = uint32_t (*)(void *arg);

// Finds the leftmost match at or after `start`. `multiline` forces the
// line-wise ^ and $ even without the m flag. Returns 1 on a match
// (*matchStart, *matchEnd and caps[0 .. groupCount-1] filled; caps may be
// null), 0 when there is none (also when start > len), or an error code:
// 103 out of memory, or the non-zero value the poll returned. Without a
// match the contents of caps are unspecified.
uint32_t Rx_Match(RxProgram *p, const char *input, uint32_t len, uint32_t start, bool multiline,
                  uint32_t *matchStart, uint32_t *matchEnd, RxCapture *caps, RxBreakPoll poll,
                  void *pollArg);

// Flag letters g, i and m, in any order, repeats allowed. Returns 0 and the
// flag bits, or ERR_RX_FLAG for any other character.
uint32_t Rx_ParseFlags(const char *text, uint32_t len, uint32_t *flags);

// Latin-1 character classes, shared with the string methods (the case
// mapping is platform/latin1.h's).
bool Rx_IsWordChar(uint8_t c);
bool Rx_IsSpace(uint8_t c);

}  // namespace quillon
