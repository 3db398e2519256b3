#include "alarm/AlarmReminder.h"

#include <algorithm>

#include "desktop/LocalTime.h"
#include "forms/LinkFollow.h"

namespace tav {

namespace {

constexpr COLORREF kYellowWindow = RGB(255, 255, 0);
constexpr int kTextId = 200;

// The whole layout at 96 dots per inch: the note's text on top, the repeat
// row below.
namespace layout {
constexpr int kClientWidth = 395;
constexpr int kClientHeight = 345;
constexpr LayoutRect noteText{0, 0, 395, 290};
constexpr LayoutRect waitingText{10, 291, 375, 14};
constexpr LayoutRect repeatCheckBox{10, 308, 160, 21};
// The height holds the closed box and its list of ten entries.
constexpr LayoutRect delayComboBox{172, 306, 110, 200};
constexpr LayoutRect okButton{308, 305, 75, 25};
}  // namespace layout

}  // namespace

AlarmReminder::AlarmReminder(HWND owner)
    : DialogForm(L"AlarmReminder", "Info", layout::kClientWidth, layout::kClientHeight),
      now([] { return dateTimeOf(localTimeNow()); }) {
    setName("Alarminfo");
    setColor(kYellowWindow);
    createDialog(owner);

    noteText.setBounds(layout::noteText);
    noteText.create(*this, kTextId);
    noteText.setColor(kYellowWindow);
    noteText.setReadOnly(true);
    noteText.setAutoUrlDetect(false);
    // A link field of the note is a link here too, and is followed alike.
    noteText.onLinkClick = [this](const std::string& link, const std::string& shown) {
        followLink(handle(), link, shown);
    };
    repeatCheckBox.create(*this, "&erneute Erinnerung in ", kRepeatId, layout::repeatCheckBox);
    repeatCheckBox.setFont({.name = "Arial", .heightPixels = 13});
    delayComboBox.create(*this, kDelayId, layout::delayComboBox);
    delayComboBox.setFont({});
    for (const SnoozeChoice& choice : kSnoozeChoices) delayComboBox.add(choice.text);
    delayComboBox.setItemIndex(0);
    delayComboBox.setVisibleItems(static_cast<int>(kSnoozeChoices.size()));
    okButton.create(*this, "OK", IDOK, layout::okButton, true);
    okButton.setFont({});
    okButton.onClick = [this] {
        if (IsWindowEnabled(okButton.handle())) okButtonClick();
    };
    waitingText.create(*this, "", layout::waitingText, false, kWaitingId);
}

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
    waitingText.setText(waiting == 0 ? std::string()
                        : waiting == 1
                            ? std::string("noch 1 weitere Erinnerung")
                            : "noch " + std::to_string(waiting) + " weitere Erinnerungen");
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
    repeatCheckBox.setChecked(false);
    delayComboBox.setItemIndex(0);
    showWaiting();
    noteText.setColor(turn.color);
    // A note whose text file is gone, or cannot be read, still rings: the
    // reminder then shows its title alone.
    try {
        noteText.clear();
        noteText.loadFromFile(turn.textPath);
    } catch (...) {
        noteText.clear();
    }
    centerOnScreen();
    SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EnableWindow(okButton.handle(), FALSE);
    SetTimer(handle(), kSettleTimer, kSettleMs, nullptr);
    show();
    SetForegroundWindow(handle());
    SetFocus(handle());
    if (turn.announce) turn.announce();
}

void AlarmReminder::onTimer(UINT_PTR id) {
    if (id != kSettleTimer) return;
    KillTimer(handle(), kSettleTimer);
    EnableWindow(okButton.handle(), TRUE);
    okButton.setFocus();
}

void AlarmReminder::okButtonClick() {
    if (turns_.empty()) {
        hide();
        return;
    }
    Turn answered = std::move(turns_.front());
    turns_.pop_front();
    std::optional<DateTime> repeat;
    if (repeatCheckBox.checked()) {
        repeat = snoozedMoment(answered.alarmDate, answered.alarmHour, answered.alarmMinute, now(),
                               snoozeMinutes(delayComboBox.itemIndex()), systemZone());
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
    if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) &&
        (control == repeatCheckBox.handle() || control == waitingText.handle())) {
        if (!background_) background_.reset(CreateSolidBrush(color()));
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        result = reinterpret_cast<LRESULT>(background_.get());
        return true;
    }
    return DialogForm::handleMessage(msg, wParam, lParam, result);
}

}  // namespace tav
