#pragma once
// "Alarm überfallig": an alarm whose moment passed while the program was not
// running, shown once at the note's first appearance. One per overdue note,
// owned by the note window.

#include <windows.h>

#include <string>

#include "forms/Controls.h"
#include "forms/Form.h"
#include "desktop/Handle.h"
#include "forms/RichEdit98.h"

namespace tav {

class OverdueAlarm : public Form {
public:
    // Shows the note's title and text (a missing or unreadable text file
    // leaves the text empty) on the note's colour, and appears at once. The
    // window is named after the note with an "a".
    OverdueAlarm(HWND owner, const std::string& noteName, const std::string& title,
                 const std::string& textPath, COLORREF color);
    ~OverdueAlarm() override;

    Label Panel2;  // the title
    RichEdit98 memo1;
    HWND Button1 = nullptr;  // "O.K."

    void Button1Click();
    void memo1URLClick(const std::string& link);

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    void onDestroy() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(const NMHDR& header, LRESULT& result) override;
    void onSize(int clientWidth, int clientHeight) override;
};

}  // namespace tav
