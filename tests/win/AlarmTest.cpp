// The alarm in-process: the editor, a note ringing into the shared reminder,
// the reminder's turns and answers, and the overdue window at start. Time
// comes from a clock the test sets; nothing waits for the wall clock.

#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h and mmsystem.h need the types of windows.h.
#include <commctrl.h>
#include <mmsystem.h>
#include <richedit.h>

#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "KitTestSupport.h"
#include "alarm/AlarmEditor.h"
#include "alarm/AlarmReminder.h"
#include "alarm/OverdueAlarm.h"
#include "desktop/LocalTime.h"
#include "desktop/Utf.h"
#include "forms/LinkFollow.h"
#include "note/AlarmListDialog.h"
#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

using namespace tav;

namespace {

constexpr Date kDay{2024, 3, 9};
constexpr Date kNextDay{2024, 3, 10};

DateTime at(Date date, int h, int m, int s = 0) { return {date, {h, m, s}, 0}; }

// A note's host with the program's one reminder.
class AlarmHost : public NoteHost {
public:
    AlarmHost()
        : owner_(CreateWindowExW(0, L"STATIC", L"TavelinAlarmTestOwner", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)),
          reminder_(owner_) {}
    ~AlarmHost() override { DestroyWindow(owner_); }

    HWND ownerWindow() const override { return owner_; }
    const std::string& currentNoteName() const override { return name_; }
    void setCurrentNoteName(const std::string& name) override { name_ = name; }
    SlotTable& slotTable() override { return slots_; }
    NoteWindow& createNoteWindow() override { throw std::logic_error("not in these tests"); }
    int raiseNoteCounter() override { return 0; }
    NoteWindow* findNote(const std::string&) const override { return nullptr; }
    void newNote() override {}
    void showSettings() override {}
    void showAbout() override {}
    void hideNote(NoteWindow&) override {}
    void exitProgram() override {}
    void releaseNote(NoteWindow* note) override { note->postRelease(); }
    AlarmReminder* reminder() override { return &reminder_; }
    void alarmsChanged() override {
        if (onAlarmsChanged) onAlarmsChanged();
    }
    std::function<void()> onAlarmsChanged;

private:
    HWND owner_;
    AlarmReminder reminder_;
    std::string name_;
    SlotTable slots_;
};

SYSTEMTIME picker(HWND dialog, int id) {
    SYSTEMTIME value{};
    SendDlgItemMessageW(dialog, id, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value;
}

void setPicker(HWND dialog, int id, const DateTime& value) {
    SYSTEMTIME time = systemTimeOf(value);
    SendDlgItemMessageW(dialog, id, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

// A key as the user presses it in the dialog: into the focused control's
// queue, where the dialog's own loop finds it.
void pressKey(HWND dialog, UINT vk) {
    GUITHREADINFO info{sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : dialog;
    PostMessageW(target, WM_KEYDOWN, vk, 0);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000000);
}

class AlarmTest : public ::testing::Test {
protected:
    void SetUp() override {
        setProgramDir(dir_);
        setErrorBoxFunction([this](HWND, const std::string& text) { errors_.push_back(text); });
        host_ = std::make_unique<AlarmHost>();
        reminder().now = [this] { return clock_; };
    }

    void TearDown() override {
        notes_.clear();
        host_.reset();
        test::pumpMessages();
        setErrorBoxFunction(nullptr);
        EXPECT_TRUE(errors_.empty()) << errors_.front();
    }

    AlarmReminder& reminder() { return *host_->reminder(); }

    // A note as the start-up restore brings it: shown, both start-up ticks
    // run, its clock reading the test's time.
    NoteWindow& open(const std::string& name = "Notiz3") {
        host_->setCurrentNoteName(name);
        notes_.push_back(std::make_unique<NoteWindow>(*host_));
        NoteWindow& note = *notes_.back();
        note.RxClock1.now = [this] { return systemTimeOf(clock_); };
        note.show();
        IniFile ini(settingsPath());
        note.setTitle(NoteRecord::title(ini, name));  // as the start-up restore does
        ini.close();
        EXPECT_TRUE(test::pumpUntil([&] { return note.startupTicksDone(); }));
        return note;
    }

    // Time moves on and the note's clock ticks once, as its timer does.
    void tickTo(const DateTime& moment, std::initializer_list<NoteWindow*> notes) {
        clock_ = moment;
        for (NoteWindow* note : notes) note->RxClock1.tick(systemTimeOf(moment));
    }

    void writeNote(const std::string& name,
                   const std::vector<std::pair<std::string, std::string>>& values,
                   const std::string& text = "") {
        IniFile ini(settingsPath());
        ini.writeString(name, "active", "1");
        for (const auto& [key, value] : values) ini.writeString(name, key, value);
        ini.close();
        if (!text.empty())
            std::ofstream(noteTextPath(name), std::ios::binary)
                << "{\\rtf1\\ansi " << text << "\\par}";
    }

    // An armed alarm as a previous run left it.
    void writeArmed(const std::string& name, const Date& date, TimeOfDay time,
                    const std::string& text = "") {
        writeNote(name,
                  {{"NotizTitel", "\"" + name + " Titel\""},
                   {"Alarmdatum", dateText(date)},
                   {"RxClock1_AlarmEnabled", "True"},
                   {"RxClock1_AlarmHour", std::to_string(time.hour)},
                   {"RxClock1_AlarmMinute", std::to_string(time.minute)},
                   {"RxClock1_AlarmSecond", std::to_string(time.second)}},
                  text);
    }

    std::string value(const std::string& key, const std::string& section = "Notiz3") {
        IniFile ini(settingsPath());
        return ini.readString(section, key, "<fehlt>");
    }

    static std::string dateText(const Date& date) { return formatDate(date, shortDateFormat()); }

    // The turn's first moment has passed, as its timer tells it.
    void settle() { SendMessageW(reminder().handle(), WM_TIMER, AlarmReminder::kSettleTimer, 0); }

    void clickOk() {
        SendMessageW(reminder().handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(reminder().okButton.handle()));
    }

    void answer(bool repeat, int delayIndex = 0) {
        settle();
        SendMessageW(reminder().repeatCheckBox.handle(), BM_SETCHECK,
                     repeat ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageW(reminder().delayComboBox.handle(), CB_SETCURSEL, delayIndex, 0);
        clickOk();
    }

    test::TempFolder folder_{"alarm"};
    const std::string dir_ = folder_.path();
    std::vector<std::string> errors_;
    DateTime clock_ = at(kDay, 8, 0);
    std::unique_ptr<AlarmHost> host_;
    std::vector<std::unique_ptr<NoteWindow>> notes_;
};

TEST_F(AlarmTest, EditorShowsTheValuesAndEnterConfirmsTheChanges) {
    AlarmEditorValues values{kDay, {7, 45, 30}, true, Repeat::Daily};
    std::wstring caption, active, ok, cancel, repeat;
    RECT client{};
    SYSTEMTIME shownDate{}, shownTime{}, quickDate{}, quickTime{};
    bool ticked = false;
    test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND dialog) {
        caption = test::windowText(dialog);
        GetClientRect(dialog, &client);
        active = test::windowText(GetDlgItem(dialog, AlarmEditor::kActiveId));
        ok = test::windowText(GetDlgItem(dialog, IDOK));
        cancel = test::windowText(GetDlgItem(dialog, IDCANCEL));
        ticked = IsDlgButtonChecked(dialog, AlarmEditor::kActiveId) == BST_CHECKED;
        shownDate = picker(dialog, AlarmEditor::kDateId);
        shownTime = picker(dialog, AlarmEditor::kTimeId);
        repeat = test::windowText(GetDlgItem(dialog, AlarmEditor::kRepeatId));
        const HWND tomorrow = GetDlgItem(dialog, AlarmEditor::kQuickId + 2);  // "morgen 9:00"
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(AlarmEditor::kQuickId + 2, BN_CLICKED),
                     reinterpret_cast<LPARAM>(tomorrow));
        quickDate = picker(dialog, AlarmEditor::kDateId);
        quickTime = picker(dialog, AlarmEditor::kTimeId);
        SendDlgItemMessageW(dialog, AlarmEditor::kRepeatId, CB_SETCURSEL, 4, 0);
        setPicker(dialog, AlarmEditor::kDateId, at(kNextDay, 0, 0));
        setPicker(dialog, AlarmEditor::kTimeId, at(kDay, 18, 5, 9));
        CheckDlgButton(dialog, AlarmEditor::kActiveId, BST_UNCHECKED);
        pressKey(dialog, VK_RETURN);
    });
    ASSERT_TRUE(AlarmEditor::execute(nullptr, values, [] { return at(kDay, 23, 59, 59); }));
    ASSERT_TRUE(driver.finished());
    EXPECT_EQ(L"Alarm-Dialog", caption);
    EXPECT_EQ(313, client.right);
    EXPECT_EQ(202, client.bottom);
    EXPECT_EQ(L"&Alarm aktiv", active);
    EXPECT_EQ(L"OK", ok);
    EXPECT_EQ(L"Abbrechen", cancel);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(kDay, dateTimeOf(shownDate).date);
    EXPECT_EQ((TimeOfDay{7, 45, 30}), dateTimeOf(shownTime).time);
    EXPECT_EQ(L"täglich", repeat);
    EXPECT_EQ(kNextDay, dateTimeOf(quickDate).date);
    EXPECT_EQ((TimeOfDay{9, 0, 0}), dateTimeOf(quickTime).time);

    EXPECT_EQ(kNextDay, values.date);
    EXPECT_EQ((TimeOfDay{18, 5, 9}), values.time);
    EXPECT_FALSE(values.alarmSet);
    EXPECT_EQ(Repeat::Monthly, values.repeat);
}

TEST_F(AlarmTest, EditorEscapeCancelsAndLeavesTheValues) {
    AlarmEditorValues values{kDay, {7, 45, 30}, true};
    test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND dialog) {
        setPicker(dialog, AlarmEditor::kTimeId, at(kDay, 18, 5, 9));
        pressKey(dialog, VK_ESCAPE);
    });
    EXPECT_FALSE(AlarmEditor::execute(nullptr, values));
    ASSERT_TRUE(driver.finished());
    EXPECT_EQ((TimeOfDay{7, 45, 30}), values.time);
}

