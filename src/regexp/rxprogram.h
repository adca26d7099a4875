// The compiled form of a regular expression, shared by the compiler and the
// matcher: operation codes, operand layout, the class table and the program
// record.
//
// A program is a byte string of operations. Every multi-byte operand is a
// 32-bit value in host order; offsets are relative to the position of the
// operation that carries them.
//
//   OP_ALT            off2                     alt1 OP_JUMP alt2 OP_END_ALT
//   OP_ALT_GUARD_*    offEnd guard1 guard2 off2 alt1 OP_JUMP alt2 OP_END_ALT
//   OP_JUMP           off
//   OP_BACKREF        group
//   OP_STRING(_I)     sourceOffset length
//   OP_CHAR(_I)       character (1 byte)
//   OP_CLASS / NOT    classIndex
//   OP_STAR .. OPT    offEnd groupLo groupHi   body OP_END_CHILD
//   OP_REPEAT         min max offEnd groupLo groupHi   body OP_END_CHILD
//   OP_OPEN / CLOSE   group
//   OP_LOOKAHEAD(_NEG) offEnd                 body OP_(NEG_)LOOKAHEAD_TEST
//
// groupLo..groupHi-1 are the capturing groups inside a quantifier's body;
// they are reset at the start of every iteration. For OP_ALT_GUARD_CLASS,
// guard1 is the class index of the first alternative (bit 31 set when that
// class is negated) and guard2 the first character of the second one.
#pragma once
#include <cstdint>
#include <cstring>

#include "regexp/regexp.h"

