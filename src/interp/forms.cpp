// Remembered forms of expressions (see forms.h): the reader that makes a
// form by the walker's grammar, and the runner. A form is a head cell and a
// list of operations on a small stack of numbers and booleans.
#include "interp/forms.h"

#include "interp/binary.h"
#include "interp/hints.h"
#include "interp/interp.h"
#include "interp/poscache.h"
#include "runtime/memory.h"
#include "values/convert.h"
#include "values/numops.h"

namespace quillon {

enum class FormKind : uint8_t {
    Number,       // push num
    Boolean,      // push arg != 0
    Variable,     // push the value of the identifier at token arg (through its hint)
    Local,        // push local arg of the running activation, named id
    Parameter,    // push parameter arg of the running activation, named id
    Store,        // top into local arg named id (op: the compound operator, or None)
    Pop,          // pop (the value of a comma operand)
    Binary,       // pop b; top = top op b (two numbers)
    Negate,       // top = -top (a number)
    Plus,         // top stays (a number)
    BitNot,       // top = ~top (a number)
    Not,          // top = !top
    And,          // top falsy: go to arg; else pop
    Or,           // top truthy: go to arg; else pop
    JumpIfFalse,  // pop; falsy: go to arg
    Jump,         // go to arg
};

struct FormOp {
    FormKind kind;
    NumOp op;
    uint16_t pad;
    uint32_t arg;
    union {
        double num;
        const IdEntry *id;
    };
};

struct FormHead {
    uint32_t end;      // token index after the expression
    uint16_t level;    // the level it was read at (forms.h)
    uint16_t count;    // operations that follow
    uint16_t depth;    // nesting the walker would use for it
    uint16_t misses;   // runs given up so far
    uint32_t start;    // token index of the expression
};

struct FormCell {
    union {
        FormHead head;
        FormOp op;
    };
};
static_assert(sizeof(FormCell) == 16, "a form cell is 16 bytes");

namespace {

// Limits of a form: operations, stack, nesting of the reader.
constexpr uint32_t kFormMaxOps = 64;
constexpr uint32_t kFormStack = 16;
constexpr uint32_t kFormMaxLevel = 24;
// Runs given up before a form is dropped for good (its variables keep
// holding what forms do not take).
constexpr uint16_t kFormMaxMisses = 64;

struct Reader {
    RunContext *ctx;
    FormOp ops[kFormMaxOps];
    uint32_t count = 0;
    uint32_t sp = 0;
    uint32_t maxSp = 0;
    uint32_t depth = 0;
    bool ok = true;

