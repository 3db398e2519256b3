#pragma once
// Forms that behave as dialog boxes: Tab, Enter, Escape and the underlined
// letters work through the main loop's dialog keys (DialogKeys.h). Most are
// created once and shown and hidden, never modal, so the notes stay usable
// while one is open; a few are shown modally (showModal), as a question that
// must be answered first.

#include <windows.h>

#include <string>

#include "forms/Form.h"
#include "forms/StdControls.h"

namespace tav {

class DialogForm : public Form {
public:
    DialogForm(std::wstring className, const std::string& caption, int clientWidth,
               int clientHeight);
    ~DialogForm() override;

    // Shows the form and returns once it is closed, with the result given
    // to dismiss() (IDCANCEL when it was closed otherwise). Its owner takes
    // no input meanwhile; the rest of the program goes on.
    int showModal();
    // Closes the form: hides it, and a modal one ends with this result.
    void dismiss(int result);

protected:
    // Creates the window hidden and centred on the screen; owner keeps it
    // off the taskbar. Call from the most derived constructor, then create
    // the controls in their Tab order.
    void createDialog(HWND owner);

    void createParams(DWORD& style, DWORD& exStyle) override;
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Escape closes without doing anything else.
    bool onCommand(int id, int code, HWND control) override;
    void onClose(CloseAction& action) override;
    void onDestroy() override;
    // Every show starts on the first control, as a freshly opened dialog does.
    void onShow(bool shown) override;

private:
    void focusControl(HWND control);

    HWND focus_ = nullptr;  // the control that had the focus when the form lost it
    HWND disabledOwner_ = nullptr;
    int modalResult_ = IDCANCEL;
    bool modal_ = false;  // showModal's loop runs
};

}  // namespace tav
