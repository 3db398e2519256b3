#include "platform/Form.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>

#include "platform/Utf.h"
#include "resource.h"

namespace tav {

namespace {

// Private to the kit's window class: WM_USER and above belong to the class.
constexpr UINT kReleaseMessage = WM_USER + 0x200;

ErrorBoxFunction& errorBoxFunction() {
    static ErrorBoxFunction f;
    return f;
}

ErrorCollector* collector = nullptr;

}  // namespace

ErrorCollector::ErrorCollector() : previous_(collector) { collector = this; }

ErrorCollector::~ErrorCollector() { collector = previous_; }

void ErrorCollector::add(const std::string& text) {
    if (std::find(texts_.begin(), texts_.end(), text) == texts_.end()) texts_.push_back(text);
}

void setErrorBoxFunction(ErrorBoxFunction f) { errorBoxFunction() = std::move(f); }

void showErrorBox(HWND owner, const std::string& text) {
    if (collector != nullptr) {
        collector->add(text);
        return;
    }
    if (errorBoxFunction()) {
        errorBoxFunction()(owner, text);
        return;
    }
    MessageBoxW(owner, widen(text).c_str(), L"Tavelin2000", MB_OK | MB_ICONSTOP);
}

void reportCurrentException(HWND owner) noexcept {
    try {
        std::string text;
        try {
            throw;
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {
            text = "Unbekannter Fehler.";
        }
        showErrorBox(owner, text);
    } catch (...) {
        // Even the box failed (no memory, or a test's box function threw):
        // the fixed text still tells the user that something went wrong.
        MessageBoxW(owner, L"Unbekannter Fehler.", L"Tavelin2000", MB_OK | MB_ICONSTOP);
    }
}

Form::Form(std::wstring className)
    : className_(std::move(className)), color_(GetSysColor(COLOR_BTNFACE)) {}

Form::~Form() {
    if (hwnd_ != nullptr) {
        HWND h = hwnd_;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

void Form::registerClass() {
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
    HWND h =
        CreateWindowExW(exStyle, className_.c_str(), widen(caption_).c_str(), style, left_, top_,
                        width_, height_, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (h == nullptr) {
        throw std::runtime_error("Fenster " + narrow(className_) + " konnte nicht erzeugt werden.");
    }
}

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Form* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
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
            onSize(LOWORD(lParam), HIWORD(lParam));
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
        case WM_NCHITTEST:
            return onNcHitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)},
                               DefWindowProcW(hwnd, msg, wParam, lParam));
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
            relayMouse(msg, wParam, lParam);
            break;
        case kReleaseMessage:
            DestroyWindow(hwnd);
            onReleased();  // may have deleted this: nothing after it
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool Form::handleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Form::defaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
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
    const auto controls = controls_;
    for (Control* c : controls) c->paint(dc);
    onPaint(dc, ps.rcPaint);
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

int Form::left() const { return hwnd_ ? windowRect(hwnd_).left : left_; }
int Form::top() const { return hwnd_ ? windowRect(hwnd_).top : top_; }
int Form::width() const {
    if (!hwnd_) return width_;
    RECT r = windowRect(hwnd_);
    return r.right - r.left;
}
int Form::height() const {
    if (!hwnd_) return height_;
    RECT r = windowRect(hwnd_);
    return r.bottom - r.top;
}

void Form::setLeft(int v) { moveTo(v, top(), width(), height()); }
void Form::setTop(int v) { moveTo(left(), v, width(), height()); }
void Form::setWidth(int v) { moveTo(left(), top(), v, height()); }
void Form::setHeight(int v) { moveTo(left(), top(), width(), v); }
void Form::setBounds(int left, int top, int width, int height) { moveTo(left, top, width, height); }

void Form::moveTo(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (hwnd_ != nullptr) {
        SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Form::clientWidth() const {
    RECT r{};
    if (hwnd_) {
        GetClientRect(hwnd_, &r);
        return r.right;
    }
    return width_ - (frameSize().cx);
}

int Form::clientHeight() const {
    RECT r{};
    if (hwnd_) {
        GetClientRect(hwnd_, &r);
        return r.bottom;
    }
    return height_ - (frameSize().cy);
}

void Form::setClientWidth(int v) { setWidth(v + frameSize().cx); }
void Form::setClientHeight(int v) { setHeight(v + frameSize().cy); }

SIZE Form::frameSize() const {
    if (hwnd_ != nullptr) {
        RECT w = windowRect(hwnd_), c{};
        GetClientRect(hwnd_, &c);
        return {(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
    }
    DWORD style = 0, exStyle = 0;
    const_cast<Form*>(this)->createParams(style, exStyle);
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

void Form::show() {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, SW_SHOW);
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
