#include "forms/RichEdit98.h"

#include <ole2.h>
// ole2.h first: these need its types.
#include <richedit.h>
#include <richole.h>

#include <cstring>
#include <stdexcept>

#include "desktop/SystemLibrary.h"
#include "desktop/Utf.h"

namespace tav {
namespace {

constexpr wchar_t kSelfProperty[] = L"TavelinRichEdit98";
constexpr LONG kTwipsPerPoint = 20;

// Msftedit (RichEdit 4.1) where present, else RichEdit 2/3. Loaded once and
// kept for the life of the process, as the window classes live in it.
const wchar_t* richEditClass() {
    static const wchar_t* const className = []() -> const wchar_t* {
        if (loadSystemLibrary(L"Msftedit.dll")) return MSFTEDIT_CLASS;
        if (loadSystemLibrary(L"Riched20.dll")) return RICHEDIT_CLASSW;
        return nullptr;
    }();
    if (!className)
        throw std::runtime_error("Das RichEdit-Steuerelement ist nicht verf\xC3\xBCgbar");
    return className;
}

CHARFORMAT2W emptyCharFormat(DWORD mask) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    format.dwMask = mask;
    return format;
}

PARAFORMAT2 emptyParaFormat(DWORD mask) {
    PARAFORMAT2 format = {};
    format.cbSize = sizeof format;
    format.dwMask = mask;
    return format;
}

DWORD effectsOf(const FontStyle& style) {
    return (style.bold ? CFE_BOLD : 0) | (style.italic ? CFE_ITALIC : 0) |
           (style.underline ? CFE_UNDERLINE : 0) | (style.strikeOut ? CFE_STRIKEOUT : 0);
}

void sendCharFormat(HWND hwnd, const CHARFORMAT2W& format) {
    SendMessageW(hwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

void sendParaFormat(HWND hwnd, const PARAFORMAT2& format) {
    SendMessageW(hwnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

constexpr DWORD kStyleMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;

void setFaceName(CHARFORMAT2W& format, const std::string& name) {
    lstrcpynW(format.szFaceName, widen(name).c_str(), LF_FACESIZE);
}

}  // namespace

RichEdit98::~RichEdit98() {
    if (alive_) *alive_ = false;
    leave();
    if (hwnd_) DestroyWindow(hwnd_);
    if (callback_) callback_->Release();
    if (oleInitialized_) OleUninitialize();
}

void RichEdit98::create(Form& parent, int id) {
    join(parent);
    enableObjects();
    createWindow(id);
    // The control would start in the bold System font; the kit's default
    // face is what every other control of the program starts with.
    setDefaultFont("MS Sans Serif", 8);
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, ENM_SELCHANGE | ENM_LINK | ENM_CHANGE);
}

void RichEdit98::textChanged() {
    static unsigned long long lastVersion = 0;
    textVersion_ = ++lastVersion;
}

void RichEdit98::createWindow(int id) {
    DWORD style = WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_MULTILINE | ES_WANTRETURN |
                  ES_NOHIDESEL | ES_AUTOVSCROLL;
    if (scrollBars_ == ScrollBars::Both) style |= WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL;
    if (readOnly_) style |= ES_READONLY;
    hwnd_ = makeWindow(richEditClass(), L"", style, 0, id, place_, "Das Textfeld");
    textChanged();
    SetPropW(hwnd_, kSelfProperty, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProc)));

    SendMessageW(hwnd_, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(callback_));
    // The design's limit of 0 would leave the undo command without history.
    SendMessageW(hwnd_, EM_SETUNDOLIMIT, 100, 0);
    // The control's own limit of 32767 characters would refuse every key in
    // a longer note, which loads (and is saved) whole all the same.
    SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
    const LRESULT options = SendMessageW(hwnd_, EM_GETLANGOPTIONS, 0, 0);
    SendMessageW(hwnd_, EM_SETLANGOPTIONS, 0, options | IMF_AUTOFONT);
    SendMessageW(hwnd_, EM_SETOPTIONS, ECOOP_OR, ECO_NOHIDESEL);
    applyAutoUrlDetect();
    SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, color_);
    CHARFORMAT2W language = emptyCharFormat(CFM_LCID);
    language.lcid = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&language));
    // Target device 0 wraps at the window's width, 1 never wraps.
    SendMessageW(hwnd_, EM_SETTARGETDEVICE, 0, scrollBars_ == ScrollBars::Both ? 1 : 0);
}

