// The settings dialog and the hidden-notes dialog in-process, attached to a
// real tray controller as the program's start order does it, each test in a
// fresh program directory.
#include <windows.h>
// commctrl.h and ole2.h need the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <algorithm>
#include <array>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "KitTestSupport.h"
#include "app/TrayController.h"
#include "note/HiddenNotesDialog.h"
#include "note/NoteWindow.h"
#include "forms/DialogKeys.h"
#include "desktop/Utf.h"
#include "settings/SettingsDialog.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"
#include "store/ShortcutText.h"

namespace tav {
namespace {

using test::BoxAnswerer;
using test::pumpMessages;
using test::pumpUntil;
using test::readFile;

// Another program that holds a hot-key combination: a thread of its own
// registers it and keeps it until the object goes.
class ForeignHotKey {
public:
    explicit ForeignHotKey(UINT key) {
        std::promise<bool> registered;
        auto result = registered.get_future();
        thread_ = std::thread([this, key, &registered] {
            const bool held = RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, key) != 0;
            registered.set_value(held);
            release_.get_future().wait();
            if (held) UnregisterHotKey(nullptr, 1);
        });
        held_ = result.get();
    }
    ~ForeignHotKey() {
        release_.set_value();
        thread_.join();
    }
    bool held() const { return held_; }

private:
    std::promise<void> release_;
    std::thread thread_;
    bool held_ = false;
};

class ProgramDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        oleReady_ = SUCCEEDED(OleInitialize(nullptr));
        setProgramDir(dir_);
        setErrorBoxFunction([this](HWND, const std::string& text) { errors_.push_back(text); });
    }

    void TearDown() override {
        stop();
        setErrorBoxFunction({});
        EXPECT_TRUE(errors_.empty()) << errors_.front();
        if (oleReady_) OleUninitialize();
    }

    // The forms in the program's order. restore: the start-up tick runs at
    // once; without it the tick never comes and no note is made.
    TrayController& start(bool restore) {
        tray_ = std::make_unique<TrayController>(dir_ + "Windows");
        settings_ = std::make_unique<SettingsDialog>(tray_->handle(), *tray_);
        tray_->attachSettingsDialog(settings_.get());
        hiddenNotes_ = std::make_unique<HiddenNotesDialog>(*tray_);
        tray_->attachHiddenNotesDialog(hiddenNotes_.get());
        tray_->restoreTimer.setEnabled(false);
        if (restore) {
            tray_->restoreNotes();
            EXPECT_TRUE(pumpUntil([&] {
                return std::all_of(tray_->notes().begin(), tray_->notes().end(),
                                   [](auto& n) { return n->startupTicksDone(); });
            }));
        }
        return *tray_;
    }
    void stop() {
        hiddenNotes_.reset();
        settings_.reset();
        tray_.reset();
        pumpMessages();
    }

    void writeKeys(const std::vector<std::array<std::string, 3>>& keys) {
        IniFile ini(settingsPath());
        for (const auto& [section, key, value] : keys) ini.writeString(section, key, value);
        ini.close();
    }
    static std::string key(const std::string& section, const std::string& name,
                           const std::string& file = settingsPath()) {
        IniFile ini(file);
        return ini.readString(section, name, "<fehlt>");
    }

    test::TempFolder folder_{"dialogs"};
    const std::string dir_ = folder_.path();
    std::vector<std::string> errors_;
    std::unique_ptr<TrayController> tray_;
    std::unique_ptr<SettingsDialog> settings_;
    std::unique_ptr<HiddenNotesDialog> hiddenNotes_;
    bool oleReady_ = false;
};

// A key to the focused control, as the main loop hands it on.
bool press(WPARAM key) {
    MSG msg{GetFocus(), WM_KEYDOWN, key, 0, static_cast<DWORD>(GetMessageTime()), {}};
    return translateDialogKeys(msg);
}

// ---- Settings dialog

using SettingsDialogTest = ProgramDialogsTest;

