// A fixture for the object model: the library opened, one program space
// without hooks, a run context for the conversions and calls made directly,
// and helpers that run a text and hand back the value it leaves.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "values/space.h"
#include "interp/run.h"
#include "objects/object.h"
#include "runtime/memory.h"
#include "support/fixture.h"
#include "values/convert.h"

namespace objects_test {

// A value record that gives up what it holds when it goes out of scope.
struct Val {
    quillon::JSAny v;
    Val() : v(quillon::JSAny_Undef()) {}
    explicit Val(const quillon::JSAny &a) : v(a) {}
    ~Val() { quillon::JSAny_Clear(&v); }
    Val(const Val &) = delete;
    Val &operator=(const Val &) = delete;
    quillon::Object *obj() const { return v.type == quillon::JSANY_OBJECT ? v.obj : nullptr; }
};

// A counted string value.
inline quillon::JSAny Str(const char *text) {
    quillon::JSAny a = quillon::JSAny_Undef();
    quillon::JSAny_SetStringCopy(&a, text);
    return a;
}

class ObjTest : public quillon_test::LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        space_ = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(space_, nullptr);
        ctx_ = quillon::Run_OpenTemp(Space());
        ASSERT_NE(ctx_, nullptr);
    }
    void TearDown() override {
        if (ctx_) quillon::Run_CloseTemp(ctx_);
        ctx_ = nullptr;
        if (space_) DeleteJSProgramSpace(space_);
        space_ = nullptr;
        LibraryTest::TearDown();
    }
    quillon::ProgramSpace *Space() { return reinterpret_cast<quillon::ProgramSpace *>(space_); }
    quillon::Object *Proto(quillon::Proto which) { return Space()->protos[which]; }

    uint32_t Run(const char *text) { return RunJavaScript(space_, text, JSRUN_RESULT, 0, 0, 0); }

    // Runs the text; its value is copied into *out (an error value with the
    // run's result code when it failed).
    void Eval(const char *text, quillon::JSAny *out) {
        quillon::JSAny_Clear(out);
        uint32_t r = Run(text);
        if (r != 0) {
            *out = quillon::JSAny_Err(0xEE000000u | r);
            return;
        }
        quillon::JSAny_InitFrom(out, &Space()->lastResult);
    }

    // Runs the text and gives its value as a string ("<status N>" when the
    // run failed).
    std::string Text(const char *text) {
        uint32_t status = Run(text);
        if (status != JSRESULT_OK) return "<status " + std::to_string(status) + ">";
        JSTagItem list[2] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        status = GetJSResult(space_, list);
        if (status != JSRESULT_OK || !list[0].ti_Data) return "<status " + std::to_string(status) + ">";
        return reinterpret_cast<const char *>(list[0].ti_Data);
    }

    // The text of a value (through the string conversion).
    std::string TextOf(const quillon::JSAny *a) {
        Val copy;
        quillon::JSAny_InitFrom(&copy.v, a);
        quillon::JSAny_ToString(ctx_, &copy.v);
        if (copy.v.type == quillon::JSANY_ERROR) return "<error " + std::to_string(copy.v.code) + ">";
        return std::string(copy.v.str, copy.v.len);
    }

    // Reads a property through Obj_Get and gives its text.
    std::string Get(quillon::Object *o, const quillon::JSAny &key) {
        Val out;
        quillon::Obj_Get(o, &key, &out.v);
        if (out.v.type == quillon::JSANY_UNDEFINED) return "undefined";
        return TextOf(&out.v);
    }
    std::string GetName(quillon::Object *o, const char *name) {
        Val key(Str(name));
        return Get(o, key.v);
    }

    JSProgramSpace *space_ = nullptr;
    quillon::RunContext *ctx_ = nullptr;
};

}  // namespace objects_test
