// The tray controller in-process: start-up restore, new-note command, hot-key
// texts, migration, minimising and the orderly exit, each in a fresh program
// directory.
#include <windows.h>
// commctrl.h and ole2.h need the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "KitTestSupport.h"
#include "SuiteSkip.h"
#include "about/AboutBox.h"
#include "alarm/AlarmReminder.h"
#include "app/TrayController.h"
#include "desktop/Monitors.h"
#include "desktop/Utf.h"
#include "forms/Dialogs.h"
#include "note/NoteWindow.h"
#include "note/SearchDialog.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"
#include "store/ShortcutText.h"
#include "version.h"

namespace tav {
namespace {

namespace fs = std::filesystem;
using test::BoxAnswerer;

using test::pumpPosted;
using test::pumpUntil;

class TrayControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
        InitCommonControlsEx(&controls);
        oleReady_ = SUCCEEDED(OleInitialize(nullptr));
        setProgramDir(dir_);
        setErrorBoxFunction([this](HWND, const std::string& text) { errors_.push_back(text); });
    }

    void TearDown() override {
        aboutBox_.reset();
        form_.reset();
        pumpPosted();
        setMonitorsFunction({});
        setErrorBoxFunction({});
        EXPECT_TRUE(errors_.empty()) << errors_.front();
        if (oleReady_) OleUninitialize();
    }

    // Keys are written through the program's own INI code, as a previous
    // run would have left them.
    void writeKeys(const std::vector<std::array<std::string, 3>>& keys) {
        IniFile ini(settingsPath());
        for (const auto& [section, key, value] : keys) ini.writeString(section, key, value);
        ini.close();
    }
    std::string readKey(const std::string& section, const std::string& key,
                        const std::string& def = "<fehlt>") {
        IniFile ini(settingsPath());
        return ini.readString(section, key, def);
    }
    bool sectionExists(const std::string& section) {
        IniFile ini(settingsPath());
        return ini.sectionExists(section);
    }

