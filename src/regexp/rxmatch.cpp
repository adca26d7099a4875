// The matcher: a backtracking interpreter of compiled programs with two
// explicit heap stacks, so neither pattern nesting nor input length deepens
// the machine stack.
//
// The state stack holds one entry per quantifier or look-ahead whose body
// is running. The backtrack stack holds choice points (where to resume
// after a failure) and, above them, undo entries for every change made to
// the captures and the state stack since; failing pops entries, undoing
// changes, until a choice point resumes. So a resumed choice sees exactly
// the captures and states it was pushed with. The positions of the live
// choice points are listed apart, so that leaving a look-ahead cuts the
// choices made inside it without walking over the undo entries.
#include "platform/latin1.h"
#include "regexp/rxprogram.h"
#include "runtime/errors.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

struct State {
    uint32_t pc;     // the quantifier or look-ahead operation
    uint32_t pos;    // where its body (or last iteration) started
    uint32_t count;  // iterations done; for a look-ahead the backtrack mark
};

struct Track {
    uint32_t kind, a, b, c;
};

enum : uint32_t {
    // Choice points.
    TK_RESUME,     // a pc, b pos
    TK_EXIT,       // leave the quantifier on top: a pc after it, b pos
    TK_GREEDY,     // give back one match of a simple body: a quantifier, b lowest pos, c current pos
    TK_LAZY,       // take one more match of a simple body: a quantifier, b current pos, c matches left
    TK_LAZY_MORE,  // run one more iteration: a quantifier, b pos, c iterations done
    TK_LOOK,       // the body of the look-ahead on top failed
    TK_NOP,        // a choice point cut away by a look-ahead
    // Undo entries.
    TK_CAP,        // a group, b start, c length
    TK_PUSHED,     // drop the top state entry
    TK_POPPED,     // push back the state entry a, b, c
    TK_SET,        // give the top state entry back a, b, c
};

constexpr uint32_t kPollInterval = 4096;
constexpr uint32_t kStateStart = 32;
constexpr uint32_t kTrackStart = 64;
// Stacks larger than this are not kept for the next match.
constexpr uint32_t kKeepStates = 4096;
constexpr uint32_t kKeepTracks = 16384;
constexpr uint32_t kNoMatch = 0xFFFFFFFFu;

struct UpperTable {
    uint8_t v[256];
    constexpr UpperTable() : v() {
        for (uint32_t i = 0; i < 256; ++i) v[i] = Plat_ToUpper(static_cast<uint8_t>(i));
    }
};
constexpr UpperTable kUpper;

inline bool IsLineEnd(uint8_t c) { return c == 10 || c == 13; }
inline bool IsDigitChar(uint8_t c) { return c >= '0' && c <= '9'; }

bool SameFolded(const uint8_t *a, const uint8_t *b, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
        if (kUpper.v[a[i]] != kUpper.v[b[i]]) return false;
    return true;
}

struct Matcher {
    const uint8_t *code;
    const uint8_t *in;
    uint32_t len;
    const uint8_t *source;
    const uint8_t *bitmaps;
    bool multiline;
    bool ignoreCase;
    RxCapture *caps;
    uint32_t capLo, capHi;  // captures changed since the attempt began
    State *st;
    uint32_t stN, stCap;
    Track *bt;
    uint32_t btN, btCap;
    uint32_t *choices;  // backtrack-stack positions of the live choice points
    uint32_t chN, chCap;
    uint32_t steps;
    RxBreakPoll poll;
    void *pollArg;
};

inline bool ClassHas(const Matcher &m, uint32_t index, uint8_t c) {
    return Rx_BitTest(m.bitmaps + static_cast<size_t>(index) * RX_BITMAP_BYTES, c);
}

