// Statements, executed straight from the token program. Each statement ends
// with a completion: normal (0), break, continue, return, case, default,
// throw, or a failure code.
#include <cstring>

#include "objects/object.h"
#include "values/progobj.h"
#include "values/space.h"
#include "interp/forms.h"
#include "interp/hints.h"
#include "interp/interp.h"
#include "lexer/code.h"
#include "objects/function.h"
#include "objects/member.h"
#include "runtime/idtable.h"
#include "interp/report.h"
#include "runtime/text.h"
#include "values/convert.h"
#include "values/operators.h"

namespace quillon {

namespace {

inline bool IsFailure(uint32_t c) {
    return c != 0 && c != CPL_BREAK && c != CPL_CONTINUE && c != CPL_RETURN && c != CPL_CASE &&
           c != CPL_DEFAULT && c != CPL_THROW;
}

// Failures no try statement stops for: no catch or finally part runs.
inline bool StopsRun(uint32_t c) { return c == ERR_NOMEM || (IsFailure(c) && Err_IsBreak(c)); }

inline IdEntry *IdAt(RunContext *ctx, Tok p) {
    return Tk_IsOperand(*p) ? Lex_IdOfOperand(ctx->store, *p) : nullptr;
}

// ---- labels ----------------------------------------------------------------

bool PushLabel(RunContext *ctx, IdEntry *label, Tok target) {
    if (!Arr_EnsureT(ctx->labels, ctx->labelCount + 1)) return false;
    ctx->labels[ctx->labelCount++] = LabelEntry{label, target};
    return true;
}

const LabelEntry *FindLabel(RunContext *ctx, IdEntry *label) {
    for (uint32_t i = ctx->labelCount; i > ctx->labelBase; --i) {
        const LabelEntry &e = ctx->labels[i - 1];
        if (e.label == label) return &e;
    }
    return nullptr;
}

// ---- conditions ------------------------------------------------------------

// `(` comma expression `)` as a value: the head of if, while, switch and
// with. A missing `(` is `noParen`, an empty expression `empty`. Returns the
// position after the `)`; *cpl receives a failure (and *out stays undefined).
Tok ParenValue(RunContext *ctx, Tok p, Tok keyword, uint32_t noParen, uint32_t empty, JSAny *out,
               uint32_t *cpl) {
    p = Scan_Lines(p);
    *cpl = 0;
    if (*p != TK_LPAREN) {
        *cpl = Ev_Fail(ctx, noParen, *p ? p : keyword);
        return p;
    }
    Tok q = Ev_CommaInline(ctx, p + 1, out);
    if (out->type == JSANY_ERROR) {
        *cpl = out->code;
        *out = JSAny_Undef();
        return q;
    }
    if (q == Scan_Lines(p + 1)) {
        *cpl = Ev_Fail(ctx, empty, Scan_Lines(q));
        return q;
    }
    q = Scan_Lines(q);
    if (*q != TK_RPAREN) {
        JSAny_Clear(out);
        *cpl = Ev_Fail(ctx, ROW_RPAREN, *q ? q : p);
        return q;
    }
    return q + 1;
}

// `(` expression `)` converted to a boolean.
Tok Condition(RunContext *ctx, Tok p, bool *truth, uint32_t *cpl, Tok keyword) {
    JSAny v = JSAny_Undef();
    Tok q = ParenValue(ctx, p, keyword, ROW_COND_EXPECTED, ROW_COND_EXPECTED, &v, cpl);
    if (*cpl) return q;
    *truth = JSAny_Truth(&v);
    JSAny_Clear(&v);
    return q;
}

// What a loop does with the completion of its body: 0 go on, 1 leave the
// loop normally, 2 leave it passing the completion on.
int LoopOutcome(RunContext *ctx, uint32_t c, Tok loop) {
    if (c == 0) return 0;
    if (c == CPL_CONTINUE && (!ctx->breakTarget || ctx->breakTarget == loop)) return 0;
    if (c == CPL_BREAK && (!ctx->breakTarget || ctx->breakTarget == loop)) return 1;
    return 2;
}

// The body of a loop, or nothing for a bare `;`.
inline Tok RunBody(RunContext *ctx, Tok body, uint32_t *c) {
    Tok b = Scan_Lines(body);
    if (*b == TK_SEMI) {
        *c = 0;
        return b + 1;
    }
    return St_Statement(ctx, b, c);
}

// Runs a loop's body once, or what is left of it when part of it ran from
// the loop's form (`resume`: a block going on at a statement, or the body
// that is one statement, run to resume->after); *end is where it ended and
// *c its completion. Answers as LoopOutcome does; on 2 *cpl receives the
// completion to pass on.
inline int LoopStep(RunContext *ctx, Tok body, Tok loop, Tok *end, uint32_t *c, uint32_t *cpl,
                    const ListResume *resume = nullptr) {
    if (!resume || (!resume->from && !resume->after)) {
        *end = RunBody(ctx, body, c);
    } else if (!resume->from) {
        *end = resume->after;
        *c = resume->cpl;
    } else {
        *end = St_Statement(ctx, body, c, resume);
    }
    int outcome = LoopOutcome(ctx, *c, loop);
    if (outcome == 2) *cpl = *c;
    return outcome;
}

// ---- statements ------------------------------------------------------------

// A block; its list going on where `resume` says when that is given (its
// first statements ran from their loop's form).
Tok Block(RunContext *ctx, Tok p, uint32_t *cpl, const ListResume *resume = nullptr) {
    bool savedMember = ctx->memberError;
    ctx->memberError = true;
    Tok q = St_List(ctx, p + 1, cpl, resume);
    ctx->memberError = savedMember;
    if (IsFailure(*cpl) || *cpl == CPL_THROW || *cpl == CPL_RETURN || *cpl == CPL_CONTINUE ||
        *cpl == CPL_CASE || *cpl == CPL_DEFAULT) {
        return q;
    }
    if (*cpl == CPL_BREAK) {
        if (ctx->breakTarget == p) {
            *cpl = 0;
            return Ev_GroupEnd(ctx, p);
        }
        return q;
    }
    q = Scan_Lines(q);
    if (*q != TK_RBRACE) {
        *cpl = Ev_Fail(ctx, ROW_RBRACE, *q ? q : p);
        return q;
    }
    return q + 1;
}

// Stores a declared variable's initial value (taken over) through a fresh
// resolution of its name: a parameter lives in the arguments object,
// anything else in the declared slot. Gives the failure, or 0.
uint32_t StoreByName(RunContext *ctx, Tok nameTok, JSAny *v) {
    EvalSlot ref;
    Slot_Init(&ref);
    if (Ev_Resolve(ctx, *nameTok, &ref, nameTok)) {
        JSAny_Clear(v);
        return ref.v.code;
    }
    Obj_PutMember(ctx, &ref, v);
    uint32_t st = Ev_Check(ctx, &ref.v, nameTok);
    JSAny_Clear(&ref.v);
    return st;
}

Tok VarStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    Tok q = p + 1;
    for (;;) {
        q = Scan_Lines(q);
        IdEntry *id = IdAt(ctx, q);
        if (!id) {
            *cpl = Ev_Fail(ctx, ROW_IDENT_EXPECTED, *q ? q : p);
            return Scan_SkipSimple(q);
        }
        Tok nameTok = q;
        // A local this statement declared before is found through its hint.
        JSAny *hinted = Ev_HintedLocal(ctx, nameTok, id);
        JSAny *slot = hinted ? hinted : St_Declare(ctx, id);
        if (!slot) {
            *cpl = ERR_NOMEM;
            return q + 1;
        }
        q = q + 1;
        Tok n = q;
        if (*n == TK_ASSIGN) {
            JSAny v = JSAny_Undef();
            Tok r = Ev_AssignValue(ctx, n + 1, &v);
            if (v.type == JSANY_ERROR) {
                *cpl = v.code;
                return r;
            }
            if (r == Scan_Lines(n + 1)) {
                *cpl = Ev_Fail(ctx, ROW_BAD_INIT, n);
                return Scan_SkipSimple(r);
            }
            if (hinted && v.type >= 0) {
                // Locals never move, so the slot still holds the variable.
                JSAny old = *hinted;
                *hinted = v;
                JSAny_Clear(&old);
            } else if (uint32_t st = StoreByName(ctx, nameTok, &v)) {
                *cpl = st;
                return r;
            }
            q = r;
        }
        Tok c = Scan_Lines(q);
        if (*c != TK_COMMA) {
            *cpl = 0;
            return q;
        }
        q = c + 1;
    }
}

// The branches of an `if` whose condition was `truth`, from q (after the
// condition's `)`): the one taken run, the other skipped.
Tok IfBranches(RunContext *ctx, Tok q, bool truth, uint32_t *cpl) {
    *cpl = 0;
    Tok thenEnd;
    if (truth) {
        thenEnd = St_Branch(ctx, q, cpl);
        if (*cpl) return thenEnd;
    } else {
        thenEnd = Ev_StatementEnd(ctx, q);
    }
    Tok e = Scan_ElseOf(thenEnd);
    if (!e) return thenEnd;
    if (truth) return Ev_StatementEnd(ctx, e + 1);
    return St_Branch(ctx, e + 1, cpl);
}

Tok IfStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    bool truth = false;
    Tok q = Condition(ctx, p + 1, &truth, cpl, p);
    if (*cpl) return q;
    return IfBranches(ctx, q, truth, cpl);
}