    // Monitors of the test's own in place of the real one, changed while
    // the program runs.
    void attachMonitors(std::vector<Monitor> now) {
        monitors_ = std::move(now);
        setMonitorsFunction([this] { return monitors_; });
    }
    void changeMonitors(TrayController& form, std::vector<Monitor> now) {
        monitors_ = std::move(now);
        SendMessageW(form.handle(), WM_DISPLAYCHANGE, 32, 0);
        pumpPosted();
    }
    static Monitor realScreen() {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        return {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
                {work.left, work.top, work.right, work.bottom}};
    }
    static Rect rectOf(const NoteWindow& note) {
        RECT r{};
        GetWindowRect(note.handle(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    static void place(const NoteWindow& note, const Rect& r) {
        SetWindowPos(note.handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // As the placement keys hold it.
    static std::string text(const Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    }

    TrayController& start() {
        form_ = std::make_unique<TrayController>(windowsDir_);
        aboutBox_ = std::make_unique<AboutBox>(form_->handle());
        form_->attachAboutBox(aboutBox_.get());
        return *form_;
    }
    // The start-up tick, without waiting for the splash.
    void restoreNow() { form_->restoreNotes(); }
    // Started with this many notes restored.
    TrayController& startWithNotes(int count) {
        std::vector<std::array<std::string, 3>> keys = {
            {"Settings", "Notizanzahl", std::to_string(count)}};
        for (int i = 1; i <= count; ++i)
            keys.push_back({"Notiz" + std::to_string(i), "active", "1"});
        writeKeys(keys);
        TrayController& form = start();
        restoreNow();
        pumpPosted();
        return form;
    }

    test::TempFolder folder_{"tray"};
    const std::string dir_ = folder_.path();
    test::TempFolder windowsFolder_{"windir"};
    // The Windows directory comes without its backslash.
    const std::string windowsDir_ =
        windowsFolder_.path().substr(0, windowsFolder_.path().size() - 1);
    std::vector<std::string> errors_;
    std::unique_ptr<TrayController> form_;
    std::unique_ptr<AboutBox> aboutBox_;
    std::vector<Monitor> monitors_;
    bool oleReady_ = false;
};

TEST_F(TrayControllerTest, FirstStartCreatesOneNoteThatAsksForItsTitle) {
    TrayController& form = start();
    EXPECT_TRUE(form.visible()) << "the splash shows by default";
    EXPECT_EQ("Version:" TAVELIN_VERSION_TEXT, form.versionLabel.text());

    BoxAnswerer answers("Einkauf");
    restoreNow();

    ASSERT_EQ(1u, answers.boxes.size());
    EXPECT_EQ("Notiz-Titel", answers.boxes[0].caption);
    EXPECT_EQ("Geben Sie den neuen Notiz-Titel ein", answers.boxes[0].text);
    ASSERT_EQ(1u, form.notes().size());
    NoteWindow& note = *form.notes()[0];
    EXPECT_EQ("Notiz1", note.name());
    EXPECT_TRUE(note.visible());
    EXPECT_TRUE(note.inEditMode());
    EXPECT_EQ("Einkauf  ", note.titleLine.text());
    EXPECT_FALSE(note.settingsItem.enabled) << "no settings dialog yet: greyed, not dead";
    EXPECT_FALSE(form.visible()) << "the restore ends the splash";
    EXPECT_FALSE(form.restoreTimer.enabled()) << "the restore runs once";
    EXPECT_EQ("Version:" TAVELIN_VERSION_TEXT, aboutBox_->versionLabel.text());

    EXPECT_EQ("1", readKey("Settings", "firstrun"));
    EXPECT_EQ("1", readKey("Settings", "Notizanzahl"));
    EXPECT_EQ("1", readKey("Notiz1", "active"));
    EXPECT_EQ("Einkauf  ", readKey("Notiz1", "NotizTitel"));
    EXPECT_EQ(1, form.noteCounter());
}

// The designed values that a user meets at the start, each held here once:
// the splash's caption, texts and size, and how long it stands before the
// notes come (without the splash, the notes come almost at once).
TEST_F(TrayControllerTest, StartShowsTheDesignedValues) {
    struct Row {
        std::string what, expected, actual;
    };
    std::vector<Row> rows;
    {
        TrayController& splash = start();
        RECT client{};
        GetClientRect(splash.handle(), &client);
        // Centred within a pixel: an odd size cannot be centred exactly.
        auto centred = [](int low, int size, int screen) {
            return std::abs(2 * low + size - screen) <= 2 ? "ja" : "nein";
        };
        rows = {
            {"caption", "Tavelin 2000", narrow(test::windowText(splash.handle()))},
            {"client area", "352x138",
             std::to_string(client.right) + "x" + std::to_string(client.bottom)},
            {"centred across", "ja",
             centred(splash.left(), splash.width(), GetSystemMetrics(SM_CXSCREEN))},
            {"centred down", "ja",
             centred(splash.top(), splash.height(), GetSystemMetrics(SM_CYSCREEN))},
            {"title", "Tavelin 2000", splash.productTitle.text()},
            {"loading", "Wird geladen...", splash.loadingLabel.text()},
            {"ms before the notes", "2000", std::to_string(splash.restoreTimer.interval())},
        };
        aboutBox_.reset();
        form_.reset();
    }
    writeKeys({{"Settings", "startscreen", "0"}});
    rows.push_back({"ms before the notes without splash", "250",
                    std::to_string(start().restoreTimer.interval())});
    for (const Row& row : rows) EXPECT_EQ(row.expected, row.actual) << row.what;
}

TEST_F(TrayControllerTest, NoNoteWhenTheFirstRunIsOverAndNoNotesAreCounted) {
    writeKeys({{"Settings", "Notizanzahl", "0"}, {"Settings", "firstrun", "1"}});
    TrayController& form = start();
    BoxAnswerer answers("unerwartet");
    restoreNow();
    pumpPosted();
    EXPECT_TRUE(answers.boxes.empty());
    EXPECT_TRUE(form.notes().empty());
    EXPECT_FALSE(sectionExists("Notiz1"));
    EXPECT_EQ("0", readKey("Settings", "Notizanzahl"));
}

TEST_F(TrayControllerTest, RestoresActiveNotesInOrderAndRemovesInactiveOnes) {
    writeKeys({{"Settings", "Notizanzahl", "3"},
               {"Settings", "startscreen", "0"},
               {"Notiz2", "active", "1"},
               {"Notiz2", "NotizTitel", "\"Einkauf    \""},
               {"Notiz2", "Buttonbar", "0"},
               {"Notiz2", "wordwrap", "1"},
               {"Notiz2", "minimiert", "1"},
               {"Notiz2", "titelleiste", "0"},
               {"Notiz3", "active", "0"},
               {"Notiz3", "NotizTitel", "\"Alt  \""},
               {"Notiz5", "active", "1"}});
    writeFileAtomically(noteTextPath("Notiz3"), "{\\rtf1 alt}");
    writeFileAtomically(dir_ + "Notiz3 Kopie.tvn", "{\\rtf1 fremd}");

    TrayController& form = start();
    EXPECT_FALSE(form.visible()) << "startscreen=0: no splash";
    // The real timer this time.
    ASSERT_TRUE(pumpUntil([&] { return !form.restoreTimer.enabled(); }));

    ASSERT_EQ(2u, form.notes().size());
    NoteWindow& two = *form.notes()[0];
    NoteWindow& five = *form.notes()[1];
    EXPECT_EQ("Notiz2", two.name());
    EXPECT_EQ("Notiz5", five.name());
    EXPECT_TRUE(two.visible());
    EXPECT_TRUE(five.visible());
    EXPECT_EQ(5, form.noteCounter()) << "never below the highest note";

    // Notiz2 comes back as it was left; the title's stored blanks do not
    // add up to a wider margin.
    EXPECT_EQ("Einkauf  ", two.titleLine.text());
    EXPECT_FALSE(two.viewBar.visible());
    EXPECT_FALSE(two.editBar.visible());
    EXPECT_FALSE(two.buttonBarsItem.checked);
    EXPECT_TRUE(two.wordWrapItem.checked);
    EXPECT_TRUE(two.editWordWrapItem.checked);
    EXPECT_TRUE(two.rolledUp());
    EXPECT_FALSE(two.titleLine.visible());
    EXPECT_FALSE(two.titleLineItem.checked);
    EXPECT_FALSE(two.inEditMode());
    // Notiz5 has no keys but "active": every default.
    EXPECT_EQ("Tavelin2000 Notiz  ", five.titleLine.text());
    EXPECT_TRUE(five.viewBar.visible());
    EXPECT_FALSE(five.wordWrapItem.checked);
    EXPECT_FALSE(five.rolledUp());
    EXPECT_TRUE(five.titleLine.visible());

    EXPECT_FALSE(sectionExists("Notiz3"));
    EXPECT_FALSE(fileExists(noteTextPath("Notiz3")));
    EXPECT_TRUE(fileExists(dir_ + "Notiz3 Kopie.tvn")) << "only the inactive note's own file goes";
    EXPECT_FALSE(sectionExists("Notiz1")) << "an unused number leaves no section behind";

    // The counter goes on from the highest note, 5, not from the two notes.
    BoxAnswerer answers("Neu");
    form.newNote();
    ASSERT_EQ(3u, form.notes().size());
    EXPECT_EQ("Notiz1", form.notes()[2]->name());
    EXPECT_EQ("6", readKey("Settings", "Notizanzahl"));
}

// Whatever the counter says, every active record comes back, and the
// counter goes on from the highest of them.
TEST_F(TrayControllerTest, CounterThatDisagreesWithTheRecordsHidesNoNote) {
    for (const char* counter : {"-3", "abc", "1"}) {
        SCOPED_TRACE(counter);
        writeKeys({{"Settings", "Notizanzahl", counter},
                   {"Settings", "firstrun", "1"},
                   {"Settings", "startscreen", "0"},
                   {"Notiz2", "active", "1"},
                   {"Notiz3", "active", "0"},
                   {"Notiz7", "active", "1"}});
        writeFileAtomically(noteTextPath("Notiz7"), "{\\rtf1 sieben}");
        TrayController& form = start();
        restoreNow();
        ASSERT_EQ(2u, form.notes().size());
        EXPECT_EQ("Notiz2", form.notes()[0]->name());
        EXPECT_EQ("Notiz7", form.notes()[1]->name());
        EXPECT_EQ(7, form.noteCounter());
        EXPECT_FALSE(sectionExists("Notiz3"));
        EXPECT_EQ(counter, readKey("Settings", "Notizanzahl")) << "not written at start";

        BoxAnswerer answers("Neu");
        form.newNote();
        ASSERT_EQ(3u, form.notes().size());
        EXPECT_EQ("Notiz1", form.notes()[2]->name());
        EXPECT_EQ("8", readKey("Settings", "Notizanzahl"));
        aboutBox_.reset();
        form_.reset();
        deleteFile(settingsPath());
    }
}

TEST_F(TrayControllerTest, NewNoteNeverTakesTheNumberOfAnActiveRecord) {
    writeKeys({{"Settings", "Notizanzahl", "1"}, {"Notiz1", "active", "1"}});
    writeFileAtomically(noteTextPath("Notiz1"), "{\\rtf1 erste}");
    TrayController& form = start();
    {
        // The hot key, pressed while the splash is still up.
        BoxAnswerer answers("Schnell");
        form.newNote();
    }
    ASSERT_EQ(1u, form.notes().size());
    EXPECT_EQ("Notiz2", form.notes()[0]->name());
    restoreNow();
    ASSERT_EQ(2u, form.notes().size());
    EXPECT_EQ("Notiz1", form.notes()[1]->name());
    EXPECT_EQ(readWholeFile(noteTextPath("Notiz1")), std::optional<std::string>("{\\rtf1 erste}"));
    EXPECT_EQ(2, form.noteCounter());
}

// "active" written by hand as something that is no number: the note comes
// back rather than losing its text.
TEST_F(TrayControllerTest, UnreadableActiveKeepsTheNote) {
    writeKeys({{"Settings", "Notizanzahl", "4"},
               {"Notiz4", "active", "ja"},
               {"Notiz4", "NotizTitel", "\"Vier  \""}});
    writeFileAtomically(noteTextPath("Notiz4"), "{\\rtf1 vier}");
    TrayController& form = start();
    restoreNow();
    ASSERT_EQ(1u, form.notes().size());
    EXPECT_EQ("Notiz4", form.notes()[0]->name());
    EXPECT_EQ("Vier  ", form.notes()[0]->titleLine.text());
    EXPECT_EQ("Vier  ", readKey("Notiz4", "NotizTitel")) << "not taken for a deleted note's";
    EXPECT_TRUE(fileExists(noteTextPath("Notiz4")));
}

TEST_F(TrayControllerTest, StartRemovesWhatCutOffWritesLeftBehind) {
    writeFileAtomically(dir_ + "Tavelin.ini.4711.3.tmp", "[Settings");
    writeFileAtomically(dir_ + "Notiz2.tvn.4711.4.tmp", "{\\rtf1 hal");
    writeFileAtomically(dir_ + "Brief.doc.4711.5.tmp", "fremd");
    start();
    EXPECT_FALSE(fileExists(dir_ + "Tavelin.ini.4711.3.tmp"));
    EXPECT_FALSE(fileExists(dir_ + "Notiz2.tvn.4711.4.tmp"));
    EXPECT_TRUE(fileExists(dir_ + "Brief.doc.4711.5.tmp"));
}

TEST_F(TrayControllerTest, FolderThatRefusesNewFilesIsToldOnceAtStart) {
    // Not even an administrator may create files here.
    setProgramDir("Z:\\sys\\");
    BoxAnswerer answers;
    TrayController& form = start();
    pumpPosted();  // said from the message loop
    ASSERT_EQ(1u, answers.boxes.size());
    EXPECT_EQ("Tavelin 2000", answers.boxes[0].caption);
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find("Z:\\sys\\"));
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find("keine Dateien anlegen"));
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find("eigenen Ordner"));
    // A first note there could only fail: nothing more is said or tried.
    restoreNow();
    pumpPosted();
    EXPECT_EQ(1u, answers.boxes.size());
    EXPECT_TRUE(form.notes().empty());
    setProgramDir(dir_);
}

TEST_F(TrayControllerTest, SettingsFileThatCannotBeReadIsLeftAlone) {
    CreateDirectoryW(widen(settingsPath()).c_str(), nullptr);
    BoxAnswerer answers;
    TrayController& form = start();
    pumpPosted();
    ASSERT_EQ(1u, answers.boxes.size());
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find(settingsPath()));
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find("kann nicht gelesen werden"));
    restoreNow();
    pumpPosted();
    EXPECT_EQ(1u, answers.boxes.size());
    EXPECT_TRUE(form.notes().empty());
    EXPECT_EQ(0, form.newNoteHotKey.shortcut()) << "a new note could not be recorded anyway";
    EXPECT_TRUE(fs::is_directory(widen(settingsPath())));
    RemoveDirectoryW(widen(settingsPath()).c_str());
}

