// The field setters, setTime and setYear: which fields they replace, their
// argument-count and NaN rules, the UTC forms and the carries.
#include <utility>

#include "dateobj_support.h"

namespace dateobj_test {
namespace {

const char kPrelude[] =
    "function fields(d) { return d.year + '/' + d.month + '/' + d.date + ' ' + d.hours + ':' +"
    " d.minutes + ':' + d.seconds + '.' + d.ms; }\n"
    "function mk() { return new Date(2000, 0, 15, 10, 20, 30, 400); }\n";

const char kInvalid[] =
    "-2147483648/-2147483648/-2147483648 -2147483648:-2147483648:-2147483648.-2147483648";

class SettersTest : public DateObjTest {
protected:
    void SetUp() override {
        DateObjTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(Run(kPrelude), "undefined");
    }
    // Applies a call to a fresh date and gives its stored fields.
    std::string After(const std::string &call, const char *base = "mk()") {
        return Run(std::string("var d = ") + base + "; d." + call + "; fields(d)");
    }
};

const std::pair<const char *, int> kSetters[] = {
    {"setFullYear", 3},     {"setUTCFullYear", 3},     {"setMonth", 2},   {"setUTCMonth", 2},
    {"setDate", 1},         {"setUTCDate", 1},         {"setHours", 4},   {"setUTCHours", 4},
    {"setMinutes", 3},      {"setUTCMinutes", 3},      {"setSeconds", 2}, {"setUTCSeconds", 2},
    {"setMilliseconds", 1}, {"setUTCMilliseconds", 1},
};

TEST_F(SettersTest, EachSetterReplacesItsRunOfFields) {
    EXPECT_EQ(After("setFullYear(2001)"), "2001/0/15 10:20:30.400");
    EXPECT_EQ(After("setFullYear(2004, 1, 29)"), "2004/1/29 10:20:30.400");
    EXPECT_EQ(After("setFullYear(2001, 1, 29)"), "2001/2/1 10:20:30.400");
    EXPECT_EQ(After("setMonth(5)"), "2000/5/15 10:20:30.400");
    EXPECT_EQ(After("setMonth(1, 30)"), "2000/2/1 10:20:30.400");
    EXPECT_EQ(After("setDate(31)"), "2000/0/31 10:20:30.400");
    EXPECT_EQ(After("setHours(1, 2, 3, 4)"), "2000/0/15 1:2:3.4");
    EXPECT_EQ(After("setHours(48)"), "2000/0/17 0:20:30.400");
    EXPECT_EQ(After("setMinutes(59, 59, 999)"), "2000/0/15 10:59:59.999");
    EXPECT_EQ(After("setMinutes(5.9)"), "2000/0/15 10:5:30.400");
    EXPECT_EQ(After("setSeconds(61)"), "2000/0/15 10:21:1.400");
    EXPECT_EQ(After("setSeconds(5, 6)"), "2000/0/15 10:20:5.6");
    EXPECT_EQ(After("setMilliseconds(1500)"), "2000/0/15 10:20:31.500");
    EXPECT_EQ(After("setDate('7')"), "2000/0/7 10:20:30.400");
    // The result is the new time value.
    EXPECT_EQ(Run("var d = mk(); d.setDate(20) + ' ' + (d.getTime() == d.setDate(20))"),
              "948363630400 true");
}

TEST_F(SettersTest, CarriesBelowZeroAndBeyondTheField) {
    EXPECT_EQ(After("setDate(0)"), "1999/11/31 10:20:30.400");
    EXPECT_EQ(After("setDate(-1)"), "1999/11/30 10:20:30.400");
    EXPECT_EQ(After("setDate(40000)"), "2109/6/7 10:20:30.400");  // not taken as 16 bits
    EXPECT_EQ(After("setMonth(-1)"), "1999/11/15 10:20:30.400");
    EXPECT_EQ(After("setMonth(25)"), "2002/1/15 10:20:30.400");
    // A negative carry leaves a proper clock reading of the day before.
    EXPECT_EQ(After("setHours(-1)"), "2000/0/14 23:20:30.400");
    EXPECT_EQ(After("setMinutes(-30)"), "2000/0/15 9:30:30.400");
    EXPECT_EQ(After("setMilliseconds(-1)"), "2000/0/15 10:20:29.999");
    EXPECT_EQ(After("setHours(0, 0, 0, -1)", "new Date(1970, 0, 1)"), "1969/11/31 23:59:59.999");
    // Beyond the calendar's reach the date becomes invalid.
    EXPECT_EQ(Run("var d = mk(); d.setFullYear(1e9) + ' ' + fields(d)"),
              std::string("NaN ") + kInvalid);
    EXPECT_EQ(Run("var d = mk(); d.setDate(2147483647) + ' ' + d"), "NaN Invalid Date");
}

TEST_F(SettersTest, NoArgumentIsABadCall) {
    for (const auto &s : kSetters) {
        EXPECT_TRUE(
            Has(Failure(std::string("mk().") + s.first + "()"), "Bad arguments for function"))
            << s.first;
    }
    EXPECT_TRUE(Has(Failure("mk().setTime()"), "Bad arguments for function"));
    EXPECT_TRUE(Has(Failure("mk().setYear()"), "Bad arguments for function"));
    EXPECT_EQ(Run("try { mk().setDate(); } catch (e) { e.name; }"), "TypeError");
}

TEST_F(SettersTest, TooManyArgumentsDoNothing) {
    for (const auto &s : kSetters) {
        std::string args = "1";
        for (int i = 2; i <= s.second + 1; ++i) args += ", " + std::to_string(i);
        EXPECT_EQ(Run(std::string("var d = mk(); typeof d.") + s.first + "(" + args +
                      ") + ' ' + fields(d)"),
                  "undefined 2000/0/15 10:20:30.400")
            << s.first;
    }
}

TEST_F(SettersTest, NonFiniteArgumentMakesTheDateInvalid) {
    EXPECT_EQ(Run("var d = mk(); d.setMinutes(5, NaN) + ' ' + fields(d)"),
              std::string("NaN ") + kInvalid);
    EXPECT_EQ(Run("var d = mk(); d.setMonth(Infinity) + ' ' + d"), "Infinity Invalid Date");
    EXPECT_EQ(Run("var d = mk(); d.setHours(1, -Infinity, NaN)"), "-Infinity");
    EXPECT_EQ(Run("var d = mk(); d.setUTCDate('x') + ' ' + d.getTime()"), "NaN NaN");
    // Every argument is converted before the check.
    EXPECT_EQ(Run("var log = ''; mk().setHours(NaN, {valueOf: function () { log += 'x'; return 1; "
                  "}}); log"),
              "x");
    // No field is read first: missing fields do not matter.
    EXPECT_EQ(Run("var d = mk(); delete d.seconds; d.setDate(NaN) + ' ' + fields(d)"),
              std::string("NaN ") + kInvalid);
}

TEST_F(SettersTest, InvalidDateStaysInvalid) {
    EXPECT_EQ(Run("var e = new Date(NaN); e.setDate(5) + ' ' + e.setUTCHours(1) + ' ' + fields(e)"),
              std::string("NaN NaN ") + kInvalid);
    EXPECT_EQ(Run("var e = new Date(NaN); e.setFullYear(2000) + ' ' + e"), "NaN Invalid Date");
}

TEST_F(SettersTest, FailuresPassOnAndLeaveTheDate) {
    EXPECT_EQ(Run("var d = mk(); try { d.setDate({valueOf: function () { throw 'boom'; }}); }"
                  " catch (e) { e + ' ' + fields(d); }"),
              "boom 2000/0/15 10:20:30.400");
    EXPECT_TRUE(
        Has(Failure("(function () { var d = mk(); delete d.seconds; return d.setDate(3); })()"),
            "Property not found"));
    EXPECT_TRUE(
        Has(Failure("(function () { var d = mk(); d.year = 'x'; return d.setUTCHours(3); })()"),
            "Property not found"));
}

TEST_F(SettersTest, UtcFormsEastOfGreenwich) {
    Zone(-60);
    const char *base = "new Date(2000, 0, 1, 0, 30)";  // 23:30 on 31 December 1999 in UTC
    EXPECT_EQ(After("setUTCHours(12)", base), "1999/11/31 13:30:0.0");
    EXPECT_EQ(After("setUTCDate(15)", base), "1999/11/16 0:30:0.0");
    EXPECT_EQ(After("setUTCFullYear(2010)", base), "2011/0/1 0:30:0.0");
    EXPECT_EQ(After("setUTCMonth(1)", base), "1999/2/4 0:30:0.0");
    EXPECT_EQ(After("setUTCMinutes(45)", base), "2000/0/1 0:45:0.0");
    EXPECT_EQ(After("setUTCSeconds(30)", base), "2000/0/1 0:30:30.0");
    EXPECT_EQ(After("setUTCMilliseconds(250)", base), "2000/0/1 0:30:0.250");
    EXPECT_EQ(After("setMilliseconds(250)", base), "2000/0/1 0:30:0.250");
    // The local forms leave the zone out.
    EXPECT_EQ(After("setHours(5)", base), "2000/0/1 5:30:0.0");
    EXPECT_EQ(After("setDate(2)", base), "2000/0/2 0:30:0.0");
    EXPECT_EQ(After("setUTCDate(2)", base), "1999/11/3 0:30:0.0");
    EXPECT_EQ(Run(std::string("var d = ") + base + "; d.setUTCHours(12)"), "946643400000");
}

TEST_F(SettersTest, UtcFormsWestOfGreenwich) {
    Zone(300);
    const char *base = "new Date(2000, 0, 1, 22, 30)";  // 03:30 on 2 January 2000 in UTC
    EXPECT_EQ(After("setUTCMinutes(0)", base), "2000/0/1 22:0:0.0");
    EXPECT_EQ(After("setUTCHours(1)", base), "2000/0/1 20:30:0.0");
    EXPECT_EQ(After("setUTCDate(1)", base), "1999/11/31 22:30:0.0");
    EXPECT_EQ(After("setUTCHours(-1)", base), "2000/0/1 18:30:0.0");
}

TEST_F(SettersTest, SetTime) {
    EXPECT_EQ(Run("var d = mk(); d.setTime(0) + ' ' + fields(d)"), "0 1970/0/1 0:0:0.0");
    EXPECT_EQ(Run("var d = mk(); d.setTime(1.7) + ' ' + d.setTime(-1.7) + ' ' + fields(d)"),
              "1 -1 1969/11/31 23:59:59.999");
    EXPECT_EQ(Run("var d = mk(); d.setTime('86400000') + ' ' + d.setTime(new Date(5))"),
              "86400000 5");
    EXPECT_EQ(Run("var d = mk(); d.setTime(NaN) + ' ' + fields(d)"),
              std::string("NaN ") + kInvalid);
    EXPECT_EQ(Run("var d = mk(); d.setTime(Infinity) + ' ' + d.setTime(1e20) + ' ' + d"),
              "NaN NaN Invalid Date");
    // An invalid date becomes valid again.
    EXPECT_EQ(Run("var e = new Date(NaN); e.setTime(1000) + ' ' + e.getSeconds()"), "1000 1");
    Zone(-60);
    EXPECT_EQ(Run("var d = mk(); d.setTime(0) + ' ' + fields(d)"), "0 1970/0/1 1:0:0.0");
    EXPECT_EQ(Run("var d = mk(); try { d.setTime({valueOf: function () { throw 't'; }}); }"
                  " catch (e) { e + ' ' + fields(d); }"),
              "t 2000/0/15 10:20:30.400");
}

TEST_F(SettersTest, SetYear) {
    EXPECT_EQ(Run("var d = mk(); d.setYear(99) + ' ' + fields(d)"),
              "916395630400 1999/0/15 10:20:30.400");
    EXPECT_EQ(After("setYear(2010)"), "2010/0/15 10:20:30.400");
    EXPECT_EQ(After("setYear(0)"), "1900/0/15 10:20:30.400");
    EXPECT_EQ(After("setYear(99.9)"), "1999/0/15 10:20:30.400");
    EXPECT_EQ(After("setYear(100)"), "100/0/15 10:20:30.400");
    EXPECT_EQ(After("setYear(-5)"), "-5/0/15 10:20:30.400");
    EXPECT_EQ(Run("var d = mk(); d.setYear(2010) == d.getTime()"), "true");
    // Non-finite years and invalid dates follow the rules of the field setters.
    EXPECT_EQ(Run("var d = mk(); d.setYear(NaN) + ' ' + fields(d)"),
              std::string("NaN ") + kInvalid);
    EXPECT_EQ(Run("var d = mk(); d.setYear(-Infinity) + ' ' + d"), "-Infinity Invalid Date");
    EXPECT_EQ(Run("var e = new Date(NaN); e.setYear(2000) + ' ' + fields(e)"),
              std::string("NaN ") + kInvalid);
    EXPECT_EQ(Run("var d = mk(); d.setYear(1e12) + ' ' + fields(d)"),
              std::string("NaN ") + kInvalid);
    EXPECT_TRUE(
        Has(Failure("(function () { var d = mk(); delete d.year; return d.setYear(5); })()"),
            "Property not found"));
    // Only the year needs to be there to be replaced; the result reads them all.
    EXPECT_TRUE(Has(Failure("(function () { var d = mk(); delete d.ms; return d.setYear(5); })()"),
                    "Property not found"));
}

}  // namespace
}  // namespace dateobj_test
