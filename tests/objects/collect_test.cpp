// Collection while scripts run: cyclic garbage goes during a long run (the
// host watches GetJSMemUse fall and HostObjectReleased arrive), the time
// spent stays in proportion to the garbage however much live data a root
// reaches, values the host holds (value slots, program objects, objects it
// made) survive collections at every safe point, and no collection starts
// inside a hook.
#include <algorithm>
#include <cstring>
#include <vector>

#include "objects/collector.h"
#include "objects/props.h"
#include "runtime/atoms.h"
#include "support/fixture.h"
#include "support/testhost.h"

namespace objects_test {
namespace {

using namespace quillon;
using quillon_test::TestHost;

struct Tagged {
    uint32_t kind;
};
bool Is(void *data, uint32_t kind) { return data && static_cast<Tagged *>(data)->kind == kind; }

// A host with three functions: mem() records GetJSMemUse and the releases
// seen so far, thing() makes a program object, keep(f) holds its argument
// in a value slot.
class CollectTest : public quillon_test::LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        samples_ = &samples;
        host.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
            uint32_t kind = 0;
            if (!data && std::strcmp(name, "mem") == 0) kind = 1;
            if (!data && std::strcmp(name, "thing") == 0) kind = 2;
            if (!data && std::strcmp(name, "keep") == 0) kind = 3;
            if (kind == 0) return 2;
            if (flags & JSHOST_HAS) return 0;
            Tagged t{kind};
            return SetJSResultObject(ctx, &t, sizeof t);
        };
        host.invoke = [](JSRunContext *ctx, void *data, uint32_t, uint32_t) -> uint32_t {
            if (Is(data, 1)) {
                samples_->push_back({GetJSMemUse(), quillon_test::CurrentHost()->released});
                return 0;
            }
            if (Is(data, 2)) {
                Tagged t{7};
                return SetJSResultObject(ctx, &t, sizeof t);
            }
            if (Is(data, 3)) {
                held_ = HoldJSArgument(ctx, 0);
                return 0;
            }
            if (Is(data, 7)) {
                JSTagItem r[] = {{JSTAG_INTEGER, 7}, {JSTAG_END, 0}};
                return SetJSResult(ctx, r);
            }
            return 4;
        };
    }
    void TearDown() override {
        Collector_SetEverySafePoint(false);
        if (held_ >= 0) ReleaseJSValue(static_cast<uint32_t>(held_));
        held_ = -1;
        if (host.space) DeleteJSProgramSpace(host.space);
        host.space = nullptr;
        LibraryTest::TearDown();
    }
    struct Sample {
        int32_t memUse;
        int released;
    };
    TestHost host;
    std::vector<Sample> samples;
    static std::vector<Sample> *samples_;
    static int32_t held_;
};
std::vector<CollectTest::Sample> *CollectTest::samples_ = nullptr;
int32_t CollectTest::held_ = -1;

TEST_F(CollectTest, CyclicGarbageGoesWhileTheRunGoesOn) {
    // Every pattern that makes a cycle on each step: a closure over an
    // object that holds it, a function declaring an inner function, two
    // objects pointing at each other, and a cycle holding a program object.
    const char *patterns[] = {
        "function make(n) { var self = {n: n}; self.get = function () { return self.n; }; return self; }"
        "for (var i = 0; i < 200000; i++) { make(i).get(); if (i % 10000 == 0) mem(); }",
        "function outer(n) { function inner() { return n; } return inner() + 1; }"
        "for (var i = 0; i < 200000; i++) { outer(i); if (i % 10000 == 0) mem(); }",
        "for (var i = 0; i < 200000; i++) { var a = {v: i}, b = {a: a}; a.b = b; if (i % 10000 == 0) mem(); }",
        "for (var i = 0; i < 50000; i++) { var o = {h: thing()}; o.o = o; if (i % 2500 == 0) mem(); }",
    };
    for (const char *text : patterns) {
        SCOPED_TRACE(text);
        samples.clear();
        host.released = 0;
        uint64_t before = Collector_Stats().collections;
        ASSERT_EQ(host.Run(text, 0), 0u) << (host.reports.empty() ? "" : host.reports.back().message);
        ASSERT_EQ(samples.size(), 20u);
        EXPECT_GT(Collector_Stats().collections, before + 2) << "collections ran during the run";
        // Memory falls back again and again, and the late samples stay where
        // the early ones were (without collection each step would keep
        // hundreds of bytes: 200,000 steps, tens of megabytes).
        int falls = 0;
        int32_t low = samples[1].memUse, high = samples[1].memUse;
        for (size_t i = 1; i < samples.size(); ++i) {
            falls += samples[i].memUse < samples[i - 1].memUse;
            low = std::min(low, samples[i].memUse);
            high = std::max(high, samples[i].memUse);
        }
        EXPECT_GE(falls, 1);
        EXPECT_LT(high - low, 3 * 1024 * 1024) << "low " << low << ", high " << high;
        DeleteJSProgramSpace(host.space);
        host.space = nullptr;
    }
    // The program objects held by garbage reached the release hook during
    // the run, not only when the space went.
    EXPECT_GT(samples.back().released, 40000);
}