TEST_F(TrayControllerTest, ExitDoesNotDropTextThatCouldNotBeSaved) {
    writeKeys({{"Settings", "Notizanzahl", "1"},
               {"Notiz1", "active", "1"},
               {"Notiz1", "NotizTitel", "\"Einkauf  \""}});
    writeFileAtomically(noteTextPath("Notiz1"), "{\\rtf1 alt}");
    SetFileAttributesW(widen(noteTextPath("Notiz1")).c_str(), FILE_ATTRIBUTE_READONLY);
    TrayController& form = start();
    restoreNow();
    ASSERT_EQ(1u, form.notes().size());
    NoteWindow& note = *form.notes()[0];
    ASSERT_TRUE(pumpUntil([&] { return note.startupTicksDone(); }));  // its text is loaded
    note.enterEditMode();
    note.memo1.replaceSel("Nicht verlieren ");
    {
        BoxAnswerer answers("", IDNO);
        form.exitNow();
        ASSERT_EQ(1u, answers.boxes.size()) << "the save error and the question in one box";
        EXPECT_NE(std::string::npos, answers.boxes[0].text.find("Einkauf"));
        EXPECT_NE(std::string::npos, answers.boxes[0].text.find("kann nicht geschrieben werden"));
        EXPECT_NE(std::string::npos, answers.boxes[0].text.find("Trotzdem beenden?"));
    }
    EXPECT_FALSE(form.exited());
    EXPECT_TRUE(note.created());
    EXPECT_TRUE(note.inEditMode());
    EXPECT_EQ("Nicht verlieren ", note.memo1.text().substr(0, 16));

    bool quit = false;
    {
        BoxAnswerer answers("", IDYES);
        form.exitNow();
        pumpUntil([&] { return quit; }, &quit);
    }
    EXPECT_TRUE(form.exited());
    EXPECT_EQ(readWholeFile(noteTextPath("Notiz1")), std::optional<std::string>("{\\rtf1 alt}"));
    SetFileAttributesW(widen(noteTextPath("Notiz1")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TrayControllerTest, NewNoteTakesTheSettingsForBarsWordWrapAndFont) {
    writeKeys({{"Settings", "Notizanzahl", "0"},
               {"Settings", "firstrun", "1"},
               {"Settings", "showmenu", "0"},
               {"Settings", "wordwrap", "1"}});
    TrayController& form = start();
    restoreNow();
    BoxAnswerer answers;  // confirms the offered default
    form.newNote();
    ASSERT_EQ(1u, form.notes().size());
    NoteWindow& note = *form.notes()[0];
    EXPECT_TRUE(note.inEditMode());
    EXPECT_FALSE(note.viewBar.visible());
    EXPECT_FALSE(note.editBar.visible());
    EXPECT_TRUE(note.showEditBarItem.visible);
    EXPECT_TRUE(note.wordWrapItem.checked);
    EXPECT_EQ("0", readKey("Notiz1", "Buttonbar"));
    EXPECT_EQ("1", readKey("Notiz1", "wordwrap"));
    EXPECT_EQ("1", readKey("Notiz1", "active"));
    EXPECT_EQ("1", readKey("Settings", "Notizanzahl"));
    // The standard font applies to what is typed next.
    const CharAttributes typed = note.memo1.selAttributes();
    EXPECT_EQ("Courier new", typed.name);
    EXPECT_EQ(10, typed.sizePoints);
}

TEST_F(TrayControllerTest, AllFiftyNumbersInUseTellsTheUserAndWritesNothing) {
    writeKeys({{"Settings", "Notizanzahl", "0"}, {"Settings", "firstrun", "1"}});
    TrayController& form = start();
    restoreNow();
    for (int n = 1; n <= kMaxNotes; ++n) form.slotTable().markUsed(n);
    const auto before = readWholeFile(settingsPath());

    BoxAnswerer answers;
    form.newNote();

    ASSERT_EQ(1u, answers.boxes.size());
    EXPECT_EQ("Tavelin 2000", answers.boxes[0].caption);
    EXPECT_EQ("Es sind bereits 50 Notizen vorhanden. Bitte löschen Sie zuerst eine Notiz.",
              answers.boxes[0].text);
    EXPECT_TRUE(form.notes().empty());
    EXPECT_EQ(0, form.noteCounter());
    EXPECT_EQ(before, readWholeFile(settingsPath()));
    EXPECT_FALSE(fs::exists(widen(dir_ + "Notiz51.tvn")));
}

TEST_F(TrayControllerTest, OldSettingsFileIsCopiedOnlyWhenTheProgramHasNone) {
    const std::string oldIni = windowsDir_ + "\\Tavelin.ini";
    writeFileAtomically(oldIni, "[Settings]\r\nstartscreen=0\r\nHotkey_neu=N\r\nNotizanzahl=0\r\n");

    // No file of its own: the program takes the old one over at creation.
    TrayController& form = start();
    ASSERT_TRUE(fileExists(settingsPath()));
    EXPECT_EQ(readWholeFile(oldIni), readWholeFile(settingsPath()));
    EXPECT_TRUE(fileExists(oldIni)) << "the old file stays where it was";
    EXPECT_FALSE(form.visible()) << "and its settings count from the start";
    EXPECT_EQ(kCtrl | kAlt | 'N', form.newNoteHotKey.shortcut());

    // Both files there: the program's own wins, nothing is copied.
    writeFileAtomically(settingsPath(), "[Settings]\r\nstartscreen=1\r\n");
    EXPECT_FALSE(migrateSettingsFile(windowsDir_));
    EXPECT_EQ("[Settings]\r\nstartscreen=1\r\n", readWholeFile(settingsPath()));

    // No old file: nothing happens.
    deleteFile(oldIni);
    deleteFile(settingsPath());
    EXPECT_FALSE(migrateSettingsFile(windowsDir_));
    EXPECT_FALSE(fileExists(settingsPath()));
}

TEST_F(TrayControllerTest, HotKeysComeFromTheStoredCharacters) {
    {
        TrayController& form = start();
        EXPECT_EQ(49227, form.newNoteHotKey.shortcut()) << "default Ctrl+Alt+K";
        EXPECT_EQ(kCtrl | kAlt | 'X', form.foregroundHotKey.shortcut()) << "default Ctrl+Alt+X";
        aboutBox_.reset();
        form_.reset();
    }
    writeKeys({{"Settings", "Hotkey_neu", "7"}, {"Settings", "Hotkey_Vordergrund", "F1"}});
    {
        BoxAnswerer answers;
        TrayController& form = start();
        EXPECT_EQ(kCtrl | kAlt | '7', form.newNoteHotKey.shortcut());
        EXPECT_EQ(0, form.foregroundHotKey.shortcut())
            << "no letter or digit: no hot key, not another";
        ASSERT_TRUE(pumpUntil([&] { return !answers.boxes.empty(); }));
        EXPECT_NE(std::string::npos, answers.boxes[0].text.find("„F1“ für „in den Vordergrund“"))
            << answers.boxes[0].text;
        aboutBox_.reset();
        form_.reset();
    }
    writeKeys({{"Settings", "Hotkey_neu", "K"}, {"Settings", "Hotkey_Vordergrund", ""}});
    TrayController& form = start();
    EXPECT_EQ(49227, form.newNoteHotKey.shortcut());
    EXPECT_EQ(0, form.foregroundHotKey.shortcut()) << "left empty in the settings: no hot key";
}

TEST_F(TrayControllerTest, PressingTheNewNoteHotKeyCreatesANote) {
    writeKeys({{"Settings", "Notizanzahl", "0"},
               {"Settings", "firstrun", "1"},
               {"Settings", "Hotkey_neu", "N"}});
    TrayController& form = start();
    restoreNow();
    if (!form.newNoteHotKey.registered()) {
        ASSERT_TRUE(test::hotKeyTakenElsewhere(MOD_CONTROL | MOD_ALT, 'N'))
            << "Ctrl+Alt+N is free, yet the program did not register it";
        TAV_SKIP_UNLESS_SUITE("Ctrl+Alt+N belongs to another program on this desktop");
    }

    BoxAnswerer answers("Per Taste");
    test::ForeignFocus focus;
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == focus.hwnd(); }));
    INPUT keys[6] = {};
    const WORD sequence[3] = {VK_CONTROL, VK_MENU, 'N'};
    for (int i = 0; i < 3; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = sequence[i];
        keys[5 - i].type = INPUT_KEYBOARD;
        keys[5 - i].ki.wVk = sequence[i];
        keys[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(6u, SendInput(6, keys, sizeof(INPUT)));
    ASSERT_TRUE(pumpUntil([&] { return !form.notes().empty(); }));
    EXPECT_EQ("Notiz1", form.notes()[0]->name());
    EXPECT_EQ("Per Taste  ", form.notes()[0]->titleLine.text());
}

TEST_F(TrayControllerTest, TrayMenuShowsItsSixItemsAndLeavesTheHiddenOnesOut) {
    TrayController& form = start();
    std::vector<MenuItem*> commands;
    MenuHandle menu = form.trayMenu.build(commands);
    ASSERT_EQ(6, GetMenuItemCount(menu.get()));
    const char* expected[] = {
        "&neue Notiz erstellen",      "Grundeinstellungen...",          "Alle Notizen holen",
        "&Info über das Programm...", "Sicherung wiederherstellen ...", "Tavelin b&eenden"};
    for (int i = 0; i < 6; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu.get(), static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(expected[i], narrow(text));
    }
    EXPECT_FALSE(form.networkNoteItem.enabled);
    EXPECT_TRUE(form.aboutItem.enabled);
    // No settings dialog yet: its item is greyed, not silently dead.
    EXPECT_NE(0u, GetMenuState(menu.get(), 1, MF_BYPOSITION) & MF_GRAYED);
}

// The screen goes from its own size to 800x600 and back, as a remote session
// does it: only the notes that lost the grip of their title move, the file
// gets their new place, and they return when the size does.
TEST_F(TrayControllerTest, AResolutionChangeMovesOnlyTheNotesOutOfReachAndBackAgain) {
    const Monitor full = realScreen();
    const Monitor small{{0, 0, 800, 600}, {0, 0, 800, 570}};
    attachMonitors({full});
    TrayController& form = startWithNotes(3);
    ASSERT_EQ(3u, form.notes().size());
    const NoteWindow& cut = *form.notes()[0];     // on what the smaller screen loses
    const NoteWindow& above = *form.notes()[1];   // its title over the top edge
    const NoteWindow& corner = *form.notes()[2];  // partly shown, title and all
    const Rect cutAt{820, 100, 1020, 300};
    place(cut, cutAt);
    place(above, {100, -100, 400, 100});
    place(corner, {700, 500, 1000, 700});

    changeMonitors(form, {small});
    EXPECT_EQ(rectOf(cut), (Rect{600, 100, 800, 300}));
    EXPECT_EQ(rectOf(above), (Rect{100, 0, 400, 200}));
    EXPECT_EQ(rectOf(corner), (Rect{700, 500, 1000, 700}));
    EXPECT_TRUE(pumpUntil([&] { return readKey("Notiz1", "NormPos") == "600,100,800,300"; }))
        << readKey("Notiz1", "NormPos");
    EXPECT_EQ("600,100,800,300", readKey("Notiz1", "NormPos(800x600)"));
    EXPECT_EQ(text(cutAt), readKey("Notiz1", "NormPos" + layoutSuffix({full.bounds})));

    changeMonitors(form, {full});
    EXPECT_EQ(rectOf(cut), cutAt);
    EXPECT_EQ(rectOf(above), (Rect{100, 0, 400, 200})) << "back, but not out of reach again";
    EXPECT_EQ(rectOf(corner), (Rect{700, 500, 1000, 700}));
}

// A second monitor right of the first is taken away and comes back, twice,
// and the program starts again in between. Each layout keeps the note where
// the user had it in that layout. The two monitors share the real screen:
// the system keeps a placement it applies on a monitor that it knows.
TEST_F(TrayControllerTest, ANoteGoesBackWhenItsMonitorReturnsAlsoAfterANewStart) {
    const Monitor screen = realScreen();
    const int half = screen.bounds.right / 2;
    const Monitor first{{0, 0, half, screen.bounds.bottom}, {0, 0, half, screen.workArea.bottom}};
    const Monitor second{{half, 0, screen.bounds.right, screen.bounds.bottom},
                         {half, 0, screen.bounds.right, screen.workArea.bottom}};
    attachMonitors({first, second});
    TrayController* form = &startWithNotes(2);
    ASSERT_EQ(2u, form->notes().size());
    const NoteWindow* away = form->notes()[0].get();
    const NoteWindow& stays = *form->notes()[1];
    place(stays, {50, 300, 250, 500});
    const Rect onSecond{half + 100, 50, half + 400, 250};
    place(*away, onSecond);
    const Rect onFirst = rectOf(stays);

    changeMonitors(*form, {first});
    EXPECT_EQ(rectOf(*away), (Rect{first.workArea.right - 300, 50, first.workArea.right, 250}));
    EXPECT_EQ(rectOf(stays), onFirst);
    // The user puts it elsewhere on the first monitor.
    const Rect placed{first.workArea.left + 10, first.workArea.top + 10, first.workArea.left + 310,
                      first.workArea.top + 210};
    place(*away, placed);
    SendMessageW(away->handle(), WM_EXITSIZEMOVE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return readKey("Notiz1", "NormPos") == text(placed); }));

    changeMonitors(*form, {first, second});
    EXPECT_EQ(rectOf(*away), onSecond);
    EXPECT_EQ(rectOf(stays), onFirst);
    changeMonitors(*form, {first});
    EXPECT_EQ(rectOf(*away), placed);

    changeMonitors(*form, {first, second});
    ASSERT_TRUE(pumpUntil([&] { return readKey("Notiz1", "NormPos") == text(onSecond); }));
    form_.reset();
    form = &startWithNotes(2);
    ASSERT_EQ(2u, form->notes().size());
    away = form->notes()[0].get();
    EXPECT_EQ(rectOf(*away), onSecond);
}

