// The error table: message and error class of every script error, the
// mapping of codes to rows, and the texts of codes.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

enum ErrClass : uint32_t {
    EC_ERROR = 0, EC_EVAL = 1, EC_RANGE = 2, EC_REFERENCE = 3, EC_SYNTAX = 4, EC_TYPE = 5, EC_URI = 6,
};

// Rows of the error table.
enum ErrRow : uint32_t {
    ROW_URI = 0, ROW_CATCH_FINALLY, ROW_UNCAUGHT, ROW_BAD_LABEL, ROW_DUP_LABEL,
    ROW_LABEL_NOT_FOUND, ROW_RX_FLAGS_GIVEN, ROW_RX_OPEN, ROW_RX_FLAG, ROW_RX_NOINPUT,
    ROW_RX_RANGE, ROW_RX_TRAILING, ROW_RX_CLASSOPEN, ROW_RX_UNEXPECTED_PAREN, ROW_RX_TOOMANY,
    ROW_RX_MAXLESS, ROW_RX_MAXLARGE, ROW_RX_MINLARGE, ROW_RX_QUANTIFIER, ROW_TOO_DEEP,
    ROW_EXCESS_DEFAULT, ROW_COLON, ROW_READONLY, ROW_SUBSCRIPT, ROW_NOPROP,
    ROW_ALREADY_DECLARED, ROW_OBJ_ALREADY_DECLARED, ROW_BAD_CTOR_ARGS, ROW_CTOR_NOT_DEFINED,
    ROW_CTOR_EXPECTED, ROW_UNRECOGNIZED, ROW_BAD_INIT, ROW_NO_EFFECT, ROW_BAD_CONDITION,
    ROW_NO_VALUE, ROW_BAD_ARGS, ROW_FN_NOT_DEFINED, ROW_FN_NOT_IMPL, ROW_WRONG_TYPE,
    ROW_OBJ_READONLY, ROW_NOT_VARIABLE, ROW_NOT_CTOR, ROW_NOT_FUNCTION,
    ROW_UNEXPECTED_DEFAULT, ROW_UNEXPECTED_CASE, ROW_UNEXPECTED_RETURN,
    ROW_UNEXPECTED_CONTINUE, ROW_UNEXPECTED_BREAK, ROW_WHILE_EXPECTED, ROW_EOS_EXPECTED,
    ROW_EOL_EXPECTED, ROW_EOF_EXPECTED, ROW_RBRACE, ROW_RBRACKET, ROW_RPAREN, ROW_LBRACE,
    ROW_LPAREN, ROW_SEMICOLON, ROW_COMMA, ROW_ARG_EXPECTED, ROW_COND_EXPECTED,
    ROW_EXPR_EXPECTED, ROW_IDENT_EXPECTED, ROW_OBJ_EXPECTED, ROW_UNMATCHED_COMMENT,
    ROW_STRING_OPEN, ROW_BREAK_RECEIVED, ROW_NESTED_TOO_DEEPLY,
    ROW_COUNT,
    // Not rows of the table: a row made on the spot from a code's text.
    ROW_FROM_CODE = 1000,
};

struct ErrRowInfo {
    const char *message;
    uint32_t errClass;
};

const ErrRowInfo &Err_Row(uint32_t row);
// The row a code is reported with; ROW_FROM_CODE when it has none.
uint32_t Err_RowOfCode(uint32_t code);
// Text of a code into buf; false when none was produced.
bool Err_CodeText(uint32_t code, char *buf, size_t size);
// "" for class 0, else the class name and a space ("Type ").
const char *Err_ClassPrefix(uint32_t errClass);
// The class's constructor name ("Error", "TypeError", ...).
const char *Err_ClassName(uint32_t errClass);

}  // namespace quillon