TEST_F(CollectTest, LiveDataReachedFromARootCostsInProportion) {
    // A list of 100,000 live objects is handed to a function at every step
    // (so it becomes a possible root again and again) while each step makes
    // one garbage pair. The threshold follows the live data the collector
    // met, so the list is walked a few times, not once per 4096 roots.
    CollectorStats before = Collector_Stats();
    ASSERT_EQ(host.Run("var list = null; for (var i = 0; i < 100000; i++) list = {next: list};"
                       "function touch(l) { return l; }"
                       "for (var i = 0; i < 300000; i++) { touch(list); var a = {}, b = {a: a}; a.b = b; }",
                       0),
              0u);
    CollectorStats after = Collector_Stats();
    uint64_t examined = after.examined - before.examined, freed = after.freed - before.freed;
    EXPECT_GT(freed, 400000u);
    EXPECT_LT(examined, 3 * freed + 400000) << "examined " << examined << ", freed " << freed;
}

TEST_F(CollectTest, DeepCyclesGoWithoutDeepRecursion) {
    // A ring of a million objects and a million-deep chain of closures'
    // activations, dropped and collected during the run.
    ASSERT_EQ(host.Run("var r = {}, c = r; for (var i = 0; i < 1000000; i++) { c.n = {}; c = c.n; }"
                       "c.n = r; r = c = null; mem();"
                       "for (var i = 0; i < 20000; i++) { var a = {}; a.a = a; } mem();",
                       0),
              0u);
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_LT(samples[1].memUse, samples[0].memUse - 40 * 1000000) << "the ring went during the run";
}

TEST_F(CollectTest, WhatTheHostHoldsSurvivesCollectionsAtEverySafePoint) {
    Collector_SetEverySafePoint(true);
    // A function held only by a value slot, in a cycle with an object of its
    // activation; a program object held by a live cycle.
    ASSERT_EQ(host.Run("(function () { var total = {n: 0}; total.self = total;"
                       "  var f = function (a) { total.n += a; return total.n; }; f.again = f; keep(f); })();"
                       "var box = {h: thing()}; box.box = box;"
                       "for (var i = 0; i < 2000; i++) { var a = {}; a.a = a; }",
                       0),
              0u);
    int32_t fn = held_;
    held_ = -1;
    ASSERT_GE(fn, 0);
    int releasedBefore = host.released;
    ASSERT_EQ(host.Run("for (var i = 0; i < 2000; i++) { var a = {}; a.a = a; } box.h() + box.box.h()", JSRUN_RESULT),
              0u);
    EXPECT_EQ(host.ResultNumber(), 14);
    EXPECT_EQ(host.released, releasedBefore) << "the live box keeps its program object";
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(host.Run("for (var i = 0; i < 500; i++) { var a = {}; a.a = a; } keep(5)", 0), 0u);
        int32_t five = held_;
        held_ = -1;
        ASSERT_GE(five, 0);
        JSTagItem call[] = {{JSTAG_OBJECT, static_cast<uintptr_t>(fn)}, {JSTAG_ARGUMENT, static_cast<uintptr_t>(five)},
                            {JSTAG_END, 0}};
        ASSERT_EQ(CallJavaScript(host.space, 0, 1, 0, call), 0u);
        EXPECT_EQ(host.ResultNumber(), 5 * i);
        ReleaseJSValue(static_cast<uint32_t>(five));
    }
    held_ = fn;
}

TEST_F(CollectTest, NoCollectionStartsInsideAHook) {
    // A script run from inside a name lookup makes plenty of garbage: its
    // safe points must not collect while the outer run is in the middle of
    // resolving a name; the garbage goes at the outer run's next safe point.
    static JSProgramSpace *space = nullptr;
    space = host.Space();
    host.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data || std::strcmp(name, "nested") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        uint64_t before = Collector_Stats().collections;
        RunJavaScript(space, "for (var i = 0; i < 20000; i++) { var a = {}; a.a = a; }", 0, 1, 0, 0);
        JSTagItem r[] = {{JSTAG_INTEGER, static_cast<uintptr_t>(Collector_Stats().collections - before)}, {JSTAG_END, 0}};
        return SetJSResult(ctx, r);
    };
    uint64_t before = Collector_Stats().collections;
    ASSERT_EQ(host.Run("var n = nested; for (var i = 0; i < 3; i++) {} n", JSRUN_RESULT), 0u);
    EXPECT_EQ(host.ResultNumber(), 0) << "collections inside the hook";
    EXPECT_GT(Collector_Stats().collections, before) << "the garbage went after the hook";
}

TEST_F(CollectTest, KeyTextsAreSharedAndGoWithTheirLastHolder) {
    uint32_t none = Atom_Count();
    host.Space();
    uint32_t keys = Atom_Count();  // the names of the built-ins
    EXPECT_GT(keys, none);
    ASSERT_EQ(host.Run("var many = []; for (var i = 0; i < 1000; i++) many.push({alpha: i, beta: i});"
                       "var o = {}; o['gamma' + 'delta'] = 1; many.length",
                       JSRUN_RESULT),
              0u);
    EXPECT_EQ(host.ResultNumber(), 1000);
    // A thousand objects share the two keys of their names.
    EXPECT_LT(Atom_Count(), keys + 20);
    ASSERT_EQ(host.Run("var names = []; for (var k in many[5]) names.push(k); delete o.gammadelta;"
                       "many = null; names.join()",
                       JSRUN_RESULT),
              0u);
    EXPECT_EQ(host.ResultString(), "alpha,beta");
    DeleteJSProgramSpace(host.space);
    host.space = nullptr;
    EXPECT_EQ(Atom_Count(), none);
}

}  // namespace
}  // namespace objects_test
