// Operators on values: addition of strings and numbers, shifts, remainders,
// the equality tables (program objects included), byte-order comparison,
// instanceof without a chain walk, in, and the logical operators.
#include <cmath>
#include <cstring>

#include "values/progobj.h"
#include "objects/objfixture.h"
#include "support/testhost.h"
#include "values/operators.h"

namespace objects_test {
namespace {

using namespace quillon;

class OperatorsTest : public ObjTest {
protected:
    std::string Binary(BinaryOp op, JSAny l, JSAny r) {
        op(ctx_, &l, &r);
        std::string s = l.type == JSANY_ERROR ? "<error " + std::to_string(l.code) + ">" : TextOf(&l);
        JSAny_Clear(&l);
        return s;
    }
};

TEST_F(OperatorsTest, AdditionOfStringsAndNumbers) {
    EXPECT_EQ(Text("[4 + '3', '3' + 4, 3 + 4 + '5', '3' * '4', typeof ('3' * '4'), '5' - 2, true + 1,"
                   " null + 1, 'a' + null, [1, 2] + 3, 1 + undefined].join('|')"),
              "43|34|75|12|number|3|2|1|anull|1,23|NaN");
    // The right operand is left to its owner; an error on either side is the result.
    Val r(Str("right"));
    EXPECT_EQ(Binary(Op_Add, JSAny_Num(1), r.v), "1right");
    EXPECT_EQ(std::string(r.v.str), "right");
    EXPECT_EQ(Binary(Op_Add, JSAny_Num(1), JSAny_Err(0x8015)), "<error 32789>");
    EXPECT_EQ(Binary(Op_Add, JSAny_Err(103), r.v), "<error 103>");
}

TEST_F(OperatorsTest, AppendingToAStringHeldAloneWorksInPlace) {
    JSAny l = Str("ab");
    char *block = l.str;
    JSAny t = JSAny_Borrow("cd", 2);
    Op_Add(ctx_, &l, &t);  // "abcd" fits the 8-byte block
    EXPECT_EQ(l.str, block);
    EXPECT_EQ(std::string(l.str, l.len), "abcd");
    Op_Add(ctx_, &l, &t);  // "abcdcd" still fits
    EXPECT_EQ(l.str, block);
    Op_Add(ctx_, &l, &t);  // 8 characters do not
    EXPECT_NE(l.str, block);
    EXPECT_EQ(std::string(l.str, l.len), "abcdcdcd");
    // A shared string is never changed in place.
    JSAny other;
    JSAny_InitFrom(&other, &l);
    JSAny u = JSAny_Borrow("!", 1);
    Op_Add(ctx_, &l, &u);
    EXPECT_EQ(std::string(other.str, other.len), "abcdcdcd");
    EXPECT_EQ(std::string(l.str, l.len), "abcdcdcd!");
    JSAny_Clear(&other);
    // Adding a string to itself.
    Op_Add(ctx_, &l, &l);
    EXPECT_EQ(std::string(l.str, l.len), "abcdcdcd!abcdcdcd!");
    JSAny_Clear(&l);
}

TEST_F(OperatorsTest, ShiftsAndBitOperators) {
    EXPECT_EQ(Text("[1 << 33, -1 >>> 0, -1 >> 28, 1 << 31, -8 >> 1, -8 >>> 1, 5 >>> 32, 1 << -1,"
                   " ~0, ~-1, 5 & 3, 5 | 3, 5 ^ 3, 4294967295 | 0, 2147483648 ^ 0, 1.9 | 0, -1.9 | 0].join()"),
              "2,4294967295,-1,-2147483648,-4,2147483644,5,-2147483648,-1,0,1,7,6,-1,-2147483648,2,-2");
    EXPECT_EQ(Text("[Infinity | 0, NaN >>> 0, '12' << '1', ~'3'].join()"), "0,0,24,-4");
}

TEST_F(OperatorsTest, RemainderKeepsTheSignOfTheDividend) {
    EXPECT_EQ(Text("[-5 % 3, 5 % -3, -5 % -3, 5.5 % 2, 5 % 0, 1 / (-0 % 5), 7 % Infinity, Infinity % 2].join()"),
              "-2,2,-2,1.5,NaN,-Infinity,7,NaN");
}

TEST_F(OperatorsTest, LooseEqualityTable) {
    EXPECT_EQ(Text("[NaN == NaN, null == undefined, undefined == null, null == 0, undefined == 0,"
                   " '1' == true, '0' == false, '' == 0, ' 12 ' == 12, 2 == true, null == false,"
                   " 0 == -0, 'a' == 'a', 'a' == 'A'].join()"),
              "false,true,true,false,false,true,true,true,true,false,false,true,true,false");
    EXPECT_EQ(Text("var o = {valueOf: function () { return 7; }, toString: function () { return 'seven'; }};"
                   "[o == 7, o == 'seven', o == '7', o == o, o == {}, [] == '', [3] == 3, o == null].join()"),
              "true,true,false,true,false,true,true,false");
    EXPECT_EQ(Text("[1 != 2, null != undefined, 'x' != 'x'].join()"), "true,false,false");
}

TEST_F(OperatorsTest, StrictEqualityTable) {
    EXPECT_EQ(Text("var o = {}; [1 === 1, 0 === -0, NaN === NaN, 'a' === 'a', '1' === 1, null === null,"
                   " undefined === undefined, null === undefined, o === o, o === {}, true === 1,"
                   " 1 !== 1, null !== undefined].join()"),
              "true,true,false,true,false,true,true,false,true,false,false,false,true");
    // Error values travel; undeclared never equals anything.
    EXPECT_EQ(Binary(Op_StrictEqual, JSAny_Num(1), JSAny_Err(0x8015)), "<error 32789>");
    EXPECT_EQ(Binary(Op_StrictEqual, JSAny_Undeclared(), JSAny_Undeclared()), "false");
    EXPECT_EQ(Binary(Op_LooseEqual, JSAny_Undeclared(), JSAny_Undef()), "false");
    JSAny e = JSAny_Err(5);
    EXPECT_FALSE(Op_StrictEquals(&e, &e));
}

TEST_F(OperatorsTest, ComparisonsInByteOrder) {
    EXPECT_EQ(Text("['a' < 'b', '10' < '9', '10' < 9, 'ab' < 'abc', 'abc' < 'ab', 'B' < 'a',"
                   " '\\xe9' > 'z', 'a' <= 'a', 'a' >= 'b', NaN < 1, NaN >= NaN, 1 < 'x', undefined < 1,"
                   " null < 1, [2] > 1].join()"),
              "true,true,false,true,false,true,true,true,false,false,false,false,false,true,true");
}

TEST_F(OperatorsTest, InstanceOfComparesOnlyTheImmediatePrototype) {
    EXPECT_EQ(Text("function A() {} function B() {} B.prototype = new A();"
                   "var b = new B();"
                   "[[] instanceof Array, [] instanceof Object, {} instanceof Object, b instanceof B,"
                   " b instanceof A, 5 instanceof Number, new Number(5) instanceof Number,"
                   " Math.sin instanceof Function].join()"),
              "true,false,true,true,false,false,true,false");
    EXPECT_EQ(Text("var r; try { r = {} instanceof {}; } catch (e) { r = e.message; } r"),
              "Type error on line 1: Wrong type of object for operation");
    EXPECT_EQ(Text("function C() {} C.prototype = 5; [new C() instanceof C, typeof C.prototype].join()"),
              "false,object");
}

TEST_F(OperatorsTest, InAndTheLogicalOperators) {
    EXPECT_EQ(Text("var o = {a: 1}; ['a' in o, 'b' in o, 'toString' in o, 0 in [5], 1 in [5],"
                   " 'length' in o, 'arguments' in Math.sin].join()"),
              "true,false,true,true,false,true,true");
    EXPECT_EQ(Text("[0 || 'x', 1 || 'x', 0 && 'x', 1 && 'x', '' || null, !'', !'0', !{}, !NaN].join('|')"),
              "x|1|0|x||true|false|false|true");
}

// Program objects: a host that hands out "p1", "p2" (equal bytes) and "p3".
class ProgramObjectOperatorsTest : public quillon_test::LibraryTest {};

TEST_F(ProgramObjectOperatorsTest, EqualBytesAreStrictlyButNotLooselyEqual) {
    quillon_test::TestHost host;
    host.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data) return 2;
        const char *bytes = nullptr;
        if (!std::strcmp(name, "p1") || !std::strcmp(name, "p2")) bytes = "same";
        else if (!std::strcmp(name, "p3")) bytes = "diff";
        if (!bytes) return 2;
        if (flags & JSHOST_HAS) return 0;
        return SetJSResultObject(ctx, bytes, 4) == 0 ? 0 : 1;
    };
    ASSERT_EQ(host.Run("[p1 === p2, p1 == p2, p1 === p3, p1 !== p2, p1 != p2, p1 == p1, p1 === p1,"
                      " p1 == null, typeof p1].join()"),
              0u);
    EXPECT_EQ(host.ResultString(), "true,false,false,false,true,false,true,false,object");
}

}  // namespace
}  // namespace objects_test