// `entry`: where its first pass goes on when the form of a loop around it
// ran it up to a point (St_LoopFrom).
Tok WhileStatement(RunContext *ctx, Tok p, uint32_t *cpl, const LoopEntry *entry = nullptr) {
    Tok body = entry ? entry->body : nullptr, end = entry ? entry->end : nullptr;
    LoopPhase start = entry ? entry->phase : LoopPhase::Walk;
    for (uint32_t passes = 0;; ++passes) {
        ListResume resume{};
        LoopPhase phase = start;
        start = LoopPhase::Walk;
        if (phase == LoopPhase::Body) {
            resume = entry->resume;
        } else if (phase != LoopPhase::Cond) {
            Obj_SafePoint();
            uint32_t st = Err_CheckBreakFast(ctx, p, ctx->breakMask);
            if (st) {
                *cpl = st;
                return end ? end : p + 1;
            }
            // Where the body is is known from the first pass on; so is the
            // condition's `(`.
            if (body) {
                LoopShape shape{Scan_Lines(Scan_Lines(p + 1) + 1), TK_RPAREN, nullptr, nullptr, body};
                phase = Form_Loop(ctx, p, shape, passes, &resume, &end);
            }
        }
        switch (phase) {
        case LoopPhase::Walk:
        case LoopPhase::Cond: break;
        case LoopPhase::Done: goto done;
        case LoopPhase::Top: continue;
        case LoopPhase::Body: goto body;
        case LoopPhase::Update: __builtin_unreachable();
        }
        {
            bool truth = false;
            body = Condition(ctx, p + 1, &truth, cpl, p);
            if (*cpl) return body;
            if (!truth) break;
        }
    body:
        uint32_t c;
        int outcome = LoopStep(ctx, body, p, &end, &c, cpl, &resume);
        if (outcome == 1) break;
        if (outcome == 2) return end;
    }
done:
    *cpl = 0;
    return Ev_StatementEnd(ctx, p);
}

Tok DoStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    Tok body = p + 1;
    Tok end = nullptr;
    for (;;) {
        Obj_SafePoint();
        uint32_t st = Err_CheckBreakFast(ctx, p, ctx->breakMask);
        if (st) {
            *cpl = st;
            return end ? end : p + 1;
        }
        uint32_t c;
        int outcome = LoopStep(ctx, body, p, &end, &c, cpl);
        if (outcome == 2) return end;
        // A body left by break or continue stopped inside itself: the
        // `while` part follows where the whole body ends.
        if (c != 0) end = Ev_StatementEnd(ctx, body);
        Tok w = Scan_Lines(end);
        if (*w == TK_SEMI) w = Scan_Lines(w + 1);
        if (*w != KW_WHILE) {
            *cpl = Ev_Fail(ctx, ROW_WHILE_EXPECTED, *w ? w : p);
            return w;
        }
        bool truth = false;
        if (outcome == 0) {
            Tok after = Condition(ctx, w + 1, &truth, cpl, w);
            if (*cpl) return after;
        }
        if (!truth) {
            *cpl = 0;
            return Ev_StatementEnd(ctx, p);
        }
    }
}

