#include <gtest/gtest.h>
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "KitTestSupport.h"
#include "forms/Form.h"
#include "desktop/HiTimer.h"
#include "desktop/HotKey.h"
#include "forms/RxClock.h"
#include "desktop/ShellFiles.h"
#include "desktop/TrayIcon.h"
#include "desktop/VersionInfo.h"
#include "store/FileIo.h"
#include "store/Utf8Path.h"
#include "version.h"

namespace tav {
namespace {

using test::pumpUntil;
using test::Snapshot;

SYSTEMTIME at(int hour, int minute, int second) {
    SYSTEMTIME time = {};
    time.wYear = 2024;
    time.wMonth = 5;
    time.wDay = 6;
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return time;
}

// A form for the clocks, as a note is one.
class HostWindow : public Form {
public:
    HostWindow() : Form(L"TKitClockHost") {
        setBounds(20, 20, 300, 200);
        create();
        show();
    }
};

class DesktopServices : public ::testing::Test {
protected:
    void SetUp() override {
        setErrorBoxFunction([this](HWND, const std::string& text) { errors.push_back(text); });
    }
    void TearDown() override { setErrorBoxFunction(nullptr); }
    std::vector<std::string> errors;
};

TEST_F(DesktopServices, ClockShowsTheTimeInTheColoursItIsGiven) {
    EXPECT_EQ(RxClock::timeText(at(9, 5, 3)), L"09:05:03");
    EXPECT_EQ(RxClock::timeText(at(23, 59, 59)), L"23:59:59");

    HostWindow host;
    RxClock clock;
    clock.create(host, 7);
    clock.setBounds({0, 100, 200, RxClock::kHeight});
    clock.setVisible(true);
    EXPECT_TRUE(IsWindowVisible(clock.handle()));
    clock.setColor(RGB(255, 255, 0));
    {
        Snapshot shot(clock.handle(), 200, RxClock::kHeight);
        EXPECT_EQ(shot.pixel(0, 0), RGB(255, 255, 0));
        EXPECT_GT(shot.count(RGB(0, 0, 0)), 20) << "the digits";
    }
    clock.setColor(RGB(0, 0, 255));
    clock.setFontColor(RGB(255, 0, 0));
    {
        Snapshot shot(clock.handle(), 200, RxClock::kHeight);
        EXPECT_EQ(shot.pixel(199, 16), RGB(0, 0, 255));
        EXPECT_GT(shot.count(RGB(255, 0, 0)), 20);
        EXPECT_EQ(shot.count(RGB(0, 0, 0)), 0);
    }
    clock.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(clock.handle()));
}

TEST_F(DesktopServices, ClockAlarmFiresOnceAtItsTime) {
    RxClock clock;
    clock.now = [] { return at(8, 0, 0); };
    int alarms = 0;
    clock.onAlarm = [&](const DateTime&, const DateTime&) { ++alarms; };
    clock.setAlarmHour(9);
    clock.setAlarmMinute(0);
    clock.setAlarmSecond(40);
    clock.tick(at(8, 59, 59));
    clock.tick(at(9, 0, 40));  // not enabled yet
    EXPECT_EQ(alarms, 0);

    clock.setAlarmEnabled(true);
    clock.tick(at(8, 59, 59));
    clock.tick(at(9, 0, 39));
    EXPECT_EQ(alarms, 0);
    // A late tick still fires; the rest of that minute does not fire again.
    clock.tick(at(9, 0, 42));
    for (int second = 43; second < 60; ++second) clock.tick(at(9, 0, second));
    EXPECT_EQ(alarms, 1);
    // The next day it comes again.
    clock.tick(at(9, 1, 0));
    clock.tick(at(8, 0, 0));
    clock.tick(at(9, 0, 40));
    EXPECT_EQ(alarms, 2);
}

TEST_F(DesktopServices, ClockAlarmArmedAfterItsTimeWaitsForTheNextDay) {
    RxClock clock;
    SYSTEMTIME now = at(9, 0, 20);  // armed while 09:00:00 is already past
    clock.now = [&] { return now; };
    int alarms = 0;
    clock.onAlarm = [&](const DateTime&, const DateTime&) { ++alarms; };
    clock.setAlarmHour(9);
    clock.setAlarmEnabled(true);
    clock.tick(at(9, 0, 20));
    clock.tick(at(9, 0, 21));
    EXPECT_EQ(alarms, 0);
    clock.tick(at(23, 59, 59));
    clock.tick(at(0, 0, 0));
    clock.tick(at(9, 0, 0));
    EXPECT_EQ(alarms, 1);
}

TEST_F(DesktopServices, ClockRefusesImpossibleAlarmTimes) {
    RxClock clock;
    clock.setAlarmHour(7);
    clock.setAlarmMinute(30);
    EXPECT_THROW(clock.setAlarmHour(24), std::out_of_range);
    EXPECT_THROW(clock.setAlarmMinute(60), std::out_of_range);
    EXPECT_THROW(clock.setAlarmSecond(-1), std::out_of_range);
    EXPECT_EQ(clock.alarmHour(), 7);
    EXPECT_EQ(clock.alarmMinute(), 30);
    EXPECT_EQ(clock.alarmSecond(), 0);
}

// A note's clock is often hidden; its alarm must come all the same.
TEST_F(DesktopServices, HiddenClockStillRaisesItsAlarm) {
    HostWindow host;
    RxClock clock;
    clock.create(host, 7);
    bool fired = false;
    clock.onAlarm = [&](const DateTime&, const DateTime&) { fired = true; };
    // The clock's own timer does the ticking; only the time of day is ours.
    SYSTEMTIME now = at(8, 59, 59);
    clock.now = [&] { return now; };
    clock.setAlarmHour(9);
    clock.setAlarmEnabled(true);
    EXPECT_FALSE(clock.visible());
    now = at(9, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return fired; }));
}