    uint32_t Emit(FormKind kind, uint32_t arg = 0, double num = 0, NumOp op = NumOp::None) {
        if (count == kFormMaxOps) {
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

Tok ReadExpr(Reader &r, Tok p, uint32_t minPrec, uint32_t level);

// An expression the walker reads as an assignment expression (AssignInto):
// a conditional expression not followed by an assignment operator.
Tok ReadAssignLevel(Reader &r, Tok p, uint32_t level) {
    Tok q = ReadExpr(r, Scan_Lines(p), TK_LOGOR, level);
    if (!q) return nullptr;
    if (Tk_IsAssign(*q) || (*q == TK_LINE && Tk_IsCompoundAssign(*Scan_Lines(q)))) return nullptr;
    return q;
}

// An operand and what may follow it; null when the walker would read more
// than a form holds.
Tok ReadOperand(Reader &r, Tok p, uint32_t level) {
    uint32_t t = *p;
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
        } else {
            const JSAny *c = Lex_SlotOfOperand(r.ctx->store, t);
            if (c->type != JSANY_NUMBER) return nullptr;
            r.Emit(FormKind::Number, 0, c->num);
        }
        r.Push();
        ++p;
    } else if (t == KW_TRUE || t == KW_FALSE) {
        r.Emit(FormKind::Boolean, t == KW_TRUE);
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
    // No postfix parts: a member, a call, `++`, `--` (a `.` may follow a
    // line break).
    uint32_t n = *p;
    if (n == TK_LINE) return *Scan_Lines(p) == TK_DOT ? nullptr : p;
    if (n == TK_DOT || n == TK_LBRACKET || n == TK_LPAREN || n == TK_INC || n == TK_DEC) return nullptr;
    return p;
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
    Tok q = ReadOperand(r, p, level);
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

// An assignment expression at the top of a form: `name = e` or
// `name op= e` into a local of the running function, or an expression
// without assignment.
Tok ReadAssignment(Reader &r, Tok p, uint32_t level) {
    Tok start = Scan_Lines(p);
    Tok opTok = start + 1;
    if (Tk_IsOperand(*start) && *opTok == TK_LINE && Tk_IsCompoundAssign(*Scan_Lines(opTok))) opTok = Scan_Lines(opTok);
    if (!Tk_IsOperand(*start) || !Tk_IsAssign(*opTok)) return ReadAssignLevel(r, start, level);
    IdEntry *id = Lex_IdOfOperand(r.ctx->store, *start);
    uint32_t *hint = id ? HintSlot(r.ctx, start) : nullptr;
    if (!hint || (*hint & 3) != HINT_LOCAL) return nullptr;
    // The walker reads the name (one level down), then the right side
    // inside the assignment's own nesting level.
    if (level + 1 > r.depth) r.depth = level + 1;
    Tok q = ReadAssignLevel(r, opTok + 1, level + 1);
    if (!q) return nullptr;
    uint32_t op = *opTok;
    NumOp n = op == TK_ASSIGN ? NumOp::None : Ev_Binary(Tk_BinaryOfAssign(op)).number;
    r.EmitNamed(FormKind::Store, *hint >> 2, id, n);
    return q;
}

// A comma expression: assignment expressions separated by commas, the
// value the last one's. Only the last part may store: a store is done for
// good, and a later part that gave the form up would have the walker
// evaluate the whole expression, the store a second time.
Tok ReadComma(Reader &r, Tok p) {
    Tok q = ReadAssignment(r, p, 0);
    while (q && r.ok) {
        Tok c = Scan_Lines(q);
        if (*c != TK_COMMA) return q;
        if (r.ops[r.count - 1].kind == FormKind::Store) return nullptr;
        r.Emit(FormKind::Pop);
        --r.sp;
        q = ReadAssignment(r, c + 1, 0);
    }
    return r.ok ? q : nullptr;
}

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
        if (op == TK_QUESTION) {
            uint32_t test = r.Emit(FormKind::JumpIfFalse);
            --r.sp;
            Tok b = ReadAssignLevel(r, opTok + 1, level);
            if (!b) return nullptr;
            Tok c = Scan_Lines(b);
            if (*c != TK_COLON) return nullptr;
            uint32_t skip = r.Emit(FormKind::Jump);
            --r.sp;
            r.ops[test].arg = r.count;
            q = ReadAssignLevel(r, c + 1, level);
            r.ops[skip].arg = r.count;
            continue;
        }
        if (op == TK_LOGOR || op == TK_LOGAND) {
            uint32_t at = r.Emit(op == TK_LOGOR ? FormKind::Or : FormKind::And);
            --r.sp;
            q = ReadExpr(r, opTok + 1, Scan_LogicalLevel(op).minPrec, level);
            r.ops[at].arg = r.count;
            continue;
        }
        NumOp n = Ev_Binary(op).number;
        if (n == NumOp::None) return nullptr;
        q = ReadExpr(r, opTok + 1, Tk_Group(op) + 16, level);
        r.Emit(FormKind::Binary, 0, 0, n);
        --r.sp;
    }
    return r.ok ? q : nullptr;
}

// Adds a form to the program's store; its index, or FORM_NONE.
uint32_t Store(RunContext *ctx, const Reader &r, Tok start, Tok end, uint32_t level) {
    CodeCache *caches = Cache_Of(ctx->code);
    if (!caches) return FORM_NONE;
    uint32_t at = caches->formUsed;
    if (!Arr_EnsureT(caches->formStore, at + 1 + r.count)) return FORM_NONE;
    FormCell *cells = caches->formStore + at;
    cells[0].head = FormHead{static_cast<uint32_t>(end - ctx->code->codes), static_cast<uint16_t>(level),
                             static_cast<uint16_t>(r.count), static_cast<uint16_t>(r.depth), 0,
                             static_cast<uint32_t>(start - ctx->code->codes)};
    for (uint32_t k = 0; k < r.count; ++k) cells[1 + k].op = r.ops[k];
    caches->formUsed = at + 1 + r.count;
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
    if (end && r.count > 1) {
        *slot = Store(ctx, r, start, end, level);
        return;
    }
    // No form at this level: the reader one level in may still make one
    // (it is reached right after, from the walker's reader of this level).
    constexpr uint32_t kSeen = FORM_SEEN;
    *slot = level == FORM_LEVEL_COMMA ? kSeen + FORM_LEVEL_ASSIGN : static_cast<uint32_t>(FORM_NONE);
}

bool Form_Run(RunContext *ctx, uint32_t index, uint32_t level, JSAny *out, Tok *end) {
    FormCell *cells = static_cast<CodeCache *>(ctx->code->cache)->formStore + index;
    FormHead &head = cells[0].head;
    // Locals and parameters are read by place only where no with or catch
    // scope stands between them and the code.
    if (head.level != level || ctx->nesting + head.depth > kMaxNesting || ctx->scopeCount != ctx->scopeBase)
        return false;
    Activation *act = ctx->act;
    const FormOp *ops = &cells[1].op;
    const uint32_t count = head.count;
    Tok codes = ctx->code->codes;
    JSAny st[kFormStack];
    uint32_t sp = 0;
    for (uint32_t pc = 0; pc < count;) {
        const FormOp &o = ops[pc++];
        switch (o.kind) {
        case FormKind::Number:
            st[sp++] = JSAny_Num(o.num);
            break;
        case FormKind::Boolean:
            st[sp++] = JSAny_Bool(o.arg != 0);
            break;
        case FormKind::Variable: {
            const JSAny *v = Ev_OperandValue(ctx, codes + o.arg);
            if (!v || (v->type != JSANY_NUMBER && v->type != JSANY_BOOLEAN)) goto miss;
            st[sp++] = *v;
            break;
        }
        case FormKind::Local: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || (l->value.type != JSANY_NUMBER && l->value.type != JSANY_BOOLEAN)) goto miss;
            st[sp++] = l->value;
            break;
        }
        case FormKind::Parameter: {
            const JSAny *v = HintedParameter(ctx, o.arg << 2, o.id);
            if (!v || (v->type != JSANY_NUMBER && v->type != JSANY_BOOLEAN)) goto miss;
            st[sp++] = *v;
            break;
        }
        case FormKind::Store: {
            // The last operation of an assignment: nothing has been changed
            // before it, so it may still give up.
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || l->value.type < 0) goto miss;
            if (o.op != NumOp::None) {
                if (l->value.type != JSANY_NUMBER || st[sp - 1].type != JSANY_NUMBER) goto miss;
                JSAny v = l->value;
                Num_Binary(o.op, &v, st[sp - 1].num);
                st[sp - 1] = v;
            }
            l->value = st[sp - 1];
            break;
        }
        case FormKind::Pop:
            --sp;
            break;
        case FormKind::Binary:
            --sp;
            if (st[sp - 1].type != JSANY_NUMBER || st[sp].type != JSANY_NUMBER) goto miss;
            Num_Binary(o.op, &st[sp - 1], st[sp].num);
            break;
        case FormKind::Negate:
            if (st[sp - 1].type != JSANY_NUMBER) goto miss;
            st[sp - 1].num = Num_Negate(st[sp - 1].num);
            break;
        case FormKind::Plus:
            if (st[sp - 1].type != JSANY_NUMBER) goto miss;
            break;
        case FormKind::BitNot:
            if (st[sp - 1].type != JSANY_NUMBER) goto miss;
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
            --sp;
            if (!JSAny_Truth(&st[sp])) pc = o.arg;
            break;
        case FormKind::Jump:
            pc = o.arg;
            break;
        }
    }
    *out = st[0];
    *end = codes + head.end;
    return true;
miss:
    if (++head.misses >= kFormMaxMisses) ctx->forms[head.start] = FORM_NONE;
    return false;
}

}  // namespace quillon