namespace quillon {

enum RxOp : uint8_t {
    OP_EMPTY = 0,
    OP_ALT = 1,
    OP_BOL = 2,
    OP_EOL = 3,
    OP_WORD_BOUNDARY = 4,
    OP_NOT_WORD_BOUNDARY = 5,
    OP_ANY = 6,
    OP_DIGIT = 7,
    OP_NOT_DIGIT = 8,
    OP_WORD = 9,
    OP_NOT_WORD = 10,
    OP_SPACE = 11,
    OP_NOT_SPACE = 12,
    OP_BACKREF = 13,
    OP_STRING = 14,
    OP_CHAR = 15,
    OP_STRING_I = 16,
    OP_CHAR_I = 17,
    OP_CLASS = 22,
    OP_NOT_CLASS = 23,
    OP_REPEAT = 25,
    OP_STAR = 26,
    OP_PLUS = 27,
    OP_OPT = 28,
    OP_OPEN = 29,
    OP_CLOSE = 30,
    OP_JUMP = 31,
    OP_NONCAPTURE = 41,  // parser operator only
    OP_LOOKAHEAD = 43,
    OP_NEG_LOOKAHEAD = 44,
    OP_LOOKAHEAD_TEST = 45,
    OP_NEG_LOOKAHEAD_TEST = 46,
    OP_LAZY_STAR = 47,
    OP_LAZY_PLUS = 48,
    OP_LAZY_OPT = 49,
    OP_LAZY_REPEAT = 50,
    OP_END_CHILD = 51,
    OP_REPEAT_LOOP = 52,       // matcher continuation only
    OP_LAZY_REPEAT_LOOP = 53,  // matcher continuation only
    OP_ALT_GUARD_CHARS = 54,
    OP_ALT_GUARD_CLASS = 55,
    OP_END_ALT = 56,
    OP_CONCAT = 57,  // parser operator only
    OP_END = 58,
};

// Sizes of the operations, operands included.
constexpr uint32_t RX_SIZE_PLAIN = 1;
constexpr uint32_t RX_SIZE_CHAR = 2;
constexpr uint32_t RX_SIZE_STRING = 9;
constexpr uint32_t RX_SIZE_INDEX = 5;  // OP_BACKREF, OP_CLASS, OP_OPEN, OP_CLOSE, OP_JUMP
constexpr uint32_t RX_SIZE_ALT = 5;
constexpr uint32_t RX_SIZE_GUARD = 17;
constexpr uint32_t RX_SIZE_LOOK = 5;
constexpr uint32_t RX_SIZE_QUANT = 13;
constexpr uint32_t RX_SIZE_REPEAT = 21;

// Quantifier bounds: 65535 written in a pattern means "no maximum".
constexpr uint32_t RX_BOUND_LIMIT = 65535;
constexpr uint32_t RX_UNBOUNDED = 0xFFFFFFFFu;
// Capturing groups: the 65535th one is refused.
constexpr uint32_t RX_GROUP_LIMIT = 65535;
constexpr uint32_t RX_GUARD_NEGATED = 0x80000000u;
constexpr uint32_t RX_NO_SCAN = 0xFFFFFFFFu;

inline uint32_t Rx_Get32(const uint8_t *p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Rx_Put32(uint8_t *p, uint32_t v) { std::memcpy(p, &v, 4); }

// A quantifier operation, decoded.
struct RxQuant {
    uint32_t min, max;  // max RX_UNBOUNDED: no maximum
    uint32_t end;       // program position after OP_END_CHILD
    uint32_t groupLo, groupHi;
    uint32_t body;      // program position of the body
    bool lazy;
};

inline RxQuant Rx_ReadQuant(const uint8_t *code, uint32_t pc) {
    RxQuant q;
    uint8_t op = code[pc];
    const uint8_t *o = code + pc + 1;
    q.lazy = op >= OP_LAZY_STAR;
    switch (op) {
        case OP_STAR: case OP_LAZY_STAR: q.min = 0; q.max = RX_UNBOUNDED; break;
        case OP_PLUS: case OP_LAZY_PLUS: q.min = 1; q.max = RX_UNBOUNDED; break;
        case OP_OPT: case OP_LAZY_OPT: q.min = 0; q.max = 1; break;
        default:
            q.min = Rx_Get32(o);
            q.max = Rx_Get32(o + 4);
            o += 8;
            break;
    }
    q.end = pc + Rx_Get32(o);
    q.groupLo = Rx_Get32(o + 4);
    q.groupHi = Rx_Get32(o + 8);
    q.body = static_cast<uint32_t>(o + 12 - code);
    return q;
}

// Size of a simple operation (one that tests the current position and
// consumes a fixed or captured number of characters), 0 for any other.
inline uint32_t Rx_SimpleSize(uint8_t op) {
    switch (op) {
        case OP_BOL: case OP_EOL: case OP_WORD_BOUNDARY: case OP_NOT_WORD_BOUNDARY:
        case OP_ANY: case OP_DIGIT: case OP_NOT_DIGIT: case OP_WORD: case OP_NOT_WORD:
        case OP_SPACE: case OP_NOT_SPACE:
            return RX_SIZE_PLAIN;
        case OP_CHAR: case OP_CHAR_I: return RX_SIZE_CHAR;
        case OP_STRING: case OP_STRING_I: return RX_SIZE_STRING;
        case OP_BACKREF: case OP_CLASS: case OP_NOT_CLASS: return RX_SIZE_INDEX;
        default: return 0;
    }
}

// One bracket class: where its body lies in the source (without the
// brackets and without a leading ^).
struct RxClass {
    uint32_t bodyOffset;
    uint32_t bodyLength;
};
constexpr uint32_t RX_BITMAP_BYTES = 32;

inline bool Rx_BitTest(const uint8_t *bits, uint8_t c) { return (bits[c >> 3] >> (c & 7)) & 1; }

struct RxProgram {
    char *source;  // counted copy of the pattern text
    uint32_t sourceLength;
    uint32_t flags;
    uint32_t groupCount;
    uint32_t classCount;
    RxClass *classes;   // classCount entries, null when there are none
    uint8_t *bitmaps;   // RX_BITMAP_BYTES per class; null until built
    uint8_t *code;      // the program, ending with OP_END
    uint32_t codeLength;
    uint32_t scanPc;    // leading simple operation, or RX_NO_SCAN
    void *stateCache;   // matcher stacks kept between matches
    void *trackCache;
    void *choiceCache;
};

// Walks a class body: checks its ranges (0 or ERR_RX_RANGE) and, when
// `bits` is not null, sets the bit of every member in a 256-bit map, with
// both case forms of each member under ignore case.
uint32_t RxClass_Walk(const uint8_t *body, uint32_t len, bool ignoreCase, uint8_t *bits);

// Escapes shared by terms and classes. `p` points just after the escape
// letter; on return it points after what the escape consumed.
uint8_t Rx_ReadHexEscape(const uint8_t *&p, const uint8_t *end, uint32_t digits, uint8_t letter);
// Octal escape starting at its first digit; digits that would take the
// value past 255 end it.
uint8_t Rx_ReadOctalEscape(const uint8_t *&p, const uint8_t *end);

}  // namespace quillon
