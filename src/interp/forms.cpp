// Remembered forms (see forms.h): the reader that makes an expression's or
// a loop's form by the walker's grammar (the cells are laid out in
// form_ops.h; form_run.cpp runs them). A form is a head cell and a list of
// operations on a small stack, read only from what the walker would read
// there at the same precedence and ending where the walker ends.
#include "interp/forms.h"

#include <cstring>
#include "interp/form_ops.h"

#include "interp/binary.h"
#include "interp/hints.h"
#include "interp/interp.h"
#include "interp/poscache.h"
#include "interp/report.h"
#include "objects/member.h"
#include "runtime/memory.h"
#include "values/convert.h"
#include "values/numops.h"

namespace quillon {



namespace {

// Limits of a form: operations (of an expression's form, of a loop's),
// stack, nesting of the reader, parts of a loop.
constexpr uint32_t kFormMaxOps = 64;
constexpr uint32_t kLoopMaxOps = 256;
constexpr uint32_t kLoopMaxMarks = 32;
constexpr uint32_t kLoopMaxBranches = 8;
constexpr uint32_t kLoopMaxNests = 4;
constexpr uint32_t kFormMaxLevel = 24;

struct Reader {
    RunContext *ctx;
    FormOp ops[kLoopMaxOps];
    uint32_t limit = kFormMaxOps;
    uint32_t count = 0;
    uint32_t sp = 0;
    uint32_t maxSp = 0;
    uint32_t depth = 0;
    uint32_t refAt = UINT32_MAX;  // count after the member read that ends the operand just read
    uint32_t target = UINT32_MAX; // the operation a jump was last pointed at
    bool ok = true;
    uint32_t callAt = UINT32_MAX;   // the Call operation (a form holds at most one)
    bool scratch = false;           // reading only to find where something ends (Skim)
    bool incrementOk = false;       // the next operand read may be a member's `++` or `--`
    uint32_t incrementAt = UINT32_MAX; // the IncrementNamed operation read
    bool unhinted = false;          // a store was refused for a name never resolved there

    bool HasCall() const { return callAt != UINT32_MAX; }