// The three-clause for statement; `header` is just after its `(`.
// `entry`: where its first pass goes on when the form of a loop around it
// ran it up to a point (St_LoopFrom); its first clause has run then.
Tok ForClassic(RunContext *ctx, Tok p, Tok header, Tok close, uint32_t *cpl, const LoopEntry *entry = nullptr) {
    Tok q = entry ? entry->semi : Scan_Lines(header);
    if (*q != TK_SEMI) {
        uint32_t c;
        q = St_Statement(ctx, q, &c);
        if (c) {
            *cpl = c;
            return q;
        }
        q = Scan_Lines(q);
        if (*q != TK_SEMI) {
            *cpl = Ev_Fail(ctx, ROW_SEMICOLON, *q ? q : p);
            return q;
        }
    }
    Tok cond = Scan_Lines(q + 1);
    Tok update;
    if (*cond == TK_SEMI) {
        update = cond + 1;
        cond = nullptr;
    } else {
        // Find the `;` after the condition (checked again when it runs).
        Tok s = cond;
        while (*s != TK_SEMI && s < close - 1) {
            if (*s == TK_LPAREN || *s == TK_LBRACKET || *s == TK_LBRACE) s = Ev_GroupEnd(ctx, s);
            else ++s;
        }
        update = s + 1;
    }
    // The update runs to the header's closing `)`.
    for (Tok s = update; s < close - 1;) {
        if (*s == TK_SEMI || *s == TK_LBRACE || *s == TK_RBRACE) {
            *cpl = Ev_Fail(ctx, ROW_RPAREN, s);
            return s;
        }
        if (*s == TK_LPAREN || *s == TK_LBRACKET) s = Ev_GroupEnd(ctx, s);
        else ++s;
    }
    Tok body = close;
    Tok end = entry ? entry->end : nullptr;
    bool hasUpdate = Scan_Lines(update) < close - 1;
    LoopShape shape{cond, TK_SEMI, hasUpdate ? update : nullptr, close - 1, body};
    LoopPhase start = entry ? entry->phase : LoopPhase::Walk;
    for (uint32_t passes = 0;; ++passes) {
        ListResume resume{};
        LoopPhase phase = start;
        start = LoopPhase::Walk;
        if (phase == LoopPhase::Body) {
            resume = entry->resume;
        } else if (phase != LoopPhase::Cond && phase != LoopPhase::Update) {
            Obj_SafePoint();
            uint32_t st = Err_CheckBreakFast(ctx, p, ctx->breakMask);
            if (st) {
                *cpl = st;
                return end ? end : close;
            }
            phase = Form_Loop(ctx, p, shape, passes, &resume, &end);
        }
        switch (phase) {
        case LoopPhase::Walk:
        case LoopPhase::Cond: break;
        case LoopPhase::Done: goto done;
        case LoopPhase::Top: continue;
        case LoopPhase::Body: goto body;
        case LoopPhase::Update: goto update;
        }
        if (cond) {
            JSAny v = JSAny_Undef();
            Tok r = Ev_CommaInline(ctx, cond, &v);
            if (v.type == JSANY_ERROR) {
                *cpl = v.code;
                return r;
            }
            if (r == cond) {
                *cpl = Ev_Fail(ctx, ROW_COND_EXPECTED, cond);
                return r;
            }
            r = Scan_Lines(r);
            if (*r != TK_SEMI) {
                JSAny_Clear(&v);
                *cpl = Ev_Fail(ctx, ROW_SEMICOLON, *r ? r : cond);
                return r;
            }
            bool truth = JSAny_Truth(&v);
            JSAny_Clear(&v);
            if (!truth) break;
        }
    body : {
        uint32_t c;
        int outcome = LoopStep(ctx, body, p, &end, &c, cpl, &resume);
        if (outcome == 1) break;
        if (outcome == 2) return end;
    }
    update:
        if (hasUpdate) {
            JSAny v = JSAny_Undef();
            Tok r = Ev_CommaInline(ctx, update, &v);
            if (v.type == JSANY_ERROR) {
                *cpl = v.code;
                return r;
            }
            JSAny_Clear(&v);
        }
    }
done:
    *cpl = 0;
    return Ev_StatementEnd(ctx, p);
}

// Assigns a for-in key to the loop variable.
uint32_t AssignLoopVar(RunContext *ctx, Tok varTok, JSAny *value) {
    EvalSlot ref;
    Slot_Init(&ref);
    uint32_t st = Ev_Resolve(ctx, *varTok, &ref, varTok);
    if (st) {
        JSAny_Clear(value);
        return ref.v.code;
    }
    Obj_PutMember(ctx, &ref, value);
    st = Ev_Check(ctx, &ref.v, varTok);
    JSAny_Clear(&ref.v);
    return st;
}

// One pass of a for-in loop: the key goes to the loop variable (which takes
// it), then the body runs. True when the loop ends here; *cpl then holds
// what the loop passes on (0 for a plain break).
bool ForInPass(RunContext *ctx, Tok loop, Tok varTok, Tok body, JSAny *key, Tok *end, uint32_t *cpl) {
    uint32_t st = AssignLoopVar(ctx, varTok, key);
    if (st) {
        *cpl = st;
        return true;
    }
    uint32_t c;
    return LoopStep(ctx, body, loop, end, &c, cpl) != 0;
}

// Copies of an object's own keys for for-in: element indexes, then names.
struct KeyList {
    uint32_t *indexes = nullptr;
    uint32_t nIndexes = 0;
    JSAny *names = nullptr;  // Arr_*
    uint32_t nNames = 0;
    ~KeyList() {
        Arr_Free(indexes);
        for (uint32_t i = 0; i < nNames; ++i) JSAny_Clear(&names[i]);
        Arr_Free(names);
    }
    bool Fill(Object *o) {
        indexes = Obj_ElementIndexes(o, &nIndexes);
        if (!indexes && nIndexes == ~0u) {
            nIndexes = 0;
            return false;
        }
        names = Obj_PropertyNames(o, &nNames);
        if (!names && nNames == ~0u) {
            nNames = 0;
            return false;
        }
        return true;
    }
};

Tok ForIn(RunContext *ctx, Tok p, Tok varTok, Tok exprTok, Tok close, uint32_t *cpl) {
    JSAny target = JSAny_Undef();
    Tok r = Ev_Comma(ctx, exprTok, &target);
    if (target.type == JSANY_ERROR) {
        *cpl = target.code;
        return r;
    }
    if (r == Scan_Lines(exprTok)) {
        *cpl = Ev_Fail(ctx, ROW_OBJ_EXPECTED, Scan_Lines(exprTok));
        return r;
    }
    r = Scan_Lines(r);
    if (r != close - 1) {
        JSAny_Clear(&target);
        *cpl = Ev_Fail(ctx, ROW_RPAREN, *r ? r : p);
        return r;
    }
    Tok body = close;
    Tok end = nullptr;
    *cpl = 0;
    if (target.type == JSANY_OBJECT) {
        Object *o = target.obj;
        KeyList keys;
        if (!keys.Fill(o)) {
            JSAny_Clear(&target);
            *cpl = ERR_NOMEM;
            return close;
        }
        uint32_t total = keys.nIndexes + keys.nNames;
        for (uint32_t k = 0; k < total; ++k) {
            Obj_SafePoint();
            uint32_t st = Err_CheckBreakFast(ctx, p, ctx->breakMask);
            if (st) {
                *cpl = st;
                break;
            }
            JSAny key;
            if (k < keys.nIndexes) {
                if (!Obj_HasOwnIndex(o, keys.indexes[k])) continue;  // deleted meanwhile, or a hole
                key = JSAny_Num(keys.indexes[k]);
            } else {
                const JSAny &name = keys.names[k - keys.nIndexes];
                if (!Obj_FindOwnName(o, name.str, name.len, Str_Hash(name.str, name.len))) continue;
                JSAny_InitFrom(&key, &name);
            }
            if (ForInPass(ctx, p, varTok, body, &key, &end, cpl)) break;
        }
    } else if (target.type == JSANY_PROGOBJ) {
        JSAny name = JSAny_Undef();
        JSAny_SetStringCopy(&name, "");
        for (;;) {
            Obj_SafePoint();
            uint32_t st = Err_CheckBreakFast(ctx, p, ctx->breakMask);
            if (st) {
                *cpl = st;
                break;
            }
            JSAny next = JSAny_Undef();
            st = Host_NextMember(ctx, target.prog, JSAny_IsString(&name) ? name.str : "", &next);
            if (st) {
                *cpl = st;
                break;
            }
            if (next.type == JSANY_UNDEFINED || next.type == JSANY_UNDECLARED) break;
            if (!JSAny_IsString(&next)) JSAny_ToString(ctx, &next);
            JSAny_Assign(&name, &next);
            if (ForInPass(ctx, p, varTok, body, &next, &end, cpl)) break;
        }
        JSAny_Clear(&name);
    }
    JSAny_Clear(&target);
    if (*cpl) return end ? end : close;
    return Ev_StatementEnd(ctx, p);
}

