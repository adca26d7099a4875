// First compiler pass: an operator-precedence parse of the pattern with an
// operator stack and an operand stack (no recursion), building parse nodes,
// the class table and the exact program length.
#include "regexp/rxparse.h"

#include "runtime/errors.h"
#include "runtime/memory.h"

namespace quillon {

namespace {
constexpr uint32_t kChunkNodes = 128;
}

// Nodes come from chunks kept in one list and freed together.
struct RxNodeChunk {
    RxNodeChunk *prev;
    uint32_t used;
    RxNode nodes[kChunkNodes];
};

namespace {

constexpr uint32_t kStackStart = 128;
constexpr uint32_t kClassCache = 4;
constexpr uint64_t kMaxCode = 0xFFFFFF00u;

// An entry of the operator stack. Openers remember the group count at
// their push so that a quantifier on the group knows which groups it holds.
struct Operator {
    uint8_t kind;  // OP_OPEN, OP_NONCAPTURE, OP_LOOKAHEAD, OP_NEG_LOOKAHEAD, OP_ALT, OP_CONCAT
    uint32_t group;
    uint32_t groupsAtPush;
};

struct CachedClass {
    uint32_t offset, length, index;
};

struct Parser {
    const uint8_t *src;
    const uint8_t *p;
    const uint8_t *end;
    bool ignoreCase;
    uint32_t groups;        // capturing groups opened so far
    uint32_t totalGroups;   // of the whole pattern, once counted
    bool counted;
    uint64_t size;          // program length so far
    uint32_t depth;
    RxNodeChunk *chunks;
    RxNode **operands;
    uint32_t operandCount;
    Operator *ops;
    uint32_t opCount;
    RxClass *classes;
    uint32_t classCount;
    CachedClass cache[kClassCache];
    uint32_t cacheUsed, cacheNext;
    uint32_t atomGroupLo;   // first group inside the atom just parsed
};

RxNode *NewNode(Parser &ps, uint8_t kind) {
    RxNodeChunk *ch = ps.chunks;
    if (!ch || ch->used == kChunkNodes) {
        ch = static_cast<RxNodeChunk *>(Mem_Alloc(sizeof(RxNodeChunk)));
        if (!ch) return nullptr;
        ch->prev = ps.chunks;
        ch->used = 0;
        ps.chunks = ch;
    }
    RxNode *n = &ch->nodes[ch->used++];
    std::memset(n, 0, sizeof(RxNode));
    n->kind = kind;
    n->tail = n;
    return n;
}

// Gives back the node allocated last (a literal merged into its neighbour).
void DropLastNode(Parser &ps) { ps.chunks->used--; }

uint32_t PushOperand(Parser &ps, RxNode *n) {
    if (!Arr_EnsureT(ps.operands, ps.operandCount + 1)) return ERR_NOMEM;
    ps.operands[ps.operandCount++] = n;
    return 0;
}

uint32_t PushOperator(Parser &ps, uint8_t kind, uint32_t group, uint32_t groupsAtPush) {
    if (!Arr_EnsureT(ps.ops, ps.opCount + 1)) return ERR_NOMEM;
    ps.ops[ps.opCount++] = Operator{kind, group, groupsAtPush};
    return 0;
}

bool IsOpener(uint8_t kind) { return kind != OP_ALT && kind != OP_CONCAT; }
bool IsLiteral(const RxNode *n) { return n->kind == OP_CHAR; }
bool IsClass(const RxNode *n) { return n->kind == OP_CLASS || n->kind == OP_NOT_CLASS; }

// Applies a concatenation or alternation operator to the top two operands.
uint32_t ApplyOperator(Parser &ps, uint8_t kind) {
    RxNode *second = ps.operands[--ps.operandCount];
    RxNode *first = ps.operands[ps.operandCount - 1];
    if (kind == OP_CONCAT) {
        first->tail->next = second;
        first->tail = second->tail;
        return 0;
    }
    RxNode *alt = NewNode(ps, OP_ALT);
    if (!alt) return ERR_NOMEM;
    alt->child = first;
    alt->child2 = second;
    // When each alternative must start with a known character, the
    // alternation can choose without trying both.
    if (!ps.ignoreCase && IsLiteral(second) && (IsLiteral(first) || IsClass(first))) {
        if (IsLiteral(first)) {
            alt->kind = OP_ALT_GUARD_CHARS;
            alt->a = first->a;
        } else {
            alt->kind = OP_ALT_GUARD_CLASS;
            alt->a = first->a | (first->kind == OP_NOT_CLASS ? RX_GUARD_NEGATED : 0);
        }
        alt->b = second->a;
        ps.size += RX_SIZE_GUARD + RX_SIZE_INDEX + RX_SIZE_PLAIN;
    } else {
        ps.size += RX_SIZE_ALT + RX_SIZE_INDEX + RX_SIZE_PLAIN;
    }
    ps.depth++;
    ps.operands[ps.operandCount - 1] = alt;
    return 0;
}

RxNode *NewLiteral(Parser &ps, uint8_t ch, uint32_t sourceOffset) {
    RxNode *n = NewNode(ps, OP_CHAR);
    if (!n) return nullptr;
    n->a = ch;
    n->b = 1;
    n->c = sourceOffset;
    ps.size += RX_SIZE_CHAR;
    return n;
}

uint32_t SourceOffset(const Parser &ps, const uint8_t *at) { return static_cast<uint32_t>(at - ps.src); }

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A digit escape \1..\9: a back reference when the pattern has that many
// groups, else an octal escape starting at the first digit.
uint32_t ParseDigitEscape(Parser &ps, RxNode **out) {
    const uint8_t *q = ps.p;
    uint32_t n = 0;
    while (q < ps.end && IsDigit(*q)) {
        if (n < 100000000u) n = n * 10 + static_cast<uint32_t>(*q - '0');
        ++q;
    }
    if (n > ps.groups && !ps.counted) {
        ps.totalGroups = RxParse_CountGroups(ps.src, static_cast<uint32_t>(ps.end - ps.src));
        ps.counted = true;
    }
    if (n <= ps.groups || (ps.counted && n <= ps.totalGroups)) {
        RxNode *node = NewNode(ps, OP_BACKREF);
        if (!node) return ERR_NOMEM;
        node->a = n - 1;
        ps.size += RX_SIZE_INDEX;
        ps.p = q;
        *out = node;
        return 0;
    }
    uint8_t ch = Rx_ReadOctalEscape(ps.p, ps.end);
    *out = NewLiteral(ps, ch, RX_NO_SOURCE);
    return *out ? 0u : uint32_t{ERR_NOMEM};
}

// An escape outside a class; ps.p is at the backslash.
uint32_t ParseEscape(Parser &ps, RxNode **out, bool *quantifiable) {
    const uint8_t *backslash = ps.p++;
    if (ps.p >= ps.end) return ERR_RX_TRAILING;
    uint8_t e = *ps.p;
    uint8_t op = 0;
    switch (e) {
        case 'b': op = OP_WORD_BOUNDARY; *quantifiable = false; break;
        case 'B': op = OP_NOT_WORD_BOUNDARY; *quantifiable = false; break;
        case 'd': op = OP_DIGIT; break;
        case 'D': op = OP_NOT_DIGIT; break;
        case 'w': op = OP_WORD; break;
        case 'W': op = OP_NOT_WORD; break;
        case 's': op = OP_SPACE; break;
        case 'S': op = OP_NOT_SPACE; break;
        default: break;
    }
    if (op) {
        ps.p++;
        *out = NewNode(ps, op);
        ps.size += RX_SIZE_PLAIN;
        return *out ? 0u : uint32_t{ERR_NOMEM};
    }
    uint8_t ch;
    uint32_t from = RX_NO_SOURCE;
    switch (e) {
        case 'f': ch = 12; ps.p++; break;
        case 'n': ch = 10; ps.p++; break;
        case 'r': ch = 13; ps.p++; break;
        case 't': ch = 9; ps.p++; break;
        case 'v': ch = 11; ps.p++; break;
        case 'c':
            if (ps.p + 1 < ps.end && IsAsciiLetter(ps.p[1])) {
                ch = static_cast<uint8_t>(ps.p[1] & 31);
                ps.p += 2;
            } else {
                // Not a control escape: the backslash is itself, the c is read next.
                ch = '\\';
                from = SourceOffset(ps, backslash);
            }
            break;
        case 'x':
        case 'u': {
            const uint8_t *after = ++ps.p;
            ch = Rx_ReadHexEscape(ps.p, ps.end, e == 'x' ? 2 : 4, e);
            if (ps.p == after && after < ps.end) from = SourceOffset(ps, after - 1);  // the letter itself
            break;
        }
        default:
            if (e == '0') {
                ch = Rx_ReadOctalEscape(ps.p, ps.end);
                break;
            }
            if (IsDigit(e)) return ParseDigitEscape(ps, out);
            ch = e;
            from = SourceOffset(ps, ps.p);
            ps.p++;
            break;
    }
    *out = NewLiteral(ps, ch, from);
    return *out ? 0u : uint32_t{ERR_NOMEM};
}

// A bracket class; ps.p is at the '['.
uint32_t ParseClass(Parser &ps, RxNode **out) {
    ps.p++;
    bool negated = ps.p < ps.end && *ps.p == '^';
    if (negated) ps.p++;
    const uint8_t *body = ps.p;
    while (ps.p < ps.end && *ps.p != ']') ps.p += (*ps.p == '\\' && ps.end - ps.p > 1) ? 2 : 1;
    if (ps.p >= ps.end) return ERR_RX_CLASSOPEN;
    uint32_t offset = SourceOffset(ps, body);
    uint32_t length = static_cast<uint32_t>(ps.p - body);
    ps.p++;
    uint32_t err = RxClass_Walk(body, length, ps.ignoreCase, nullptr);
    if (err) return err;
    // Reuse the index of an identical body among the last few classes.
    uint32_t index = RX_NO_SOURCE;
    for (uint32_t i = 0; i < ps.cacheUsed; ++i) {
        const CachedClass &c = ps.cache[i];
        if (c.length == length && std::memcmp(ps.src + c.offset, body, length) == 0) {
            index = c.index;
            break;
        }
    }
    if (index == RX_NO_SOURCE) {
        if (!Arr_EnsureT(ps.classes, ps.classCount + 1)) return ERR_NOMEM;
        index = ps.classCount++;
        ps.classes[index] = RxClass{offset, length};
        ps.cache[ps.cacheNext] = CachedClass{offset, length, index};
        ps.cacheNext = (ps.cacheNext + 1) % kClassCache;
        if (ps.cacheUsed < kClassCache) ps.cacheUsed++;
    }
    RxNode *n = NewNode(ps, negated ? OP_NOT_CLASS : OP_CLASS);
    if (!n) return ERR_NOMEM;
    n->a = index;
    ps.size += RX_SIZE_INDEX;
    *out = n;
    return 0;
}

// A term that is not a group; ps.p is at its first character.
uint32_t ParseTerm(Parser &ps, RxNode **out, bool *quantifiable) {
    uint8_t c = *ps.p;
    uint8_t op = 0;
    *quantifiable = true;
    switch (c) {
        case '^': op = OP_BOL; *quantifiable = false; break;
        case '$': op = OP_EOL; *quantifiable = false; break;
        case '.': op = OP_ANY; break;
        case '*': case '+': case '?': return ERR_RX_QUANTIFIER;
        case '[': return ParseClass(ps, out);
        case '\\': return ParseEscape(ps, out, quantifiable);
        default: break;
    }
    if (op) {
        ps.p++;
        *out = NewNode(ps, op);
        ps.size += RX_SIZE_PLAIN;
        return *out ? 0u : uint32_t{ERR_NOMEM};
    }
    *out = NewLiteral(ps, c, SourceOffset(ps, ps.p));
    ps.p++;
    return *out ? 0u : uint32_t{ERR_NOMEM};
}

// Reads decimal digits as a number that saturates above the bound limit.
uint32_t ReadBound(const uint8_t *&q, const uint8_t *end) {
    uint32_t v = 0;
    while (q < end && IsDigit(*q)) {
        if (v <= RX_BOUND_LIMIT) v = v * 10 + static_cast<uint32_t>(*q - '0');
        ++q;
    }
    return v;
}

// A quantifier after an atom, if one follows; wraps *node in it.
uint32_t ParseQuantifier(Parser &ps, RxNode **node) {
    if (ps.p >= ps.end) return 0;
    uint32_t min, max;
    const uint8_t *q = ps.p;
    switch (*q) {
        case '*': min = 0; max = RX_UNBOUNDED; ++q; break;
        case '+': min = 1; max = RX_UNBOUNDED; ++q; break;
        case '?': min = 0; max = 1; ++q; break;
        case '{': {
            ++q;
            if (q >= ps.end || !IsDigit(*q)) return 0;  // no quantifier: the '{' is refused later
            min = ReadBound(q, ps.end);
            bool hasMax = false, open = false;
            uint32_t given = 0;
            if (q < ps.end && *q == ',') {
                ++q;
                open = true;
                if (q < ps.end && IsDigit(*q)) {
                    given = ReadBound(q, ps.end);
                    hasMax = true;
                }
            }
            if (q >= ps.end || *q != '}') return 0;
            ++q;
            if (min > RX_BOUND_LIMIT) return ERR_RX_MINLARGE;
            if (hasMax && given > RX_BOUND_LIMIT) return ERR_RX_MAXLARGE;
            if (hasMax && given < min) return ERR_RX_MAXLESS;
            max = !open ? min : (hasMax ? given : RX_UNBOUNDED);
            if (max == RX_BOUND_LIMIT) max = RX_UNBOUNDED;
            break;
        }
        default: return 0;
    }
    bool lazy = q < ps.end && *q == '?';
    if (lazy) ++q;
    ps.p = q;
    uint8_t kind;
    if (min == 0 && max == RX_UNBOUNDED) kind = lazy ? OP_LAZY_STAR : OP_STAR;
    else if (min == 1 && max == RX_UNBOUNDED) kind = lazy ? OP_LAZY_PLUS : OP_PLUS;
    else if (min == 0 && max == 1) kind = lazy ? OP_LAZY_OPT : OP_OPT;
    else kind = lazy ? OP_LAZY_REPEAT : OP_REPEAT;
    RxNode *quant = NewNode(ps, kind);
    if (!quant) return ERR_NOMEM;
    quant->child = *node;
    quant->a = min;
    quant->b = max;
    quant->c = ps.atomGroupLo;
    quant->d = ps.groups;
    ps.size += (kind == OP_REPEAT || kind == OP_LAZY_REPEAT ? RX_SIZE_REPEAT : RX_SIZE_QUANT) + RX_SIZE_PLAIN;
    ps.depth++;
    *node = quant;
    return 0;
}

// Pushes a parsed term, or merges a literal into the literal just before it
// when they are neighbours in the source: a run of plain characters becomes
// one string operation pointing into the source.
uint32_t PushTerm(Parser &ps, RxNode *node) {
    if (IsLiteral(node) && node->c != RX_NO_SOURCE && ps.opCount > 0 &&
        ps.ops[ps.opCount - 1].kind == OP_CONCAT) {
        RxNode *prev = ps.operands[ps.operandCount - 1];
        if (IsLiteral(prev) && !prev->next && prev->c != RX_NO_SOURCE && prev->c + prev->b == node->c &&
            prev->b < 0xFFFFFFFFu) {
            prev->b++;
            ps.size -= RX_SIZE_CHAR;
            if (prev->b == 2) ps.size += RX_SIZE_STRING - RX_SIZE_CHAR;
            ps.opCount--;
            DropLastNode(ps);
            return 0;
        }
    }
    return PushOperand(ps, node);
}

// Closes a group at ')': applies the pending operators down to its opener.
uint32_t CloseGroup(Parser &ps, RxNode **out) {
    while (ps.opCount > 0 && !IsOpener(ps.ops[ps.opCount - 1].kind)) {
        uint32_t err = ApplyOperator(ps, ps.ops[--ps.opCount].kind);
        if (err) return err;
    }
    if (ps.opCount == 0) return ERR_RX_UNEXPECTEDPAREN;
    Operator opener = ps.ops[--ps.opCount];
    RxNode *body = ps.operands[--ps.operandCount];
    ps.atomGroupLo = opener.groupsAtPush;
    if (opener.kind == OP_NONCAPTURE) {
        *out = body;
        return 0;
    }
    RxNode *n = NewNode(ps, opener.kind);
    if (!n) return ERR_NOMEM;
    n->child = body;
    if (opener.kind == OP_OPEN) {
        n->a = opener.group;
        ps.size += 2 * RX_SIZE_INDEX;
    } else {
        ps.size += RX_SIZE_LOOK + RX_SIZE_PLAIN;
    }
    ps.depth++;
    *out = n;
    return 0;
}

uint32_t OpenGroup(Parser &ps) {
    ps.p++;
    uint8_t kind = OP_OPEN;
    if (ps.end - ps.p > 1 && ps.p[0] == '?') {
        switch (ps.p[1]) {
            case '=': kind = OP_LOOKAHEAD; break;
            case '!': kind = OP_NEG_LOOKAHEAD; break;
            case ':': kind = OP_NONCAPTURE; break;
            default: break;
        }
        if (kind != OP_OPEN) ps.p += 2;
    }
    if (kind != OP_OPEN) return PushOperator(ps, kind, 0, ps.groups);
    uint32_t group = ps.groups++;
    if (ps.groups >= RX_GROUP_LIMIT) return ERR_RX_TOOMANY;
    return PushOperator(ps, kind, group, group);
}

uint32_t ParsePattern(Parser &ps) {
    bool expectTerm = true;
    for (;;) {
        uint32_t err = 0;
        if (expectTerm) {
            if (ps.p == ps.end || *ps.p == ')' || *ps.p == '|') {
                // An empty alternative or group body.
                RxNode *empty = NewNode(ps, OP_EMPTY);
                if (!empty) return ERR_NOMEM;
                if ((err = PushOperand(ps, empty)) != 0) return err;
                expectTerm = false;
                continue;
            }
            if (*ps.p == '(') {
                if ((err = OpenGroup(ps)) != 0) return err;
                continue;
            }
            RxNode *node = nullptr;
            bool quantifiable = true;
            ps.atomGroupLo = ps.groups;
            if ((err = ParseTerm(ps, &node, &quantifiable)) != 0) return err;
            if (quantifiable && (err = ParseQuantifier(ps, &node)) != 0) return err;
            if ((err = PushTerm(ps, node)) != 0) return err;
            expectTerm = false;
            continue;
        }
        if (ps.p == ps.end) break;
        switch (*ps.p) {
            case '*': case '+': case '?': case '{':
                return ERR_RX_QUANTIFIER;
            case ')': {
                ps.p++;
                RxNode *node = nullptr;
                if ((err = CloseGroup(ps, &node)) != 0) return err;
                if ((err = ParseQuantifier(ps, &node)) != 0) return err;
                if ((err = PushOperand(ps, node)) != 0) return err;
                break;
            }
            case '|':
                ps.p++;
                while (ps.opCount > 0 && ps.ops[ps.opCount - 1].kind == OP_CONCAT) {
                    if ((err = ApplyOperator(ps, OP_CONCAT)) != 0) return err;
                    ps.opCount--;
                }
                if ((err = PushOperator(ps, OP_ALT, 0, 0)) != 0) return err;
                expectTerm = true;
                break;
            default:
                if ((err = PushOperator(ps, OP_CONCAT, 0, 0)) != 0) return err;
                expectTerm = true;
                break;
        }
    }
    while (ps.opCount > 0) {
        uint8_t kind = ps.ops[ps.opCount - 1].kind;
        if (IsOpener(kind)) return ERR_RX_PARENEXPECTED;
        uint32_t err = ApplyOperator(ps, kind);
        if (err) return err;
        ps.opCount--;
    }
    return 0;
}

void FreeChunks(RxNodeChunk *ch) {
    while (ch) {
        RxNodeChunk *prev = ch->prev;
        Mem_Free(ch);
        ch = prev;
    }
}

}  // namespace

uint32_t RxParse_Run(const uint8_t *source, uint32_t len, uint32_t flags, bool plain,
                     RxParseResult *out) {
    std::memset(out, 0, sizeof(*out));
    Parser ps;
    std::memset(&ps, 0, sizeof(ps));
    ps.src = source;
    ps.p = source;
    ps.end = source + len;
    ps.ignoreCase = (flags & RX_IGNORECASE) != 0;
    uint32_t err = 0;
    ps.operands = static_cast<RxNode **>(Arr_Alloc(sizeof(RxNode *), kStackStart));
    ps.ops = static_cast<Operator *>(Arr_Alloc(sizeof(Operator), kStackStart));
    if (!ps.operands || !ps.ops) {
        err = ERR_NOMEM;
    } else if (plain && len > 0) {
        RxNode *n = NewLiteral(ps, source[0], 0);
        if (!n) {
            err = ERR_NOMEM;
        } else {
            n->b = len;
            if (len > 1) ps.size += RX_SIZE_STRING - RX_SIZE_CHAR;
            err = PushOperand(ps, n);
        }
    } else if (plain) {
        RxNode *n = NewNode(ps, OP_EMPTY);
        err = n ? PushOperand(ps, n) : ERR_NOMEM;
    } else {
        err = ParsePattern(ps);
    }
    if (!err && ps.size + RX_SIZE_PLAIN > kMaxCode) err = ERR_NOMEM;
    if (!err) {
        out->root = ps.operands[0];
        out->codeLength = static_cast<uint32_t>(ps.size + RX_SIZE_PLAIN);
        out->depth = ps.depth;
        out->groupCount = ps.groups;
        out->classCount = ps.classCount;
        out->classes = ps.classes;
        out->chunks = ps.chunks;
    } else {
        FreeChunks(ps.chunks);
        Arr_Free(ps.classes);
    }
    Arr_Free(ps.operands);
    Arr_Free(ps.ops);
    return err;
}

void RxParse_Free(RxParseResult *r) {
    FreeChunks(r->chunks);
    r->chunks = nullptr;
    Arr_Free(r->classes);
    r->classes = nullptr;
}

uint32_t RxParse_CountGroups(const uint8_t *source, uint32_t len) {
    const uint8_t *p = source;
    const uint8_t *end = source + len;
    uint32_t n = 0;
    while (p < end) {
        uint8_t c = *p;
        if (c == '\\') {
            p += end - p > 1 ? 2 : 1;
        } else if (c == '[') {
            ++p;
            while (p < end && *p != ']') p += (*p == '\\' && end - p > 1) ? 2 : 1;
            if (p < end) ++p;
        } else {
            if (c == '(' && !(end - p > 2 && p[1] == '?' && (p[2] == '=' || p[2] == '!' || p[2] == ':')) &&
                n < RX_GROUP_LIMIT)
                ++n;
            ++p;
        }
    }
    return n;
}

}  // namespace quillon
