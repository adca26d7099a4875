// Operators and conversions on edge values (NaN, -0, the infinities, the
// 32-bit and 2^53 limits, texts that are and are not numbers, true, false,
// null, undefined), against the results of a reference engine
// (edge_values.inc, written by edge_values.js). Every binary operator on
// every pair is checked on each path that can compute it: the Op_* function,
// the number rule of numops.h for two numbers, and scripts with variables,
// with literal operands and with the compound assignment, so a shortcut
// cannot give what its general path does not.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "objects/objfixture.h"
#include "values/convert.h"
#include "values/numops.h"
#include "values/operators.h"

namespace objects_test {
namespace {

using namespace quillon;

#include "values/edge_values.inc"

constexpr size_t kBinaryCount = sizeof kBinaryValues / sizeof kBinaryValues[0];
constexpr size_t kConversionCount = sizeof kConversionValues / sizeof kConversionValues[0];
constexpr size_t kOperatorCount = sizeof kOperators / sizeof kOperators[0];
constexpr size_t kConversionKinds = 10;
static_assert(sizeof kBinaryResults / sizeof kBinaryResults[0] == kOperatorCount * kBinaryCount * kBinaryCount,
              "one result per operator and pair");
static_assert(sizeof kConversionResults / sizeof kConversionResults[0] == kConversionCount * kConversionKinds,
              "one row of results per value");

double NumberOf(const char *text) {
    if (std::strcmp(text, "NaN") == 0) return NAN;
    if (std::strcmp(text, "Infinity") == 0) return INFINITY;
    if (std::strcmp(text, "-Infinity") == 0) return -INFINITY;
    return std::strtod(text, nullptr);  // "-0" gives minus zero
}

// The value an encoded entry ("n1.5", "sabc", "btrue", "l", "u") stands for.
JSAny Make(const char *e) {
    JSAny a = JSAny_Undef();
    switch (e[0]) {
    case 'n': a = JSAny_Num(NumberOf(e + 1)); break;
    case 's': JSAny_SetStringCopy(&a, e + 1); break;
    case 'b': a = JSAny_Bool(std::strcmp(e + 1, "true") == 0); break;
    case 'l': a = JSAny_Null(); break;
    default: break;
    }
    return a;
}

// A value encoded as the reference encodes it (errors as "e" and the code).
std::string Encode(const JSAny &a) {
    switch (a.type) {
    case JSANY_NUMBER: {
        if (a.num == 0 && std::signbit(a.num)) return "n-0";
        char buf[64];
        size_t n = Num_ToText(a.num, buf, sizeof buf);
        return "n" + std::string(buf, n);
    }
    case JSANY_STRING:
    case JSANY_CSTRING: return "s" + std::string(a.str, a.len);
    case JSANY_BOOLEAN: return a.flag ? "btrue" : "bfalse";
    case JSANY_NULL: return "l";
    case JSANY_UNDEFINED: return "u";
    case JSANY_ERROR: return "e" + std::to_string(a.code);
    default: return "?" + std::to_string(a.type);
    }
}

// A script literal of an encoded value.
std::string Literal(const char *e) {
    switch (e[0]) {
    case 'n': return e + 1;  // NaN, Infinity and -Infinity read as the globals
    case 's': {
        std::string s = "\"";
        for (const char *p = e + 1; *p; ++p) {
            if (static_cast<unsigned char>(*p) < 32) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\x%02X", static_cast<unsigned char>(*p));
                s += esc;
                continue;
            }
            if (*p == '"' || *p == '\\') s += '\\';
            s += *p;
        }
        return s + "\"";
    }
    case 'b': return e + 1;
    case 'l': return "null";
    default: return "undefined";
    }
}

struct OpInfo {
    const char *text;
    BinaryOp op;
    NumOp num;       // the number rule for two numbers
    bool compound;   // has a compound assignment
};
constexpr OpInfo kOps[] = {
    {"+", Op_Add, NumOp::Add, true},
    {"-", Op_Sub, NumOp::Sub, true},
    {"*", Op_Mul, NumOp::Mul, true},
    {"/", Op_Div, NumOp::Div, true},
    {"%", Op_Mod, NumOp::Mod, true},
    {"<<", Op_ShiftLeft, NumOp::Shl, true},
    {">>", Op_ShiftRight, NumOp::Sar, true},
    {">>>", Op_ShiftRightUnsigned, NumOp::Shr, true},
    {"&", Op_BitAnd, NumOp::BitAnd, true},
    {"|", Op_BitOr, NumOp::BitOr, true},
    {"^", Op_BitXor, NumOp::BitXor, true},
    {"==", Op_LooseEqual, NumOp::Eq, false},
    {"!=", Op_LooseNotEqual, NumOp::Ne, false},
    {"===", Op_StrictEqual, NumOp::Eq, false},
    {"!==", Op_StrictNotEqual, NumOp::Ne, false},
    {"<", Op_Less, NumOp::Lt, false},
    {">", Op_Greater, NumOp::Gt, false},
    {"<=", Op_LessEqual, NumOp::Le, false},
    {">=", Op_GreaterEqual, NumOp::Ge, false},
};
static_assert(sizeof kOps / sizeof kOps[0] == kOperatorCount, "every operator of the table has its function");

// The script that encodes a value as Encode does.
constexpr const char *kEncodeFunction =
    "function enc(r) {"
    " if (typeof r == 'number') return 'n' + (r == 0 && 1 / r < 0 ? '-0' : String(r));"
    " if (typeof r == 'string') return 's' + r.split('\\n').join('\\\\n');"
    " if (typeof r == 'boolean') return 'b' + r;"
    " return r === null ? 'l' : r === undefined ? 'u' : '?';"
    "}\n";

// A line break in an expected text as the script encoder writes it.
std::string OneLine(const char *want) {
    std::string s;
    for (const char *p = want; *p; ++p) {
        if (*p == '\n') s += "\\n";
        else s += *p;
    }
    return s;
}

class EdgeTest : public ObjTest {
protected:
    // Collects mismatches, and reports the first few with the total.
    void Expect(const std::string &where, const std::string &got, const char *want) {
        if (got == want) return;
        if (++mismatches_ <= 20) ADD_FAILURE() << where << ": got " << got << ", reference " << want;
    }
    void TearDown() override {
        EXPECT_EQ(mismatches_, 0) << "mismatches in all";
        ObjTest::TearDown();
    }
    const char *Want(size_t op, size_t l, size_t r) {
        return kBinaryResults[(op * kBinaryCount + l) * kBinaryCount + r];
    }
    std::string Case(size_t op, size_t l, size_t r) {
        return std::string("(") + kBinaryValues[l] + ") " + kOperators[op] + " (" + kBinaryValues[r] + ")";
    }
    // Runs a script over every pair for one operator and compares its
    // encoded results, a line each, in pair order.
    void CompareScript(size_t op, const std::string &form, const std::string &script) {
        std::string got = Text(script.c_str());
        size_t at = 0;
        for (size_t l = 0; l < kBinaryCount; ++l) {
            for (size_t r = 0; r < kBinaryCount; ++r) {
                size_t end = got.find('\n', at);
                std::string line = got.substr(at, end == std::string::npos ? std::string::npos : end - at);
                Expect(form + " " + Case(op, l, r), line, OneLine(Want(op, l, r)).c_str());
                at = end == std::string::npos ? got.size() : end + 1;
            }
        }
    }
    int mismatches_ = 0;
};

TEST_F(EdgeTest, OperatorFunctionsOnEveryPair) {
    for (size_t op = 0; op < kOperatorCount; ++op) {
        ASSERT_STREQ(kOps[op].text, kOperators[op]);
        for (size_t l = 0; l < kBinaryCount; ++l) {
            for (size_t r = 0; r < kBinaryCount; ++r) {
                JSAny a = Make(kBinaryValues[l]);
                JSAny b = Make(kBinaryValues[r]);
                kOps[op].op(ctx_, &a, &b);
                Expect("Op " + Case(op, l, r), Encode(a), Want(op, l, r));
                JSAny_Clear(&a);
                JSAny_Clear(&b);
            }
        }
    }
}

TEST_F(EdgeTest, NumberRuleAgreesForTwoNumbers) {
    for (size_t op = 0; op < kOperatorCount; ++op) {
        for (size_t l = 0; l < kBinaryCount; ++l) {
            if (kBinaryValues[l][0] != 'n') continue;
            for (size_t r = 0; r < kBinaryCount; ++r) {
                if (kBinaryValues[r][0] != 'n') continue;
                JSAny a = Make(kBinaryValues[l]);
                ASSERT_TRUE(Num_Binary(kOps[op].num, &a, NumberOf(kBinaryValues[r] + 1)));
                Expect("Num_Binary " + Case(op, l, r), Encode(a), Want(op, l, r));
            }
        }
    }
}

TEST_F(EdgeTest, ScriptsWithVariablesLiteralsAndCompoundAssignments) {
    std::string values = "var V = [";
    for (size_t i = 0; i < kBinaryCount; ++i) values += (i ? ", " : "") + Literal(kBinaryValues[i]);
    values += "];\n";
    for (size_t op = 0; op < kOperatorCount; ++op) {
        const std::string o = kOperators[op];
        // Variables.
        CompareScript(op, "variables",
                      kEncodeFunction + values +
                          "var out = [];\n"
                          "for (var i = 0; i < V.length; i++) for (var j = 0; j < V.length; j++) {\n"
                          "  var a = V[i], b = V[j];\n"
                          "  out.push(enc(a " + o + " b));\n"
                          "}\nout.join('\\n')");
        // Literal operands, each pair a statement of its own.
        std::string literals = std::string(kEncodeFunction) + "var out = [];\n";
        for (size_t l = 0; l < kBinaryCount; ++l)
            for (size_t r = 0; r < kBinaryCount; ++r)
                literals += "out.push(enc(" + Literal(kBinaryValues[l]) + " " + o + " " +
                            Literal(kBinaryValues[r]) + "));\n";
        CompareScript(op, "literals", literals + "out.join('\\n')");
        // The compound assignment, onto a variable and onto a member.
        if (kOps[op].compound) {
            CompareScript(op, "compound", kEncodeFunction + values +
                                              "var out = [];\n"
                                              "for (var i = 0; i < V.length; i++) for (var j = 0; j < V.length; j++) {\n"
                                              "  var a = V[i];\n"
                                              "  a " + o + "= V[j];\n"
                                              "  out.push(enc(a));\n"
                                              "}\nout.join('\\n')");
            CompareScript(op, "compound member", kEncodeFunction + values +
                                                     "var out = [], o = {};\n"
                                                     "for (var i = 0; i < V.length; i++) for (var j = 0; j < V.length; j++) {\n"
                                                     "  o.p = V[i];\n"
                                                     "  o.p " + o + "= V[j];\n"
                                                     "  out.push(enc(o.p));\n"
                                                     "}\nout.join('\\n')");
        }
    }
}

TEST_F(EdgeTest, ConversionsOfEveryValue) {
    using Conversion = void (*)(RunContext *, JSAny *);
    const Conversion conversions[] = {JSAny_ToNumber, JSAny_ToInteger, JSAny_ToInt32, JSAny_ToUint32,
                                      JSAny_ToUint16, JSAny_ToString};
    const char *names[] = {"ToNumber", "ToInteger", "ToInt32", "ToUint32", "ToUint16", "ToString", "truth",
                           "typeof"};
    for (size_t i = 0; i < kConversionCount; ++i) {
        const char *const *want = &kConversionResults[i * kConversionKinds];
        for (size_t k = 0; k < 8; ++k) {
            JSAny a = Make(kConversionValues[i]);
            if (k < 6) {
                conversions[k](ctx_, &a);
            } else if (k == 6) {
                bool t = JSAny_Truth(&a);
                JSAny_Clear(&a);
                a = JSAny_Bool(t);
            } else {
                JSAny_TypeOf(ctx_, &a);
            }
            Expect(std::string(names[k]) + "(" + kConversionValues[i] + ")", Encode(a), want[k]);
            JSAny_Clear(&a);
        }
    }
}

// The conversions as scripts see them (Number, the bit operators, String,
// !, typeof), once through a variable and once on a literal.
TEST_F(EdgeTest, ConversionsInScripts) {
    std::string script = std::string(kEncodeFunction) + "var out = [], v;\n";
    auto forms = [](const std::string &x) {
        return "out.push(enc(Number(" + x + ")), enc(" + x + " | 0), enc(" + x + " >>> 0), enc(String(" + x +
               ")), enc(!!" + x + "), enc(typeof " + x + "));\n";
    };
    for (size_t i = 0; i < kConversionCount; ++i) {
        script += "v = " + Literal(kConversionValues[i]) + ";\n" + forms("v") + forms(Literal(kConversionValues[i]));
    }
    std::string got = Text((script + "out.join('\\n')").c_str());
    const size_t picks[] = {0, 8, 9, 5, 6, 7};  // of the kinds of kConversionResults
    size_t at = 0;
    for (size_t i = 0; i < kConversionCount; ++i) {
        for (int twice = 0; twice < 2; ++twice) {
            for (size_t k : picks) {
                size_t end = got.find('\n', at);
                std::string line = got.substr(at, end == std::string::npos ? std::string::npos : end - at);
                Expect(std::string(twice ? "literal " : "variable ") + std::to_string(k) + " (" +
                           kConversionValues[i] + ")",
                       line, OneLine(kConversionResults[i * kConversionKinds + k]).c_str());
                at = end == std::string::npos ? got.size() : end + 1;
            }
        }
    }
}

}  // namespace
}  // namespace objects_test
