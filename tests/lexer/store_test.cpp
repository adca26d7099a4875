// The operand store: identifiers keep one entry for the life of the store,
// literal entries live for one run unless marked, and the mark checks.
#include "lexfixture.h"
#include "runtime/idtable.h"

namespace lexer_test {
namespace {

TEST_F(LexerTest, IdentifiersShareOneEntryAcrossRuns) {
    Lexed a = Lex("foo + bar + foo");
    ASSERT_EQ(a.codes.size(), 5u);
    EXPECT_EQ(a.codes[0], a.codes[4]);
    Lex_EndRun(store_);
    Lexed b = Lex("bar = foo");
    EXPECT_EQ(b.codes[0], a.codes[2]);
    EXPECT_EQ(b.codes[2], a.codes[0]);
    // The entry holds the identifier with one reference; tokens hold none.
    IdEntry *foo = Lex_IdOf(store_, a.codes[0]);
    ASSERT_NE(foo, nullptr);
    EXPECT_EQ(foo->refs, 1);
    EXPECT_EQ(*static_cast<uint32_t *>(Id_Payload(foo)), a.codes[0]);
    EXPECT_EQ(store_->ops[a.codes[0] - TK_OPERAND].marks, 1);
    // Its slot is the program-level variable: undeclared until assigned.
    JSAny *slot = Lex_ConstOf(store_, a.codes[0]);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->type, JSANY_UNDECLARED);
    JSAny_SetStringCopy(slot, "kept");
    Lex_EndRun(store_);
    EXPECT_EQ(Lex_ConstOf(store_, a.codes[0]), slot);
    EXPECT_EQ(std::string(slot->str), "kept");
    // Lex_Name finds the same code.
    uint32_t err = 1;
    EXPECT_EQ(Lex_Name(store_, "foo", &err), a.codes[0]);
    EXPECT_EQ(err, 0u);
    uint32_t args = Lex_Name(store_, "arguments", &err);
    EXPECT_EQ(Lex("arguments").codes[0], args);
}

TEST_F(LexerTest, NamesInternedElsewhereGetTheirEntryOnFirstUse) {
    IdEntry *held = Id_Intern(store_->ids, "length", 6);
    ASSERT_NE(held, nullptr);
    Lexed l = Lex("length");
    EXPECT_EQ(Lex_IdOf(store_, l.codes[0]), held);
    EXPECT_EQ(held->refs, 2);  // ours and the entry's
    Id_Release(store_->ids, held);
}

TEST_F(LexerTest, EndRunFreesUnmarkedLiteralsAndReusesTheirEntries) {
    Lexed a = Lex("x = 1 + 'two'");
    ASSERT_EQ(a.codes.size(), 5u);
    uint32_t one = a.codes[2], two = a.codes[4];
    EXPECT_EQ(Literals(), 2u);
    uint32_t countBefore = store_->count;
    Lex_EndRun(store_);
    EXPECT_EQ(Literals(), 0u);
    EXPECT_EQ(Lex_ConstOf(store_, one), nullptr);
    EXPECT_EQ(Lex_ConstOf(store_, two), nullptr);
    EXPECT_LT(store_->count, countBefore);  // freed at the top: the count drops
    // The next literal takes the lowest free entry.
    Lexed b = Lex("3");
    EXPECT_EQ(b.codes[0], one);
    Lex_EndRun(store_);
}

TEST_F(LexerTest, MarkedLiteralsOutliveTheRun) {
    Lexed a = Lex("'kept' + 'dropped' + id");
    uint32_t marked[] = {a.codes[0], a.codes[4], 0};
    Lex_Mark(store_, marked);
    EXPECT_EQ(store_->ops[a.codes[0] - TK_OPERAND].marks, 1);
    EXPECT_EQ(store_->ops[a.codes[4] - TK_OPERAND].marks, 2);
    Lex_EndRun(store_);
    EXPECT_EQ(Str(a.codes[0]), "kept");
    EXPECT_EQ(Lex_ConstOf(store_, a.codes[2]), nullptr);
    // A free entry below a live one does not lower the count, and is reused.
    Lexed b = Lex("'new'");
    EXPECT_EQ(b.codes[0], a.codes[2]);
    Lex_Unmark(store_, marked);
    EXPECT_EQ(store_->ops[a.codes[4] - TK_OPERAND].marks, 1);
    Lex_EndRun(store_);
    EXPECT_EQ(Literals(), 0u);
    EXPECT_NE(Lex_IdOf(store_, a.codes[4]), nullptr);
    EXPECT_EQ(Captured(), "");
}

TEST_F(LexerTest, LiteralsOfOneTokenProgramFreedBeforeTheRunEnds) {
    Lexed outer = Lex("x = 'outer' + 1");
    uint32_t *codes, *lens, count;
    ASSERT_EQ(Lex_Run(store_, "x + 'inner' + 2 + 'kept'", 0, nullptr, &codes, &lens, &count), 0u);
    uint32_t kept[] = {codes[6], 0};
    Lex_Mark(store_, kept);
    Lex_FreeLiterals(store_, codes, count);
    EXPECT_EQ(Lex_ConstOf(store_, codes[2]), nullptr);
    EXPECT_EQ(Lex_ConstOf(store_, codes[4]), nullptr);
    EXPECT_EQ(Str(codes[6]), "kept");
    EXPECT_NE(Lex_IdOf(store_, codes[0]), nullptr);
    EXPECT_EQ(Str(outer.codes[2]), "outer");
    EXPECT_EQ(Num(outer.codes[4]), 1);
    Lex_Unmark(store_, kept);
    Arr_Free(codes);
    Arr_Free(lens);
    Lex_EndRun(store_);
    EXPECT_EQ(Literals(), 0u);
}

TEST_F(LexerTest, IllegalMarksAreReportedAndChangeNothing) {
    Lexed a = Lex("1");
    uint32_t codes[] = {a.codes[0], 0};
    Lex_Unmark(store_, codes);
    EXPECT_EQ(Captured(), "Illegal UnmarkToken\n");
    EXPECT_EQ(store_->ops[a.codes[0] - TK_OPERAND].marks, 0);
    Lex_EndRun(store_);
    Captured().clear();
    Lex_Mark(store_, codes);
    EXPECT_EQ(Captured(), "Illegal MarkToken\n");
    EXPECT_EQ(Lex_ConstOf(store_, a.codes[0]), nullptr);
    uint32_t beyond[] = {TK_OPERAND + 100000, 0};
    Captured().clear();
    Lex_Mark(store_, beyond);
    Lex_Unmark(store_, beyond);
    EXPECT_EQ(Captured(), "Illegal MarkToken\nIllegal UnmarkToken\n");
}

TEST_F(LexerTest, SharedConstantsOfTrueFalseNull) {
    const JSAny *t = Lex_ConstOf(store_, KW_TRUE);
    const JSAny *f = Lex_ConstOf(store_, KW_FALSE);
    const JSAny *n = Lex_ConstOf(store_, KW_NULL);
    ASSERT_TRUE(t && f && n);
    EXPECT_EQ(t->type, JSANY_BOOLEAN);
    EXPECT_EQ(t->flag, 1);
    EXPECT_EQ(f->type, JSANY_BOOLEAN);
    EXPECT_EQ(f->flag, 0);
    EXPECT_EQ(n->type, JSANY_NULL);
    EXPECT_EQ(Lex_ConstOf(store_, KW_THIS), nullptr);
    EXPECT_EQ(Lex_ConstOf(store_, TK_ADD), nullptr);
    EXPECT_EQ(Lex_IdOf(store_, KW_TRUE), nullptr);
}

TEST_F(LexerTest, ManyLiteralsGrowTheTable) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += std::to_string(i) + " ";
    Lexed l = Lex(text);
    ASSERT_EQ(l.codes.size(), 1000u);
    for (int i = 0; i < 1000; i += 97) EXPECT_EQ(Num(l.codes[i]), i);
    Lex_EndRun(store_);
    EXPECT_EQ(store_->count, 0u);
    EXPECT_EQ(store_->freeHint, 0u);
}

}  // namespace
}  // namespace lexer_test
