// The shipped writer of every file the program keeps: replaced whole through
// a temporary file, keeping what the user set on the file, and leaving the
// old file and no temporary file behind when it cannot.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "desktop/Utf.h"
#include "store/FileIo.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

class FileIoWinTest : public ::testing::Test {
protected:
    std::string path(const std::wstring& name) const { return narrow((dir_ / name).wstring()); }
    DWORD attributes(const std::wstring& name) const {
        return GetFileAttributesW((dir_ / name).c_str());
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    test::TempFolder folder_{"fileio"};
    const fs::path dir_ = widen(folder_.path());
};

// The access rights go over too; under Wine they follow the Linux
// permissions, which the end-to-end tests set.
TEST_F(FileIoWinTest, ReplacesKeepingTheAttributesAndLeavesNoTemporaryFile) {
    writeFileAtomically(path(L"Tavelin.ini"), "alt");
    SetFileAttributesW((dir_ / L"Tavelin.ini").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    writeFileAtomically(path(L"Tavelin.ini"), "neu");
    EXPECT_EQ(readWholeFile(path(L"Tavelin.ini")), std::optional<std::string>("neu"));
    EXPECT_TRUE(attributes(L"Tavelin.ini") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoWinTest, ReadOnlyFileStaysAsItIs) {
    writeFileAtomically(path(L"Notiz1.tvn"), "{\\rtf1 alt}");
    SetFileAttributesW((dir_ / L"Notiz1.tvn").c_str(), FILE_ATTRIBUTE_READONLY);
    try {
        writeFileAtomically(path(L"Notiz1.tvn"), "{\\rtf1 neu}");
        FAIL() << "written over a read-only file";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "nach " + path(L"Notiz1.tvn") + " kann nicht geschrieben werden");
    }
    EXPECT_EQ(readWholeFile(path(L"Notiz1.tvn")), std::optional<std::string>("{\\rtf1 alt}"));
    EXPECT_TRUE(attributes(L"Notiz1.tvn") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoWinTest, FileHeldOpenByAnotherProgram) {
    writeFileAtomically(path(L"Tavelin.ini"), "alt");
    {
        // An editor that does not let the file go away under it.
        test::FileHeldOpen other(path(L"Tavelin.ini"), "r");
        ASSERT_TRUE(other.holding());
        EXPECT_THROW(writeFileAtomically(path(L"Tavelin.ini"), "neu"), FileError);
        EXPECT_EQ(readWholeFile(path(L"Tavelin.ini")), std::optional<std::string>("alt"));
        EXPECT_EQ(entries(), 1u);
        EXPECT_FALSE(deleteFile(path(L"Tavelin.ini")));
    }
    {
        // One that does.
        test::FileHeldOpen other(path(L"Tavelin.ini"), "rwd");
        ASSERT_TRUE(other.holding());
        writeFileAtomically(path(L"Tavelin.ini"), "neu");
    }
    EXPECT_EQ(readWholeFile(path(L"Tavelin.ini")), std::optional<std::string>("neu"));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoWinTest, FolderThatRefusesNewFiles) {
    EXPECT_TRUE(canCreateFilesIn(folder_.path()));
    EXPECT_EQ(entries(), 0u);
    // The system's own folder of the kernel's objects takes no files, not
    // even from an administrator.
    const std::string refusing = "Z:\\sys\\";
    EXPECT_FALSE(canCreateFilesIn(refusing));
    EXPECT_THROW(writeFileAtomically(refusing + "Tavelin.ini", "neu"), FileError);
    EXPECT_FALSE(canCreateFilesIn(path(L"fehlt") + "\\"));
}

// Run by a test entry of its own with the file size limited: a full disk, as
// far as the program can tell. Links are tested end to end (under Wine they
// are links of the Linux file system).
TEST_F(FileIoWinTest, FullDiskKeepsTheOldFile) {
    ASSERT_NE(std::getenv("TAVELIN_FULL_DISK"), nullptr) << "runs only with a size limit";
    const std::string old = "[Settings]\r\nNotizanzahl=3\r\n";
    writeFileAtomically(path(L"Tavelin.ini"), old);
    EXPECT_THROW(writeFileAtomically(path(L"Tavelin.ini"), std::string(400000, 'x')), FileError);
    EXPECT_EQ(readWholeFile(path(L"Tavelin.ini")), std::optional<std::string>(old));
    EXPECT_EQ(entries(), 1u);
}

TEST_F(FileIoWinTest, ListsFilesByTheirUnicodeNames) {
    const std::string folder = folder_.path();
    for (const wchar_t* name : {L"Notiz1.tvn", L"Gr\u00f6\u00dfe \u00e4.tvn", L"\u20ac \u4e2d.ini"})
        writeFileAtomically(path(name), "x");
    CreateDirectoryW((dir_ / L"Notiz2.tvn").c_str(), nullptr);
    auto names = filesIn(folder);
    ASSERT_TRUE(names);
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"Gr\u00f6\u00dfe \u00e4.tvn", "Notiz1.tvn",
                                                "\u20ac \u4e2d.ini"}));
    EXPECT_EQ(filesIn(path(L"fehlt") + "\\"), std::nullopt);
}

TEST_F(FileIoWinTest, AbsolutePathsAsTheSystemOpensThem) {
    const std::string folder = path(L"\u00c4rger");
    EXPECT_EQ(absolutePath(folder + "/./a/../Tavelin.ini"), folder + "\\Tavelin.ini");
    EXPECT_EQ(absolutePath(folder + "\\a\\"), folder + "\\a\\");
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    std::string expected = narrow(current);
    if (!expected.ends_with('\\')) expected += '\\';
    EXPECT_EQ(absolutePath("Gr\u00fc\u00dfe.ini"), expected + "Gr\u00fc\u00dfe.ini");
}

}  // namespace
}  // namespace tav
