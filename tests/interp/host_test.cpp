// The host protocol: unknown names offered to the host, member access on
// program objects, calls and `new` through HostInvoke, value lists.
#include <cstring>

#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

class HostTest : public LibraryTest {};

struct Tagged {
    uint32_t tag;
};

bool Is(void *data, uint32_t tag) {
    return data && reinterpret_cast<Tagged *>(data)->tag == tag;
}

TEST_F(HostTest, UnknownNamesAreOfferedOnceAndReadThroughTheHost) {
    TestHost h;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (std::strcmp(name, "answer") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        if (flags & JSHOST_GET) {
            JSTagItem t[] = {{JSTAG_INTEGER, 42}, {JSTAG_END, 0}};
            return SetJSResult(ctx, t);
        }
        (void)data;
        return 2;
    };
    EXPECT_EQ(h.Run("answer + 1"), 0u);
    EXPECT_EQ(h.ResultNumber(), 43);
    // A name the host does not know becomes a program-level variable.
    EXPECT_EQ(h.Run("typeof nothingHere"), 0u);
    EXPECT_EQ(h.ResultString(), "undefined");
    int asked = 0;
    for (auto &l : h.log) asked += l == "get nothingHere 8";
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(h.Run("typeof nothingHere"), 0u);
    asked = 0;
    for (auto &l : h.log) asked += l == "get nothingHere 8";
    EXPECT_EQ(asked, 1) << "asked again for a name the space already holds";
}

TEST_F(HostTest, ProgramObjectMembersGoThroughTheHooks) {
    TestHost h;
    static int stored = 0;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (!data) {
            if (std::strcmp(name, "obj") != 0) return 2;
            if (flags & JSHOST_HAS) return 0;
            Tagged t{7};
            return SetJSResultObject(ctx, &t, sizeof t);
        }
        if (!Is(data, 7)) return 2;
        if (std::strcmp(name, "field") == 0) {
            if (flags & JSHOST_HAS) return 0;
            if (flags & JSHOST_GET) {
                JSTagItem t[] = {{JSTAG_INTEGER, static_cast<uintptr_t>(stored)}, {JSTAG_END, 0}};
                return SetJSResult(ctx, t);
            }
            if (flags & JSHOST_PUT) {
                JSTagItem a[] = {{JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
                GetJSArguments(ctx, a);
                stored = static_cast<int>(a[0].ti_Data);
                return 0;
            }
            if (flags & JSHOST_DELETE) {
                stored = -1;
                return 0;
            }
        }
        if (flags & JSHOST_NEXTNAME) {
            JSTagItem t[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>(*name ? "" : "field")}, {JSTAG_END, 0}};
            if (*name) return 0;  // after "field": leave the value undefined, the enumeration ends
            return SetJSResult(ctx, t);
        }
        if (std::strcmp(name, "__typeof") == 0 && (flags & JSHOST_GET)) {
            JSTagItem t[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>("gadget")}, {JSTAG_END, 0}};
            return SetJSResult(ctx, t);
        }
        return 2;
    };
    h.getElement = [](JSRunContext *ctx, void *data, uint32_t index, uint32_t flags) -> uint32_t {
        if (!Is(data, 7) || !(flags & JSHOST_GET)) return 2;
        JSTagItem t[] = {{JSTAG_INTEGER, index * 10}, {JSTAG_END, 0}};
        return SetJSResult(ctx, t);
    };
    EXPECT_EQ(h.Run("obj.field = 5; obj.field * 2"), 0u);
    EXPECT_EQ(h.ResultNumber(), 10);
    EXPECT_EQ(h.Run("obj[3]"), 0u);
    EXPECT_EQ(h.ResultNumber(), 30);
    EXPECT_EQ(h.Run("('field' in obj) + ',' + ('other' in obj)"), 0u);
    EXPECT_EQ(h.ResultString(), "true,false");
    EXPECT_EQ(h.Run("var names = ''; for (var k in obj) names += k; names"), 0u);
    EXPECT_EQ(h.ResultString(), "field");
    EXPECT_EQ(h.Run("delete obj.field; obj.field"), 0u);
    EXPECT_EQ(h.ResultNumber(), -1);
    EXPECT_EQ(h.Run("typeof obj"), 0u);
    EXPECT_EQ(h.ResultString(), "gadget");
}

TEST_F(HostTest, OwnPropertyTestsAskTheHostAboutProgramObjects) {
    TestHost h;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (!data) {
            if (std::strcmp(name, "box") != 0) return 2;
            if (flags & JSHOST_HAS) return 0;
            Tagged t{9};
            return SetJSResultObject(ctx, &t, sizeof t);
        }
        if (!Is(data, 9)) return 2;
        if (std::strcmp(name, "field") == 0 || std::strcmp(name, "7") == 0) return 0;
        if (std::strcmp(name, "broken") == 0) return 1;  // out of memory
        if (std::strcmp(name, "stop") == 0) return 3;
        // The methods are those of a plain object.
        if ((flags & JSHOST_GET) &&
            (std::strcmp(name, "hasOwnProperty") == 0 || std::strcmp(name, "propertyIsEnumerable") == 0)) {
            JSObject *o = NewJSObject(ctx);
            uint32_t st = SetJSLookupObject(ctx, o);
            ReleaseJSObject(o);
            return st;
        }
        return 2;
    };
    EXPECT_EQ(h.Run("[box.hasOwnProperty('field'), box.hasOwnProperty('other'), box.propertyIsEnumerable('field'),"
                    " box.propertyIsEnumerable('other'), box.hasOwnProperty(7), box.hasOwnProperty('length')].join()"),
              0u);
    EXPECT_EQ(h.ResultString(), "true,false,true,false,true,false");
    int asked = 0;
    for (auto &l : h.log) asked += l == "get field 8" || l == "get 7 8";
    EXPECT_EQ(asked, 3);
    // The host's failures are the call's: out of memory, and a stop.
    EXPECT_EQ(h.Run("try { box.hasOwnProperty('broken'); } catch (e) { 'caught'; }"), 1u);
    EXPECT_EQ(h.Run("try { box.propertyIsEnumerable('stop'); } catch (e) { 'caught'; }"), 3u);
}

