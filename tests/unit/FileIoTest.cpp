#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "FileTestSupport.h"
#include "store/FileIo.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

using FileIoTest = TempDirTest;

TEST_F(FileIoTest, ReadsBytesAsTheyAre) {
    const std::string bytes("a\0b\r\n\xFF\xFE", 7);
    put("f.bin", bytes);
    EXPECT_EQ(readWholeFile(path("f.bin")), bytes);
    EXPECT_EQ(readWholeFile(path("missing")), std::nullopt);
    EXPECT_EQ(readWholeFile(path("missing/below")), std::nullopt);
}

TEST_F(FileIoTest, DirectoryIsUnreadableNotMissing) {
    fs::create_directory(path("Tavelin.ini"));
    try {
        readWholeFile(path("Tavelin.ini"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), path("Tavelin.ini") + " kann nicht gelesen werden");
    }
}

TEST_F(FileIoTest, FileAboveTheLimitIsRefusedNamingItAndLeftAlone) {
    put("n.tvn", std::string(1000, 'x'));
    EXPECT_EQ(readWholeFile(path("n.tvn"), 1000)->size(), 1000u);
    try {
        readWholeFile(path("n.tvn"), 999);
        FAIL() << "no error";
    } catch (const FileTooLarge& e) {
        EXPECT_NE(std::string(e.what()).find("Die Datei " + path("n.tvn") + " ist gr"),
                  std::string::npos);
    }
    EXPECT_EQ(get("n.tvn"), std::string(1000, 'x'));
}