// The editor writes the armed state and the time at once, and a cleared
// "Alarm aktiv" disarms: in the clock, the menu and the file.
TEST_F(AlarmTest, EditorArmsAndDisarmsAndWritesAtOnce) {
    writeNote("Notiz3", {{"Alarmdatum", dateText(kNextDay)}});
    NoteWindow& note = open();
    EXPECT_TRUE(note.alarmItem.enabled);
    EXPECT_TRUE(note.alarmButton.enabled());
    EXPECT_TRUE(note.editAlarmButton.enabled());

    bool openedTicked = false;
    SYSTEMTIME openedDate{};
    {
        test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND dialog) {
            openedTicked = IsDlgButtonChecked(dialog, AlarmEditor::kActiveId) == BST_CHECKED;
            openedDate = picker(dialog, AlarmEditor::kDateId);
            setPicker(dialog, AlarmEditor::kTimeId, at(kDay, 9, 30, 15));
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        note.alarmButton.click();
        ASSERT_TRUE(driver.finished());
    }
    EXPECT_TRUE(openedTicked);
    EXPECT_EQ(kNextDay, dateTimeOf(openedDate).date);
    EXPECT_TRUE(note.alarmItem.checked);
    EXPECT_TRUE(note.RxClock1.alarmEnabled());
    EXPECT_EQ((TimeOfDay{9, 30, 15}), note.RxClock1.alarmTime());
    EXPECT_EQ("true", value("RxClock1_AlarmEnabled"));
    EXPECT_EQ("9", value("RxClock1_AlarmHour"));
    EXPECT_EQ("30", value("RxClock1_AlarmMinute"));
    EXPECT_EQ("15", value("RxClock1_AlarmSecond"));
    EXPECT_EQ(dateText(kNextDay), value("Alarmdatum"));

    {
        test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND dialog) {
            CheckDlgButton(dialog, AlarmEditor::kActiveId, BST_UNCHECKED);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        note.editAlarmButton.click();  // the edit bar's button
        ASSERT_TRUE(driver.finished());
    }
    EXPECT_FALSE(note.alarmItem.checked);
    EXPECT_FALSE(note.RxClock1.alarmEnabled());
    EXPECT_EQ("false", value("RxClock1_AlarmEnabled"));
    // Disarmed, it stays quiet at its time.
    tickTo(at(kNextDay, 9, 30, 14), {&note});
    tickTo(at(kNextDay, 9, 30, 15), {&note});
    EXPECT_EQ(nullptr, reminder().current());
}

