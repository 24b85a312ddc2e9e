// where an entry name may land: the split into folders, and the lookalikes of refused names
#include <gtest/gtest.h>

#include "core/extract_path_gate.h"

namespace corvane {
namespace {

struct NameCase {
    std::string name;
    std::string landsAt; // the components joined by "/"; empty when refused
    bool isFolder = false;
};

class EntryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(EntryNameTest, SplitsOrRefuses) {
    const NameCase& row = GetParam();
    auto path = CheckEntryName(row.name);
    if (row.landsAt.empty()) {
        ASSERT_FALSE(path.ok()) << row.name;
        EXPECT_NE(path.error().find("was refused"), std::string::npos);
        return;
    }
    ASSERT_TRUE(path.ok()) << path.error();
    EXPECT_EQ(JoinEntryPath(path->components), row.landsAt);
    EXPECT_EQ(path->isFolder, row.isFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EntryNameTest,
    ::testing::Values(NameCase{"Billing.vbp", "Billing.vbp"},
                      NameCase{"FileNotInRootPath\\--\\Shared\\m.bas", "FileNotInRootPath/--/Shared/m.bas"},
                      NameCase{"Forms/", "Forms", true}, NameCase{"a\\b\\", "a/b", true},
                      NameCase{"..a/b..", "..a/b.."}, NameCase{"...", "..."},
                      NameCase{"console.txt", "console.txt"}, NameCase{"COM0", "COM0"},
                      NameCase{"lpt10.txt", "lpt10.txt"}, NameCase{"Nul.frm", ""}, NameCase{"con .txt", ""},
                      NameCase{"Com9", ""}, NameCase{std::string(255, 'n'), std::string(255, 'n')},
                      NameCase{"a/./b", ""}, NameCase{"a//b", ""}, NameCase{"a\\\\b", ""},
                      NameCase{"a/..", ""}, NameCase{".", ""}, NameCase{"", ""}, NameCase{"/", ""},
                      NameCase{"a\x7f", ""}, NameCase{std::string("a\0b", 3), ""}, NameCase{"x:", ""}));

// Entries that would land on one file, in either order.
struct ClashCase {
    std::vector<std::string> names;
    int refusedAt; // index of the first refused name, -1 when all fit
};

class EntryNamePlanTest : public ::testing::TestWithParam<ClashCase> {};

TEST_P(EntryNamePlanTest, RefusesTheFirstClash) {
    EntryNamePlan plan;
    int refusedAt = -1;
    for (std::size_t i = 0; i < GetParam().names.size() && refusedAt < 0; ++i) {
        const std::string& name = GetParam().names[i];
        auto path = CheckEntryName(name);
        ASSERT_TRUE(path.ok()) << path.error();
        if (Status added = plan.Add(name, *path); !added) {
            refusedAt = static_cast<int>(i);
            EXPECT_NE(added.error().find(name), std::string::npos);
        }
    }
    EXPECT_EQ(refusedAt, GetParam().refusedAt);
}

INSTANTIATE_TEST_SUITE_P(Sets, EntryNamePlanTest,
                         ::testing::Values(ClashCase{{"a/b", "a/c", "a/", "A/d"}, -1},
                                           ClashCase{{"Forms/", "Forms\\a.frm"}, -1},
                                           ClashCase{{"a.txt", "b.txt", "A.TXT"}, 2},
                                           ClashCase{{"a", "a/b"}, 1}, ClashCase{{"a/b/c", "A/B"}, 1},
                                           ClashCase{{"a/", "a"}, 1}, ClashCase{{"a/", "a/"}, 1},
                                           ClashCase{{"a\\b", "a/b"}, 1}));

TEST(DisplayEntryNameTest, ShowsControlCharactersAndShortensLongNames) {
    EXPECT_EQ(DisplayEntryName("a\x1b[2J"), "a\\x1b[2J");
    std::string longName = std::string(119, 'x') + "\xc3\xa9" + "tail";
    EXPECT_EQ(DisplayEntryName(longName), std::string(119, 'x') + "...");
}

} // namespace
} // namespace corvane
