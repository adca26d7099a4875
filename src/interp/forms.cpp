// Remembered forms of expressions (see forms.h): the reader that makes a
// form by the walker's grammar, and the runner. A form is a head cell and a
// list of operations on a small stack of values that hold no share:
// numbers, booleans, null, undefined, and objects borrowed from the
// variables and members they were read from (nothing a form does before its
// last operation can release them).
#include "interp/forms.h"

#include "interp/binary.h"
#include "interp/hints.h"
#include "interp/interp.h"
#include "interp/poscache.h"
#include "objects/member.h"
#include "runtime/memory.h"
#include "values/convert.h"
#include "values/numops.h"

namespace quillon {

enum class FormKind : uint8_t {
    Number,       // push num
    Boolean,      // push arg != 0
    Null,         // push null
    This,         // push the this value
    Variable,     // push the value of the identifier at token arg (through its hint)
    Local,        // push local arg of the running activation, named id
    Parameter,    // push parameter arg of the running activation, named id
    Store,        // top into local arg named id (op: the compound operator, or None)
    Increment,    // local arg named id op= 1 (Add or Sub); push its old value (pad 1) or new
    GetNamed,     // top = member id of top (arg: the name's token, whose hint it keeps)
    GetElem,      // pop key; top = element key of top
    StoreNamed,   // pop value; top = value, stored in member id of top (op as Store)
    StoreElem,    // pop value, key; top = value, stored in element key of top
    Pop,          // pop (the value of a comma operand)
    Binary,       // pop b; top = top op b (two numbers)
    BinaryConst,  // top = top op num (two numbers): a number literal and Binary in one
    BinaryLocal,  // top = top op local arg named id (two numbers): Local and Binary in one
    Equality,     // pop b; top = top arg b (arg: == != === or !==)
    Negate,       // top = -top (a number)
    Plus,         // top stays (a number)
    BitNot,       // top = ~top (a number)
    Not,          // top = !top
    And,          // top falsy: go to arg; else pop
    Or,           // top truthy: go to arg; else pop
    JumpIfFalse,  // pop; falsy: go to arg
    Jump,         // go to arg
    End,          // the form's value is the one on the stack (after the last operation)
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
    uint32_t refAt = UINT32_MAX;  // count after the member read that ends the operand just read
    uint32_t target = UINT32_MAX; // the operation a jump was last pointed at
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
Tok ReadKey(Reader &r, Tok p, uint32_t level);
Tok ReadMemberAssignment(Reader &r, Tok start, uint32_t level);

inline bool IsStore(FormKind k) {
    return k == FormKind::Store || k == FormKind::StoreNamed || k == FormKind::StoreElem ||
           k == FormKind::Increment;
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
        if (IsStore(r.ops[r.count - 1].kind)) return nullptr;
        r.Emit(FormKind::Pop);
        --r.sp;
        q = part(r, c + 1, level);
    }
    return r.ok ? q : nullptr;
}

// The key of a member read by key: a comma expression without assignments,
// read as the walker reads it.
Tok ReadKey(Reader &r, Tok p, uint32_t level) { return ReadCommaOf(r, p, level, ReadAssignLevel); }

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
    // by key; no call, `++` or `--`.
    r.refAt = UINT32_MAX;
    for (;;) {
        uint32_t n;
        Tok q = Scan_NextPostfix(p, &n);
        if (n == TK_DOT) {
            Tok nameTok = Scan_Lines(q + 1);
            IdEntry *id = Tk_IsOperand(*nameTok) ? Lex_IdOfOperand(r.ctx->store, *nameTok) : nullptr;
            if (!id) return nullptr;
            r.EmitNamed(FormKind::GetNamed, static_cast<uint32_t>(nameTok - r.ctx->code->codes), id);
            r.refAt = r.count;
            p = nameTok + 1;
            continue;
        }
        if (n == TK_LBRACKET) {
            Tok k = ReadKey(r, q + 1, level);
            if (!k) return nullptr;
            k = Scan_Lines(k);
            if (*k != TK_RBRACKET) return nullptr;
            r.Emit(FormKind::GetElem);
            --r.sp;
            r.refAt = r.count;
            p = k + 1;
            continue;
        }
        if (n == TK_LPAREN || n == TK_INC || n == TK_DEC) return nullptr;
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

// An expression without assignment, or an assignment to a member read last
// in it: `a.b = e`, `this.b op= e`, `a[k] = e` (the walker reads the
// target as a conditional expression, then the assignment operator).
Tok ReadMemberAssignment(Reader &r, Tok start, uint32_t level) {
    Tok q = ReadExpr(r, start, TK_LOGOR, level);
    if (!q) return nullptr;
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
    return e;
}

// `name++`, `name--`, `++name` or `--name` of a local as a whole assignment
// expression (the walker would read on into an operator after it).
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
    if (!hint || (*hint & 3) != HINT_LOCAL) return nullptr;
    if (level + 1 > r.depth) r.depth = level + 1;
    uint32_t at = r.EmitNamed(FormKind::Increment, *hint >> 2, id, op == TK_INC ? NumOp::Add : NumOp::Sub);
    if (r.ok) r.ops[at].pad = postfix;
    r.Push();
    return end;
}

// An assignment expression at the top of a form: `name = e` or
// `name op= e` into a local of the running function, or an expression
// without assignment.
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
        if (n == NumOp::None) return nullptr;
        q = ReadExpr(r, opTok + 1, Tk_Group(op) + 16, level);
        bool equality = op == TK_EQ || op == TK_NE || op == TK_SEQ || op == TK_SNE;
        FormOp *last = q && r.ok && r.count ? &r.ops[r.count - 1] : nullptr;
        if (!equality && last && r.target != r.count &&
            (last->kind == FormKind::Number || last->kind == FormKind::Local)) {
            // A right operand read last as one push is taken by the operator
            // itself: the same reads and checks in one operation. (Not when
            // a jump lands on the operator: it would skip the push.)
            last->kind = last->kind == FormKind::Number ? FormKind::BinaryConst : FormKind::BinaryLocal;
            last->op = n;
        } else {
            r.Emit(equality ? FormKind::Equality : FormKind::Binary, op, 0, n);
        }
        --r.sp;
    }
    return r.ok ? q : nullptr;
}

