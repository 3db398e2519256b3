#include "forms/RichEdit98.h"

#include <ole2.h>
// ole2.h first: these need its types.
#include <commdlg.h>
#include <oledlg.h>
#include <richedit.h>
#include <richole.h>

#include <cstring>
#include <stdexcept>

#include "forms/Dpi.h"
#include "desktop/MessageWindow.h"
#include "desktop/Utf.h"
#include "store/FileIo.h"

namespace tav {
namespace {

constexpr wchar_t kSelfProperty[] = L"TavelinRichEdit98";
// {00020D03-0000-0000-C000-000000000046}
constexpr IID kIidRichEditOleCallback = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr LONG kTwipsPerPoint = 20;

// Msftedit (RichEdit 4.1) where present, else RichEdit 2/3. Loaded once and
// kept for the life of the process, as the window classes live in it.
const wchar_t* richEditClass() {
    static const wchar_t* const className = []() -> const wchar_t* {
        if (LoadLibraryW(L"Msftedit.dll")) return MSFTEDIT_CLASS;
        if (LoadLibraryW(L"Riched20.dll")) return RICHEDIT_CLASSW;
        return nullptr;
    }();
    if (!className)
        throw std::runtime_error("Das RichEdit-Steuerelement ist nicht verf\xC3\xBCgbar");
    return className;
}

bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

struct StreamCursor {
    const std::string* in = nullptr;
    size_t offset = 0;
    std::string* out = nullptr;
};

DWORD CALLBACK readChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    const size_t left = cursor->in->size() - cursor->offset;
    const size_t count = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
    cursor->in->copy(reinterpret_cast<char*>(buffer), count, cursor->offset);
    cursor->offset += count;
    *done = static_cast<LONG>(count);
    return 0;
}

DWORD CALLBACK writeChunk(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
    cursor->out->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    *done = size;
    return 0;
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

// Makes embedded objects possible at all (the control asks it for storage)
// and keeps them out of in-place activation, which would put a server's
// menus and tool bars into a small note window.
class RichEdit98::OleCallback : public IRichEditOleCallback {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidRichEditOleCallback)) {
            *object = static_cast<IRichEditOleCallback*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --refs_;
        if (refs == 0) delete this;
        return refs;
    }

    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override {
        return newStorage(storage);
    }
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL,
                                              HGLOBAL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) override {
        // The adapter shows the note's own menu from WM_CONTEXTMENU instead.
        *menu = nullptr;
        return E_NOTIMPL;
    }

    // Objects live in a compound file in memory; the RTF stream carries them.
    static HRESULT newStorage(IStorage** storage) {
        *storage = nullptr;
        ILockBytes* bytes = nullptr;
        HRESULT result = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
        if (FAILED(result)) return result;
        result = StgCreateDocfileOnILockBytes(
            bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, storage);
        bytes->Release();
        return result;
    }

private:
    virtual ~OleCallback() = default;
    ULONG refs_ = 1;
};

RichEdit98::RichEdit98() = default;

RichEdit98::~RichEdit98() {
    if (alive_) *alive_ = false;
    if (hwnd_) DestroyWindow(hwnd_);
    if (callback_) callback_->Release();
    if (oleInitialized_) OleUninitialize();
}

void RichEdit98::create(HWND parent, int id) {
    const wchar_t* className = richEditClass();
    (void)className;
    // Embedded objects need OLE on this thread; counted, so a second
    // control or the program's own call does no harm.
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    if (!callback_) callback_ = new OleCallback;
    createWindow(parent, id,
                 deviceRect(parent, bounds_.left, bounds_.top, bounds_.right - bounds_.left,
                            bounds_.bottom - bounds_.top));
    // The control would start in the bold System font; the kit's default
    // face is what every other control of the program starts with.
    setDefaultFont("MS Sans Serif", 8);
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, ENM_SELCHANGE | ENM_LINK);
}