TEST_F(AlarmTest, RingsOnItsDayWithTheNotesTitleTextAndColour) {
    writeArmed("Notiz3", kDay, {9, 0, 0}, "Zahnarzt um neun");
    writeArmed("Notiz4", kNextDay, {9, 0, 0});
    writeNote("Notiz3", {{"memo1_Color", "12648447"}});
    NoteWindow& note = open();
    NoteWindow& tomorrow = open("Notiz4");
    ASSERT_TRUE(note.alarmItem.checked);
    ASSERT_EQ(nullptr, note.overdueAlarm());

    tickTo(at(kDay, 8, 59, 59), {&note, &tomorrow});
    EXPECT_EQ(nullptr, reminder().current());
    tickTo(at(kDay, 9, 0, 0), {&note, &tomorrow});
    ASSERT_NE(nullptr, reminder().current());
    EXPECT_EQ(1u, reminder().turns()) << "the note of tomorrow waits for its day";
    EXPECT_TRUE(tomorrow.RxClock1.alarmEnabled());

    EXPECT_TRUE(reminder().visible());
    EXPECT_EQ("Notiz3 Titel  ", reminder().caption());
    EXPECT_NE(std::string::npos, reminder().noteText.text().find("Zahnarzt um neun"));
    EXPECT_EQ(static_cast<COLORREF>(12648447), reminder().noteText.color());
    const LONG_PTR style = GetWindowLongPtrW(reminder().handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "no close box: only OK closes it";
    EXPECT_TRUE(GetWindowLongPtrW(reminder().handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(L"&erneute Erinnerung in ", test::windowText(reminder().repeatCheckBox.handle()));
    EXPECT_EQ(L"5 Minuten", test::windowText(reminder().delayComboBox.handle()));
    EXPECT_EQ(10, SendMessageW(reminder().delayComboBox.handle(), CB_GETCOUNT, 0, 0));

    // Rung, the note stays armed until it is answered; closing does not
    // answer, only OK does.
    EXPECT_TRUE(note.alarmItem.checked);
    EXPECT_TRUE(note.RxClock1.alarmEnabled());
    EXPECT_EQ("True", value("RxClock1_AlarmEnabled"));
    SendMessageW(reminder().handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(reminder().visible());
    EXPECT_TRUE(SendMessageW(reminder().handle(), WM_QUERYENDSESSION, 0, 0))
        << "an open reminder never holds up a log-off";

    tickTo(at(kDay, 9, 0, 30), {&note});
    EXPECT_EQ(1u, reminder().turns()) << "one ring per alarm";
    answer(false);
    EXPECT_FALSE(reminder().visible());
    EXPECT_FALSE(note.RxClock1.alarmEnabled());
    EXPECT_EQ("false", value("RxClock1_AlarmEnabled"));
}

// On a monitor of twice the density (the system's message; Wine never moves
// a window between densities) the reminder's controls and fonts follow.
TEST_F(AlarmTest, ReminderFollowsItsMonitorToTwiceTheDensity) {
    AlarmReminder& window = reminder();
    auto inClient = [&](HWND child) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window.handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto fontHeight = [](HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return font.lfHeight;
    };
    std::vector<RECT> at96;
    for (HWND c :
         {window.noteText.handle(), window.repeatCheckBox.handle(), window.okButton.handle()})
        at96.push_back(inClient(c));
    const LONG repeatFont96 = fontHeight(window.repeatCheckBox.handle());
    const LONG okFont96 = fontHeight(window.okButton.handle());

    RECT outer{};
    GetWindowRect(window.handle(), &outer);
    RECT suggested{outer.left, outer.top, outer.left + 2 * (outer.right - outer.left),
                   outer.top + 2 * (outer.bottom - outer.top)};
    SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));

    int i = 0;
    for (HWND c :
         {window.noteText.handle(), window.repeatCheckBox.handle(), window.okButton.handle()}) {
        const RECT now = inClient(c);
        EXPECT_EQ(2 * at96[i].left, now.left) << i;
        EXPECT_EQ(2 * at96[i].top, now.top) << i;
        EXPECT_EQ(2 * (at96[i].right - at96[i].left), now.right - now.left) << i;
        ++i;
    }
    EXPECT_EQ(2 * repeatFont96, fontHeight(window.repeatCheckBox.handle()));
    EXPECT_NEAR(2 * okFont96, fontHeight(window.okButton.handle()), 1);
}

TEST_F(AlarmTest, TwoAlarmsTakeTurnsAndEachOkAnswersItsOwnNote) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    writeArmed("Notiz4", kDay, {9, 0, 0});
    NoteWindow& first = open();
    NoteWindow& second = open("Notiz4");
    tickTo(at(kDay, 9, 0, 1), {&first, &second});
    ASSERT_EQ(2u, reminder().turns());
    EXPECT_EQ("Notiz3 Titel  ", reminder().caption());

    answer(true, 1);  // "10 Minuten"
    EXPECT_TRUE(first.RxClock1.alarmEnabled());
    EXPECT_EQ((TimeOfDay{9, 10, 0}), first.RxClock1.alarmTime());
    EXPECT_EQ("true", value("RxClock1_AlarmEnabled"));
    EXPECT_EQ("10", value("RxClock1_AlarmMinute"));
    EXPECT_TRUE(second.RxClock1.alarmEnabled()) << "armed until its own answer";
    ASSERT_TRUE(reminder().visible());
    EXPECT_EQ("Notiz4 Titel  ", reminder().caption());

    answer(false);
    EXPECT_FALSE(reminder().visible());
    EXPECT_FALSE(second.RxClock1.alarmEnabled());
    EXPECT_EQ("false", value("RxClock1_AlarmEnabled", "Notiz4"));
    EXPECT_TRUE(first.RxClock1.alarmEnabled()) << "the second answer is not the first note's";

    // The repeat rings.
    tickTo(at(kDay, 9, 9, 59), {&first, &second});
    EXPECT_EQ(nullptr, reminder().current());
    tickTo(at(kDay, 9, 10, 0), {&first, &second});
    ASSERT_NE(nullptr, reminder().current());
    EXPECT_EQ("Notiz3 Titel  ", reminder().caption());
}

TEST_F(AlarmTest, ALateAnswerCountsFromTheAnswer) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    NoteWindow& note = open();
    tickTo(at(kDay, 9, 0, 0), {&note});
    ASSERT_TRUE(reminder().visible());
    clock_ = at(kDay, 10, 2, 40);  // an hour late
    answer(true, 0);
    EXPECT_EQ((TimeOfDay{10, 7, 0}), note.RxClock1.alarmTime());
    tickTo(at(kDay, 10, 7, 0), {&note});
    EXPECT_TRUE(reminder().visible()) << "it rings again";
}

