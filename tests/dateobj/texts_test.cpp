// The text methods of Date objects in several zones, and of invalid dates.
#include "dateobj_support.h"

namespace dateobj_test {
namespace {

using TextsTest = DateObjTest;

const char kAllTexts[] =
    "function texts(d) { return d.toString() + '|' + d.toDateString() + '|' + d.toTimeString() +"
    " '|' + d.toLocaleString() + '|' + d.toLocaleDateString() + '|' + d.toLocaleTimeString() +"
    " '|' + d.toGMTString() + '|' + d.toUTCString(); }\n";

TEST_F(TextsTest, EveryFormAtOffsetZero) {
    EXPECT_EQ(Run(std::string(kAllTexts) + "texts(new Date(2005, 5, 15, 10, 20, 30, 400))"),
              "Wed Jun 15 10:20:30 UTC+0000 2005|Wed Jun 15 2005|10:20:30 UTC+0000|"
              "Wednesday 15-Jun-05 10:20:30|Wednesday 15-Jun-05|10:20:30|"
              "Wed, 15 Jun 2005 10:20:30 UTC|Wed, 15 Jun 2005 10:20:30 UTC");
}

TEST_F(TextsTest, OneHourEastOfGreenwich) {
    Zone(-60);
    EXPECT_EQ(Run(std::string(kAllTexts) + "texts(new Date(2022, 10, 5, 12, 0, 0))"),
              "Sat Nov 05 12:00:00 UTC+0100 2022|Sat Nov 05 2022|12:00:00 UTC+0100|"
              "Saturday 05-Nov-22 12:00:00|Saturday 05-Nov-22|12:00:00|"
              "Sat, 05 Nov 2022 11:00:00 UTC|Sat, 05 Nov 2022 11:00:00 UTC");
    // The UTC form crosses into the day and year before.
    EXPECT_EQ(Run("new Date(2000, 0, 1, 0, 30).toUTCString()"), "Fri, 31 Dec 1999 23:30:00 UTC");
}

TEST_F(TextsTest, ZoneSuffixes) {
    const struct {
        int32_t zone;
        const char *text;
    } cases[] = {
        {300, "Sat Nov 05 12:00:00 UTC-0500 2022"},  {-330, "Sat Nov 05 12:00:00 UTC+0530 2022"},
        {-345, "Sat Nov 05 12:00:00 UTC+0545 2022"}, {90, "Sat Nov 05 12:00:00 UTC-0130 2022"},
        {-720, "Sat Nov 05 12:00:00 UTC+1200 2022"}, {0, "Sat Nov 05 12:00:00 UTC+0000 2022"},
    };
    for (const auto &c : cases) {
        Zone(c.zone);
        EXPECT_EQ(Run("String(new Date(2022, 10, 5, 12))"), c.text) << c.zone;
    }
    Zone(300);
    EXPECT_EQ(Run("new Date(2022, 10, 5, 22).toUTCString()"), "Sun, 06 Nov 2022 03:00:00 UTC");
}

TEST_F(TextsTest, InvalidDateInEveryForm) {
    std::string want = "Invalid Date";
    for (int i = 1; i < 8; ++i) want += "|Invalid Date";
    EXPECT_EQ(Run(std::string(kAllTexts) + "texts(new Date(NaN))"), want);
    EXPECT_EQ(Run("'' + new Date('no date')"), "Invalid Date");
    Zone(-60);
    EXPECT_EQ(Run("texts(new Date(2000, 0, NaN))"), want);
}

TEST_F(TextsTest, ClockReadingsBeforeTheEpochAndOddYears) {
    EXPECT_EQ(Run("new Date(1969, 11, 31, 23, 59, 59).toString()"),
              "Wed Dec 31 23:59:59 UTC+0000 1969");
    EXPECT_EQ(Run("new Date(-1).toUTCString()"), "Wed, 31 Dec 1969 23:59:59 UTC");
    EXPECT_EQ(Run("var d = new Date(2000, 0, 1); d.setFullYear(5); d.toDateString()"),
              "Sat Jan 01 0005");
    EXPECT_EQ(Run("new Date(12345, 0, 1).toDateString()"), "Mon Jan 01 12345");
}

TEST_F(TextsTest, BrokenFieldsFailAndOtherThisDoesNothing) {
    EXPECT_TRUE(
        Has(Failure("(function () { var d = new Date(0); d.hours = 'x'; return d.toString(); })()"),
            "Property not found"));
    EXPECT_TRUE(
        Has(Failure("(function () { var d = new Date(0); delete d.date; return '' + d; })()"),
            "Property not found"));
    EXPECT_EQ(Run("String.prototype.lt = Date.prototype.toLocaleString; typeof 'x'.lt()"),
              "undefined");
}

}  // namespace
}  // namespace dateobj_test
