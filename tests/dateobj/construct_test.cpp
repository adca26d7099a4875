// The Date constructor in its four forms, Date.UTC and Date.parse.
#include "dateobj_support.h"

namespace dateobj_test {
namespace {

// The seven stored properties of a Date as one text.
const char kFields[] =
    "function fields(d) { return d.year + '/' + d.month + '/' + d.date + ' ' + d.hours + ':' +"
    " d.minutes + ':' + d.seconds + '.' + d.ms; }\n";

class ConstructTest : public DateObjTest {
protected:
    std::string F(const std::string &expr) {
        return Run(std::string(kFields) + "fields(" + expr + ")");
    }
};

TEST_F(ConstructTest, EpochAtOffsetZero) {
    EXPECT_EQ(Run("new Date(1970, 0, 1).getTime()"), "0");
    EXPECT_EQ(F("new Date(0)"), "1970/0/1 0:0:0.0");
    EXPECT_EQ(F("new Date(86400000 + 3723004)"), "1970/0/2 1:2:3.4");
}

TEST_F(ConstructTest, FieldByFieldWithLeapDaysAndCarries) {
    EXPECT_EQ(F("new Date(2000, 1, 29)"), "2000/1/29 0:0:0.0");
    EXPECT_EQ(F("new Date(1900, 1, 29)"), "1900/2/1 0:0:0.0");  // 1900 is no leap year
    EXPECT_EQ(F("new Date(2004, 1, 29, 23, 59, 59, 999)"), "2004/1/29 23:59:59.999");
    EXPECT_EQ(F("new Date(2000, 0)"), "2000/0/1 0:0:0.0");
    EXPECT_EQ(F("new Date(2000, 12, 1)"), "2001/0/1 0:0:0.0");
    EXPECT_EQ(F("new Date(2000, -1, 1)"), "1999/11/1 0:0:0.0");
    EXPECT_EQ(F("new Date(2000, 0, 1, 25)"), "2000/0/2 1:0:0.0");
    EXPECT_EQ(F("new Date(2000, 0, 1, 0, 0, 0, 1500.9)"), "2000/0/1 0:0:1.500");
    // Carries below zero end in a proper clock reading of the day before.
    EXPECT_EQ(F("new Date(2000, 0, 1, 0, 0, 0, -1)"), "1999/11/31 23:59:59.999");
    EXPECT_EQ(F("new Date(2000, 0, 1, -1)"), "1999/11/31 23:0:0.0");
    EXPECT_EQ(Run("new Date(2000, 0, 1, -1).getTime()"), "946681200000");
    // The month and the day of month are taken as 16-bit values.
    EXPECT_EQ(F("new Date(2000, 65536 + 3, 65536 + 2)"), "2000/3/2 0:0:0.0");
}

TEST_F(ConstructTest, TwoDigitYearsAreThe1900s) {
    EXPECT_EQ(Run("new Date(50, 0, 1).getFullYear()"), "1950");
    EXPECT_EQ(Run("new Date(0, 0, 1).getFullYear()"), "1900");
    EXPECT_EQ(Run("new Date(99.9, 0, 1).getFullYear()"), "1999");
    EXPECT_EQ(Run("new Date(100, 0, 1).getFullYear()"), "100");
    EXPECT_EQ(Run("new Date(-1, 0, 1).getFullYear()"), "-1");
}

TEST_F(ConstructTest, NonFiniteArgumentsGiveAnInvalidDate) {
    const char *invalid =
        "-2147483648/-2147483648/-2147483648 -2147483648:-2147483648:-2147483648.-2147483648";
    EXPECT_EQ(F("new Date(2000, NaN)"), invalid);
    EXPECT_EQ(F("new Date(2000, 0, 1, 0, 0, 0, Infinity)"), invalid);
    EXPECT_EQ(F("new Date(NaN)"), invalid);
    EXPECT_EQ(F("new Date(-Infinity)"), invalid);
    EXPECT_EQ(F("new Date(1e20)"), invalid);  // beyond the calendar
    EXPECT_EQ(Run("new Date(2000, 'x').getTime()"), "NaN");
    EXPECT_EQ(Run("typeof new Date(NaN)"), "object");
}

TEST_F(ConstructTest, OneNumberIsAUtcTimeValue) {
    EXPECT_EQ(Run("new Date(1.9).getTime()"), "1");
    EXPECT_EQ(Run("new Date(-1.9).getTime()"), "-1");
    EXPECT_EQ(F("new Date(-1)"), "1969/11/31 23:59:59.999");
    EXPECT_EQ(Run("new Date(true).getTime()"), "1");
    EXPECT_EQ(Run("var a = new Date(2001, 2, 3, 4, 5, 6, 7); new Date(a).getTime() == a.getTime()"),
              "true");
    Zone(-60);
    EXPECT_EQ(F("new Date(0)"), "1970/0/1 1:0:0.0");
    Zone(300);
    EXPECT_EQ(F("new Date(0)"), "1969/11/31 19:0:0.0");
    EXPECT_EQ(Run("new Date(0).getTime()"), "0");
}

TEST_F(ConstructTest, OneTextIsParsedAsLocalTime) {
    EXPECT_EQ(Run("new Date('Nov 5 2022').getTime()"), "1667606400000");
    EXPECT_EQ(F("new Date('11/05/2022 10:30')"), "2022/10/5 10:30:0.0");
    EXPECT_EQ(F("new Date('Sat, 05 Nov 2022 12:00:00 GMT+0100')"), "2022/10/5 11:0:0.0");
    EXPECT_EQ(Run("new Date('5 Nov 22').getTime()"), "NaN");
    EXPECT_EQ(Run("new Date('2022') + ''"), "Invalid Date");
    Zone(-60);
    // A text without a zone is the local clock reading.
    EXPECT_EQ(F("new Date('Nov 5 2022 10:30')"), "2022/10/5 10:30:0.0");
    EXPECT_EQ(Run("new Date('Nov 5 2022 10:30').getTime()"), "1667640600000");
    // A text with a zone is moved into the local zone.
    EXPECT_EQ(F("new Date('Sat, 05 Nov 2022 12:00:00 GMT+0100')"), "2022/10/5 12:0:0.0");
    EXPECT_EQ(F("new Date('Nov 5 2022 12:00 EST')"), "2022/10/5 18:0:0.0");
}

TEST_F(ConstructTest, StandardTextRoundTripsThroughTheConstructor) {
    for (int32_t zone : {0, -60, 300, -330}) {
        Zone(zone);
        EXPECT_EQ(Run("var a = new Date(1969, 6, 20, 20, 17, 40);"
                      " new Date(a.toString()).getTime() - a.getTime()"),
                  "0")
            << "zone " << zone;
    }
}

TEST_F(ConstructTest, IsAPlainObjectMarkedAsDate) {
    EXPECT_EQ(Run("Object.prototype.toString.call(new Date(0))"), "[object Date]");
    EXPECT_EQ(Run("Object.prototype.toString.call(Date.prototype)"), "[object Date]");
    EXPECT_EQ(Run("new Date(0).constructor === Date"), "true");
    EXPECT_EQ(Run("new Date(0).getTime === Date.prototype.getTime"), "true");
    // The default conversion of a Date prefers its text; numbers still use valueOf.
    EXPECT_EQ(Run("new Date(0) + ''"), "Thu Jan 01 00:00:00 UTC+0000 1970");
    EXPECT_EQ(Run("new Date(5) - 0"), "5");
    EXPECT_EQ(Run("new Date(7) < new Date(8)"), "true");
    // The prototype holds no fields of its own.
    EXPECT_TRUE(Has(Failure("Date.prototype.getTime()"), "Property not found"));
}

TEST_F(ConstructTest, NoArgumentIsNowFromTheClock) {
    EXPECT_EQ(F("new Date()"), "2022/10/5 12:30:15.500");
    EXPECT_EQ(Run("new Date().getTime()"), "1667651415500");
    Zone(300);
    EXPECT_EQ(F("new Date()"), "2022/10/5 12:30:15.500");
    EXPECT_EQ(Run("new Date().getTime()"), "1667669415500");
}

TEST_F(ConstructTest, PlainCallGivesTheTextOfNowAndIgnoresArguments) {
    EXPECT_EQ(Run("Date()"), "Sat Nov 05 12:30:15 UTC+0000 2022");
    EXPECT_EQ(Run("Date(2000, 1, 2)"), "Sat Nov 05 12:30:15 UTC+0000 2022");
    EXPECT_EQ(Run("Date({valueOf: function () { throw 'not converted'; }})"),
              "Sat Nov 05 12:30:15 UTC+0000 2022");
    EXPECT_EQ(Run("typeof Date()"), "string");
    Zone(-60);
    EXPECT_EQ(Run("Date()"), "Sat Nov 05 12:30:15 UTC+0100 2022");
}

TEST_F(ConstructTest, ConversionsRunInOrderAndTheirFailuresPassOn) {
    EXPECT_EQ(Run("var log = ''; function v(n) { return {valueOf: function () { log += n + ';'; "
                  "return n; }}; }"
                  " new Date(v(2000), v(1), v(2), v(3)); log"),
              "2000;1;2;3;");
    EXPECT_EQ(Run("try { new Date(2000, {valueOf: function () { throw 'boom'; }}); 'none'; }"
                  " catch (e) { e; }"),
              "boom");
    EXPECT_EQ(
        Run("try { new Date({valueOf: function () { throw 'one'; }}); 'none'; } catch (e) { e; }"),
        "one");
}

TEST_F(ConstructTest, UtcDefaultsAndCarries) {
    EXPECT_EQ(Run("Date.UTC()"), "-2208988800000");  // 1900-01-01
    EXPECT_EQ(Run("Date.UTC(2000)"), "946684800000");
    EXPECT_EQ(Run("Date.UTC(99, 11, 31)"), "946598400000");
    EXPECT_EQ(Run("Date.UTC(-5) == Date.UTC(1895)"), "true");
    EXPECT_EQ(Run("Date.UTC(1895)"), "-2366755200000");
    EXPECT_EQ(Run("Date.UTC(2000, 1, 29, 12, 30, 15, 500)"), "951827415500");
    EXPECT_EQ(Run("Date.UTC(2000, 0, 1, 0, -1)"), "946684740000");
    EXPECT_EQ(Run("Date.UTC(2000, 0, 1, 25)"), "946774800000");
    EXPECT_EQ(Run("Date.UTC(2000, 12)"), "978307200000");
    Zone(-60);  // no zone in UTC
    EXPECT_EQ(Run("Date.UTC(2000)"), "946684800000");
}

TEST_F(ConstructTest, UtcNonFiniteAndTooManyArguments) {
    EXPECT_EQ(Run("Date.UTC(2000, NaN)"), "NaN");
    EXPECT_EQ(Run("Date.UTC(2000, 0, Infinity)"), "Infinity");
    EXPECT_EQ(Run("Date.UTC(-Infinity, NaN)"), "-Infinity");
    EXPECT_EQ(Run("Date.UTC(1, 2, 3, 4, 5, 6, 7, 8)"), "undefined");
    EXPECT_EQ(
        Run("try { Date.UTC(2000, {valueOf: function () { throw 'utc'; }}); } catch (e) { e; }"),
        "utc");
}

TEST_F(ConstructTest, ParseGivesUtcTimeValues) {
    EXPECT_EQ(Run("Date.parse('Nov 5 2022')"), "1667606400000");
    EXPECT_EQ(Run("Date.parse('11/05/2022 10:30')"), "1667644200000");
    EXPECT_EQ(Run("Date.parse('Nov 5 2022 12:00 am')"), "1667606400000");
    EXPECT_EQ(Run("Date.parse('Nov 5 2022 (a comment (nested))')"), "1667606400000");
    EXPECT_EQ(Run("Date.parse('5 Nov 22')"), "NaN");
    EXPECT_EQ(Run("Date.parse('2022')"), "NaN");
    EXPECT_EQ(Run("Date.parse(1)"), "NaN");
    EXPECT_EQ(Run("Date.parse({toString: function () { return 'Nov 5 2022'; }})"), "1667606400000");
    // A text without a zone is local time.
    Zone(-60);
    EXPECT_EQ(Run("Date.parse('Nov 5 2022')"), "1667602800000");
    Zone(300);
    EXPECT_EQ(Run("Date.parse('Nov 5 2022')"), "1667624400000");
}

TEST_F(ConstructTest, ParseArgumentFailures) {
    EXPECT_TRUE(Has(Failure("Date.parse()"), "Bad arguments for function"));
    // A value with no text form is a bad argument...
    EXPECT_TRUE(
        Has(Failure("Date.parse({toString: 1, valueOf: 2})"), "Bad arguments for function"));
    // ...but a throw from the conversion goes on as it is.
    EXPECT_EQ(
        Run("try { Date.parse({toString: function () { throw 'boom'; }}); } catch (e) { e; }"),
        "boom");
}

}  // namespace
}  // namespace dateobj_test
