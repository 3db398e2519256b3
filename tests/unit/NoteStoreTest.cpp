#include <filesystem>

#include "FileTestSupport.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"
#include "store/Utf8Path.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

class NoteStoreTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        setProgramDir(dir_.string() + "/");
    }
};

TEST(NoteNames, NameAndNumberGoBothWays) {
    EXPECT_EQ(noteName(12), "Notiz12");
    EXPECT_EQ(noteNumber("Notiz12"), 12);
    EXPECT_EQ(noteNumber("Notiz2"), 2);
    EXPECT_EQ(noteNumber("Notiz"), 0);
    EXPECT_EQ(noteNumber("Form2"), 0);
    EXPECT_EQ(noteNumber("Notiz99999999999999999999"), 0);
}

TEST_F(NoteStoreTest, MigratesOnlyWhenTheProgramDirectoryHasNoSettings) {
    fs::create_directory(path("windows"));
    const std::string oldIni = path("windows/Tavelin.ini");
    EXPECT_EQ(settingsPath(), path("Tavelin.ini"));
    EXPECT_FALSE(needsMigration(oldIni, settingsPath()));
    put("windows/Tavelin.ini", "[Settings]\r\n");
    EXPECT_TRUE(needsMigration(oldIni, settingsPath()));
    put("Tavelin.ini", "[Settings]\r\n");
    EXPECT_FALSE(needsMigration(oldIni, settingsPath()));
}

TEST(SlotTable, GivesTheLowestFreeNumber) {
    SlotTable slots;
    slots.markUsed(1);
    slots.markUsed(2);
    slots.markUsed(4);
    EXPECT_EQ(slots.firstFreeRunLength(), 2);
    EXPECT_EQ(slots.takeLowestFree(), 3);
    EXPECT_TRUE(slots.isUsed(3));
    EXPECT_EQ(slots.takeLowestFree(), 5);

    for (int n = 6; n <= 12; ++n) slots.markUsed(n);
    slots.markFree(noteNumber("Notiz12"));
    EXPECT_TRUE(slots.isUsed(2));
    EXPECT_EQ(slots.takeLowestFree(), 12);
}

TEST(SlotTable, NumbersOfActiveRecordsAreNotGivenOut) {
    SlotTable slots;
    slots.markUsed(1);
    const auto activeRecord = [](int number) { return number == 2 || number == 3; };
    EXPECT_EQ(slots.lowestFree(activeRecord), 4);
    EXPECT_FALSE(slots.isUsed(4));
    EXPECT_EQ(slots.takeLowestFree(activeRecord), 4);
    EXPECT_TRUE(slots.isUsed(4));
    EXPECT_FALSE(slots.isUsed(2));
    EXPECT_EQ(slots.takeLowestFree([](int) { return true; }), 0);
}

TEST(SlotTable, FullTableGivesNoNumber) {
    SlotTable slots;
    for (int n = 1; n <= kMaxNotes; ++n) EXPECT_EQ(slots.takeLowestFree(), n);
    EXPECT_EQ(slots.firstFreeRunLength(), kMaxNotes);
    EXPECT_EQ(slots.takeLowestFree(), 0);

    // Numbers the table does not hold change nothing and are never in use.
    slots.markFree(0);
    slots.markFree(51);
    slots.markUsed(-1);
    EXPECT_FALSE(slots.isUsed(51));
    EXPECT_EQ(slots.takeLowestFree(), 0);
}

TEST_F(NoteStoreTest, MissingFileGivesEveryDefault) {
    IniFile ini(settingsPath());
    EXPECT_EQ(SettingsKeys::notizanzahl(ini), 0);
    EXPECT_FALSE(SettingsKeys::firstrun(ini));
    EXPECT_TRUE(SettingsKeys::startscreen(ini));
    EXPECT_TRUE(SettingsKeys::showmenu(ini));
    EXPECT_FALSE(SettingsKeys::wordwrap(ini));
    EXPECT_EQ(SettingsKeys::standardFontName(ini), "Courier new");
    EXPECT_EQ(SettingsKeys::standardFontName(ini, kDialogFontName), "Arial");
    EXPECT_EQ(SettingsKeys::standardFontSize(ini), 10);
    EXPECT_EQ(SettingsKeys::hotkeyNeu(ini), "K");
    EXPECT_EQ(SettingsKeys::hotkeyVordergrund(ini), "X");

    EXPECT_FALSE(NoteRecord::active(ini, "Notiz1"));
    EXPECT_EQ(NoteRecord::title(ini, "Notiz1"), "Tavelin2000 Notiz");
    EXPECT_TRUE(NoteRecord::buttonBarsShown(ini, "Notiz1"));
    EXPECT_FALSE(NoteRecord::wordWrap(ini, "Notiz1"));
    EXPECT_FALSE(NoteRecord::rolledUp(ini, "Notiz1"));
    EXPECT_EQ(NoteRecord::restoreHeight(ini, "Notiz1"), 240);
    EXPECT_TRUE(NoteRecord::titleLineShown(ini, "Notiz1"));
    EXPECT_FALSE(NoteRecord::clockShown(ini, "Notiz1"));
    EXPECT_EQ(NoteRecord::alarmDate(ini, "Notiz1", "01.02.2024"), "01.02.2024");
    EXPECT_EQ(NoteRecord::colour(ini, "Notiz1", 123), 123);
    const ClockAlarm alarm{true, {7, 30, 5}};
    EXPECT_EQ(NoteRecord::alarm(ini, "Notiz1", alarm), alarm);
    ini.close();
    EXPECT_FALSE(fs::exists(path("Tavelin.ini")));
}