Tok ForStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    Tok open = Scan_Lines(p + 1);
    if (*open != TK_LPAREN) {
        *cpl = Ev_Fail(ctx, ROW_LPAREN, *open ? open : p);
        return Scan_SkipSimple(open);
    }
    Tok close = Ev_GroupEnd(ctx, open);
    if (close[-1] != TK_RPAREN) {
        *cpl = Ev_Fail(ctx, ROW_RPAREN, open);
        return close;
    }
    // for ([var] name in expression)
    Tok q = Scan_Lines(open + 1);
    bool hasVar = *q == KW_VAR;
    Tok name = hasVar ? Scan_Lines(q + 1) : q;
    if (IdAt(ctx, name) && *Scan_Lines(name + 1) == TK_IN) {
        if (hasVar && !St_Declare(ctx, IdAt(ctx, name))) {
            *cpl = ERR_NOMEM;
            return close;
        }
        return ForIn(ctx, p, name, Scan_Lines(name + 1) + 1, close, cpl);
    }
    return ForClassic(ctx, p, open + 1, close, cpl);
}

Tok SwitchStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    JSAny disc = JSAny_Undef();
    Tok after = ParenValue(ctx, p + 1, p, ROW_LPAREN, ROW_EXPR_EXPECTED, &disc, cpl);
    if (*cpl) return after;
    Tok q = after - 1;
    Tok brace = Scan_Lines(q + 1);
    if (*brace != TK_LBRACE) {
        JSAny_Clear(&disc);
        *cpl = Ev_Fail(ctx, ROW_LBRACE, *brace ? brace : q);
        return brace;
    }
    bool matched = false;
    Tok defaultAt = nullptr;
    bool resumed = false;
    Tok close = Ev_GroupEnd(ctx, brace);
    Tok s = brace + 1;
    *cpl = 0;
    for (;;) {
        s = Scan_Lines(s);
        while (*s == TK_SEMI) s = Scan_Lines(s + 1);
        // The body ends at its `}`, or at a stray `)` or `]` that the
        // bracket matching pairs with its `{`: a switch skipped, or left by
        // `break`, ends there too, so the search for a case label stops on
        // reaching or passing it.
        bool strayEnd = !matched && (close[-1] == TK_RPAREN || close[-1] == TK_RBRACKET) && s + 1 >= close &&
                        (*close != TK_END || Scan_GroupClosed(brace));
        if (*s == TK_RBRACE || strayEnd) {
            if (!matched && defaultAt && !resumed) {
                matched = true;
                resumed = true;
                s = defaultAt;
                continue;
            }
            s = strayEnd ? close : s + 1;
            break;
        }
        if (*s == TK_END) {
            *cpl = Ev_Fail(ctx, ROW_RBRACE, brace);
            break;
        }
        if (!matched) {
            if (*s == KW_CASE) {
                uint32_t c;
                Tok e = St_Statement(ctx, s, &c);
                if (c != CPL_CASE) {
                    *cpl = c;
                    s = e;
                    break;
                }
                if (Op_StrictEquals(&disc, &ctx->caseValue)) matched = true;
                s = e;
                continue;
            }
            if (*s == KW_DEFAULT) {
                if (defaultAt) {
                    *cpl = Ev_Fail(ctx, ROW_EXCESS_DEFAULT, s);
                    break;
                }
                Tok c = Scan_Lines(s + 1);
                if (*c != TK_COLON) {
                    *cpl = Ev_Fail(ctx, ROW_COLON, *c ? c : s);
                    break;
                }
                defaultAt = c + 1;
                s = c + 1;
                continue;
            }
            s = Ev_StatementEnd(ctx, s);
            continue;
        }
        uint32_t c;
        Tok e = St_Statement(ctx, s, &c);
        if (c == CPL_CASE || c == CPL_DEFAULT) {
            if (c == CPL_DEFAULT && *s == KW_DEFAULT && defaultAt && Scan_Lines(s + 1) + 1 != defaultAt) {
                *cpl = Ev_Fail(ctx, ROW_EXCESS_DEFAULT, s);
                s = e;
                break;
            }
            s = e;
            continue;
        }
        if (c == CPL_BREAK && (!ctx->breakTarget || ctx->breakTarget == p)) {
            s = Ev_GroupEnd(ctx, brace);
            break;
        }
        if (c) {
            *cpl = c;
            s = e;
            break;
        }
        // The termination rule inside the clause list.
        if (!Scan_EndsStatement(e)) {
            *cpl = Ev_Fail(ctx, ROW_EOL_EXPECTED, e);
            s = e;
            break;
        }
        s = e;
    }
    JSAny_Clear(&disc);
    return s;
}

// The expression a keyword must be followed by (case, throw). *cpl is the
// failure's code when there is none or it fails, else 0 with *v its value.
Tok RequiredValue(RunContext *ctx, Tok p, JSAny *v, uint32_t *cpl) {
    Tok q = Ev_Comma(ctx, p, v);
    *cpl = 0;
    if (v->type == JSANY_ERROR) {
        *cpl = v->code;
    } else if (q == Scan_Lines(p)) {
        *cpl = Ev_Fail(ctx, ROW_EXPR_EXPECTED, Scan_Lines(q));
    }
    return q;
}

Tok CaseStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    if (*p == KW_DEFAULT) {
        Tok c = Scan_Lines(p + 1);
        if (*c != TK_COLON) {
            *cpl = Ev_Fail(ctx, ROW_COLON, *c ? c : p);
            return c;
        }
        *cpl = CPL_DEFAULT;
        return c + 1;
    }
    JSAny v = JSAny_Undef();
    Tok q = RequiredValue(ctx, p + 1, &v, cpl);
    if (*cpl) return q;
    q = Scan_Lines(q);
    if (*q != TK_COLON) {
        JSAny_Clear(&v);
        *cpl = Ev_Fail(ctx, ROW_COLON, *q ? q : p);
        return q;
    }
    JSAny_Clear(&ctx->caseValue);
    ctx->caseValue = v;
    *cpl = CPL_CASE;
    return q + 1;
}

// Shows a report kept for `catch` when the failure leaves the outermost try
// uncaught, so the user still learns of it.
void ShowUncaught(RunContext *ctx) {
    if (ctx->tryReport.valid) Err_ShowTryReport(ctx);
}

