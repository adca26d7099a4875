// A small host for whole-script runs, written against quillon.h only so
// that the fuzz targets can use it without the test framework: scripts get
// print(...), console.log(...) and console.error(...) as program objects;
// what they write goes to a string the caller names, or nowhere; the break
// poll can answer "stop" once a budget of polls is spent, so that a run of
// an endless loop ends.
#pragma once
#include <cstdint>
#include <string>

#include "quillon.h"

namespace quillon_test {

namespace scripthost {

// The hook library; spaces are created with user data 1.
const JSHostLibrary *Hooks();

// Where print and console.log write (console.error writes there too, after
// "error: "); null discards.
void SetOutput(std::string *out);

// Polls answered "go on" before the next one answers "stop"; 0 never stops.
void SetPollBudget(uint64_t polls);
uint64_t Polls();
// A poll also answers "stop" once the library holds more than this many
// bytes (0: no limit), so that a budgeted run cannot grow without end.
void SetMemoryCap(int32_t bytes);

// Error and warning reports received since the last ClearReports.
uint32_t Reports();
void ClearReports();

// Runs a text with host handle 1. With a poll budget the break signal is
// raised before the run (and cleared after it) so the interpreter polls at
// every loop iteration and call.
uint32_t Run(JSProgramSpace *space, const char *text, uint32_t flags, int32_t compat,
             bool budgeted = false);

// The signal bit the budgeted runs use.
constexpr uint32_t kBreakBit = 1u << 13;

}  // namespace scripthost

}  // namespace quillon_test
