// The note window in-process: created with a small host in a fresh program
// directory, driven through its handlers and its real dialogs, checked by its
// windows and by the files it leaves.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "KitTestSupport.h"
#include "desktop/Utf.h"
#include "forms/Dialogs.h"
#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

using namespace tav;
using tav::test::readFile;

namespace {

// The key names of one section, in file order.
std::vector<std::string> sectionKeys(const std::string& path, const std::string& section) {
    std::vector<std::string> keys;
    std::istringstream in(readFile(path));
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        const auto eq = line.find('=');
        if (inside && eq != std::string::npos) keys.push_back(line.substr(0, eq));
    }
    return keys;
}

std::string windowText(HWND h) {
    wchar_t buffer[512] = {};
    GetWindowTextW(h, buffer, 512);
    return narrow(buffer);
}

// Answers the next dialog of this process with the given caption from a
// second thread, while the first one sits in the dialog's modal loop.
class DialogDriver {
public:
    DialogDriver(std::string caption, std::function<void(HWND)> answer)
        : caption_(widen(caption)), answer_(std::move(answer)) {
        thread_ = std::thread([this] { run(); });
    }
    ~DialogDriver() { thread_.join(); }
    bool found() const { return found_; }

private:
    void run() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < limit) {
            HWND dialog = FindWindowW(L"#32770", caption_.c_str());
            if (dialog != nullptr && IsWindowVisible(dialog)) {
                found_ = true;
                answer_(dialog);
                return;
            }
            Sleep(10);
        }
        // A box with an unexpected caption would otherwise hold the test.
        if (HWND other = FindWindowW(L"#32770", nullptr))
            PostMessageW(other, WM_COMMAND, IDCANCEL, 0);
    }

    std::wstring caption_;
    std::function<void(HWND)> answer_;
    std::atomic<bool> found_{false};
    std::thread thread_;
};

class FakeHost : public NoteHost {
public:
    FakeHost() {
        owner_ = CreateWindowExW(0, L"STATIC", L"TavelinTestOwner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~FakeHost() override { DestroyWindow(owner_); }

    HWND ownerWindow() const override { return owner_; }
    const std::string& currentNoteName() const override { return name_; }
    void setCurrentNoteName(const std::string& name) override { name_ = name; }
    SlotTable& slotTable() override { return slots_; }
    NoteWindow& createNoteWindow() override { throw std::logic_error("not in these tests"); }
    int raiseNoteCounter() override { return ++counter_; }
    NoteWindow* findNote(const std::string&) const override { return nullptr; }
    void newNote() override { ++newNotes; }
    void showSettings() override { ++settings; }
    void showAbout() override { ++abouts; }
    void hideNote(NoteWindow&) override {}
    void exitProgram() override { ++exits; }
    void releaseNote(NoteWindow* note) override {
        released = note;
        note->postRelease();
    }

    int newNotes = 0, settings = 0, abouts = 0, exits = 0;
    NoteWindow* released = nullptr;

private:
    HWND owner_ = nullptr;
    std::string name_ = "Notiz3";
    SlotTable slots_;
    int counter_ = 0;
};

class NoteWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setProgramDir(dir_);
        setErrorBoxFunction([this](HWND, const std::string& text) { errors_.push_back(text); });
    }

    void TearDown() override {
        note_.reset();
        host_.reset();
        test::pumpMessages();
        setErrorBoxFunction(nullptr);
        EXPECT_TRUE(errors_.empty()) << errors_.front();
    }

    // Creates the note, shows it and lets both start-up ticks run. The
    // title comes before the show, as the tray controller gives it.
    NoteWindow& open(const std::string& name = "Notiz3", const std::string& title = "") {
        host_->setCurrentNoteName(name);
        note_ = std::make_unique<NoteWindow>(*host_);
        if (!title.empty()) note_->setTitle(title);
        note_->show();
        EXPECT_TRUE(test::pumpUntil([&] { return note_->startupTicksDone(); }));
        return *note_;
    }

    void writeSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& values) {
        IniFile ini(settingsPath());
        for (const auto& [key, value] : values) ini.writeString(section, key, value);
        ini.close();
    }

    std::string value(const std::string& key, const std::string& section = "Notiz3") {
        IniFile ini(settingsPath());
        return ini.readString(section, key, "<fehlt>");
    }

    RECT windowRect() const {
        RECT r{};
        GetWindowRect(note_->handle(), &r);
        return r;
    }

    test::TempFolder folder_{"note"};
    const std::string dir_ = folder_.path();
    std::vector<std::string> errors_;
    std::unique_ptr<FakeHost> host_ = std::make_unique<FakeHost>();
    std::unique_ptr<NoteWindow> note_;
};