void RichEdit98::createWindow(HWND parent, int id, const RECT& bounds) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | ES_MULTILINE |
                  ES_WANTRETURN | ES_NOHIDESEL | ES_AUTOVSCROLL;
    if (scrollBars_ == ScrollBars::Both) style |= WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL;
    if (readOnly_) style |= ES_READONLY;
    hwnd_ = CreateWindowExW(0, richEditClass(), L"", style, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw std::runtime_error("Das Textfeld konnte nicht erzeugt werden");
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
    SendMessageW(hwnd_, EM_AUTOURLDETECT, autoUrlDetect_ ? TRUE : FALSE, 0);
    SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, color_);
    CHARFORMAT2W language = emptyCharFormat(CFM_LCID);
    language.lcid = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&language));
    // Target device 0 wraps at the window's width, 1 never wraps.
    SendMessageW(hwnd_, EM_SETTARGETDEVICE, 0, scrollBars_ == ScrollBars::Both ? 1 : 0);
}

void RichEdit98::setBounds(int x, int y, int width, int height) {
    bounds_ = {x, y, x + width, y + height};
    if (hwnd_) placeChild(hwnd_, x, y, width, height);
}

void RichEdit98::setVisible(bool visible) {
    if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void RichEdit98::setFocus() {
    if (hwnd_) SetFocus(hwnd_);
}

void RichEdit98::loadFromFile(const std::string& path) {
    const std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes)
        throw FileError("Die Datei " + path +
                        " kann nicht ge\xC3\xB6"
                        "ffnet werden.");
    load(*bytes);
}

void RichEdit98::load(const std::string& content) {
    // What was read, even in part, is no change by the user.
    struct Unmodified {
        HWND hwnd;
        ~Unmodified() { SendMessageW(hwnd, EM_SETMODIFY, FALSE, 0); }
    } unmodified{hwnd_};
    // Drawn once when all is in, not piece by piece as it comes.
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    struct Redraw {
        HWND hwnd;
        ~Redraw() {
            SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
    } redraw{hwnd_};
    if (content.starts_with("{\\rtf")) {
        setRtf(content);
    } else {
        setPlainText(content);
    }
}

bool RichEdit98::modified() const { return SendMessageW(hwnd_, EM_GETMODIFY, 0, 0) != 0; }

void RichEdit98::saveToFile(const std::string& path) { writeFileAtomically(path, rtf()); }

std::string RichEdit98::rtf() {
    std::string out;
    StreamCursor cursor;
    cursor.out = &out;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &writeChunk;
    SendMessageW(hwnd_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    // Wine's stream ends in "}\0"; a NUL has no business in an RTF file.
    while (!out.empty() && out.back() == '\0') out.pop_back();
    // A stream that stopped half way (Wine stops at some pictures) must not
    // replace a good note file.
    size_t end = out.find_last_not_of(" \r\n");
    if (stream.dwError != 0 || end == std::string::npos || out[end] != '}')
        throw std::runtime_error("Der Notiztext konnte nicht vollst\xC3\xA4ndig gelesen werden.");
    return out;
}

void RichEdit98::setRtf(const std::string& rtfText) {
    // Loading is not the user moving the caret: no selection events.
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    StreamCursor cursor;
    cursor.in = &rtfText;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &readChunk;
    SendMessageW(hwnd_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    if (stream.dwError != 0) throw std::runtime_error("Der Notiztext konnte nicht geladen werden.");
}

// Plain text as Windows editors save it: UTF-16 or UTF-8 when the file is
// marked so, UTF-8 when it is valid UTF-8, else the system's code page, as
// the control itself reads plain text.
void RichEdit98::setPlainText(const std::string& bytes) {
    std::string utf16;
    auto fromCodePage = [&](UINT codePage, std::string_view text, DWORD flags) {
        const int n = MultiByteToWideChar(codePage, flags, text.data(),
                                          static_cast<int>(text.size()), nullptr, 0);
        if (n <= 0) return false;
        utf16.resize(static_cast<size_t>(n) * sizeof(wchar_t));
        MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(utf16.data()), n);
        return true;
    };
    const std::string_view text = bytes;
    if (text.starts_with("\xFF\xFE")) {
        utf16 = bytes.substr(2);
    } else if (text.starts_with("\xFE\xFF")) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            utf16 += bytes[i + 1];
            utf16 += bytes[i];
        }
    } else if (text.starts_with("\xEF\xBB\xBF")) {
        fromCodePage(CP_UTF8, text.substr(3), 0);
    } else if (!fromCodePage(CP_UTF8, text, MB_ERR_INVALID_CHARS)) {
        fromCodePage(CP_ACP, text, 0);
    }
    utf16.resize(utf16.size() / 2 * 2);
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    StreamCursor cursor;
    cursor.in = &utf16;
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&cursor);
    stream.pfnCallback = &readChunk;
    SendMessageW(hwnd_, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
    if (stream.dwError != 0) throw std::runtime_error("Der Notiztext konnte nicht geladen werden.");
}

