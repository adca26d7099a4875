// Running remembered forms (see forms.h; the reader is forms.cpp, the cells
// are laid out in form_ops.h, a form's call and what follows it are run by
// form_calls.cpp): an expression's form (Form_Run) and a loop's
// (Form_RunLoop), whose operations run on a small stack of values that
// hold no share until the form's call: numbers, booleans, null, undefined,
// and objects borrowed from the variables and members they were read from
// (nothing a form does before its last operation can release them). What a
// loop's form cannot run it hands to the walker (HandOver) and goes on
// after it.
#include "interp/forms.h"

#include <cstring>

#include "interp/form_ops.h"
#include "interp/hints.h"
#include "interp/interp.h"
#include "interp/report.h"
#include "objects/member.h"
#include "runtime/memory.h"
#include "values/convert.h"
#include "values/numops.h"
#include "values/operators.h"

namespace quillon {

namespace {

// Runs given up before a form is dropped for good (its variables keep
// holding what forms do not take).
constexpr uint16_t kFormMaxMisses = 64;

// The kinds of value a form's stack holds (see the top of this file). A
// counted string is stored, or is a form's value, only when a share of it
// needs no memory (Storable).
__attribute__((always_inline)) inline bool FormValue(const JSAny *v) {
    return (v->type >= JSANY_NUMBER && v->type <= JSANY_UNDEFINED) || (v->type == JSANY_OBJECT && v->obj) ||
           v->type == JSANY_STRING;
}

// Reads a value through a variable or member for the stack: false when it
// is of a kind a form does not hold.
__attribute__((always_inline)) inline bool Take(JSAny *to, const JSAny *from) {
    if (!FormValue(from)) return false;
    *to = *from;
    return true;
}

// A stored value (a property's, an element's) borrowed for the stack: a
// declared but unset one reads as undefined.
__attribute__((always_inline)) inline bool TakeStored(JSAny *to, const JSAny *from) {
    if (from->type == JSANY_UNDECLARED) {
        *to = JSAny_Undef();
        return true;
    }
    return Take(to, from);
}

// The value of a named member of the object in *b, into *b: an own stored
// property is borrowed; a member found elsewhere (computed, inherited) is a
// copy and is taken only when it holds no share.
__attribute__((always_inline)) inline bool ReadNamed(RunContext *ctx, JSAny *b, const IdEntry *id, uint32_t nameTok, bool length) {
    if (b->type == JSANY_STRING && length) {
        *b = Obj_StringLength(b);
        return true;
    }
    if (b->type != JSANY_OBJECT || !b->obj || !Obj_PlainNamed(b->obj, id)) return false;
    uint32_t *hint = HintSlot(ctx, ctx->code->codes + nameTok);
    if (PropRec *pr = Obj_OwnNamedHinted(b->obj, id, hint)) return TakeStored(b, &pr->value);
    JSAny v;
    Obj_GetNamedInherited(b->obj, id, &v);
    if (v.type < 0) {
        JSAny_Clear(&v);
        return false;
    }
    return Take(b, &v);
}

// Stores the value into the variable (the last operation of a form): it
// takes its share, and the old value is released.
// (Values that own nothing, numbers above all, are copied in place; a share
// taken or dropped goes through a call, which keeps the runner's code small.)
__attribute__((noinline)) void PutShared(JSAny *var, const JSAny *value) {
    JSAny old = *var;
    JSAny_InitFrom(var, value);
    JSAny_Clear(&old);
}
__attribute__((always_inline)) inline void Put(JSAny *var, const JSAny *value) {
    if (__builtin_expect(var->type >= 0 && value->type >= 0, 1)) *var = *value;
    else PutShared(var, value);
}

// Whether a value on the stack may be stored or be a form's value: a share
// of it is taken then, which for a string at its share limit needs memory
// (the walker then makes the store, and meets the failure or not).
__attribute__((always_inline)) inline bool Storable(const JSAny *v) {
    return v->type != JSANY_STRING || JSAny_ShareIsFree(v);
}

// An element read or store through a string key (not the text of an array
// index): an own stored property, as the member fast paths find it
// (Obj_KeyedValue, Obj_KeyedStoreSlot). False when the general path must
// read or store it.
__attribute__((noinline)) bool ReadKeyed(JSAny *top, const JSAny *key) {
    JSAny *e = Obj_KeyedValue(top->obj, key);
    return e && TakeStored(top, e);
}
__attribute__((noinline)) bool StoreKeyed(NumOp op, Object *o, const JSAny *key, JSAny *value);

// A compound assignment's combination of the variable's value with the
// right side, into *value: both numbers, or false. A plain one stores the
// right side as it is, when it is storable.
__attribute__((always_inline)) inline bool Combine(NumOp op, const JSAny *var, JSAny *value) {
    if (op == NumOp::None) return Storable(value);
    if (var->type != JSANY_NUMBER || value->type != JSANY_NUMBER) return false;
    JSAny v = *var;
    Num_Binary(op, &v, value->num);
    *value = v;
    return true;
}

bool StoreKeyed(NumOp op, Object *o, const JSAny *key, JSAny *value) {
    JSAny *var = Obj_KeyedStoreSlot(o, key);
    if (!var || !Combine(op, var, value)) return false;
    Put(var, value);
    return true;
}

enum class RunEnd : uint8_t { Value, Miss, Done, Top, Statement, Call };

// Runs operations from *pc on the stack st (sp values on it) to the End
// operation (the value is st[0]), to a give-up (Miss, *pc just past the
// operation that gave up), or, for a loop's form (kLoop), to its end
// (Done), a pending signal at the top of a pass (Top; *ran is set at
// every top of a pass) or a statement for the walker (Statement, *pc just
// past its operation; the stack is empty there).
template <bool kLoop>
__attribute__((always_inline)) inline RunEnd RunOps(RunContext *ctx, const FormOp *ops, uint32_t &pc, JSAny *st,
                                                    uint32_t &sp, bool *ran, bool *innerRan = nullptr) {
    Activation *act = ctx->act;
    Tok codes = ctx->code->codes;
    for (;;) {
        const FormOp &o = ops[pc++];
        switch (o.kind) {
        case FormKind::Number:
            st[sp++] = JSAny_Num(o.num);
            break;
        case FormKind::String:
            st[sp++] = *o.value;
            break;
        case FormKind::Boolean:
            st[sp++] = JSAny_Bool(o.arg != 0);
            break;
        case FormKind::Null:
            st[sp++] = JSAny_Null();
            break;
        case FormKind::This:
            if (!Take(&st[sp++], &ctx->thisValue)) return RunEnd::Miss;
            break;
        case FormKind::Variable: {
            const JSAny *v = Ev_OperandValue(ctx, codes + o.arg);
            if (!v || !Take(&st[sp++], v)) return RunEnd::Miss;
            break;
        }
        case FormKind::Local: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || !Take(&st[sp++], &l->value)) return RunEnd::Miss;
            break;
        }
        case FormKind::Parameter: {
            const JSAny *v = HintedParameter(ctx, o.arg << 2, o.id);
            if (!v || !Take(&st[sp++], v)) return RunEnd::Miss;
            break;
        }
        case FormKind::GetNamed:
            if (!ReadNamed(ctx, &st[sp - 1], o.id, o.arg, o.pad)) return RunEnd::Miss;
            break;
        case FormKind::GetElem: {
            --sp;
            const JSAny &b = st[sp - 1];
            if (b.type != JSANY_OBJECT || !b.obj) return RunEnd::Miss;
            if (st[sp].type != JSANY_NUMBER) {
                if (st[sp].type != JSANY_STRING || !ReadKeyed(&st[sp - 1], &st[sp])) return RunEnd::Miss;
                break;
            }
            if (const JSAny *e = Obj_DenseAt(b.obj, st[sp].num)) {
                if (!TakeStored(&st[sp - 1], e)) return RunEnd::Miss;
                break;
            }
            // A hole, an element past the dense store or along the chain:
            // a copy, taken only when it holds no share.
            JSAny v;
            if (!Obj_GetIndexPlain(b.obj, &st[sp], &v)) return RunEnd::Miss;
            if (v.type < 0) {
                JSAny_Clear(&v);
                return RunEnd::Miss;
            }
            if (!Take(&st[sp - 1], &v)) return RunEnd::Miss;
            break;
        }
        // The stores are the last operation of a form: nothing has been
        // changed before them, so they may still give up.
        case FormKind::Store: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || !Combine(o.op, &l->value, &st[sp - 1])) return RunEnd::Miss;
            Put(&l->value, &st[sp - 1]);
            break;
        }
        case FormKind::Increment: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            double old, now;
            if (!l || l->id != o.id || !Num_Step(&l->value, o.op, &old, &now)) return RunEnd::Miss;
            st[sp++] = JSAny_Num(o.pad ? old : now);
            break;
        }
        case FormKind::StoreHinted: {
            const uint32_t *hint = HintSlot(ctx, codes + o.arg);
            JSAny *var = hint ? HintedVariable(ctx, *hint, o.id, codes[o.arg]) : nullptr;
            if (!var || !Combine(o.op, var, &st[sp - 1])) return RunEnd::Miss;
            Put(var, &st[sp - 1]);
            break;
        }
        case FormKind::IncrementHinted: {
            const uint32_t *hint = HintSlot(ctx, codes + o.arg);
            JSAny *var = hint ? HintedVariable(ctx, *hint, o.id, codes[o.arg]) : nullptr;
            double old, now;
            if (!var || !Num_Step(var, o.op, &old, &now)) return RunEnd::Miss;
            st[sp++] = JSAny_Num(o.pad ? old : now);
            break;
        }
        case FormKind::StoreNamed: {
            const JSAny &b = st[sp - 2];
            if (b.type != JSANY_OBJECT || !b.obj) return RunEnd::Miss;
            uint32_t *hint = HintSlot(ctx, codes + o.arg);
            if (JSAny *var = Obj_NamedStoreSlot(b.obj, o.id, hint)) {
                if (!Combine(o.op, var, &st[sp - 1])) return RunEnd::Miss;
                Put(var, &st[sp - 1]);
            } else if (o.op != NumOp::None || !Storable(&st[sp - 1]) ||
                       !Obj_AddNamedInRoom(b.obj, o.id, &st[sp - 1], hint)) {
                // A member the object has not: added as the general store
                // adds it when that needs no memory (a constructor's
                // objects have room for what its last object ended with);
                // else the walker adds it. A compound store would read it
                // from the prototype chain.
                return RunEnd::Miss;
            }
            st[sp - 2] = st[sp - 1];
            --sp;
            break;
        }
        case FormKind::IncrementNamed: {
            // (An own stored property holding a number, as the walker's
            // IncDec changes it in place.)
            JSAny &b = st[sp - 1];
            JSAny *var = b.type == JSANY_OBJECT && b.obj
                             ? Obj_NamedStoreSlot(b.obj, o.id, HintSlot(ctx, codes + o.arg))
                             : nullptr;
            double old, now;
            if (!var || !Num_Step(var, o.op, &old, &now)) return RunEnd::Miss;
            b = JSAny_Num(o.pad ? old : now);
            break;
        }
        case FormKind::StoreElem: {
            const JSAny &b = st[sp - 3];
            const JSAny &k = st[sp - 2];
            if (b.type != JSANY_OBJECT || !b.obj) return RunEnd::Miss;
            if (k.type != JSANY_NUMBER) {
                if (k.type != JSANY_STRING || !StoreKeyed(o.op, b.obj, &k, &st[sp - 1])) return RunEnd::Miss;
            } else if (JSAny *var = Obj_DenseAt(b.obj, k.num)) {
                if (!Combine(o.op, var, &st[sp - 1])) return RunEnd::Miss;
                Put(var, &st[sp - 1]);
            } else if (o.op != NumOp::None || !Storable(&st[sp - 1]) ||
                       Obj_PutIndexPlain(b.obj, &k, &st[sp - 1]) != 0) {
                // A hole, or past the dense store: a plain store is made as
                // the general path makes it; a compound one would read
                // what is not a number. (When memory runs out nothing is
                // done and the walker makes the store.)
                return RunEnd::Miss;
            }
            st[sp - 3] = st[sp - 1];
            sp -= 2;
            break;
        }
        case FormKind::CalleeSlot: {
            JSAny *var;
            if (o.pad == 0) {
                Local *l = act ? LocalAt(act, o.arg) : nullptr;
                var = l && l->id == o.id ? &l->value : nullptr;
            } else {
                const uint32_t *hint = HintSlot(ctx, codes + o.arg);
                var = hint ? HintedVariable(ctx, *hint, o.id, codes[o.arg]) : nullptr;
            }
            if (!var) return RunEnd::Miss;
            st[sp].type = JSREF_VARIABLE;
            st[sp++].ptr = var;
            break;
        }
        case FormKind::Pop:
            --sp;
            break;
        case FormKind::Binary:
            --sp;
            if (st[sp - 1].type != JSANY_NUMBER || st[sp].type != JSANY_NUMBER) return RunEnd::Miss;
            Num_Binary(o.op, &st[sp - 1], st[sp].num);
            break;
        case FormKind::BinaryConst:
            if (st[sp - 1].type != JSANY_NUMBER) return RunEnd::Miss;
            Num_Binary(o.op, &st[sp - 1], o.num);
            break;
        case FormKind::BinaryLocal: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || l->value.type != JSANY_NUMBER || st[sp - 1].type != JSANY_NUMBER) return RunEnd::Miss;
            Num_Binary(o.op, &st[sp - 1], l->value.num);
            break;
        }
        case FormKind::Equality: {
            --sp;
            JSAny &l = st[sp - 1];
            const JSAny &rv = st[sp];
            if (l.type == JSANY_NUMBER && rv.type == JSANY_NUMBER) {
                Num_Binary(o.op, &l, rv.num);
                break;
            }
            bool eq;
            if (o.arg == TK_SEQ || o.arg == TK_SNE) eq = Op_StrictEquals(&l, &rv);
            else if (!Op_LooseEqualsPlain(&l, &rv, &eq)) return RunEnd::Miss;
            l = JSAny_Bool(eq == (o.arg == TK_EQ || o.arg == TK_SEQ));
            break;
        }
        case FormKind::Negate:
            if (st[sp - 1].type != JSANY_NUMBER) return RunEnd::Miss;
            st[sp - 1].num = Num_Negate(st[sp - 1].num);
            break;
        case FormKind::Plus:
            if (st[sp - 1].type != JSANY_NUMBER) return RunEnd::Miss;
            break;
        case FormKind::BitNot:
            if (st[sp - 1].type != JSANY_NUMBER) return RunEnd::Miss;
            st[sp - 1].num = Num_BitNot(st[sp - 1].num);
            break;
        case FormKind::Not:
            st[sp - 1] = JSAny_Bool(!JSAny_Truth(&st[sp - 1]));
            break;
        case FormKind::And:
            if (!JSAny_Truth(&st[sp - 1])) pc = o.arg;
            else --sp;
            break;
        case FormKind::Or:
            if (JSAny_Truth(&st[sp - 1])) pc = o.arg;
            else --sp;
            break;
        case FormKind::JumpIfFalse:
            // (A comparison's boolean, the common case, tested here.)
            --sp;
            if (st[sp].type == JSANY_BOOLEAN ? !st[sp].flag : !JSAny_Truth(&st[sp])) pc = o.arg;
            break;
        case FormKind::Jump:
            pc = o.arg;
            break;
        case FormKind::Call:
            if constexpr (kLoop) __builtin_unreachable();
            return RunEnd::Call;
        case FormKind::End:
            // A value that cannot be taken (no store was made then).
            if (!Storable(&st[0])) return RunEnd::Miss;
            return RunEnd::Value;
        case FormKind::LoopTop:
            if constexpr (!kLoop) __builtin_unreachable();
            // As at the top of the walker's passes: the safe point, and the
            // walker's own check when a signal is pending.
            Obj_SafePoint();
            *ran = true;
            if (Err_BreakPending(ctx->breakMask)) return RunEnd::Top;
            break;
        case FormKind::NestTop:
            if constexpr (!kLoop) __builtin_unreachable();
            // The top of the first pass of a loop inside the loop, as at
            // LoopTop (*innerRan: a whole pass of it has run).
            Obj_SafePoint();
            *innerRan = false;
            if (Err_BreakPending(ctx->breakMask)) return RunEnd::Top;
            break;
        case FormKind::NestNext:
            if constexpr (!kLoop) __builtin_unreachable();
            // The top of its next pass.
            Obj_SafePoint();
            *innerRan = true;
            if (Err_BreakPending(ctx->breakMask)) return RunEnd::Top;
            pc = o.arg;
            break;
        case FormKind::StatementEnd: {
            if constexpr (!kLoop) __builtin_unreachable();
            // As a statement run from its form in a statement list (a
            // string value gives up, as at End).
            if (!Storable(&st[0])) return RunEnd::Miss;
            ctx->noValueAt = nullptr;
            Put(&ctx->completion, &st[0]);
            sp = 0;
            break;
        }
        case FormKind::Done:
            if constexpr (!kLoop) __builtin_unreachable();
            return RunEnd::Done;
        case FormKind::Statement:
        case FormKind::BranchStatement:
            if constexpr (!kLoop) __builtin_unreachable();
            return RunEnd::Statement;
        default:
            __builtin_unreachable();
        }
    }
}

}  // namespace

