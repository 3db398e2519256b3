#include "forms/StdControls.h"

#include <commctrl.h>

#include <charconv>
#include <set>
#include <vector>

#include "desktop/Utf.h"
#include "forms/Dpi.h"

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

}  // namespace

// ---- StdControl

void StdControl::createChild(Form& parent, const wchar_t* className, const std::string& text,
                             DWORD style, DWORD exStyle, int id, const LayoutRect& place) {
    join(parent);
    hwnd_ = makeWindow(className, widen(text), WS_VISIBLE | style, exStyle, id, place,
                       "Das Bedienelement");
    id_ = id;
    place_ = place;
    applyFont();
}

void StdControl::setFont(const FontSpec& font) {
    font_ = font;
    if (hwnd_ != nullptr) applyFont();
}

// The old font stays until the control has the new one.
void StdControl::applyFont() {
    FontHandle font = font_ ? makeFont(*font_, parent_->dpi()) : FontHandle{};
    SendMessageW(hwnd_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(font_ ? font.get() : parent_->dialogFont()), TRUE);
    hfont_ = std::move(font);
}

void StdControl::dpiChanged() {
    WindowControl::dpiChanged();
    applyFont();
}

std::string StdControl::text() const { return windowText(hwnd_); }

void StdControl::setText(const std::string& text) { SetWindowTextW(hwnd_, widen(text).c_str()); }

void StdControl::setFocus() { SetFocus(hwnd_); }

// ---- Button, CheckBox, GroupBox, Bevel, StaticText

void Button::create(Form& parent, const std::string& caption, int id, const LayoutRect& place,
                    bool isDefault) {
    createChild(parent, L"BUTTON", caption,
                WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0, id, place);
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

void CheckBox::create(Form& parent, const std::string& caption, int id, const LayoutRect& place) {
    createChild(parent, L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, id, place);
}

bool CheckBox::checked() const { return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::setChecked(bool on) {
    SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void GroupBox::create(Form& parent, const std::string& caption, const LayoutRect& place) {
    createChild(parent, L"BUTTON", caption, BS_GROUPBOX, 0, -1, place);
}

void Bevel::create(Form& parent, int id, const LayoutRect& place) {
    createChild(parent, L"STATIC", "", SS_ETCHEDFRAME, 0, id, place);
}

void StaticText::create(Form& parent, const std::string& text, const LayoutRect& place,
                        bool alignRight, int id) {
    // Its texts are the program's own: an "&" marks the key that takes the
    // focus to the field after it.
    createChild(parent, L"STATIC", text, alignRight ? SS_RIGHT : SS_LEFT, 0, id, place);
}

// ---- Edit, SpinEdit

void Edit::create(Form& parent, int id, const LayoutRect& place) {
    createChild(parent, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, id, place);
}

void Edit::setMaxLength(int characters) { SendMessageW(hwnd_, EM_LIMITTEXT, characters, 0); }

void Edit::selectAll() { SendMessageW(hwnd_, EM_SETSEL, 0, -1); }

void SpinEdit::create(Form& parent, int id, const LayoutRect& place, int minValue, int maxValue) {
    min_ = minValue;
    max_ = maxValue;
    createChild(parent, L"EDIT", std::to_string(minValue),
                WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER | ES_RIGHT, WS_EX_CLIENTEDGE, id, place);
    upDown_ = makeWindow(UPDOWN_CLASSW, L"",
                         WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, {},
                         "Das Drehfeld");
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
    const RECT r = deviceRect(parent_->handle(), place_);
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

// ---- ComboBox, FontComboBox

void ComboBox::create(Form& parent, int id, const LayoutRect& place, bool sorted) {
    createChild(parent, WC_COMBOBOXW, "",
                WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | (sorted ? CBS_SORT : 0), 0, id, place);
}

void ComboBox::add(const std::string& item) {
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
}

int ComboBox::count() const { return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)); }

std::string ComboBox::item(int index) const {
    return lineText(hwnd_, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

int ComboBox::itemIndex() const {
    const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::setItemIndex(int index) { SendMessageW(hwnd_, CB_SETCURSEL, index, 0); }

void ComboBox::setVisibleItems(int lines) { SendMessageW(hwnd_, CB_SETMINVISIBLE, lines, 0); }

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

void FontComboBox::create(Form& parent, int id, const LayoutRect& place) {
    ComboBox::create(parent, id, place, true);
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

std::string FontComboBox::fontName() const { return item(itemIndex()); }

void FontComboBox::setFontName(const std::string& name) {
    if (!filled_) fill();
    const std::wstring face = widen(name);
    LRESULT index = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(face.c_str()));
    if (index == CB_ERR && !face.empty())
        index = SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

// ---- ListBox

void ListBox::create(Form& parent, int id, const LayoutRect& place) {
    createChild(parent, L"LISTBOX", "",
                WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS,
                WS_EX_CLIENTEDGE, id, place);
}

void ListBox::setTabStops(std::initializer_list<int> stops) {
    std::vector<INT> values(stops.begin(), stops.end());
    SendMessageW(hwnd_, LB_SETTABSTOPS, values.size(), reinterpret_cast<LPARAM>(values.data()));
}

void ListBox::clear() { SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0); }

void ListBox::add(const std::string& line) {
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(line).c_str()));
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

// ---- DateTimePicker, Link

void DateTimePicker::create(Form& parent, int id, const LayoutRect& place, DWORD style) {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)registered;
    createChild(parent, DATETIMEPICK_CLASSW, "", WS_TABSTOP | style, 0, id, place);
}

SYSTEMTIME DateTimePicker::value() const {
    SYSTEMTIME value{};
    SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value;
}

void DateTimePicker::setValue(const SYSTEMTIME& value) {
    SYSTEMTIME copy = value;
    SendMessageW(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&copy));
}

void Link::create(Form& parent, const std::string& text, const std::string& url, int id,
                  const LayoutRect& place) {
    createChild(parent, WC_LINK, "<a href=\"" + url + "\">" + text + "</a>", WS_TABSTOP, 0, id,
                place);
}

bool Link::forwardNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != hwnd_ || (header.code != NM_CLICK && header.code != NM_RETURN))
        return false;
    if (auto handler = onClick) guarded(parent_->handle(), handler);
    result = 0;
    return true;
}

}  // namespace tav