void RichEdit98::setVisible(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void RichEdit98::setFocus() {
    if (hwnd_) SetFocus(hwnd_);
}

void RichEdit98::clear() {
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    SetWindowTextW(hwnd_, L"");
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    textChanged();
}

long RichEdit98::textLength() const {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<long>(
        SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

namespace {

// The whole text in UTF-16, into either kind of string.
template <class Units>
void wholeText(HWND control, long length, Units& buffer) {
    buffer.clear();
    if (length <= 0) return;
    buffer.resize(static_cast<size_t>(length) + 1);
    GETTEXTEX query = {};
    query.cb = static_cast<DWORD>(buffer.size() * sizeof buffer[0]);
    query.flags = GT_DEFAULT;
    query.codepage = 1200;
    const LRESULT copied = SendMessageW(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
}

}  // namespace

std::string RichEdit98::text() const {
    std::wstring units;
    wholeText(hwnd_, textLength(), units);
    return narrow(units);
}

void RichEdit98::utf16Text(std::u16string& into) const { wholeText(hwnd_, textLength(), into); }

bool RichEdit98::readOnly() const { return readOnly_; }

void RichEdit98::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (hwnd_) SendMessageW(hwnd_, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void RichEdit98::setColor(COLORREF color) {
    color_ = color;
    if (hwnd_) SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, color);
}

void RichEdit98::setScrollBars(ScrollBars bars) {
    if (bars == scrollBars_) return;
    if (!hwnd_) {
        scrollBars_ = bars;
        return;
    }
    // Scroll-bar and auto-scroll styles only take effect at creation, so the
    // control is made anew with its content, format and state carried over.
    // Should the content not stream out whole, nothing changes.
    const std::string content = rtf();
    scrollBars_ = bars;
    CHARRANGE selection = {};
    SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    CHARFORMAT2W defaults = emptyCharFormat(0);
    SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaults));
    const LRESULT modified = SendMessageW(hwnd_, EM_GETMODIFY, 0, 0);
    const LRESULT mask = SendMessageW(hwnd_, EM_GETEVENTMASK, 0, 0);
    const int id = GetDlgCtrlID(hwnd_);
    const bool visible = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool focused = GetFocus() == hwnd_;

    const HWND old = hwnd_;
    const WNDPROC oldWindowProc = oldProc_;
    createWindow(id);
    // Same place in the parent's z-order, so the layout looks the same.
    SetWindowPos(hwnd_, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RemovePropW(old, kSelfProperty);
    SetWindowLongPtrW(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWindowProc));
    DestroyWindow(old);

    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaults));
    setRtf(content);
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(hwnd_, EM_SETMODIFY, modified, 0);
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    if (!visible) ShowWindow(hwnd_, SW_HIDE);
    if (focused) SetFocus(hwnd_);
}

void RichEdit98::setAutoUrlDetect(bool on) {
    autoUrlDetect_ = on;
    if (hwnd_) applyAutoUrlDetect();
}

void RichEdit98::applyAutoUrlDetect() {
    // Only the schemes a click may follow are marked as links. A control
    // before RichEdit 8 takes no list and marks its own fixed set.
    static wchar_t schemes[] = L"http:https:mailto:file:";
    if (!autoUrlDetect_ ||
        SendMessageW(hwnd_, EM_AUTOURLDETECT, AURL_ENABLEURL, reinterpret_cast<LPARAM>(schemes)) != 0)
        SendMessageW(hwnd_, EM_AUTOURLDETECT, autoUrlDetect_ ? TRUE : FALSE, 0);
}

