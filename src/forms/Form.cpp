#include "forms/Form.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "forms/Dpi.h"
#include "desktop/Utf.h"
#include "resource.h"
#include "store/DpiScale.h"

namespace tav {

namespace {

// Private to the kit's window class: WM_USER and above belong to the class.
constexpr UINT kReleaseMessage = WM_USER + 0x200;

// Class names such as "#32770" name the system's own classes.
bool isSystemClass(const std::wstring& className) { return className.starts_with(L'#'); }

}  // namespace

Control::~Control() { leave(); }

void Control::leave() {
    if (parent_ != nullptr) parent_->detach(this);
}

void Control::join(Form& form) {
    parent_ = &form;
    form.attach(this);
}

HWND Control::makeWindow(const wchar_t* className, const std::wstring& text, DWORD style,
                         DWORD exStyle, int id, const LayoutRect& place, const char* what) const {
    if (parent_ == nullptr || parent_->handle() == nullptr)
        throw std::logic_error(std::string(what) + " ohne Fenster");
    const RECT r = deviceRect(parent_->handle(), place);
    HWND hwnd = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | style, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent_->handle(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw std::runtime_error(std::string(what) + " konnte nicht erzeugt werden.");
    return hwnd;
}

void WindowControl::setBounds(const LayoutRect& place) {
    place_ = place;
    if (hwnd_ != nullptr) placeChild(hwnd_, place);
}

void WindowControl::dpiChanged() {
    if (hwnd_ != nullptr) placeChild(hwnd_, place_);
}

Form::Form(std::wstring className)
    : className_(std::move(className)), color_(GetSysColor(COLOR_BTNFACE)) {}

Form::~Form() {
    if (hwnd_ != nullptr) {
        HWND h = hwnd_;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        if (isSystemClass(className_))
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
        recordDpi(h, 0);
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

void Form::registerClass() {
    if (isSystemClass(className_)) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, className_.c_str(), &wc)) return;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Form::windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TAVELIN));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className_.c_str();
    if (!RegisterClassExW(&wc)) {
        throw std::runtime_error("Fensterklasse " + narrow(className_) +
                                 " konnte nicht registriert werden.");
    }
}

void Form::createParams(DWORD& style, DWORD& exStyle) {
    style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    exStyle = 0;
}

void Form::create(HWND owner) {
    if (hwnd_ != nullptr) return;
    registerClass();
    DWORD style = 0, exStyle = 0;
    createParams(style, exStyle);
    owner_ = owner;
    const int dpi = creationDpi();
    const SIZE size = designPixels(dpi);
    HWND h =
        CreateWindowExW(exStyle, className_.c_str(), widen(caption_).c_str(), style, left_, top_,
                        size.cx, size.cy, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (h == nullptr) {
        throw std::runtime_error("Das Fenster \"" + (caption_.empty() ? narrow(className_) : caption_) +
                                 "\" konnte nicht erzeugt werden.");
    }
    // A window of a system class came without our WM_NCCREATE.
    if (hwnd_ == nullptr) adopt(h);
    // The system has put the window on a monitor of another density than
    // the one its position promised: the design is measured again there.
    if (hwnd_ != nullptr && dpi_ != dpi) {
        const SIZE there = designPixels(dpi_);
        resizePixels(there.cx, there.cy);
    }
}

int Form::creationDpi() const {
    // A window without a position of its own appears on the primary monitor.
    const POINT at = left_ == CW_USEDEFAULT ? POINT{0, 0} : POINT{left_, top_};
    return dpiAt({at.x, at.y, at.x + 1, at.y + 1});
}

SIZE Form::designPixels(int dpi) const {
    const SIZE frame = frameSize(dpi);
    return {scaleToDpi(width_, dpi) + (clientWidthSet_ ? frame.cx : 0),
            scaleToDpi(height_, dpi) + (clientHeightSet_ ? frame.cy : 0)};
}

// Binds the window to this form; for a window of a system class, ours goes
// in front of the system's procedure.
void Form::adopt(HWND hwnd) {
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    dpi_ = systemWindowDpi(hwnd);
    recordDpi(hwnd, dpi_);
    if (isSystemClass(className_)) {
        baseProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::windowProc)));
    }
}

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->adopt(hwnd);
    } else {
        self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        recordDpi(hwnd, 0);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return CallWindowProcW(self->baseProc_, hwnd, msg, wParam, lParam);
    }
    // A handler that threw leaves 0: the window stays as it was and the
    // system's default (which could close or destroy it) is not run.
    LRESULT result = 0;
    guarded(hwnd, [&] { result = self->dispatch(hwnd, msg, wParam, lParam); });
    return result;
}

