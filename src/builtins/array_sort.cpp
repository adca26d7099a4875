// sort: a heapsort over the elements. The elements are read once into a
// vector, the heap is built and taken apart on the vector (so a comparator
// that changes the array cannot upset the sort), and the result is written
// back. The sift order and the `less` rules decide the order of equal keys
// and of mixed kinds: undefined values always go last, numbers compare as
// numbers, strings byte by byte, anything else as its text.
#include <algorithm>

#include "builtins/array_access.h"
#include "objects/natives.h"
#include "numconv/numconv.h"
#include "runtime/text.h"

namespace quillon {

namespace {

// The text of a value for comparing: strings as they are, numbers written
// into a buffer of its own, other values converted.
struct TextOf {
    const char *text = "";
    size_t len = 0;
    char buf[kNumBufSize];
    ValueGuard held;

    bool Take(RunContext *ctx, const JSAny *v, uint32_t *failure) {
        switch (v->type) {
        case JSANY_STRING:
        case JSANY_CSTRING:
            text = v->str;
            len = v->len;
            return true;
        case JSANY_NUMBER:
            len = Num_ToText(v->num, buf, sizeof buf);
            text = buf;
            if (len) return true;
            *failure = ERR_NOMEM;
            return false;
        default:
            break;
        }
        JSAny_Assign(&held.v, v);
        JSAny_ToString(ctx, &held.v);
        if (held.v.type == JSANY_ERROR) {
            *failure = held.v.code ? held.v.code : ERR_WRONGTYPE;
            return false;
        }
        text = held.v.str;
        len = held.v.len;
        return true;
    }
};

// The two arguments of a comparator call, released at the end.
struct PairArgs {
    JSAny v[2];
    PairArgs(const JSAny *a, const JSAny *b) {
        JSAny_InitFrom(&v[0], a);
        JSAny_InitFrom(&v[1], b);
    }
    ~PairArgs() {
        JSAny_Clear(&v[0]);
        JSAny_Clear(&v[1]);
    }
    PairArgs(const PairArgs &) = delete;
    PairArgs &operator=(const PairArgs &) = delete;
};

struct Sorter {
    RunContext *ctx;
    const JSAny *comparator;  // null: the built-in order
    JSAny *v;
    uint32_t failure = 0;

    bool Less(const JSAny *a, const JSAny *b);
    void Sift(uint64_t p, uint64_t size);
    void Sort(uint32_t n);
};

inline bool IsUndefined(const JSAny *a) { return a->type == JSANY_UNDEFINED || a->type == JSANY_UNDECLARED; }

bool Sorter::Less(const JSAny *a, const JSAny *b) {
    if (failure) return false;
    if (comparator) {
        if (IsUndefined(a)) return false;
        if (IsUndefined(b)) return true;
        // The comparator gets records of its own: a host function reading
        // its arguments as strings converts them in place.
        PairArgs args(a, b);
        if (args.v[0].type == JSANY_ERROR || args.v[1].type == JSANY_ERROR) {
            failure = ERR_NOMEM;  // a string copy failed (elements are never errors)
            return false;
        }
        ValueGuard r;
        Fn_Call(ctx, comparator, nullptr, args.v, 2, &r.v);
        if (r.v.type != JSANY_NUMBER) JSAny_ToNumber(ctx, &r.v);
        if (r.v.type == JSANY_ERROR) {
            failure = r.v.code ? r.v.code : ERR_WRONGTYPE;
            return false;
        }
        return r.v.num < 0;
    }
    if (a->type == JSANY_NUMBER && b->type == JSANY_NUMBER) return a->num < b->num;
    if (JSAny_IsString(a) && JSAny_IsString(b)) return Str_CompareBytes(a->str, a->len, b->str, b->len) < 0;
    if (IsUndefined(a)) return false;
    if (IsUndefined(b)) return true;
    TextOf ta, tb;
    if (!ta.Take(ctx, a, &failure) || !tb.Take(ctx, b, &failure)) return false;
    return Str_CompareBytes(ta.text, ta.len, tb.text, tb.len) < 0;
}

// Heap positions are 1-based: position p holds v[p - 1].
void Sorter::Sift(uint64_t p, uint64_t size) {
    for (;;) {
        uint64_t c = 2 * p;
        if (c > size) return;
        if (c < size && Less(&v[c - 1], &v[c])) c = c + 1;
        if (failure || !Less(&v[p - 1], &v[c - 1])) return;
        std::swap(v[p - 1], v[c - 1]);
        p = c;
    }
}

void Sorter::Sort(uint32_t n) {
    if (n < 2) return;
    for (uint64_t p = n / 2; p >= 1 && !failure; --p) Sift(p, n);
    for (uint64_t s = n - 1; s >= 1 && !failure; --s) {
        std::swap(v[0], v[s]);
        Sift(1, s);
    }
}

}  // namespace

void Bi_ArraySort(RunContext *ctx, Function *) {
    ValueGuard self;
    uint32_t len;
    if (!Ary_TakeThis(ctx, &self) || !Ary_Length(ctx, self.v.obj, &len)) return;
    Object *o = self.v.obj;
    const JSAny *comparator =
        ctx->argc > 0 && ctx->args[0].type != JSANY_UNDEFINED ? &ctx->args[0] : nullptr;
    if (len < 2) {
        JSAny_Move(&ctx->ret, &self.v);
        return;
    }
    // Over a huge length with few elements only the elements present are
    // sorted; they take the lowest indexes and the rest are left empty.
    bool sparse = Ary_IsSparse(o, len);
    IndexList present;
    if (sparse && !Ary_Present(o, len, &present)) {
        Ret_Fail(ctx, ERR_NOMEM);
        return;
    }
    uint32_t n = sparse ? present.count : len;
    ValueList values;
    if (!values.Reserve(n)) {
        Ret_Fail(ctx, ERR_NOMEM);
        return;
    }
    for (uint32_t i = 0; i < n; ++i) {
        values.items[i] = JSAny_Undef();
        values.count = i + 1;
        Ary_Get(o, sparse ? present.items[i] : i, &values.items[i]);
        if (Ret_FailOn(ctx, &values.items[i])) return;
    }
    Sorter sorter{ctx, comparator, values.items};
    sorter.Sort(n);
    if (Ret_Fail(ctx, sorter.failure)) return;
    for (uint32_t i = 0; i < n; ++i)
        if (Ret_Fail(ctx, Ary_Put(o, i, &values.items[i]))) return;
    if (sparse) {
        for (uint32_t k = 0; k < present.count; ++k)
            if (present.items[k] >= n) Ary_Delete(o, present.items[k]);
    }
    JSAny_Move(&ctx->ret, &self.v);
}

}  // namespace quillon