    uint32_t Emit(FormKind kind, uint32_t arg = 0, double num = 0, NumOp op = NumOp::None) {
        if (count == limit) {
            ok = false;
            return 0;
        }
        ops[count].kind = kind;
        ops[count].op = op;
        ops[count].pad = 0;
        ops[count].arg = arg;
        ops[count].num = num;
        return count++;
    }
    uint32_t EmitNamed(FormKind kind, uint32_t arg, const IdEntry *id, NumOp op = NumOp::None) {
        uint32_t at = Emit(kind, arg, 0, op);
        if (ok) ops[at].id = id;
        return at;
    }
    void Push() {
        if (++sp > maxSp) maxSp = sp;
        if (maxSp > kFormStack) ok = false;
    }
};

// Reading after the form's call of what the walker will read when the form
// runs: only its end is wanted, and Drop forgets the operations read.
struct Skim {
    Reader &r;
    uint32_t count, sp, target;
    bool scratch;
    explicit Skim(Reader &reader)
        : r(reader), count(reader.count), sp(reader.sp), target(reader.target), scratch(reader.scratch) {
        r.scratch = true;
    }
    ~Skim() { r.scratch = scratch; }
    void Drop() {
        r.count = count;
        r.sp = sp;
        r.target = target;
        r.refAt = UINT32_MAX;
    }
};

// After a Skim dropped what follows the operator at opTok: the walker's
// step for the operator (Walk), at `level`.
void EmitWalk(Reader &r, Tok opTok, uint32_t level) {
    uint32_t at = r.Emit(FormKind::Walk, static_cast<uint32_t>(opTok - r.ctx->code->codes));
    if (r.ok) r.ops[at].pad = static_cast<uint16_t>(level);
}

Tok ReadExpr(Reader &r, Tok p, uint32_t minPrec, uint32_t level);
Tok ReadKey(Reader &r, Tok p, uint32_t level);
Tok ReadMemberAssignment(Reader &r, Tok start, uint32_t level);

// A store of the value as it is (no compound operator) into a variable or
// a member: the kinds a call's result may be stored by.
inline bool IsPlainStore(const FormOp &o) {
    return (o.kind == FormKind::Store || o.kind == FormKind::StoreHinted || o.kind == FormKind::StoreNamed ||
            o.kind == FormKind::StoreElem) &&
           o.op == NumOp::None;
}

inline bool IsStore(FormKind k) {
    return k == FormKind::Store || k == FormKind::StoreNamed || k == FormKind::StoreElem ||
           k == FormKind::Increment || k == FormKind::StoreHinted || k == FormKind::IncrementHinted ||
           k == FormKind::IncrementNamed;
}

// An expression the walker reads as an assignment expression (AssignInto):
// a conditional expression not followed by an assignment operator.
Tok ReadAssignLevel(Reader &r, Tok p, uint32_t level) {
    Tok q = ReadExpr(r, Scan_Lines(p), TK_LOGOR, level);
    if (!q) return nullptr;
    if (Tk_IsAssign(*q) || (*q == TK_LINE && Tk_IsCompoundAssign(*Scan_Lines(q)))) return nullptr;
    return q;
}

// A comma expression: its parts separated by commas, the value the last
// one's, each part read by `part` (assignment expressions at the top of a
// form, or without assignments in a member's key, one nesting level deeper
// than `level`). Only the last part may store: a store is done for good,
// and a later part that gave the form up would have the walker evaluate the
// whole expression, the store a second time.
Tok ReadCommaOf(Reader &r, Tok p, uint32_t level, Tok (*part)(Reader &, Tok, uint32_t)) {
    Tok q = part(r, p, level);
    while (q && r.ok) {
        Tok c = Scan_Lines(q);
        if (*c != TK_COMMA) return q;
        if (IsStore(r.ops[r.count - 1].kind) || r.HasCall()) return nullptr;
        r.Emit(FormKind::Pop);
        --r.sp;
        q = part(r, c + 1, level);
    }
    return r.ok ? q : nullptr;
}

// The key of a member read by key: a comma expression without assignments,
// read as the walker reads it.
Tok ReadKey(Reader &r, Tok p, uint32_t level) { return ReadCommaOf(r, p, level, ReadAssignLevel); }

// A call whose argument list opens at `open`, of the callee read last (a
// name's value on the stack), or of the method `method` (named at
// `methodTok`) of the object read last; `start` is the callee's first
// token. The walker reads the arguments, each an assignment expression, at
// `level`, then the callee's value, and calls there. The call ends its
// operand (a member, call, `++` or `--` of its result would have to run
// after it). The first call a form reads is its call (Call); a call with
// that one among its arguments is an outer call (OuterCall): its arguments
// after the one that holds the first call are read by the walker when the
// form runs (only their ends are read here), and a name callee is kept as
// the variable it names (CalleeSlot), whose value the walker reads after
// the arguments.
Tok ReadCall(Reader &r, Tok start, Tok open, uint32_t level, const IdEntry *method, Tok methodTok, bool construct) {
    Tok codes = r.ctx->code->codes;
    // (A call before this one's arguments: one in a branch before it.)
    bool before = r.HasCall();
    if (before && !r.scratch) return nullptr;
    uint32_t calleeAt = r.count - 1;
    uint32_t argc = 0, walked = 0, walkedFrom = UINT32_MAX;
    Tok a = Scan_Lines(open + 1);
    if (*a != TK_RPAREN) {
        for (;;) {
            Tok e;
            if (r.HasCall() && !r.scratch) {
                // After the first call: the walker reads this argument.
                Skim skim(r);
                e = ReadAssignLevel(r, a, level);
                skim.Drop();
                if (walked++ == 0) walkedFrom = static_cast<uint32_t>(a - codes);
                r.Push();  // (its value's place)
            } else {
                e = ReadAssignLevel(r, a, level);
            }
            if (!e || !r.ok) return nullptr;
            ++argc;
            Tok c = Scan_Lines(e);
            if (*c == TK_RPAREN) {
                a = c;
                break;
            }
            if (*c != TK_COMMA) return nullptr;
            a = Scan_Lines(c + 1);
        }
    }
    bool outer = !before && r.HasCall() && !r.scratch;
    if (outer && !method) {
        // The callee name's variable, as the walker resolves it before the
        // arguments: a local, or a program-level or closure's variable.
        FormOp &c = r.ops[calleeAt];
        if (c.kind == FormKind::Local) {
            c.kind = FormKind::CalleeSlot;
            c.pad = 0;
        } else if (c.kind == FormKind::Variable) {
            const uint32_t *hint = HintSlot(r.ctx, codes + c.arg);
            if (!hint || ((*hint & 3) != HINT_GLOBAL && (*hint & 3) != HINT_OUTER)) return nullptr;
            c.kind = FormKind::CalleeSlot;
            c.pad = 1;
            c.id = Lex_IdOfOperand(r.ctx->store, codes[c.arg]);
        } else {
            return nullptr;
        }
    }
    Tok end = a + 1;
    uint32_t n;
    Scan_NextPostfix(end, &n);
    if (n == TK_DOT || n == TK_LBRACKET || n == TK_LPAREN || n == TK_INC || n == TK_DEC) return nullptr;
    uint32_t at = r.EmitNamed(outer ? FormKind::OuterCall : FormKind::Call, static_cast<uint32_t>(start - codes), method);
    uint32_t site = r.Emit(FormKind::CallSite, method ? static_cast<uint32_t>(methodTok - codes) : 0);
    uint32_t after = r.Emit(FormKind::CallEnd, static_cast<uint32_t>(end - codes));
    if (!r.ok) return nullptr;
    r.ops[at].pad = static_cast<uint16_t>(argc - walked);
    r.ops[site].pad = static_cast<uint16_t>(level | (method ? 0x100 : 0) | (construct ? 0x200 : 0));
    r.ops[site].aux = outer ? walkedFrom : UINT32_MAX;
    r.ops[after].pad = outer ? static_cast<uint16_t>(walked) : r.sp > argc + 1 ? kCallTail : 0;
    r.ops[after].aux = static_cast<uint32_t>(open - codes);
    r.sp -= argc;  // the callee's place takes the result
    if (!r.scratch && !outer) r.callAt = at;
    return end;
}

// An operand and what may follow it; null when the walker would read more
// than a form holds. `construct`: the operand follows `new`, whose
// arguments are the first call's.
Tok ReadOperand(Reader &r, Tok p, uint32_t level, bool construct = false) {
    Tok start = p;
    uint32_t t = *p;
    bool name = false;
    bool incrementOk = r.incrementOk;
    r.incrementOk = false;
    if (construct && !Tk_IsOperand(t)) return nullptr;
    if (Tk_IsOperand(t)) {
        if (IdEntry *id = Lex_IdOfOperand(r.ctx->store, t)) {
            // A local or parameter is read by its place, as its hint found
            // it last time (checked again at every read); anything else
            // through the hint itself.
            uint32_t *hint = HintSlot(r.ctx, p);
            uint32_t h = hint ? *hint : HINT_NONE;
            if ((h & 3) == HINT_LOCAL) r.EmitNamed(FormKind::Local, h >> 2, id);
            else if ((h & 3) == HINT_PARAM) r.EmitNamed(FormKind::Parameter, h >> 2, id);
            else r.Emit(FormKind::Variable, static_cast<uint32_t>(p - r.ctx->code->codes));
            name = true;
        } else {
            const JSAny *c = Lex_SlotOfOperand(r.ctx->store, t);
            if (c->type == JSANY_NUMBER) {
                r.Emit(FormKind::Number, 0, c->num);
            } else if (c->type == JSANY_STRING) {
                uint32_t at = r.Emit(FormKind::String);
                if (r.ok) r.ops[at].value = c;
            } else {
                return nullptr;
            }
        }
        r.Push();
        ++p;
    } else if (t == KW_TRUE || t == KW_FALSE) {
        r.Emit(FormKind::Boolean, t == KW_TRUE);
        r.Push();
        ++p;
    } else if (t == KW_NULL || t == KW_THIS) {
        r.Emit(t == KW_NULL ? FormKind::Null : FormKind::This);
        r.Push();
        ++p;
    } else if (t == TK_LPAREN) {
        Tok q = ReadAssignLevel(r, p + 1, level);
        if (!q) return nullptr;
        q = Scan_Lines(q);
        if (*q != TK_RPAREN) return nullptr;
        p = q + 1;
    } else {
        return nullptr;
    }
    // Postfix parts: members by name (a `.` may follow a line break) and
    // by key, and a call of a name or a method that ends the operand; no
    // `++` or `--`.
    r.refAt = UINT32_MAX;
    for (;;) {
        uint32_t n;
        Tok q = Scan_NextPostfix(p, &n);
        if (n == TK_DOT) {
            Tok nameTok = Scan_Lines(q + 1);
            IdEntry *id = Tk_IsOperand(*nameTok) ? Lex_IdOfOperand(r.ctx->store, *nameTok) : nullptr;
            if (!id) return nullptr;
            if (nameTok[1] == TK_LPAREN) return ReadCall(r, start, nameTok + 1, level, id, nameTok, construct);
            uint32_t at = r.EmitNamed(FormKind::GetNamed, static_cast<uint32_t>(nameTok - r.ctx->code->codes), id);
            if (r.ok) r.ops[at].pad = Obj_NameIsLength(id->name, id->length);
            r.refAt = r.count;
            p = nameTok + 1;
            continue;
        }
        if (n == TK_LBRACKET) {
            uint32_t keyAt = r.count;
            Tok k = ReadKey(r, q + 1, level);
            // (A key that is a string literal alone would give the form up
            // at every run: members by text are not a form's.)
            if (!k || (r.count == keyAt + 1 && r.ops[keyAt].kind == FormKind::String)) return nullptr;
            k = Scan_Lines(k);
            if (*k != TK_RBRACKET) return nullptr;
            r.Emit(FormKind::GetElem);
            --r.sp;
            r.refAt = r.count;
            p = k + 1;
            continue;
        }
        if (n == TK_LPAREN && name && p == start + 1) return ReadCall(r, start, p, level, nullptr, nullptr, construct);
        if ((n == TK_INC || n == TK_DEC) && incrementOk && !construct && r.refAt == r.count &&
            r.ops[r.count - 1].kind == FormKind::GetNamed) {
            // `a.b++` or `a.b--` beginning an expression statement's part:
            // the member read becomes the increment (ReadMemberAssignment
            // keeps it only as the part's last operation). Nothing may
            // follow as a postfix part.
            uint32_t after;
            Scan_NextPostfix(p + 1, &after);
            if (after == TK_DOT || after == TK_LBRACKET || after == TK_LPAREN || after == TK_INC || after == TK_DEC)
                return nullptr;
            FormOp &o = r.ops[r.count - 1];
            o.kind = FormKind::IncrementNamed;
            o.op = n == TK_INC ? NumOp::Add : NumOp::Sub;
            o.pad = 1;
            r.incrementAt = r.count - 1;
            r.refAt = UINT32_MAX;
            return p + 1;
        }
        if (construct || n == TK_LPAREN || n == TK_INC || n == TK_DEC) return nullptr;
        return p;
    }
}

Tok ReadUnary(Reader &r, Tok p, uint32_t level) {
    p = Scan_Lines(p);
    uint32_t ops[kMaxPrefix];
    uint32_t nops = 0;
    while (Tk_IsPrefix(*p)) {
        uint32_t t = *p;
        if (nops == kMaxPrefix || (t != TK_SUB && t != TK_ADD && t != TK_NOT && t != TK_BITNOT)) return nullptr;
        ops[nops++] = t;
        p = Scan_Lines(p + 1);
    }
    bool construct = *p == KW_NEW;
    if (construct) p = Scan_Lines(p + 1);
    Tok q = ReadOperand(r, p, level, construct);
    if (!q) return nullptr;
    while (nops > 0) {
        switch (ops[--nops]) {
        case TK_SUB: r.Emit(FormKind::Negate); break;
        case TK_ADD: r.Emit(FormKind::Plus); break;
        case TK_NOT: r.Emit(FormKind::Not); break;
        default: r.Emit(FormKind::BitNot); break;
        }
    }
    return q;
}

// An expression without assignment, or an assignment to a member read last
// in it: `a.b = e`, `this.b op= e`, `a[k] = e` (the walker reads the
// target as a conditional expression, then the assignment operator).
Tok ReadMemberAssignment(Reader &r, Tok start, uint32_t level) {
    r.incrementOk = true;
    r.incrementAt = UINT32_MAX;
    Tok q = ReadExpr(r, start, TK_LOGOR, level);
    r.incrementOk = false;
    if (!q) return nullptr;
    // A member's increment is the whole part: an operator applied to its
    // value could give the form up after the store.
    if (r.incrementAt != UINT32_MAX && r.incrementAt + 1 != r.count) return nullptr;
    Tok opTok = q;
    if (*opTok == TK_LINE && Tk_IsCompoundAssign(*Scan_Lines(opTok))) opTok = Scan_Lines(opTok);
    if (!Tk_IsAssign(*opTok)) return q;
    // The target must be a member read last, and not the end of a `&&`,
    // `||` or `?:` (whose value is no reference): else the walker reports it.
    if (r.refAt != r.count || r.target == r.count) return nullptr;
    FormOp target = r.ops[--r.count];
    bool named = target.kind == FormKind::GetNamed;
    if (!named) ++r.sp;  // the key stays on the stack, under the value
    if (level + 1 > r.depth) r.depth = level + 1;
    Tok e = ReadAssignLevel(r, opTok + 1, level + 1);
    if (!e) return nullptr;
    uint32_t op = *opTok;
    NumOp n = op == TK_ASSIGN ? NumOp::None : Ev_Binary(Tk_BinaryOfAssign(op)).number;
    r.EmitNamed(named ? FormKind::StoreNamed : FormKind::StoreElem, target.arg, target.id, n);
    r.sp -= named ? 1 : 2;
    // A call's result (or what the operators after it made of it) stored
    // here: the store reports at the operator.
    if (r.ok && r.HasCall()) r.ops[r.callAt + 1].aux = static_cast<uint32_t>(opTok - r.ctx->code->codes);
    return e;
}

// The kind and argument of a store into the variable an identifier's hint
// found: a local by its index; a program-level variable or a closure's
// variable by the token, whose hint is checked again at every store (as
// the walker checks it). False for other hints.
bool StoreTarget(Reader &r, Tok name, const uint32_t *hint, FormKind local, FormKind hinted, uint32_t *arg,
                 FormKind *kind) {
    if (!hint) return false;
    if ((*hint & 3) == HINT_LOCAL) {
        *kind = local;
        *arg = *hint >> 2;
        return true;
    }
    if ((*hint & 3) != HINT_GLOBAL && !((*hint & 3) == HINT_OUTER && (*hint >> 2) != 0)) {
        // (Never resolved: the store has not been reached yet.)
        if (*hint == HINT_NONE) r.unhinted = true;
        return false;
    }
    *kind = hinted;
    *arg = static_cast<uint32_t>(name - r.ctx->code->codes);
    return true;
}

// `name++`, `name--`, `++name` or `--name` of a local or program-level
// variable as a whole assignment expression (the walker would read on into
// an operator after it).
Tok ReadIncrement(Reader &r, Tok start, uint32_t level) {
    bool postfix = *start != TK_INC && *start != TK_DEC;
    Tok name = postfix ? start : start + 1;
    uint32_t op = postfix ? name[1] : *start;
    Tok end = name + (postfix ? 2 : 1);
    // A prefix operator's operand ends at once (no member, call, line break ...).
    if (!postfix && !Scan_EndsOperand(*end)) return nullptr;
    Tok n = Scan_Lines(end);
    if (Tk_IsBinary(*n) || Tk_IsAssign(*end) || Tk_IsCompoundAssign(*n)) return nullptr;
    IdEntry *id = Lex_IdOfOperand(r.ctx->store, *name);
    uint32_t *hint = id ? HintSlot(r.ctx, name) : nullptr;
    FormKind kind;
    uint32_t arg;
    if (!StoreTarget(r, name, hint, FormKind::Increment, FormKind::IncrementHinted, &arg, &kind)) return nullptr;
    if (level + 1 > r.depth) r.depth = level + 1;
    uint32_t at = r.EmitNamed(kind, arg, id, op == TK_INC ? NumOp::Add : NumOp::Sub);
    if (r.ok) r.ops[at].pad = postfix;
    r.Push();
    return end;
}

// An assignment expression at the top of a form: `name = e` or
// `name op= e` into a local of the running function or a program-level
// variable, or an expression without assignment.
Tok ReadAssignment(Reader &r, Tok p, uint32_t level) {
    Tok start = Scan_Lines(p);
    Tok opTok = start + 1;
    if (Tk_IsOperand(*start) && *opTok == TK_LINE && Tk_IsCompoundAssign(*Scan_Lines(opTok))) opTok = Scan_Lines(opTok);
    if ((Tk_IsOperand(*start) && (start[1] == TK_INC || start[1] == TK_DEC)) ||
        ((*start == TK_INC || *start == TK_DEC) && Tk_IsOperand(start[1])))
        return ReadIncrement(r, start, level);
    if (!Tk_IsOperand(*start) || !Tk_IsAssign(*opTok)) return ReadMemberAssignment(r, start, level);
    IdEntry *id = Lex_IdOfOperand(r.ctx->store, *start);
    uint32_t *hint = id ? HintSlot(r.ctx, start) : nullptr;
    FormKind kind;
    uint32_t arg;
    if (!StoreTarget(r, start, hint, FormKind::Store, FormKind::StoreHinted, &arg, &kind)) return nullptr;
    // The walker reads the name (one level down), then the right side
    // inside the assignment's own nesting level.
    if (level + 1 > r.depth) r.depth = level + 1;
    Tok q = ReadAssignLevel(r, opTok + 1, level + 1);
    if (!q) return nullptr;
    uint32_t op = *opTok;
    NumOp n = op == TK_ASSIGN ? NumOp::None : Ev_Binary(Tk_BinaryOfAssign(op)).number;
    r.EmitNamed(kind, arg, id, n);
    // A call's result (or what the operators after it made of it) stored
    // here: the store reports at the operator.
    if (r.ok && r.HasCall()) r.ops[r.callAt + 1].aux = static_cast<uint32_t>(opTok - r.ctx->code->codes);
    return q;
}

// Whether the form read holds its call (if any) where it may: followed
// only by what RunAfterCall runs as the walker would (once the call is made
// the form cannot give up): binary operators on numbers, the walker's own
// steps for other operators and for the arguments of outer calls, and the
// outer calls; then by nothing or a plain store that ends the form.
// Nothing is done before the call that a give-up would have to undo, and
// nothing after it is read by the form itself from a variable or member:
// the call may have changed them.
bool CallEndsForm(const Reader &r) {
    if (!r.HasCall()) return true;
    uint32_t k = r.callAt + 3;
    bool walks = false;
    while (k < r.count && (r.ops[k].kind == FormKind::Binary || r.ops[k].kind == FormKind::BinaryConst ||
                           r.ops[k].kind == FormKind::Number || r.ops[k].kind == FormKind::Walk ||
                           r.ops[k].kind == FormKind::OuterCall)) {
        walks = walks || r.ops[k].kind == FormKind::Walk || r.ops[k].kind == FormKind::OuterCall;
        k += r.ops[k].kind == FormKind::OuterCall ? 3 : 1;
    }
    // A jump before the call that lands among the operations after it
    // would have RunOps run them, which it does only for those on numbers.
    for (uint32_t j = 0; walks && j < r.callAt; ++j) {
        FormKind kind = r.ops[j].kind;
        bool jump = kind == FormKind::Jump || kind == FormKind::JumpIfFalse || kind == FormKind::And ||
                    kind == FormKind::Or;
        if (jump && r.ops[j].arg > r.callAt && r.ops[j].arg < k) return false;
    }
    if (k == r.count) return true;
    const FormOp &s = r.ops[k];
    return k + 1 == r.count && IsPlainStore(s) && r.ops[r.callAt + 1].aux != UINT32_MAX;
}

// A comma expression at the top of a form.
Tok ReadComma(Reader &r, Tok p) { return ReadCommaOf(r, p, 0, ReadAssignment); }

// The walker's Ev_Expr at `minPrec`, one nesting level deeper than `level`.
Tok ReadExpr(Reader &r, Tok p, uint32_t minPrec, uint32_t level) {
    ++level;
    if (level > kFormMaxLevel) return nullptr;
    if (level > r.depth) r.depth = level;
    Tok q = ReadUnary(r, Scan_Lines(p), level);
    while (q && r.ok) {
        Tok opTok = Scan_Lines(q);
        uint32_t op = *opTok;
        if (!Tk_IsBinary(op) || op < minPrec) return q;
        if ((op == TK_QUESTION || op == TK_LOGOR || op == TK_LOGAND) && r.HasCall() && !r.scratch) {
            // After the call: the walker's step, the branches or the
            // operand read here only for their end.
            Skim skim(r);
            if (op == TK_QUESTION) {
                Tok b = ReadAssignLevel(r, opTok + 1, level);
                Tok c = b ? Scan_Lines(b) : nullptr;
                q = c && *c == TK_COLON ? ReadAssignLevel(r, c + 1, level) : nullptr;
            } else {
                q = ReadExpr(r, opTok + 1, Scan_LogicalLevel(op).minPrec, level);
            }
            if (!q || !r.ok) return nullptr;
            skim.Drop();
            EmitWalk(r, opTok, level);
            continue;
        }
        if (op == TK_QUESTION) {
            uint32_t test = r.Emit(FormKind::JumpIfFalse);
            --r.sp;
            Tok b = ReadAssignLevel(r, opTok + 1, level);
            if (!b) return nullptr;
            Tok c = Scan_Lines(b);
            if (*c != TK_COLON) return nullptr;
            uint32_t skip = r.Emit(FormKind::Jump);
            --r.sp;
            r.ops[test].arg = r.target = r.count;
            q = ReadAssignLevel(r, c + 1, level);
            r.ops[skip].arg = r.target = r.count;
            continue;
        }
        if (op == TK_LOGOR || op == TK_LOGAND) {
            uint32_t at = r.Emit(op == TK_LOGOR ? FormKind::Or : FormKind::And);
            --r.sp;
            q = ReadExpr(r, opTok + 1, Scan_LogicalLevel(op).minPrec, level);
            r.ops[at].arg = r.target = r.count;
            continue;
        }
        NumOp n = Ev_Binary(op).number;
        if (r.HasCall() && !r.scratch) {
            // After the call: an operand of number literals and operators
            // is read as before; any other is left to the walker.
            Skim skim(r);
            q = ReadExpr(r, opTok + 1, Tk_Group(op) + 16, level);
            if (!q || !r.ok) return nullptr;
            // (An equality, `in` or `instanceof` is the walker's too.)
            bool numbers = n != NumOp::None && op != TK_EQ && op != TK_NE && op != TK_SEQ && op != TK_SNE;
            for (uint32_t k = skim.count; numbers && k < r.count; ++k)
                numbers = r.ops[k].kind == FormKind::Number || r.ops[k].kind == FormKind::Binary ||
                          r.ops[k].kind == FormKind::BinaryConst;
            if (!numbers) {
                skim.Drop();
                EmitWalk(r, opTok, level);
                continue;
            }
        } else {
            if (n == NumOp::None) return nullptr;
            q = ReadExpr(r, opTok + 1, Tk_Group(op) + 16, level);
        }
        bool equality = op == TK_EQ || op == TK_NE || op == TK_SEQ || op == TK_SNE;
        FormOp *last = q && r.ok && r.count ? &r.ops[r.count - 1] : nullptr;
        if (!equality && last && r.target != r.count &&
            (last->kind == FormKind::Number || last->kind == FormKind::Local)) {
            // A right operand read last as one push is taken by the operator
            // itself: the same reads and checks in one operation. (Not when
            // a jump lands on the operator: it would skip the push.)
            bool constant = last->kind == FormKind::Number;
            last->kind = constant ? FormKind::BinaryConst : FormKind::BinaryLocal;
            last->op = n;
            if (constant) {
                last->arg = static_cast<uint32_t>(opTok - r.ctx->code->codes);
                last->pad = static_cast<uint16_t>(level);
            }
        } else if (equality) {
            r.Emit(FormKind::Equality, op, 0, n);
        } else {
            uint32_t at = r.Emit(FormKind::Binary, static_cast<uint32_t>(opTok - r.ctx->code->codes), 0, n);
            if (r.ok) r.ops[at].pad = static_cast<uint16_t>(level);
        }
        --r.sp;
    }
    return r.ok ? q : nullptr;
}

// Adds a form to the program's store: its head, its operations, an End
// operation whose argument counts the marks that follow it (a loop's);
// the form's index, or FORM_NONE.
uint32_t Store(RunContext *ctx, const Reader &r, Tok start, Tok end, uint32_t level,
               const LoopMark *marks = nullptr, uint32_t nmarks = 0, const BranchInfo *branches = nullptr,
               uint32_t nbranches = 0, const NestInfo *nests = nullptr, uint32_t nnests = 0) {
    CodeCache *caches = Cache_Of(ctx->code);
    if (!caches) return FORM_NONE;
    uint32_t at = caches->formUsed;
    uint32_t size = 2 + r.count + nmarks + nbranches + 2 * nnests;
    if (!Arr_EnsureT(caches->formStore, at + size)) return FORM_NONE;
    FormCell *cells = caches->formStore + at;
    cells[0].head = FormHead{static_cast<uint32_t>(end - ctx->code->codes), static_cast<uint16_t>(level),
                             static_cast<uint16_t>(r.count), static_cast<uint16_t>(r.depth), 0,
                             static_cast<uint32_t>(start - ctx->code->codes)};
    for (uint32_t k = 0; k < r.count; ++k) cells[1 + k].op = r.ops[k];
    cells[1 + r.count].op =
        FormOp{FormKind::End, NumOp::None, static_cast<uint16_t>(nbranches | nnests << 8), nmarks, {0}};
    for (uint32_t k = 0; k < nmarks; ++k) cells[2 + r.count + k].mark = marks[k];
    for (uint32_t k = 0; k < nbranches; ++k) cells[2 + r.count + nmarks + k].branch = branches[k];
    // (Two cells each.)
    if (nnests) memcpy(&cells[2 + r.count + nmarks + nbranches], nests, nnests * sizeof(NestInfo));
    caches->formUsed = at + size;
    return at + FORM_FIRST;
}

}  // namespace

void Form_Reached(RunContext *ctx, Tok start, uint32_t level) {
    uint32_t *slot = ctx->forms + (start - ctx->code->codes);
    if (*slot == FORM_UNSEEN) {
        *slot = FORM_SEEN + level;
        return;
    }
    Reader r;
    r.ctx = ctx;
    Tok end = level == FORM_LEVEL_COMMA ? ReadComma(r, start) : ReadAssignment(r, start, 0);
    // A lone operand stays with the walker: it reads to a reference there.
    if (end && (r.count > 1 || IsStore(r.ops[0].kind)) && CallEndsForm(r)) {
        if (r.HasCall()) {
            FormOp &after = r.ops[r.callAt + 2];
            bool stores = IsPlainStore(r.ops[r.count - 1]);
            if (stores) after.pad |= kCallStores;
            if (r.callAt + 3 < r.count - stores) after.pad |= kCallTail;
        }
        *slot = Store(ctx, r, start, end, level);
        return;
    }
    // No form at this level: the reader one level in may still make one
    // (it is reached right after, from the walker's reader of this level).
    constexpr uint32_t kSeen = FORM_SEEN;
    *slot = level == FORM_LEVEL_COMMA ? kSeen + FORM_LEVEL_ASSIGN : static_cast<uint32_t>(FORM_NONE);
}


// ---- loops' forms ----

namespace {

// A loop's form as it is read: the reader's operations, the marks of its
// parts, and the deepest nesting a part's walker would reach, counted from
// the loop statement's own level.
struct LoopReader {
    Reader r;
    LoopMark marks[kLoopMaxMarks];
    uint32_t nmarks = 0;
    BranchInfo branches[kLoopMaxBranches];
    uint32_t nbranches = 0;
    NestInfo nests[kLoopMaxNests];
    uint32_t nnests = 0;
    bool inNest = false;  // reading a loop inside the loop (which holds no further loop)
    bool unreached = false; // a statement of such a loop has not been reached yet
    bool lastTry = false;   // the loop's form is read for the last time
    uint32_t depth = 0;