// A monitor's density goes from 100 % to 150 %. The note takes the rectangle
// the system proposes, stays where it is in reach, and the file gets that
// rectangle with its density: the old rectangle at the old density would be
// thrown away by the next start.
TEST_F(TrayControllerTest, ADensityChangeKeepsTheNoteAsTheSystemScaledIt) {
    TrayController& form = startWithNotes(1);
    ASSERT_EQ(1u, form.notes().size());
    const NoteWindow& note = *form.notes()[0];
    place(note, {100, 100, 400, 300});
    SendMessageW(note.handle(), WM_EXITSIZEMOVE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return readKey("Notiz1", "NormPos") == "100,100,400,300"; }));

    RECT scaled{100, 100, 550, 400};
    SendMessageW(note.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&scaled));
    RECT tray{};
    GetWindowRect(form.handle(), &tray);
    SendMessageW(form.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&tray));
    pumpPosted();
    EXPECT_EQ(rectOf(note), (Rect{100, 100, 550, 400}));
    EXPECT_TRUE(pumpUntil([&] { return readKey("Notiz1", "PixelsPerInch") == "144"; }));
    EXPECT_EQ("100,100,550,400", readKey("Notiz1", "NormPos"));
}

TEST_F(TrayControllerTest, SearchListsMatchingNotesHiddenOnesTooAndSelectsTheMatch) {
    TrayController& form = startWithNotes(3);
    ASSERT_EQ(3u, form.notes().size());
    NoteWindow& one = *form.notes()[0];
    NoteWindow& two = *form.notes()[1];
    NoteWindow& three = *form.notes()[2];
    one.setTitle("Einkauf");
    // The line shown comes from the control, which counts a pair of
    // surrogates as two places and an umlaut as one.
    one.memo1.replaceSel("Brot\r\xF0\x9F\x98\x80 Grüße: Äpfel und Milch");
    two.setTitle("Garten");
    two.memo1.replaceSel("Äpfel ernten, Äpfel essen");
    three.setTitle("Milch");  // the word in the title, the other in the text
    three.memo1.replaceSel("frische äpfel");
    two.hide();

    SearchDialog dialog(
        form.handle(), [&] { return form.openNotes(); },
        [&](NoteWindow& note) { form.bringNoteToFront(note); });
    form.attachSearchDialog(&dialog);
    dialog.queryEdit.setText("milch ÄPFEL");  // as typed: the list follows
    ASSERT_EQ(2, dialog.resultList.count());
    EXPECT_EQ("Einkauf\t\xF0\x9F\x98\x80 Grüße: »Äpfel« und Milch", dialog.resultList.item(0));
    EXPECT_EQ("Milch\tfrische »äpfel«", dialog.resultList.item(1));
    dialog.queryEdit.setText("äpfel");
    ASSERT_EQ(3, dialog.resultList.count());
    EXPECT_EQ("Garten\t»Äpfel« ernten, Äpfel essen", dialog.resultList.item(1));
    // The arrows in the field walk the list; the field keeps the focus.
    dialog.queryEdit.setFocus();
    SendMessageW(dialog.queryEdit.handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageW(dialog.queryEdit.handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(2, dialog.resultList.itemIndex());
    SendMessageW(dialog.queryEdit.handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(1, dialog.resultList.itemIndex());
    EXPECT_EQ(dialog.queryEdit.handle(), GetFocus());

    // Texts changed while the window is open are searched as they are now,
    // one of the same length too.
    three.memo1.selectAll();
    three.memo1.replaceSel("frische birne");
    one.enterEditMode();
    SendMessageW(one.memo1.handle(), WM_CHAR, L'x', 0);  // as typed
    dialog.queryEdit.setText("äpfel ");
    ASSERT_EQ(2, dialog.resultList.count());
    EXPECT_EQ("Einkauf\t\xF0\x9F\x98\x80 Grüße: »Äpfel« und Milchx", dialog.resultList.item(0));
    three.memo1.selectAll();
    three.memo1.replaceSel("frische äpfel");
    dialog.queryEdit.setText("äpfel");
    ASSERT_EQ(3, dialog.resultList.count());

    dialog.resultList.setItemIndex(1);
    dialog.showNoteButtonClick();
    EXPECT_TRUE(two.visible()) << "a hidden note comes back";
    EXPECT_EQ("Äpfel", two.memo1.selText());
    auto selectionStart = [&] {
        DWORD start = 0;
        SendMessageW(two.memo1.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        return start;
    };
    EXPECT_EQ(0u, selectionStart());
    // F3 finds the next one, then the first again.
    SendMessageW(two.memo1.handle(), WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(14u, selectionStart());
    SendMessageW(two.memo1.handle(), WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(0u, selectionStart());
    dialog.queryEdit.setText("nirgends");
    EXPECT_EQ(0, dialog.resultList.count());
    form.attachSearchDialog(nullptr);
}

TEST_F(TrayControllerTest, MinimisingLeavesTheNotesOnScreen) {
    writeKeys({{"Settings", "Notizanzahl", "1"}, {"Notiz1", "active", "1"}});
    TrayController& form = start();
    restoreNow();
    ASSERT_EQ(1u, form.notes().size());
    HWND note = form.notes()[0]->handle();

    SendMessageW(form.handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    pumpPosted();
    EXPECT_FALSE(IsIconic(form.handle()));
    EXPECT_TRUE(IsWindowVisible(note));

    ShowWindow(form.handle(), SW_MINIMIZE);
    pumpPosted();
    EXPECT_FALSE(IsIconic(form.handle()));
    EXPECT_TRUE(IsWindowVisible(note));

    ShowWindow(note, SW_MINIMIZE);
    pumpPosted();
    EXPECT_FALSE(IsIconic(note));
    EXPECT_TRUE(IsWindowVisible(note));
}

TEST_F(TrayControllerTest, SecondHotKeyBringsTheLastActiveNoteToTheFront) {
    writeKeys(
        {{"Settings", "Notizanzahl", "2"}, {"Notiz1", "active", "1"}, {"Notiz2", "active", "1"}});
    TrayController& form = start();
    restoreNow();
    ASSERT_EQ(2u, form.notes().size());
    HWND first = form.notes()[0]->handle();
    SetForegroundWindow(first);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == first; }));

    // Somebody else's window takes the front.
    HWND other = CreateWindowExW(0, L"STATIC", L"fremd", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }));

    form.bringToFront();
    EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == first; }));

    // The last active note hidden since: the topmost shown one comes.
    HWND second = form.notes()[1]->handle();
    SetForegroundWindow(other);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }));
    form.notes()[0]->hide();
    form.pressForegroundHotKey();
    EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == second; }));
    DestroyWindow(other);
}

