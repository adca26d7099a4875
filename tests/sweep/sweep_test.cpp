// Out-of-memory sweep: every chosen script of tests/scripts runs again and
// again in a fresh library, the 1st, 2nd, 3rd ... allocation failing, until
// a run completes without meeting the failure. Each run must end cleanly:
// result 1 when the failure was met (memory exhaustion cannot be caught),
// or, when the failed allocation had a fallback, exactly the result and
// output of a run without the failure; the script's normal result otherwise, and after the space is destroyed
// and the library closed no memory is left and no leak warning printed.
//
// QUILLON_SWEEP chooses the scripts: unset, a quick subset; "all", every
// script; otherwise a comma-separated list of script names. Every failure
// point is tried up to the 25,000th allocation of a run; a script that
// allocates more (a loop making a million objects) has the rest of its
// points sampled evenly (kSampled of them, the last one included), since
// each run costs as much as the allocations before its failure point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "objects/collector.h"
#include "platform/pool.h"
#include "support/fixture.h"
#include "support/scripthost.h"

namespace quillon_test {
namespace {

const char *ScriptsDir() { return QUILLON_SOURCE_DIR "/tests/scripts"; }

// Small scripts that between them reach the lexer, statements, calls,
// closures, activations used again, errors caught and uncaught,
// conversions, objects, prototype objects made for functions, strings,
// arrays, regular expressions, dates, the URI functions and remembered
// forms with calls followed by string operators and forms that store
// strings and use string keys (a few seconds under the sanitizers).
const char *const kQuickSubset[] = {"basics",        "errors",        "invocation",      "generics",
                                    "values",        "objects",       "prototype_links", "locale_strings",
                                    "dates_level2",  "regexp_level1", "string_level3",   "array_level3",
                                    "uri",           "call_reuse",    "forms",           "member_stores",
                                    "primitive_methods", "string_keys"};

constexpr uint64_t kEveryPointUpTo = 25000;
constexpr uint64_t kSampled = 200;

struct Script {
    std::string name, text, expected;
    uint32_t flags = JSRUN_RESULT;
    int32_t compat = 0;
    uint32_t status = 0;
};

bool ReadFile(const std::string &path, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

std::vector<std::string> AllNames() {
    std::vector<std::string> names;
    std::string list;
    // The folder listing comes from the shell so the test needs no file-system library.
    std::string cmd = std::string("cd '") + ScriptsDir() + "' && ls *.js";
    if (FILE *p = popen(cmd.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, p)) {
            std::string n(line);
            while (!n.empty() && (n.back() == '\n' || n.back() == '\r')) n.pop_back();
            if (n.size() > 3) names.push_back(n.substr(0, n.size() - 3));
        }
        pclose(p);
    }
    return names;
}

std::vector<std::string> Chosen() {
    const char *env = std::getenv("QUILLON_SWEEP");
    if (!env || !*env) return std::vector<std::string>(std::begin(kQuickSubset), std::end(kQuickSubset));
    if (std::string(env) == "all") return AllNames();
    std::vector<std::string> names;
    std::stringstream s(env);
    std::string n;
    while (std::getline(s, n, ','))
        if (!n.empty()) names.push_back(n);
    return names;
}

// Reads NAME.js with its expected output, status and the options of its
// "// args:" line (-c LEVEL, -l).
bool LoadScript(const std::string &name, Script &s) {
    s.name = name;
    std::string base = std::string(ScriptsDir()) + "/" + name;
    if (!ReadFile(base + ".js", s.text)) return false;
    if (!ReadFile(base + ".out", s.expected)) s.expected = "";
    std::string status;
    if (ReadFile(base + ".status", status)) s.status = static_cast<uint32_t>(std::atoi(status.c_str()));
    std::string first = s.text.substr(0, s.text.find('\n'));
    const std::string lead = "// args:";
    if (first.compare(0, lead.size(), lead) == 0) {
        std::stringstream a(first.substr(lead.size()));
        std::string word;
        while (a >> word) {
            if (word == "-l") s.flags |= JSRUN_LENIENT;
            if (word == "-c" && (a >> word)) s.compat = std::atoi(word.c_str());
        }
    }
    return true;
}

struct Outcome {
    uint32_t result = 0;
    bool spaceMade = false;
    bool hit = false;  // the failure switch failed an allocation
    int32_t memUse = 0;
    uint64_t allocations = 0;
    std::string debug, output;
};

// One run in a fresh library; failAt 0 fails nothing. With `collectEverywhere`
// the cycle collector runs at every safe point of the run.
Outcome RunOnce(const Script &s, uint64_t failAt, bool collectEverywhere = false) {
    Outcome o;
    StartDebugCapture();
    if (!OpenJSLibrary()) {
        o.result = 99;
        return o;
    }
    // (A script that walks a million-object list would take quadratic time
    // collecting at every step: past a budget the threshold decides again.)
    quillon::Collector_SetEverySafePoint(collectEverywhere, 5000000);
    quillon::Pool_FailNth(failAt);
    scripthost::SetOutput(&o.output);
    JSProgramSpace *space = CreateJSProgramSpace(nullptr, scripthost::Hooks(), 1);
    o.spaceMade = space != nullptr;
    if (space) {
        o.result = scripthost::Run(space, s.text.c_str(), s.flags, s.compat);
        DeleteJSProgramSpace(space);
    } else {
        o.result = 1;
    }
    o.hit = quillon::Pool_FailedCount() > 0;
    o.allocations = quillon::Pool_AllocCount();
    quillon::Pool_FailOff();
    quillon::Collector_SetEverySafePoint(false);
    scripthost::SetOutput(nullptr);
    CloseJSLibrary();
    o.memUse = GetJSMemUse();
    o.debug = DebugText();
    StopDebugCapture();
    return o;
}

bool Clean(const Outcome &o) {
    return o.memUse == 0 && o.debug.find("Warning:") == std::string::npos &&
           o.debug.find("UFO") == std::string::npos && o.debug.find("Illegal") == std::string::npos;
}

uint64_t gTotalPoints = 0;

class Sweep : public ::testing::TestWithParam<std::string> {};

void SweepScript(const std::string &name, bool collectEverywhere) {
    Script s;
    ASSERT_TRUE(LoadScript(name, s)) << "cannot read " << name;
    Outcome base = RunOnce(s, 0, collectEverywhere);
    ASSERT_TRUE(Clean(base)) << base.debug;
    ASSERT_EQ(base.result, s.status);
    if (!s.expected.empty()) {
        EXPECT_EQ(base.output, s.expected) << "the sweep's host differs from the shell";
    }

    // QUILLON_SWEEP_POINT=n runs that one failure point and shows its output,
    // for looking into a fault the sweep found.
    if (const char *one = std::getenv("QUILLON_SWEEP_POINT")) {
        Outcome o = RunOnce(s, std::strtoull(one, nullptr, 10), collectEverywhere);
        std::printf("result %u, hit %d, MemUse %d, %llu allocations\n--- output\n%s--- diagnostics\n%s",
                    o.result, o.hit, o.memUse, static_cast<unsigned long long>(o.allocations), o.output.c_str(),
                    o.debug.c_str());
        return;
    }
    uint64_t points = 0;
    int faults = 0;
    uint64_t stride = 1;
    if (base.allocations > kEveryPointUpTo) stride = (base.allocations - kEveryPointUpTo) / kSampled + 1;
    for (uint64_t n = 1;;) {
        Outcome o = RunOnce(s, n, collectEverywhere);
        bool ok = Clean(o);
        if (o.hit) {
            // Memory exhaustion stops the run, unless the allocation was one
            // with a fallback (a position cache, the pieces of a report):
            // then the run must end exactly as it does without the failure.
            ++points;
            ok = ok && (o.result == 1 || (o.result == base.result && o.output == base.output));
        } else {
            ok = ok && o.result == base.result && o.output == base.output;
        }
        if (!ok && ++faults <= 20) {
            ADD_FAILURE() << s.name << ": allocation " << n << (o.hit ? " failed" : " not reached")
                          << ": result " << o.result << ", MemUse " << o.memUse
                          << (o.spaceMade ? "" : " (no space)") << "\n"
                          << o.debug.substr(0, 2000);
        }
        if (!o.hit) break;
        if (n < kEveryPointUpTo || n >= base.allocations) ++n;
        else n = std::min(n + stride, base.allocations);
    }
    gTotalPoints += points;
    std::printf("[ sweep    ] %s%s: %llu failure points\n", s.name.c_str(),
                collectEverywhere ? " (collecting at every safe point)" : "",
                static_cast<unsigned long long>(points));
    ::testing::Test::RecordProperty("failure_points", std::to_string(points));
}

TEST_P(Sweep, EveryAllocationFailureEndsCleanly) { SweepScript(GetParam(), false); }

INSTANTIATE_TEST_SUITE_P(Scripts, Sweep, ::testing::ValuesIn(Chosen()),
                         [](const ::testing::TestParamInfo<std::string> &i) { return i.param; });

// The same sweep with the collector running at every safe point, over
// scripts that make and drop cycles of every kind: memory exhaustion met
// just before or after a collection, or while freeing what it found, must
// end as cleanly.
std::vector<std::string> CollectingSubset() {
    return {"invocation", "errors", "functions", "object_model", "call_reuse"};
}

class SweepCollecting : public ::testing::TestWithParam<std::string> {};

TEST_P(SweepCollecting, EveryAllocationFailureEndsCleanly) { SweepScript(GetParam(), true); }

INSTANTIATE_TEST_SUITE_P(Scripts, SweepCollecting, ::testing::ValuesIn(CollectingSubset()),
                         [](const ::testing::TestParamInfo<std::string> &i) { return i.param; });

// Every script of the script tests, run with a collection at every safe
// point (every loop iteration and call, and each run's start and end): any
// value the interpreter, a native or the host still needs but holds without
// counting it would be freed, and the run would print something else (or
// the sanitizers would see the freed memory read).
class CollectEverywhere : public ::testing::TestWithParam<std::string> {};

TEST_P(CollectEverywhere, ScriptGivesItsExpectedOutput) {
    Script s;
    ASSERT_TRUE(LoadScript(GetParam(), s)) << "cannot read " << GetParam();
    Outcome o = RunOnce(s, 0, true);
    EXPECT_TRUE(Clean(o)) << o.debug;
    EXPECT_EQ(o.result, s.status);
    if (!s.expected.empty()) {
        EXPECT_EQ(o.output, s.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, CollectEverywhere, ::testing::ValuesIn(AllNames()),
                         [](const ::testing::TestParamInfo<std::string> &i) { return i.param; });

class Total : public ::testing::Environment {
    void TearDown() override {
        std::printf("[ sweep    ] %llu failure points in all\n", static_cast<unsigned long long>(gTotalPoints));
    }
};
const auto *const kTotal = ::testing::AddGlobalTestEnvironment(new Total);

}  // namespace
}  // namespace quillon_test
