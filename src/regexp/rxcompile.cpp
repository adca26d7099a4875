// Second compiler pass: writes the parse tree into a program buffer of the
// exact size counted by the parse, walking the tree with an explicit stack.
// Also the program record's own calls.
#include "regexp/rxparse.h"
#include "runtime/errors.h"
#include "runtime/memory.h"

namespace quillon {

namespace {

// One level of the emission walk: the chain of nodes being written and,
// for the composite node at its head, how far it has got.
struct EmitFrame {
    RxNode *cur;
    uint32_t stage;    // 0 before the node, 1 after its (first) child, 2 after the second
    uint32_t opPos;    // where the node's operation starts
    uint32_t jumpPos;  // an alternation's OP_JUMP
};

bool IsQuantifier(uint8_t kind) {
    return (kind >= OP_REPEAT && kind <= OP_OPT) || (kind >= OP_LAZY_STAR && kind <= OP_LAZY_REPEAT);
}

class Writer {
public:
    explicit Writer(uint8_t *code) : code_(code) {}
    uint32_t Pos() const { return pos_; }
    void Op(uint8_t op) { code_[pos_++] = op; }
    void Byte(uint8_t b) { code_[pos_++] = b; }
    void Word(uint32_t v) {
        Rx_Put32(code_ + pos_, v);
        pos_ += 4;
    }
    void Patch(uint32_t at, uint32_t v) { Rx_Put32(code_ + at, v); }

private:
    uint8_t *code_;
    uint32_t pos_ = 0;
};

void EmitLiteral(Writer &w, const RxNode *n, bool ignoreCase) {
    if (n->b == 1) {
        w.Op(ignoreCase ? OP_CHAR_I : OP_CHAR);
        w.Byte(static_cast<uint8_t>(n->a));
    } else {
        w.Op(ignoreCase ? OP_STRING_I : OP_STRING);
        w.Word(n->c);
        w.Word(n->b);
    }
}

// Writes the head of a composite node; returns false for a simple node
// (written completely).
bool EmitOpen(Writer &w, const RxNode *n, bool ignoreCase) {
    uint8_t k = n->kind;
    switch (k) {
        case OP_EMPTY: return false;
        case OP_CHAR: EmitLiteral(w, n, ignoreCase); return false;
        case OP_CLASS: case OP_NOT_CLASS: case OP_BACKREF:
            w.Op(k);
            w.Word(n->a);
            return false;
        case OP_OPEN:
            w.Op(OP_OPEN);
            w.Word(n->a);
            return true;
        case OP_LOOKAHEAD: case OP_NEG_LOOKAHEAD:
            w.Op(k);
            w.Word(0);  // end, patched
            return true;
        case OP_ALT:
            w.Op(k);
            w.Word(0);  // second alternative, patched
            return true;
        case OP_ALT_GUARD_CHARS: case OP_ALT_GUARD_CLASS:
            w.Op(k);
            w.Word(0);  // end, patched
            w.Word(n->a);
            w.Word(n->b);
            w.Word(0);  // second alternative, patched
            return true;
        default:
            if (IsQuantifier(k)) {
                w.Op(k);
                if (k == OP_REPEAT || k == OP_LAZY_REPEAT) {
                    w.Word(n->a);
                    w.Word(n->b);
                }
                w.Word(0);  // end, patched
                w.Word(n->c);
                w.Word(n->d);
                return true;
            }
            w.Op(k);
            return false;
    }
}

uint32_t Emit(const RxParseResult &r, bool ignoreCase, uint8_t *code) {
    EmitFrame *frames = static_cast<EmitFrame *>(Mem_Alloc(sizeof(EmitFrame) * (r.depth + 1)));
    if (!frames) return ERR_NOMEM;
    Writer w(code);
    uint32_t n = 0;
    frames[n++] = EmitFrame{r.root, 0, 0, 0};
    while (n > 0) {
        EmitFrame &f = frames[n - 1];
        RxNode *node = f.cur;
        if (!node) {
            --n;
            continue;
        }
        uint8_t k = node->kind;
        if (f.stage == 0) {
            f.opPos = w.Pos();
            if (EmitOpen(w, node, ignoreCase)) {
                f.stage = 1;
                frames[n++] = EmitFrame{node->child, 0, 0, 0};
            } else {
                f.cur = node->next;
            }
            continue;
        }
        if (f.stage == 1) {
            if (k == OP_ALT || k == OP_ALT_GUARD_CHARS || k == OP_ALT_GUARD_CLASS) {
                f.jumpPos = w.Pos();
                w.Op(OP_JUMP);
                w.Word(0);
                w.Patch(f.opPos + (k == OP_ALT ? 1 : 13), w.Pos() - f.opPos);
                f.stage = 2;
                frames[n++] = EmitFrame{node->child2, 0, 0, 0};
                continue;
            }
            if (k == OP_OPEN) {
                w.Op(OP_CLOSE);
                w.Word(node->a);
            } else if (k == OP_LOOKAHEAD || k == OP_NEG_LOOKAHEAD) {
                w.Op(k == OP_LOOKAHEAD ? OP_LOOKAHEAD_TEST : OP_NEG_LOOKAHEAD_TEST);
                w.Patch(f.opPos + 1, w.Pos() - f.opPos);
            } else {
                w.Op(OP_END_CHILD);
                uint32_t at = f.opPos + (k == OP_REPEAT || k == OP_LAZY_REPEAT ? 9 : 1);
                w.Patch(at, w.Pos() - f.opPos);
            }
        } else {
            w.Op(OP_END_ALT);
            w.Patch(f.jumpPos + 1, w.Pos() - f.jumpPos);
            if (k != OP_ALT) w.Patch(f.opPos + 1, w.Pos() - f.opPos);
        }
        f.stage = 0;
        f.cur = node->next;
    }
    w.Op(OP_END);
    Mem_Free(frames);
    return w.Pos() == r.codeLength ? 0u : uint32_t{ERR_GENERAL};
}

// Where the matcher may scan ahead: the first operation after the opening
// of leading groups, when it is a simple test of the current position.
uint32_t FindScanOperation(const uint8_t *code) {
    uint32_t pc = 0;
    while (code[pc] == OP_OPEN) pc += RX_SIZE_INDEX;
    uint8_t op = code[pc];
    return (Rx_SimpleSize(op) != 0 && op != OP_BACKREF) ? pc : RX_NO_SCAN;
}

}  // namespace

uint32_t Rx_Compile(const char *source, uint32_t len, uint32_t flags, bool plain, RxProgram **out) {
    *out = nullptr;
    auto *p = static_cast<RxProgram *>(Mem_AllocZero(sizeof(RxProgram)));
    if (!p) return ERR_NOMEM;
    p->flags = flags & (RX_IGNORECASE | RX_GLOBAL | RX_MULTILINE);
    p->scanPc = RX_NO_SCAN;
    p->source = static_cast<char *>(Mem_Alloc(static_cast<size_t>(len) + 1));
    if (!p->source) {
        Rx_Free(p);
        return ERR_NOMEM;
    }
    if (len) std::memcpy(p->source, source, len);
    p->source[len] = 0;
    p->sourceLength = len;

    RxParseResult r;
    uint32_t err = RxParse_Run(reinterpret_cast<const uint8_t *>(p->source), len, p->flags, plain, &r);
    if (err) {
        Rx_Free(p);
        return err;
    }
    p->code = static_cast<uint8_t *>(Mem_Alloc(r.codeLength));
    err = p->code ? Emit(r, (p->flags & RX_IGNORECASE) != 0, p->code) : ERR_NOMEM;
    if (!err) {
        p->codeLength = r.codeLength;
        p->groupCount = r.groupCount;
        p->classCount = r.classCount;
        p->classes = r.classes;
        r.classes = nullptr;
        p->scanPc = FindScanOperation(p->code);
    }
    RxParse_Free(&r);
    if (err) {
        Rx_Free(p);
        return err;
    }
    *out = p;
    return 0;
}

void Rx_Free(RxProgram *p) {
    if (!p) return;
    Mem_Free(p->source);
    Arr_Free(p->classes);
    Mem_Free(p->bitmaps);
    Mem_Free(p->code);
    Arr_Free(p->stateCache);
    Arr_Free(p->trackCache);
    Arr_Free(p->choiceCache);
    Mem_Free(p);
}

uint32_t Rx_GroupCount(const RxProgram *p) { return p->groupCount; }
uint32_t Rx_Flags(const RxProgram *p) { return p->flags; }

const char *Rx_Source(const RxProgram *p, uint32_t *len) {
    *len = p->sourceLength;
    return p->source;
}

}  // namespace quillon
