#include <filesystem>

#include "FileTestSupport.h"
#include "store/Backup.h"
#include "store/FileIo.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

DateTime at(int year, int month, int day, int hour = 12) {
    return {{year, month, day}, {hour, 0, 0}};
}

TEST(BackupRotation, KeepsTenNewestThenOnePerWeekForEightWeeks) {
    const DateTime now = at(2026, 12, 31);
    struct Row {
        const char* name;
        bool kept;
    };
    // Twelve copies of today, then older ones: the weeks are counted back
    // from now, and the newest copy of each week stays.
    const Row table[] = {
        {"2026-12-31_110000", true},  {"2026-12-31_100000", true}, {"2026-12-31_090000", true},
        {"2026-12-31_080000", true},  {"2026-12-31_070000", true}, {"2026-12-31_060000", true},
        {"2026-12-31_050000", true},  {"2026-12-31_040000", true}, {"2026-12-31_030000", true},
        {"2026-12-31_020000", true},   // the tenth newest
        {"2026-12-31_010000", true},   // week 0's newest beyond the ten
        {"2026-12-30_010000", false},  // week 0 again
        {"2026-12-20_120000", true},   // week 1
        {"2026-12-19_120000", false},  // week 1 again
        {"2026-11-07_120000", true},   // week 7, the last one kept
        {"2026-11-05_120000", false},  // week 8: too old
        {"2025-01-01_000000", false},
    };
    std::vector<std::string> names;
    for (const Row& row : table) names.push_back(row.name);
    names.push_back("Notizen vom Urlaub");  // not a copy: never touched
    std::vector<std::string> expected;
    for (const Row& row : table)
        if (!row.kept) expected.push_back(row.name);
    EXPECT_EQ(backupsToDrop(names, now), expected);
}

TEST(BackupRotation, NamesRoundTripAndOthersAreNoCopies) {
    EXPECT_EQ(backupName(at(2026, 3, 4, 5)), "2026-03-04_050000");
    EXPECT_EQ(backupMoment("2026-03-04_050000"), at(2026, 3, 4, 5));
    for (const char* name : {"2026-02-30_000000", "2026-03-04_250000", "2026-03-04-050000",
                             "2026-03-04_05000", "2026-03-04_050000.unfertig"})
        EXPECT_EQ(backupMoment(name), std::nullopt) << name;
}

using BackupTest = TempDirTest;

TEST_F(BackupTest, CopiesOnlyWhenSomethingChangedAndRestoresExactly) {
    const std::string dir = path("");
    put("Tavelin.ini", "[Notiz1]\r\nactive=1\r\nNotizTitel=\"Einkauf  \"\r\n");
    put("Notiz1.tvn", "alt");
    put("other.txt", "not ours");
    const FileSet before = readProgramFiles(dir);
    ASSERT_EQ(before.size(), 2u);

    const auto first = writeBackup(dir, before, at(2026, 1, 1));
    ASSERT_TRUE(first);
    EXPECT_EQ(writeBackup(dir, readProgramFiles(dir), at(2026, 1, 2)), std::nullopt);
    const BackupSummary summary = describeBackup(dir, *first);
    EXPECT_EQ(summary.notes, 1);
    EXPECT_EQ(summary.titles, std::vector<std::string>{"Einkauf"});

    put("Notiz1.tvn", "neu");
    put("Notiz2.tvn", "zweite");
    put("uns.ini", "[x]\r\n");
    put("Notiz1 (Konflikt 2026-01-02).tvn", "andere");
    const auto second = writeBackup(dir, readProgramFiles(dir), at(2026, 1, 2));
    ASSERT_TRUE(second);
    EXPECT_EQ(listBackups(dir), (std::vector<std::string>{*second, *first}));

    restoreProgramFiles(dir, readBackup(dir, *first));
    EXPECT_EQ(get("Notiz1.tvn"), "alt");
    EXPECT_FALSE(fileExists(path("Notiz2.tvn")));
    EXPECT_FALSE(fileExists(path("uns.ini")));
    EXPECT_EQ(get("Notiz1 (Konflikt 2026-01-02).tvn"), "andere");
    EXPECT_EQ(get("other.txt"), "not ours");
}

TEST_F(BackupTest, FailedCopyLeavesNoFolderWithAProperName) {
    const std::string dir = path("");
    put("Notiz1.tvn", std::string(4096, 'x'));
    fs::create_directory(path("Sicherung"));
    {
        FileSizeLimit limit(1024);
        EXPECT_THROW(writeBackup(dir, readProgramFiles(dir), at(2026, 1, 1)), FileError);
    }
    EXPECT_TRUE(listBackups(dir).empty());
    EXPECT_TRUE(fs::is_empty(path("Sicherung")));
}

TEST_F(BackupTest, InterruptedCopyIsClearedByTheNextOne) {
    const std::string dir = path("");
    put("Notiz1.tvn", "a");
    fs::create_directories(path("Sicherung/2026-01-01_000000.unfertig"));
    const auto name = writeBackup(dir, readProgramFiles(dir), at(2026, 1, 2));
    ASSERT_TRUE(name);
    EXPECT_FALSE(fs::exists(path("Sicherung/2026-01-01_000000.unfertig")));
    EXPECT_EQ(listBackups(dir), std::vector<std::string>{*name});
}

}  // namespace
}  // namespace tav