bool Form_Run(RunContext *ctx, uint32_t index, uint32_t level, JSAny *out, Tok *end) {
    FormCell *cells = static_cast<CodeCache *>(ctx->code->cache)->formStore + index;
    FormHead &head = cells[0].head;
    // Locals and parameters are read by place only where no with or catch
    // scope stands between them and the code.
    if (head.level != level || ctx->nesting + head.depth > kMaxNesting || ctx->scopeCount != ctx->scopeBase)
        return false;
    JSAny st[kFormStack];
    uint32_t pc = 0, sp = 0;
    RunEnd e = RunOps<false>(ctx, &cells[1].op, pc, st, sp, nullptr);
    if (e == RunEnd::Value) {
        JSAny_InitFrom(out, &st[0]);
        *end = ctx->code->codes + head.end;
        return true;
    }
    if (e == RunEnd::Call) {
        Tok after = ctx->code->codes + head.end;  // (the call may move the form)
        if (Form_RunCall(ctx, index, &cells[1].op, head.count, pc, st, sp, out)) {
            *end = after;
            return true;
        }
    }
    if (++head.misses >= kFormMaxMisses) ctx->forms[head.start] = FORM_NONE;
    return false;
}

// ---- loops' forms ----

namespace {

// The loop's form in the program's store (which may move while the walker
// runs a statement: it can add forms).
inline FormCell *LoopCells(RunContext *ctx, uint32_t index) {
    return static_cast<CodeCache *>(ctx->code->cache)->formStore + index;
}

// The loop inside the loop whose operations hold operation `at`, into *n.
inline bool NestAt(const FormCell *cells, uint32_t at, NestInfo *n) {
    const FormHead &head = cells[0].head;
    const FormOp &end = cells[1 + head.count].op;
    uint32_t nnests = end.pad >> 8;
    const FormCell *nests = cells + 2 + head.count + end.arg + (end.pad & 0xff);
    for (uint32_t k = 0; k < nnests; ++k) {
        memcpy(n, nests + 2 * k, sizeof *n);
        if (at >= n->top && at < n->after) return true;
    }
    return false;
}

// The walker's nesting and its block's member rule around what a loop's
// form hands it: `levels` more levels and, for a statement of a block,
// member reads of null and undefined failing, as the block has them; both
// as they were afterwards.
struct WalkerLevels {
    RunContext *ctx;
    uint32_t levels;
    bool member;
    WalkerLevels(RunContext *c, uint32_t n, bool block) : ctx(c), levels(n), member(c->memberError) {
        c->nesting += n;
        if (block) c->memberError = true;
    }
    ~WalkerLevels() {
        ctx->nesting -= levels;
        ctx->memberError = member;
    }
};

// A statement run by the walker for a loop's form, trying its own form
// first (an expression statement with one at its first token, a `return`,
// an `if`).
__attribute__((always_inline)) inline Tok RunStatementAt(RunContext *ctx, Tok s, uint32_t *c) {
    const uint32_t *form = Form_Slot(ctx, s);
    bool formed = *s == KW_RETURN || *s == KW_IF || (form && *form >= FORM_FIRST);
    Tok q = formed ? St_FormStatement(ctx, s, c) : nullptr;
    return q ? q : St_Statement(ctx, s, c);
}

// A statement of a loop's body (of its block when inBlock), at the level
// the walker's block would run it at. (The levels are set only for a
// block's statement: this is the path of every statement a loop's form
// hands over.)
__attribute__((always_inline)) inline Tok RunStatement(RunContext *ctx, Tok s, bool inBlock, uint32_t *c) {
    if (inBlock) {
        WalkerLevels at(ctx, 1, true);
        return RunStatementAt(ctx, s, c);
    }
    return RunStatementAt(ctx, s, c);
}

// The mark of the part that the operation before pc belongs to.
inline const LoopMark *MissMark(const FormCell *cells, uint32_t pc) {
    const FormHead &head = cells[0].head;
    const FormCell *marks = cells + 2 + head.count;
    uint32_t nmarks = cells[1 + head.count].op.arg;
    const LoopMark *m = &marks[0].mark;
    for (uint32_t k = 1; k < nmarks && marks[k].mark.pc < pc; ++k) m = &marks[k].mark;
    return m;
}

}  // namespace