Tok TryStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    Tok block = Scan_Lines(p + 1);
    if (*block != TK_LBRACE) {
        *cpl = Ev_Fail(ctx, ROW_LBRACE, *block ? block : p);
        return Ev_StatementEnd(ctx, p);
    }
    bool outerTry = ctx->inTry;
    ctx->inTry = true;
    uint32_t c;
    Tok end = St_Statement(ctx, block, &c);
    // A block left early (a jump, a throw, a failure) stopped inside itself.
    if (c != 0) end = Ev_GroupEnd(ctx, block);
    ctx->inTry = outerTry;
    // Where the statement ends: after every catch and finally part.
    Tok partsEnd = end;
    bool hasPart = false;
    for (Tok r = Scan_Lines(partsEnd); *r == KW_CATCH || *r == KW_FINALLY; r = Scan_Lines(partsEnd)) {
        hasPart = true;
        Tok h = Scan_Lines(r + 1);
        if (*r == KW_CATCH && *h == TK_LPAREN) h = Ev_GroupEnd(ctx, h);
        partsEnd = Ev_StatementEnd(ctx, h);
    }
    if (!hasPart) {
        if (!outerTry) Err_ClearTryReport(ctx);
        *cpl = Ev_Fail(ctx, ROW_CATCH_FINALLY, Scan_Lines(end));
        return end;
    }
    if (StopsRun(c)) {
        if (!outerTry) Err_ClearTryReport(ctx);
        *cpl = c;
        return partsEnd;
    }
    JSAny exception = JSAny_Undef();
    bool pending = false;  // an exception no catch has handled yet
    uint32_t failure = 0;  // the failure the exception stands for
    if (c == CPL_THROW) {
        exception = ctx->thrown;
        ctx->thrown = JSAny_Undef();
        pending = true;
    } else if (IsFailure(c)) {
        failure = c;
        pending = true;
        const TryReport &tr = ctx->tryReport;
        JSAny msg = JSAny_Undef();
        if (tr.valid) {
            char *text = Text_Format("%s: %s", tr.heading ? tr.heading : "", tr.message ? tr.message : "");
            if (text) JSAny_SetStringAdopt(&msg, text);
            else msg = JSAny_Err(ERR_NOMEM);
        } else {
            JSAny_SetStringCopy(&msg, "Error");
        }
        if (msg.type == JSANY_ERROR) {
            *cpl = ERR_NOMEM;
            return partsEnd;
        }
        Obj_NewError(ctx->space, &exception, &msg, tr.valid ? tr.errClass : EC_ERROR);
        JSAny_Clear(&msg);
        if (exception.type == JSANY_ERROR) {
            *cpl = ERR_NOMEM;
            return partsEnd;
        }
    }
    uint32_t result = c;
    bool caught = false;
    Tok r = Scan_Lines(end);
    while (*r == KW_CATCH) {
        Tok h = Scan_Lines(r + 1);
        if (!pending) {
            if (*h == TK_LPAREN) h = Ev_GroupEnd(ctx, h);
            r = Scan_Lines(Ev_StatementEnd(ctx, h));
            continue;
        }
        if (*h != TK_LPAREN) {
            JSAny_Clear(&exception);
            *cpl = Ev_Fail(ctx, ROW_LPAREN, *h ? h : r);
            return partsEnd;
        }
        Tok nameTok = Scan_Lines(h + 1);
        IdEntry *id = IdAt(ctx, nameTok);
        if (!id) {
            JSAny_Clear(&exception);
            *cpl = Ev_Fail(ctx, ROW_IDENT_EXPECTED, *nameTok ? nameTok : h);
            return partsEnd;
        }
        Tok close = Scan_Lines(nameTok + 1);
        if (*close != TK_RPAREN) {
            JSAny_Clear(&exception);
            *cpl = Ev_Fail(ctx, ROW_RPAREN, *close ? close : nameTok);
            return partsEnd;
        }
        // The exception is caught: the run may go on after a reported error.
        if (failure) ctx->reported = false;
        pending = false;
        caught = true;
        // A scope object holding the exception under the catch's name; it has
        // no prototype, so only that name resolves through it.
        JSAny scopeObj = JSAny_Undef();
        Obj_NewInto(&scopeObj, nullptr);
        if (scopeObj.type == JSANY_ERROR ||
            Obj_AddName(scopeObj.obj, id->name, id->length, id->hash, &exception) != 0 ||
            !Arr_EnsureT(ctx->scope, ctx->scopeCount + 1)) {
            JSAny_Clear(&scopeObj);
            JSAny_Clear(&exception);
            *cpl = ERR_NOMEM;
            return partsEnd;
        }
        JSAny_Clear(&exception);
        ctx->scope[ctx->scopeCount++] = scopeObj;
        uint32_t cc;
        Tok after = St_Statement(ctx, close + 1, &cc);
        JSAny_Clear(&ctx->scope[--ctx->scopeCount]);
        if (StopsRun(cc)) {
            if (!outerTry) Err_ClearTryReport(ctx);
            *cpl = cc;
            return partsEnd;
        }
        // A catch block left early stopped inside itself.
        if (cc != 0) after = Ev_StatementEnd(ctx, close + 1);
        result = cc;
        r = Scan_Lines(after);
    }
    if (!caught && !pending) result = c;
    if (*r == KW_FINALLY) {
        // The finally block runs whichever way the statement is left, with
        // the pending state kept aside (a throw's value, a return value, a
        // jump's target); a completion of its own replaces the pending one.
        JSAny savedThrown = ctx->thrown;
        JSAny savedRet = ctx->ret;
        ctx->thrown = JSAny_Undef();
        JSAny_InitFrom(&ctx->ret, &savedRet);
        Tok savedTarget = ctx->breakTarget;
        Tok savedJump = ctx->lastJump;
        uint32_t fc;
        St_Statement(ctx, r + 1, &fc);
        if (fc != 0) {
            // A failure that was on its way out is dropped for the finally
            // block's own completion: the run may go on after its report.
            uint32_t dropped = pending && failure ? failure : result;
            if (IsFailure(dropped) && !IsFailure(fc)) ctx->reported = false;
            JSAny_Clear(&savedThrown);
            JSAny_Clear(&savedRet);
            JSAny_Clear(&exception);
            if (!outerTry) Err_ClearTryReport(ctx);
            *cpl = fc;
            return partsEnd;
        }
        JSAny_Clear(&ctx->thrown);
        ctx->thrown = savedThrown;
        JSAny_Clear(&ctx->ret);
        ctx->ret = savedRet;
        ctx->breakTarget = savedTarget;
        ctx->lastJump = savedJump;
    }
    if (pending) {
        // No catch: the exception travels on.
        if (failure) {
            JSAny_Clear(&exception);
            if (!outerTry) ShowUncaught(ctx);
            result = failure;
        } else {
            JSAny_Clear(&ctx->thrown);
            ctx->thrown = exception;
            result = CPL_THROW;
        }
    }
    if (!outerTry) Err_ClearTryReport(ctx);
    *cpl = result;
    return partsEnd;
}

