#include "forms/DialogForm.h"

#include <commctrl.h>

#include <charconv>
#include <set>
#include <stdexcept>

#include "forms/DialogKeys.h"
#include "forms/Dpi.h"
#include "desktop/Utf.h"

namespace tav {

namespace {

std::string windowText(HWND h) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

// A line of a list box or of a combo box's list; both answer LB_ERR (-1)
// for a line that is not there.
std::string lineText(HWND h, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageW(h, lengthMessage, index, 0);
    if (length < 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(h, textMessage, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return narrow(text);
}

bool isPushButton(HWND h) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    const LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(cls, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

// ---- DialogForm

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
    hide();
    return true;
}

void DialogForm::onShow(bool shown) {
    if (shown) focus_ = nullptr;
}

// ---- StdControl

StdControl::~StdControl() {
    if (parent_ != nullptr) parent_->detach(this);
}

void StdControl::createChild(DialogForm& parent, const wchar_t* className, const std::string& text,
                             DWORD style, DWORD exStyle, int id, const LayoutRect& r) {
    if (parent.handle() == nullptr) throw std::logic_error("StdControl ohne Fenster");
    const RECT pixels = deviceRect(parent.handle(), r.x, r.y, r.w, r.h);
    hwnd_ = CreateWindowExW(
        exStyle, className, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, pixels.left,
        pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top, parent.handle(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ == nullptr) {
        throw std::runtime_error("Das Bedienelement " + narrow(className) +
                                 " konnte nicht erzeugt werden.");
    }
    parent_ = &parent;
    id_ = id;
    place_ = r;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(parent.dialogFont()), FALSE);
    parent.attach(this);
}

void StdControl::dpiChanged() {
    const RECT r = deviceRect(parent_->handle(), place_.x, place_.y, place_.w, place_.h);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(parent_->dialogFont()), TRUE);
}

std::string StdControl::text() const { return windowText(hwnd_); }

void StdControl::setText(const std::string& text) { SetWindowTextW(hwnd_, widen(text).c_str()); }

void StdControl::setFocus() { SetFocus(hwnd_); }

// ---- Button, CheckBox, GroupBox, StaticText

void Button::create(DialogForm& parent, const std::string& caption, int id, const LayoutRect& r,
                    bool isDefault) {
    createChild(parent, L"BUTTON", caption,
                WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, id, r);
}

void Button::click() {
    if (auto handler = onClick) guarded(parent_ ? parent_->handle() : nullptr, handler);
}

// Matched by id: Enter and Escape arrive as the command of IDOK or IDCANCEL.
bool Button::forwardCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) != id_ || HIWORD(wParam) != BN_CLICKED) return false;
    click();
    return true;
}

void CheckBox::create(DialogForm& parent, const std::string& caption, int id, const LayoutRect& r) {
    createChild(parent, L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, id, r);
}

bool CheckBox::checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::setChecked(bool on) {
    SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void GroupBox::create(DialogForm& parent, const std::string& caption, const LayoutRect& r) {
    createChild(parent, L"BUTTON", caption, BS_GROUPBOX, 0, -1, r);
}

void StaticText::create(DialogForm& parent, const std::string& text, const LayoutRect& r,
                        bool alignRight) {
    createChild(parent, L"STATIC", text, SS_NOPREFIX | (alignRight ? SS_RIGHT : SS_LEFT), 0, -1, r);
}

// ---- Edit, SpinEdit

void Edit::create(DialogForm& parent, int id, const LayoutRect& r) {
    createChild(parent, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, id, r);
}

void Edit::setMaxLength(int characters) { SendMessageW(hwnd_, EM_LIMITTEXT, characters, 0); }

void Edit::selectAll() { SendMessageW(hwnd_, EM_SETSEL, 0, -1); }

void SpinEdit::create(DialogForm& parent, int id, const LayoutRect& r, int minValue, int maxValue) {
    min_ = minValue;
    max_ = maxValue;
    createChild(parent, L"EDIT", std::to_string(minValue),
                WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE, id, r);
    upDown_ =
        CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                        WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                        0, 0, 0, 0, parent.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (upDown_ == nullptr) throw std::runtime_error("Das Drehfeld konnte nicht erzeugt werden.");
    SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd_), 0);
    SendMessageW(upDown_, UDM_SETRANGE32, minValue, maxValue);
    placeArrows();
}

void SpinEdit::dpiChanged() {
    StdControl::dpiChanged();
    placeArrows();
}

// At the field's right edge, which gives way by their width: that of the
// system's scroll arrows at the form's density. The control's own alignment
// knows a single width for every density.
void SpinEdit::placeArrows() {
    const RECT r = deviceRect(parent_->handle(), place_.x, place_.y, place_.w, place_.h);
    const int arrows = systemMetric(SM_CXVSCROLL, parent_->dpi());
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left - arrows, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(upDown_, nullptr, r.right - arrows, r.top, arrows, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int SpinEdit::value() const {
    std::string t = text();
    const auto first = t.find_first_not_of(' ');
    const auto last = t.find_last_not_of(' ');
    if (first == std::string::npos) return min_;
    t = t.substr(first, last - first + 1);
    long long v = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (error == std::errc::result_out_of_range) return t[0] == '-' ? min_ : max_;
    if (error != std::errc() || end != t.data() + t.size()) return min_;
    if (v < min_) return min_;
    if (v > max_) return max_;
    return static_cast<int>(v);
}

void SpinEdit::setValue(int v) { setText(std::to_string(v < min_ ? min_ : v > max_ ? max_ : v)); }

bool SpinEdit::forwardCommand(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != hwnd_ || HIWORD(wParam) != EN_KILLFOCUS) return false;
    const std::string shown = std::to_string(value());
    if (text() != shown) setText(shown);
    return true;
}

// ---- FontComboBox

namespace {

// A named callback: on 32-bit Windows a lambda does not convert to the
// stdcall pointer the system wants.
int CALLBACK collectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
    // Faces beginning with "@" are the vertical variants of East Asian fonts.
    if (font->lfFaceName[0] != L'@')
        reinterpret_cast<std::set<std::wstring>*>(names)->insert(font->lfFaceName);
    return 1;
}

}  // namespace

void FontComboBox::create(DialogForm& parent, int id, const LayoutRect& r, int dropDownHeight) {
    createChild(parent, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 0,
                id, {r.x, r.y, r.w, dropDownHeight});
}

void FontComboBox::fill() {
    filled_ = true;
    std::set<std::wstring> names;
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, collectFace, reinterpret_cast<LPARAM>(&names), 0);
    ReleaseDC(nullptr, screen);
    for (const auto& name : names)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

std::string FontComboBox::fontName() const {
    const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? std::string() : item(static_cast<int>(index));
}

void FontComboBox::setFontName(const std::string& name) {
    if (!filled_) fill();
    const std::wstring face = widen(name);
    LRESULT index = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(face.c_str()));
    if (index == CB_ERR && !face.empty())
        index = SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

int FontComboBox::count() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }

std::string FontComboBox::item(int index) const {
    return lineText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

// ---- ListBox

void ListBox::create(DialogForm& parent, int id, const LayoutRect& r) {
    createChild(parent, L"LISTBOX", "", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE, id, r);
}

void ListBox::add(const std::string& line) {
    const std::wstring text = widen(line);
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ListBox::count() const { return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0)); }

std::string ListBox::item(int index) const {
    return lineText(hwnd_, LB_GETTEXTLEN, LB_GETTEXT, index);
}

int ListBox::itemIndex() const {
    const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::setItemIndex(int index) { SendMessageW(hwnd_, LB_SETCURSEL, index, 0); }

}  // namespace tav