TEST_F(NoteStoreTest, ReadsWhatOtherWritersLeft) {
    put("Tavelin.ini",
        "[Settings]\r\nStandardfontsize=0x0C\r\nshowmenu=0\r\n"
        "[Notiz7]\r\nminimiert=ja\r\nWordwrap=1\r\nrestoresize=abc\r\n");
    IniFile ini(settingsPath());
    EXPECT_EQ(SettingsKeys::standardFontSize(ini), 12);
    EXPECT_FALSE(SettingsKeys::showmenu(ini));
    EXPECT_FALSE(NoteRecord::rolledUp(ini, "Notiz7"));
    EXPECT_TRUE(NoteRecord::wordWrap(ini, "Notiz7"));
    EXPECT_EQ(NoteRecord::restoreHeight(ini, "Notiz7"), 240);
}

TEST_F(NoteStoreTest, ValuesThatCannotBeUsedKeepTheDefault) {
    put("Tavelin.ini",
        "[Settings]\r\nStandardfontname=\r\nStandardfontsize=0\r\nHotkey_neu=F1\r\n"
        "Hotkey_Vordergrund=\r\n"
        "[Notiz1]\r\nrestoresize=-5\r\n[Notiz2]\r\nrestoresize=5000\r\n");
    IniFile ini(settingsPath());
    EXPECT_EQ(SettingsKeys::standardFontName(ini), "Courier new");
    EXPECT_EQ(SettingsKeys::standardFontSize(ini), 6) << "the settings dialog's nearer bound";
    EXPECT_EQ(SettingsKeys::hotkeyNeu(ini), "") << "no key: no hot key, not the default";
    EXPECT_EQ(SettingsKeys::unusableHotkeyNeu(ini), "F1");
    EXPECT_EQ(SettingsKeys::hotkeyVordergrund(ini), "") << "empty: the user wants none";
    EXPECT_EQ(SettingsKeys::unusableHotkeyVordergrund(ini), std::nullopt);
    EXPECT_EQ(NoteRecord::restoreHeight(ini, "Notiz1"), 240);
    EXPECT_EQ(NoteRecord::restoreHeight(ini, "Notiz2"), 240);
    ini.writeInteger("Settings", "Standardfontsize", 500);
    ini.writeString("Settings", "Hotkey_neu", "n");
    EXPECT_EQ(SettingsKeys::standardFontSize(ini), 200);
    EXPECT_EQ(SettingsKeys::hotkeyNeu(ini), "n");
}

TEST_F(NoteStoreTest, OnlyARecordMarkedInactiveIsGivenUp) {
    put("Tavelin.ini",
        "[Notiz1]\r\nactive=1\r\n[Notiz2]\r\nactive=0\r\n[Notiz3]\r\nactive=ja\r\n"
        "[Notiz4]\r\nactive=\r\n[Notiz5]\r\nNotizTitel=x\r\n[Notiz6]\r\nactive=$0\r\n");
    IniFile ini(settingsPath());
    const bool expected[] = {true, false, true, true, false, false, false};
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(NoteRecord::restoredAtStart(ini, noteName(n)), expected[n - 1]) << n;
    EXPECT_FALSE(NoteRecord::active(ini, "Notiz3"));
}