// Tests the simple operation at pc at position pos: the number of
// characters it consumes, or -1 when it fails.
int64_t Simple(const Matcher &m, uint32_t pc, uint32_t pos) {
    const uint8_t *o = m.code + pc + 1;
    bool more = pos < m.len;
    uint8_t c = more ? m.in[pos] : 0;
    switch (m.code[pc]) {
        case OP_BOL:
            return (pos == 0 || (m.multiline && IsLineEnd(m.in[pos - 1]))) ? 0 : -1;
        case OP_EOL:
            return (!more || (m.multiline && IsLineEnd(c))) ? 0 : -1;
        case OP_WORD_BOUNDARY:
        case OP_NOT_WORD_BOUNDARY: {
            bool before = pos > 0 && Rx_IsWordChar(m.in[pos - 1]);
            bool after = more && Rx_IsWordChar(c);
            return ((before != after) == (m.code[pc] == OP_WORD_BOUNDARY)) ? 0 : -1;
        }
        case OP_ANY: return more && !IsLineEnd(c) ? 1 : -1;
        case OP_DIGIT: return more && IsDigitChar(c) ? 1 : -1;
        case OP_NOT_DIGIT: return more && !IsDigitChar(c) ? 1 : -1;
        case OP_WORD: return more && Rx_IsWordChar(c) ? 1 : -1;
        case OP_NOT_WORD: return more && !Rx_IsWordChar(c) ? 1 : -1;
        case OP_SPACE: return more && Rx_IsSpace(c) ? 1 : -1;
        case OP_NOT_SPACE: return more && !Rx_IsSpace(c) ? 1 : -1;
        case OP_CHAR: return more && c == o[0] ? 1 : -1;
        case OP_CHAR_I: return more && kUpper.v[c] == kUpper.v[o[0]] ? 1 : -1;
        case OP_CLASS: return more && ClassHas(m, Rx_Get32(o), c) ? 1 : -1;
        case OP_NOT_CLASS: return more && !ClassHas(m, Rx_Get32(o), c) ? 1 : -1;
        case OP_STRING:
        case OP_STRING_I: {
            const uint8_t *s = m.source + Rx_Get32(o);
            uint32_t n = Rx_Get32(o + 4);
            if (n > m.len - pos) return -1;
            bool same = m.code[pc] == OP_STRING ? std::memcmp(m.in + pos, s, n) == 0 : SameFolded(m.in + pos, s, n);
            return same ? static_cast<int64_t>(n) : -1;
        }
        case OP_BACKREF: {
            const RxCapture &cap = m.caps[Rx_Get32(o)];
            if (cap.start < 0) return 0;  // a group that did not take part matches the empty string
            uint32_t n = cap.length;
            if (n > m.len - pos) return -1;
            const uint8_t *s = m.in + cap.start;
            bool same = m.ignoreCase ? SameFolded(m.in + pos, s, n) : std::memcmp(m.in + pos, s, n) == 0;
            return same ? static_cast<int64_t>(n) : -1;
        }
        default: return -1;
    }
}

inline bool FirstFails(const Matcher &m, uint32_t pc, uint32_t pos) {
    return Rx_SimpleSize(m.code[pc]) != 0 && Simple(m, pc, pos) < 0;
}

// Width of a quantifier body that is one simple operation consuming a fixed
// number of characters, followed by the end of the body; 0 for any other body.
uint32_t SimpleBodyWidth(const uint8_t *code, uint32_t body) {
    uint8_t op = code[body];
    uint32_t size = Rx_SimpleSize(op);
    if (size == 0 || op <= OP_NOT_WORD_BOUNDARY || op == OP_BACKREF || code[body + size] != OP_END_CHILD) return 0;
    return (op == OP_STRING || op == OP_STRING_I) ? Rx_Get32(code + body + 5) : 1;
}

// How many times in a row the simple body at pc matches from pos, at most limit.
uint32_t RunLength(const Matcher &m, uint32_t pc, uint32_t pos, uint32_t width, uint32_t limit) {
    uint32_t n = 0;
    uint8_t op = m.code[pc];
    if (op == OP_CHAR) {
        uint8_t c = m.code[pc + 1];
        while (n < limit && pos < m.len && m.in[pos] == c) ++n, ++pos;
        return n;
    }
    if (op == OP_ANY) {
        while (n < limit && pos < m.len && !IsLineEnd(m.in[pos])) ++n, ++pos;
        return n;
    }
    if (op == OP_CLASS || op == OP_NOT_CLASS) {
        const uint8_t *bits = m.bitmaps + static_cast<size_t>(Rx_Get32(m.code + pc + 1)) * RX_BITMAP_BYTES;
        bool want = op == OP_CLASS;
        while (n < limit && pos < m.len && Rx_BitTest(bits, m.in[pos]) == want) ++n, ++pos;
        return n;
    }
    while (n < limit && Simple(m, pc, pos) >= 0) ++n, pos += width;
    return n;
}