// Past midnight, the next day is the alarm's day, in memory and in the
// file, so the repeat rings while the program keeps running.
TEST_F(AlarmTest, ARepeatPastMidnightRingsOnTheNextDay) {
    writeArmed("Notiz3", kDay, {23, 50, 0});
    NoteWindow& note = open();
    tickTo(at(kDay, 23, 50, 0), {&note});
    clock_ = at(kDay, 23, 50, 20);
    answer(true, 2);  // "15 Minuten"
    EXPECT_EQ(kNextDay, note.alarmDate());
    EXPECT_EQ(dateText(kNextDay), value("Alarmdatum"));
    EXPECT_EQ((TimeOfDay{0, 5, 0}), note.RxClock1.alarmTime());

    tickTo(at(kDay, 23, 59, 59), {&note});
    tickTo(at(kNextDay, 0, 4, 59), {&note});
    EXPECT_FALSE(reminder().visible());
    tickTo(at(kNextDay, 0, 5, 0), {&note});
    EXPECT_TRUE(reminder().visible());
}

// A machine that slept, a clock put forward: the alarm rings at the first
// tick after its moment, across midnight too.
TEST_F(AlarmTest, AnAlarmSleptThroughRingsOnWaking) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    writeArmed("Notiz4", kDay, {23, 59, 0});
    NoteWindow& morning = open();
    NoteWindow& night = open("Notiz4");
    tickTo(at(kDay, 8, 55), {&morning, &night});
    tickTo(at(kDay, 9, 30), {&morning, &night});
    ASSERT_EQ(1u, reminder().turns());
    EXPECT_EQ("Notiz3 Titel  ", reminder().caption());
    tickTo(at(kDay, 23, 50), {&night});
    tickTo(at(kNextDay, 0, 10), {&night});
    EXPECT_EQ(2u, reminder().turns());
}