// What the reader sees of a range: its text without hidden text. Character
// by character, as not every control leaves hidden text out when asked to;
// a link is short.
std::string RichEdit98::visibleRange(long start, long end) const {
    if (end <= start) return {};
    const std::wstring text = widen(readRange(start, end));
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    CHARRANGE selection = {};
    SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    std::wstring visible;
    for (size_t i = 0; i < text.size(); ++i) {
        const long at = start + static_cast<long>(i);
        CHARRANGE one = {at, at + 1};
        SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
        CHARFORMAT2W format = emptyCharFormat(CFM_HIDDEN);
        SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        if (!(format.dwEffects & CFE_HIDDEN)) visible += text[i];
    }
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    return narrow(visible);
}

void RichEdit98::setDefaultFont(const std::string& name, int sizePoints) {
    // Regular, not the bold of the control's built-in System font.
    CHARFORMAT2W format = emptyCharFormat(CFM_FACE | CFM_SIZE | CFM_CHARSET | kStyleMask);
    setFaceName(format, name);
    format.yHeight = sizePoints * kTwipsPerPoint;
    format.bCharSet = DEFAULT_CHARSET;
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    // An empty control keeps the old format in its final paragraph mark, and
    // text typed next would take that one.
    if (GetWindowTextLengthW(hwnd_) == 0)
        SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

std::string RichEdit98::readRange(long start, long end) const {
    if (end <= start) return {};
    std::wstring buffer(static_cast<size_t>(end - start) + 1, L'\0');
    TEXTRANGEW range = {};
    range.chrg.cpMin = start;
    range.chrg.cpMax = end;
    range.lpstrText = buffer.data();
    const LRESULT copied =
        SendMessageW(hwnd_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return narrow(buffer);
}

std::string RichEdit98::selText() const {
    CHARRANGE selection = {};
    SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return readRange(selection.cpMin, selection.cpMax);
}

void RichEdit98::replaceSel(const std::string& text) {
    SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void RichEdit98::selectAll() { setSel(0, -1); }

void RichEdit98::setSel(long start, long end) {
    CHARRANGE selection = {start, end};
    SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

long RichEdit98::selStart() const {
    CHARRANGE selection = {};
    SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMin;
}

long RichEdit98::selLength() const {
    CHARRANGE selection = {};
    SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMax - selection.cpMin;
}

void RichEdit98::copyToClipboard() {
    std::wstring text = widen(selText());
    if (text.empty()) return;
    // Plain text only: an embedded object's placeholder is not text.
    std::erase(text, L'\xFFFC');
    std::wstring withBreaks;
    for (wchar_t c : text) {
        if (c == L'\r')
            withBreaks += L"\r\n";
        else
            withBreaks += c;
    }
    if (!OpenClipboard(hwnd_)) throw std::runtime_error("Die Zwischenablage ist belegt.");
    EmptyClipboard();
    const size_t bytes = (withBreaks.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, withBreaks.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void RichEdit98::cutToClipboard() {
    if (selLength() == 0) return;
    copyToClipboard();
    replaceSel("");
}

void RichEdit98::pasteFromClipboard() {
    std::wstring text;
    if (OpenClipboard(hwnd_)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void RichEdit98::undo() { SendMessageW(hwnd_, EM_UNDO, 0, 0); }

bool RichEdit98::canUndo() const { return SendMessageW(hwnd_, EM_CANUNDO, 0, 0) != 0; }

CharAttributes RichEdit98::selAttributes() const {
    CHARFORMAT2W format = emptyCharFormat(CFM_FACE | CFM_SIZE | CFM_COLOR | kStyleMask);
    SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    CharAttributes result;
    result.name = narrow(format.szFaceName);
    result.sizePoints = format.yHeight / kTwipsPerPoint;
    result.color =
        (format.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
    result.style.bold = (format.dwEffects & CFE_BOLD) != 0;
    result.style.italic = (format.dwEffects & CFE_ITALIC) != 0;
    result.style.underline = (format.dwEffects & CFE_UNDERLINE) != 0;
    result.style.strikeOut = (format.dwEffects & CFE_STRIKEOUT) != 0;
    return result;
}

void RichEdit98::setSelAttributes(const CharAttributes& attributes) {
    CHARFORMAT2W format =
        emptyCharFormat(CFM_FACE | CFM_CHARSET | CFM_SIZE | CFM_COLOR | kStyleMask);
    setFaceName(format, attributes.name);
    format.bCharSet = DEFAULT_CHARSET;
    format.yHeight = attributes.sizePoints * kTwipsPerPoint;
    format.crTextColor = attributes.color;
    format.dwEffects = effectsOf(attributes.style);  // without CFE_AUTOCOLOR
    sendCharFormat(hwnd_, format);
}

void RichEdit98::setSelFontName(const std::string& name) {
    CHARFORMAT2W format = emptyCharFormat(CFM_FACE | CFM_CHARSET);
    setFaceName(format, name);
    format.bCharSet = DEFAULT_CHARSET;
    sendCharFormat(hwnd_, format);
}

void RichEdit98::setSelSize(int sizePoints) {
    CHARFORMAT2W format = emptyCharFormat(CFM_SIZE);
    format.yHeight = sizePoints * kTwipsPerPoint;
    sendCharFormat(hwnd_, format);
}

void RichEdit98::setSelColor(COLORREF color) {
    CHARFORMAT2W format = emptyCharFormat(CFM_COLOR);
    format.crTextColor = color;
    sendCharFormat(hwnd_, format);
}

void RichEdit98::setSelStyle(const FontStyle& style) {
    CHARFORMAT2W format = emptyCharFormat(kStyleMask);
    format.dwEffects = effectsOf(style);
    sendCharFormat(hwnd_, format);
}

COLORREF RichEdit98::selBackColor() const {
    CHARFORMAT2W format = emptyCharFormat(CFM_BACKCOLOR);
    SendMessageW(hwnd_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return (format.dwEffects & CFE_AUTOBACKCOLOR) ? color_ : format.crBackColor;
}

void RichEdit98::setSelBackColor(COLORREF color) {
    CHARFORMAT2W format = emptyCharFormat(CFM_BACKCOLOR);
    format.crBackColor = color;
    sendCharFormat(hwnd_, format);
}

ParaAttributes RichEdit98::paragraph() const {
    PARAFORMAT2 format =
        emptyParaFormat(PFM_ALIGNMENT | PFM_NUMBERING | PFM_STARTINDENT | PFM_OFFSET);
    SendMessageW(hwnd_, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    ParaAttributes result;
    switch (format.wAlignment) {
        case PFA_RIGHT:
            result.alignment = ParaAlignment::Right;
            break;
        case PFA_CENTER:
            result.alignment = ParaAlignment::Center;
            break;
        default:
            result.alignment = ParaAlignment::Left;
            break;
    }
    result.numbering = format.wNumbering == PFN_BULLET ? Numbering::Bullet : Numbering::None;
    // The note's first indent is where the first line starts; its left indent
    // is how far the following lines stand off from that.
    result.firstIndentPoints = format.dxStartIndent / kTwipsPerPoint;
    result.leftIndentPoints = format.dxOffset / kTwipsPerPoint;
    return result;
}

void RichEdit98::setAlignment(ParaAlignment alignment) {
    PARAFORMAT2 format = emptyParaFormat(PFM_ALIGNMENT);
    format.wAlignment = alignment == ParaAlignment::Right    ? PFA_RIGHT
                        : alignment == ParaAlignment::Center ? PFA_CENTER
                                                             : PFA_LEFT;
    sendParaFormat(hwnd_, format);
}

void RichEdit98::setNumbering(Numbering numbering) {
    PARAFORMAT2 format = emptyParaFormat(PFM_NUMBERING);
    format.wNumbering = numbering == Numbering::Bullet ? PFN_BULLET : 0;
    sendParaFormat(hwnd_, format);
}

void RichEdit98::setFirstIndent(int points) {
    PARAFORMAT2 format = emptyParaFormat(PFM_STARTINDENT);
    format.dxStartIndent = points * kTwipsPerPoint;
    sendParaFormat(hwnd_, format);
}

void RichEdit98::setLeftIndent(int points) {
    PARAFORMAT2 format = emptyParaFormat(PFM_OFFSET);
    format.dxOffset = points * kTwipsPerPoint;
    sendParaFormat(hwnd_, format);
}

bool RichEdit98::forwardCommand(WPARAM wParam, LPARAM lParam) {
    if (!hwnd_ || reinterpret_cast<HWND>(lParam) != hwnd_ || HIWORD(wParam) != EN_CHANGE)
        return false;
    textChanged();
    return true;
}

bool RichEdit98::forwardNotify(const NMHDR& header, LRESULT& result) {
    if (!hwnd_ || header.hwndFrom != hwnd_) return false;
    result = 0;
    if (header.code == EN_SELCHANGE) {
        if (onSelectionChange) {
            const auto handler = onSelectionChange;
            guarded(nullptr, handler);
        }
        return true;
    }
    if (header.code == EN_LINK) {
        const auto& link = reinterpret_cast<const ENLINK&>(header);
        if (link.msg == WM_LBUTTONUP && onLinkClick) {
            const std::string target = readRange(link.chrg.cpMin, link.chrg.cpMax);
            const std::string shown = visibleRange(link.chrg.cpMin, link.chrg.cpMax);
            const auto handler = onLinkClick;
            guarded(nullptr, [&] { handler(target, shown); });
        }
        return true;
    }
    return false;
}

LRESULT CALLBACK RichEdit98::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<RichEdit98*>(GetPropW(hwnd, kSelfProperty));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->handleMessage(hwnd, msg, wParam, lParam);
}

LRESULT RichEdit98::handleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Every RichEdit window of the class has the same original procedure.
    const WNDPROC oldProc = oldProc_;
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            swallowChar_ = false;
            if (!onKeyDown) break;
            bool handled = false;
            // The handler may re-create the control (word wrap) or, through
            // a modal loop, even see it destroyed.
            bool alive = true;
            bool* const outer = alive_;
            alive_ = &alive;
            const auto handler = onKeyDown;
            guarded(nullptr, [&] { handled = handler(static_cast<UINT>(wParam)); });
            if (!alive) {
                if (outer) *outer = false;
                return 0;
            }
            alive_ = outer;
            if (handled) {
                // The character of the same key press follows, unless the
                // handler re-created the control and it went to the old one.
                swallowChar_ = hwnd_ == hwnd;
                return 0;
            }
            break;
        }
        case WM_CHAR:
        case WM_SYSCHAR:
            if (swallowChar_) {
                swallowChar_ = false;
                return 0;
            }
            break;
        case WM_CONTEXTMENU: {
            if (!onContextMenu) break;
            POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (lParam == -1) {  // from the keyboard: at the caret
                POINTL caret = {};
                SendMessageW(hwnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&caret), selStart());
                point = {caret.x, caret.y};
                ClientToScreen(hwnd, &point);
            }
            const auto handler = onContextMenu;
            guarded(nullptr, [&] { handler(point); });
            return 0;
        }
        case WM_NCDESTROY:
            RemovePropW(hwnd, kSelfProperty);
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
            if (hwnd_ == hwnd) hwnd_ = nullptr;
            break;
    }
    return CallWindowProcW(oldProc, hwnd, msg, wParam, lParam);
}

}  // namespace tav
