// The operators the binary tokens stand for: for each, the general
// operation on any two values (values/operators.h; `in` and `instanceof`
// from objects/member.h) and the number rule for two numbers
// (values/numops.h). This table is the one place where tokens meet
// operators; the evaluator and the compound assignments read it.
#pragma once
#include <array>
#include <cstdint>

#include "lexer/lexer.h"
#include "objects/member.h"
#include "values/numops.h"
#include "values/operators.h"

namespace quillon {

struct BinaryOperator {
    BinaryOp general;  // null for &&, || and ?, which the evaluator runs itself
    NumOp number;      // NumOp::None when two numbers take the general path too
};

namespace binary_detail {

constexpr BinaryOperator RowOf(uint32_t t) {
    switch (t) {
    case TK_BITOR: return {Op_BitOr, NumOp::BitOr};
    case TK_BITXOR: return {Op_BitXor, NumOp::BitXor};
    case TK_BITAND: return {Op_BitAnd, NumOp::BitAnd};
    case TK_EQ: return {Op_LooseEqual, NumOp::Eq};
    case TK_NE: return {Op_LooseNotEqual, NumOp::Ne};
    case TK_SEQ: return {Op_StrictEqual, NumOp::Eq};
    case TK_SNE: return {Op_StrictNotEqual, NumOp::Ne};
    case TK_LT: return {Op_Less, NumOp::Lt};
    case TK_GT: return {Op_Greater, NumOp::Gt};
    case TK_LE: return {Op_LessEqual, NumOp::Le};
    case TK_GE: return {Op_GreaterEqual, NumOp::Ge};
    case TK_IN: return {Op_In, NumOp::None};
    case TK_INSTANCEOF: return {Op_InstanceOf, NumOp::None};
    case TK_SHL: return {Op_ShiftLeft, NumOp::Shl};
    case TK_SHR: return {Op_ShiftRightUnsigned, NumOp::Shr};
    case TK_SAR: return {Op_ShiftRight, NumOp::Sar};
    case TK_ADD: return {Op_Add, NumOp::Add};
    case TK_SUB: return {Op_Sub, NumOp::Sub};
    case TK_MUL: return {Op_Mul, NumOp::Mul};
    case TK_DIV: return {Op_Div, NumOp::Div};
    case TK_MOD: return {Op_Mod, NumOp::Mod};
    default: return {nullptr, NumOp::None};
    }
}

constexpr uint32_t kFirst = TK_LOGOR, kLast = TK_MOD;

constexpr std::array<BinaryOperator, kLast - kFirst + 1> MakeTable() {
    std::array<BinaryOperator, kLast - kFirst + 1> rows{};
    for (uint32_t t = kFirst; t <= kLast; ++t) rows[t - kFirst] = RowOf(t);
    return rows;
}

inline constexpr std::array<BinaryOperator, kLast - kFirst + 1> kTable = MakeTable();

}  // namespace binary_detail

// The operator of a binary token (Tk_IsBinary).
inline const BinaryOperator &Ev_Binary(uint32_t token) {
    return binary_detail::kTable[token - binary_detail::kFirst];
}

}  // namespace quillon