// All clocks tick from one timer. An alarm whose answer ends another clock
// (its note deleted) must neither stop the rest nor reach the ended one.
TEST_F(DesktopServices, ClocksShareOneTimerThatSurvivesAClockEndingAnother) {
    HostWindow host;
    SYSTEMTIME now = at(8, 59, 59);
    std::unique_ptr<RxClock> clocks[3];
    std::vector<int> fired;
    for (int i = 0; i < 3; ++i) {
        clocks[i] = std::make_unique<RxClock>();
        clocks[i]->create(host, 10 + i);
        clocks[i]->now = [&] { return now; };
        clocks[i]->setVisible(i != 2);  // a hidden one rings as well
        clocks[i]->setAlarmHour(9);
        clocks[i]->setAlarmEnabled(true);
        clocks[i]->onAlarm = [&, i](const DateTime&, const DateTime&) {
            fired.push_back(i);
            if (i == 0) clocks[1].reset();
        };
    }
    now = at(9, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return fired.size() >= 2; }));
    EXPECT_EQ((std::vector<int>{0, 2}), fired);
    EXPECT_EQ(nullptr, clocks[1]);
}

// An unusual combination, so no other program on the desktop holds it.
constexpr int kShortcut = 0x4000 | 0x8000 | 0x2000 | VK_F11;

TEST_F(DesktopServices, HotKeyRegistersReportsConflictsAndUnregisters) {
    HotKey first;
    HotKey second;
    EXPECT_TRUE(first.setShortcut(kShortcut));
    EXPECT_TRUE(first.registered());
    EXPECT_FALSE(second.setShortcut(kShortcut)) << "the key is taken";
    EXPECT_FALSE(second.registered());
    EXPECT_EQ(second.shortcut(), kShortcut);

    EXPECT_TRUE(first.setShortcut(0));
    EXPECT_FALSE(first.registered());
    EXPECT_TRUE(second.setShortcut(kShortcut)) << "free again";
    EXPECT_FALSE(first.setShortcut(0x4000 | 0x8000)) << "no key code";
}

TEST_F(DesktopServices, HotKeyPressRunsItsHandler) {
    HotKey key;
    int presses = 0;
    key.onPress = [&] { ++presses; };
    ASSERT_TRUE(key.setShortcut(kShortcut));
    test::ForeignFocus focus;
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == focus.hwnd(); }));
    const WORD keys[] = {VK_CONTROL, VK_MENU, VK_SHIFT, VK_F11};
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        inputs.push_back(in);
    }
    for (int i = 3; i >= 0; --i) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = keys[i];
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    EXPECT_TRUE(pumpUntil([&] { return presses > 0; }));
    EXPECT_EQ(presses, 1);
}