TEST_F(SettingsDialogTest, EveryShowLoadsTheSevenValuesFromTheFile) {
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    tray.showSettings();
    ASSERT_TRUE(dialog.visible());
    // No settings file: the dialog's own defaults, "Arial" also where it is
    // not installed.
    EXPECT_EQ("Arial", dialog.fontNameComboBox.fontName());
    EXPECT_EQ("10", dialog.fontSizeEdit.text());
    EXPECT_TRUE(dialog.buttonBarCheckBox.checked());
    EXPECT_FALSE(dialog.wordWrapCheckBox.checked());
    EXPECT_TRUE(dialog.splashCheckBox.checked());
    EXPECT_EQ("K", dialog.newNoteHotKeyEdit.text());
    EXPECT_EQ("X", dialog.foregroundHotKeyEdit.text());

    // The installed fonts, no vertical faces.
    ASSERT_GT(dialog.fontNameComboBox.count(), 2);
    for (int i = 0; i < dialog.fontNameComboBox.count(); ++i)
        EXPECT_NE('@', dialog.fontNameComboBox.item(i).front()) << dialog.fontNameComboBox.item(i);

    dialog.cancelButton.click();
    writeKeys({{"Settings", "Standardfontname", "Gibt es nicht"},
               {"Settings", "Standardfontsize", "0x0C"},
               {"Settings", "Showmenu", "0"},
               {"Settings", "wordwrap", "1"},
               {"Settings", "startscreen", "0"},
               {"Settings", "Hotkey_neu", "N"},
               {"Settings", "Hotkey_Vordergrund", ""}});
    tray.showSettings();
    EXPECT_EQ("Gibt es nicht", dialog.fontNameComboBox.fontName());
    EXPECT_EQ("12", dialog.fontSizeEdit.text());
    EXPECT_FALSE(dialog.buttonBarCheckBox.checked());
    EXPECT_TRUE(dialog.wordWrapCheckBox.checked());
    EXPECT_FALSE(dialog.splashCheckBox.checked());
    EXPECT_EQ("N", dialog.newNoteHotKeyEdit.text());
    EXPECT_EQ("", dialog.foregroundHotKeyEdit.text());
}

TEST_F(SettingsDialogTest, OkWritesTheValuesAndAppliesBothHotKeysAtOnce) {
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    tray.showSettings();
    dialog.fontNameComboBox.setFontName("Tahoma");
    dialog.fontSizeEdit.setText("14");
    dialog.buttonBarCheckBox.setChecked(false);
    dialog.wordWrapCheckBox.setChecked(true);
    dialog.splashCheckBox.setChecked(false);
    dialog.newNoteHotKeyEdit.setText("n");
    dialog.foregroundHotKeyEdit.setText("7");
    BoxAnswerer boxes;
    dialog.okButton.click();

    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(dialog.visible());
    EXPECT_EQ("N", key("Settings", "Hotkey_neu")) << "stored in upper case";
    EXPECT_EQ("7", key("Settings", "Hotkey_Vordergrund"));
    EXPECT_EQ("Tahoma", key("Settings", "Standardfontname"));
    EXPECT_EQ("14", key("Settings", "Standardfontsize"));
    EXPECT_EQ("0", key("Settings", "Showmenu"));
    EXPECT_EQ("1", key("Settings", "wordwrap"));
    EXPECT_EQ("0", key("Settings", "startscreen"));
    EXPECT_NE(std::string::npos, readFile(settingsPath()).find("showmenu=0\r\n"));
    EXPECT_EQ(kCtrl | kAlt | 'N', tray.newNoteHotKey.shortcut());
    EXPECT_TRUE(tray.newNoteHotKey.registered());
    EXPECT_EQ(kCtrl | kAlt | '7', tray.foregroundHotKey.shortcut());
    EXPECT_TRUE(tray.foregroundHotKey.registered());

    // Swapped letters: neither finds its combination held by the other.
    tray.showSettings();
    dialog.newNoteHotKeyEdit.setText("7");
    dialog.foregroundHotKeyEdit.setText("N");
    dialog.okButton.click();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(kCtrl | kAlt | '7', tray.newNoteHotKey.shortcut());
    EXPECT_TRUE(tray.newNoteHotKey.registered());
    EXPECT_EQ(kCtrl | kAlt | 'N', tray.foregroundHotKey.shortcut());
    EXPECT_TRUE(tray.foregroundHotKey.registered());
}