TEST_F(NoteStoreTest, LeftoverTemporaryFilesOfOwnFilesGo) {
    const std::string ours[] = {"Tavelin.ini.77.1.tmp", "uns.ini.77.2.tmp", "Notiz12.tvn.9.3.tmp",
                                "TAVELIN.INI.1.1.tmp"};
    const std::string others[] = {"Tavelin.ini",         "Notiz12.tvn",    "Notiz.tvn.9.3.tmp",
                                  "Bericht.doc.9.3.tmp", "Notiz1.tvn.tmp", "Notizx.tvn.1.1.tmp"};
    for (const auto& name : ours) put(name, "halb");
    for (const auto& name : others) put(name, "bleibt");
    fs::create_directory(path("Notiz2.tvn.1.1.tmp"));
    removeLeftoverTemporaryFiles();
    for (const auto& name : ours) EXPECT_FALSE(fs::exists(path(name))) << name;
    for (const auto& name : others) EXPECT_TRUE(fs::exists(path(name))) << name;
    EXPECT_TRUE(fs::is_directory(path("Notiz2.tvn.1.1.tmp")));
}

TEST_F(NoteStoreTest, WritersKeepTheirSpelling) {
    {
        IniFile ini(settingsPath());
        SettingsKeys::setShowmenu(ini, false);
        NoteRecord::setWordWrapOnClose(ini, "Notiz1", true);
        NoteRecord::setActive(ini, "Notiz1", true);
        ini.close();
    }
    const std::string text = get("Tavelin.ini");
    EXPECT_NE(text.find("showmenu=0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Wordwrap=1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("active=1\r\n"), std::string::npos) << text;
    IniFile ini(settingsPath());
    EXPECT_FALSE(SettingsKeys::showmenu(ini));
    EXPECT_TRUE(NoteRecord::wordWrap(ini, "Notiz1"));
}

TEST_F(NoteStoreTest, TitleMarginDoesNotGrowAcrossRestarts) {
    std::string line = titleLineText("Einkauf");
    EXPECT_EQ(line, "Einkauf  ");
    {
        IniFile ini(settingsPath());
        NoteRecord::setTitle(ini, "Notiz1", line);
        ini.close();
    }
    EXPECT_NE(get("Tavelin.ini").find("NotizTitel=\"Einkauf  \"\r\n"), std::string::npos);

    for (int restart = 0; restart < 3; ++restart) {
        IniFile ini(settingsPath());
        line = titleLineText(NoteRecord::title(ini, "Notiz1"));
        NoteRecord::setTitle(ini, "Notiz1", titleLineText(line));
        ini.close();
    }
    EXPECT_EQ(line, "Einkauf  ");
    EXPECT_EQ(titleLineText("  "), "  ");
    EXPECT_EQ(stripTrailingBlanks(" a b  "), " a b");
}

TEST_F(NoteStoreTest, ANoteTakingADeletedNotesNumberStartsClean) {
    const std::string leftover =
        "[Notiz3]\r\nactive=0\r\nNotizTitel=\"Alt  \"\r\nminimiert=1\r\nrestoresize=300\r\n"
        "showclock=1\r\ntitelleiste=0\r\nButtonbar=0\r\nWordwrap=1\r\nAlarmdatum=01.02.2024\r\n"
        "NormPos=1,2,285,272\r\nRxClock1_AlarmEnabled=True\r\nRxClock1_AlarmHour=9\r\n"
        "RxClock1_AlarmMinute=30\r\nRxClock1_AlarmSecond=5\r\nmemo1_Color=65535\r\n"
        "[Notiz4]\r\nactive=1\r\nminimiert=1\r\n";
    put("Tavelin.ini", leftover);
    {
        IniFile ini(settingsPath());
        NoteRecord::startFresh(ini, "Notiz3");
        NoteRecord::startFresh(ini, "Notiz4");  // a note in use keeps everything
        NoteRecord::startFresh(ini, "Notiz5");  // no section, nothing to do
        ini.close();
    }
    EXPECT_EQ(get("Tavelin.ini"),
              "[Notiz3]\r\nactive=0\r\nNormPos=1,2,285,272\r\nmemo1_Color=65535\r\n"
              "[Notiz4]\r\nactive=1\r\nminimiert=1\r\n");
}

TEST_F(NoteStoreTest, AlarmIsWrittenAsTheEditorAndTheCloseAlwaysWroteIt) {
    {
        IniFile ini(settingsPath());
        NoteRecord::writeAlarm(ini, "Notiz1", {true, {7, 5, 0}});
        NoteRecord::writeAlarm(ini, "Notiz2", {false, {23, 59, 59}});
        NoteRecord::writeAlarmOnClose(ini, "Notiz3", {false, {1, 2, 3}});
        ini.close();
    }
    EXPECT_EQ(get("Tavelin.ini"),
              "[Notiz1]\r\nRxClock1_AlarmEnabled=true\r\nRxClock1_AlarmHour=7\r\n"
              "RxClock1_AlarmMinute=5\r\nRxClock1_AlarmSecond=0\r\n\r\n"
              "[Notiz2]\r\nRxClock1_AlarmEnabled=false\r\nRxClock1_AlarmHour=23\r\n"
              "RxClock1_AlarmMinute=59\r\nRxClock1_AlarmSecond=59\r\n\r\n"
              "[Notiz3]\r\nRxClock1_AlarmEnabled=False\r\nRxClock1_AlarmHour=1\r\n"
              "RxClock1_AlarmMinute=2\r\nRxClock1_AlarmSecond=3\r\n");
}

// A value in a form or range the note cannot take keeps what the note has:
// a colour nobody can read must not turn the note black.
TEST_F(NoteStoreTest, AlarmAndColourReadBackLeniently) {
    put("Tavelin.ini",
        "[Notiz1]\r\nRxClock1_AlarmEnabled=true\r\nRxClock1_AlarmHour=acht\r\n"
        "RxClock1_AlarmMinute=\" 45 \"\r\nRxClock1_AlarmSecond=60\r\nmemo1_Color=gelb\r\n"
        "[Notiz2]\r\nRxClock1_AlarmEnabled=vielleicht\r\nRxClock1_AlarmHour=0x0A\r\n"
        "RxClock1_AlarmMinute=-1\r\nmemo1_Color=$000000FF\r\n"
        "[Notiz3]\r\nRxClock1_AlarmEnabled=FALSE\r\nRxClock1_AlarmHour=24\r\n"
        "memo1_Color=16777216\r\n");
    IniFile ini(settingsPath());
    const ClockAlarm current{false, {7, 30, 5}};
    EXPECT_EQ(NoteRecord::alarm(ini, "Notiz1", current), (ClockAlarm{true, {7, 45, 5}}));
    EXPECT_EQ(NoteRecord::colour(ini, "Notiz1", kYellow), kYellow);
    EXPECT_EQ(NoteRecord::alarm(ini, "Notiz2", {true, {7, 30, 5}}),
              (ClockAlarm{true, {10, 30, 5}}));
    EXPECT_EQ(NoteRecord::colour(ini, "Notiz2", kYellow), 255);
    EXPECT_EQ(NoteRecord::alarm(ini, "Notiz3", {true, {7, 30, 5}}),
              (ClockAlarm{false, {7, 30, 5}}));
    EXPECT_EQ(NoteRecord::colour(ini, "Notiz3", kYellow), kYellow);
}

TEST_F(NoteStoreTest, DeleteTakesOnlyTheNamedFile) {
    put("Notiz1.tvn", "a");
    put("Notiz12.tvn", "b");
    put("notiz1.tvn.bak", "c");
    EXPECT_TRUE(deleteFiles(noteTextPath("Notiz1")));
    EXPECT_FALSE(fs::exists(path("Notiz1.tvn")));
    EXPECT_TRUE(fs::exists(path("Notiz12.tvn")));
    EXPECT_TRUE(fs::exists(path("notiz1.tvn.bak")));
    // Nothing left to delete is no success.
    EXPECT_FALSE(deleteFiles(noteTextPath("Notiz1")));
    EXPECT_FALSE(deleteFiles(path("missing-dir/Notiz1.tvn")));
}

TEST_F(NoteStoreTest, WildcardsSkipHiddenNamesAndDirectories) {
    put("Notiz1.tvn", "");
    put("Notiz2.TVN", "");
    put("Notiz10.tvn", "");
    put(".Notiz3.tvn", "");
    fs::create_directory(path("Notiz4.tvn"));
    put("Tavelin.ini", "");

    EXPECT_TRUE(deleteFiles(path("Notiz?.tvn")));
    EXPECT_FALSE(fs::exists(path("Notiz1.tvn")));
    EXPECT_FALSE(fs::exists(path("Notiz2.TVN")));
    EXPECT_TRUE(fs::exists(path("Notiz10.tvn")));

    EXPECT_TRUE(deleteFiles(path("*")));
    EXPECT_TRUE(fs::exists(path(".Notiz3.tvn")));
    EXPECT_TRUE(fs::is_directory(path("Notiz4.tvn")));
    EXPECT_FALSE(fs::exists(path("Tavelin.ini")));
}

TEST_F(NoteStoreTest, DeleteHandlesUmlautsInPathAndPattern) {
    const std::string dir = path("Büro");
    fs::create_directory(fsPath(dir));
    put("Büro/Notiz1.tvn", "");
    put("Büro/Größe.tvn", "");
    EXPECT_EQ(utf8(fsPath(dir)), dir);
    EXPECT_TRUE(deleteFiles(dir + "/Notiz1.tvn"));
    EXPECT_TRUE(deleteFiles(dir + "/Gr??e.tvn"));
    EXPECT_TRUE(fs::is_empty(fsPath(dir)));
}

}  // namespace
}  // namespace tav