// Both ways out end the same: the typed text is saved, every note's placement
// is written, the tray icon goes and the loop ends.
void expectOrderlyExit(TrayController& form, const std::function<void()>& leave) {
    BoxAnswerer answers("Letzte");
    form.newNote();
    ASSERT_EQ(1u, form.notes().size());
    NoteWindow& note = *form.notes()[0];
    ASSERT_TRUE(note.inEditMode());
    note.memo1.replaceSel("Ungespeicherter Text");

    bool quit = false;
    leave();
    pumpUntil([&] { return quit; }, &quit);
    EXPECT_TRUE(quit);
    EXPECT_TRUE(form.exited());
    IniFile ini(settingsPath());
    EXPECT_EQ("1", ini.readString("Notiz1", "Visible", "")) << "as the window's end writes it";
    EXPECT_NE("", ini.readString("Notiz1", "NormPos", ""));
    ini.close();
    EXPECT_FALSE(form.trayIcon.visible());
    const auto saved = readWholeFile(noteTextPath("Notiz1"));
    ASSERT_TRUE(saved.has_value());
    EXPECT_NE(std::string::npos, saved->find("Ungespeicherter Text"));
}

TEST_F(TrayControllerTest, ExitCommandSavesANoteStillInEditMode) {
    writeKeys({{"Settings", "Notizanzahl", "0"}, {"Settings", "firstrun", "1"}});
    TrayController& form = start();
    restoreNow();
    expectOrderlyExit(form, [&] { form.exitNow(); });
}

