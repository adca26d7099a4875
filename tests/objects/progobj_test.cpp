// Members of program objects answered by a host: stores that the host
// redirects to another space's globals or to an object, the store answer
// for program-object values, reads redirected the same way, and program
// objects handed to the parent space.
#include <cstring>
#include <string>

#include "support/fixture.h"
#include "support/testhost.h"

namespace objects_test {
namespace {

using quillon_test::TestHost;

// What the host does with a member access on "box".
struct Plan {
    uint32_t answer = 0;
    JSProgramSpace *space = nullptr;  // SetJSLookupSpace with it
    JSObject *object = nullptr;       // SetJSLookupObject with it
    std::string stored;               // the value a store handed over (as text)
    uint32_t again = 0;               // answer to the second query of a program-object store
    int agains = 0;
};
Plan gPlan;

// Bytes of the program objects this host hands out: "box" and "gem".
uint32_t HostProperty(JSRunContext *ctx, void *data, const char *name, uint32_t flags) {
    if (!data) {
        const char *bytes = !std::strcmp(name, "box") ? "box" : !std::strcmp(name, "gem") ? "gem" : nullptr;
        if (!bytes) return 2;
        if (flags & JSHOST_HAS) return 0;
        return SetJSResultObject(ctx, bytes, 3) == 0 ? 0 : 1;
    }
    if (!std::memcmp(data, "gem", 3)) {  // the owner asked again about a stored gem
        ++gPlan.agains;
        return gPlan.again;
    }
    if (flags & JSHOST_PUT) {
        JSTagItem t[] = {{JSTAG_NULL, 0}, {JSTAG_END, 0}};
        GetJSArguments(ctx, t);
        gPlan.stored = t[0].ti_Data == JSTAG_HOSTOBJECT ? "program object" : "value";
    }
    if (gPlan.space) SetJSLookupSpace(ctx, gPlan.space);
    if (gPlan.object) SetJSLookupObject(ctx, gPlan.object);
    return gPlan.answer;
}

uint32_t HostElement(JSRunContext *ctx, void *data, uint32_t, uint32_t flags) {
    return HostProperty(ctx, data, "", flags);
}

class ProgObjTest : public quillon_test::LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        gPlan = Plan();
        host_.getProperty = HostProperty;
        host_.getElement = HostElement;
    }
    void TearDown() override {
        if (host_.space) DeleteJSProgramSpace(host_.space);
        host_.space = nullptr;
        LibraryTest::TearDown();
    }
    std::string Run(const char *text) {
        uint32_t r = host_.Run(text);
        if (r != 0) {
            std::string why = r == 4 && !host_.reports.empty() ? " " + host_.reports.back().message : "";
            return "<status " + std::to_string(r) + why + ">";
        }
        return host_.ResultString();
    }
    TestHost host_;
};

TEST_F(ProgObjTest, StoresRedirectedToAnotherSpacesGlobals) {
    JSProgramSpace *other = CreateJSProgramSpace(nullptr, host_.Hooks(), 1);
    ASSERT_NE(other, nullptr);
    gPlan.space = other;
    EXPECT_EQ(Run("box.answer = 'forty-two'; box[7] = 7; 'ok'"), "ok");
    EXPECT_EQ(gPlan.stored, "value");
    ASSERT_EQ(RunJavaScript(other, "answer + ':' + typeof answer", JSRUN_RESULT, 1, 0, 0), 0u);
    JSTagItem t[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    ASSERT_EQ(GetJSResult(other, t), 0u);
    EXPECT_STREQ(reinterpret_cast<const char *>(t[0].ti_Data), "forty-two:string");
    // Reads redirected there too.
    EXPECT_EQ(Run("box.answer + '/' + box.nothing"), "forty-two/undefined");
    gPlan.space = nullptr;
    DeleteJSProgramSpace(other);
}

TEST_F(ProgObjTest, StoresAndReadsRedirectedToAnObject) {
    // The host keeps an object of its own and sends members there.
    static JSObject *kept = nullptr;
    host_.invoke = [](JSRunContext *ctx, void *, uint32_t, uint32_t) -> uint32_t {
        kept = NewJSObject(ctx);
        return kept ? 0 : 1;
    };
    EXPECT_EQ(Run("gem(); 'made'"), "made");
    ASSERT_NE(kept, nullptr);
    gPlan.object = kept;
    EXPECT_EQ(Run("box.name = 'n'; box[3] = 'three'; box['4'] = 'four'; box[1.5] = 'one'; 'ok'"), "ok");
    EXPECT_EQ(Run("[box.name, box[3], box['3'], box[4], box[1], box.other].join()"), "n,three,three,four,one,");
    // The same object seen by the script as a value.
    host_.invoke = [](JSRunContext *ctx, void *, uint32_t, uint32_t) -> uint32_t {
        JSTagItem t[] = {{JSTAG_OBJECT, reinterpret_cast<uintptr_t>(kept)}, {JSTAG_END, 0}};
        return SetJSResult(ctx, t);
    };
    EXPECT_EQ(Run("var o = gem(); [o.name, o[3], o[4], o.length, typeof o.toString].join()"),
              "n,three,four,,function");
    gPlan.object = nullptr;
    EXPECT_EQ(Run("o = null; 0"), "0");
    ReleaseJSObject(kept);
    kept = nullptr;
}

TEST_F(ProgObjTest, TheStoreAnswerForProgramObjectValues) {
    // Answer 6: the value being stored is a program object, whose owner is
    // asked once more with the empty name.
    gPlan.answer = 6;
    gPlan.again = 0;
    EXPECT_EQ(Run("box.g = gem; 'stored'"), "stored");
    EXPECT_EQ(gPlan.stored, "program object");
    EXPECT_EQ(gPlan.agains, 1);
    gPlan.again = 5;
    EXPECT_EQ(Run("box.g = gem; 'stored'"), "<status 4 Wrong type of object for operation>");
    gPlan.again = 1;
    EXPECT_EQ(Run("box.g = gem; 'stored'"), "<status 1>");
    gPlan.again = 3;
    EXPECT_EQ(Run("box.g = gem; 'stored'"), "<status 3>");
    EXPECT_EQ(gPlan.agains, 4);
    // Answer 6 for any other value, or an unknown answer: wrong type.
    EXPECT_EQ(Run("box.g = 1; 'stored'"), "<status 4 Wrong type of object for operation>");
    EXPECT_EQ(gPlan.agains, 4);
    gPlan.answer = 9;
    EXPECT_EQ(Run("box.g = 1; 'stored'"), "<status 4 Wrong type of object for operation>");
    gPlan.answer = 1;
    EXPECT_EQ(Run("try { box.g = 1; } catch (e) { 'caught' }"), "<status 1>");
    gPlan.answer = 0;
    EXPECT_EQ(Run("var r = (box.g = 'v'); r"), "v");
}

TEST_F(ProgObjTest, AChildWhoseParentHasGoneReleasesItsProgramObjectsItself) {
    JSProgramSpace *parent = host_.Space();
    JSProgramSpace *child = CreateJSProgramSpace(parent, host_.Hooks(), 1);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(RunJavaScript(child, "var kept = box; var more = [gem, gem];", 0, 1, 0, 0), 0u);
    DeleteJSProgramSpace(parent);
    host_.space = nullptr;
    int released = host_.released;
    DeleteJSProgramSpace(child);
    EXPECT_EQ(host_.released - released, 4);  // the child's host value, box and two gems
    EXPECT_EQ(host_.created, host_.released);
}

}  // namespace
}  // namespace objects_test