// The hot keys follow the file: while the file does not take the new values,
// the running hot keys stay as they are and the dialog stays open.
TEST_F(SettingsDialogTest, FileThatCannotBeWrittenKeepsTheDialogOpenAndTheHotKeys) {
    writeKeys({{"Settings", "Hotkey_neu", "K"}});
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    tray.showSettings();
    dialog.newNoteHotKeyEdit.setText("N");
    // Held open by someone else: it can be read, not replaced.
    HANDLE held = CreateFileW(widen(settingsPath()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    dialog.okButton.click();
    CloseHandle(held);

    ASSERT_EQ(1u, errors_.size());
    EXPECT_NE(std::string::npos, errors_[0].find("kann nicht geschrieben werden")) << errors_[0];
    errors_.clear();
    EXPECT_TRUE(dialog.visible());
    EXPECT_EQ(kCtrl | kAlt | 'K', tray.newNoteHotKey.shortcut());
    EXPECT_TRUE(tray.newNoteHotKey.registered());
    EXPECT_EQ("K", key("Settings", "Hotkey_neu"));
}

TEST_F(SettingsDialogTest, CancelWritesNothingAndTheNextShowForgetsTheEdits) {
    writeKeys({{"Settings", "Hotkey_neu", "N"}, {"Settings", "Standardfontsize", "12"}});
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    const std::string before = readFile(settingsPath());

    const auto edit = [&] {
        tray.showSettings();
        dialog.newNoteHotKeyEdit.setText("Q");
        dialog.fontSizeEdit.setText("30");
        dialog.splashCheckBox.setChecked(false);
    };
    edit();
    dialog.cancelButton.click();
    EXPECT_FALSE(dialog.visible());
    edit();
    SetFocus(dialog.newNoteHotKeyEdit.handle());
    EXPECT_TRUE(press(VK_ESCAPE));
    EXPECT_FALSE(dialog.visible());

    EXPECT_EQ(before, readFile(settingsPath()));
    EXPECT_EQ(kCtrl | kAlt | 'N', tray.newNoteHotKey.shortcut());
    tray.showSettings();
    EXPECT_EQ("N", dialog.newNoteHotKeyEdit.text());
    EXPECT_EQ("12", dialog.fontSizeEdit.text());
    EXPECT_TRUE(dialog.splashCheckBox.checked());
}

TEST_F(SettingsDialogTest, FontSizeStaysWithinSixToTwoHundred) {
    writeKeys({{"Settings", "Standardfontsize", "500"}});
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    tray.showSettings();
    EXPECT_EQ("200", dialog.fontSizeEdit.text()) << "a stored size above the range";
    dialog.cancelButton.click();
    writeKeys({{"Settings", "Standardfontsize", "2"}});
    tray.showSettings();
    EXPECT_EQ("6", dialog.fontSizeEdit.text()) << "a stored size below the range";

    // Typed sizes come to the nearer bound when the field is left.
    for (const auto& [typed, shown] : std::vector<std::pair<std::string, std::string>>{
             {"250", "200"}, {"3", "6"}, {"99999999999", "200"}, {"zwölf", "6"}, {"", "6"}}) {
        dialog.fontSizeEdit.setFocus();
        dialog.fontSizeEdit.setText(typed);
        dialog.wordWrapCheckBox.setFocus();
        EXPECT_EQ(shown, dialog.fontSizeEdit.text()) << typed;
    }
    // The arrows stop at the upper bound.
    dialog.fontSizeEdit.setText("199");
    dialog.fontSizeEdit.setFocus();
    for (int i = 0; i < 3; ++i) SendMessageW(dialog.fontSizeEdit.handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ("200", dialog.fontSizeEdit.text());

    // What is written without leaving the field first.
    for (const auto& [typed, written] : std::vector<std::pair<std::string, std::string>>{
             {"zwölf", "6"}, {"1000", "200"}, {"42", "42"}}) {
        tray.showSettings();
        dialog.fontSizeEdit.setFocus();
        dialog.fontSizeEdit.setText(typed);
        EXPECT_TRUE(press(VK_RETURN));
        EXPECT_EQ(written, key("Settings", "Standardfontsize")) << typed;
    }
}

TEST_F(SettingsDialogTest, CharacterThatMakesNoKeyIsRefusedAndAnEmptyOneMeansNoHotKey) {
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    tray.showSettings();

    const auto refused = [&](const std::string& newNote, const std::string& foreground,
                             const std::string& named, HWND focus) {
        dialog.newNoteHotKeyEdit.setText(newNote);
        dialog.foregroundHotKeyEdit.setText(foreground);
        BoxAnswerer boxes;
        dialog.okButton.click();
        ASSERT_EQ(1u, boxes.boxes.size());
        EXPECT_EQ("Grundeinstellungen", boxes.boxes[0].caption);
        EXPECT_NE(std::string::npos, boxes.boxes[0].text.find(named)) << boxes.boxes[0].text;
        EXPECT_TRUE(dialog.visible());
        EXPECT_EQ(focus, GetFocus());
        EXPECT_FALSE(fileExists(settingsPath())) << "nothing written";
    };
    refused("ä", "X", "„neue Notiz“ kann nicht „ä“", dialog.newNoteHotKeyEdit.handle());
    refused("K", "#", "„in den Vordergrund“ kann nicht „#“", dialog.foregroundHotKeyEdit.handle());
    refused("K", " ", "„in den Vordergrund“ kann nicht „ “", dialog.foregroundHotKeyEdit.handle());
    EXPECT_EQ(kCtrl | kAlt | 'K', tray.newNoteHotKey.shortcut());
    EXPECT_EQ(kCtrl | kAlt | 'X', tray.foregroundHotKey.shortcut());

    dialog.newNoteHotKeyEdit.setText("K");
    dialog.foregroundHotKeyEdit.setText("");
    BoxAnswerer boxes;
    dialog.okButton.click();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ("", key("Settings", "Hotkey_Vordergrund"));
    EXPECT_EQ(0, tray.foregroundHotKey.shortcut());
    EXPECT_FALSE(tray.foregroundHotKey.registered());
    EXPECT_TRUE(tray.newNoteHotKey.registered());
}

TEST_F(SettingsDialogTest, RefusedHotKeyIsNamedAfterOkAndAtStartWhileTheOtherApplies) {
    ForeignHotKey foreign('Q');
    ASSERT_TRUE(foreign.held());
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;

    tray.showSettings();
    dialog.newNoteHotKeyEdit.setText("q");
    dialog.foregroundHotKeyEdit.setText("Y");
    std::string told;
    {
        BoxAnswerer boxes;
        dialog.okButton.click();
        ASSERT_EQ(1u, boxes.boxes.size());
        EXPECT_EQ("Tavelin 2000", boxes.boxes[0].caption);
        told = boxes.boxes[0].text;
    }
    EXPECT_NE(std::string::npos, told.find("Strg+Alt+Q für „neue Notiz“")) << told;
    EXPECT_EQ(std::string::npos, told.find("Vordergrund")) << told;
    EXPECT_EQ("Q", key("Settings", "Hotkey_neu")) << "the letter is stored all the same";
    EXPECT_FALSE(tray.newNoteHotKey.registered());
    EXPECT_TRUE(tray.foregroundHotKey.registered());

    // The next start says the same, once its message loop runs.
    stop();
    start(false);
    BoxAnswerer boxes;
    ASSERT_TRUE(pumpUntil([&] { return !boxes.boxes.empty(); }));
    EXPECT_EQ(told, boxes.boxes[0].text);
    EXPECT_TRUE(tray_->foregroundHotKey.registered());

    // One letter for both: the second finds it taken by the first.
    tray_->showSettings();
    settings_->newNoteHotKeyEdit.setText("Z");
    settings_->foregroundHotKeyEdit.setText("z");
    settings_->okButton.click();
    ASSERT_EQ(2u, boxes.boxes.size());
    EXPECT_NE(std::string::npos,
              boxes.boxes[1].text.find("Strg+Alt+Z für „in den Vordergrund“ ist bereits durch "
                                       "„neue Notiz“ belegt"))
        << boxes.boxes[1].text;
    EXPECT_TRUE(tray_->newNoteHotKey.registered());
}

TEST_F(SettingsDialogTest, KeyboardWorksAsInADialogBox) {
    TrayController& tray = start(false);
    SettingsDialog& dialog = *settings_;
    tray.showSettings();
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == dialog.fontNameComboBox.handle(); }));

    // Tab follows the layout: font row, check boxes, hot keys, buttons.
    for (StdControl* next : std::vector<StdControl*>{
             &dialog.fontSizeEdit, &dialog.buttonBarCheckBox, &dialog.wordWrapCheckBox, &dialog.splashCheckBox, &dialog.newNoteHotKeyEdit,
             &dialog.foregroundHotKeyEdit, &dialog.okButton, &dialog.cancelButton, &dialog.fontNameComboBox}) {
        EXPECT_TRUE(press(VK_TAB));
        EXPECT_EQ(next->handle(), GetFocus()) << next->id();
    }

    // Enter in a field is "&O.K.", Enter on "&abbrechen" is that button.
    dialog.newNoteHotKeyEdit.setFocus();
    dialog.newNoteHotKeyEdit.setText("m");
    EXPECT_TRUE(press(VK_RETURN));
    EXPECT_FALSE(dialog.visible());
    EXPECT_EQ("M", key("Settings", "Hotkey_neu"));

    tray.showSettings();
    dialog.newNoteHotKeyEdit.setText("P");
    dialog.cancelButton.setFocus();
    EXPECT_TRUE(press(VK_RETURN));
    EXPECT_FALSE(dialog.visible());
    EXPECT_EQ("M", key("Settings", "Hotkey_neu"));
}