    // The walker goes on at `phase` (in the body: at the statement `at` of
    // a block, or at the whole body when `at` is null) for operations from
    // here to the next mark.
    bool Mark(LoopPhase phase, Tok at) { return MarkAt(static_cast<uint32_t>(phase), at, 0); }
    bool MarkAt(uint32_t phase, Tok at, uint32_t pad) {
        if (nmarks == kLoopMaxMarks) return false;
        uint32_t tok = at ? static_cast<uint32_t>(at - r.ctx->code->codes) : UINT32_MAX;
        marks[nmarks++] = LoopMark{r.count, phase, tok, pad};
        return true;
    }
    // An expression read by `read` at `at` as a part of its own, whose
    // walker runs `extra` statement levels below the loop statement's; its
    // end, or null. A lone operand is no part (as it is no form).
    // A condition (`cond`) may be a lone operand: only its truth is used,
    // which the walker reads from the value as the form does.
    Tok Part(Tok at, uint32_t extra, Tok (*read)(Reader &, Tok), bool cond = false) {
        r.depth = 0;
        r.target = UINT32_MAX;
        r.refAt = UINT32_MAX;
        uint32_t first = r.count;
        Tok end = read(r, at);
        // (A call is left to the walker's statement, which runs its form.)
        bool call = r.HasCall();
        r.callAt = UINT32_MAX;
        if (!end || !r.ok || call || (r.count - first < 2 && !cond && !IsStore(r.ops[r.count - 1].kind)))
            return nullptr;
        if (extra + r.depth > depth) depth = extra + r.depth;
        return end;
    }
    void Emit(FormKind kind, uint32_t arg = 0) {
        r.Emit(kind, arg);
        if (kind == FormKind::StatementEnd || kind == FormKind::Pop || kind == FormKind::JumpIfFalse) --r.sp;
    }
};

Tok ReadCommaPart(Reader &r, Tok p) { return ReadComma(r, p); }
Tok ReadAssignmentPart(Reader &r, Tok p) { return ReadAssignment(r, p, 0); }

// An expression statement at s (after its line breaks) whose statement
// level is `extra` below the loop's; its end, or null.
Tok ReadExpressionStatement(LoopReader &lr, Tok s, uint32_t extra) {
    // (A statement keyword is refused by the reader itself.)
    if (Scan_IsLabel(s)) return nullptr;
    Tok end = lr.Part(s, extra, ReadCommaPart);
    if (end) lr.Emit(FormKind::StatementEnd);
    return end;
}

// `var name = e` of a local, alone in its statement: the initializer stored
// into the local as `name = e` would store it (no completion).
Tok ReadVarStatement(LoopReader &lr, Tok s, uint32_t extra) {
    Tok name = Scan_Lines(s + 1);
    if (!Tk_IsOperand(*name) || !Lex_IdOfOperand(lr.r.ctx->store, *name) || name[1] != TK_ASSIGN) return nullptr;
    uint32_t first = lr.r.count;
    Tok end = lr.Part(name, extra, ReadAssignmentPart);
    if (!end || lr.r.ops[lr.r.count - 1].kind != FormKind::Store || lr.r.ops[lr.r.count - 1].op != NumOp::None ||
        lr.r.count - first < 2 || *Scan_Lines(end) == TK_COMMA)
        return nullptr;
    lr.Emit(FormKind::Pop);
    return end;
}

// Whether the statement at s has never been reached: the expression it
// starts with (an `if`'s condition) was never read, or, for `var`, the
// name was never resolved there.
bool NotReached(RunContext *ctx, Tok s) {
    if (*s == KW_VAR) {
        const uint32_t *hint = HintSlot(ctx, Scan_Lines(s + 1));
        return hint && *hint == HINT_NONE;
    }
    Tok first = s;
    if (*s == KW_IF || *s == KW_WHILE) first = Scan_Lines(Scan_Lines(s + 1) + 1);
    const uint32_t *slot = Form_Slot(ctx, first);
    return slot && *slot == FORM_UNSEEN;
}

// Where the loop's reader was before a statement: what it read of the
// statement is dropped (Back) when the statement has no form, and the
// walker is to run it from the form; false when it is not to, the
// statement being part of a loop inside the loop, which runs from the form
// only when all of it does (else it is a statement the walker runs, which
// runs it from its own form). A statement of it not reached yet (no
// variable's hint known there, or a store into a name never resolved
// there, as in a branch not run yet) may have a form later: at the first
// try the loop's form is then read again at the next one.
struct ReadPoint {
    uint32_t count, sp, maxSp, nmarks, nbranches, nnests;
    explicit ReadPoint(LoopReader &lr)
        : count(lr.r.count), sp(lr.r.sp), maxSp(lr.r.maxSp), nmarks(lr.nmarks), nbranches(lr.nbranches),
          nnests(lr.nnests) {
        lr.r.unhinted = false;
    }
    bool Back(LoopReader &lr, Tok s) const {
        Reader &r = lr.r;
        r.count = count;
        r.sp = sp;
        r.maxSp = maxSp;
        r.ok = true;
        lr.nmarks = nmarks;
        lr.nbranches = nbranches;
        lr.nnests = nnests;
        if (!lr.inNest) return true;
        if (!lr.lastTry && (r.unhinted || NotReached(r.ctx, s))) lr.unreached = true;
        return false;
    }
};

// A branch of an `if` at s (a statement at level `extra` below the
// loop's): an expression statement, or a block of expression statements
// and `var` stores of locals, ending where the skipping scanner ends it
// (the walker skips the branch not taken). A block's statements after its
// first get a mark each: when one gives up, the walker finishes the block
// from there and ends the `if` (`info`: the branch's BranchInfo, whose
// `after` and `end` the `if`'s reader fills in, and its flags).
Tok ReadBranch(LoopReader &lr, Tok s, uint32_t extra, uint32_t info) {
    RunContext *ctx = lr.r.ctx;
    Tok end;
    if (*s != TK_LBRACE) {
        end = ReadExpressionStatement(lr, s, extra);
    } else {
        // The block's level is the walker's, if nothing else reaches it.
        if (extra > lr.depth) lr.depth = extra;
        if (lr.nbranches == kLoopMaxBranches) return nullptr;
        uint32_t index = lr.nbranches++;
        lr.branches[index] = BranchInfo{0, 0, 0, static_cast<uint32_t>(s - ctx->code->codes)};
        bool first = true;
        for (Tok p = s + 1;;) {
            while (*p == TK_LINE || *p == TK_SEMI) ++p;
            if (*p == TK_RBRACE) {
                end = p + 1;
                break;
            }
            if (!first && !lr.MarkAt(kBranchMark, p, index | info)) return nullptr;
            first = false;
            Tok q = *p == KW_VAR ? ReadVarStatement(lr, p, extra + 1) : ReadExpressionStatement(lr, p, extra + 1);
            if (!q || !Scan_EndsStatement(q)) return nullptr;
            p = q;
        }
    }
    if (!end || Ev_StatementEnd(ctx, s) != end) return nullptr;
    return end;
}

// A branch of the `if` at ifTok as ReadBranch reads it; when it cannot,
// the walker runs the branch from the form (BranchStatement: the condition
// stays the form's), except in a loop inside the loop, which is then no
// part of the form.
Tok ReadBranchOrWalk(LoopReader &lr, Tok s, uint32_t extra, uint32_t info, Tok ifTok, bool inBlock) {
    Reader &r = lr.r;
    ReadPoint before(lr);
    if (Tok end = ReadBranch(lr, s, extra, info)) return end;
    if (!before.Back(lr, s)) return nullptr;
    Tok end = Ev_StatementEnd(r.ctx, s);
    if (extra > lr.depth) lr.depth = extra;
    uint32_t at = r.Emit(FormKind::BranchStatement, static_cast<uint32_t>(s - r.ctx->code->codes));
    if (!r.ok) return nullptr;
    r.ops[at].pad = inBlock;
    r.ops[at].branch.stmtEnd = static_cast<uint32_t>(end - r.ctx->code->codes);
    r.ops[at].branch.ifTok = static_cast<uint32_t>(ifTok - r.ctx->code->codes);
    return end;
}

// `if (c) s1` or `if (c) s1 else s2`, each branch one ReadBranchOrWalk reads;
// `mark` is the `if`'s own mark (the walker runs the whole `if` again when
// its condition or a branch's first statement gives up).
Tok ReadIfStatement(LoopReader &lr, Tok s, uint32_t extra, uint32_t mark, bool inBlock) {
    Tok open = Scan_Lines(s + 1);
    if (*open != TK_LPAREN) return nullptr;
    Tok c = lr.Part(Scan_Lines(open + 1), extra, ReadCommaPart, true);
    if (!c) return nullptr;
    Tok close = Scan_Lines(c);
    if (*close != TK_RPAREN) return nullptr;
    uint32_t test = lr.r.count;
    lr.Emit(FormKind::JumpIfFalse);
    uint32_t firstBranch = lr.nbranches;
    uint32_t flags = inBlock ? kBranchInBlock : 0;
    Tok thenEnd = ReadBranchOrWalk(lr, Scan_Lines(close + 1), extra + 1, flags | kBranchThen, s, inBlock);
    if (!thenEnd) return nullptr;
    Tok e = Scan_ElseOf(thenEnd);
    Tok end = thenEnd;
    if (!e) {
        lr.r.ops[test].arg = lr.r.target = lr.r.count;
    } else {
        uint32_t skip = lr.r.count;
        lr.Emit(FormKind::Jump);
        lr.r.ops[test].arg = lr.r.target = lr.r.count;
        // The else branch starts as the `if` does: the walker runs it all.
        const LoopMark &own = lr.marks[mark];
        if (!lr.MarkAt(own.phase, nullptr, 0)) return nullptr;
        lr.marks[lr.nmarks - 1].tok = own.tok;
        end = ReadBranchOrWalk(lr, Scan_Lines(e + 1), extra + 1, flags, s, inBlock);
        if (!end) return nullptr;
        lr.r.ops[skip].arg = lr.r.target = lr.r.count;
    }
    for (uint32_t k = firstBranch; k < lr.nbranches; ++k) {
        lr.branches[k].after = lr.r.count;
        lr.branches[k].ifTok = static_cast<uint32_t>(s - lr.r.ctx->code->codes);
        lr.branches[k].end = static_cast<uint32_t>(end - lr.r.ctx->code->codes);
    }
    return end;
}

Tok ReadBody(LoopReader &lr, Tok body, uint32_t base);


// `while (c) s` or `for (init; c; u) s` at s, a statement of the body at
// level `extra`, whose condition and update have forms and whose body is
// read as a loop's body is (one level: a loop inside it is a statement the
// walker runs). Its end, or null.
Tok ReadNestedLoop(LoopReader &lr, Tok s, uint32_t extra, bool inBlock) {
    RunContext *ctx = lr.r.ctx;
    if (lr.inNest || lr.nnests == kLoopMaxNests) return nullptr;
    Tok open = Scan_Lines(s + 1);
    if (*open != TK_LPAREN) return nullptr;
    Tok close = Ev_GroupEnd(ctx, open);
    if (close[-1] != TK_RPAREN) return nullptr;
    Tok cond = nullptr, update = nullptr, semi = nullptr;
    if (*s == KW_WHILE) {
        cond = Scan_Lines(open + 1);
    } else {
        // The first clause, run as the walker's St_Statement runs it.
        semi = Scan_Lines(open + 1);
        if (*semi != TK_SEMI) {
            Tok e = *semi == KW_VAR ? ReadVarStatement(lr, semi, extra + 1)
                                    : ReadExpressionStatement(lr, semi, extra + 1);
            if (!e) return nullptr;
            semi = Scan_Lines(e);
            if (*semi != TK_SEMI) return nullptr;
        }
        cond = Scan_Lines(semi + 1);
        if (*cond == TK_SEMI) {
            update = cond + 1;
            cond = nullptr;
        }
    }
    uint32_t index = lr.nnests++;
    NestInfo &n = lr.nests[index];
    n = NestInfo{lr.r.count, 0, static_cast<uint32_t>(s - ctx->code->codes), 0,
                 static_cast<uint32_t>(close - ctx->code->codes),
                 semi ? static_cast<uint32_t>(semi - ctx->code->codes) : 0, inBlock ? kNestInBlock : 0, 0};
    lr.Emit(FormKind::NestTop);
    uint32_t test = UINT32_MAX;
    if (cond) {
        if (!lr.Mark(LoopPhase::Cond, nullptr)) return nullptr;
        Tok c = lr.Part(cond, extra, ReadCommaPart, true);
        if (!c) return nullptr;
        c = Scan_Lines(c);
        if (*s == KW_WHILE ? c != close - 1 : *c != TK_SEMI) return nullptr;
        if (*s != KW_WHILE) update = c + 1;
        test = lr.r.count;
        lr.Emit(FormKind::JumpIfFalse);
    }
    lr.inNest = true;
    Tok end = ReadBody(lr, close, extra);
    lr.inNest = false;
    if (!end || Ev_StatementEnd(ctx, s) != end) return nullptr;
    if (update && Scan_Lines(update) != close - 1) {
        if (!lr.Mark(LoopPhase::Update, nullptr)) return nullptr;
        Tok u = lr.Part(update, extra, ReadCommaPart);
        if (!u || Scan_Lines(u) != close - 1) return nullptr;
        lr.Emit(FormKind::Pop);
    }
    lr.Emit(FormKind::NestNext, n.top + 1);
    n.after = lr.r.count;
    if (test != UINT32_MAX) lr.r.ops[test].arg = n.after;
    lr.r.target = n.after;
    n.end = static_cast<uint32_t>(end - ctx->code->codes);
    return end;
}

// A statement of a body (of its block when `inBlock`) at level `extra`:
// read into the form when it has one, else run by the walker from the
// form, ending where the skipping scanner ends it.
Tok ReadBodyStatement(LoopReader &lr, Tok s, uint32_t extra, bool inBlock) {
    if (*s == TK_END || *s == TK_RBRACE || !lr.Mark(LoopPhase::Body, inBlock ? s : nullptr)) return nullptr;
    Reader &r = lr.r;
    ReadPoint before(lr);
    Tok end = *s == KW_VAR                        ? ReadVarStatement(lr, s, extra)
              : *s == KW_IF                       ? ReadIfStatement(lr, s, extra, lr.nmarks - 1, inBlock)
              : *s == KW_WHILE || *s == KW_FOR    ? ReadNestedLoop(lr, s, extra, inBlock)
                                                  : ReadExpressionStatement(lr, s, extra);
    if (end) return end;
    if (!before.Back(lr, s)) return nullptr;
    end = Ev_StatementEnd(r.ctx, s);
    // The walker's own nesting for it is its own; the block's level is the form's.
    if (extra > lr.depth) lr.depth = extra;
    uint32_t at = r.Emit(FormKind::Statement, static_cast<uint32_t>(s - r.ctx->code->codes));
    if (!r.ok) return nullptr;
    r.ops[at].pad = inBlock;
    r.ops[at].stmtEnd = static_cast<uint32_t>(end - r.ctx->code->codes);
    return end;
}

// The body of a loop whose statement is at level `base` below the loop's
// form's own: `;`, a block of statements ending as the statement list's
// termination rule lets them end, or one statement. Its end, or null.
Tok ReadBody(LoopReader &lr, Tok body, uint32_t base) {
    Tok b = Scan_Lines(body);
    if (*b == TK_SEMI) return b + 1;
    if (*b != TK_LBRACE) return ReadBodyStatement(lr, b, base + 1, false);
    // The block's statement level and each statement's own.
    if (base + 1 > lr.depth) lr.depth = base + 1;
    for (Tok p = b + 1;;) {
        while (*p == TK_LINE || *p == TK_SEMI) ++p;
        if (*p == TK_RBRACE) return p + 1;
        Tok q = ReadBodyStatement(lr, p, base + 2, true);
        if (!q || !Scan_EndsStatement(q)) return nullptr;
        p = q;
    }
}

// The whole loop: the top of a pass, the condition, the body, the update.
Tok ReadLoop(LoopReader &lr, const LoopShape &shape) {
    lr.r.limit = kLoopMaxOps;
    lr.Emit(FormKind::LoopTop);
    uint32_t test = UINT32_MAX;
    if (shape.cond) {
        if (!lr.Mark(LoopPhase::Cond, nullptr)) return nullptr;
        Tok c = lr.Part(shape.cond, 0, ReadCommaPart, true);
        if (!c || *Scan_Lines(c) != shape.condEnd) return nullptr;
        test = lr.r.count;
        lr.Emit(FormKind::JumpIfFalse);
    }
    Tok end = ReadBody(lr, shape.body, 0);
    if (!end) return nullptr;
    if (shape.update) {
        if (!lr.Mark(LoopPhase::Update, nullptr)) return nullptr;
        Tok u = lr.Part(shape.update, 0, ReadCommaPart);
        if (!u || Scan_Lines(u) != shape.updateEnd) return nullptr;
        lr.Emit(FormKind::Pop);
    }
    lr.Emit(FormKind::Jump, 0);
    if (test != UINT32_MAX) lr.r.ops[test].arg = lr.r.count;
    lr.Emit(FormKind::Done);
    return lr.r.ok ? end : nullptr;
}

}  // namespace

bool Form_ReadLoop(RunContext *ctx, Tok loop, const LoopShape &shape, uint32_t passes) {
    // Tried at the 2nd, 16th and 128th pass of an entry into the loop
    // (the variables' hints and the body's branches are known by then),
    // once at each; after three failures never again.
    uint32_t *slot = ctx->forms + (loop - ctx->code->codes);
    if (passes != (2u << (3 * *slot))) return false;
    LoopReader lr;
    lr.r.ctx = ctx;
    // (Only the first try waits for a loop inside the loop to be reached
    // all through: a loop that runs fewer passes than the second try's
    // would otherwise never get its form.)
    lr.lastTry = *slot >= 1;
    Tok end = ReadLoop(lr, shape);
    if (!end || lr.unreached) {
        ++*slot;  // the third failure makes it FORM_NONE
        return false;
    }
    lr.r.depth = lr.depth;
    uint32_t at = Store(ctx, lr.r, loop, end, FORM_LEVEL_LOOP, lr.marks, lr.nmarks, lr.branches, lr.nbranches,
                        lr.nests, lr.nnests);
    *slot = at;
    return at != FORM_NONE;
}

}  // namespace quillon
