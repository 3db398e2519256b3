#pragma once
// "Alarm überfallig": an alarm whose moment passed while the program was not
// running, shown once at the note's first appearance. One per overdue note,
// owned by the note window.

#include <windows.h>

#include <string>

#include "forms/Controls.h"
#include "forms/DialogForm.h"
#include "forms/RichEdit98.h"

namespace tav {

class OverdueAlarm : public DialogForm {
public:
    // Shows the note's title and text (a missing or unreadable text file
    // leaves the text empty) on the note's colour, and appears at once. The
    // window is named after the note with an "a".
    OverdueAlarm(HWND owner, const std::string& noteName, const std::string& title,
                 const std::string& textPath, COLORREF color);

    Label titlePanel;
    RichEdit98 noteText;
    Button okButton;  // "O.K."

    void okButtonClick();

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    void onSize(int clientWidth, int clientHeight) override;
};

}  // namespace tav