bool PushTrack(Matcher &m, uint32_t kind, uint32_t a, uint32_t b, uint32_t c) {
    if (m.btN == m.btCap) {
        if (!Arr_EnsureT(m.bt, m.btN + 1)) return false;
        m.btCap = Arr_Capacity(m.bt);
    }
    if (kind < TK_CAP) {
        if (m.chN == m.chCap) {
            if (!Arr_EnsureT(m.choices, m.chN + 1)) return false;
            m.chCap = Arr_Capacity(m.choices);
        }
        m.choices[m.chN++] = m.btN;
    }
    m.bt[m.btN++] = Track{kind, a, b, c};
    return true;
}

// Undo entries are needed only while some choice point could bring the
// match back to an earlier state.
inline bool Logging(const Matcher &m) { return m.chN != 0; }

inline void DropChoice(Matcher &m) {
    m.btN--;
    m.chN--;
}

bool SetCap(Matcher &m, uint32_t g, int32_t start, uint32_t length) {
    RxCapture &cap = m.caps[g];
    if (Logging(m) && !PushTrack(m, TK_CAP, g, static_cast<uint32_t>(cap.start), cap.length)) return false;
    cap.start = start;
    cap.length = length;
    if (g < m.capLo) m.capLo = g;
    if (g >= m.capHi) m.capHi = g + 1;
    return true;
}

bool ResetCaps(Matcher &m, uint32_t lo, uint32_t hi) {
    for (uint32_t g = lo; g < hi; ++g)
        if (m.caps[g].start >= 0 && !SetCap(m, g, -1, 0)) return false;
    return true;
}

bool PushState(Matcher &m, State e) {
    if (m.stN == m.stCap) {
        if (!Arr_EnsureT(m.st, m.stN + 1)) return false;
        m.stCap = Arr_Capacity(m.st);
    }
    if (Logging(m) && !PushTrack(m, TK_PUSHED, 0, 0, 0)) return false;
    m.st[m.stN++] = e;
    return true;
}

bool PopState(Matcher &m) {
    const State &e = m.st[m.stN - 1];
    if (Logging(m) && !PushTrack(m, TK_POPPED, e.pc, e.pos, e.count)) return false;
    m.stN--;
    return true;
}

bool SetTop(Matcher &m, State e) {
    State &top = m.st[m.stN - 1];
    if (Logging(m) && !PushTrack(m, TK_SET, top.pc, top.pos, top.count)) return false;
    top = e;
    return true;
}

// Leaves a look-ahead: disables every choice point made inside its body
// (above `mark`), so none is revisited; the undo entries stay.
void CutChoices(Matcher &m, uint32_t mark) {
    while (m.chN && m.choices[m.chN - 1] >= mark) m.bt[m.choices[--m.chN]].kind = TK_NOP;
    if (m.chN == 0) m.btN = 0;  // nothing to go back to: no undo entry is needed any more
    while (m.btN > mark && m.bt[m.btN - 1].kind == TK_NOP) m.btN--;
}

enum class Step { Next, Fail, NoMemory };

// Enters a quantifier at pc.
Step EnterQuantifier(Matcher &m, uint32_t &pc, uint32_t &pos) {
    uint32_t at = pc;
    RxQuant q = Rx_ReadQuant(m.code, at);
    if (q.max == 0) {
        pc = q.end;
        return Step::Next;
    }
    if (uint32_t w = SimpleBodyWidth(m.code, q.body)) {
        // One simple operation as the body: loop over it here and keep one
        // choice point for the whole run instead of one per iteration.
        if (!q.lazy) {
            uint32_t n = RunLength(m, q.body, pos, w, q.max);
            if (n < q.min) return Step::Fail;
            uint32_t low = pos + q.min * w;
            pos += n * w;
            if (n > q.min && !PushTrack(m, TK_GREEDY, at, low, pos)) return Step::NoMemory;
        } else {
            uint32_t n = RunLength(m, q.body, pos, w, q.min);
            if (n < q.min) return Step::Fail;
            pos += n * w;
            uint32_t left = q.max == RX_UNBOUNDED ? RX_UNBOUNDED : q.max - q.min;
            if (left && !PushTrack(m, TK_LAZY, at, pos, left)) return Step::NoMemory;
        }
        pc = q.end;
        return Step::Next;
    }
    bool firstFails = FirstFails(m, q.body, pos);
    if (q.min == 0 && firstFails) {
        pc = q.end;
        return Step::Next;
    }
    if (firstFails) return Step::Fail;
    if (q.lazy && q.min == 0) {
        if (!PushTrack(m, TK_LAZY_MORE, at, pos, 0)) return Step::NoMemory;
        pc = q.end;
        return Step::Next;
    }
    if (q.min == 0 && !PushTrack(m, TK_RESUME, q.end, pos, 0)) return Step::NoMemory;
    if (!PushState(m, State{at, pos, 0}) || !ResetCaps(m, q.groupLo, q.groupHi)) return Step::NoMemory;
    pc = q.body;
    return Step::Next;
}

