#include "checkbook/Checkbooks.h"

#include "platform/QtFiles.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct NameCase {
    const char *name;
    bool ok;
};

class CheckbookNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(CheckbookNameTest, nameIsTakenOnlyWhenItCanNameAFolderSafely) {
    EXPECT_EQ(CheckbookNameProblem(S(GetParam().name)).isEmpty(), GetParam().ok) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, CheckbookNameTest,
    ::testing::Values(NameCase{"Operating", true}, NameCase{"Payroll 2024 (Main St.)", true},
                      NameCase{"Épargne ménage", true}, NameCase{"1234567890123456789012345678901234567890", true},
                      NameCase{"12345678901234567890123456789012345678901", false}, NameCase{"", false},
                      NameCase{"   ", false}, NameCase{"../x", false}, NameCase{"/", false}, NameCase{"..", false},
                      NameCase{".", false}, NameCase{".hidden", false}, NameCase{"a\\b", false}, NameCase{"C:", false},
                      NameCase{"a*b", false}, NameCase{"say \"hi\"", false}, NameCase{"tab\there", false},
                      NameCase{" lead", false}, NameCase{"trail ", false}));

class CheckbooksTest : public ::testing::Test {
protected:
    TempFolder folder;
    QtFiles files{folder.path()};
    Checkbooks books{files};
};

TEST_F(CheckbooksTest, clashingNamesAreRefused_andRemovalKeepsTheFirstTheOpenAndOnesWithPendingChecks) {
    ASSERT_TRUE(books.Add(S("Operating")));
    const struct {
        const char *name;
        const char *problem; // part of the refusal
    } refused[] = {{"operating", "There is a checkbook \"Operating\""},
                   {"CHECKBOOK", "There is a checkbook \"Checkbook\""},
                   {"../x", "may not hold"}};
    for (const auto &clash : refused) {
        const FileResult added = books.Add(S(clash.name));
        EXPECT_TRUE(!added && added.error.contains(S(clash.problem))) << clash.name << added.error.toStdString();
    }
    ASSERT_TRUE(books.Add(S("Payroll")));
    ASSERT_TRUE(books.Rename(1, S("Operating Account")));
    EXPECT_EQ(folder.entries(S("Checkbooks")), (QStringList{S("Operating Account"), S("Payroll")}));

    EXPECT_FALSE(books.Remove(0)) << "the first checkbook lives in the program's folder";
    EXPECT_FALSE(books.Remove(2)) << "the open checkbook";
    ASSERT_TRUE(folder.write(S("Checkbooks/Operating Account/Backup/TempRegister.txt"), QByteArray(115, 'x')));
    EXPECT_FALSE(books.Remove(1)) << "a checkbook with a pending check, if only in its Backup folder";
    ASSERT_TRUE(QFile::remove(folder.file(S("Checkbooks/Operating Account/Backup/TempRegister.txt"))));
    ASSERT_TRUE(books.Remove(1));
    EXPECT_EQ(folder.entries(S("Checkbooks")), QStringList{S("Payroll")});
    Checkbooks again(files);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.List().names, (QStringList{kFirstCheckbookName, S("Payroll")}));
    EXPECT_EQ(again.OpenName(), S("Payroll"));
}

TEST_F(CheckbooksTest, foldersLeftByAnInterruptedAddRenameOrRemoveAreTakenInOrCleared) {
    ASSERT_TRUE(books.Add(S("Operating")));
    ASSERT_TRUE(QDir().mkdir(folder.file(S("Checkbooks/Payroll")))); // add cut short
    ASSERT_TRUE(QDir().rename(folder.file(S("Checkbooks/Operating")), folder.file(S("Checkbooks/Main")))); // rename
    ASSERT_TRUE(QDir().mkpath(folder.file(S("Checkbooks/.Old.removing/Backup"))));                         // remove
    ASSERT_TRUE(books.Refresh());
    EXPECT_EQ(books.List().names, (QStringList{kFirstCheckbookName, S("Main"), S("Payroll")}));
    EXPECT_EQ(books.OpenName(), kFirstCheckbookName) << "the open checkbook's folder is gone: the first opens";
    EXPECT_EQ(folder.entries(S("Checkbooks")), (QStringList{S("Main"), S("Payroll")}));
}

TEST_F(CheckbooksTest, linkPlantedAsACheckbookFolderIsNeverOpened) {
    ASSERT_TRUE(books.Add(S("Operating")));
    TempFolder elsewhere;
    const QString planted = folder.file(S("Checkbooks/Operating"));
    ASSERT_TRUE(QDir().rmdir(planted));
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(planted).constData()), 0);
    ASSERT_TRUE(books.Load());
    EXPECT_EQ(books.List().open, 0) << "the list names a link: the first checkbook opens";
    const FileResult open = books.Open(1);
    EXPECT_FALSE(open);
    EXPECT_TRUE(open.error.contains(S("a link"))) << open.error.toStdString();
    ASSERT_TRUE(books.Refresh());
    EXPECT_EQ(books.List().names, QStringList{kFirstCheckbookName}) << "a link is no checkbook";
    EXPECT_TRUE(elsewhere.entries().isEmpty());
}

} // namespace
