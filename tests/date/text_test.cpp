// Text forms of dates: standard, UTC and locale forms, the zone suffix and
// the invalid date.
#include <string>

#include "builtins/date_text.h"
#include "date_support.h"

using namespace quillon;
using date_test::PureDateTest;

namespace {

// Saturday 2022-11-05 13:07:09.250 local time.
DayTriple Moment() { return Date_TripleFromFields(DateFields{2022, 10, 5, 13, 7, 9, 250}); }

std::string Format(const DayTriple &t, uint32_t mode, int32_t offset) {
    char buf[kDateTextSize];
    size_t len = 99999;
    EXPECT_EQ(Date_Format(t, mode, offset, buf, sizeof buf, &len), 0u);
    EXPECT_LT(len, sizeof buf);
    EXPECT_EQ(buf[len], '\0');
    return std::string(buf, len);
}

std::string Suffix(int32_t offset) {
    char buf[32];
    const size_t len = Date_ZoneSuffix(offset, buf, sizeof buf);
    return std::string(buf, len);
}

using DateTextTest = PureDateTest;

TEST_F(DateTextTest, StandardFormsCarryTheZoneSuffix) {
    EXPECT_EQ(Format(Moment(), kDateFmtToString, 0), "Sat Nov 05 13:07:09 UTC+0000 2022");
    EXPECT_EQ(Format(Moment(), kDateFmtToString, -60), "Sat Nov 05 13:07:09 UTC+0100 2022");
    EXPECT_EQ(Format(Moment(), kDateFmtToString, 300), "Sat Nov 05 13:07:09 UTC-0500 2022");
    EXPECT_EQ(Format(Moment(), kDateFmtToDateString, 300), "Sat Nov 05 2022");
    EXPECT_EQ(Format(Moment(), kDateFmtToTimeString, -60), "13:07:09 UTC+0100");
    EXPECT_EQ(Format(Moment(), kDateFmtToTimeString, 300), "13:07:09 UTC-0500");
    // Neither part asked for: both.
    EXPECT_EQ(Format(Moment(), DATEFMT_STANDARD, 0), "Sat Nov 05 13:07:09 UTC+0000 2022");
}

TEST_F(DateTextTest, ZoneSuffixDigits) {
    EXPECT_EQ(Suffix(0), "UTC+0000");
    EXPECT_EQ(Suffix(-60), "UTC+0100");
    EXPECT_EQ(Suffix(300), "UTC-0500");
    EXPECT_EQ(Suffix(90), "UTC-0130");
    EXPECT_EQ(Suffix(-330), "UTC+0530");
    EXPECT_EQ(Suffix(-1), "UTC+0001");
    EXPECT_EQ(Suffix(1), "UTC-0001");
    EXPECT_EQ(Suffix(-840), "UTC+1400");
    EXPECT_EQ(Suffix(INT32_MAX), "UTC-3579139407");
    EXPECT_EQ(Suffix(INT32_MIN), "UTC+3579139408");
}

TEST_F(DateTextTest, UtcFormConvertsToUtcFirst) {
    EXPECT_EQ(Format(Moment(), kDateFmtToUTCString, 0), "Sat, 05 Nov 2022 13:07:09 UTC");
    EXPECT_EQ(Format(Moment(), kDateFmtToUTCString, -60), "Sat, 05 Nov 2022 12:07:09 UTC");
    EXPECT_EQ(Format(Moment(), kDateFmtToUTCString, 300), "Sat, 05 Nov 2022 18:07:09 UTC");
    // Across midnight, and across the end of a year.
    const DayTriple early = Date_TripleFromFields(DateFields{2022, 10, 5, 0, 30, 0, 0});
    EXPECT_EQ(Format(early, kDateFmtToUTCString, -60), "Fri, 04 Nov 2022 23:30:00 UTC");
    const DayTriple late = Date_TripleFromFields(DateFields{2022, 11, 31, 22, 0, 0, 0});
    EXPECT_EQ(Format(late, kDateFmtToUTCString, 300), "Sun, 01 Jan 2023 03:00:00 UTC");
}

TEST_F(DateTextTest, LocaleFormsUseThePlatformTexts) {
    EXPECT_EQ(Format(Moment(), kDateFmtToLocaleString, 0), "Saturday 05-Nov-22 13:07:09");
    EXPECT_EQ(Format(Moment(), kDateFmtToLocaleDateString, 300), "Saturday 05-Nov-22");
    EXPECT_EQ(Format(Moment(), kDateFmtToLocaleTimeString, -60), "13:07:09");
}

TEST_F(DateTextTest, DatesBeforeTheEpochs) {
    // Time value 0 one hour east of Greenwich is 01:00 local on 1970-01-01.
    const DayTriple zero = Date_LocalTriple(Date_TripleFromTime(0), -60);
    EXPECT_EQ(Format(zero, kDateFmtToString, -60), "Thu Jan 01 01:00:00 UTC+0100 1970");
    EXPECT_EQ(Format(zero, kDateFmtToUTCString, -60), "Thu, 01 Jan 1970 00:00:00 UTC");
    const DayTriple westZero = Date_LocalTriple(Date_TripleFromTime(0), 300);
    EXPECT_EQ(Format(westZero, kDateFmtToString, 300), "Wed Dec 31 19:00:00 UTC-0500 1969");
    EXPECT_EQ(Format(Date_TripleFromFields(DateFields{1, 0, 1, 0, 0, 0, 0}), kDateFmtToString, 0),
              "Mon Jan 01 00:00:00 UTC+0000 0001");
    EXPECT_EQ(
        Format(Date_TripleFromFields(DateFields{-1, 11, 31, 0, 0, 0, 0}), kDateFmtToDateString, 0),
        "Fri Dec 31 -001");
}

TEST_F(DateTextTest, NegativeTimeOfDayShowsAsStored) {
    // An hour of -1 stays in the fields; the weekday is that of the day before.
    const DayTriple t = Date_Normalise(2022, 0, 1, -1, 0, 0, 0);
    EXPECT_EQ(Format(t, kDateFmtToString, 0), "Fri Jan 01 -1:00:00 UTC+0000 2022");
    EXPECT_EQ(Format(t, kDateFmtToUTCString, -60), "Fri, 31 Dec 2021 22:00:00 UTC");
}

TEST_F(DateTextTest, InvalidDate) {
    for (uint32_t mode :
         {kDateFmtToString, kDateFmtToDateString, kDateFmtToTimeString, kDateFmtToLocaleString,
          kDateFmtToLocaleDateString, kDateFmtToLocaleTimeString, kDateFmtToUTCString}) {
        EXPECT_EQ(Format(kInvalidTriple, mode, -60), "Invalid Date") << mode;
    }
    // A valid local date whose UTC moment is out of range.
    EXPECT_EQ(Format(DayTriple{INT32_MAX, 1439, 0}, kDateFmtToUTCString, 1440), "Invalid Date");
}

TEST_F(DateTextTest, ExtremeFieldsFitTheBuffer) {
    const std::string text =
        Format(DayTriple{INT32_MIN + 1, INT32_MIN, INT32_MIN}, kDateFmtToString, INT32_MIN);
    EXPECT_EQ(text, "Fri Jun 24 -35791394:-8:-2147483 UTC+3579139408 -5877633") << text;
    Format(DayTriple{INT32_MAX, INT32_MAX, INT32_MAX}, kDateFmtToUTCString, 0);
}

TEST_F(DateTextTest, SmallBuffersAreCutNotOverrun) {
    char buf[12];
    memset(buf, 'x', sizeof buf);
    size_t len = 0;
    EXPECT_EQ(Date_Format(Moment(), kDateFmtToString, 0, buf, 8, &len), 0u);
    EXPECT_EQ(len, 7u);
    EXPECT_EQ(std::string(buf), "Sat Nov");
    EXPECT_EQ(buf[8], 'x');
    EXPECT_EQ(Date_Format(Moment(), kDateFmtToLocaleString, 0, buf, 5, &len), 0u);
    EXPECT_EQ(std::string(buf, len), "Satu");
    EXPECT_EQ(Date_Format(kInvalidTriple, kDateFmtToString, 0, buf, 1, &len), 0u);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(Date_Format(Moment(), kDateFmtToString, 0, buf, 0, &len), 0u);
    EXPECT_EQ(len, 0u);
}

}  // namespace