TEST_F(TrayControllerTest, EndOfSessionRunsTheSameOrderlyExit) {
    writeKeys({{"Settings", "Notizanzahl", "0"}, {"Settings", "firstrun", "1"}});
    TrayController& form = start();
    restoreNow();
    expectOrderlyExit(form, [&] {
        EXPECT_TRUE(SendMessageW(form.handle(), WM_QUERYENDSESSION, 0, 0));
        // Everything must be on disk when WM_ENDSESSION returns.
        SendMessageW(form.handle(), WM_ENDSESSION, TRUE, 0);
        EXPECT_TRUE(fileExists(noteTextPath("Notiz1")));
    });
}

// What taskkill without /f, an updater or a script does: the tray window is
// closed while its menu is open, and the program ends all the same. A copy
// that is ending takes no second start's request, so that start runs instead.
TEST_F(TrayControllerTest, CloseWhileTheTrayMenuIsOpenEndsTheProgram) {
    // No hot keys: a box about keys that another program holds would stop
    // the menu.
    writeKeys({{"Settings", "Notizanzahl", "0"},
               {"Settings", "firstrun", "1"},
               {"Settings", "Hotkey_neu", ""},
               {"Settings", "Hotkey_Vordergrund", ""}});
    TrayController& form = start();
    restoreNow();
    const auto request = [&](WPARAM folder) {
        return SendMessageW(form.handle(), foregroundRequestMessage(), folder, 0);
    };
    EXPECT_EQ(1, request(programDirId()));
    EXPECT_EQ(0, request(programDirId() + 1)) << "a start in another folder";

    bool menuStayed = false;
    test::WindowDriver driver(L"#32768", L"", [&](HWND menu) {
        PostMessageW(form.handle(), WM_CLOSE, 0, 0);
        const ULONGLONG begin = GetTickCount64();
        while (IsWindowVisible(menu) && GetTickCount64() - begin < test::kWaitLimitMs) Sleep(10);
        menuStayed = IsWindowVisible(menu);
        if (menuStayed) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_FALSE(form.trayMenu.popup(form.trayIcon.hwnd(), {100, 100}));
    ASSERT_TRUE(driver.finished());
    EXPECT_FALSE(menuStayed);
    bool quit = false;
    EXPECT_TRUE(pumpUntil([&] { return quit; }, &quit));
    EXPECT_TRUE(form.exited());
    EXPECT_EQ(0, request(programDirId()));
}

// Each note saves on its own: a file that cannot be written is reported, and
// every other note's typed text reaches its file all the same.
TEST_F(TrayControllerTest, NoteThatCannotSaveAtExitCostsNoOtherNoteItsText) {
    writeKeys({{"Settings", "Notizanzahl", "0"}, {"Settings", "firstrun", "1"}});
    TrayController& form = start();
    restoreNow();
    {
        BoxAnswerer answers("Titel");
        form.newNote();
        form.newNote();
        form.newNote();
    }
    ASSERT_EQ(3u, form.notes().size());
    for (int i = 0; i < 3; ++i) form.notes()[i]->memo1.replaceSel("Text " + std::to_string(i + 1));
    // A folder of the file's name: no file can be put in its place.
    ASSERT_TRUE(CreateDirectoryW(widen(noteTextPath("Notiz2")).c_str(), nullptr));

    // The text that could not be saved is named in the one question; the
    // user lets it go.
    bool quit = false;
    {
        BoxAnswerer answers("", IDYES);
        form.exitNow();
        pumpUntil([&] { return quit; }, &quit);
        ASSERT_EQ(1u, answers.boxes.size());
        EXPECT_NE(std::string::npos, answers.boxes[0].text.find("Notiz2.tvn"))
            << answers.boxes[0].text;
    }
    EXPECT_TRUE(quit);
    for (int n : {1, 3}) {
        const auto saved = readWholeFile(noteTextPath(noteName(n)));
        ASSERT_TRUE(saved.has_value()) << n;
        EXPECT_NE(std::string::npos, saved->find("Text " + std::to_string(n))) << n;
        EXPECT_NE("<fehlt>", readKey(noteName(n), "NormPos")) << "placement of note " << n;
    }
    EXPECT_NE("<fehlt>", readKey("Notiz2", "NormPos")) << "its placement is written all the same";
    RemoveDirectoryW(widen(noteTextPath("Notiz2")).c_str());
}

// A hot key pressed while the splash is up makes a note before the restore
// has marked the stored numbers: it takes a free one and keeps it, and the
// stored note comes back under its own number with its own title and text.
TEST_F(TrayControllerTest, HotKeyNoteDuringTheSplashKeepsItsNumber) {
    writeKeys({{"Settings", "Notizanzahl", "1"},
               {"Notiz1", "active", "1"},
               {"Notiz1", "NotizTitel", "Gespeichert"},
               {"Notiz3", "active", "0"}});
    writeFileAtomically(noteTextPath("Notiz1"), "{\\rtf1\\ansi gespeichert\\par}");
    writeFileAtomically(noteTextPath("Notiz3"), "{\\rtf1\\ansi alt\\par}");
    TrayController& form = start();
    ASSERT_TRUE(form.visible()) << "the splash is up";
    {
        BoxAnswerer answers("Per Taste");
        form.newNote();
    }
    ASSERT_FALSE(form.notes().empty());
    NoteWindow& early = *form.notes()[0];
    EXPECT_EQ("Notiz2", early.name()) << "1 is stored; 3 has a text file left";

    ASSERT_TRUE(pumpUntil([&] { return !form.restoreTimer.enabled(); }));
    ASSERT_EQ(2u, form.notes().size());
    NoteWindow* stored = form.findNote("Notiz1");
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ("Notiz2", early.name());
    EXPECT_EQ("Per Taste  ", early.titleLine.text());
    EXPECT_EQ("Gespeichert  ", stored->titleLine.text());
    ASSERT_TRUE(pumpUntil([&] { return stored->startupTicksDone() && early.startupTicksDone(); }));
    EXPECT_EQ("gespeichert", stored->memo1.text());
    EXPECT_EQ("", early.memo1.text());
    EXPECT_EQ("Gespeichert", readKey("Notiz1", "NotizTitel"));
    EXPECT_EQ("Per Taste  ", readKey("Notiz2", "NotizTitel"));
    EXPECT_TRUE(form.slotTable().isUsed(1));
    EXPECT_TRUE(form.slotTable().isUsed(2));
    EXPECT_EQ(2, form.noteCounter());

    BoxAnswerer answers("Danach");
    form.newNote();
    ASSERT_EQ(3u, form.notes().size());
    EXPECT_EQ("Notiz3", form.notes()[2]->name()) << "the restore has removed the old file";
}

// A note stored maximised comes back maximised; one stored minimised comes
// back on the screen, since nothing of the program ever minimises.
TEST_F(TrayControllerTest, RestoredShowCmdMaximisesButNeverMinimises) {
    writeKeys({{"Settings", "Notizanzahl", "2"},
               {"Notiz1", "active", "1"},
               {"Notiz1", "PixelsPerInch", "96"},
               {"Notiz1", "ShowCmd", "3"},
               {"Notiz1", "NormPos", "100,100,370,340"},
               {"Notiz2", "active", "1"},
               {"Notiz2", "PixelsPerInch", "96"},
               {"Notiz2", "ShowCmd", "2"},
               {"Notiz2", "NormPos", "400,100,670,340"}});
    TrayController& form = start();
    restoreNow();
    ASSERT_EQ(2u, form.notes().size());
    const HWND maximised = form.notes()[0]->handle();
    const HWND minimised = form.notes()[1]->handle();
    ASSERT_TRUE(pumpUntil([&] { return IsZoomed(maximised) != FALSE; }));
    pumpPosted();
    EXPECT_TRUE(IsWindowVisible(maximised));
    EXPECT_FALSE(IsIconic(minimised));
    EXPECT_TRUE(IsWindowVisible(minimised));
    RECT r{};
    GetWindowRect(minimised, &r);
    EXPECT_EQ(400, r.left);
    EXPECT_EQ(670, r.right);

    bool quit = false;
    form.exitNow();
    pumpUntil([&] { return quit; }, &quit);
    EXPECT_EQ("3", readKey("Notiz1", "ShowCmd"));
    EXPECT_EQ("100,100,370,340", readKey("Notiz1", "NormPos")) << "the size to go back to";
    EXPECT_EQ("1", readKey("Notiz2", "ShowCmd"));
}

// A reminder waits for its "OK" without a loop of its own: the program
// still ends, and saves, while one is on the screen.
TEST_F(TrayControllerTest, ExitWhileAReminderIsOpenStillSavesEveryNote) {
    writeKeys({{"Settings", "Notizanzahl", "0"}, {"Settings", "firstrun", "1"}});
    TrayController& form = start();
    AlarmReminder reminder(form.handle());
    form.attachReminder(&reminder);
    restoreNow();
    reminder.remind({.title = "Termin  ", .textPath = noteTextPath("Notiz9")});
    ASSERT_TRUE(reminder.visible());
    expectOrderlyExit(form, [&] {
        EXPECT_TRUE(SendMessageW(reminder.handle(), WM_QUERYENDSESSION, 0, 0));
        form.exitNow();
    });
    form.attachReminder(nullptr);
}

TEST_F(TrayControllerTest, ReleasedNoteIsDeletedAfterItsHandlerAndFreesNothingElse) {
    writeKeys(
        {{"Settings", "Notizanzahl", "2"}, {"Notiz1", "active", "1"}, {"Notiz2", "active", "1"}});
    TrayController& form = start();
    restoreNow();
    ASSERT_EQ(2u, form.notes().size());
    NoteWindow* first = form.notes()[0].get();
    HWND window = first->handle();
    form.releaseNote(first);
    ASSERT_EQ(1u, form.notes().size());
    EXPECT_EQ("Notiz2", form.notes()[0]->name());
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(window); }));
    form.releaseNote(first);  // a second request is harmless
    EXPECT_EQ(1u, form.notes().size());
}