namespace {

// What the walker runs for a loop's form that stopped at operation pc - 1
// with `e`: a statement (Statement), the rest of an `if`'s block branch (a
// give-up under a branch mark), and, when that belongs to a loop inside the
// loop, that loop to its end (also from a give-up in it or a signal at its
// top). True when the form goes on (at *pc); false when the pass goes on
// with the walker, after the statement of the body that did not end
// normally where it ends, as *resume says. Null *resume->after: neither
// (the form's own give-up or signal, handled by the caller).
__attribute__((noinline)) bool HandOver(RunContext *ctx, uint32_t index, RunEnd e, uint32_t *pc, bool innerRan,
                                        ListResume *resume) {
    FormCell *cells = LoopCells(ctx, index);
    Tok codes = ctx->code->codes;
    NestInfo n{};
    bool nested = NestAt(cells, *pc - 1, &n);
    const LoopMark *m = e == RunEnd::Miss ? MissMark(cells, *pc) : nullptr;
    bool branch = m && m->phase == kBranchMark;
    if (!nested && e != RunEnd::Statement && !branch) {
        resume->after = nullptr;
        return false;
    }
    FormHead &head = cells[0].head;
    // At the inner loop statement's level, as the walker's block runs it.
    bool loopInBlock = n.flags & kNestInBlock;
    WalkerLevels inLoop(ctx, nested ? loopInBlock + 1 : 0, nested && loopInBlock);
    Tok s = nullptr, q = nullptr, stmtEnd = nullptr;
    uint32_t c = 0, next = *pc;
    bool inBlock = false, drop = false;
    LoopEntry entry{LoopPhase::Top, ListResume{}, codes + n.body, codes + n.semi, nullptr};
    if (e == RunEnd::Statement && cells[*pc].op.kind == FormKind::BranchStatement) {
        // A branch of an `if` whose condition the form ran: the walker runs
        // it as IfBranches does, at the `if`'s and the branch's levels; the
        // form goes on when it ends normally where it ends, else its result
        // is the `if`'s.
        const FormOp &o = cells[*pc].op;
        Tok branchAt = codes + o.arg;
        s = codes + o.branch.ifTok;
        inBlock = o.pad;
        stmtEnd = codes + o.branch.stmtEnd;
        WalkerLevels at(ctx, inBlock + 1, inBlock);
        q = St_Branch(ctx, branchAt, &c);
    } else if (e == RunEnd::Statement) {
        const FormOp &o = cells[*pc].op;
        s = codes + o.arg;
        inBlock = o.pad;
        stmtEnd = codes + o.stmtEnd;
        q = RunStatement(ctx, s, inBlock, &c);
    } else if (branch) {
        // Given up in a block branch after its first statement: those
        // before it have run, so the walker goes on there.
        const FormOp &end = cells[1 + head.count].op;
        BranchInfo b = cells[2 + head.count + end.arg + (m->pad & ~(kBranchThen | kBranchInBlock))].branch;
        Tok from = codes + m->tok;
        bool then = m->pad & kBranchThen;
        inBlock = m->pad & kBranchInBlock;
        drop = ++head.misses >= kFormMaxMisses;
        if (drop) ctx->forms[head.start] = FORM_NONE;
        s = codes + b.ifTok;
        stmtEnd = codes + b.end;
        next = b.after;
        WalkerLevels at(ctx, inBlock, inBlock);
        q = St_BranchFrom(ctx, s, codes + b.brace, from, then, &c);
    } else if (e == RunEnd::Miss) {
        // Given up in a part of the inner loop: the walker goes on there.
        drop = ++head.misses >= kFormMaxMisses;
        if (drop) ctx->forms[head.start] = FORM_NONE;
        entry.phase = static_cast<LoopPhase>(m->phase);
        entry.resume.from = entry.phase == LoopPhase::Body && m->tok != UINT32_MAX ? codes + m->tok : nullptr;
    }
    // (Else a signal at the top of an inner loop's pass: the walker starts
    // that pass.)
    if (nested && (!s || c != 0 || q != stmtEnd || drop)) {
        // The inner loop's walker finishes it: after the statement that did
        // not end normally (or after the form was dropped), from the part
        // that gave up, or at the top of a pass.
        if (s) {
            entry.phase = LoopPhase::Body;
            entry.resume = ListResume{inBlock ? s : nullptr, q, c};
        }
        if (innerRan) entry.end = codes + n.end;
#ifdef QUILLON_CHECKS
        entry.resume.recovered = resume->recovered;
#endif
        q = St_LoopFrom(ctx, codes + n.loopTok, &entry, &c);
        s = codes + n.loopTok;
        inBlock = loopInBlock;
        stmtEnd = codes + n.end;
        next = n.after;
    }
    if (c != 0 || q != stmtEnd || drop) {
        *resume = ListResume{inBlock ? s : nullptr, q, c};
        return false;
    }
    *pc = next;
    return true;
}

}  // namespace

