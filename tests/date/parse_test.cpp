// The date text parser in both modes: Date.parse (UTC) and the constructor
// (local clock reading).
#include <cmath>
#include <string>

#include "builtins/date_calendar.h"
#include "builtins/date_parse.h"
#include "date_support.h"

using namespace quillon;
using date_test::PureDateTest;

namespace {

constexpr double kHour = 3600000.0;
constexpr double kMinute = 60000.0;
constexpr double kNov5 = 1667606400000.0;  // 2022-11-05 00:00 UTC
constexpr int32_t kOffsets[] = {0, -60, 300};

struct Result {
    bool ok;
    double value;
};

Result Parse(const std::string &text, int mode, int32_t offset) {
    double v = -12345;
    const bool ok = Date_ParseText(text.data(), text.size(), mode, offset, &v);
    if (!ok) {
        EXPECT_EQ(v, -12345) << "a failed parse stores nothing";
    }
    return Result{ok, v};
}

// A text without a zone: the constructor gets the clock reading as written,
// Date.parse that reading moved to UTC by the offset.
void ExpectLocal(const std::string &text, double clock) {
    for (int32_t offset : kOffsets) {
        const Result local = Parse(text, DATEPARSE_LOCAL, offset);
        ASSERT_TRUE(local.ok) << text;
        EXPECT_EQ(local.value, clock) << text << " at " << offset;
        const Result utc = Parse(text, DATEPARSE_UTC, offset);
        ASSERT_TRUE(utc.ok) << text;
        EXPECT_EQ(utc.value, clock + offset * kMinute) << text << " at " << offset;
    }
}

void ExpectFails(const std::string &text) {
    for (int32_t offset : kOffsets) {
        EXPECT_FALSE(Parse(text, DATEPARSE_LOCAL, offset).ok) << text;
        EXPECT_FALSE(Parse(text, DATEPARSE_UTC, offset).ok) << text;
    }
}

// A text with a zone: Date.parse gives the written clock reading as it
// stands; the constructor the local clock reading of that moment.
void ExpectZoned(const std::string &text, double written, int32_t zone) {
    for (int32_t offset : kOffsets) {
        const Result local = Parse(text, DATEPARSE_LOCAL, offset);
        ASSERT_TRUE(local.ok) << text;
        EXPECT_EQ(local.value, written + (zone - offset) * kMinute) << text << " at " << offset;
        const Result utc = Parse(text, DATEPARSE_UTC, offset);
        ASSERT_TRUE(utc.ok) << text;
        EXPECT_EQ(utc.value, written) << text << " at " << offset;
    }
}

using DateParseTest = PureDateTest;

TEST_F(DateParseTest, MonthWordsDaysAndYears) {
    ExpectLocal("Nov 5 2022", kNov5);
    ExpectLocal("November 5, 2022", kNov5);
    ExpectLocal("5 Nov 2022", kNov5);
    ExpectLocal("2022 Nov 5", kNov5);
    ExpectLocal("Saturday, 5 November 2022", kNov5);
    ExpectLocal("Nov 5 99", 941760000000.0);  // 99 is at least 70: the year 1999
    ExpectLocal("Nov 5 70", 26611200000.0);
    ExpectLocal("ma 5 2022", 1651708800000.0);  // the later entry "may" wins over "march"
    ExpectLocal("mar 5 2022", 1646438400000.0);
    ExpectFails("5 Nov 22");  // the day is set and 22 is a small number
    ExpectFails("Nov 5 69");
    ExpectFails("2022");
    ExpectFails("Nov 2022");
    ExpectFails("");
    ExpectFails("   ,, ");
    ExpectFails("Nov Dec 5 2022");  // the month is already set
    ExpectFails("Nov 5 2022 1999");
}

TEST_F(DateParseTest, SlashedDatesAndClockTimes) {
    ExpectLocal("11/05/2022 10:30", kNov5 + 10.5 * kHour);
    ExpectLocal("11/05/2022", kNov5);
    ExpectLocal("11/5/22", -1488153600000.0);  // after '/' a small year gains 1900
    ExpectLocal("Nov 5/2022", kNov5);
    ExpectLocal("Nov 5 2022 10:30:45", kNov5 + 10.5 * kHour + 45000);
    ExpectLocal("10:30:45 Nov 5 2022", kNov5 + 10.5 * kHour + 45000);
    ExpectLocal("Nov 5 2022 10:", kNov5 + 10 * kHour);
    ExpectLocal("0/05/2022", 1638662400000.0);  // month -1: December 2021
    ExpectFails("11/05/2022/1");
    ExpectFails("Nov 5 2022 10:20:30:40");
    ExpectFails("2022-11-05");  // no ISO forms beyond what the rules accept
    ExpectFails("2022-11-05T10:30:00Z");
    ExpectFails("Nov 5 2022:");
}

TEST_F(DateParseTest, MorningAndAfternoon) {
    ExpectLocal("Nov 5 2022 12:00 am", kNov5);
    ExpectLocal("Nov 5 2022 12:00 pm", kNov5 + 12 * kHour);
    ExpectLocal("Nov 5 2022 1:15 pm", kNov5 + 13.25 * kHour);
    ExpectLocal("Nov 5 2022 0:30 pm", kNov5 + 12.5 * kHour);
    ExpectLocal("Nov 5 2022 11:59 AM", kNov5 + 11 * kHour + 59 * kMinute);
    ExpectFails("Nov 5 2022 1 pm");  // a bare 1 is no hour, and the day is set
    ExpectFails("Nov 5 2022 pm");
    ExpectFails("Nov 5 2022 13:00 pm");
    ExpectFails("Nov 5 2022 10am");  // letters may not follow a number
}

TEST_F(DateParseTest, ZoneWordsAndOffsets) {
    ExpectZoned("Sat, 05 Nov 2022 12:00:00 GMT+0100", kNov5 + 12 * kHour, -60);
    ExpectZoned("Nov 5 2022 12:00 GMT", kNov5 + 12 * kHour, 0);
    ExpectZoned("Nov 5 2022 12:00 UT", kNov5 + 12 * kHour, 0);
    ExpectZoned("Nov 5 2022 12:00 utc", kNov5 + 12 * kHour, 0);
    const struct {
        const char *word;
        int32_t zone;
    } kZones[] = {{"EST", 300}, {"edt", 240}, {"CST", 360}, {"CDT", 300},
                  {"MST", 420}, {"MDT", 360}, {"pst", 480}, {"PDT", 420}};
    for (const auto &z : kZones) {
        ExpectZoned(std::string("Nov 5 2022 10:00 ") + z.word, kNov5 + 10 * kHour, z.zone);
    }
    // Below 24 an offset counts hours, from 24 on it is hhmm.
    ExpectZoned("Nov 5 2022 10:00 GMT+1", kNov5 + 10 * kHour, -60);
    ExpectZoned("Nov 5 2022 10:00 GMT+0130", kNov5 + 10 * kHour, -90);
    ExpectZoned("Nov 5 2022 10:00 GMT+24", kNov5 + 10 * kHour, -24);
    ExpectZoned("Nov 5 2022 10:00 GMT-0500", kNov5 + 10 * kHour, 300);
    ExpectZoned("Nov 5 2022 10:00 -5", kNov5 + 10 * kHour, 300);
    ExpectZoned("Nov 5 2022 10:00 + 2", kNov5 + 10 * kHour, -120);
    ExpectZoned("Nov 5 2022 10:30-0500", kNov5 + 10.5 * kHour, 300);
    // A small number after an offset adds minutes to its magnitude.
    ExpectZoned("Nov 5 2022 10:00 GMT+1:30", kNov5 + 10 * kHour, -90);
    ExpectZoned("Nov 5 2022 10:00 GMT-3:30", kNov5 + 10 * kHour, 210);
    ExpectZoned("Nov 5 2022 10:00 GMT-0 30", kNov5 + 10 * kHour, 30);
    // The offset may come before the year.
    ExpectZoned("Sat Nov 05 10:00:00 GMT-0800 2022", kNov5 + 10 * kHour, 480);
    // A later zone word replaces the zone.
    ExpectZoned("Nov 5 2022 10:00 EST PST", kNov5 + 10 * kHour, 480);
    ExpectFails("Nov 5 2022 10:00 EST+0100");  // a zone other than 0 is set already
    ExpectFails("Nov 5 2022 10:00 +1 +2");
}

TEST_F(DateParseTest, OffsetsAfterTheClockTakeMinutes) {
    // After an offset, the minutes of a clock time adjust the offset instead.
    ExpectZoned("Nov 5 2022 GMT+0100 10:30", kNov5 + 10 * kHour, -90);
    // Numbers of 60 and more are not minutes of the offset.
    ExpectFails("Nov 5 2022 GMT+1 60");
}

TEST_F(DateParseTest, CommentsNest) {
    ExpectLocal("Nov 5 2022 (a comment (nested))", kNov5);
    ExpectLocal("Nov (x) 5 (y (z) w) 2022", kNov5);
    ExpectLocal("Nov 5 2022 (unterminated", kNov5);
    ExpectFails("Nov 5 (2022)");
    ExpectFails("Nov 5 (2022");
    ExpectFails("Nov 5 (a) b) 2022");
    ExpectFails("Nov 5 2022)");
}

TEST_F(DateParseTest, WordsIgnoreCaseButMustPrefixAnEntry) {
    ExpectLocal("NOV 5 2022", kNov5);
    ExpectLocal("nOvEmBeR 5 2022", kNov5);
    ExpectLocal("SATURDAY Nov 5 2022", kNov5);
    ExpectLocal("sa Nov 5 2022", kNov5);  // a prefix of "saturday"
    ExpectFails("s Nov 5 2022");          // "s" is taken for "september"
    ExpectLocal("Nov 5 2022 T", kNov5);   // a prefix of "thursday"
    ExpectFails("Novembre 5 2022");
    ExpectFails("Nov 5 2022 foo");
    ExpectFails("hello");
    ExpectFails("Nov 5th 2022");
    ExpectFails("Nov. 5 2022");
    // Latin-1 letters are not part of any word.
    ExpectFails("Nov 5 2022 \xC9ST");
    ExpectFails("N\xD6V 5 2022");
    ExpectFails("\xFF");
}

TEST_F(DateParseTest, SeparatorsAndMarks) {
    ExpectLocal("Nov\t5\n2022\r", kNov5);
    ExpectLocal(std::string("Nov\0"
                            "5 2022",
                            10),
                kNov5);
    ExpectLocal("Nov - 5 2022", kNov5);  // a '-' before no digit is skipped
    ExpectLocal("Nov 5 2022 -", kNov5);
    ExpectFails("Nov 5 -2022");  // a number after '-' is a zone offset
    ExpectFails("Nov 5 2022!");
    ExpectFails("Nov 5 2022.");
    // The zero-terminated form stops at the terminator.
    double v = 0;
    EXPECT_TRUE(Date_Parse("Nov 5 2022", DATEPARSE_LOCAL, 0, &v));
    EXPECT_EQ(v, kNov5);
    EXPECT_FALSE(Date_Parse("Nov 5", DATEPARSE_LOCAL, 0, &v));
}

TEST_F(DateParseTest, HugeNumbersFailInsteadOfOverflowing) {
    ExpectLocal("Sep 13 275760", 8.64e15);
    ExpectLocal("Nov 5 5000000",
                Date_TimeFromTriple(
                    DayTriple{static_cast<int32_t>(Date_DaysFromCivil(5000000, 11, 5)), 0, 0}));
    ExpectFails("Nov 5 6000000");
    ExpectFails("Nov 5 99999999999999999999999999999999");
    ExpectFails("99999999999999999999999999999999/5/2022");
    ExpectFails("Nov 99999999999999999999999999999/2022");
    // An absurd offset cannot be applied, so only Date.parse, which keeps
    // the written reading, succeeds.
    const std::string text = "Nov 5 2022 GMT+99999999999999999999999999";
    EXPECT_FALSE(Parse(text, DATEPARSE_LOCAL, 0).ok);
    const Result utc = Parse(text, DATEPARSE_UTC, 0);
    EXPECT_TRUE(utc.ok);
    EXPECT_EQ(utc.value, kNov5);
    // Long texts of separators and comments are fine.
    std::string longText(100000, '(');
    EXPECT_FALSE(Parse(longText, DATEPARSE_LOCAL, 0).ok);
    std::string padded = std::string(50000, ' ') + "Nov 5 2022" + std::string(50000, ',');
    ExpectLocal(padded, kNov5);
}

}  // namespace