TEST_F(AlarmTest, AMissingTextFileStillRings) {
    writeArmed("Notiz3", kDay, {9, 0, 0}, "noch da");
    NoteWindow& note = open();
    DeleteFileW(widen(noteTextPath("Notiz3")).c_str());
    tickTo(at(kDay, 9, 0, 0), {&note});
    ASSERT_TRUE(reminder().visible());
    EXPECT_EQ("", reminder().noteText.text());
    EXPECT_EQ("Notiz3 Titel  ", reminder().caption());
    answer(true, 0);
    EXPECT_TRUE(note.RxClock1.alarmEnabled());
}

TEST_F(AlarmTest, HiddenNotesRingToo) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    NoteWindow& note = open();
    note.hide();
    tickTo(at(kDay, 9, 0, 0), {&note});
    EXPECT_TRUE(reminder().visible());
}

TEST_F(AlarmTest, ADeletedNotesWaitingTurnGoesAndItsShownOneAnswersNobody) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    writeArmed("Notiz4", kDay, {9, 0, 0});
    writeArmed("Notiz5", kDay, {9, 0, 0});
    NoteWindow& first = open();
    NoteWindow& second = open("Notiz4");
    NoteWindow& third = open("Notiz5");
    tickTo(at(kDay, 9, 0, 0), {&first, &second, &third});
    ASSERT_EQ(3u, reminder().turns());
    reminder().withdraw(&second);
    EXPECT_EQ(2u, reminder().turns());
    EXPECT_EQ("Notiz3 Titel  ", reminder().caption());
    notes_.erase(notes_.begin());  // the shown note is gone
    answer(true, 0);               // and its answer reaches nothing
    EXPECT_EQ("Notiz5 Titel  ", reminder().caption());
    answer(false);
    EXPECT_FALSE(third.RxClock1.alarmEnabled());
}

// Rung but unanswered, open or waiting, an alarm outlives the program: the
// next start shows it as overdue. In one run it rings once, even when the
// clock is put back across it.
TEST_F(AlarmTest, AnUnansweredAlarmComesBackAsOverdueAndNeverRingsTwice) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    writeArmed("Notiz4", kDay, {9, 0, 0});
    NoteWindow& first = open();
    NoteWindow& second = open("Notiz4");
    tickTo(at(kDay, 9, 0, 0), {&first, &second});
    ASSERT_EQ(2u, reminder().turns());
    tickTo(at(kDay, 8, 59, 0), {&first, &second});
    tickTo(at(kDay, 9, 0, 1), {&first, &second});
    EXPECT_EQ(2u, reminder().turns()) << "a clock put back rings nothing twice";

    notes_.clear();  // the program ends, one turn open and one waiting
    host_ = std::make_unique<AlarmHost>();
    reminder().now = [this] { return clock_; };
    clock_ = at(kNextDay, 7, 0);
    EXPECT_NE(nullptr, open().overdueAlarm());
    EXPECT_NE(nullptr, open("Notiz4").overdueAlarm());
}

TEST_F(AlarmTest, EachTurnStartsAfreshSoundsAndTakesNoAnswerUnseen) {
    int sounded[2] = {};
    std::vector<bool> repeats;
    const auto turn = [&](int i) {
        AlarmReminder::Turn t;
        t.title = "Notiz" + std::to_string(i);
        t.announce = [&sounded, i] { ++sounded[i]; };
        t.onAnswer = [&repeats](const std::optional<DateTime>& r) { repeats.push_back(!!r); };
        return t;
    };
    reminder().remind(turn(0));
    reminder().remind(turn(1));
    EXPECT_EQ(1, sounded[0]);
    EXPECT_EQ(0, sounded[1]) << "a waiting turn sounds when it comes on";
    EXPECT_EQ(L"noch 1 weitere Erinnerung", test::windowText(reminder().waitingText.handle()));
    EXPECT_FALSE(IsWindowEnabled(reminder().okButton.handle()));
    clickOk();  // the second half of a double click meant for the window below
    EXPECT_EQ(2u, reminder().turns());

    answer(true, 3);
    EXPECT_EQ(std::vector<bool>{true}, repeats);
    EXPECT_EQ(1, sounded[1]);
    EXPECT_FALSE(IsWindowEnabled(reminder().okButton.handle())) << "the next turn settles too";
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(reminder().repeatCheckBox.handle(), BM_GETCHECK, 0, 0));
    EXPECT_EQ(L"5 Minuten", test::windowText(reminder().delayComboBox.handle()));
    EXPECT_EQ(L"", test::windowText(reminder().waitingText.handle()));
    clickOk();
    EXPECT_EQ(1u, reminder().turns());
}

// A settings file that cannot be written hides neither the overdue window
// nor the note's text; the failure is told after them.
TEST_F(AlarmTest, AnUnwritableSettingsFileHidesNeitherTheOverdueAlarmNorTheText) {
    writeArmed("Notiz3", kDay, {7, 0, 0}, "Text bleibt");
    const std::wstring path = widen(settingsPath());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    NoteWindow& note = open();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_NE(nullptr, note.overdueAlarm());
    EXPECT_NE(std::string::npos, note.memo1.text().find("Text bleibt"));
    EXPECT_FALSE(errors_.empty());
    errors_.clear();
}

