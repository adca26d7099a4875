// RegExp's static properties over the last-match record: the record holds
// slices of the matched input, and every slice gets its own copy before
// that input changes, so a static never reads freed text.
#include "regexp/rxstatics.h"

#include <cstring>

#include "values/space.h"
#include "values/context.h"
#include "values/convert.h"

namespace quillon {

namespace {

enum class Stat { None, Input, Multiline, LastMatch, LastParen, LeftContext, RightContext, Group };

struct StatName {
    const char *name;
    Stat which;
};

constexpr StatName kNames[] = {
    {"input", Stat::Input},           {"$_", Stat::Input},
    {"multiline", Stat::Multiline},   {"$*", Stat::Multiline},
    {"lastMatch", Stat::LastMatch},   {"$&", Stat::LastMatch},
    {"lastParen", Stat::LastParen},   {"$+", Stat::LastParen},
    {"leftContext", Stat::LeftContext}, {"$`", Stat::LeftContext},
    {"rightContext", Stat::RightContext}, {"$'", Stat::RightContext},
};

// Which static a name is; *group receives n - 1 for $1 .. $9.
Stat Lookup(const char *name, uint32_t len, uint32_t *group) {
    if (len == 2 && name[0] == '$' && name[1] >= '1' && name[1] <= '9') {
        *group = static_cast<uint32_t>(name[1] - '1');
        return Stat::Group;
    }
    for (const StatName &n : kNames)
        if (std::strlen(n.name) == len && std::memcmp(n.name, name, len) == 0) return n.which;
    return Stat::None;
}

ShortStr *TextOf(ProgramSpace *s, Stat which) {
    switch (which) {
        case Stat::LastMatch: return &s->lastMatch;
        case Stat::LastParen: return &s->lastParen;
        case Stat::LeftContext: return &s->leftContext;
        case Stat::RightContext: return &s->rightContext;
        default: return nullptr;
    }
}

inline bool IsSlice(const ShortStr *sh) { return sh->state == -1 && sh->len > 0; }

// Gives a slice a copy of its own text.
bool Own(ShortStr *sh) { return !IsSlice(sh) || Space_CopyShort(sh, sh->chars, sh->len); }

// Before the record's input changes: every slice that keeps its value gets
// its own copy. Groups from `firstGroup` on, and the four texts when asked.
uint32_t Detach(ProgramSpace *s, uint32_t firstGroup, bool texts) {
    uint32_t cap = Arr_Capacity(s->groups);
    for (uint32_t g = firstGroup; g < cap; ++g)
        if (!Own(&s->groups[g])) return ERR_NOMEM;
    if (texts && !(Own(&s->lastMatch) && Own(&s->lastParen) && Own(&s->leftContext) && Own(&s->rightContext)))
        return ERR_NOMEM;
    return 0;
}

void SetSlice(ShortStr *sh, const char *base, uint32_t from, uint32_t to) {
    Space_ClearShort(sh);
    if (to > from) {
        sh->state = -1;
        sh->chars = const_cast<char *>(base) + from;
        sh->len = to - from;
    }
}

// Room for n group values; new entries are empty.
bool EnsureGroups(ProgramSpace *s, uint32_t n) {
    uint32_t cap = Arr_Capacity(s->groups);
    if (n <= cap) return true;
    ShortStr *g = s->groups;
    if (!Arr_EnsureT(g, n)) return false;
    s->groups = g;
    uint32_t fresh = Arr_Capacity(g);
    for (uint32_t i = cap; i < fresh; ++i) {
        g[i].state = -1;
        g[i].chars = nullptr;
        g[i].len = 0;
        Space_ClearShort(&g[i]);
    }
    return true;
}

bool SameText(const JSAny *a, const JSAny *b) {
    return JSAny_IsString(a) && JSAny_IsString(b) && a->str == b->str && a->len == b->len;
}

}  // namespace

uint32_t RxStatics_Record(ProgramSpace *s, const RxFound &m) {
    if (!EnsureGroups(s, m.groupCount)) return ERR_NOMEM;
    if (!SameText(&s->matchInput, m.input) || s->matchInput.type != JSANY_STRING) {
        // Values above this match's groups stay: they must not point into
        // the text that is let go.
        if (Detach(s, m.groupCount, false)) return ERR_NOMEM;
        JSAny copy;
        JSAny_InitFrom(&copy, m.input);
        if (copy.type == JSANY_ERROR) return ERR_NOMEM;
        JSAny_Clear(&s->matchInput);
        s->matchInput = copy;
    }
    const char *base = s->matchInput.str;
    uint32_t len = s->matchInput.len;
    for (uint32_t g = 0; g < m.groupCount; ++g) {
        const RxCapture &c = m.caps[g];
        if (c.start < 0) Space_ClearShort(&s->groups[g]);
        else SetSlice(&s->groups[g], base, static_cast<uint32_t>(c.start), static_cast<uint32_t>(c.start) + c.length);
    }
    if (m.groupCount) {
        const RxCapture &c = m.caps[m.groupCount - 1];
        if (c.start < 0) Space_ClearShort(&s->lastParen);
        else SetSlice(&s->lastParen, base, static_cast<uint32_t>(c.start), static_cast<uint32_t>(c.start) + c.length);
    } else {
        Space_ClearShort(&s->lastParen);
    }
    SetSlice(&s->lastMatch, base, m.start, m.end);
    SetSlice(&s->leftContext, base, m.leftFrom < m.start ? m.leftFrom : m.start, m.start);
    SetSlice(&s->rightContext, base, m.end, len);
    s->groupCount = m.groupCount;
    return 0;
}

bool RxStatics_Has(const char *name, uint32_t len) {
    uint32_t g;
    return Lookup(name, len, &g) != Stat::None;
}

bool RxStatics_Get(ProgramSpace *s, const char *name, uint32_t len, JSAny *out) {
    uint32_t g = 0;
    Stat which = Lookup(name, len, &g);
    switch (which) {
        case Stat::None: return false;
        case Stat::Input: {
            JSAny copy;
            JSAny_InitFrom(&copy, &s->matchInput);
            JSAny_Clear(out);
            *out = copy;
            return true;
        }
        case Stat::Multiline: JSAny_SetBoolean(out, s->multiline != 0); return true;
        default: break;
    }
    const ShortStr *sh = which == Stat::Group ? &s->groups[g] : TextOf(s, which);
    JSAny_SetStringBytes(out, sh->len ? sh->chars : "", sh->len);
    return true;
}

uint32_t RxStatics_Put(ProgramSpace *s, const char *name, uint32_t len, const JSAny *value) {
    uint32_t g = 0;
    switch (Lookup(name, len, &g)) {
        case Stat::None: return ERR_NOPROP;
        case Stat::Multiline: s->multiline = JSAny_Truth(value) ? 1 : 0; return 0;
        case Stat::Input: break;
        default: return ERR_READONLY;
    }
    JSAny text;
    JSAny_InitFrom(&text, value);
    JSAny_ToString(Run_Current(), &text);
    if (text.type == JSANY_ERROR) return text.code ? text.code : ERR_WRONGTYPE;
    // Kept as a counted string of its own (a borrowed text is copied).
    JSAny kept;
    JSAny_InitFrom(&kept, &text);
    JSAny_Clear(&text);
    if (kept.type == JSANY_ERROR) return ERR_NOMEM;
    if (!SameText(&s->matchInput, &kept) && Detach(s, 0, true)) {
        JSAny_Clear(&kept);
        return ERR_NOMEM;
    }
    JSAny_Clear(&s->matchInput);
    s->matchInput = kept;
    return 0;
}

}  // namespace quillon