// ---- Both dialogs as the user sees them

struct Extent {
    int width = 0, lines = 0, lineHeight = 0;
};

// The widest line of a control's text in the control's own font.
Extent textExtent(HWND control) {
    std::wstring text = test::windowText(control);
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    Extent extent;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str() + start, static_cast<int>(end - start), &size);
        extent.width = std::max<int>(extent.width, size.cx);
        extent.lineHeight = size.cy;
        ++extent.lines;
        start = end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent;
}

void expectTextsWhole(DialogForm& dialog, int clientWidth, int clientHeight) {
    RECT client{};
    GetClientRect(dialog.handle(), &client);
    EXPECT_EQ(clientWidth, client.right);
    EXPECT_EQ(clientHeight, client.bottom);
    for (HWND c = GetWindow(dialog.handle(), GW_CHILD); c != nullptr;
         c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog.handle(), reinterpret_cast<POINT*>(&r), 2);
        const std::string name = narrow(test::windowText(c));
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right &&
                    r.bottom <= client.bottom)
            << name;
        wchar_t cls[32] = {};
        GetClassNameW(c, cls, 32);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        int margin = 0;
        if (lstrcmpiW(cls, L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            margin = type == BS_AUTOCHECKBOX ? GetSystemMetrics(SM_CXMENUCHECK) + 6
                     : type == BS_GROUPBOX   ? 16
                                             : 8;
        } else if (lstrcmpiW(cls, L"Static") != 0) {
            continue;
        }
        const Extent text = textExtent(c);
        EXPECT_LE(text.width + margin, r.right - r.left) << name;
        if (lstrcmpiW(cls, L"Static") == 0)
            EXPECT_LE(text.lines * text.lineHeight, r.bottom - r.top) << name;
    }
}