LRESULT Form::dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handleMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
        case WM_CREATE:
            onCreate();
            return 0;
        case WM_COMMAND: {
            // A copy: a handler may create or destroy controls.
            const auto controls = controls_;
            for (Control* c : controls) {
                if (c->forwardCommand(wParam, lParam)) return 0;
            }
            if (onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            break;
        }
        case WM_NOTIFY: {
            const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
            const auto controls = controls_;
            for (Control* c : controls) {
                if (c->forwardNotify(header, result)) return result;
            }
            if (onNotify(header, result)) return result;
            break;
        }
        case WM_TIMER:
            onTimer(wParam);
            return 0;
        case WM_CLOSE:
            if (closeQuery()) {
                CloseAction action = CloseAction::Hide;
                onClose(action);
                if (action == CloseAction::Hide) hide();
                if (action == CloseAction::Free) postRelease();
            }
            return 0;
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_SHOWWINDOW:
            // lParam != 0: shown or hidden along with the owner, not by us.
            if (lParam == 0) onShow(wParam != 0);
            break;
        case WM_SIZE:
            if (!layoutHeld_) onSize(clientWidth(), clientHeight());
            return 0;
        case WM_DPICHANGED:
            changeDpi(HIWORD(wParam),
                      keepBoundsOnDpiChange_ ? nullptr : reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            if (!brush_) brush_.reset(CreateSolidBrush(color_));
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush_.get());
            return 1;
        }
        case WM_PAINT:
            paint();
            return 0;
        case WM_PRINTCLIENT: {
            // What the window shows, drawn into another device context
            // (PrintWindow, a picture of the window).
            RECT r;
            GetClientRect(hwnd, &r);
            if (lParam & PRF_ERASEBKGND) SendMessageW(hwnd, WM_ERASEBKGND, wParam, 0);
            paintTo(reinterpret_cast<HDC>(wParam), r);
            return 0;
        }
        case WM_NCHITTEST:
            return onNcHitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                               defaultProc(msg, wParam, lParam));
        case WM_GETMINMAXINFO:
            onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_CONTEXTMENU:
            if (onContextMenu(reinterpret_cast<HWND>(wParam),
                              {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
                return 0;
            break;
        case WM_NCRBUTTONUP:
            if (onNcRButtonUp(static_cast<int>(wParam),
                              {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
                return 0;
            break;
        case WM_SYSCOMMAND:
            if (onSysCommand(wParam, lParam)) return 0;
            break;
        case WM_QUERYENDSESSION:
            return onQueryEndSession() ? TRUE : FALSE;
        case WM_ENDSESSION:
            onEndSession(wParam != 0);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCRBUTTONDOWN:
        case WM_MOUSELEAVE:
        case WM_CAPTURECHANGED:
            relayMouse(msg, wParam, lParam);
            break;
        case kReleaseMessage:
            DestroyWindow(hwnd);
            onReleased();  // may have deleted this: nothing after it
            return 0;
        default:
            break;
    }
    return CallWindowProcW(baseProc_, hwnd, msg, wParam, lParam);
}

bool Form::handleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Form::defaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(baseProc_, hwnd_, msg, wParam, lParam);
}

void Form::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    // Validates the region also when a handler throws; else the error box's
    // own message loop would repaint, throw and stack boxes without end.
    struct EndPaintGuard {
        HWND hwnd;
        PAINTSTRUCT* ps;
        ~EndPaintGuard() { EndPaint(hwnd, ps); }
    } guard{hwnd_, &ps};
    paintTo(dc, ps.rcPaint);
}

void Form::paintTo(HDC dc, const RECT& area) {
    const auto controls = controls_;
    for (Control* c : controls) c->paint(dc);
    onPaint(dc, area);
}

void Form::relayMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (controls_.empty()) return;
    MSG m{};
    m.hwnd = hwnd_;
    m.wParam = wParam;
    m.time = GetMessageTime();
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        // Non-client messages carry screen points; tips want client ones.
        case WM_NCMOUSEMOVE:
            m.message = WM_MOUSEMOVE;
            break;
        case WM_NCLBUTTONDOWN:
            m.message = WM_LBUTTONDOWN;
            break;
        case WM_NCLBUTTONUP:
            m.message = WM_LBUTTONUP;
            break;
        case WM_NCRBUTTONDOWN:
            m.message = WM_RBUTTONDOWN;
            break;
        default:
            m.message = msg;
            break;
    }
    if (m.message != msg) ScreenToClient(hwnd_, &pt);
    m.pt = pt;
    m.lParam = MAKELPARAM(pt.x, pt.y);
    const auto controls = controls_;
    for (Control* c : controls) c->relayMouse(m);
}

