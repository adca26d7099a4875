// The getters of Date objects, local and UTC, getDay, getTime,
// getTimezoneOffset and getYear, and how they fail on broken fields.
#include "dateobj_support.h"

namespace dateobj_test {
namespace {

using GettersTest = DateObjTest;

const char kAllGetters[] =
    "var names = ['getFullYear', 'getMonth', 'getDate', 'getHours', 'getMinutes', 'getSeconds',"
    " 'getMilliseconds', 'getUTCFullYear', 'getUTCMonth', 'getUTCDate', 'getUTCHours',"
    " 'getUTCMinutes', 'getUTCSeconds', 'getUTCMilliseconds', 'getDay', 'getUTCDay', 'getTime',"
    " 'valueOf', 'toNumber', 'getTimezoneOffset', 'getYear'];\n"
    "function all(d) { var s = ''; for (var i = 0; i < 21; i++) s += d[names[i]]() + ' ';"
    " return s; }\n";

TEST_F(GettersTest, LocalFieldsAsStored) {
    EXPECT_EQ(Run(std::string(kAllGetters) + "all(new Date(2005, 5, 15, 10, 20, 30, 400))"),
              "2005 5 15 10 20 30 400 2005 5 15 10 20 30 400 3 3 1118830830400 1118830830400 "
              "1118830830400 0 105 ");
    // Scripts may store anything; the local getters give it back as its
    // integer, without normalising.
    EXPECT_EQ(Run("var d = new Date(0); d.month = 13; d.hours = 2.7; d.minutes = -5;"
                  " d.getMonth() + ' ' + d.getHours() + ' ' + d.getMinutes()"),
              "13 2 -5");
    EXPECT_EQ(Run("var d = new Date(0); d.seconds = NaN; d.ms = -2147483648;"
                  " d.getSeconds() + ' ' + d.getMilliseconds()"),
              "NaN NaN");
}

TEST_F(GettersTest, InvalidDateGivesNaNEverywhere) {
    std::string nans;
    for (int i = 0; i < 21; ++i) nans += "NaN ";
    EXPECT_EQ(Run(std::string(kAllGetters) + "all(new Date(NaN))"), nans);
    Zone(-60);
    EXPECT_EQ(Run(std::string(kAllGetters) + "all(new Date(NaN))"), nans);
}

TEST_F(GettersTest, DayOfWeek) {
    EXPECT_EQ(Run("new Date(1978, 0, 1).getDay()"), "0");  // the calendar's day 0 was a Sunday
    EXPECT_EQ(Run("new Date(1977, 11, 31).getDay()"), "6");
    EXPECT_EQ(Run("new Date(1970, 0, 1).getDay()"), "4");
    EXPECT_EQ(Run("new Date(2022, 10, 5).getDay()"), "6");
    EXPECT_EQ(Run("new Date(1600, 0, 1).getDay()"), "6");
    // Consecutive days step through the week, before the epoch as well.
    EXPECT_EQ(Run("var bad = 0, prev = new Date(1940, 0, 0).getDay();"
                  " for (var i = 1; i < 20000; i += 1) { var wd = new Date(1940, 0, i).getDay();"
                  " if (wd != (prev + 1) % 7) bad++; prev = wd; } bad"),
              "0");
}

TEST_F(GettersTest, DayOfWeekWithANegativeStoredTime) {
    // A stored time of day below zero belongs to the day before.
    EXPECT_EQ(Run("var d = new Date(1978, 0, 1); d.hours = -1; d.getDay()"), "6");
    EXPECT_EQ(Run("var d = new Date(1978, 0, 1); d.ms = -1; d.getDay()"), "6");
    EXPECT_EQ(Run("var d = new Date(1978, 0, 1); d.hours = 1; d.minutes = -60; d.getDay()"), "0");
    EXPECT_EQ(Run("var d = new Date(1970, 0, 1); d.seconds = -1; d.getDay()"), "3");
}

TEST_F(GettersTest, UtcFieldsWestOfGreenwich) {
    Zone(300);
    EXPECT_EQ(Run("var d = new Date(2000, 0, 1, 22, 30, 15, 250);"
                  " d.getUTCFullYear() + ' ' + d.getUTCMonth() + ' ' + d.getUTCDate() + ' ' +"
                  " d.getUTCHours() + ' ' + d.getUTCMinutes() + ' ' + d.getUTCSeconds() + ' ' +"
                  " d.getUTCMilliseconds() + ' ' + d.getUTCDay() + ' ' + d.getDay()"),
              "2000 0 2 3 30 15 250 0 6");
}

TEST_F(GettersTest, UtcFieldsEastOfGreenwich) {
    Zone(-60);
    EXPECT_EQ(Run("var d = new Date(2000, 0, 1, 0, 15);"
                  " d.getUTCFullYear() + ' ' + d.getUTCMonth() + ' ' + d.getUTCDate() + ' ' +"
                  " d.getUTCHours() + ' ' + d.getUTCMinutes() + ' ' + d.getUTCDay()"),
              "1999 11 31 23 15 5");
    Zone(-330);
    EXPECT_EQ(Run("var d = new Date(2000, 0, 1, 5, 0); d.getUTCHours() + ':' + d.getUTCMinutes()"),
              "23:30");
}

TEST_F(GettersTest, TimeValueFollowsTheZone) {
    EXPECT_EQ(Run("var e = new Date(1970, 0, 1); e.getTime()"), "0");
    Zone(-60);
    EXPECT_EQ(Run("new Date(1970, 0, 1).getTime()"), "-3600000");
    Zone(300);
    EXPECT_EQ(Run("new Date(1970, 0, 1).getTime()"), "18000000");
    EXPECT_EQ(Run("var d = new Date(2010, 3, 4, 5, 6, 7, 8);"
                  " d.valueOf() === d.getTime() && d.toNumber() === d.getTime()"),
              "true");
}

TEST_F(GettersTest, ZoneOffsetIsReadAfreshOnEveryUse) {
    EXPECT_EQ(Run("var z = new Date(0); z.getTimezoneOffset()"), "0");
    Zone(120);
    // The fields stay; the moment they mean moves with the zone.
    EXPECT_EQ(Run("z.getTimezoneOffset()"), "120");
    EXPECT_EQ(Run("z.getTime()"), "7200000");
    EXPECT_EQ(Run("z.getUTCHours()"), "2");
    Zone(-60);
    EXPECT_EQ(Run("z.getTimezoneOffset() + ' ' + z.getTime()"), "-60 -3600000");
}

TEST_F(GettersTest, YearLessNineteenHundredOrInFullForOldLevels) {
    EXPECT_EQ(Run("var y = new Date(2005, 0, 1); y.getYear()", 0), "105");
    EXPECT_EQ(Run("y.getYear()", 1), "2005");
    EXPECT_EQ(Run("y.getYear()", 2), "2005");
    EXPECT_EQ(Run("y.getYear()", 3), "2005");
    EXPECT_EQ(Run("y.getYear()", 4), "105");
    EXPECT_EQ(Run("new Date(1999, 11, 31).getYear()", 2), "99");
    EXPECT_EQ(Run("new Date(2000, 0, 1).getYear()", 2), "2000");
    EXPECT_EQ(Run("new Date(1850, 0, 1).getYear()", 0), "-50");
    EXPECT_EQ(Run("new Date(NaN).getYear()", 2), "NaN");
    // Only the year is read.
    EXPECT_EQ(Run("var m = new Date(2001, 0, 1); delete m.ms; m.getYear()"), "101");
    EXPECT_TRUE(
        Has(Failure("(function () { var d = new Date(0); delete d.year; return d.getYear(); })()"),
            "Property not found"));
}

TEST_F(GettersTest, BrokenFieldsMakeTheMethodsFail) {
    Run("var s = new Date(2000, 0, 1); s.year = '2000';");
    for (const char *m :
         {"getTime", "valueOf", "getDay", "getUTCDay", "getUTCHours", "getTimezoneOffset",
          "getFullYear", "getYear", "toString", "toUTCString"}) {
        EXPECT_TRUE(Has(Failure(std::string("s.") + m + "()"), "Property not found")) << m;
    }
    // A getter of one field reads that field only.
    EXPECT_EQ(Run("s.getMonth() + ' ' + s.getDate()"), "0 1");
    EXPECT_TRUE(
        Has(Failure("(function () { var d = new Date(0); delete d.ms; return d.getTime(); })()"),
            "Property not found"));
    EXPECT_TRUE(Has(
        Failure("(function () { var d = new Date(0); d.month = null; return d.getMonth(); })()"),
        "Property not found"));
    // The failure can be caught; the date itself is left as it was.
    EXPECT_EQ(Run("try { s.getTime(); } catch (e) { 'caught ' + s.month; }"), "caught 0");
    // An invalid year ends the reading before the missing fields are met.
    EXPECT_EQ(
        Run("var i = new Date(0); i.year = -2147483648; delete i.ms; delete i.date; i.getTime()"),
        "NaN");
}

TEST_F(GettersTest, MethodsWorkOnAnyObjectWithTheFields) {
    EXPECT_EQ(
        Run("Date.prototype.getTime.call({year: 2000, month: 0, date: 1, hours: 0, minutes: 0,"
            " seconds: 0, ms: 0})"),
        "946684800000");
    EXPECT_EQ(Run("function F() {} F.prototype = new Date(2000, 0, 1); new F().getTime()"),
              "946684800000");
    // A `this` that is not an object: nothing happens.
    EXPECT_EQ(Run("Number.prototype.gt = Date.prototype.getTime; typeof (5).gt()"), "undefined");
    EXPECT_EQ(Run("String.prototype.gm = Date.prototype.getMonth; typeof 'x'.gm()"), "undefined");
    EXPECT_EQ(Run("String.prototype.ts = Date.prototype.toString; typeof 'x'.ts()"), "undefined");
    EXPECT_EQ(Run("Boolean.prototype.sd = Date.prototype.setDate; typeof true.sd(1)"), "undefined");
    // call() makes a wrapper object of a primitive, which has no fields.
    EXPECT_TRUE(Has(Failure("Date.prototype.getTime.call(5)"), "Property not found"));
}

}  // namespace
}  // namespace dateobj_test
