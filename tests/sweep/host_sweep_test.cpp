// Out-of-memory sweep over the host calls: a host that reads arguments of
// every kind (doubles and strings with their length among them), answers
// with values and scope objects, keeps a callback in a value slot and calls
// it back later with arguments from slots and by value, each run failing
// its 1st, 2nd, 3rd ... allocation; then the same conversation under a
// memory limit of every size, raised afterwards so that it completes. Every
// run ends with result 1 or its normal result, and the library gives all
// its memory back.
#include <cstring>
#include <string>

#include "platform/pool.h"
#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

struct Tagged {
    uint32_t tag;
};

int32_t gSlot = -1;

uint32_t GetProperty(JSRunContext *ctx, void *data, const char *name, uint32_t flags) {
    Tagged t{0};
    if (data) {
        std::memcpy(&t, data, sizeof t);
        if (t.tag == 2 && std::strcmp(name, "value") == 0) {
            if (flags & JSHOST_HAS) return 0;
            if (flags & JSHOST_PUT) {
                JSTagItem a[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
                return GetJSArguments(ctx, a) == 0 ? 0 : 1;
            }
            // A value (with its length) and a scope object for the lookup.
            static const char scope[] = "scope";
            JSTagItem r[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>("member text")}, {JSTAG_SIZE, 11},
                             {JSTAG_HOSTOBJECT, reinterpret_cast<uintptr_t>(scope)}, {JSTAG_SIZE, sizeof scope},
                             {JSTAG_END, 0}};
            return SetJSResult(ctx, r) == 0 ? 0 : 1;
        }
        return 2;
    }
    if (std::strcmp(name, "host") == 0 || std::strcmp(name, "box") == 0) {
        if (flags & JSHOST_HAS) return 0;
        Tagged give{name[0] == 'h' ? 1u : 2u};
        return SetJSResultObject(ctx, &give, sizeof give) == 0 ? 0 : 1;
    }
    return 2;
}

uint32_t Invoke(JSRunContext *ctx, void *, uint32_t, uint32_t) {
    // Every reading of the arguments, then a kept callback and a result.
    JSTagItem count[] = {{JSTAG_COUNT, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, count) != 0) return 0;
    JSTagItem read[] = {{JSTAG_STRING, 0}, {JSTAG_INTEGER, 0}, {JSTAG_FLOAT, 0}, {JSTAG_BOOLEAN, 0},
                        {JSTAG_NULL, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, read) != 0) return 0;
    JSTagItem full[] = {{JSTAG_STRING, 0}, {JSTAG_SIZE, 0}, {JSTAG_DOUBLE, 0}, {JSTAG_END, 0}};
    if (GetJSArguments(ctx, full) != 0) return 0;
    if (gSlot < 0 && count[0].ti_Data > 5) gSlot = HoldJSArgument(ctx, 5);
    JSObject *o = NewJSObject(ctx);
    if (!o) return 1;
    JSTagItem r[] = {{JSTAG_OBJECT, reinterpret_cast<uintptr_t>(o)}, {JSTAG_END, 0}};
    uint32_t st = SetJSResult(ctx, r);
    ReleaseJSObject(o);
    return st == 0 ? 0 : 1;
}

const char kScript[] =
    "var o = host('text', 42.5, 1.5, true, null, function (a, b) { return [a, b, typeof box].join('/'); });"
    "o.extra = [1, 2]; box.value = 'stored ' + o.extra; var v = box.value;"
    "var s = ''; for (var k in o) s += k; s + v + String(o)";

const std::string kRan = "extramember text[object Object]";
const std::string kAll = kRan + "|function (a, b) { return [a, b, typeof box].join('/'); }/2.5/object";

// One conversation: a run, then the kept function called back with itself
// and 2.5. Reading the results may meet the failure too, and must then
// answer 1.
struct Conversation {
    uint32_t run = 99, call = 99;
    bool readFailed = false;
    std::string result;

