// The identifier table: interning, reference counts, growth past three
// quarters, probing collisions and removal that keeps later names findable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debuglog.h"
#include "runtime/idtable.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace quillon {
namespace {

std::string gAlerts;
void Capture(const char *text, void *) { gAlerts += text; }

class IdTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = MemUse;
        gAlerts.clear();
        Plat_SetDebugWriter(Capture, nullptr);
        t_ = Id_Create(8, nullptr, nullptr);
        ASSERT_NE(t_, nullptr);
    }
    void TearDown() override {
        Id_Empty(t_);
        Id_Destroy(t_);
        Plat_SetDebugWriter(nullptr, nullptr);
        EXPECT_EQ(MemUse, before_);
    }
    IdEntry *Intern(const std::string &s) { return Id_Intern(t_, s.data(), s.size()); }
    IdTable *t_ = nullptr;
    int32_t before_ = 0;
};

TEST_F(IdTableTest, SameNameSameEntryWithCounts) {
    IdEntry *a = Intern("alpha");
    IdEntry *b = Intern("alpha");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->refs, 2);
    EXPECT_STREQ(Id_Name(a), "alpha");
    EXPECT_NE(Intern("alphb"), a);
    EXPECT_EQ(Str_Hash("", 0), 5381u);
}

TEST_F(IdTableTest, GrowsPastThreeQuartersAndKeepsEveryName) {
    std::vector<IdEntry *> entries;
    for (int i = 0; i < 6145; ++i) entries.push_back(Intern("n" + std::to_string(i)));
    EXPECT_EQ(t_->bucketCount, 16384u);
    for (int i = 0; i < 6145; ++i) EXPECT_EQ(Id_Find(t_, ("n" + std::to_string(i)).c_str(), ("n" + std::to_string(i)).size()), entries[i]);
}

TEST_F(IdTableTest, RemovalKeepsNamesPlacedPastIt) {
    // Find two names with the same home slot.
    std::string first = "k0", second;
    uint32_t home = Str_Hash(first.data(), first.size()) & (t_->bucketCount - 1);
    for (int i = 1; second.empty(); ++i) {
        std::string s = "k" + std::to_string(i);
        if ((Str_Hash(s.data(), s.size()) & (t_->bucketCount - 1)) == home) second = s;
    }
    IdEntry *a = Intern(first);
    IdEntry *b = Intern(second);
    EXPECT_NE(a, b);
    Id_Release(t_, a);  // the first goes; the second sits in the next slot
    EXPECT_EQ(Id_Find(t_, second.data(), second.size()), b);
    EXPECT_EQ(Intern(second), b) << "a second entry for the same name";
}

TEST_F(IdTableTest, OverdisposeAndLeftoversAreAlerted) {
    IdEntry *a = Intern("x");
    Id_Release(t_, a);
    IdEntry *b = Intern("y");
    b->refs = 0;
    Id_Empty(t_);
    EXPECT_NE(gAlerts.find("Ident overdispose"), std::string::npos);
    Intern("left");
    Id_Destroy(t_);
    t_ = Id_Create(8, nullptr, nullptr);
    EXPECT_NE(gAlerts.find("1 idents left in IdTable"), std::string::npos);
}

}  // namespace
}  // namespace quillon
