// Calendar arithmetic: civil dates, day triples, time values, weekdays and
// the normalising of fields given one by one.
#include <cmath>

#include "builtins/date_calendar.h"
#include "date_support.h"

using namespace quillon;
using date_test::PureDateTest;
using date_test::ReferenceDays;

namespace {

int64_t Days(int64_t y, int64_t m, int64_t d) { return Date_DaysFromCivil(y, m, d); }

void ExpectCivil(int32_t days, int32_t y, int32_t m, int32_t d) {
    const CivilDate c = Date_CivilFromDays(days);
    EXPECT_EQ(c.year, y) << "days " << days;
    EXPECT_EQ(c.month, m) << "days " << days;
    EXPECT_EQ(c.day, d) << "days " << days;
}

void ExpectTriple(const DayTriple &t, int32_t days, int32_t minutes, int32_t ms) {
    EXPECT_EQ(t.days, days);
    EXPECT_EQ(t.minutes, minutes);
    EXPECT_EQ(t.ms, ms);
}

using CalendarTest = PureDateTest;

TEST_F(CalendarTest, EpochsAndKnownDays) {
    EXPECT_EQ(Days(1978, 1, 1), 0);
    EXPECT_EQ(Days(1970, 1, 1), -2922);
    EXPECT_EQ(Days(2022, 11, 5), 16379);
    EXPECT_EQ(Days(1, 1, 1), -722084);
    // Year 0 is a leap year, year -1 is not.
    EXPECT_EQ(Days(0, 1, 1), -722084 - 366);
    EXPECT_EQ(Days(-1, 1, 1), -722084 - 366 - 365);
    ExpectCivil(0, 1978, 1, 1);
    ExpectCivil(-2922, 1970, 1, 1);
    ExpectCivil(-1, 1977, 12, 31);
    ExpectCivil(-722085, 0, 12, 31);
    ExpectCivil(-722084 - 366 - 1, -1, 12, 31);
}

TEST_F(CalendarTest, LeapDays) {
    // 29 February 2000 exists; in 1900 the same fields roll into March.
    ExpectCivil(static_cast<int32_t>(Days(2000, 2, 29)), 2000, 2, 29);
    ExpectCivil(static_cast<int32_t>(Days(1900, 2, 29)), 1900, 3, 1);
    ExpectCivil(static_cast<int32_t>(Days(2100, 2, 29)), 2100, 3, 1);
    ExpectCivil(static_cast<int32_t>(Days(2400, 2, 29)), 2400, 2, 29);
    // Before year 0 the cycles continue unbroken: -4 and -400 are leap
    // years, -7 and -100 are not.
    EXPECT_EQ(Days(-3, 1, 1) - Days(-4, 1, 1), 366);
    EXPECT_EQ(Days(-6, 1, 1) - Days(-7, 1, 1), 365);
    ExpectCivil(static_cast<int32_t>(Days(-4, 2, 29)), -4, 2, 29);
    ExpectCivil(static_cast<int32_t>(Days(-100, 2, 29)), -100, 3, 1);
    ExpectCivil(static_cast<int32_t>(Days(-400, 2, 29)), -400, 2, 29);
}

TEST_F(CalendarTest, MonthAndDayOutsideTheirRangeCarry) {
    EXPECT_EQ(Days(2022, 13, 1), Days(2023, 1, 1));
    EXPECT_EQ(Days(2022, 0, 1), Days(2021, 12, 1));
    EXPECT_EQ(Days(2022, -12, 1), Days(2020, 12, 1));
    EXPECT_EQ(Days(2022, 3, 0), Days(2022, 2, 28));
    EXPECT_EQ(Days(2022, 1, -30), Days(2021, 12, 1));
}

TEST_F(CalendarTest, AgreesWithAnIndependentMethodOverAWideRange) {
    // Every 97th day from about year -6000 to year 9900, both directions.
    for (int64_t d = -2920000; d <= 2900000; d += 97) {
        const CivilDate c = Date_CivilFromDays(static_cast<int32_t>(d));
        ASSERT_GE(c.month, 1);
        ASSERT_LE(c.month, 12);
        ASSERT_GE(c.day, 1);
        ASSERT_LE(c.day, 31);
        ASSERT_EQ(ReferenceDays(c.year, c.month, c.day), d);
        ASSERT_EQ(Days(c.year, c.month, c.day), d);
    }
}

TEST_F(CalendarTest, ExtremeDaysAndYears) {
    // The limits of time values in the language: -8.64e15 and 8.64e15.
    DayTriple low{static_cast<int32_t>(Days(-271821, 4, 20)), 0, 0};
    DayTriple high{static_cast<int32_t>(Days(275760, 9, 13)), 0, 0};
    EXPECT_EQ(Date_TimeFromTriple(low), -8.64e15);
    EXPECT_EQ(Date_TimeFromTriple(high), 8.64e15);
    ExpectCivil(low.days, -271821, 4, 20);
    ExpectCivil(high.days, 275760, 9, 13);
    // The ends of the day range map to years and back.
    for (int32_t d : {INT32_MIN + 1, INT32_MAX, -1000000000, 1000000000}) {
        const CivilDate c = Date_CivilFromDays(d);
        EXPECT_EQ(Days(c.year, c.month, c.day), d);
    }
    // Script-sized years compute without overflow.
    EXPECT_EQ(Days(INT32_MAX, 12, 31), ReferenceDays(INT32_MAX, 12, 31));
    EXPECT_EQ(Days(INT32_MIN, 1, 1), ReferenceDays(INT32_MIN, 1, 1));
    EXPECT_LT(Days(INT32_MIN, INT32_MIN, INT32_MIN), INT32_MIN);
    EXPECT_GT(Days(INT64_MAX, INT64_MAX, INT64_MAX), INT32_MAX);
    EXPECT_LT(Days(INT64_MIN, INT64_MIN, INT64_MIN), INT32_MIN);
}

TEST_F(CalendarTest, TimeValuesAndTriples) {
    ExpectTriple(Date_TripleFromTime(0), -2922, 0, 0);
    EXPECT_EQ(Date_TimeFromTriple(DayTriple{-2922, 0, 0}), 0);
    ExpectTriple(Date_TripleFromTime(1667653629250.0), 16379, 13 * 60 + 7, 9250);
    // Moments before 1978 split into the day that holds them and a
    // non-negative time of day.
    ExpectTriple(Date_TripleFromTime(1000), -2922, 0, 1000);
    ExpectTriple(Date_TripleFromTime(3600000), -2922, 60, 0);
    ExpectTriple(Date_TripleFromTime(-1), -2923, 1439, 59999);
    ExpectTriple(Date_TripleFromTime(252460800000.0 - 1), -1, 1439, 59999);
    // Fractions are dropped toward zero before splitting.
    ExpectTriple(Date_TripleFromTime(1.9), -2922, 0, 1);
    ExpectTriple(Date_TripleFromTime(-0.9), -2922, 0, 0);
    // A triple with negative parts still has a consistent time value.
    EXPECT_EQ(Date_TimeFromTriple(DayTriple{-2921, -1380, 0}), 3600000);
    EXPECT_TRUE(std::isnan(Date_TimeFromTriple(kInvalidTriple)));
    for (double bad :
         {double(NAN), double(INFINITY), -double(INFINITY), 1e300, -1e300, 1.9e17, -1.9e17}) {
        EXPECT_FALSE(Date_IsValid(Date_TripleFromTime(bad))) << bad;
    }
    // Round trips over both sides of both epochs.
    for (double t = -4e13; t <= 4e13; t += 987654321.0) {
        ASSERT_EQ(Date_TimeFromTriple(Date_TripleFromTime(t)), t);
    }
}

TEST_F(CalendarTest, StoredFieldsToTriplesAndBack) {
    DateFields f{2022, 10, 5, 13, 7, 9, 250};
    const DayTriple t = Date_TripleFromFields(f);
    ExpectTriple(t, 16379, 787, 9250);
    const DateFields back = Date_FieldsFromTriple(t);
    EXPECT_EQ(back.year, 2022);
    EXPECT_EQ(back.month, 10);
    EXPECT_EQ(back.date, 5);
    EXPECT_EQ(back.hours, 13);
    EXPECT_EQ(back.minutes, 7);
    EXPECT_EQ(back.seconds, 9);
    EXPECT_EQ(back.ms, 250);
    // 1970-01-01 00:00 at offset 0 is time value 0.
    EXPECT_EQ(Date_TimeFromTriple(Date_TripleFromFields(DateFields{1970, 0, 1, 0, 0, 0, 0})), 0);
    // Year 1 and year -1.
    ExpectTriple(Date_TripleFromFields(DateFields{1, 0, 1, 0, 0, 0, 0}), -722084, 0, 0);
    ExpectTriple(Date_TripleFromFields(DateFields{-1, 11, 31, 23, 59, 59, 999}), -722085 - 366,
                 1439, 59999);
}

TEST_F(CalendarTest, StoredFieldsAreSixteenBitAndYearMarksInvalid) {
    EXPECT_FALSE(Date_IsValid(Date_TripleFromFields(DateFields{INT32_MIN, 0, 1, 0, 0, 0, 0})));
    // A stored -1 stays -1: December of the year before.
    EXPECT_EQ(Date_TripleFromFields(DateFields{2022, -1, 1, 0, 0, 0, 0}).days, Days(2021, 12, 1));
    // Only the low 16 bits count.
    EXPECT_EQ(Date_TripleFromFields(DateFields{2022, 65536 + 1, 1, 0, 0, 0, 0}).days,
              Days(2022, 2, 1));
    EXPECT_EQ(Date_TripleFromFields(DateFields{2022, 0, 65535, 0, 0, 0, 0}).days,
              Days(2022, 1, -1));
    EXPECT_EQ(Date_TripleFromFields(DateFields{2022, 0, 1, 0x10002, 0, 0, 0}).minutes, 120);
    // Invalid in every other field still reads (as 16-bit zero).
    ExpectTriple(Date_TripleFromFields(DateFields{2022, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN,
                                                  INT32_MIN, INT32_MIN}),
                 static_cast<int32_t>(Days(2021, 12, 31)), 0, 0);
    ExpectTriple(Date_TripleFromFields(DateFields{2022, 0, 1, 32767, 32767, 32767, 32767}),
                 static_cast<int32_t>(Days(2022, 1, 1)), 32767 * 61, 32767 * 1001);
    // Years whose days do not fit a triple give an invalid date.
    EXPECT_TRUE(Date_IsValid(Date_TripleFromFields(DateFields{5000000, 0, 1, 0, 0, 0, 0})));
    EXPECT_FALSE(Date_IsValid(Date_TripleFromFields(DateFields{6000000, 0, 1, 0, 0, 0, 0})));
    EXPECT_FALSE(Date_IsValid(Date_TripleFromFields(DateFields{INT32_MAX, 0, 1, 0, 0, 0, 0})));
    EXPECT_FALSE(Date_IsValid(Date_TripleFromFields(DateFields{INT32_MIN + 1, 0, 1, 0, 0, 0, 0})));
}

TEST_F(CalendarTest, FieldsOfTriplesKeepNegativePartsAndInvalidMarks) {
    const DateFields f = Date_FieldsFromTriple(DayTriple{0, -90, -1500});
    EXPECT_EQ(f.year, 1978);
    EXPECT_EQ(f.hours, -1);
    EXPECT_EQ(f.minutes, -30);
    EXPECT_EQ(f.seconds, -1);
    EXPECT_EQ(f.ms, -500);
    const DateFields bad = Date_FieldsFromTriple(kInvalidTriple);
    for (int32_t v : {bad.year, bad.month, bad.date, bad.hours, bad.minutes, bad.seconds, bad.ms}) {
        EXPECT_EQ(v, INT32_MIN);
    }
}

TEST_F(CalendarTest, NormaliseCarriesWithTruncatingQuotients) {
    const int32_t nov5 = static_cast<int32_t>(Days(2022, 11, 5));
    ExpectTriple(Date_Normalise(2022, 10, 5, 13, 7, 9, 250), nov5, 787, 9250);
    ExpectTriple(Date_Normalise(2022, 10, 5, 0, 0, 0, 1500), nov5, 0, 1500);
    ExpectTriple(Date_Normalise(2022, 10, 5, 0, 0, 75, 0), nov5, 1, 15000);
    ExpectTriple(Date_Normalise(2022, 10, 5, 49, 0, 0, 0), nov5 + 2, 60, 0);
    ExpectTriple(Date_Normalise(2022, 0, 31, 24, 0, 0, 0), static_cast<int32_t>(Days(2022, 2, 1)),
                 0, 0);
    // Negative remainders stay negative rather than borrowing from the day.
    ExpectTriple(Date_Normalise(2022, 10, 5, 10, -30, 0, 0), nov5, 570, 0);
    ExpectTriple(Date_Normalise(2022, 10, 5, -1, 0, 0, 0), nov5, -60, 0);
    ExpectTriple(Date_Normalise(2022, 10, 5, -25, 0, 0, 0), nov5 - 1, -60, 0);
    ExpectTriple(Date_Normalise(2022, 10, 5, 0, 0, 0, -1), nov5, 0, -1);
    ExpectTriple(Date_Normalise(2022, 10, 5, 0, 0, -61, 0), nov5, -1, -1000);
    // Months beyond the year carry into it, made 0 to 11.
    EXPECT_EQ(Date_Normalise(2022, 12, 1, 0, 0, 0, 0).days, Days(2023, 1, 1));
    EXPECT_EQ(Date_Normalise(2022, -1, 1, 0, 0, 0, 0).days, Days(2021, 12, 1));
    // Fractions of time fields are dropped.
    ExpectTriple(Date_Normalise(2022, 10, 5, 1.9, 0.5, 2.7, 3.99), nov5, 60, 2003);
    // Large but finite fields carry exactly.
    ExpectTriple(Date_Normalise(1970, 0, 1, 0, 0, 0, 8.64e15),
                 static_cast<int32_t>(Days(275760, 9, 13)), 0, 0);
    ExpectTriple(Date_Normalise(1970, 0, 1, 0, 0, 0, -8.64e15),
                 static_cast<int32_t>(Days(-271821, 4, 20)), 0, 0);
}

TEST_F(CalendarTest, NormaliseRejectsWhatDoesNotFit) {
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY), 1e20, -1e20, 1e300}) {
        EXPECT_FALSE(Date_IsValid(Date_Normalise(2022, 0, 1, bad, 0, 0, 0))) << bad;
        EXPECT_FALSE(Date_IsValid(Date_Normalise(2022, 0, 1, 0, bad, 0, 0))) << bad;
        EXPECT_FALSE(Date_IsValid(Date_Normalise(2022, 0, 1, 0, 0, bad, 0))) << bad;
        EXPECT_FALSE(Date_IsValid(Date_Normalise(2022, 0, 1, 0, 0, 0, bad))) << bad;
    }
    EXPECT_FALSE(Date_IsValid(Date_Normalise(INT32_MAX, 0, 1, 0, 0, 0, 0)));
    EXPECT_FALSE(Date_IsValid(Date_Normalise(INT32_MIN, 0, 1, 0, 0, 0, 0)));
    EXPECT_FALSE(Date_IsValid(Date_Normalise(INT64_MAX, INT64_MAX, INT64_MAX, 0, 0, 0, 0)));
    EXPECT_FALSE(Date_IsValid(Date_Normalise(INT64_MIN, INT64_MIN, INT64_MIN, 0, 0, 0, 0)));
    EXPECT_FALSE(Date_IsValid(Date_Normalise(2022, INT32_MAX, 1, 0, 0, 0, 0)));
    // The day count just below the invalid mark is not mistaken for it.
    EXPECT_FALSE(Date_IsValid(Date_Normalise(1978, 0, INT32_MIN, 0, 0, 0, 0)));
    EXPECT_TRUE(Date_IsValid(Date_Normalise(1978, 0, INT32_MIN + 2, 0, 0, 0, 0)));
    EXPECT_FALSE(Date_IsValid(Date_Normalise(1978, 0, INT32_MIN + 2, -25, 0, 0, 0)));
}