TEST_F(FileIoTest, ReplacesFileAndLeavesNoTemporaryFile) {
    put("a.ini", "old");
    writeFileAtomically(path("a.ini"), "new content");
    EXPECT_EQ(get("a.ini"), "new content");
    writeFileAtomically(path("b.ini"), "");
    EXPECT_TRUE(fileExists(path("b.ini")));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(FileIoTest, FailureHalfWayKeepsOldFile) {
    put("a.ini", "[Settings]\r\nNotizanzahl=3\r\n");
    const std::string big(200000, 'x');
    try {
        FileSizeLimit limit(4096);
        writeFileAtomically(path("a.ini"), big);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "nach " + path("a.ini") + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(get("a.ini"), "[Settings]\r\nNotizanzahl=3\r\n");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoTest, FailedRenameRemovesTemporaryFile) {
    fs::create_directory(path("a.ini"));
    EXPECT_THROW(writeFileAtomically(path("a.ini"), "text"), FileError);
    EXPECT_TRUE(fs::is_directory(path("a.ini")));
    EXPECT_EQ(entries(), 1u);
    EXPECT_THROW(writeFileAtomically(path("no/such/dir.ini"), "text"), FileError);
}

TEST_F(FileIoTest, ReplacingKeepsPermissionsAndLinks) {
    put("Tavelin.ini", "old");
    fs::permissions(path("Tavelin.ini"), fs::perms::owner_read | fs::perms::owner_write);
    writeFileAtomically(path("Tavelin.ini"), "new");
    EXPECT_EQ(get("Tavelin.ini"), "new");
    EXPECT_EQ(fs::status(path("Tavelin.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // The user keeps the file elsewhere and links to it.
    fs::create_directory(path("sync"));
    put("sync/Tavelin.ini", "old");
    fs::remove(path("Tavelin.ini"));
    fs::create_symlink(path("sync/Tavelin.ini"), path("Tavelin.ini"));
    writeFileAtomically(path("Tavelin.ini"), "linked");
    EXPECT_TRUE(fs::is_symlink(path("Tavelin.ini")));
    EXPECT_EQ(get("sync/Tavelin.ini"), "linked");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(FileIoTest, ReadOnlyFileIsNotReplaced) {
    put("Notiz1.tvn", "{\\rtf1 alt}");
    fs::permissions(path("Notiz1.tvn"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_THROW(writeFileAtomically(path("Notiz1.tvn"), "neu"), FileError);
    EXPECT_EQ(get("Notiz1.tvn"), "{\\rtf1 alt}");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoTest, RefusingDirectoryIsFoundWithoutLeavingAnything) {
    EXPECT_TRUE(canCreateFilesIn(dir_.string() + "/"));
    EXPECT_EQ(entries(), 0u);
    // Not even root may create files here.
    EXPECT_FALSE(canCreateFilesIn("/proc/"));
    EXPECT_FALSE(canCreateFilesIn(path("missing/")));
}

TEST(TemporaryFiles, NameGivesBackItsFile) {
    EXPECT_EQ(temporaryFileOwner(temporaryFileName("Tavelin.ini", 4711, 3)), "Tavelin.ini");
    EXPECT_EQ(temporaryFileOwner("Notiz3.tvn.12.1.tmp"), "Notiz3.tvn");
    for (const char* other : {"Notiz3.tvn", "x.tmp", "a.1.tmp", "a.b.1.tmp", "a..1.tmp", "a.1.1"})
        EXPECT_EQ(temporaryFileOwner(other), std::nullopt) << other;
}

TEST_F(FileIoTest, ExistsAndDeleteConcernFilesOnly) {
    put("Notiz3.tvn", "{\\rtf1}");
    fs::create_directory(path("sub"));
    EXPECT_TRUE(fileExists(path("Notiz3.tvn")));
    EXPECT_FALSE(fileExists(path("sub")));
    EXPECT_FALSE(fileExists(path("Notiz4.tvn")));

    EXPECT_TRUE(deleteFile(path("Notiz3.tvn")));
    EXPECT_FALSE(fileExists(path("Notiz3.tvn")));
    EXPECT_TRUE(deleteFile(path("Notiz3.tvn")));  // already gone
    EXPECT_FALSE(deleteFile(path("sub")));
    EXPECT_TRUE(fs::is_directory(path("sub")));
}

TEST_F(FileIoTest, ListsFilesButNotDirectories) {
    put("Notiz1.tvn", "");
    put("Größe ä.tvn", "");
    put(".versteckt", "");
    fs::create_directory(path("Notiz2.tvn"));
    fs::create_symlink(path("Notiz2.tvn"), path("zum Ordner"));
    fs::create_symlink(path("Notiz1.tvn"), path("zur Datei"));
    auto names = filesIn(dir_.string() + "/");
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names,
              (std::vector<std::string>{".versteckt", "Größe ä.tvn", "Notiz1.tvn", "zur Datei"}));
    EXPECT_EQ(filesIn(path("fehlt/")), std::nullopt);
    EXPECT_EQ(filesIn(path("Notiz1.tvn/")), std::nullopt);
}

// A copy of the notes is made under a temporary name and renamed when whole:
// the rename must never merge into or replace a copy already there.
TEST_F(FileIoTest, DirectoriesAreMadeListedRenamedOnlyOntoNothingAndRemovedWhenEmpty) {
    put("Notiz1.tvn", "");
    EXPECT_TRUE(makeDirectory(path("neu") + "/"));
    EXPECT_TRUE(makeDirectory(path("neu"))) << "already there";
    EXPECT_FALSE(makeDirectory(path("Notiz1.tvn"))) << "a file of that name";
    EXPECT_TRUE(makeDirectory(path("alt")));
    auto directories = directoriesIn(dir_.string() + "/");
    ASSERT_TRUE(directories);
    std::sort(directories->begin(), directories->end());
    EXPECT_EQ(*directories, (std::vector<std::string>{"alt", "neu"}));

    EXPECT_FALSE(renameDirectory(path("neu"), path("alt") + "/"));
    EXPECT_TRUE(renameDirectory(path("neu"), path("fertig") + "/"));
    EXPECT_TRUE(fs::is_directory(path("fertig")));
    EXPECT_FALSE(fs::exists(path("neu")));

    put("fertig/Notiz1.tvn", "");
    EXPECT_FALSE(removeEmptyDirectory(path("fertig"))) << "not empty";
    EXPECT_TRUE(deleteFile(path("fertig/Notiz1.tvn")));
    EXPECT_TRUE(removeEmptyDirectory(path("fertig") + "/"));
    EXPECT_TRUE(removeEmptyDirectory(path("fertig"))) << "already gone";
}

TEST(AbsolutePath, ResolvesDotsAgainstTheWorkingDirectory) {
    EXPECT_EQ(absolutePath("/a/./b//c/../Tavelin.ini"), "/a/b/Tavelin.ini");
    EXPECT_EQ(absolutePath("/../a/.."), "/");
    EXPECT_EQ(absolutePath("/Büro/ä/../Größe.tvn"), "/Büro/Größe.tvn");
    // A closing separator says "directory" and stays.
    EXPECT_EQ(absolutePath("/a/b/"), "/a/b/");
    EXPECT_EQ(absolutePath("/a/b/."), "/a/b/");
    EXPECT_EQ(absolutePath("/a/b/c/.."), "/a/b/");
    EXPECT_EQ(absolutePath("x.ini"), (fs::current_path() / "x.ini").string());
    EXPECT_EQ(absolutePath("./x/../y.ini"), (fs::current_path() / "y.ini").string());
}

}  // namespace
}  // namespace tav