Tok JumpStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    bool isBreak = *p == KW_BREAK;
    ctx->lastJump = p;
    Tok n = p + 1;
    IdEntry *label = IdAt(ctx, n);
    if (!label) {
        ctx->breakTarget = nullptr;
        *cpl = isBreak ? CPL_BREAK : CPL_CONTINUE;
        return n;
    }
    const LabelEntry *e = FindLabel(ctx, label);
    if (!e) {
        *cpl = Ev_Fail(ctx, ROW_LABEL_NOT_FOUND, n);
        return n + 1;
    }
    if (!isBreak) {
        uint32_t t = *e->target;
        if (t != KW_WHILE && t != KW_DO && t != KW_FOR) {
            *cpl = Ev_Fail(ctx, ROW_UNEXPECTED_CONTINUE, p);
            return n + 1;
        }
    }
    ctx->breakTarget = e->target;
    *cpl = isBreak ? CPL_BREAK : CPL_CONTINUE;
    return n + 1;
}

Tok ReturnStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    ctx->lastJump = p;
    Tok n = p + 1;
    uint32_t t = *n;
    JSAny v = JSAny_Undef();
    if (t != TK_SEMI && t != TK_RBRACE && t != TK_LINE && t != TK_END) {
        Tok q = Ev_CommaInline(ctx, n, &v);
        if (v.type == JSANY_ERROR) {
            *cpl = v.code;
            return q;
        }
        n = q;
    }
    JSAny_Clear(&ctx->ret);
    ctx->ret = v;
    *cpl = CPL_RETURN;
    return n;
}

Tok ThrowStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    ctx->lastJump = p;
    JSAny v = JSAny_Undef();
    Tok q = RequiredValue(ctx, p + 1, &v, cpl);
    if (*cpl) return q;
    JSAny_Clear(&ctx->thrown);
    ctx->thrown = v;
    *cpl = CPL_THROW;
    return q;
}

Tok WithStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    JSAny v = JSAny_Undef();
    Tok after = ParenValue(ctx, p + 1, p, ROW_LPAREN, ROW_OBJ_EXPECTED, &v, cpl);
    if (*cpl) return Ev_StatementEnd(ctx, p);
    Tok q = after - 1;
    if (!Arr_EnsureT(ctx->scope, ctx->scopeCount + 1)) {
        JSAny_Clear(&v);
        *cpl = ERR_NOMEM;
        return q;
    }
    ctx->scope[ctx->scopeCount++] = v;
    Tok end = St_Statement(ctx, q + 1, cpl);
    JSAny_Clear(&ctx->scope[--ctx->scopeCount]);
    if (*cpl == CPL_BREAK && ctx->breakTarget == p) {
        *cpl = 0;
        return Ev_StatementEnd(ctx, p);
    }
    return end;
}

// A function declaration met in the statement flow: already defined by the
// pre-pass, so it is only passed over.
Tok FunctionStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    Tok q = Scan_Lines(p + 1);
    if (Tk_IsOperand(*q)) q = Scan_Lines(q + 1);
    if (*q != TK_LPAREN) {
        *cpl = Ev_Fail(ctx, ROW_LPAREN, *q ? q : p);
        return q;
    }
    q = Scan_Lines(Ev_GroupEnd(ctx, q));
    if (*q != TK_LBRACE) {
        *cpl = Ev_Fail(ctx, ROW_LBRACE, *q ? q : p);
        return q;
    }
    *cpl = 0;
    return Ev_GroupEnd(ctx, q);
}

// An expression statement's end with its value v, read to q: a failure,
// or the completion value (a call with no value to give, ending the
// statement, passes that on).
inline Tok StatementValue(RunContext *ctx, JSAny v, Tok q, uint32_t *cpl) {
    if (v.type == JSANY_ERROR) {
        *cpl = v.code;
        return q;
    }
    if (v.type == JSANY_UNDEFINED && ctx->noValueAt == q) v = JSAny_Err(ERR_NOVALUE);
    JSAny_Clear(&ctx->completion);
    ctx->completion = v;
    *cpl = 0;
    return q;
}

Tok ExpressionStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    JSAny v = JSAny_Undef();
    ctx->noValueAt = nullptr;
    Tok q = Ev_Comma(ctx, p, &v);
    if (q == p && v.type != JSANY_ERROR) {
        *cpl = Ev_Fail(ctx, ROW_EXPR_EXPECTED, p);
        return p + 1;
    }
    return StatementValue(ctx, v, q, cpl);
}

Tok LabelledStatement(RunContext *ctx, Tok p, IdEntry *label, uint32_t *cpl) {
    for (uint32_t i = ctx->labelCount; i > ctx->labelBase; --i) {
        const LabelEntry &e = ctx->labels[i - 1];
        if (e.label == label) {
            *cpl = Ev_Fail(ctx, ROW_DUP_LABEL, p);
            return Ev_StatementEnd(ctx, Scan_Lines(p + 1) + 1);
        }
    }
    Tok target = Scan_Lines(Scan_Lines(p + 1) + 1);
    if (!PushLabel(ctx, label, target)) {
        *cpl = ERR_NOMEM;
        return target;
    }
    Tok end = St_Statement(ctx, target, cpl);
    --ctx->labelCount;
    if (*cpl == CPL_BREAK && ctx->breakTarget == target) {
        *cpl = 0;
        return Ev_StatementEnd(ctx, target);
    }
    return end;
}

}  // namespace

JSAny *St_Declare(RunContext *ctx, IdEntry *id) {
    if (Activation *a = ctx->act) {
        if (JSAny *local = Act_FindLocal(a, id)) return local;
        const Code *c = a->code;
        for (uint32_t i = 0; i < c->nparams; ++i) {
            if (c->params[i] == id && a->arguments && i < Elems_DenseLen(a->arguments)) return &a->arguments->dense[i];
        }
        return Act_AddLocal(a, id);
    }
    uint32_t code = *static_cast<const uint32_t *>(Id_Payload(id));
    JSAny *slot = Lex_ConstOf(ctx->store, code);
    if (!slot) return nullptr;
    if (ctx->flags & RUN_RESTORING) {
        // The first declaration in the run saves the slot's value.
        bool saved = false;
        for (uint32_t i = ctx->saveCount; i > 0; --i) {
            if (!ctx->saves[i - 1].slot) break;
            if (ctx->saves[i - 1].slot == slot) {
                saved = true;
                break;
            }
        }
        if (!saved) {
            if (!Arr_EnsureT(ctx->saves, ctx->saveCount + 1)) return nullptr;
            ctx->saves[ctx->saveCount++] = SaveEntry{slot, *slot};
            *slot = JSAny_Undef();
        }
        return slot;
    }
    if (slot->type == JSANY_UNDECLARED) *slot = JSAny_Undef();
    return slot;
}