// The visible dialog of this caption, once it comes (from a driver thread).
HWND waitDialog(const wchar_t* caption) {
    HWND found = nullptr;
    const ULONGLONG start = GetTickCount64();
    while (found == nullptr && GetTickCount64() - start < test::kWaitLimitMs) {
        found = FindWindowW(L"#32770", caption);
        if (found != nullptr && !IsWindowVisible(found)) found = nullptr;
        if (found == nullptr) Sleep(10);
    }
    return found;
}

TEST_F(AlarmTest, TheEditorProposesAMomentAheadAndAsksAboutAPastOne) {
    clock_ = at(kDay, 8, 7, 30);
    NoteWindow& note = open();
    SYSTEMTIME proposedDate{}, proposedTime{};
    std::wstring question;
    const auto chooseAndOk = [](HWND editor, TimeOfDay time) {
        setPicker(editor, AlarmEditor::kTimeId, {kDay, time, 0});
        PostMessageW(editor, WM_COMMAND, IDOK, 0);
    };
    {
        test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND editor) {
            proposedDate = picker(editor, AlarmEditor::kDateId);
            proposedTime = picker(editor, AlarmEditor::kTimeId);
            chooseAndOk(editor, {7, 0, 0});
            HWND box = waitDialog(L"Alarm für diese Notiz");
            question = test::windowText(GetDlgItem(box, 0xFFFF));
            PostMessageW(box, WM_COMMAND, IDNO, 0);
            chooseAndOk(waitDialog(L"Alarm-Dialog"), {9, 0, 0});
        });
        note.alarmButton.click();
        ASSERT_TRUE(driver.finished());
    }
    EXPECT_EQ(kDay, dateTimeOf(proposedDate).date);
    EXPECT_EQ((TimeOfDay{8, 15, 0}), dateTimeOf(proposedTime).time);
    EXPECT_NE(std::wstring::npos, question.find(L"bereits vorbei")) << question;
    EXPECT_EQ((TimeOfDay{9, 0, 0}), note.RxClock1.alarmTime());
    EXPECT_EQ(nullptr, reminder().current());

    {
        test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND editor) {
            chooseAndOk(editor, {7, 0, 0});
            PostMessageW(waitDialog(L"Alarm für diese Notiz"), WM_COMMAND, IDYES, 0);
        });
        note.alarmButton.click();
        ASSERT_TRUE(driver.finished());
    }
    EXPECT_EQ(1u, reminder().turns()) << "rung now, as asked";
    answer(false);

    // The minute being chosen while it passes rings without a question.
    {
        test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND editor) {
            chooseAndOk(editor, {8, 7, 0});
        });
        note.alarmButton.click();
        ASSERT_TRUE(driver.finished());
    }
    EXPECT_EQ(1u, reminder().turns());
}

// An alarm set in the editor while the turn is open is newer than the
// turn's answer, which leaves it as it is.
TEST_F(AlarmTest, AnAlarmSetWhileItsTurnIsOpenOutlivesTheAnswer) {
    writeArmed("Notiz3", kDay, {9, 0, 0});
    NoteWindow& note = open();
    tickTo(at(kDay, 9, 0, 0), {&note});
    ASSERT_EQ(1u, reminder().turns());
    {
        test::WindowDriver driver(L"#32770", L"Alarm-Dialog", [&](HWND editor) {
            setPicker(editor, AlarmEditor::kTimeId, at(kDay, 12, 0, 0));
            PostMessageW(editor, WM_COMMAND, IDOK, 0);
        });
        note.alarmButton.click();
        ASSERT_TRUE(driver.finished());
    }
    answer(true, 0);
    EXPECT_EQ((TimeOfDay{12, 0, 0}), note.RxClock1.alarmTime());
    EXPECT_EQ("12", value("RxClock1_AlarmHour"));
}

TEST_F(AlarmTest, OverdueAlarmIsShownOnceAtStartAndSwitchedOff) {
    writeArmed("Notiz3", kDay, {10, 0, 30}, "Blumen gie\\'dfen http://example.de file:calc");
    writeArmed("Notiz4", kDay, {10, 1, 0});
    clock_ = at(kDay, 10, 0, 10);  // the alarm's seconds do not count
    NoteWindow& note = open();
    NoteWindow& later = open("Notiz4");

    OverdueAlarm* overdue = note.overdueAlarm();
    ASSERT_NE(nullptr, overdue);
    EXPECT_TRUE(overdue->visible());
    EXPECT_EQ("Alarm überfallig", overdue->caption());
    EXPECT_EQ("Notiz3a", overdue->name());
    EXPECT_EQ("Notiz3 Titel  ", overdue->titlePanel.text());
    EXPECT_NE(std::string::npos, overdue->noteText.text().find("Blumen gießen"));
    EXPECT_TRUE(overdue->noteText.readOnly());
    EXPECT_EQ(note.handle(), GetWindow(overdue->handle(), GW_OWNER));
    RECT frame{};
    GetWindowRect(overdue->handle(), &frame);
    EXPECT_EQ(381, frame.right - frame.left);
    EXPECT_EQ(331, frame.bottom - frame.top);
    EXPECT_FALSE(note.alarmItem.checked);
    EXPECT_FALSE(note.RxClock1.alarmEnabled());
    EXPECT_EQ("false", value("RxClock1_AlarmEnabled"));

    EXPECT_EQ(nullptr, later.overdueAlarm());
    EXPECT_TRUE(later.RxClock1.alarmEnabled());

    // It opens by itself at start: its links go through the one decision.
    std::vector<std::string> opened;
    linkShell.ask = [](HWND, const std::string&) { return true; };
    linkShell.open = [&](HWND, const std::string& target) { opened.push_back(target); };
    linkShell.showInFolder = linkShell.open;
    const auto click = [&](long start, long end) {
        ENLINK link = {};
        const int id = GetDlgCtrlID(overdue->noteText.handle());
        link.nmhdr = {overdue->noteText.handle(), static_cast<UINT_PTR>(id), EN_LINK};
        link.msg = WM_LBUTTONUP;
        link.chrg = {start, end};
        SendMessageW(overdue->handle(), WM_NOTIFY, id, reinterpret_cast<LPARAM>(&link));
    };
    click(14, 31);
    click(32, 41);
    linkShell = {};
    EXPECT_EQ(std::vector<std::string>{"http://example.de"}, opened);

    SendMessageW(overdue->handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(overdue->okButton.handle()));
    EXPECT_FALSE(overdue->visible());
}

