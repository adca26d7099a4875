// Out-of-memory sweep over the host calls: a host that reads arguments of
// every kind, answers with values and scope objects, keeps a callback in a
// value slot and calls it back later, each run failing its 1st, 2nd, 3rd
// ... allocation. Every run ends with result 1 or its normal result, and
// the library gives all its memory back.
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
            // A value and two scope objects for the lookup.
            static const char scope[] = "scope";
            JSTagItem r[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>("member text")},
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

TEST(HostSweep, EveryAllocationFailureOfAHostConversation) {
    uint64_t points = 0;
    for (uint64_t n = 0;; ++n) {
        StartDebugCapture();
        ASSERT_NE(OpenJSLibrary(), nullptr);
        TestHost h;
        h.getProperty = GetProperty;
        h.invoke = Invoke;
        gSlot = -1;
        quillon::Pool_FailNth(n);
        uint32_t run = 99, call = 99;
        bool readFailed = false;
        std::string result;
        // The value of the last run or call as a string; reading may meet
        // the failure too, and must then answer 1.
        auto read = [&h, &readFailed]() -> std::string {
            JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
            uint32_t g = GetJSResult(h.space, t);
            EXPECT_TRUE(g == 0 || g == 1) << g;
            if (g != 0 || !t[0].ti_Data) {
                readFailed = true;
                return "";
            }
            return reinterpret_cast<const char *>(t[0].ti_Data);
        };
        if (JSProgramSpace *space = h.Space()) {
            run = h.Run(kScript);
            if (run == 0) result = read();
            if (gSlot >= 0) {
                JSTagItem list[] = {{JSTAG_OBJECT, static_cast<uintptr_t>(gSlot)},
                                    {JSTAG_ARGUMENT, static_cast<uintptr_t>(gSlot)}, {JSTAG_END, 0}};
                call = CallJavaScript(space, JSRUN_RESULT, 1, 0, list);
                if (call == 0 && run == 0) result += "|" + read();
                ReleaseJSValue(static_cast<uint32_t>(gSlot));
            }
        }
        bool hit = quillon::Pool_FailedCount() > 0;
        quillon::Pool_FailOff();
        DeleteJSProgramSpace(h.space);
        h.space = nullptr;
        const std::string ran = "extramember text[object Object]";
        const std::string all = ran + "|function (a, b) { return [a, b, typeof box].join('/'); }//object";
        if (n == 0) {
            ASSERT_EQ(run, 0u);
            ASSERT_EQ(call, 0u);
            EXPECT_EQ(result, all);
        } else if (hit) {
            // Out of memory somewhere, or (for an allocation with a fallback)
            // the normal result; a slot that could not be taken is the
            // host's to see (-1), and then nothing is called back.
            ++points;
            bool ok = run == 99 || run == 1 || readFailed ||
                      (run == 0 && (call == 1 || (call == 0 && result == all) ||
                                    (call == 99 && gSlot < 0 && result == ran)));
            EXPECT_TRUE(ok) << "allocation " << n << ": run " << run << ", call " << call << ", " << result;
        }
        CloseJSLibrary();
        EXPECT_EQ(GetJSMemUse(), 0) << "allocation " << n;
        EXPECT_EQ(DebugText().find("Warning:"), std::string::npos) << "allocation " << n << "\n" << DebugText();
        EXPECT_EQ(DebugText().find("UFO"), std::string::npos) << DebugText();
        StopDebugCapture();
        if (n > 0 && !hit) break;
        ASSERT_LT(n, 200000u);
    }
    EXPECT_GT(points, 100u);
    std::printf("[ sweep    ] host conversation: %llu failure points\n", static_cast<unsigned long long>(points));
}

}  // namespace
}  // namespace quillon_test
