#include "support/testhost.h"

#include <cstring>

namespace quillon_test {

namespace {

TestHost *gCurrent = nullptr;

const char *Or(const char *s) { return s ? s : ""; }

uint32_t Invoke(uintptr_t, JSRunContext *ctx, void *data, uint32_t size, uint32_t op) {
    TestHost *h = gCurrent;
    h->log.push_back("invoke " + std::to_string(op));
    return h->invoke ? h->invoke(ctx, data, size, op) : 4;
}

uint32_t GetProperty(uintptr_t, JSRunContext *ctx, void *data, const char *name, uint32_t,
                     uint32_t flags) {
    TestHost *h = gCurrent;
    h->log.push_back(std::string("get ") + Or(name) + " " + std::to_string(flags));
    return h->getProperty ? h->getProperty(ctx, data, name, flags) : 2;
}

uint32_t GetElement(uintptr_t, JSRunContext *ctx, void *data, uint32_t, uint32_t index, uint32_t flags) {
    TestHost *h = gCurrent;
    h->log.push_back("elem " + std::to_string(index) + " " + std::to_string(flags));
    return h->getElement ? h->getElement(ctx, data, index, flags) : 2;
}

uint32_t Notify(uint32_t kind, uintptr_t, const char *heading, const char *message, const char *before,
                const char *token, const char *after, const char *position) {
    TestHost *h = gCurrent;
    if (kind == JSNOTIFY_POLL) return h->poll ? h->poll() : 0;
    h->reports.push_back(Report{kind, Or(heading), Or(message), Or(before), Or(token), Or(after),
                                position != nullptr});
    return 0;
}

uint32_t Created(uintptr_t, uintptr_t, const void *, uint32_t size) {
    TestHost *h = gCurrent;
    if (h->createdAnswer == 0) {
        ++h->created;
        h->log.push_back("created " + std::to_string(size));
    }
    return h->createdAnswer;
}

uint32_t Released(uintptr_t, uintptr_t, void *, uint32_t size) {
    TestHost *h = gCurrent;
    ++h->released;
    h->log.push_back("released " + std::to_string(size));
    return 0;
}

}  // namespace

TestHost *CurrentHost() { return gCurrent; }

TestHost::TestHost() {
    hooks_ = JSHostLibrary{Invoke, GetProperty, GetElement, Notify, Created, Released};
    gCurrent = this;
}

TestHost::~TestHost() {
    if (space) DeleteJSProgramSpace(space);
    if (gCurrent == this) gCurrent = nullptr;
}

JSProgramSpace *TestHost::Space() {
    if (!space) space = CreateJSProgramSpace(nullptr, &hooks_, 1);
    return space;
}

uint32_t TestHost::Run(const char *text, uint32_t flags, int32_t compat) {
    return RunJavaScript(Space(), text, flags, 1, 0, compat);
}

std::string TestHost::ResultString() {
    JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSResult(space, tags) != 0 || !tags[0].ti_Data) return "<none>";
    return reinterpret_cast<const char *>(tags[0].ti_Data);
}

double TestHost::ResultNumber() {
    JSTagItem tags[] = {{JSTAG_FLOAT, 0}, {JSTAG_END, 0}};
    if (GetJSResult(space, tags) != 0) return -12345;
    uint32_t bits = static_cast<uint32_t>(tags[0].ti_Data);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace quillon_test