TEST_F(CalendarTest, Weekdays) {
    EXPECT_EQ(Date_Weekday(DayTriple{0, 0, 0}), 0);  // 1978-01-01, a Sunday
    EXPECT_EQ(Date_Weekday(DayTriple{-2922, 0, 0}), 4);
    EXPECT_EQ(Date_Weekday(DayTriple{16379, 787, 9250}), 6);
    EXPECT_EQ(Date_Weekday(DayTriple{-722084, 0, 0}), 1);
    // A negative time of day belongs to the day before.
    EXPECT_EQ(Date_Weekday(DayTriple{0, -30, 0}), 6);
    EXPECT_EQ(Date_Weekday(DayTriple{0, 0, -1}), 6);
    EXPECT_EQ(Date_Weekday(Date_Normalise(2022, 0, 1, -1, 0, 0, 0)), 5);  // Fri 2021-12-31
    // A positive time of day with negative milliseconds is still that day.
    EXPECT_EQ(Date_Weekday(DayTriple{0, 600, -1000}), 0);
    EXPECT_EQ(Date_Weekday(kInvalidTriple), -1);
    const int32_t first = Date_Weekday(DayTriple{INT32_MIN + 1, 0, 0});
    EXPECT_EQ(Date_Weekday(DayTriple{INT32_MIN + 1, -1, 0}), (first + 6) % 7);
    EXPECT_GE(Date_Weekday(DayTriple{INT32_MAX, 0, 0}), 0);
}