    void Hold(TestHost &h) {
        auto read = [&h, this]() -> std::string {
            JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_SIZE, 0}, {JSTAG_END, 0}};
            uint32_t g = GetJSResult(h.space, t);
            EXPECT_TRUE(g == 0 || g == 1) << g;
            if (g != 0 || !t[0].ti_Data) {
                readFailed = true;
                return "";
            }
            return std::string(reinterpret_cast<const char *>(t[0].ti_Data), t[1].ti_Data);
        };
        JSProgramSpace *space = h.Space();
        if (!space) return;
        run = h.Run(kScript);
        if (run == 0) result = read();
        if (gSlot >= 0) {
            double d = 2.5;
            uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            JSTagItem list[] = {{JSTAG_OBJECT, static_cast<uintptr_t>(gSlot)},
                                {JSTAG_ARGUMENT, static_cast<uintptr_t>(gSlot)},
                                {JSTAG_DOUBLE, static_cast<uintptr_t>(bits)}, {JSTAG_END, 0}};
            call = CallJavaScript(space, JSRUN_RESULT, 1, 0, list);
            if (call == 0 && run == 0) result += "|" + read();
        }
    }

    // Out of memory somewhere, or (for an allocation with a fallback) the
    // normal result; a slot that could not be taken is the host's to see
    // (-1), and then nothing is called back.
    bool EndedCleanly() const {
        return run == 99 || run == 1 || readFailed ||
               (run == 0 && (call == 1 || (call == 0 && result == kAll) ||
                             (call == 99 && gSlot < 0 && result == kRan)));
    }
};

void StartHost(TestHost &h) {
    StartDebugCapture();
    ASSERT_NE(OpenJSLibrary(), nullptr);
    h.getProperty = GetProperty;
    h.invoke = Invoke;
    gSlot = -1;
}

void EndHost(TestHost &h, const std::string &what) {
    if (gSlot >= 0) ReleaseJSValue(static_cast<uint32_t>(gSlot));
    gSlot = -1;
    DeleteJSProgramSpace(h.space);
    h.space = nullptr;
    CloseJSLibrary();
    EXPECT_EQ(GetJSMemUse(), 0) << what;
    EXPECT_EQ(DebugText().find("Warning:"), std::string::npos) << what << "\n" << DebugText();
    EXPECT_EQ(DebugText().find("UFO"), std::string::npos) << DebugText();
    StopDebugCapture();
}

TEST(HostSweep, EveryAllocationFailureOfAHostConversation) {
    uint64_t points = 0;
    for (uint64_t n = 0;; ++n) {
        TestHost h;
        StartHost(h);
        quillon::Pool_FailNth(n);
        Conversation c;
        c.Hold(h);
        bool hit = quillon::Pool_FailedCount() > 0;
        quillon::Pool_FailOff();
        if (n == 0) {
            ASSERT_EQ(c.run, 0u);
            ASSERT_EQ(c.call, 0u);
            EXPECT_EQ(c.result, kAll);
        } else if (hit) {
            ++points;
            EXPECT_TRUE(c.EndedCleanly()) << "allocation " << n << ": run " << c.run << ", call " << c.call
                                          << ", " << c.result;
        }
        EndHost(h, "allocation " + std::to_string(n));
        if (n > 0 && !hit) break;
        ASSERT_LT(n, 200000u);
    }
    EXPECT_GT(points, 100u);
    std::printf("[ sweep    ] host conversation: %llu failure points\n", static_cast<unsigned long long>(points));
}

// The same conversation under a memory limit that grows by 4 % a step from
// 1 KB until the conversation fits; wherever the limit stopped it, the
// limit is lifted and the conversation held again in the same space, and
// then completes.
TEST(HostSweep, EveryMemoryLimitOfAHostConversation) {
    uint64_t limits = 0;
    for (double limit = 1024;; limit *= 1.04) {
        TestHost h;
        StartHost(h);
        EXPECT_EQ(SetJSMemLimit(static_cast<uintptr_t>(limit)), 0u);
        Conversation c;
        c.Hold(h);
        EXPECT_EQ(SetJSMemLimit(0), static_cast<uintptr_t>(limit));
        bool fits = c.run == 0 && c.call == 0 && c.result == kAll;
        if (!fits) {
            ++limits;
            EXPECT_TRUE(c.EndedCleanly()) << "limit " << limit << ": run " << c.run << ", call " << c.call << ", "
                                          << c.result;
            if (h.space) {
                Conversation again;
                again.Hold(h);
                EXPECT_EQ(again.run, 0u) << "limit " << limit;
                EXPECT_EQ(again.result.substr(0, kRan.size()), kRan) << "limit " << limit;
            }
        }
        EndHost(h, "limit " + std::to_string(limit));
        if (fits) break;
        ASSERT_LT(limit, 1e9);
    }
    EXPECT_GT(limits, 50u);
    std::printf("[ sweep    ] host conversation: %llu memory limits\n", static_cast<unsigned long long>(limits));
}

}  // namespace
}  // namespace quillon_test