LoopPhase Form_RunLoop(RunContext *ctx, uint32_t index, ListResume *resume, Tok *bodyEnd) {
    FormCell *cells = LoopCells(ctx, index);
    if (ctx->nesting + cells[0].head.depth > kMaxNesting || ctx->scopeCount != ctx->scopeBase)
        return LoopPhase::Walk;
    JSAny st[kFormStack];
    Tok codes = ctx->code->codes;
#ifdef QUILLON_CHECKS
    uint32_t recoveries = gChkRecoveries;
#endif
    // The walker has made the pass's check: the form starts at the condition.
    uint32_t pc = 1, sp = 0;
    bool ran = false, innerRan = false;
    RunEnd e;
    while ((e = RunOps<true>(ctx, &cells[1].op, pc, st, sp, &ran, &innerRan)) != RunEnd::Done) {
        // (The walker may add forms while it runs: the form's cells are
        // found again in the store after it.)
        bool on;
        if (e == RunEnd::Statement && cells[pc].op.kind == FormKind::Statement &&
            !(cells[1 + cells[0].head.count].op.pad >> 8)) {
            // A statement of the body, in a form without loops inside (the
            // common case, kept short).
            const FormOp &o = cells[pc].op;
            Tok s = codes + o.arg;
            Tok stmtEnd = codes + o.stmtEnd;
            bool inBlock = o.pad;
            uint32_t c;
            Tok q = RunStatement(ctx, s, inBlock, &c);
            on = c == 0 && q == stmtEnd;
            if (!on) *resume = ListResume{inBlock ? s : nullptr, q, c};
        } else {
#ifdef QUILLON_CHECKS
            resume->recovered = recoveries != gChkRecoveries;
#endif
            // (pc passed as a copy: its address taken would keep it in
            // memory through the whole run of the operations.)
            uint32_t next = pc;
            on = HandOver(ctx, index, e, &next, innerRan, resume);
            pc = next;
        }
        cells = LoopCells(ctx, index);
        if (!on) {
            if (!resume->after) break;
            if (ran) *bodyEnd = codes + cells[0].head.end;
#ifdef QUILLON_CHECKS
            resume->recovered = recoveries != gChkRecoveries;
#endif
            return LoopPhase::Body;
        }
        sp = 0;
    }
    FormHead &head = cells[0].head;
    if (ran) *bodyEnd = codes + head.end;
    if (e == RunEnd::Done) {
        head.misses = 0;
        return LoopPhase::Done;
    }
    if (e == RunEnd::Top) return LoopPhase::Top;
    // Given up: the walker goes on at the part the operation belongs to.
    const LoopMark *m = MissMark(cells, pc);
    if (++head.misses >= kFormMaxMisses) ctx->forms[head.start] = FORM_NONE;
    LoopPhase phase = static_cast<LoopPhase>(m->phase);
    *resume = ListResume{phase == LoopPhase::Body && m->tok != UINT32_MAX ? codes + m->tok : nullptr, nullptr, 0};
#ifdef QUILLON_CHECKS
    resume->recovered = recoveries != gChkRecoveries;
#endif
    return phase;
}

}  // namespace quillon
