#include "forms/DialogForm.h"

#include <utility>

#include "forms/DialogKeys.h"

namespace tav {

namespace {

bool isPushButton(HWND h) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    const LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(cls, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

DialogForm::DialogForm(std::wstring className, const std::string& caption, int clientWidth,
                       int clientHeight)
    : Form(std::move(className)) {
    setCaption(caption);
    setClientWidth(clientWidth);
    setClientHeight(clientHeight);
}

DialogForm::~DialogForm() { removeDialogKeys(handle()); }

void DialogForm::createDialog(HWND owner) {
    create(owner);
    addDialogKeys(handle());
    centerOnScreen();
}

void DialogForm::createParams(DWORD& style, DWORD& exStyle) {
    // A fixed frame with a caption and no border icons. Not clipping the
    // children: a group box paints only its frame, so its inside is the
    // form's own background.
    style = WS_POPUP | WS_CAPTION;
    exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
}

int DialogForm::showModal() {
    const HWND owner = this->owner();
    disabledOwner_ = owner != nullptr && IsWindowEnabled(owner) ? owner : nullptr;
    if (disabledOwner_ != nullptr) EnableWindow(disabledOwner_, FALSE);
    modalResult_ = IDCANCEL;
    modal_ = true;
    show();
    MSG msg{};
    while (visible()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the main loop must see the quit too.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (translateDialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    modal_ = false;
    const int result = modalResult_;
    dismiss(result);
    return result;
}

// The owner takes input again before the form goes, so that it, and not
// some other program, becomes the active window.
void DialogForm::dismiss(int result) {
    modalResult_ = result;
    if (disabledOwner_ != nullptr) EnableWindow(std::exchange(disabledOwner_, nullptr), TRUE);
    hide();
    // A sent message (another program's click) ends the form inside
    // GetMessage, which would otherwise wait on for a posted one.
    if (modal_) PostMessageW(handle(), WM_NULL, 0, 0);
}

void DialogForm::focusControl(HWND control) {
    if (control == nullptr) return;
    SetFocus(control);
    // An edit field comes with its text selected, so that typing replaces it.
    if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(control, EM_SETSEL, 0, -1);
}

bool DialogForm::handleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_ACTIVATE:
            // What a dialog box does for itself: the focus leaves with the
            // form and comes back to the same control.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(handle(), focus)) focus_ = focus;
            } else {
                if (focus_ == nullptr || !IsWindow(focus_))
                    focus_ = GetNextDlgTabItem(handle(), nullptr, FALSE);
                focusControl(focus_);
            }
            result = 0;
            return true;
        case DM_GETDEFID: {
            // Enter presses the button that has the focus, else "OK"; a
            // window that is no dialog box must say which that is.
            HWND focus = GetFocus();
            const int id = (focus != nullptr && IsChild(handle(), focus) && isPushButton(focus))
                               ? GetDlgCtrlID(focus)
                               : IDOK;
            result = MAKELRESULT(id, DC_HASDEFID);
            return true;
        }
        default:
            return false;
    }
}

bool DialogForm::onCommand(int id, int code, HWND) {
    if (id != IDCANCEL || code != BN_CLICKED) return false;
    dismiss(IDCANCEL);
    return true;
}

void DialogForm::onClose(CloseAction& action) {
    action = CloseAction::None;
    dismiss(IDCANCEL);
}

// Also when the owner takes the window with it.
void DialogForm::onDestroy() { removeDialogKeys(handle()); }

void DialogForm::onShow(bool shown) {
    if (shown) focus_ = nullptr;
}

}  // namespace tav
