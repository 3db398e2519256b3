#pragma once
// The one reminder window of the program, shared by all notes: it shows a
// ringing note's title and text, stays on top, and is closed only by "OK",
// which may ask for the alarm again after a chosen delay.
//
// Every alarm gets a turn of its own: a second alarm that rings while the
// window is up waits in line, and each "OK" answers the note whose text is
// shown. Nothing waits for the answer in a message loop of its own, so the
// program can exit, and the session end, while the window is open.

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "desktop/Handle.h"
#include "forms/DialogForm.h"
#include "forms/RichEdit98.h"
#include "store/AlarmTime.h"

namespace tav {

class AlarmReminder : public DialogForm {
public:
    struct Turn {
        const void* owner = nullptr;  // the note, for withdraw()
        std::string title;            // the caption
        std::string textPath;         // the note's text file; missing: no text
        COLORREF color = RGB(255, 255, 0);
        Date alarmDate;
        int alarmHour = 0;
        int alarmMinute = 0;
        // The answer: the moment to ring again, or nothing.
        std::function<void(const std::optional<DateTime>& repeat)> onAnswer;
    };

    static constexpr int kRepeatId = 201;
    static constexpr int kDelayId = 202;

    // owner: the tray controller's window, which keeps it off the taskbar.
    explicit AlarmReminder(HWND owner);

    // Shows the turn at once, or after the turns before it are answered.
    void remind(Turn turn);
    // A deleted note's turns that wait go; one on the screen stays until
    // "OK" but answers nobody.
    void withdraw(const void* owner);
    // The turn on the screen, if any, and how many are there in all.
    const Turn* current() const { return turns_.empty() ? nullptr : &turns_.front(); }
    std::size_t turns() const { return turns_.size(); }

    RichEdit98 noteText;
    CheckBox repeatCheckBox;  // "&erneute Erinnerung in "
    ComboBox delayComboBox;
    Button okButton;

    void okButtonClick();

    // The moment "OK" is pressed; tests fix it.
    std::function<DateTime()> now;

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Escape and the like: only "OK" answers.
    bool onCommand(int id, int /*code*/, HWND /*control*/) override { return id == IDCANCEL; }
    // Only "OK" closes it; a log-off or shutdown is never held up by it.
    bool closeQuery() override { return false; }
    bool onQueryEndSession() override { return true; }

private:
    void showTurn(const Turn& turn);

    std::deque<Turn> turns_;
    BrushHandle background_;
};

}  // namespace tav