namespace {

Tok StatementAt(RunContext *ctx, Tok p, uint32_t *cpl, const ListResume *resume) {
    NestGuard guard(ctx);
    if (!guard.ok) {
        *cpl = Ev_Fail(ctx, ROW_NESTED_TOO_DEEPLY, p);
        return p + 1;
    }
    *cpl = 0;
    uint32_t t = *p;
    switch (t) {
    case TK_LBRACE: return Block(ctx, p, cpl, resume);
    case TK_SEMI: return p + 1;
    case KW_VAR: return VarStatement(ctx, p, cpl);
    case KW_IF: return IfStatement(ctx, p, cpl);
    case KW_WHILE: return WhileStatement(ctx, p, cpl);
    case KW_DO: return DoStatement(ctx, p, cpl);
    case KW_FOR: return ForStatement(ctx, p, cpl);
    case KW_SWITCH: return SwitchStatement(ctx, p, cpl);
    case KW_CASE:
    case KW_DEFAULT: return CaseStatement(ctx, p, cpl);
    case KW_TRY: return TryStatement(ctx, p, cpl);
    case KW_THROW: return ThrowStatement(ctx, p, cpl);
    case KW_RETURN: return ReturnStatement(ctx, p, cpl);
    case KW_BREAK:
    case KW_CONTINUE: return JumpStatement(ctx, p, cpl);
    case KW_WITH: return WithStatement(ctx, p, cpl);
    case KW_FUNCTION: return FunctionStatement(ctx, p, cpl);
    case KW_DUMP:
        Lex_Dump(ctx->store);
        return p + 1;
    case KW_CATCH:
    case KW_ELSE:
    case KW_FINALLY:
    case KW_IMPORT:
        *cpl = Ev_Fail(ctx, ROW_UNRECOGNIZED, p);
        return Ev_StatementEnd(ctx, p + 1);
    default:
        break;
    }
    if (Scan_IsLabel(p)) {
        if (IdEntry *label = IdAt(ctx, p)) return LabelledStatement(ctx, p, label, cpl);
        *cpl = Ev_Fail(ctx, ROW_BAD_LABEL, p);
        return Ev_StatementEnd(ctx, Scan_Lines(p + 1) + 1);
    }
    return ExpressionStatement(ctx, p, cpl);
}

// A lenient run goes on after a failure: the rest of the failed statement
// (from where the failure left off) is skipped as a simple statement.
Tok Recover([[maybe_unused]] RunContext *ctx, Tok q) {
    Tok end = Scan_SkipSimple(q);
#ifdef QUILLON_CHECKS
    ++gChkRecoveries;
    // Where that is also how a statement starting there is skipped, both
    // readers must agree.
    uint32_t t = *q;
    bool compound = t == KW_IF || t == KW_WHILE || t == KW_WITH || t == KW_FOR || t == KW_SWITCH ||
                    t == KW_CATCH || t == KW_ELSE || t == KW_DO || t == KW_TRY || t == TK_LBRACE ||
                    t == TK_SEMI || t == TK_LINE || Scan_IsLabel(q);
    if (!compound) Chk_Extent(ctx, q, kStmtLevel, end, "skipped after an error");
#endif
    return end;
}

}  // namespace

namespace {

#ifdef QUILLON_CHECKS
// A statement that ran to a proper end, with no lenient recovery inside it,
// spans what the skipping scanner finds. (A case or default label ends at
// its colon; a block that meets one outside a switch stops there with the
// label's completion and has no end of its own.)
void CheckStatementExtent(RunContext *ctx, Tok p, Tok end, uint32_t cpl, uint32_t recoveries) {
    bool label = (cpl == CPL_CASE || cpl == CPL_DEFAULT) && (*p == KW_CASE || *p == KW_DEFAULT);
    if ((cpl == 0 || label) && recoveries == gChkRecoveries && Scan_StatementComplete(p, end)) {
        Chk_Extent(ctx, p, kStmtLevel, end, "run");
        Chk_Extent(ctx, p, kStmtLevel, Scan_SkipStatement(p), "skipped");
    }
}
#endif

// An expression statement at p (after any line breaks) whose expression
// has a form of the comma level: what StatementAt and ExpressionStatement
// do with it (the statement's nesting level, the form, the completion),
// without their layers. Null, with nothing done, when the statement is to
// be run in full.
__attribute__((always_inline)) inline Tok FormStatement(RunContext *ctx, Tok p, uint32_t *cpl) {
    const uint32_t *slot = Form_Slot(ctx, p);
    if (!slot || *slot < FORM_FIRST) return nullptr;
    NestGuard guard(ctx);
    JSAny v;
    Tok end;
    ctx->noValueAt = nullptr;
#ifdef QUILLON_CHECKS
    uint32_t recoveries = gChkRecoveries;
#endif
    if (!guard.ok || !Form_Run(ctx, *slot - FORM_FIRST, FORM_LEVEL_COMMA, &v, &end)) return nullptr;
    end = StatementValue(ctx, v, end, cpl);
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, p, end, *cpl, recoveries);
#endif
    return end;
}

// `return` and a lone operand (Ev_CopyLoneValue's) ended by `;` or `}`:
// what StatementAt and ReturnStatement do with it, when the walker's two
// nesting levels for it (the statement's, Ev_Expr's) are within the
// limit. Null, with nothing done, otherwise.
inline Tok ReturnOperand(RunContext *ctx, Tok p, uint32_t *cpl) {
    if (!Ev_IsLoneToken(p[1]) || (p[2] != TK_SEMI && p[2] != TK_RBRACE)) return nullptr;
    JSAny v;
    if (ctx->nesting + 2 > kMaxNesting || !Ev_CopyLoneValue(ctx, p + 1, &v)) return nullptr;
    ctx->lastJump = p;
    JSAny_Clear(&ctx->ret);
    ctx->ret = v;
    *cpl = CPL_RETURN;
    return p + 2;
}

// A `return` at p whose value has a form of the comma level: what
// StatementAt and ReturnStatement do with it, without their layers. Null,
// with nothing done that the walker would not do first, when it is to be
// run in full.
__attribute__((always_inline)) inline Tok FormReturn(RunContext *ctx, Tok p, uint32_t *cpl) {
    const uint32_t *slot = Form_Slot(ctx, p + 1);
    if (!slot) return nullptr;
    if (*slot < FORM_FIRST) return ReturnOperand(ctx, p, cpl);
    NestGuard guard(ctx);
    if (!guard.ok) return nullptr;
    ctx->lastJump = p;
    JSAny v;
    Tok end;
    if (!Form_Run(ctx, *slot - FORM_FIRST, FORM_LEVEL_COMMA, &v, &end)) return nullptr;
    if (v.type == JSANY_ERROR) {
        *cpl = v.code;
        return end;
    }
    JSAny_Clear(&ctx->ret);
    ctx->ret = v;
    *cpl = CPL_RETURN;
    return end;
}