void Form::attach(Control* c) {
    if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) controls_.push_back(c);
}

void Form::detach(Control* c) { std::erase(controls_, c); }

std::string Form::caption() const {
    if (hwnd_ == nullptr) return caption_;
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void Form::setCaption(const std::string& caption) {
    caption_ = caption;
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, widen(caption).c_str());
}

void Form::setColor(COLORREF color) {
    color_ = color;
    brush_.reset(CreateSolidBrush(color));
    // The children too: a flat tool bar shows the form's colour through.
    if (hwnd_ != nullptr) {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

namespace {
RECT windowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}
}  // namespace

int Form::dpi() const { return hwnd_ != nullptr ? dpi_ : creationDpi(); }

int Form::scale(int figure) const { return scaleToDpi(figure, dpi()); }

int Form::left() const { return hwnd_ ? windowRect(hwnd_).left : left_; }
int Form::top() const { return hwnd_ ? windowRect(hwnd_).top : top_; }

int Form::width() const {
    if (!hwnd_) return width_ + (clientWidthSet_ ? frameSize(kDesignDpi).cx : 0);
    const RECT r = windowRect(hwnd_);
    return scaleFromDpi(r.right - r.left, dpi_);
}

int Form::height() const {
    if (!hwnd_) return height_ + (clientHeightSet_ ? frameSize(kDesignDpi).cy : 0);
    const RECT r = windowRect(hwnd_);
    return scaleFromDpi(r.bottom - r.top, dpi_);
}

int Form::clientWidth() const {
    if (!hwnd_) return width_ - (clientWidthSet_ ? 0 : frameSize(kDesignDpi).cx);
    RECT r{};
    GetClientRect(hwnd_, &r);
    return scaleFromDpi(r.right, dpi_);
}

int Form::clientHeight() const {
    if (!hwnd_) return height_ - (clientHeightSet_ ? 0 : frameSize(kDesignDpi).cy);
    RECT r{};
    GetClientRect(hwnd_, &r);
    return scaleFromDpi(r.bottom, dpi_);
}

void Form::setLeft(int v) {
    left_ = v;
    if (hwnd_ != nullptr)
        SetWindowPos(hwnd_, nullptr, v, top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::setTop(int v) {
    top_ = v;
    if (hwnd_ != nullptr)
        SetWindowPos(hwnd_, nullptr, left(), v, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::setWidth(int v) {
    if (!hwnd_) {
        width_ = v;
        clientWidthSet_ = false;
    } else if (v != width()) {
        const RECT r = windowRect(hwnd_);
        resizePixels(scale(v), r.bottom - r.top);
    }
}

void Form::setHeight(int v) {
    if (!hwnd_) {
        height_ = v;
        clientHeightSet_ = false;
    } else if (v != height()) {
        const RECT r = windowRect(hwnd_);
        resizePixels(r.right - r.left, scale(v));
    }
}

void Form::setClientWidth(int v) {
    if (!hwnd_) {
        width_ = v;
        clientWidthSet_ = true;
    } else if (v != clientWidth()) {
        const RECT r = windowRect(hwnd_);
        RECT c{};
        GetClientRect(hwnd_, &c);
        resizePixels(scale(v) + (r.right - r.left) - c.right, r.bottom - r.top);
    }
}

void Form::setClientHeight(int v) {
    if (!hwnd_) {
        height_ = v;
        clientHeightSet_ = true;
    } else if (v != clientHeight()) {
        const RECT r = windowRect(hwnd_);
        RECT c{};
        GetClientRect(hwnd_, &c);
        resizePixels(r.right - r.left, scale(v) + (r.bottom - r.top) - c.bottom);
    }
}

void Form::setBounds(int left, int top, int width, int height) {
    if (!hwnd_) {
        left_ = left;
        top_ = top;
        width_ = width;
        height_ = height;
        clientWidthSet_ = clientHeightSet_ = false;
        return;
    }
    const RECT r = windowRect(hwnd_);
    const int w = width == this->width() ? r.right - r.left : scale(width);
    const int h = height == this->height() ? r.bottom - r.top : scale(height);
    SetWindowPos(hwnd_, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::resizePixels(int width, int height) {
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::centerOnScreen() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& screen = info.rcMonitor;
    SIZE size = designPixels(dpi());
    if (hwnd_ != nullptr) {
        const RECT r = windowRect(hwnd_);
        size = {r.right - r.left, r.bottom - r.top};
    }
    setLeft(screen.left + (screen.right - screen.left - size.cx) / 2);
    setTop(screen.top + (screen.bottom - screen.top - size.cy) / 2);
}

void Form::applyPlacement(const WINDOWPLACEMENT& placement) {
    if (hwnd_ == nullptr) return;
    const int before = dpi_;
    keepBoundsOnDpiChange_ = true;
    {
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{keepBoundsOnDpiChange_};
        SetWindowPlacement(hwnd_, &placement);
    }
    // Should the system not have told a hidden window about its new monitor,
    // the form asks.
    if (dpi_ == before && systemWindowDpi(hwnd_) != dpi_)
        changeDpi(systemWindowDpi(hwnd_), nullptr);
}

SIZE Form::frameSize(int dpi) const {
    DWORD style = 0, exStyle = 0;
    if (hwnd_ != nullptr) {
        style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
        exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    } else {
        const_cast<Form*>(this)->createParams(style, exStyle);
    }
    return frameSizeFor(style, exStyle, dpi);
}

// The form takes its new rectangle first, so that the controls find the
// client area they are placed in; the layout then measures them as they now
// are.
void Form::changeDpi(int dpi, const RECT* suggested) {
    if (dpi <= 0) return;
    // Children the kit does not place (a window of the system's) keep their
    // place in proportion; the controls and the form's own layout then set
    // theirs exactly.
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        const int left = rescale(r.left, dpi_, dpi), top = rescale(r.top, dpi_, dpi);
        SetWindowPos(child, nullptr, left, top, rescale(r.right, dpi_, dpi) - left,
                     rescale(r.bottom, dpi_, dpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    dpi_ = dpi;
    recordDpi(hwnd_, dpi);
    if (suggested != nullptr) {
        layoutHeld_ = true;
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layoutHeld_ = false;
    }
    // The children keep using the old font until they have the new one.
    const FontHandle oldDialogFont = std::move(dialogFont_);
    const auto controls = controls_;
    for (Control* c : controls) c->dpiChanged();
    onSize(clientWidth(), clientHeight());
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

HFONT Form::dialogFont() {
    if (!dialogFont_) dialogFont_ = makeFont({.name = "MS Shell Dlg", .sizePoints = 8}, dpi());
    return dialogFont_.get();
}

void Form::show() {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, SW_SHOW);
}

void Form::showInactive() {
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void Form::hide() {
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

bool Form::visible() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

void Form::setVisible(bool v) { v ? show() : hide(); }

HWND Form::owner() const { return hwnd_ ? GetWindow(hwnd_, GW_OWNER) : owner_; }

void Form::setOwner(HWND owner) {
    owner_ = owner;
    if (hwnd_ != nullptr)
        SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void Form::close() {
    if (hwnd_ != nullptr) SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void Form::destroy() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

void Form::postRelease() {
    if (hwnd_ != nullptr) PostMessageW(hwnd_, kReleaseMessage, 0, 0);
}

}  // namespace tav
