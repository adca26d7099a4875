// The error table: message and class of every script error, the rows codes
// are reported with, and the texts of codes.
#include "runtime/errtable.h"

#include <cstring>

#include "platform/fault.h"
#include "runtime/errors.h"

namespace quillon {

namespace {

constexpr ErrRowInfo kRows[] = {
    {"Malformed URI sequence", EC_URI},
    {"Catch/finally expected", EC_SYNTAX},
    {"Uncaught exception", EC_ERROR},
    {"Expected valid label", EC_SYNTAX},
    {"Duplicate label", EC_SYNTAX},
    {"Label not found", EC_SYNTAX},
    {"Flags given when constructing a RegExp from another", EC_TYPE},
    {"Regular expression not terminated", EC_SYNTAX},
    {"Invalid regular expression flag", EC_SYNTAX},
    {"No input for regular expression", EC_SYNTAX},
    {"Invalid character class range", EC_SYNTAX},
    {"Trailing \\ in regular expression", EC_SYNTAX},
    {"Character class not terminated", EC_SYNTAX},
    {"Unexpected right parenthesis", EC_SYNTAX},
    {"Regular expression has too many parenthesis", EC_ERROR},
    {"Maximum is less than minimum", EC_SYNTAX},
    {"Maximum is too large", EC_SYNTAX},
    {"Minimum is too large", EC_SYNTAX},
    {"Invalid quantifier", EC_SYNTAX},
    {"Function called itself too many times", EC_ERROR},
    {"Excessive default statements", EC_SYNTAX},
    {"Colon expected", EC_SYNTAX},
    {"Property is read only", EC_REFERENCE},
    {"Subscript out of range", EC_RANGE},
    {"Property not found", EC_REFERENCE},
    {"%s already declared", EC_TYPE},
    {"Object already declared", EC_TYPE},
    {"Bad arguments for constructor", EC_TYPE},
    {"Constructor not defined", EC_SYNTAX},
    {"Constructor expected", EC_SYNTAX},
    {"Unrecognized statement", EC_SYNTAX},
    {"Bad initializer", EC_SYNTAX},
    {"Calculation has no effect", EC_SYNTAX},
    {"Not a valid condition", EC_TYPE},
    {"Function didn't set a return value", EC_TYPE},
    {"Bad arguments for function", EC_TYPE},
    {"Function not defined", EC_REFERENCE},
    {"Function not implemented", EC_REFERENCE},
    {"Wrong type of object for operation", EC_TYPE},
    {"Object is read only", EC_TYPE},
    {"Object is not a variable", EC_TYPE},
    {"Object is not a constructor", EC_TYPE},
    {"Object is not a function", EC_TYPE},
    {"Unexpected default statement", EC_SYNTAX},
    {"Unexpected case statement", EC_SYNTAX},
    {"Unexpected return statement", EC_SYNTAX},
    {"Unexpected continue statement", EC_SYNTAX},
    {"Unexpected break statement", EC_SYNTAX},
    {"While statement expected", EC_SYNTAX},
    {"End of string expected", EC_SYNTAX},
    {"End of line or semicolon expected", EC_SYNTAX},
    {"End of file expected", EC_SYNTAX},
    {"Right curly bracket expected", EC_SYNTAX},
    {"Right square bracket expected", EC_SYNTAX},
    {"Right parenthesis expected", EC_SYNTAX},
    {"Left curly bracket expected", EC_SYNTAX},
    {"Left parenthesis expected", EC_SYNTAX},
    {"Semicolon expected", EC_SYNTAX},
    {"Comma expected", EC_SYNTAX},
    {"Function argument expected", EC_SYNTAX},
    {"Condition expected", EC_SYNTAX},
    {"Expression expected", EC_SYNTAX},
    {"Identifier expected", EC_SYNTAX},
    {"Object expected", EC_SYNTAX},
    {"Unmatched comment", EC_SYNTAX},
    {"String not terminated", EC_SYNTAX},
    {"Break character recieved", EC_ERROR},
    // The evaluator's own bound on the nesting of expressions and statements.
    {"Program nested too deeply", EC_RANGE},
};
static_assert(sizeof kRows / sizeof kRows[0] == ROW_COUNT, "one row per ErrRow");
static_assert(ROW_BREAK_RECEIVED == 66 && ROW_NESTED_TOO_DEEPLY == 67, "row numbers");

struct CodeRow {
    uint32_t code;
    uint32_t row;
};

constexpr CodeRow kCodeRows[] = {
    {ERR_STRING_OPEN, ROW_STRING_OPEN},
    {ERR_COMMENT_OPEN, ROW_UNMATCHED_COMMENT},
    {ERR_BADARGS, ROW_BAD_ARGS},
    {ERR_NOPROP, ROW_NOPROP},
    {ERR_SUBSCRIPT, ROW_SUBSCRIPT},
    {ERR_READONLY, ROW_READONLY},
    {ERR_NOVALUE, ROW_NO_VALUE},
    {ERR_RX_QUANTIFIER, ROW_RX_QUANTIFIER},
    {ERR_RX_MINLARGE, ROW_RX_MINLARGE},
    {ERR_RX_MAXLARGE, ROW_RX_MAXLARGE},
    {ERR_RX_MAXLESS, ROW_RX_MAXLESS},
    {ERR_RX_TOOMANY, ROW_RX_TOOMANY},
    {ERR_RX_UNEXPECTEDPAREN, ROW_RX_UNEXPECTED_PAREN},
    {ERR_RX_PARENEXPECTED, ROW_RPAREN},
    {ERR_RX_CLASSOPEN, ROW_RX_CLASSOPEN},
    {ERR_RX_TRAILING, ROW_RX_TRAILING},
    {ERR_RX_RANGE, ROW_RX_RANGE},
    {ERR_RX_NOINPUT, ROW_RX_NOINPUT},
    {ERR_RX_FLAG, ROW_RX_FLAG},
    {ERR_RX_OPEN, ROW_RX_OPEN},
    {ERR_RX_FLAGSGIVEN, ROW_RX_FLAGS_GIVEN},
    {ERR_URI, ROW_URI},
    {ERR_WRONGTYPE, ROW_WRONG_TYPE},
    {ERR_NOTIMPL, ROW_FN_NOT_IMPL},
};

constexpr const char *kClassNames[] = {
    "Error", "EvalError", "RangeError", "ReferenceError", "SyntaxError", "TypeError", "URIError",
};
constexpr const char *kClassPrefixes[] = {
    "", "Eval ", "Range ", "Reference ", "Syntax ", "Type ", "URI ",
};

}  // namespace

const ErrRowInfo &Err_Row(uint32_t row) {
    return kRows[row < ROW_COUNT ? row : ROW_UNCAUGHT];
}

uint32_t Err_RowOfCode(uint32_t code) {
    for (const CodeRow &r : kCodeRows) {
        if (r.code == code) return r.row;
    }
    return ROW_FROM_CODE;
}

bool Err_CodeText(uint32_t code, char *buf, size_t size) {
    const char *fixed = nullptr;
    switch (code & 0xFFFF) {
    case ERR_GENERAL: fixed = "General failure"; break;
    case ERR_BREAK: fixed = "User break"; break;
    case ERR_BADFORMAT: fixed = "Bad file format"; break;
    default: break;
    }
    if (!fixed) return Plat_FaultText(code, buf, size);
    size_t n = std::strlen(fixed);
    if (n + 1 > size) return false;
    std::memcpy(buf, fixed, n + 1);
    return true;
}

const char *Err_ClassPrefix(uint32_t errClass) {
    return errClass <= EC_URI ? kClassPrefixes[errClass] : "";
}

const char *Err_ClassName(uint32_t errClass) {
    return errClass <= EC_URI ? kClassNames[errClass] : kClassNames[0];
}

}  // namespace quillon