// The tip names the next alarm of all notes and forgets a deleted note's.
TEST_F(TrayControllerTest, TrayTipNamesTheNextAlarm) {
    std::vector<std::array<std::string, 3>> keys{{"Settings", "Notizanzahl", "2"},
                                                 {"Settings", "startscreen", "0"}};
    for (const auto& [note, title, day] :
         {std::array<std::string, 3>{"Notiz1", "Später", "10.12.2098"},
          std::array<std::string, 3>{"Notiz2", "Einkaufen", "09.12.2098"}}) {
        for (const auto& [key, value] :
             std::vector<std::pair<std::string, std::string>>{{"active", "1"},
                                                              {"NotizTitel", "\"" + title + "\""},
                                                              {"Alarmdatum", day},
                                                              {"RxClock1_AlarmEnabled", "True"},
                                                              {"RxClock1_AlarmHour", "20"},
                                                              {"RxClock1_AlarmMinute", "0"}})
            keys.push_back({note, key, value});
    }
    writeKeys(keys);
    TrayController& form = start();
    restoreNow();
    ASSERT_TRUE(pumpUntil([&] {
        return form.notes().size() == 2 && form.notes()[0]->startupTicksDone() &&
               form.notes()[1]->startupTicksDone();
    }));
    pumpPosted();
    EXPECT_EQ(L"Tavelin 2000 – nächster Alarm: Di 09.12.2098 20:00 Einkaufen",
              form.trayIcon.hint());
    form.releaseNote(form.notes()[1].get());
    pumpPosted();
    EXPECT_EQ(L"Tavelin 2000 – nächster Alarm: Mi 10.12.2098 20:00 Später", form.trayIcon.hint());
}

TEST_F(TrayControllerTest, AboutBoxHelpWithoutHelpFileSaysSo) {
    start();
    BoxAnswerer answers;
    aboutBox_->helpButtonClick();
    ASSERT_EQ(1u, answers.boxes.size());
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find("index.htm"));
    EXPECT_NE(std::string::npos, answers.boxes[0].text.find("nicht gefunden"));
}

}  // namespace
}  // namespace tav