// The body of the quantifier on top of the state stack has matched once.
Step EndIteration(Matcher &m, uint32_t &pc, uint32_t pos) {
    State e = m.st[m.stN - 1];
    RxQuant q = Rx_ReadQuant(m.code, e.pc);
    // An iteration beyond the minimum that consumed nothing ends this path:
    // empty iterations never repeat.
    if (pos == e.pos && e.count >= q.min) return Step::Fail;
    uint32_t k = e.count + 1;
    if (q.max != RX_UNBOUNDED && k >= q.max) {
        if (!PopState(m)) return Step::NoMemory;
        pc = q.end;
        return Step::Next;
    }
    if (q.lazy) {
        if (k < q.min) {
            if (!SetTop(m, State{e.pc, pos, k}) || !ResetCaps(m, q.groupLo, q.groupHi)) return Step::NoMemory;
            pc = q.body;
            return Step::Next;
        }
        if (!PopState(m) || !PushTrack(m, TK_LAZY_MORE, e.pc, pos, k)) return Step::NoMemory;
        pc = q.end;
        return Step::Next;
    }
    bool firstFails = FirstFails(m, q.body, pos);
    if (k >= q.min) {
        if (firstFails) {
            if (!PopState(m)) return Step::NoMemory;
            pc = q.end;
            return Step::Next;
        }
        if (!PushTrack(m, TK_EXIT, q.end, pos, 0)) return Step::NoMemory;
    } else if (firstFails) {
        return Step::Fail;
    }
    if (!SetTop(m, State{e.pc, pos, k}) || !ResetCaps(m, q.groupLo, q.groupHi)) return Step::NoMemory;
    pc = q.body;
    return Step::Next;
}

Step EnterLookahead(Matcher &m, uint32_t &pc, uint32_t pos) {
    uint8_t op = m.code[pc];
    uint32_t body = pc + RX_SIZE_LOOK;
    uint32_t end = pc + Rx_Get32(m.code + pc + 1);
    if (uint32_t size = Rx_SimpleSize(m.code[body])) {
        // A body that starts with a simple test is decided by it alone when
        // the test fails, or when it is the whole body.
        bool ok = Simple(m, body, pos) >= 0;
        bool whole = body + size + 1 == end;
        if (op == OP_LOOKAHEAD ? !ok : (ok && whole)) return Step::Fail;
        if (op == OP_LOOKAHEAD ? whole : !ok) {
            pc = end;
            return Step::Next;
        }
    }
    if (!PushState(m, State{pc, pos, 0})) return Step::NoMemory;
    m.st[m.stN - 1].count = m.btN;
    if (!PushTrack(m, TK_LOOK, 0, 0, 0)) return Step::NoMemory;
    pc = body;
    return Step::Next;
}

enum class Resume { Run, Fail, NoMemory };