TEST_F(NoteWindowTest, CreationWritesActiveAndStartsInViewMode) {
    NoteWindow& note = open();
    EXPECT_EQ("Notiz3", note.name());
    EXPECT_EQ("1", value("active"));
    EXPECT_EQ(host_->ownerWindow(), GetWindow(note.handle(), GW_OWNER));

    const LONG style = GetWindowLongW(note.handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_DLGFRAME);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_SYSMENU);  // it would take the title line's right click

    EXPECT_FALSE(note.inEditMode());
    EXPECT_TRUE(note.memo1.readOnly());
    EXPECT_TRUE(note.viewBar.visible());
    EXPECT_FALSE(note.editBar.visible());
    EXPECT_EQ(ScrollBars::Both, note.memo1.scrollBars());
    // Tick 2 has read the clock's switch: off.
    EXPECT_FALSE(note.RxClock1.visible());
    EXPECT_FALSE(note.clockItem.checked);
}

// The colour most of the title line shows: its background.
COLORREF titleLineColour(NoteWindow& note) {
    const test::Snapshot shot(note.handle());
    const LayoutRect& r = note.titleLine.bounds();
    return shot.mostIn({r.x, r.y, r.x + r.w, r.y + r.h});
}

// The designed values that a user meets on a new note, each held here once,
// measured where the user sees them.
TEST_F(NoteWindowTest, NewNoteShowsTheDesignedValues) {
    NoteWindow& note = open();
    struct Row {
        const char* what;
        long long expected, actual;
    };
    std::vector<Row> rows = {
        {"width", 270, note.width()},
        {"height", 240, note.height()},
        {"left, out of the screen's corner", 160, note.left()},
        {"top, out of the screen's corner", 160, note.top()},
        {"title line in view mode", 2674653, titleLineColour(note)},
        {"text colour, yellow", 0x00FFFF, note.memo1.color()},
    };
    note.enterEditMode();
    rows.push_back({"title line in edit mode, red", 255, titleLineColour(note)});
    note.toggleClock();
    RECT clock{};
    GetClientRect(note.RxClock1.handle(), &clock);
    rows.push_back({"clock strip height", 17, clock.bottom});
    note.toggleRollUp();
    rows.push_back({"height rolled up", 19, note.height()});
    for (const Row& row : rows) EXPECT_EQ(row.expected, row.actual) << row.what;
    EXPECT_EQ("Tavelin2000 Notiz  ", note.titleLine.text());
    EXPECT_EQ("Tavelin2000 Notiz", windowText(note.handle()));
}

// Where a child window sits in the note's client area.
RECT placeIn(HWND child, HWND parent) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Title line, tool bar, text and clock follow each other without a gap or
// an overlap, and the text takes the rest of the note.
TEST_F(NoteWindowTest, LayoutStacksTitleBarTextAndClock) {
    NoteWindow& note = open();
    const HWND w = note.handle();
    RECT client{};
    GetClientRect(w, &client);
    const RECT bar = placeIn(note.viewBar.handle(), w);
    RECT memo = placeIn(note.memo1.handle(), w);
    EXPECT_EQ(0, note.titleLine.bounds().y);
    EXPECT_EQ(note.titleLine.bounds().y + note.titleLine.bounds().h, bar.top);
    EXPECT_EQ(bar.bottom, memo.top);
    EXPECT_EQ(client.bottom, memo.bottom);
    EXPECT_EQ(client.right, memo.right);

    note.toggleClock();
    memo = placeIn(note.memo1.handle(), w);
    const RECT clock = placeIn(note.RxClock1.handle(), w);
    EXPECT_EQ(bar.bottom, memo.top);
    EXPECT_EQ(memo.bottom, clock.top);
    EXPECT_EQ(client.bottom, clock.bottom);
    EXPECT_EQ(client.right, clock.right);
    EXPECT_EQ("1", value("showclock"));
}

TEST_F(NoteWindowTest, NarrowNoteWrapsTheEditBarInsteadOfCuttingButtonsOff) {
    NoteWindow& note = open();
    note.enterEditMode();
    auto lastButtonInside = [&] {
        RECT last{}, bar{};
        const LRESULT count = SendMessageW(note.editBar.handle(), TB_BUTTONCOUNT, 0, 0);
        SendMessageW(note.editBar.handle(), TB_GETITEMRECT, count - 1,
                     reinterpret_cast<LPARAM>(&last));
        GetClientRect(note.editBar.handle(), &bar);
        return last.right <= bar.right && last.bottom <= bar.bottom;
    };
    auto barMeetsText = [&] {
        return placeIn(note.editBar.handle(), note.handle()).bottom ==
               placeIn(note.memo1.handle(), note.handle()).top;
    };
    const int narrowHeight = note.editBar.height();
    EXPECT_TRUE(lastButtonInside());
    EXPECT_TRUE(barMeetsText());

    note.setWidth(400);
    test::pumpMessages();
    EXPECT_LT(note.editBar.height(), narrowHeight) << "one row where the buttons fit";
    EXPECT_TRUE(lastButtonInside());
    EXPECT_TRUE(barMeetsText());
}