TEST_F(CalendarTest, ZoneShifts) {
    const int32_t nov5 = static_cast<int32_t>(Days(2022, 11, 5));
    // One hour east of Greenwich: 00:30 local is 23:30 UTC the day before.
    ExpectTriple(Date_UtcTriple(DayTriple{nov5, 30, 0}, -60), nov5 - 1, 1410, 0);
    ExpectTriple(Date_LocalTriple(DayTriple{nov5 - 1, 1410, 0}, -60), nov5, 30, 0);
    ExpectTriple(Date_UtcTriple(DayTriple{nov5, 22 * 60, 5}, 300), nov5 + 1, 180, 5);
    // Shifting re-splits a triple with negative parts.
    ExpectTriple(Date_UtcTriple(DayTriple{nov5, -60, 0}, 0), nov5 - 1, 1380, 0);
    EXPECT_FALSE(Date_IsValid(Date_UtcTriple(kInvalidTriple, -60)));
    EXPECT_FALSE(Date_IsValid(Date_UtcTriple(DayTriple{INT32_MAX, 1439, 0}, 60)));
    EXPECT_FALSE(Date_IsValid(Date_LocalTriple(DayTriple{INT32_MIN + 1, 0, 0}, 60)));
    EXPECT_TRUE(Date_IsValid(Date_UtcTriple(DayTriple{0, 0, 0}, INT32_MIN)));
    EXPECT_TRUE(Date_IsValid(Date_LocalTriple(DayTriple{0, 0, 0}, INT32_MIN)));
}