// Pops the top entry of the backtrack stack.
Resume Backtrack(Matcher &m, uint32_t &pc, uint32_t &pos) {
    Track &t = m.bt[m.btN - 1];
    switch (t.kind) {
        case TK_CAP:
            m.caps[t.a].start = static_cast<int32_t>(t.b);
            m.caps[t.a].length = t.c;
            m.btN--;
            return Resume::Fail;
        case TK_PUSHED:
            m.stN--;
            m.btN--;
            return Resume::Fail;
        case TK_POPPED:
            m.st[m.stN++] = State{t.a, t.b, t.c};  // the entry's room is still there
            m.btN--;
            return Resume::Fail;
        case TK_SET:
            m.st[m.stN - 1] = State{t.a, t.b, t.c};
            m.btN--;
            return Resume::Fail;
        case TK_NOP:
            m.btN--;
            return Resume::Fail;
        case TK_RESUME:
            pc = t.a;
            pos = t.b;
            DropChoice(m);
            return Resume::Run;
        case TK_EXIT:
            pc = t.a;
            pos = t.b;
            DropChoice(m);
            return PopState(m) ? Resume::Run : Resume::NoMemory;
        case TK_GREEDY: {
            RxQuant q = Rx_ReadQuant(m.code, t.a);
            uint32_t next = t.c - SimpleBodyWidth(m.code, q.body);
            pos = next;
            pc = q.end;
            if (next > t.b) t.c = next;
            else DropChoice(m);
            return Resume::Run;
        }
        case TK_LAZY: {
            RxQuant q = Rx_ReadQuant(m.code, t.a);
            int64_t n = Simple(m, q.body, t.b);
            if (n < 0) {
                DropChoice(m);
                return Resume::Fail;
            }
            pos = t.b + static_cast<uint32_t>(n);
            pc = q.end;
            uint32_t left = t.c == RX_UNBOUNDED ? RX_UNBOUNDED : t.c - 1;
            if (left == 0) {
                DropChoice(m);
            } else {
                t.b = pos;
                t.c = left;
            }
            return Resume::Run;
        }
        case TK_LAZY_MORE: {
            State e{t.a, t.b, t.c};
            DropChoice(m);
            RxQuant q = Rx_ReadQuant(m.code, e.pc);
            pos = e.pos;
            pc = q.body;
            if (!PushState(m, e) || !ResetCaps(m, q.groupLo, q.groupHi)) return Resume::NoMemory;
            return Resume::Run;
        }
        default: {  // TK_LOOK
            DropChoice(m);
            const State &e = m.st[m.stN - 1];
            if (m.code[e.pc] == OP_LOOKAHEAD) return Resume::Fail;
            // The body of a negative look-ahead failed: the look-ahead holds.
            pos = e.pos;
            pc = e.pc + Rx_Get32(m.code + e.pc + 1);
            return PopState(m) ? Resume::Run : Resume::NoMemory;
        }
    }
}