TEST_F(ProgramDialogsTest, BothDialogsShowTheirTextsWhole) {
    TrayController& tray = start(false);
    tray.showSettings();
    tray.showHiddenNotes();
    EXPECT_EQ("Grundeinstellungen", settings_->caption());
    EXPECT_EQ("unsichtbare Notizen ", hiddenNotes_->caption());
    expectTextsWhole(*settings_, 388, 187);
    expectTextsWhole(*hiddenNotes_, 363, 240);
}

// ---- Hidden notes

class HiddenNotesTest : public ProgramDialogsTest {
protected:
    // Two notes, both with the title "Einkauf" unless told otherwise.
    TrayController& startWithTwoNotes(const std::string& secondTitle = "Einkauf") {
        writeKeys({{"Settings", "Notizanzahl", "2"},
                   {"Settings", "startscreen", "0"},
                   {"Notiz1", "active", "1"},
                   {"Notiz1", "NotizTitel", "\"Einkauf  \""},
                   {"Notiz1", "showclock", "1"},
                   {"Notiz1", "PixelsPerInch", "96"},
                   {"Notiz1", "NormPos", "100,100,370,340"},
                   {"Notiz2", "active", "1"},
                   {"Notiz2", "NotizTitel", "\"" + secondTitle + "  \""},
                   {"Notiz2", "PixelsPerInch", "96"},
                   {"Notiz2", "NormPos", "500,100,770,340"}});
        TrayController& tray = start(true);
        EXPECT_EQ(2u, tray.notes().size());
        return tray;
    }
    NoteWindow& note(const std::string& name) { return *tray_->findNote(name); }
    void hide(NoteWindow& n) { n.hideItem.click(n.handle()); }
    void bringBack(int line) {
        hiddenNotes_->hiddenNotesList.setItemIndex(line);
        hiddenNotes_->showNoteButton.click();
    }
    static std::string uns(const std::string& section, const std::string& name) {
        return key(section, name, unsIniPath());
    }
};

