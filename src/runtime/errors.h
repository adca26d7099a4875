// Error codes. Every failure inside the interpreter is a 32-bit code: 0 is
// success; codes below 0x1000 are platform error numbers; 0x1000..0x1002 the
// library's own; 0x8000 and up script errors and completion signals. Bit
// 0x40000000 marks a code whose report has been shown.
#pragma once
#include <cstdint>

namespace quillon {

constexpr uint32_t ERR_OK = 0;
constexpr uint32_t ERR_NOMEM = 103;
constexpr uint32_t ERR_NOTFOUND = 205;     // no such name (host lookup)
constexpr uint32_t ERR_WRONGTYPE = 212;    // wrong type of object
constexpr uint32_t ERR_NOTIMPL = 236;      // not implemented
constexpr uint32_t ERR_GENERAL = 0x1000;   // "General failure"
constexpr uint32_t ERR_BREAK = 0x1001;     // "User break"
constexpr uint32_t ERR_BADFORMAT = 0x1002; // "Bad file format"

constexpr uint32_t ERR_STRING_OPEN = 0x8001;   // String not terminated
constexpr uint32_t ERR_COMMENT_OPEN = 0x8002;  // Unmatched comment
constexpr uint32_t CPL_BREAK = 0x8011;
constexpr uint32_t CPL_CONTINUE = 0x8012;
constexpr uint32_t CPL_RETURN = 0x8013;
constexpr uint32_t ERR_BADARGS = 0x8014;       // Bad arguments for function (the native preset)
constexpr uint32_t ERR_NOPROP = 0x8015;        // Property not found
constexpr uint32_t ERR_SUBSCRIPT = 0x8016;     // Subscript out of range
constexpr uint32_t ERR_READONLY = 0x8017;      // Property is read only
constexpr uint32_t ERR_NOVALUE = 0x8018;       // Function didn't set a return value
constexpr uint32_t CPL_CASE = 0x8019;
constexpr uint32_t CPL_DEFAULT = 0x801A;
constexpr uint32_t CPL_THROW = 0x801B;
constexpr uint32_t ERR_SHOWN = 0x8020;         // with ERR_REPORTED: a report has been shown, stop

constexpr uint32_t ERR_RX_QUANTIFIER = 0x8030;  // Invalid quantifier
constexpr uint32_t ERR_RX_MINLARGE = 0x8031;    // Minimum is too large
constexpr uint32_t ERR_RX_MAXLARGE = 0x8032;    // Maximum is too large
constexpr uint32_t ERR_RX_MAXLESS = 0x8033;     // Maximum is less than minimum
constexpr uint32_t ERR_RX_TOOMANY = 0x8034;     // Regular expression has too many parenthesis
constexpr uint32_t ERR_RX_UNEXPECTEDPAREN = 0x8035;  // Unexpected right parenthesis
constexpr uint32_t ERR_RX_PARENEXPECTED = 0x8036;    // Right parenthesis expected
constexpr uint32_t ERR_RX_CLASSOPEN = 0x8037;   // Character class not terminated
constexpr uint32_t ERR_RX_TRAILING = 0x8038;    // Trailing \ in regular expression
constexpr uint32_t ERR_RX_RANGE = 0x8039;       // Invalid character class range
constexpr uint32_t ERR_RX_NOINPUT = 0x803A;     // No input for regular expression
constexpr uint32_t ERR_RX_FLAG = 0x803B;        // Invalid regular expression flag
constexpr uint32_t ERR_RX_OPEN = 0x803C;        // Regular expression not terminated
constexpr uint32_t ERR_RX_FLAGSGIVEN = 0x803D;  // Flags given when constructing a RegExp from another
constexpr uint32_t ERR_URI = 0x803E;            // Malformed URI sequence

constexpr uint32_t ERR_REPORTED = 0x40000000;
constexpr uint32_t ERR_STOP = ERR_REPORTED | ERR_SHOWN;  // 0x40008020


inline bool Err_IsBreak(uint32_t code) { return (code & 0xFFFF) == ERR_BREAK; }
inline bool Err_IsReported(uint32_t code) { return (code & ERR_REPORTED) != 0; }

}  // namespace quillon