// One attempt at `start`: 1 with *endPos on a match, 0 on none, or an error.
uint32_t Attempt(Matcher &m, uint32_t start, uint32_t *endPos) {
    uint32_t pc = 0, pos = start;
    m.stN = 0;
    m.btN = 0;
    m.chN = 0;
    for (;;) {
        if (++m.steps >= kPollInterval) {
            m.steps = 0;
            if (m.poll) {
                uint32_t stop = m.poll(m.pollArg);
                if (stop) return stop;
            }
        }
        Step step = Step::Next;
        uint8_t op = m.code[pc];
        switch (op) {
            case OP_END:
                *endPos = pos;
                return 1;
            case OP_OPEN:
                if (!SetCap(m, Rx_Get32(m.code + pc + 1), static_cast<int32_t>(pos), 0)) step = Step::NoMemory;
                pc += RX_SIZE_INDEX;
                break;
            case OP_CLOSE: {
                uint32_t g = Rx_Get32(m.code + pc + 1);
                int32_t s = m.caps[g].start;
                if (!SetCap(m, g, s, pos - static_cast<uint32_t>(s))) step = Step::NoMemory;
                pc += RX_SIZE_INDEX;
                break;
            }
            case OP_JUMP:
                pc += Rx_Get32(m.code + pc + 1);
                break;
            case OP_END_ALT:
                pc += RX_SIZE_PLAIN;
                break;
            case OP_ALT: {
                uint32_t second = pc + Rx_Get32(m.code + pc + 1);
                uint32_t first = pc + RX_SIZE_ALT;
                if (FirstFails(m, first, pos)) {
                    pc = second;
                } else {
                    if (!PushTrack(m, TK_RESUME, second, pos, 0)) step = Step::NoMemory;
                    pc = first;
                }
                break;
            }
            case OP_ALT_GUARD_CHARS:
            case OP_ALT_GUARD_CLASS: {
                if (pos >= m.len) {
                    step = Step::Fail;
                    break;
                }
                uint8_t c = m.in[pos];
                uint32_t g1 = Rx_Get32(m.code + pc + 5);
                bool first = op == OP_ALT_GUARD_CHARS
                                 ? c == g1
                                 : ClassHas(m, g1 & ~RX_GUARD_NEGATED, c) != ((g1 & RX_GUARD_NEGATED) != 0);
                bool second = c == Rx_Get32(m.code + pc + 9);
                uint32_t secondPc = pc + Rx_Get32(m.code + pc + 13);
                if (!first && !second) {
                    step = Step::Fail;
                } else if (!first) {
                    pc = secondPc;
                } else {
                    if (second && !PushTrack(m, TK_RESUME, secondPc, pos, 0)) step = Step::NoMemory;
                    pc += RX_SIZE_GUARD;
                }
                break;
            }
            case OP_REPEAT: case OP_STAR: case OP_PLUS: case OP_OPT:
            case OP_LAZY_STAR: case OP_LAZY_PLUS: case OP_LAZY_OPT: case OP_LAZY_REPEAT:
                step = EnterQuantifier(m, pc, pos);
                break;
            case OP_END_CHILD:
                step = EndIteration(m, pc, pos);
                break;
            case OP_LOOKAHEAD:
            case OP_NEG_LOOKAHEAD:
                step = EnterLookahead(m, pc, pos);
                break;
            case OP_LOOKAHEAD_TEST: {
                State e = m.st[m.stN - 1];
                CutChoices(m, e.count);
                pos = e.pos;
                if (!PopState(m)) step = Step::NoMemory;
                pc += RX_SIZE_PLAIN;
                break;
            }
            case OP_NEG_LOOKAHEAD_TEST:
                // The body matched, so the look-ahead fails; its changes are
                // undone by the backtracking that follows.
                CutChoices(m, m.st[m.stN - 1].count);
                step = Step::Fail;
                break;
            default: {
                uint32_t size = Rx_SimpleSize(op);
                if (size == 0) return ERR_GENERAL;  // not an operation: a damaged program
                int64_t n = Simple(m, pc, pos);
                if (n < 0) {
                    step = Step::Fail;
                } else {
                    pos += static_cast<uint32_t>(n);
                    pc += size;
                }
                break;
            }
        }
        if (step == Step::Next) continue;
        if (step == Step::NoMemory) return ERR_NOMEM;
        for (;;) {
            if (m.btN == 0) return 0;
            Resume r = Backtrack(m, pc, pos);
            if (r == Resume::Run) break;
            if (r == Resume::NoMemory) return ERR_NOMEM;
        }
    }
}

// The first position at or after s where the leading simple operation
// holds, or kNoMatch.
uint32_t Scan(const Matcher &m, uint32_t pc, uint32_t s) {
    uint8_t op = m.code[pc];
    switch (op) {
        case OP_BOL:
            if (!m.multiline) return s == 0 ? 0 : kNoMatch;
            break;
        case OP_EOL:
            if (!m.multiline) return m.len;
            break;
        case OP_CHAR: {
            if (s >= m.len) return kNoMatch;
            const void *at = std::memchr(m.in + s, m.code[pc + 1], m.len - s);
            return at ? static_cast<uint32_t>(static_cast<const uint8_t *>(at) - m.in) : kNoMatch;
        }
        case OP_STRING: {
            const uint8_t *str = m.source + Rx_Get32(m.code + pc + 1);
            uint32_t n = Rx_Get32(m.code + pc + 5);
            while (s < m.len && n <= m.len - s) {
                const void *at = std::memchr(m.in + s, str[0], m.len - s - n + 1);
                if (!at) return kNoMatch;
                s = static_cast<uint32_t>(static_cast<const uint8_t *>(at) - m.in);
                if (std::memcmp(m.in + s, str, n) == 0) return s;
                ++s;
            }
            return kNoMatch;
        }
        default: break;
    }
    for (; s <= m.len; ++s)
        if (Simple(m, pc, s) >= 0) return s;
    return kNoMatch;
}