// A snooze rings at its own moment; afterwards the series goes on from
// its schedule. A start long after a series' moment shows it once and arms
// the next moment still to come.
TEST_F(AlarmTest, ASeriesGoesOnFromItsScheduleAfterASnoozeAndALateStart) {
    writeArmed("Notiz3", kDay, {20, 0, 0});
    writeNote("Notiz3", {{"Alarmwiederholung", "täglich"}});
    writeArmed("Notiz4", {2024, 2, 29}, {7, 0, 0});
    writeNote("Notiz4", {{"Alarmwiederholung", "monatlich 2024-01-31 07:00:00"}});
    clock_ = at(kDay, 19, 0);
    NoteWindow& note = open();
    NoteWindow& late = open("Notiz4");

    tickTo(at(kDay, 20, 0), {&note});
    answer(true, 1);  // "10 Minuten"
    EXPECT_EQ((TimeOfDay{20, 10, 0}), note.RxClock1.alarmTime());
    tickTo(at(kDay, 20, 10), {&note});
    ASSERT_TRUE(reminder().visible());
    answer(false);
    EXPECT_TRUE(note.RxClock1.alarmEnabled());
    EXPECT_EQ((TimeOfDay{20, 0, 0}), note.RxClock1.alarmTime());
    EXPECT_EQ(kNextDay, note.alarmDate());
    EXPECT_EQ(dateText(kNextDay), value("Alarmdatum"));
    EXPECT_EQ("true", value("RxClock1_AlarmEnabled"));
    EXPECT_EQ("täglich 2024-03-09 20:00:00", value("Alarmwiederholung"));

    ASSERT_NE(nullptr, late.overdueAlarm());
    EXPECT_TRUE(late.RxClock1.alarmEnabled());
    EXPECT_EQ((Date{2024, 3, 31}), late.alarmDate());
    EXPECT_EQ(dateText({2024, 3, 31}), value("Alarmdatum", "Notiz4"));
}

// The list holds every armed alarm, the next first, hidden notes too, and
// follows a change at once; "Alarm aus" writes. The title line shows it.
TEST_F(AlarmTest, TheListOfAlarmsAndTheTitleLineShowWhatIsSet) {
    writeArmed("Notiz3", kNextDay, {20, 0, 0});
    writeNote("Notiz3", {{"Alarmwiederholung", "täglich"}});
    writeArmed("Notiz4", kDay, {9, 30, 0});
    writeNote("Notiz5", {{"NotizTitel", "\"ohne\""}});
    NoteWindow& daily = open();
    NoteWindow& hidden = open("Notiz4");
    NoteWindow& none = open("Notiz5");
    hidden.hide();

    EXPECT_TRUE(daily.titleLine.bell());
    EXPECT_EQ("Notiz3 Titel\r\nAlarm: So 10.03.2024 20:00, täglich", daily.titleLine.hint());
    EXPECT_FALSE(none.titleLine.bell());
    EXPECT_EQ("ohne  ", none.titleLine.hint());

    NoteWindow* brought = nullptr;
    AlarmListDialog list(
        host_->ownerWindow(),
        [&] {
            return std::vector{&daily, &hidden, &none};
        },
        [&](NoteWindow& note) { brought = &note; });
    host_->onAlarmsChanged = [&] { list.refresh(); };
    list.show();
    ASSERT_EQ(2, list.alarmList.count());
    EXPECT_EQ("Notiz4 Titel\tSa 09.03.2024 09:30 \tnie", list.alarmList.item(0));
    EXPECT_EQ("Notiz3 Titel\tSo 10.03.2024 20:00 \ttäglich", list.alarmList.item(1));

    list.alarmList.setItemIndex(1);
    SendMessageW(list.handle(), WM_COMMAND, MAKEWPARAM(AlarmListDialog::kListId, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list.alarmList.handle()));
    EXPECT_EQ(&daily, brought);

    list.alarmList.setItemIndex(0);
    list.alarmOffButton.click();
    EXPECT_FALSE(hidden.RxClock1.alarmEnabled());
    EXPECT_EQ("false", value("RxClock1_AlarmEnabled", "Notiz4"));
    ASSERT_EQ(1, list.alarmList.count());
    EXPECT_EQ(0, list.alarmList.item(0).find("Notiz3 Titel"));
}