void RichEdit98::clear() {
    const LRESULT mask = SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0);
    SetWindowTextW(hwnd_, L"");
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, mask);
}

std::string RichEdit98::text() const {
    GETTEXTLENGTHEX lengthQuery = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length =
        SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX query = {};
    query.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    query.flags = GT_DEFAULT;
    query.codepage = 1200;
    const LRESULT copied = SendMessageW(hwnd_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                        reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return narrow(buffer);
}

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
    const HWND parent = GetParent(hwnd_);
    const int id = GetDlgCtrlID(hwnd_);
    const bool visible = (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool focused = GetFocus() == hwnd_;
    RECT bounds;
    GetWindowRect(hwnd_, &bounds);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);

    const HWND old = hwnd_;
    const WNDPROC oldWindowProc = oldProc_;
    createWindow(parent, id, bounds);
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
    if (hwnd_) SendMessageW(hwnd_, EM_AUTOURLDETECT, on ? TRUE : FALSE, 0);
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

bool RichEdit98::insertObject(HWND owner) {
    IRichEditOle* richOle = nullptr;
    SendMessageW(hwnd_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&richOle));
    if (!richOle) return false;
    IOleClientSite* site = nullptr;
    IStorage* storage = nullptr;
    IOleObject* object = nullptr;
    bool inserted = false;
    if (SUCCEEDED(richOle->GetClientSite(&site)) && SUCCEEDED(OleCallback::newStorage(&storage))) {
        // The dialog creates the object itself, new or from a file, in our
        // storage. Display as icon stays off: it would need the icon's
        // picture cached by hand.
        const DWORD flags = IOF_SELECTCREATENEW | IOF_CREATENEWOBJECT | IOF_CREATEFILEOBJECT |
                            IOF_DISABLELINK | IOF_DISABLEDISPLAYASICON;
        UINT answer = 0;
        DWORD resultFlags = 0;
        SCODE status = E_FAIL;
        CLSID clsid = CLSID_NULL;
        // The A and W dialogs take the same fields in structures of two types.
        auto run = [&](auto& dialog, auto* file, auto show) {
            dialog.cbStruct = sizeof dialog;
            dialog.dwFlags = flags;
            dialog.hWndOwner = owner;
            dialog.lpszFile = file;
            dialog.cchFile = MAX_PATH;
            dialog.iid = IID_IOleObject;
            dialog.oleRender = OLERENDER_DRAW;
            dialog.lpIOleClientSite = site;
            dialog.lpIStorage = storage;
            dialog.ppvObj = reinterpret_cast<void**>(&object);
            answer = show(&dialog);
            resultFlags = dialog.dwFlags;
            status = dialog.sc;
            clsid = dialog.clsid;
        };
        // Wine's OleUIInsertObjectW is a stub; its A variant is the real dialog.
        if (runningUnderWine()) {
            char file[MAX_PATH] = {};
            OLEUIINSERTOBJECTA dialog = {};
            run(dialog, file, OleUIInsertObjectA);
        } else {
            wchar_t file[MAX_PATH] = {};
            OLEUIINSERTOBJECTW dialog = {};
            run(dialog, file, OleUIInsertObjectW);
        }
        if (answer == OLEUI_OK && SUCCEEDED(status) && object) {
            OleSetContainedObject(object, TRUE);
            REOBJECT reObject = {};
            reObject.cbStruct = sizeof reObject;
            reObject.cp = REO_CP_SELECTION;
            reObject.clsid = clsid;
            reObject.poleobj = object;
            reObject.pstg = storage;
            reObject.polesite = site;
            reObject.dvaspect = DVASPECT_CONTENT;
            reObject.dwFlags = REO_RESIZABLE;
            inserted = SUCCEEDED(richOle->InsertObject(&reObject));
            if (inserted && (resultFlags & IOF_SELECTCREATENEW)) {
                // A new, empty object is edited in its own server window.
                RECT area;
                GetClientRect(hwnd_, &area);
                object->DoVerb(OLEIVERB_SHOW, nullptr, site, 0, hwnd_, &area);
            }
        }
    }
    if (object) object->Release();
    if (storage) storage->Release();
    if (site) site->Release();
    richOle->Release();
    return inserted;
}