// Moved to a monitor of twice the density (as the system reports it: Wine
// never does), the note takes the suggested rectangle and lays itself out
// anew: every part twice its size, the drag limits too.
TEST_F(NoteWindowTest, TwiceTheDensityDoublesEveryPartOfTheNote) {
    NoteWindow& note = open();
    note.toggleClock();
    test::pumpMessages();
    auto inClient = [&](HWND child) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, note.handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT outer = windowRect();
    const RECT memo = inClient(note.memo1.handle());
    const RECT clock = inClient(note.RxClock1.handle());
    const RECT bar = inClient(note.viewBar.handle());

    RECT suggested{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
                   outer.top + 2 * (outer.bottom - outer.top)};
    SendMessageW(note.handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
    test::pumpMessages();

    const RECT now = windowRect();
    EXPECT_TRUE(EqualRect(&suggested, &now));
    RECT client{};
    GetClientRect(note.handle(), &client);
    EXPECT_EQ(2 * memo.top, inClient(note.memo1.handle()).top);  // under title line and bar
    EXPECT_EQ(2 * bar.top, inClient(note.viewBar.handle()).top);
    EXPECT_EQ(2 * (bar.bottom - bar.top),
              inClient(note.viewBar.handle()).bottom - inClient(note.viewBar.handle()).top);
    EXPECT_EQ(2 * (clock.bottom - clock.top),
              inClient(note.RxClock1.handle()).bottom - inClient(note.RxClock1.handle()).top);
    EXPECT_EQ(client.bottom, inClient(note.RxClock1.handle()).bottom);
    EXPECT_EQ(client.right, inClient(note.memo1.handle()).right);
    EXPECT_EQ(MAKELONG(42, 42), SendMessageW(note.viewBar.handle(), TB_GETBUTTONSIZE, 0, 0));

    MINMAXINFO info{};
    SendMessageW(note.handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(40, info.ptMinTrackSize.x);
    EXPECT_EQ(42, info.ptMinTrackSize.y);
    EXPECT_EQ(1536, info.ptMaxTrackSize.x);

    note.toggleRollUp();  // rolled up to the title line
    EXPECT_EQ(38, windowRect().bottom - windowRect().top);
}

// A real right click through the system's input queue, answered by the
// first item of whatever pop-up menu opens (empty: none opened).
std::wstring rightClickMenu(POINT screen) {
    std::wstring first;
    std::atomic<bool> done{false};
    std::thread clicker([&] {
        test::clickAt(screen, true);
        const ULONGLONG start = GetTickCount64();
        while (GetTickCount64() - start < test::kWaitLimitMs) {
            HWND menu = FindWindowW(L"#32768", nullptr);
            if (menu != nullptr && IsWindowVisible(menu)) {
                HMENU h = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
                wchar_t text[128] = {};
                GetMenuStringW(h, 0, text, 128, MF_BYPOSITION);
                first = text;
                PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                break;
            }
            Sleep(10);
        }
        done = true;
    });
    // The menu's own loop runs inside pumpMessages() until the Escape closes it.
    while (!done) {
        test::pumpMessages();
        Sleep(5);
    }
    clicker.join();
    test::pumpMessages();
    return first;
}

TEST_F(NoteWindowTest, RightClicksOpenTheMenuOfTheMode) {
    NoteWindow& note = open();
    RECT client{};
    GetClientRect(note.handle(), &client);
    POINT title{client.right - 60, 6};
    ClientToScreen(note.handle(), &title);
    EXPECT_EQ(L"Notiz-Eigenschaften", rightClickMenu(title));

    RECT memo{};
    GetWindowRect(note.memo1.handle(), &memo);
    const POINT text{memo.left + 40, memo.top + 40};
    EXPECT_EQ(L"Notiz-Eigenschaften", rightClickMenu(text));
    note.enterEditMode();
    EXPECT_EQ(L"Textaktionen", rightClickMenu(text));
    // The title line keeps the view menu in edit mode.
    EXPECT_EQ(L"Notiz-Eigenschaften", rightClickMenu(title));
}

TEST_F(NoteWindowTest, StartupTickLoadsTextAndClockFromTheRecord) {
    { std::ofstream(dir_ + "Notiz3.tvn", std::ios::binary) << "{\\rtf1\\ansi Wochenmarkt\\par}"; }
    writeSection("Notiz3", {{"showclock", "1"}});
    NoteWindow& note = open();
    EXPECT_NE(std::string::npos, note.memo1.text().find("Wochenmarkt"));
    EXPECT_TRUE(note.RxClock1.visible());
    EXPECT_TRUE(note.clockItem.checked);
}

TEST_F(NoteWindowTest, EditThenSaveWritesTheFileAndReturnsToViewMode) {
    NoteWindow& note = open();
    EXPECT_EQ(nullptr, note.editBar.handle()) << "the edit bar is made when first needed";
    note.enterEditMode();
    EXPECT_TRUE(note.inEditMode());
    EXPECT_EQ(note.titleLine.color(), note.titleButtons.color()) << "the small bar is part of the line";
    EXPECT_FALSE(note.viewBar.visible());
    EXPECT_TRUE(note.editBar.visible());
    ASSERT_NE(nullptr, note.editBar.handle());
    EXPECT_TRUE(IsWindowVisible(note.editBar.handle()));
    EXPECT_EQ(note.editBar.buttons().size(),
              static_cast<size_t>(SendMessageW(note.editBar.handle(), TB_BUTTONCOUNT, 0, 0)));
    EXPECT_FALSE(note.taskbarKeeper.enabled());

    note.memo1.replaceSel("Brot und Käse");
    note.saveAndEnterViewMode();
    EXPECT_FALSE(note.inEditMode());
    EXPECT_EQ(2674653, titleLineColour(note));
    EXPECT_EQ(note.titleLine.color(), note.titleButtons.color());
    EXPECT_TRUE(note.viewBar.visible());
    EXPECT_FALSE(note.editBar.visible());
    EXPECT_TRUE(note.showEditBarItem.visible);
    const std::string saved = readFile(dir_ + "Notiz3.tvn");
    EXPECT_EQ(0u, saved.rfind("{\\rtf", 0));
    EXPECT_NE(std::string::npos, saved.find("Brot und K"));
    // Saving touches the text file only.
    EXPECT_EQ("<fehlt>", value("Wordwrap"));
}

TEST_F(NoteWindowTest, TaskbarKeeperRunsOnceAfterASaveAndThenCostsNothing) {
    NoteWindow& note = open();
    note.enterEditMode();
    // Something took the owner away: the note would get a taskbar button.
    SetWindowLongPtrW(note.handle(), GWLP_HWNDPARENT, 0);
    note.saveAndEnterViewMode();
    EXPECT_TRUE(note.taskbarKeeper.enabled());
    ASSERT_TRUE(test::pumpUntil([&] { return !note.taskbarKeeper.enabled(); }));
    EXPECT_EQ(host_->ownerWindow(), GetWindow(note.handle(), GW_OWNER));
}

TEST_F(NoteWindowTest, ShortcutsFollowTheTextsMenu) {
    NoteWindow& note = open();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(note.memo1.handle(), WM_KEYDOWN, 'S', 0);  // save: not in the view menu
    EXPECT_FALSE(note.inEditMode());
    EXPECT_FALSE(fileExists(dir_ + "Notiz3.tvn"));
    SendMessageW(note.memo1.handle(), WM_KEYDOWN, 'B', 0);
    EXPECT_TRUE(note.inEditMode());
    SendMessageW(note.memo1.handle(), WM_KEYDOWN, 'S', 0);
    EXPECT_FALSE(note.inEditMode());
    EXPECT_TRUE(fileExists(dir_ + "Notiz3.tvn"));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

TEST_F(NoteWindowTest, SaveOnExitKeepsTextTypedInEditModeOnly) {
    NoteWindow& note = open();
    note.saveOnExit();
    EXPECT_FALSE(fileExists(dir_ + "Notiz3.tvn"));
    note.enterEditMode();
    note.memo1.replaceSel("nicht verlieren");
    note.saveOnExit();
    EXPECT_NE(std::string::npos, readFile(dir_ + "Notiz3.tvn").find("nicht verlieren"));
    EXPECT_FALSE(note.inEditMode());
}

TEST_F(NoteWindowTest, DeleteAfterOkFreesItsSlotRemovesTheFileAndGoes) {
    host_->slotTable().markUsed(2);
    host_->slotTable().markUsed(12);
    NoteWindow& note = open("Notiz12");
    note.memo1.setColor(RGB(10, 20, 30));
    note.setHeight(300);
    { std::ofstream(dir_ + "Notiz12.tvn") << "{\\rtf1 x}"; }
    const HWND window = note.handle();

    std::string text;
    {
        DialogDriver driver("Notiz löschen", [&](HWND box) {
            text = windowText(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        note.deleteNoteWithConfirmation();
        EXPECT_TRUE(driver.found());
    }
    EXPECT_EQ("Wollen Sie diese Notiz wirklich löschen?", text);
    EXPECT_TRUE(host_->slotTable().isUsed(12)) << "free only when the window has written last";
    EXPECT_FALSE(fileExists(dir_ + "Notiz12.tvn"));
    EXPECT_EQ("0", value("active", "Notiz12"));
    EXPECT_EQ(&note, host_->released);
    ASSERT_TRUE(test::pumpUntil([&] { return !IsWindow(window); }));
    EXPECT_FALSE(host_->slotTable().isUsed(12));
    EXPECT_TRUE(host_->slotTable().isUsed(2));
    // What a later note of this number starts from is the end-to-end test's.
}

// A text file that cannot be written keeps the note in edit mode with all
// its text: it must not look saved.
TEST_F(NoteWindowTest, SaveThatFailsKeepsEditModeAndText) {
    NoteWindow& note = open();
    note.enterEditMode();
    note.memo1.replaceSel("nicht verlieren");
    // A folder of the file's name: no file can be put in its place.
    ASSERT_TRUE(CreateDirectoryW(widen(noteTextPath("Notiz3")).c_str(), nullptr));
    note.saveItem.click();
    ASSERT_EQ(1u, errors_.size()) << "the user is told";
    EXPECT_NE(std::string::npos, errors_[0].find("Notiz3.tvn")) << errors_[0];
    errors_.clear();
    EXPECT_TRUE(note.inEditMode());
    EXPECT_FALSE(note.memo1.readOnly());
    EXPECT_TRUE(note.editBar.visible());
    EXPECT_EQ("nicht verlieren", note.memo1.text());
    EXPECT_EQ(255, titleLineColour(note));

    // Once the way is free, the same command saves.
    RemoveDirectoryW(widen(noteTextPath("Notiz3")).c_str());
    note.saveAndEnterViewMode();
    EXPECT_FALSE(note.inEditMode());
    EXPECT_NE(std::string::npos, readFile(dir_ + "Notiz3.tvn").find("nicht verlieren"));
}

TEST_F(NoteWindowTest, DeleteRefusedByAnotherProgramChangesNothing) {
    host_->slotTable().markUsed(3);
    NoteWindow& note = open();
    note.memo1.replaceSel("Bleibt");
    const std::string path = dir_ + "Notiz3.tvn";
    { std::ofstream(path) << "{\\rtf1 Bleibt}"; }
    auto answerOk = [] {
        return DialogDriver("Notiz löschen",
                            [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    };
    {
        test::FileHeldOpen other(path, "r");
        ASSERT_TRUE(other.holding());
        {
            auto driver = answerOk();
            note.deleteNoteWithConfirmation();
        }
        ASSERT_EQ(1u, errors_.size());
        EXPECT_NE(std::string::npos, errors_[0].find("„Tavelin2000 Notiz“ wurde nicht gelöscht"));
        EXPECT_NE(std::string::npos, errors_[0].find(path));
        errors_.clear();
        test::pumpMessages();
        EXPECT_TRUE(IsWindow(note.handle()));
        EXPECT_EQ(nullptr, host_->released);
        EXPECT_TRUE(host_->slotTable().isUsed(3)) << "the next note must not take number 3";
        EXPECT_EQ("1", value("active"));
        EXPECT_EQ("Bleibt", note.memo1.text().substr(0, 6));
        EXPECT_TRUE(fileExists(path));
    }
    // Once the other program has let go, the same command goes through.
    {
        auto driver = answerOk();
        note.deleteNoteWithConfirmation();
    }
    EXPECT_EQ(&note, host_->released);
    EXPECT_TRUE(test::pumpUntil([&] { return !host_->slotTable().isUsed(3); }));
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ("0", value("active"));
}

TEST_F(NoteWindowTest, DeleteCancelledChangesNothing) {
    host_->slotTable().markUsed(3);
    NoteWindow& note = open();
    { std::ofstream(dir_ + "Notiz3.tvn") << "{\\rtf1 x}"; }
    {
        DialogDriver driver("Notiz löschen",
                            [](HWND box) { PostMessageW(box, WM_COMMAND, IDCANCEL, 0); });
        note.deleteNoteWithConfirmation();
        EXPECT_TRUE(driver.found());
    }
    test::pumpMessages();
    EXPECT_TRUE(IsWindow(note.handle()));
    EXPECT_TRUE(host_->slotTable().isUsed(3));
    EXPECT_TRUE(fileExists(dir_ + "Notiz3.tvn"));
    EXPECT_EQ("1", value("active"));
    EXPECT_EQ(nullptr, host_->released);
}

TEST_F(NoteWindowTest, TextFileOfAnotherEditorLoadsAsPlainText) {
    { std::ofstream(dir_ + "Notiz3.tvn", std::ios::binary) << "Einkauf\r\nK\xE4se"; }
    NoteWindow& note = open();
    EXPECT_EQ("Einkauf\rKäse", note.memo1.text().substr(0, 13));
    note.enterEditMode();
    note.memo1.replaceSel("Brot ");
    note.saveAndEnterViewMode();
    EXPECT_FALSE(note.inEditMode());
    const std::string saved = readFile(dir_ + "Notiz3.tvn");
    EXPECT_EQ(0u, saved.rfind("{\\rtf", 0));
    EXPECT_NE(std::string::npos, saved.find("Einkauf"));
}

// A cut-off file, one that another program holds, a folder in its place:
// said once, shown as far as it goes, and never written over unless the
// user has typed something new and says so.
TEST_F(NoteWindowTest, UnreadableTextIsToldOnceAndNotWrittenOverUnasked) {
    const std::string path = dir_ + "Notiz3.tvn";
    const std::string cutOff = "{\\rtf1\\ansi Anfang ohne Ende";
    { std::ofstream(path, std::ios::binary) << cutOff; }
    NoteWindow& note = open("Notiz3", "Einkauf");
    ASSERT_EQ(1u, errors_.size());
    EXPECT_NE(std::string::npos, errors_[0].find("Notiz „Einkauf“ konnte nicht gelesen werden"));
    EXPECT_NE(std::string::npos, errors_[0].find(path));
    errors_.clear();
    EXPECT_EQ("Anfang", note.memo1.text().substr(0, 6)) << "what could be read shows";

    // Saved without a change: nothing is written.
    note.enterEditMode();
    note.saveAndEnterViewMode();
    EXPECT_FALSE(note.inEditMode());
    EXPECT_EQ(cutOff, readFile(path));

    note.enterEditMode();
    note.memo1.replaceSel("Neu: ");
    auto save = [&](int answer) {
        std::string question;
        DialogDriver driver("Notiz speichern", [&](HWND box) {
            question = windowText(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, answer, 0);
        });
        note.saveAndEnterViewMode();
        return question;
    };
    const std::string question = save(IDNO);
    EXPECT_NE(std::string::npos, question.find("Soll die Datei durch den neuen Text ersetzt"));
    EXPECT_TRUE(note.inEditMode()) << "the typed text stays in the note";
    EXPECT_EQ(cutOff, readFile(path));
    save(IDYES);
    EXPECT_FALSE(note.inEditMode());
    EXPECT_NE(std::string::npos, readFile(path).find("Neu: "));
    // From now on the file is the note's own again.
    note.enterEditMode();
    note.memo1.replaceSel("Mehr ");
    note.saveAndEnterViewMode();
    EXPECT_NE(std::string::npos, readFile(path).find("Mehr "));
}

TEST_F(NoteWindowTest, FileHeldOpenOrAFolderAtStartIsToldToo) {
    const std::string path = dir_ + "Notiz3.tvn";
    { std::ofstream(path, std::ios::binary) << "{\\rtf1 gesperrt}"; }
    {
        test::FileHeldOpen other(path, "-");
        ASSERT_TRUE(other.holding());
        open();
    }
    EXPECT_EQ(1u, errors_.size());
    note_.reset();
    DeleteFileW(widen(path).c_str());
    CreateDirectoryW(widen(path).c_str(), nullptr);
    open("Notiz3");
    EXPECT_EQ(2u, errors_.size());
    errors_.clear();
    RemoveDirectoryW(widen(path).c_str());
}

TEST_F(NoteWindowTest, FailedSaveKeepsTheTextInEditMode) {
    const std::string path = dir_ + "Notiz3.tvn";
    { std::ofstream(path) << "{\\rtf1 alt}"; }
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
    NoteWindow& note = open();
    note.enterEditMode();
    note.memo1.replaceSel("Nicht verlieren ");
    guarded(note.handle(), [&] { note.saveAndEnterViewMode(); });  // as the menu runs it
    ASSERT_EQ(1u, errors_.size());
    EXPECT_EQ("nach " + path + " kann nicht geschrieben werden", errors_[0]);
    errors_.clear();
    EXPECT_TRUE(note.inEditMode());
    EXPECT_EQ("Nicht verlieren ", note.memo1.text().substr(0, 16));
    EXPECT_EQ("{\\rtf1 alt}", readFile(path));
    SetFileAttributesW(widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(NoteWindowTest, RollUpKeepsTheHeightAndComesBack) {
    NoteWindow& note = open();
    note.setHeight(300);
    // The buttons drawn on the title line take their clicks; the line
    // around them drags the note.
    POINT button{2 + 17 + 7, 6}, line{60, 6};
    ClientToScreen(note.handle(), &button);
    ClientToScreen(note.handle(), &line);
    auto hitTest = [&](POINT p) {
        return SendMessageW(note.handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(HTCLIENT, hitTest(button));
    EXPECT_EQ(HTCAPTION, hitTest(line));
    test::clickAt(button);
    ASSERT_TRUE(test::pumpUntil([&] { return note.rolledUp(); }));
    EXPECT_EQ(19, note.height());
    EXPECT_EQ("2", note.rollUpButton.caption());
    EXPECT_EQ("Notiz wiederherstellen", note.rollUpButton.hint());
    EXPECT_EQ("300", value("restoresize"));
    EXPECT_EQ("1", value("minimiert"));

    note.toggleRollUp();
    EXPECT_FALSE(note.rolledUp());
    EXPECT_EQ(300, note.height());
    EXPECT_EQ("0", note.rollUpButton.caption());
    EXPECT_EQ("Notiz minimieren", note.rollUpButton.hint());
    EXPECT_EQ("0", value("minimiert"));
    EXPECT_FALSE(note.RxClock1.visible());  // "Uhr sichtbar" is off
}

TEST_F(NoteWindowTest, RestoredRolledUpNoteUnrollsToTheDefaultAndItsClock) {
    writeSection("Notiz3", {{"showclock", "1"}});
    NoteWindow& note = open();
    note.showRolledUp();
    EXPECT_EQ(19, note.height());
    EXPECT_FALSE(note.RxClock1.visible());
    note.toggleRollUp();
    EXPECT_EQ(240, note.height());
    EXPECT_TRUE(note.RxClock1.visible());
}

TEST_F(NoteWindowTest, TitleIsOfferedWithoutItsMarginAndStoredQuoted) {
    NoteWindow& note = open();
    std::string offered;
    {
        DialogDriver driver("Notiz-Titel", [&](HWND box) {
            offered = windowText(GetDlgItem(box, kInputBoxEditId));
            SetDlgItemTextW(box, kInputBoxEditId, L"Einkauf   ");
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        note.askForTitle();
        EXPECT_TRUE(driver.found());
    }
    EXPECT_EQ("Tavelin2000 Notiz", offered);
    EXPECT_EQ("Einkauf  ", note.titleLine.text());
    EXPECT_EQ("Einkauf  ", note.titleLine.hint());
    EXPECT_NE(std::string::npos, readFile(settingsPath()).find("NotizTitel=\"Einkauf  \"\r\n"));

    // The stored title as the restore hands it over: the margin does not grow.
    note.setTitle("Einkauf  ");
    EXPECT_EQ("Einkauf  ", note.titleLine.text());
}

TEST_F(NoteWindowTest, ButtonBarOffInEditModeOffersTheEditBar) {
    NoteWindow& note = open();
    note.enterEditMode();
    note.toggleButtonBars();
    EXPECT_FALSE(note.buttonBarsItem.checked);
    EXPECT_FALSE(note.viewBar.visible());
    EXPECT_FALSE(note.editBar.visible());
    EXPECT_EQ("0", value("Buttonbar"));

    std::vector<MenuItem*> commands;
    MenuHandle menu = note.editMenu.build(commands);
    wchar_t first[128] = {};
    GetMenuStringW(menu.get(), 0, first, 128, MF_BYPOSITION);
    EXPECT_STREQ(L"Edit-Buttonleiste aktivieren", first);

    note.showEditBar();
    EXPECT_TRUE(note.editBar.visible());
    EXPECT_FALSE(note.showEditBarItem.visible);
    EXPECT_EQ("0", value("Buttonbar"));

    note.toggleButtonBars();
    EXPECT_TRUE(note.viewBar.visible());
    EXPECT_EQ("1", value("Buttonbar"));
}

TEST_F(NoteWindowTest, SwitchesWriteTheirKeys) {
    NoteWindow& note = open();
    note.toggleTitleLine();
    EXPECT_FALSE(note.titleLine.visible());
    EXPECT_FALSE(note.titleButtons.visible());
    EXPECT_EQ("0", value("titelleiste"));
    note.toggleTitleLine();
    EXPECT_TRUE(note.titleLine.visible());
    EXPECT_EQ("1", value("titelleiste"));

    note.setWordWrap(true);
    EXPECT_EQ(ScrollBars::None, note.memo1.scrollBars());
    EXPECT_TRUE(note.editWordWrapItem.checked);

    // Whether the window really goes on top cannot be seen here: Wine
    // refuses the topmost band to a window whose tool tips sit above it.
    const int height = note.height();
    note.toggleStayOnTop();
    EXPECT_TRUE(note.stayOnTopItem.checked);
    EXPECT_EQ(height, note.height());
    EXPECT_EQ(host_->ownerWindow(), GetWindow(note.handle(), GW_OWNER));
    note.toggleStayOnTop();
    EXPECT_FALSE(note.stayOnTopItem.checked);
    EXPECT_EQ(height, note.height());

    note.newNoteItem.click();
    note.settingsItem.click();
    note.aboutItem.click();
    note.exitItem.click();
    EXPECT_EQ(1, host_->newNotes);
    EXPECT_EQ(1, host_->settings);
    EXPECT_EQ(1, host_->abouts);
    EXPECT_EQ(1, host_->exits);
}

TEST_F(NoteWindowTest, CloseHidesAndSavesThePlacementInItsOrder) {
    NoteWindow& note = open();
    note.setWordWrap(true);
    note.close();
    EXPECT_TRUE(IsWindow(note.handle()));
    EXPECT_FALSE(note.visible());
    EXPECT_EQ("1", value("Wordwrap"));

    const std::string suffix = "(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                               std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")";
    const std::vector<std::string> expected{"active",
                                            "Wordwrap",
                                            "Flags",
                                            "ShowCmd",
                                            "PixelsPerInch",
                                            "MinMaxPos" + suffix,
                                            "MinMaxPos",
                                            "NormPos" + suffix,
                                            "NormPos",
                                            "Visible",
                                            "RxClock1_AlarmEnabled",
                                            "RxClock1_AlarmHour",
                                            "RxClock1_AlarmMinute",
                                            "RxClock1_AlarmSecond",
                                            "memo1_Color"};
    EXPECT_EQ(expected, sectionKeys(settingsPath(), "Notiz3"));
    const RECT r = windowRect();
    const std::string norm = std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                             std::to_string(r.right) + "," + std::to_string(r.bottom);
    EXPECT_EQ(norm, value("NormPos" + suffix));
    EXPECT_EQ(norm, value("NormPos"));
    EXPECT_EQ("1", value("ShowCmd"));
    EXPECT_EQ("0", value("Visible"));
    EXPECT_EQ("False", value("RxClock1_AlarmEnabled"));
    EXPECT_EQ("65535", value("memo1_Color"));

    // Destroyed without being shown again: not written a second time.
    note.setLeft(333);
    note.destroy();
    EXPECT_EQ(norm, value("NormPos"));
    EXPECT_EQ("0", value("Visible"));
}

TEST_F(NoteWindowTest, DestroyWritesVisibleOnlyWhenNotSavedSinceTheLastShow) {
    NoteWindow& note = open();
    note.close();
    note.show();
    note.setLeft(333);
    note.destroy();
    EXPECT_EQ("1", value("Visible"));
    EXPECT_EQ("333", value("NormPos").substr(0, 3));
}

TEST_F(NoteWindowTest, NeverShownNoteWritesNoPlacement) {
    host_->setCurrentNoteName("Notiz3");
    note_ = std::make_unique<NoteWindow>(*host_);
    note_->destroy();
    EXPECT_EQ("<fehlt>", value("Flags"));
    EXPECT_EQ("1", value("active"));
}

TEST_F(NoteWindowTest, RestorePutsTheNoteBackAndOutOfTheCorner) {
    writeSection("Notiz3", {{"NormPos", "0,50,300,330"}, {"memo1_Color", "255"}});
    NoteWindow& note = open();
    EXPECT_EQ(160, note.left());
    EXPECT_EQ(50, note.top());
    EXPECT_EQ(300, note.width());
    EXPECT_EQ(280, note.height());
    EXPECT_EQ(255u, note.memo1.color());
    EXPECT_EQ(255u, note.color());  // tick 1 followed the restored text colour
}

TEST_F(NoteWindowTest, RestoreKeepsAnEdgeThatIsNotZero) {
    writeSection("Notiz3", {{"NormPos", "1,0,271,240"}});
    NoteWindow& note = open();
    EXPECT_EQ(1, note.left());
    EXPECT_EQ(160, note.top());
}

TEST_F(NoteWindowTest, RectangleOffEveryScreenComesBackKeepingItsSize) {
    writeSection("Notiz3", {{"NormPos", "5000,-3000,5250,-2700"}});
    NoteWindow& note = open();
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT r = windowRect();
    EXPECT_EQ(250, r.right - r.left);
    EXPECT_EQ(300, r.bottom - r.top);
    EXPECT_GE(r.left, work.left);
    EXPECT_LE(r.right, work.right);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.bottom, work.bottom);
}

TEST_F(NoteWindowTest, ShowAgainRereadsThePlacement) {
    NoteWindow& note = open();
    note.close();
    const std::string suffix = "(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                               std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")";
    writeSection("Notiz3", {{"NormPos" + suffix, "200,210,500,510"}});
    note.show();
    EXPECT_EQ(200, note.left());
    EXPECT_EQ(210, note.top());
    EXPECT_EQ(300, note.width());
}

}  // namespace