TEST_F(HiddenNotesTest, HidingSavesFirstAndShowingBringsBackTheLatestState) {
    TrayController& tray = startWithTwoNotes("Telefon");
    NoteWindow& one = note("Notiz1");

    // Both items are offered now that the list exists.
    std::vector<MenuItem*> commands;
    MenuHandle trayMenu = tray.trayMenu.build(commands);
    EXPECT_NE(commands.end(),
              std::find(commands.begin(), commands.end(), &tray.hiddenNotesItem));
    MenuHandle noteMenu = one.viewMenu.build(commands);
    EXPECT_NE(commands.end(), std::find(commands.begin(), commands.end(), &one.hideItem));

    // Changed since the file was written: place, colour and alarm time.
    one.setBounds(300, 200, 250, 220);
    one.memo1.setColor(RGB(0, 255, 0));
    one.RxClock1.setAlarmHour(7);
    hide(one);

    EXPECT_FALSE(one.visible());
    EXPECT_TRUE(note("Notiz2").visible());
    EXPECT_EQ("300,200,550,420", key("Notiz1", "NormPos"));
    EXPECT_EQ("65280", key("Notiz1", "memo1_Color"));
    EXPECT_EQ("7", key("Notiz1", "RxClock1_AlarmHour"));
    EXPECT_EQ("Notiz1", uns("Einkauf  ", "intname"));
    EXPECT_EQ("0", uns("Einkauf  ", "sichtbar"));
    ASSERT_EQ(1, hiddenNotes_->hiddenNotesList.count());
    EXPECT_EQ("Einkauf  ", hiddenNotes_->hiddenNotesList.item(0));

    // A hidden note keeps running: its clock goes on asking the time.
    int clockReads = 0;
    one.RxClock1.now = [&] {
        ++clockReads;
        SYSTEMTIME t;
        GetLocalTime(&t);
        return t;
    };
    EXPECT_TRUE(pumpUntil([&] { return clockReads >= 2; }));

    tray.showHiddenNotes();
    EXPECT_TRUE(hiddenNotes_->visible());
    bringBack(0);
    EXPECT_TRUE(one.visible());
    RECT r{};
    GetWindowRect(one.handle(), &r);
    EXPECT_EQ(300, r.left);
    EXPECT_EQ(200, r.top);
    EXPECT_EQ(550, r.right);
    EXPECT_EQ(420, r.bottom);
    EXPECT_EQ(RGB(0, 255, 0), one.memo1.color());
    EXPECT_EQ(7, one.RxClock1.alarmHour());
    EXPECT_EQ("1", uns("Einkauf  ", "sichtbar"));
    EXPECT_EQ(1, hiddenNotes_->hiddenNotesList.count()) << "the line stays";

    hiddenNotes_->okButton.click();
    EXPECT_FALSE(hiddenNotes_->visible());
}

TEST_F(HiddenNotesTest, EachLineBringsBackItsOwnNoteWhenTitlesAreTheSame) {
    startWithTwoNotes();
    hide(note("Notiz1"));
    hide(note("Notiz2"));
    EXPECT_EQ("Notiz2", uns("Einkauf  ", "intname")) << "one section, the later note";
    ASSERT_EQ(2, hiddenNotes_->hiddenNotesList.count());

    bringBack(0);
    EXPECT_TRUE(note("Notiz1").visible());
    EXPECT_FALSE(note("Notiz2").visible());
    bringBack(1);
    EXPECT_TRUE(note("Notiz2").visible());
}

TEST_F(HiddenNotesTest, NothingToBringBackDoesNothingAndSaysNothing) {
    TrayController& tray = startWithTwoNotes();
    bringBack(-1);
    EXPECT_FALSE(fileExists(unsIniPath()));

    // The note of the first line is deleted and its number goes to a new
    // note, which is hidden in turn.
    hide(note("Notiz1"));
    bringBack(0);
    {
        BoxAnswerer confirm;
        note("Notiz1").deleteNoteWithConfirmation();
    }
    ASSERT_TRUE(pumpUntil([&] { return tray.findNote("Notiz1") == nullptr; }));
    {
        BoxAnswerer title("Neu");
        tray.newNote();
    }
    NoteWindow& fresh = note("Notiz1");
    hide(fresh);
    ASSERT_EQ(2, hiddenNotes_->hiddenNotesList.count());

    bringBack(-1);
    EXPECT_FALSE(fresh.visible());
    const std::string before = readFile(unsIniPath());
    bringBack(0);
    EXPECT_FALSE(fresh.visible()) << "the deleted note's line does not show the new one";
    EXPECT_EQ(before, readFile(unsIniPath()));
    bringBack(1);
    EXPECT_TRUE(fresh.visible());
}

}  // namespace
}  // namespace tav
