// The error table, the rows of codes and the texts of codes.
#include "reportfixture.h"
#include "runtime/errtable.h"

namespace report_test {
namespace {

TEST(ErrTable, RowsAndClasses) {
    EXPECT_STREQ(Err_Row(ROW_URI).message, "Malformed URI sequence");
    EXPECT_EQ(Err_Row(ROW_URI).errClass, EC_URI);
    EXPECT_STREQ(Err_Row(11).message, "Trailing \\ in regular expression");
    EXPECT_STREQ(Err_Row(25).message, "%s already declared");
    EXPECT_STREQ(Err_Row(66).message, "Break character recieved");
    EXPECT_EQ(Err_Row(66).errClass, EC_ERROR);
    EXPECT_STREQ(Err_Row(ROW_NESTED_TOO_DEEPLY).message, "Program nested too deeply");
    EXPECT_EQ(Err_Row(ROW_NESTED_TOO_DEEPLY).errClass, EC_RANGE);
    EXPECT_EQ(Err_Row(23).errClass, EC_RANGE);
    EXPECT_EQ(Err_Row(22).errClass, EC_REFERENCE);
    EXPECT_EQ(Err_Row(14).errClass, EC_ERROR);
    EXPECT_EQ(Err_Row(19).errClass, EC_ERROR);
    EXPECT_STREQ(Err_ClassPrefix(EC_ERROR), "");
    EXPECT_STREQ(Err_ClassPrefix(EC_EVAL), "Eval ");
    EXPECT_STREQ(Err_ClassPrefix(EC_URI), "URI ");
    EXPECT_STREQ(Err_ClassName(EC_ERROR), "Error");
    EXPECT_STREQ(Err_ClassName(EC_REFERENCE), "ReferenceError");
    EXPECT_STREQ(Err_ClassName(EC_URI), "URIError");
}

TEST(ErrTable, RowsOfCodes) {
    EXPECT_EQ(Err_RowOfCode(0x8036), 54u);  // shares its row with the parser's message
    EXPECT_EQ(Err_RowOfCode(0x803E), 0u);
    EXPECT_EQ(Err_RowOfCode(0x8014), 35u);
    EXPECT_EQ(Err_RowOfCode(236), 37u);
    EXPECT_EQ(Err_RowOfCode(0), ROW_FROM_CODE);
    EXPECT_EQ(Err_RowOfCode(103), ROW_FROM_CODE);
    EXPECT_EQ(Err_RowOfCode(0x8011), ROW_FROM_CODE);
    EXPECT_EQ(Err_RowOfCode(0x40008001), ROW_FROM_CODE);
}

TEST(ErrTable, TextsOfCodes) {
    char buf[120];
    ASSERT_TRUE(Err_CodeText(0x1000, buf, sizeof buf));
    EXPECT_STREQ(buf, "General failure");
    ASSERT_TRUE(Err_CodeText(0x1002, buf, sizeof buf));
    EXPECT_STREQ(buf, "Bad file format");
    // Only the low 16 bits count.
    for (uint32_t code : {0x1001u, 0x40001001u, 0x12341001u}) {
        ASSERT_TRUE(Err_CodeText(code, buf, sizeof buf));
        EXPECT_STREQ(buf, "User break");
    }
    // A text that does not fit gives none.
    EXPECT_FALSE(Err_CodeText(0x1001, buf, 10));
    EXPECT_TRUE(Err_CodeText(0x1001, buf, 11));
    ASSERT_TRUE(Err_CodeText(103, buf, sizeof buf));
    EXPECT_STREQ(buf, "not enough memory available");
    EXPECT_FALSE(Err_CodeText(0x8011, buf, sizeof buf));
}

}  // namespace
}  // namespace report_test