// Adds a form to the program's store; its index, or FORM_NONE.
uint32_t Store(RunContext *ctx, const Reader &r, Tok start, Tok end, uint32_t level) {
    CodeCache *caches = Cache_Of(ctx->code);
    if (!caches) return FORM_NONE;
    uint32_t at = caches->formUsed;
    if (!Arr_EnsureT(caches->formStore, at + 2 + r.count)) return FORM_NONE;
    FormCell *cells = caches->formStore + at;
    cells[0].head = FormHead{static_cast<uint32_t>(end - ctx->code->codes), static_cast<uint16_t>(level),
                             static_cast<uint16_t>(r.count), static_cast<uint16_t>(r.depth), 0,
                             static_cast<uint32_t>(start - ctx->code->codes)};
    for (uint32_t k = 0; k < r.count; ++k) cells[1 + k].op = r.ops[k];
    cells[1 + r.count].op = FormOp{FormKind::End, NumOp::None, 0, 0, {0}};
    caches->formUsed = at + 2 + r.count;
    return at + FORM_FIRST;
}

// The kinds of value a form's stack holds (see the top of this file).
__attribute__((always_inline)) inline bool FormValue(const JSAny *v) {
    return (v->type >= JSANY_NUMBER && v->type <= JSANY_UNDEFINED) || (v->type == JSANY_OBJECT && v->obj);
}

// Reads a value through a variable or member for the stack: false when it
// is of a kind a form does not hold.
__attribute__((always_inline)) inline bool Take(JSAny *to, const JSAny *from) {
    if (!FormValue(from)) return false;
    *to = *from;
    return true;
}

