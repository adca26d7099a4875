// Debug.write and Debug.writeln: their exact output on the diagnostic
// output, and the "no value" they give.
#include "core_fixture.h"

namespace core_test {
namespace {

class DebugTest : public CoreTest {
protected:
    // Runs the text and gives what it wrote.
    std::string Written(const char *text) {
        ClearDebug();
        EXPECT_EQ(Run(text), JSRESULT_OK) << Debug();
        return Debug();
    }
};

TEST_F(DebugTest, StringsAsTheyAreOtherValuesPrinted) {
    EXPECT_EQ(Written("Debug.write('a', 1, null, 'b', true, undefined, 0.5);"), "a1nullbtrueundefined0.5");
    EXPECT_EQ(Written("Debug.write({});"), "[object Object]");
    EXPECT_EQ(Written("Debug.write({toString: function () { return 'T'; }}, 'x');"), "Tx");
    // A string is written with "%s": format characters in it are plain text.
    EXPECT_EQ(Written("Debug.write('%s %d %%');"), "%s %d %%");
    EXPECT_EQ(Written("Debug.write();"), "");
}

TEST_F(DebugTest, WritelnEndsTheLine) {
    EXPECT_EQ(Written("Debug.writeln('x', 'y');"), "xy\n");
    EXPECT_EQ(Written("Debug.writeln();"), "\n");
    EXPECT_EQ(Written("Debug.writeln(5);"), "5\n");
    EXPECT_EQ(Written("Debug.writeln('a', 5);"), "a5\n");
    EXPECT_EQ(Written("Debug.writeln(5, 'a');"), "5a\n");
    EXPECT_EQ(Written("Debug.writeln(Math.abs);"), "\nfunction abs() {\n\t[native code]\n}\n\n");
}

TEST_F(DebugTest, ValuesThatCannotBePrinted) {
    // No usable toString or valueOf: the printed form is "<error>", and the
    // write goes on with the next argument.
    const char *text =
        "var o = {toString: function () { return {}; }, valueOf: function () { return {}; }};"
        "Debug.writeln(o, 'next');";
    EXPECT_EQ(Written(text), "<error>next\n");
}

TEST_F(DebugTest, GivesNoValue) {
    ASSERT_EQ(Run("Debug.write('x');"), JSRESULT_OK);
    JSTagItem list[2] = {{JSTAG_COUNT, 99}, {JSTAG_END, 0}};
    EXPECT_EQ(GetJSResult(space_, list), JSRESULT_OK);
    EXPECT_EQ(list[0].ti_Data, 0u);
    EXPECT_EQ(Eval("var r = Debug.writeln(); typeof r"), "undefined");
}

}  // namespace
}  // namespace core_test
