// The operand store of a program space: its identifiers (one entry each for
// the life of the space) and the literal constants of its token programs.
#include "lexer/code.h"
#include "lexer/lexstate.h"
#include "platform/debuglog.h"
#include "runtime/atoms.h"
#include "runtime/errors.h"
#include "runtime/idtable.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

constexpr uint32_t kInitialOperands = 256;
// Largest entry index whose token code still fits in 32 bits.
constexpr uint32_t kMaxOperandIndex = UINT32_MAX - TK_OPERAND;

JSAny gTrue = JSAny_Bool(true);
JSAny gFalse = JSAny_Bool(false);
JSAny gNull = JSAny_Null();

inline Operand *EntryOf(const LexStore *store, uint32_t code) {
    if (!Tk_IsOperand(code)) return nullptr;
    uint32_t i = code - TK_OPERAND;
    if (i >= store->count) return nullptr;
    return &store->ops[i];
}

// An identifier entry gives back the key of its name when it goes.
void ReleaseKeyText(void *, IdTable *, IdEntry *e) {
    auto *p = static_cast<IdPayload *>(Id_Payload(e));
    Atom_Release(p->keyText);
    p->keyText = nullptr;
}

}  // namespace

LexStore *Lex_CreateStore() {
    auto *store = static_cast<LexStore *>(Mem_AllocZero(sizeof(LexStore)));
    if (!store) return nullptr;
    store->ids = Id_Create(sizeof(IdPayload), ReleaseKeyText, nullptr);
    store->ops = static_cast<Operand *>(Arr_Alloc(sizeof(Operand), kInitialOperands));
    if (!store->ids || !store->ops) {
        Id_Destroy(store->ids);
        Arr_Free(store->ops);
        Mem_Free(store);
        return nullptr;
    }
    return store;
}

void Lex_DestroyStore(LexStore *store) {
    if (!store) return;
    // Codes still marking this store forget it: their marks die with it.
    while (Code *c = store->marked) {
        store->marked = c->markedNext;
        c->markedNext = c->markedPrev = nullptr;
        c->marked = false;
        c->store = nullptr;
    }
    for (uint32_t i = 0; i < store->count; ++i) {
        Operand &op = store->ops[i];
        if (op.marks == -1) continue;
        JSAny_FinishAndFree(op.constant);
        op.constant = nullptr;
        op.id = nullptr;
        op.marks = -1;
    }
    Id_Empty(store->ids);
    Id_Destroy(store->ids);
    Arr_Free(store->ops);
    Mem_Free(store);
}

uint32_t Lex_NewOperand(LexStore *store, IdEntry *id, uint32_t *index) {
    uint32_t i = store->freeHint;
    while (i < store->count && store->ops[i].marks != -1) ++i;
    if (i == store->count) {
        if (i > kMaxOperandIndex) return ERR_NOMEM;
        if (!Arr_EnsureT(store->ops, i + 1)) return ERR_NOMEM;
    }
    JSAny *slot = JSAny_NewSlot();
    if (!slot) return ERR_NOMEM;
    if (i == store->count) ++store->count;
    Operand &op = store->ops[i];
    op.marks = id ? 1 : 0;
    op.id = id;
    op.constant = slot;
    store->freeHint = i + 1;
    *index = i;
    return 0;
}

void Lex_FreeOperand(LexStore *store, uint32_t index) {
    Operand &op = store->ops[index];
    JSAny_FinishAndFree(op.constant);
    op.constant = nullptr;
    op.id = nullptr;
    op.marks = -1;
    while (store->count > 0 && store->ops[store->count - 1].marks == -1) --store->count;
    if (index < store->freeHint) store->freeHint = index;
    if (store->freeHint > store->count) store->freeHint = store->count;
}

uint32_t Lex_InternName(LexStore *store, const char *name, uint32_t len, uint32_t *err) {
    // Tokens do not hold references: a known identifier costs a lookup only.
    IdEntry *e = Id_Find(store->ids, name, len);
    if (e) {
        uint32_t code = *static_cast<const uint32_t *>(Id_Payload(e));
        if (code) return code;
    }
    // New to the lexer (perhaps interned by others before): its entry holds
    // one reference for the life of the space.
    e = Id_Intern(store->ids, name, len);
    if (!e) {
        *err = ERR_NOMEM;
        return 0;
    }
    uint32_t index;
    if (uint32_t r = Lex_NewOperand(store, e, &index)) {
        Id_Release(store->ids, e);
        *err = r;
        return 0;
    }
    uint32_t code = TK_OPERAND + index;
    *static_cast<uint32_t *>(Id_Payload(e)) = code;
    return code;
}

uint32_t Lex_Name(LexStore *store, const char *name, uint32_t *err) {
    *err = 0;
    return Lex_InternName(store, name, static_cast<uint32_t>(std::strlen(name)), err);
}

IdEntry *Lex_IdOf(const LexStore *store, uint32_t code) {
    Operand *op = EntryOf(store, code);
    return op && op->marks != -1 ? op->id : nullptr;
}

JSAny *Lex_ConstOf(const LexStore *store, uint32_t code) {
    switch (code) {
    case KW_TRUE: return &gTrue;
    case KW_FALSE: return &gFalse;
    case KW_NULL: return &gNull;
    default: break;
    }
    Operand *op = EntryOf(store, code);
    return op && op->marks != -1 ? op->constant : nullptr;
}

const char *Lex_NameOf(const LexStore *store, uint32_t code) {
    IdEntry *e = Lex_IdOf(store, code);
    return e ? Id_Name(e) : nullptr;
}

void Lex_Mark(LexStore *store, const uint32_t *codes) {
    for (; *codes; ++codes) {
        if (!Tk_IsOperand(*codes)) continue;
        Operand *op = EntryOf(store, *codes);
        if (!op || op->marks < 0) {
            Plat_DebugWrite("Illegal MarkToken\n");
            continue;
        }
        ++op->marks;
    }
}

void Lex_Unmark(LexStore *store, const uint32_t *codes) {
    for (; *codes; ++codes) {
        if (!Tk_IsOperand(*codes)) continue;
        Operand *op = EntryOf(store, *codes);
        if (!op || op->marks < 1) {
            Plat_DebugWrite("Illegal UnmarkToken\n");
            continue;
        }
        --op->marks;
    }
}

void Lex_EndRun(LexStore *store) {
    for (uint32_t i = store->count; i-- > 0;) {
        // Identifiers keep their entries whatever their marks say.
        if (store->ops[i].marks == 0 && !store->ops[i].id) Lex_FreeOperand(store, i);
    }
}

}  // namespace quillon