// An `if` at p whose condition has a form of the comma level: what
// StatementAt and IfStatement do with it, the condition run from its form
// and the branch taken run as IfStatement runs it. Null, with nothing
// done, when it is to be run in full.
__attribute__((always_inline)) inline Tok FormIf(RunContext *ctx, Tok p, uint32_t *cpl) {
    if (p[1] != TK_LPAREN) return nullptr;
    const uint32_t *slot = Form_Slot(ctx, p + 2);
    if (!slot || *slot < FORM_FIRST) return nullptr;
    NestGuard guard(ctx);
    JSAny v;
    Tok end;
#ifdef QUILLON_CHECKS
    uint32_t recoveries = gChkRecoveries;
#endif
    if (!guard.ok || !Form_Run(ctx, *slot - FORM_FIRST, FORM_LEVEL_COMMA, &v, &end)) return nullptr;
    if (v.type == JSANY_ERROR) {
        *cpl = v.code;
        return end;
    }
    Tok close = Scan_Lines(end);
    bool truth = JSAny_Truth(&v);
    JSAny_Clear(&v);
    if (*close != TK_RPAREN) {
        *cpl = Ev_Fail(ctx, ROW_RPAREN, *close ? close : p + 1);
        return close;
    }
    end = IfBranches(ctx, close + 1, truth, cpl);
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, p, end, *cpl, recoveries);
#endif
    return end;
}

// A statement of a list or a branch at p (after any line breaks) run from
// its form: an expression statement, a `return` or an `if`; null when it
// has none.
__attribute__((always_inline)) inline Tok FormOf(RunContext *ctx, Tok p, uint32_t *cpl) {
    switch (*p) {
    case KW_RETURN: return FormReturn(ctx, p, cpl);
    case KW_IF: return FormIf(ctx, p, cpl);
    default: return FormStatement(ctx, p, cpl);
    }
}

}  // namespace

Tok St_FormStatement(RunContext *ctx, Tok p, uint32_t *cpl) { return FormOf(ctx, p, cpl); }


Tok St_Branch(RunContext *ctx, Tok p, uint32_t *cpl) {
    p = Scan_Lines(p);
    Tok q = FormOf(ctx, p, cpl);
    return q ? q : St_Statement(ctx, p, cpl);
}

Tok St_BranchFrom(RunContext *ctx, [[maybe_unused]] Tok ifTok, Tok brace, Tok from, bool then, uint32_t *cpl) {
#ifdef QUILLON_CHECKS
    uint32_t recoveries = gChkRecoveries;
#endif
    // The levels of the `if` and of its branch, as StatementAt counts them
    // (the loop's form ran the statements before `from` within the limit,
    // so these two are within it too).
    ctx->nesting += 2;
    ListResume resume{from, nullptr, 0};
    Tok end = Block(ctx, brace, cpl, &resume);
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, brace, end, *cpl, recoveries);
#endif
    --ctx->nesting;
    if (*cpl == 0 && then) {
        // The other branch is skipped, as IfBranches skips it.
        if (Tok e = Scan_ElseOf(end)) end = Ev_StatementEnd(ctx, e + 1);
    }
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, ifTok, end, *cpl, recoveries);
#endif
    --ctx->nesting;
    return end;
}

Tok St_LoopFrom(RunContext *ctx, Tok p, const LoopEntry *entry, uint32_t *cpl) {
#ifdef QUILLON_CHECKS
    uint32_t recoveries = gChkRecoveries;
#endif
    Tok end;
    if (*p == KW_WHILE) {
        end = WhileStatement(ctx, p, cpl, entry);
    } else {
        Tok open = Scan_Lines(p + 1);
        end = ForClassic(ctx, p, open + 1, Ev_GroupEnd(ctx, open), cpl, entry);
    }
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, p, end, *cpl, recoveries);
#endif
    return end;
}

Tok St_Statement(RunContext *ctx, Tok p, uint32_t *cpl, const ListResume *resume) {
    p = Scan_Lines(p);
#ifdef QUILLON_CHECKS
    uint32_t recoveries = resume && resume->recovered ? UINT32_MAX : gChkRecoveries;
#endif
    Tok end = StatementAt(ctx, p, cpl, resume);
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, p, end, *cpl, recoveries);
#endif
    return end;
}

Tok St_ReturnBody(RunContext *ctx, Tok body, uint32_t *cpl) {
#ifdef QUILLON_CHECKS
    uint32_t recoveries = gChkRecoveries;
#endif
    Tok ret = St_BodyFirst(body);
    Tok end = nullptr;
    if (Chk_Shortcuts() && ctx->nesting < kMaxNesting) {
        // The `return` run from its form at the level and under the member
        // rule StatementAt and Block give it. A return ends the list and the
        // block there; anything else it gives goes on through them as if
        // the list had run it.
        Tok q;
        {
            NestGuard guard(ctx);
            *cpl = 0;
            bool savedMember = ctx->memberError;
            ctx->memberError = true;
            q = FormReturn(ctx, ret, cpl);
            ctx->memberError = savedMember;
        }
        if (q && *cpl == CPL_RETURN) {
            end = q;
        } else if (q) {
            ListResume resume{ret, q, *cpl};
            end = StatementAt(ctx, body, cpl, &resume);
        }
    }
    if (!end) end = StatementAt(ctx, body, cpl, nullptr);
#ifdef QUILLON_CHECKS
    CheckStatementExtent(ctx, body, end, *cpl, recoveries);
#endif
    return end;
}

Tok St_List(RunContext *ctx, Tok p, uint32_t *completion, const ListResume *resume) {
    uint32_t c;
    Tok q;
    if (resume) {
        p = resume->from;
        if (resume->after) {
            // The statement at p has run: on with what it gave.
            q = resume->after;
            c = resume->cpl;
            goto ran;
        }
    }
    for (;;) {
        while (*p == TK_LINE || *p == TK_SEMI) ++p;
        if (*p == TK_RBRACE || *p == TK_END) {
            *completion = 0;
            return p;
        }
        q = FormOf(ctx, p, &c);
        if (!q) q = St_Statement(ctx, p, &c);
    ran:
        if (q == p) {
            *completion = ERR_BADFORMAT;
            return p;
        }
        if (c != 0) {
            bool lenientGoOn = (ctx->flags & RUN_LENIENT) && IsFailure(c) && (c & ERR_REPORTED) &&
                               !Err_IsBreak(c);
            if (!lenientGoOn) {
                *completion = c;
                return q;
            }
            // A lenient run abandons the failed statement and goes on (from
            // no further than the program's end, wherever the failure left q).
            ctx->reported = false;
            Tok last = ctx->code->codes + ctx->code->count;
            p = Recover(ctx, q > last ? last : q);
            continue;
        }
        // The termination rule: after anything but `}` or `:` a statement
        // ends at `;`, `}`, a line break or the end.
        if (!Scan_EndsStatement(q)) {
            *completion = Ev_Fail(ctx, ROW_EOL_EXPECTED, q);
            if ((ctx->flags & RUN_LENIENT) && (*completion & ERR_REPORTED)) {
                ctx->reported = false;
                p = Recover(ctx, q);
                if (p == q) ++p;
                continue;
            }
            return q;
        }
        p = q;
    }
}

}  // namespace quillon