bool RichEdit98::print(HWND owner, const std::string& docTitle) {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    // Cancelled, or no printer: then the dialog has shown the system's own
    // message, and another one of ours would only repeat it.
    const bool chosen = PrintDlgW(&dialog) != 0;
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (!chosen || !dialog.hDC) return false;

    // The whole text under the page rectangle of the printer, page by page.
    class PrinterJob : public PrintJob {
    public:
        PrinterJob(HDC dc, HWND edit, std::wstring title)
            : dc_(dc), edit_(edit), title_(std::move(title)) {
            const int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
            const int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
            range_.hdc = range_.hdcTarget = dc;
            range_.rcPage = {0, 0, MulDiv(GetDeviceCaps(dc, HORZRES), 1440, dpiX),
                             MulDiv(GetDeviceCaps(dc, VERTRES), 1440, dpiY)};
        }
        ~PrinterJob() override {
            SendMessageW(edit_, EM_FORMATRANGE, FALSE, 0);
            DeleteDC(dc_);
        }
        bool startDoc() override {
            DOCINFOW document = {};
            document.cbSize = sizeof document;
            document.lpszDocName = title_.c_str();
            return StartDocW(dc_, &document) > 0;
        }
        void startPage() override { StartPage(dc_); }
        long printPage(long first) override {
            range_.rc = range_.rcPage;
            range_.chrg.cpMin = first;
            range_.chrg.cpMax = -1;
            return static_cast<long>(
                SendMessageW(edit_, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range_)));
        }
        void endPage() override { EndPage(dc_); }
        void endDoc() override { EndDoc(dc_); }

    private:
        HDC dc_;
        HWND edit_;
        std::wstring title_;
        FORMATRANGE range_ = {};
    };

    PrinterJob job(dialog.hDC, hwnd_, widen(docTitle));
    GETTEXTLENGTHEX lengthQuery = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    printPages(job, static_cast<long>(SendMessageW(hwnd_, EM_GETTEXTLENGTHEX,
                                                   reinterpret_cast<WPARAM>(&lengthQuery), 0)));
    return true;
}

void printPages(PrintJob& job, long length) {
    if (!job.startDoc())
        throw std::runtime_error("Der Druckauftrag konnte nicht gestartet werden.");
    long start = 0;
    do {
        job.startPage();
        const long next = job.printPage(start);
        job.endPage();
        // No progress (an object taller than the page, or a control that
        // cannot format) would otherwise print empty pages for ever.
        if (next <= start) break;
        start = next;
    } while (start < length);
    job.endDoc();
}

bool RichEdit98::handleNotify(const NMHDR* header) {
    if (!hwnd_ || !header || header->hwndFrom != hwnd_) return false;
    if (header->code == EN_SELCHANGE) {
        if (onSelectionChange) {
            const auto handler = onSelectionChange;
            runGuarded(handler);
        }
        return true;
    }
    if (header->code == EN_LINK) {
        const auto* link = reinterpret_cast<const ENLINK*>(header);
        if (link->msg == WM_LBUTTONUP && onLinkClick) {
            const std::string target = readRange(link->chrg.cpMin, link->chrg.cpMax);
            const auto handler = onLinkClick;
            runGuarded([&] { handler(target); });
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
            runGuarded([&] { handled = handler(static_cast<UINT>(wParam)); });
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
            runGuarded([&] { handler(point); });
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
