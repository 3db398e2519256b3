#pragma once
// The about box: product name, version, the project's web address and the
// way to the help page. It is created once at start and only shown and
// hidden afterwards, so it never blocks the notes while it is open.

#include <windows.h>

#include <string>

#include "desktop/Handle.h"
#include "forms/Controls.h"
#include "forms/DialogForm.h"

namespace tav {

inline constexpr char kProjectUrl[] = "https://www.tavelin2000.de/";
inline constexpr char kHelpFileName[] = "index.htm";

class AboutBox : public DialogForm {
public:
    // owner: the tray controller's window, so the box never gets a taskbar
    // button of its own and the foreground command finds it.
    explicit AboutBox(HWND owner);

    Label productNameLabel;
    Label versionLabel;  // "Version:" and the file version, set by the start-up restore
    Label descriptionLabel;
    Link webLink;
    Button helpButton;
    Button okButton;

    // Shows the box in front, not modal.
    void showBox();

    void helpButtonClick();
    void webLinkClick();

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    void onPaint(HDC dc, const RECT& dirty) override;

private:
    IconHandle icon_;
    int iconSize_ = 0;
};

}  // namespace tav