// The value of a named member of the object in *b, into *b: an own stored
// property is borrowed; a member found elsewhere (computed, inherited) is a
// copy and is taken only when it holds no share.
inline bool ReadNamed(RunContext *ctx, JSAny *b, const IdEntry *id, uint32_t nameTok) {
    if (b->type != JSANY_OBJECT || !b->obj || !Obj_PlainMembers(b->obj)) return false;
    uint32_t *hint = HintSlot(ctx, ctx->code->codes + nameTok);
    if (PropRec *pr = Obj_OwnNamedHinted(b->obj, id, hint)) {
        if (pr->value.type == JSANY_UNDECLARED) {
            *b = JSAny_Undef();
            return true;
        }
        return Take(b, &pr->value);
    }
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
__attribute__((always_inline)) inline void Put(JSAny *var, const JSAny *value) {
    JSAny old = *var;
    JSAny_InitFrom(var, value);
    JSAny_Clear(&old);
}

// A compound assignment's combination of the variable's value with the
// right side, into *value: both numbers, or false.
__attribute__((always_inline)) inline bool Combine(NumOp op, const JSAny *var, JSAny *value) {
    if (op == NumOp::None) return true;
    if (var->type != JSANY_NUMBER || value->type != JSANY_NUMBER) return false;
    JSAny v = *var;
    Num_Binary(op, &v, value->num);
    *value = v;
    return true;
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
    if (end && (r.count > 1 || IsStore(r.ops[0].kind))) {
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
    Tok codes = ctx->code->codes;
    JSAny st[kFormStack];
    uint32_t sp = 0;
    for (uint32_t pc = 0;;) {
        const FormOp &o = ops[pc++];
        switch (o.kind) {
        case FormKind::Number:
            st[sp++] = JSAny_Num(o.num);
            break;
        case FormKind::Boolean:
            st[sp++] = JSAny_Bool(o.arg != 0);
            break;
        case FormKind::Null:
            st[sp++] = JSAny_Null();
            break;
        case FormKind::This:
            if (!Take(&st[sp++], &ctx->thisValue)) goto miss;
            break;
        case FormKind::Variable: {
            const JSAny *v = Ev_OperandValue(ctx, codes + o.arg);
            if (!v || !Take(&st[sp++], v)) goto miss;
            break;
        }
        case FormKind::Local: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || !Take(&st[sp++], &l->value)) goto miss;
            break;
        }
        case FormKind::Parameter: {
            const JSAny *v = HintedParameter(ctx, o.arg << 2, o.id);
            if (!v || !Take(&st[sp++], v)) goto miss;
            break;
        }
        case FormKind::GetNamed:
            if (!ReadNamed(ctx, &st[sp - 1], o.id, o.arg)) goto miss;
            break;
        case FormKind::GetElem: {
            --sp;
            const JSAny &b = st[sp - 1];
            if (b.type != JSANY_OBJECT || !b.obj || st[sp].type != JSANY_NUMBER) goto miss;
            if (const JSAny *e = Obj_DenseAt(b.obj, st[sp].num)) {
                if (e->type == JSANY_UNDECLARED) st[sp - 1] = JSAny_Undef();
                else if (!Take(&st[sp - 1], e)) goto miss;
                break;
            }
            // A hole, an element past the dense store or along the chain:
            // a copy, taken only when it holds no share.
            JSAny v;
            if (!Obj_GetIndexPlain(b.obj, &st[sp], &v)) goto miss;
            if (v.type < 0) {
                JSAny_Clear(&v);
                goto miss;
            }
            if (!Take(&st[sp - 1], &v)) goto miss;
            break;
        }
        // The stores are the last operation of a form: nothing has been
        // changed before them, so they may still give up.
        case FormKind::Store: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || !Combine(o.op, &l->value, &st[sp - 1])) goto miss;
            Put(&l->value, &st[sp - 1]);
            break;
        }
        case FormKind::Increment: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || l->value.type != JSANY_NUMBER) goto miss;
            double old = l->value.num;
            Num_Binary(o.op, &l->value, 1);
            st[sp++] = JSAny_Num(o.pad ? old : l->value.num);
            break;
        }
        case FormKind::StoreNamed: {
            const JSAny &b = st[sp - 2];
            JSAny *var = b.type == JSANY_OBJECT && b.obj
                             ? Obj_NamedStoreSlot(b.obj, o.id, HintSlot(ctx, codes + o.arg))
                             : nullptr;
            if (!var || !Combine(o.op, var, &st[sp - 1])) goto miss;
            Put(var, &st[sp - 1]);
            st[sp - 2] = st[sp - 1];
            --sp;
            break;
        }
        case FormKind::StoreElem: {
            const JSAny &b = st[sp - 3];
            const JSAny &k = st[sp - 2];
            JSAny *var = b.type == JSANY_OBJECT && b.obj && k.type == JSANY_NUMBER ? Obj_DenseAt(b.obj, k.num)
                                                                                   : nullptr;
            if (!var || !Combine(o.op, var, &st[sp - 1])) goto miss;
            Put(var, &st[sp - 1]);
            st[sp - 3] = st[sp - 1];
            sp -= 2;
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
        case FormKind::BinaryConst:
            if (st[sp - 1].type != JSANY_NUMBER) goto miss;
            Num_Binary(o.op, &st[sp - 1], o.num);
            break;
        case FormKind::BinaryLocal: {
            Local *l = act ? LocalAt(act, o.arg) : nullptr;
            if (!l || l->id != o.id || l->value.type != JSANY_NUMBER || st[sp - 1].type != JSANY_NUMBER) goto miss;
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
            else if (!Op_LooseEqualsPlain(&l, &rv, &eq)) goto miss;
            l = JSAny_Bool(eq == (o.arg == TK_EQ || o.arg == TK_SEQ));
            break;
        }
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
        case FormKind::End:
            goto done;
        default:
            __builtin_unreachable();
        }
    }
done:
    JSAny_InitFrom(out, &st[0]);
    *end = codes + head.end;
    return true;
miss:
    if (++head.misses >= kFormMaxMisses) ctx->forms[head.start] = FORM_NONE;
    return false;
}

}  // namespace quillon