TEST_F(CalendarTest, UtcTimeValuesOfLocalTriples) {
    const DayTriple jan1 = Date_TripleFromFields(DateFields{1970, 0, 1, 0, 0, 0, 0});
    EXPECT_EQ(Date_UtcTimeOf(jan1, 0), 0);
    EXPECT_EQ(Date_UtcTimeOf(jan1, -60), -3600000);
    EXPECT_EQ(Date_UtcTimeOf(jan1, 300), 18000000);
    EXPECT_TRUE(std::isnan(Date_UtcTimeOf(kInvalidTriple, 0)));
    ExpectTriple(Date_LocalTripleOf(0, -60), -2922, 60, 0);
    ExpectTriple(Date_LocalTripleOf(0, 300), -2923, 19 * 60, 0);
    ExpectTriple(Date_LocalTripleOf(1667653629250.9, 0), 16379, 787, 9250);
    for (double bad : {double(NAN), double(INFINITY), -double(INFINITY), 1e300}) {
        EXPECT_FALSE(Date_IsValid(Date_LocalTripleOf(bad, -60))) << bad;
    }
    // Round trips through both directions at each offset.
    for (int32_t offset : {0, -60, 300}) {
        for (double t = -5e12; t <= 5e12; t += 123456789.0) {
            ASSERT_EQ(Date_UtcTimeOf(Date_LocalTripleOf(t, offset), offset), t);
        }
    }
}

TEST_F(CalendarTest, DateStamps) {
    const DayTriple t = Date_TripleFromStamp(DateStamp{16379, 787, 9 * 50 + 25});
    ExpectTriple(t, 16379, 787, 9500);
    const DateStamp s = Date_StampFromTriple(DayTriple{16379, 787, 9519});
    EXPECT_EQ(s.days, 16379);
    EXPECT_EQ(s.minutes, 787);
    EXPECT_EQ(s.ticks, 475);
}

}  // namespace