// Keeps a stack for the next match unless it has grown large.
void KeepOrFree(void *stack, uint32_t keep, void **cache) {
    if (stack && Arr_Capacity(stack) <= keep && !*cache) *cache = stack;
    else Arr_Free(stack);
}

// Builds the member bitmap of every class before the first attempt.
bool PrepareClasses(RxProgram *p) {
    if (p->classCount == 0 || p->bitmaps) return true;
    auto *bits = static_cast<uint8_t *>(Mem_Alloc(static_cast<size_t>(p->classCount) * RX_BITMAP_BYTES));
    if (!bits) return false;
    bool ignoreCase = (p->flags & RX_IGNORECASE) != 0;
    const auto *src = reinterpret_cast<const uint8_t *>(p->source);
    for (uint32_t i = 0; i < p->classCount; ++i)
        RxClass_Walk(src + p->classes[i].bodyOffset, p->classes[i].bodyLength, ignoreCase,
                     bits + static_cast<size_t>(i) * RX_BITMAP_BYTES);
    p->bitmaps = bits;
    return true;
}

}  // namespace

uint32_t Rx_Match(RxProgram *p, const char *input, uint32_t len, uint32_t start, bool multiline,
                  uint32_t *matchStart, uint32_t *matchEnd, RxCapture *caps, RxBreakPoll poll,
                  void *pollArg) {
    if (start > len) return 0;
    if (!PrepareClasses(p)) return ERR_NOMEM;

    Matcher m;
    std::memset(&m, 0, sizeof(m));
    m.code = p->code;
    m.in = input ? reinterpret_cast<const uint8_t *>(input) : reinterpret_cast<const uint8_t *>("");
    m.len = len;
    m.source = reinterpret_cast<const uint8_t *>(p->source);
    m.bitmaps = p->bitmaps;
    m.multiline = multiline || (p->flags & RX_MULTILINE) != 0;
    m.ignoreCase = (p->flags & RX_IGNORECASE) != 0;
    m.poll = poll;
    m.pollArg = pollArg;

    // The stacks kept from the last match are taken over (and given back at
    // the end), so a nested use of the same program gets its own.
    m.st = static_cast<State *>(p->stateCache);
    m.bt = static_cast<Track *>(p->trackCache);
    m.choices = static_cast<uint32_t *>(p->choiceCache);
    p->stateCache = p->trackCache = p->choiceCache = nullptr;
    if (!m.st) m.st = static_cast<State *>(Arr_Alloc(sizeof(State), kStateStart));
    if (!m.bt) m.bt = static_cast<Track *>(Arr_Alloc(sizeof(Track), kTrackStart));
    if (!m.choices) m.choices = static_cast<uint32_t *>(Arr_Alloc(sizeof(uint32_t), kTrackStart));
    RxCapture *own = nullptr;
    if (!caps && p->groupCount) caps = own = static_cast<RxCapture *>(Mem_Alloc(sizeof(RxCapture) * p->groupCount));
    uint32_t result = ERR_NOMEM;
    if (m.st && m.bt && m.choices && (caps || !p->groupCount)) {
        m.stCap = Arr_Capacity(m.st);
        m.btCap = Arr_Capacity(m.bt);
        m.chCap = Arr_Capacity(m.choices);
        m.caps = caps;
        m.capLo = 0;
        m.capHi = p->groupCount;
        uint32_t s = start;
        for (;;) {
            if (p->scanPc != RX_NO_SCAN) {
                s = Scan(m, p->scanPc, s);
                if (s == kNoMatch) {
                    result = 0;
                    break;
                }
            }
            for (uint32_t g = m.capLo; g < m.capHi; ++g) caps[g] = RxCapture{-1, 0};
            m.capLo = 0xFFFFFFFFu;
            m.capHi = 0;
            uint32_t end = 0;
            result = Attempt(m, s, &end);
            if (result == 1) {
                *matchStart = s;
                *matchEnd = end;
            }
            if (result != 0 || s >= len) break;
            ++s;
        }
    }
    Mem_Free(own);
    KeepOrFree(m.st, kKeepStates, &p->stateCache);
    KeepOrFree(m.bt, kKeepTracks, &p->trackCache);
    KeepOrFree(m.choices, kKeepTracks, &p->choiceCache);
    return result;
}

}  // namespace quillon
