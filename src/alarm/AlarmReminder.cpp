#include "alarm/AlarmReminder.h"

#include <commctrl.h>

#include <algorithm>

#include "alarm/AlarmLayout.h"
#include "forms/Controls.h"
#include "forms/DialogKeys.h"
#include "desktop/LocalTime.h"
#include "desktop/Utf.h"

namespace tav {

namespace {

using namespace alarm_layout;

constexpr COLORREF kYellowWindow = RGB(255, 255, 0);
constexpr int kTextId = 200;

}  // namespace

AlarmReminder::AlarmReminder(HWND owner)
    : Form(L"AlarmReminder"), now([] { return dateTimeOf(localTimeNow()); }) {
    setName("Alarminfo");
    setCaption("Info");
    setColor(kYellowWindow);
    setClientWidth(kReminderClient.cx);
    setClientHeight(kReminderClient.cy);
    create(owner);

    memo1.create(handle(), kTextId);
    memo1.setBounds(kReminderText.x, kReminderText.y, kReminderText.width, kReminderText.height);
    memo1.setColor(kYellowWindow);
    memo1.setReadOnly(true);
    memo1.setAutoUrlDetect(false);

    CheckBox1 =
        makeControl(*this, L"BUTTON", L"&erneute Erinnerung in ", BS_AUTOCHECKBOX | WS_TABSTOP,
                    kRepeatId, kReminderRepeat, {.name = "Arial", .heightPixels = 13});
    ComboBox1 = makeControl(*this, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                            kDelayId, kReminderDelay, FontSpec{});
    for (const SnoozeChoice& choice : kSnoozeChoices)
        SendMessageW(ComboBox1, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widen(choice.text).c_str()));
    SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
    SendMessageW(ComboBox1, CB_SETMINVISIBLE, static_cast<WPARAM>(kSnoozeChoices.size()), 0);
    OKButton = makeControl(*this, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
                           kReminderOk, FontSpec{});
    waitingLabel = makeControl(*this, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kWaitingId,
                               kReminderWaiting, FontSpec{});
    addDialogKeys(handle());
}

AlarmReminder::~AlarmReminder() { destroy(); }

// Also when the owner takes the window with it.
void AlarmReminder::onDestroy() { removeDialogKeys(handle()); }

void AlarmReminder::createParams(DWORD& style, DWORD& exStyle) {
    // A caption without buttons: there is no way to close it but "OK".
    style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
}

void AlarmReminder::remind(Turn turn) {
    turns_.push_back(std::move(turn));
    if (turns_.size() == 1)
        showTurn(turns_.front());
    else
        showWaiting();
}

void AlarmReminder::showWaiting() {
    const std::size_t waiting = turns_.empty() ? 0 : turns_.size() - 1;
    const std::string text = waiting == 0 ? std::string()
                             : waiting == 1
                                 ? std::string("noch 1 weitere Erinnerung")
                                 : "noch " + std::to_string(waiting) + " weitere Erinnerungen";
    SetWindowTextW(waitingLabel, widen(text).c_str());
}

void AlarmReminder::withdraw(const void* owner) {
    if (turns_.empty()) return;
    if (turns_.front().owner == owner) turns_.front().onAnswer = nullptr;
    turns_.erase(std::remove_if(turns_.begin() + 1, turns_.end(),
                                [owner](const Turn& t) { return t.owner == owner; }),
                 turns_.end());
    showWaiting();
}

// Each turn starts afresh: no repeat asked for, "5 Minuten" chosen.
void AlarmReminder::showTurn(const Turn& turn) {
    setCaption(turn.title);
    SendMessageW(CheckBox1, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
    showWaiting();
    memo1.setColor(turn.color);
    // A note whose text file is gone, or cannot be read, still rings: the
    // reminder then shows its title alone.
    try {
        memo1.clear();
        memo1.loadFromFile(turn.textPath);
    } catch (...) {
        memo1.clear();
    }
    centerOnScreen();
    SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EnableWindow(OKButton, FALSE);
    SetTimer(handle(), kSettleTimer, kSettleMs, nullptr);
    show();
    SetForegroundWindow(handle());
    SetFocus(handle());
    if (turn.announce) turn.announce();
}

void AlarmReminder::onTimer(UINT_PTR id) {
    if (id != kSettleTimer) return;
    KillTimer(handle(), kSettleTimer);
    EnableWindow(OKButton, TRUE);
    SetFocus(OKButton);
}

void AlarmReminder::OKButtonClick() {
    if (turns_.empty()) {
        hide();
        return;
    }
    Turn answered = std::move(turns_.front());
    turns_.pop_front();
    std::optional<DateTime> repeat;
    if (SendMessageW(CheckBox1, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        const int index = static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0));
        repeat = snoozedMoment(answered.alarmDate, answered.alarmHour, answered.alarmMinute, now(),
                               snoozeMinutes(index), systemZone());
    }
    // The next turn is on the screen before this answer runs, so that one
    // answer that fails cannot hold up the others.
    if (turns_.empty())
        hide();
    else
        showTurn(turns_.front());
    if (answered.onAnswer) answered.onAnswer(repeat);
}

// The check box and the count sit on the yellow window, not on grey patches.
bool AlarmReminder::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    if ((msg != WM_CTLCOLORSTATIC && msg != WM_CTLCOLORBTN) ||
        (control != CheckBox1 && control != waitingLabel))
        return false;
    if (!background_) background_.reset(CreateSolidBrush(color()));
    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    result = reinterpret_cast<LRESULT>(background_.get());
    return true;
}

bool AlarmReminder::onCommand(int id, int code, HWND) {
    if (id == IDOK && code == BN_CLICKED) {
        if (IsWindowEnabled(OKButton)) OKButtonClick();
        return true;
    }
    // Escape and the like: only "OK" answers.
    return id == IDCANCEL;
}

bool AlarmReminder::onNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != memo1.hwnd()) return false;
    const bool handled = memo1.handleNotify(&header);
    result = 0;
    return handled;
}

}  // namespace tav