TEST_F(DesktopServices, TimerTicksUntilSwitchedOffAndMayDieInItsHandler) {
    Timer timer(10);
    int ticks = 0;
    timer.onTimer = [&] {
        if (++ticks == 3) timer.setEnabled(false);
    };
    timer.setEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return ticks >= 3; }));
    // A witness of the same interval, started once the first one is off:
    // while it ticks five times, a first one still running would have
    // ticked too. Counting its ticks, not the clock, says the wait was long
    // enough.
    Timer witness(10);
    int witnessed = 0;
    witness.onTimer = [&] { ++witnessed; };
    witness.setEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return witnessed >= 5; }));
    EXPECT_EQ(ticks, 3);

    auto doomed = std::make_unique<HiTimer>();
    EXPECT_EQ(doomed->interval(), 50u);
    bool gone = false;
    doomed->onTimer = [&] {
        doomed.reset();
        gone = true;
    };
    doomed->setEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return gone; }));
    EXPECT_TRUE(errors.empty());
}

// The shell's own word on whether it shows our icon: only an icon it has can
// be modified.
bool shellHasIcon(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = TrayIcon::kIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// As a taskbar that restarts: the shell drops the icon behind our back.
void forgetIcon(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = TrayIcon::kIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

TEST_F(DesktopServices, TrayIconAddsAnswersAndGoes) {
    auto icon = std::make_unique<TrayIcon>();
    icon->setHint("Tavelin 2000");
    icon->setIcon(LoadIconW(nullptr, IDI_APPLICATION));
    int doubleClicks = 0;
    std::vector<POINT> menus;
    icon->onDoubleClick = [&] { ++doubleClicks; };
    icon->onContextMenu = [&](POINT p) { menus.push_back(p); };
    ASSERT_TRUE(icon->show());
    EXPECT_TRUE(icon->visible());

    const HWND window = icon->hwnd();
    EXPECT_TRUE(shellHasIcon(window));
    SendMessageW(window, WM_APP + 1, 1, WM_LBUTTONDBLCLK);
    SendMessageW(window, WM_APP + 1, 1, WM_RBUTTONUP);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(menus.size(), 1u);

    // A restarted taskbar has forgotten every icon and says so; ours is
    // back in the shell afterwards, and stays when it had survived.
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    forgetIcon(window);
    ASSERT_FALSE(shellHasIcon(window));
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(shellHasIcon(window));
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(shellHasIcon(window));

    icon->setHint("anders");
    icon->hide();
    EXPECT_FALSE(shellHasIcon(window));
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_FALSE(shellHasIcon(window)) << "a hidden icon stays hidden";
    EXPECT_TRUE(icon->show());
    EXPECT_TRUE(shellHasIcon(window));
    icon.reset();
    EXPECT_FALSE(shellHasIcon(window));
    EXPECT_TRUE(errors.empty());
}

TEST_F(DesktopServices, VersionComesFromTheVersionResource) {
    EXPECT_EQ(VersionInfo::fileVersion(), TAVELIN_VERSION_TEXT);
    EXPECT_EQ(VersionInfo::fileVersionOf(exeDirectory() + "gibt-es-nicht.exe"), "");
}

TEST_F(DesktopServices, ShellFilesCopyAndFindDirectories) {
    const std::string exeDir = exeDirectory();
    ASSERT_FALSE(exeDir.empty());
    EXPECT_EQ(exeDir.back(), '\\');
    EXPECT_TRUE(std::filesystem::exists(fsPath(exeDir)));
    const std::string windows = windowsDirectory();
    ASSERT_GT(windows.size(), 3u);
    EXPECT_NE(windows.back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(fsPath(windows)));

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path dir =
        std::filesystem::path(temp) / (L"tav-shell-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    const std::string from = utf8(dir / L"Gr\u00fc\u00dfe \u00e4.ini");
    const std::string to = utf8(dir / L"Kopie \u00f6.ini");
    writeFileAtomically(from, "[Settings]\r\nx=1\r\n");
    writeFileAtomically(to, "alt");
    EXPECT_TRUE(shellCopy(from, to));
    EXPECT_EQ(readWholeFile(to), std::optional<std::string>("[Settings]\r\nx=1\r\n"));
    EXPECT_FALSE(shellCopy(utf8(dir / L"fehlt.ini"), utf8(dir / L"neu.ini")));
    EXPECT_FALSE(fileExists(utf8(dir / L"neu.ini")));
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

}  // namespace
}  // namespace tav
