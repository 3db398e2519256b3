#pragma once
// The about box: product name, version, the project's web address and the
// way to the help page. It is created once at start and only shown and
// hidden afterwards, so it never blocks the notes while it is open.

#include <windows.h>

#include <string>

#include "forms/Controls.h"
#include "forms/Form.h"
#include "desktop/Handle.h"

namespace tav {

inline constexpr char kProjectUrl[] = "https://www.tavelin2000.de/";
inline constexpr char kHelpFileName[] = "index.htm";

class AboutBox : public Form {
public:
    // owner: the tray controller's window, so the box never gets a taskbar
    // button of its own and the foreground command finds it.
    explicit AboutBox(HWND owner);
    ~AboutBox() override;

    Label ProductName;
    Label Version;  // "Version:" and the file version, set by the start-up restore
    Label Copyright;

    // Shows the box in front, not modal.
    void showBox();

    // Enter, Escape and Tab for the box; the main loop asks before it
    // dispatches a message. True: the message has been handled.
    bool preTranslate(MSG& msg);

    void OKButtonClick();
    void HelpButtonClick();
    void WebLinkClick();

    HWND okButton() const { return okButton_; }
    HWND helpButton() const { return helpButton_; }
    HWND webLink() const { return webLink_; }

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(const NMHDR& header, LRESULT& result) override;
    void onPaint(HDC dc, const RECT& dirty) override;

private:
    IconHandle icon_;
    int iconSize_ = 0;
    HWND okButton_ = nullptr;
    HWND helpButton_ = nullptr;
    HWND webLink_ = nullptr;
};

}  // namespace tav