// Written under other regional settings, the date is read in the usual
// forms; only nonsense is today. The note's text loads in every case.
TEST_F(AlarmTest, AnAlarmDateFromOtherSettingsIsStillRead) {
    writeNote("Notiz3", {{"Alarmdatum", "2024-03-10"}}, "Text eins");
    writeNote("Notiz4", {{"Alarmdatum", "3/10/2024"}});
    writeNote("Notiz5", {{"Alarmdatum", "10 mars 2024"}}, "Text drei");
    EXPECT_EQ(kNextDay, open().alarmDate());
    EXPECT_EQ(kNextDay, open("Notiz4").alarmDate());
    NoteWindow& unreadable = open("Notiz5");
    EXPECT_EQ(kDay, unreadable.alarmDate());
    EXPECT_NE(std::string::npos, unreadable.memo1.text().find("Text drei"));
}

TEST_F(AlarmTest, ANoteTakingADeletedNotesNumberInheritsNothingOfIt) {
    {
        IniFile ini(settingsPath());
        for (const auto& [key, val] :
             std::vector<std::pair<std::string, std::string>>{{"active", "0"},
                                                              {"NotizTitel", "\"Alt  \""},
                                                              {"showclock", "1"},
                                                              {"Alarmdatum", dateText(kDay)},
                                                              {"RxClock1_AlarmEnabled", "True"},
                                                              {"RxClock1_AlarmHour", "7"},
                                                              {"NormPos", "300,200,584,470"}})
            ini.writeString("Notiz3", key, val);
        ini.close();
    }
    NoteWindow& note = open();
    EXPECT_FALSE(note.alarmItem.checked);
    EXPECT_FALSE(note.RxClock1.alarmEnabled());
    EXPECT_EQ(0, note.RxClock1.alarmHour());
    EXPECT_FALSE(note.RxClock1.visible());
    EXPECT_EQ(nullptr, note.overdueAlarm());
    EXPECT_EQ("<fehlt>", value("NotizTitel"));
    EXPECT_EQ("<fehlt>", value("Alarmdatum"));
    // The place the deleted note left for its successor is kept.
    EXPECT_EQ(300, note.left());
    EXPECT_EQ(284, note.width());
}

TEST_F(AlarmTest, TheSoundIsLoadedOnceAtCreationAndOnlyIfItIsAWave) {
    std::ofstream(dir_ + "alarm.wav", std::ios::binary) << "kein Klang";
    EXPECT_FALSE(open().alarmSound.loaded());

    // A minimal valid wave: 8-bit mono, that many samples of silence.
    const auto silence = [](uint32_t samples) {
        std::string wave = "RIFF____WAVEfmt ";
        const auto put32 = [&wave](uint32_t v) { wave.append(reinterpret_cast<char*>(&v), 4); };
        const auto put16 = [&wave](uint16_t v) { wave.append(reinterpret_cast<char*>(&v), 2); };
        put32(16), put16(1), put16(1), put32(8000), put32(8000), put16(1), put16(8);
        wave += "data";
        put32(samples);
        wave.append(samples, '\x80');
        const uint32_t riffSize = static_cast<uint32_t>(wave.size() - 8);
        wave.replace(4, 4, reinterpret_cast<const char*>(&riffSize), 4);
        return wave;
    };
    const std::string wave = silence(100);
    std::ofstream(dir_ + "alarm.wav", std::ios::binary | std::ios::trunc) << wave;
    NoteWindow& note = open("Notiz4");
    EXPECT_TRUE(note.alarmSound.loaded());
    EXPECT_EQ(wave.size(), note.alarmSound.size());
    // The loaded bytes go to the system, from memory and without waiting;
    // nothing goes where there is no device to play them.
    {
        static unsigned devices;
        static std::size_t size;
        static std::vector<std::pair<std::string, unsigned>> handed;
        const WavePlayer::System real = WavePlayer::system;
        WavePlayer::system = {[] { return devices; },
                              [](const void* w, unsigned flags) {
                                  const char* bytes = static_cast<const char*>(w);
                                  handed.emplace_back(bytes ? std::string(bytes, size) : "", flags);
                                  return true;
                              }};
        size = wave.size();
        devices = 0;
        EXPECT_FALSE(note.alarmSound.play());
        EXPECT_TRUE(handed.empty());
        devices = 1;
        EXPECT_TRUE(note.alarmSound.play());
        note.alarmSound.stop();
        WavePlayer::system = real;
        ASSERT_EQ(2u, handed.size());
        EXPECT_EQ(wave, handed[0].first);
        EXPECT_EQ(static_cast<unsigned>(SND_MEMORY | SND_ASYNC | SND_NODEFAULT), handed[0].second);
        EXPECT_EQ("", handed[1].first) << "stop hands over no sound";
    }

    // The notes share one copy of the file, but a file changed since is
    // read afresh, and the notes that loaded the old one keep it.
    EXPECT_EQ(wave.size(), open("Notiz5").alarmSound.size());
    const std::string longer = silence(300);
    std::ofstream(dir_ + "alarm.wav", std::ios::binary | std::ios::trunc) << longer;
    EXPECT_EQ(longer.size(), open("Notiz6").alarmSound.size());
    EXPECT_EQ(wave.size(), note.alarmSound.size());
}

}  // namespace
