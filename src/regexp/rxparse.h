// Parsing a pattern into a tree of nodes, the first of the compiler's two
// passes. The parse also sizes the program exactly and builds the class
// table, so that emission writes into one buffer without growing it.
#pragma once
#include <cstdint>

#include "regexp/rxprogram.h"

namespace quillon {

// A parse node. Nodes of a concatenation are linked through `next`; `tail`
// is the last node of the chain a node heads while it sits on the operand
// stack.
struct RxNode {
    RxNode *next;
    RxNode *tail;
    RxNode *child;   // group, look-ahead and quantifier body; first alternative
    RxNode *child2;  // second alternative
    // Per kind:
    //   literal (OP_CHAR): a first character, b length, c source offset or RX_NO_SOURCE
    //   OP_CLASS / OP_NOT_CLASS: a class index
    //   OP_BACKREF, OP_OPEN: a group index
    //   quantifier (OP_STAR ...): a min, b max, c groupLo, d groupHi
    //   alternations: a guard1, b guard2
    uint32_t a, b, c, d;
    uint8_t kind;
};
constexpr uint32_t RX_NO_SOURCE = 0xFFFFFFFFu;

struct RxNodeChunk;

// Everything the parse hands to emission. Free with RxParse_Free.
struct RxParseResult {
    RxNode *root;
    RxNodeChunk *chunks;  // every node of the parse
    uint32_t codeLength;  // exact program length, OP_END included
    uint32_t depth;       // nodes that need an emission-stack entry
    uint32_t groupCount;
    uint32_t classCount;
    RxClass *classes;     // growable array, null when there are none
};

// Parses `len` bytes of `source`. Returns 0 with *out filled, or an error
// code (nothing is left allocated then).
uint32_t RxParse_Run(const uint8_t *source, uint32_t len, uint32_t flags, bool plain,
                     RxParseResult *out);
// Frees the nodes and, unless taken (set to null), the class table.
void RxParse_Free(RxParseResult *r);

// Counts the capturing groups of a whole pattern without building anything
// (used when a back reference names a group not yet opened).
uint32_t RxParse_CountGroups(const uint8_t *source, uint32_t len);

}  // namespace quillon