TEST_F(HostTest, StoreAnswersOtherThanDoneFail) {
    TestHost h;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (!data) {
            if (std::strcmp(name, "obj") != 0) return 2;
            if (flags & JSHOST_HAS) return 0;
            Tagged t{7};
            return SetJSResultObject(ctx, &t, sizeof t);
        }
        return (flags & JSHOST_PUT) ? 9 : 2;
    };
    EXPECT_EQ(h.Run("obj.x = 1"), 4u);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_EQ(h.reports[0].message, "Wrong type of object for operation");
}

TEST_F(HostTest, HostFunctionsAreCalledAndConstructed) {
    TestHost h;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data || std::strcmp(name, "add") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        Tagged t{9};
        return SetJSResultObject(ctx, &t, sizeof t);
    };
    h.invoke = [](JSRunContext *ctx, void *data, uint32_t, uint32_t op) -> uint32_t {
        if (!Is(data, 9)) return 4;
        JSTagItem a[] = {{JSTAG_COUNT, 0}, {JSTAG_INTEGER, 0}, {JSTAG_INTEGER, 0}, {JSTAG_END, 0}};
        GetJSArguments(ctx, a);
        intptr_t sum = static_cast<intptr_t>(a[1].ti_Data) + static_cast<intptr_t>(a[2].ti_Data);
        if (op == JSHOST_CONSTRUCT) sum = -sum;
        JSTagItem r[] = {{JSTAG_INTEGER, static_cast<uintptr_t>(sum)}, {JSTAG_END, 0}};
        SetJSResult(ctx, r);
        return 0;
    };
    EXPECT_EQ(h.Run("add(2, 3) + new add(1, 1)"), 0u);
    EXPECT_EQ(h.ResultNumber(), 3);
    // An answer other than done, out of memory or break is a wrong type.
    h.invoke = [](JSRunContext *, void *, uint32_t, uint32_t) -> uint32_t { return 5; };
    EXPECT_EQ(h.Run("add(1)"), 4u);
    EXPECT_EQ(h.reports.back().message, "Object is not a function");
    h.invoke = [](JSRunContext *, void *, uint32_t, uint32_t) -> uint32_t { return 1; };
    EXPECT_EQ(h.Run("try { add(1) } catch (e) { 'caught' }"), 1u) << "out of memory is never caught";
}

TEST_F(HostTest, CallJavaScriptCallsAHeldFunction) {
    TestHost h;
    static int32_t slot = -1;
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data || std::strcmp(name, "keep") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        Tagged t{11};
        return SetJSResultObject(ctx, &t, sizeof t);
    };
    h.invoke = [](JSRunContext *ctx, void *, uint32_t, uint32_t) -> uint32_t {
        slot = HoldJSArgument(ctx, 0);
        return 0;
    };
    EXPECT_EQ(h.Run("var total = 0; keep(function (a, b) { total += a * b; return total; });"), 0u);
    ASSERT_GE(slot, 0);
    JSTagItem arg[] = {{JSTAG_STRING, reinterpret_cast<uintptr_t>("6")}, {JSTAG_END, 0}};
    (void)arg;
    // Hold two numbers through a second host call and pass them back.
    EXPECT_EQ(h.Run("keep(6); keep(7); 0"), 0u);
    int32_t seven = slot;
    JSTagItem call[] = {{JSTAG_OBJECT, 0}, {JSTAG_ARGUMENT, static_cast<uintptr_t>(seven)},
                        {JSTAG_ARGUMENT, static_cast<uintptr_t>(seven)}, {JSTAG_END, 0}};
    call[0].ti_Data = 0;  // the function was held first, in slot 0
    EXPECT_EQ(CallJavaScript(h.space, 0, 1, 0, call), 0u);
    EXPECT_EQ(h.ResultNumber(), 49);
    EXPECT_EQ(CallJavaScript(h.space, 0, 1, 0, call), 0u);
    EXPECT_EQ(h.ResultNumber(), 98);
    JSTagItem bad[] = {{JSTAG_OBJECT, 500}, {JSTAG_END, 0}};
    EXPECT_EQ(CallJavaScript(h.space, 0, 1, 0, bad), 1u);
    EXPECT_EQ(ReleaseJSValue(500), 2u);
    for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(ReleaseJSValue(i), 0u);
    EXPECT_EQ(ReleaseJSValue(0), 0u);  // a free slot within the table
}

TEST_F(HostTest, ProgramObjectsMoveToTheParentAndReachTheReleaseHook) {
    TestHost h;
    JSProgramSpace *parent = h.Space();
    JSProgramSpace *child = CreateJSProgramSpace(parent, h.Hooks(), 1);
    ASSERT_NE(child, nullptr);
    h.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data || std::strcmp(name, "make") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        Tagged t{3};
        return SetJSResultObject(ctx, &t, sizeof t);
    };
    EXPECT_EQ(RunJavaScript(child, "var kept = make;", 0, 1, 0, 0), 0u);
    DeleteJSProgramSpace(child);
    DeleteJSProgramSpace(parent);
    h.space = nullptr;
    EXPECT_EQ(h.created, h.released);
}

}  // namespace
}  // namespace quillon_test
