#include "forms/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <stdexcept>

#include "forms/Dpi.h"
#include "desktop/Utf.h"
#include "store/DpiScale.h"

namespace tav {

namespace {

// The hint timing of the whole program: 500 ms to show, gone after 4000 ms.
constexpr int kHintShowMs = 500;
constexpr int kHintHideMs = 4000;
// Wide enough for the longest tool-bar hint line; "\r\n" then breaks lines.
constexpr int kTipWidth = 500;

// Where a control without a window lies on its form, in the form's pixels
// (its 96-dpi bounds while the form has no window).
RECT pixelsOn(const Form* form, const LayoutRect& bounds) {
    if (form == nullptr || form->handle() == nullptr)
        return {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    return deviceRect(form->handle(), bounds);
}

void invalidateOn(const Form* form, const LayoutRect& bounds) {
    if (form == nullptr || form->handle() == nullptr) return;
    const RECT r = pixelsOn(form, bounds);
    InvalidateRect(form->handle(), &r, TRUE);
}

// The font of a control without a window, at its form's density.
HFONT fontAt(FontHandle& font, int& madeAtDpi, const FontSpec& spec, int dpi) {
    if (!font || madeAtDpi != dpi) {
        font = makeFont(spec, dpi);
        madeAtDpi = dpi;
    }
    return font.get();
}

}  // namespace

HWND makeTipWindow(HWND owner) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) return nullptr;
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, kHintShowMs);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, kHintHideMs);
    return tip;
}

// ---- Label

Label::~Label() {
    if (tip_ != nullptr && IsWindow(tip_)) DestroyWindow(tip_);
}

void Label::create(Form& parent) {
    join(parent);
    updateTip();
    invalidate();
}

RECT Label::pixels() const { return pixelsOn(parent_, bounds_); }

void Label::invalidate() { invalidateOn(parent_, bounds_); }

void Label::dpiChanged() {
    hfont_.reset();
    updateTip();
    invalidate();
}

void Label::setBounds(const LayoutRect& place) {
    if (place == bounds_) return;
    invalidate();
    bounds_ = place;
    invalidate();
    updateTip();
}

void Label::setText(const std::string& text) {
    text_ = text;
    invalidate();
}

void Label::setBell(bool on) {
    if (bell_ == on) return;
    bell_ = on;
    invalidate();
}

namespace {

// Drawn from whole pixels of the text's height, so that it stays crisp at
// every density and grows with the text.
void drawBell(HDC dc, int right, const RECT& box, int size, COLORREF color) {
    const int left = right - size;
    const int top = box.top + (box.bottom - box.top - size) / 2;
    const auto at = [size](int permille) { return (size * permille + 500) / 1000; };
    BrushHandle brush(CreateSolidBrush(color));
    PenHandle pen(CreatePen(PS_SOLID, 1, color));
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    const int round = std::max(2, at(500));
    RoundRect(dc, left + at(200), top + at(120), left + at(800) + 1, top + at(780), round, round);
    Rectangle(dc, left + at(80), top + at(660), left + at(920) + 1, top + at(780));
    Ellipse(dc, left + at(380), top + at(760), left + at(620) + 1, top + at(960));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

}  // namespace

void Label::setHint(const std::string& hint) {
    hint_ = hint;
    updateTip();
}

void Label::setFont(const FontSpec& font) {
    font_ = font;
    hfont_.reset();
    invalidate();
}

void Label::setColor(COLORREF color) {
    color_ = color;
    transparent_ = false;
    invalidate();
}

void Label::setTransparent(bool t) {
    transparent_ = t;
    invalidate();
}

void Label::setAlignment(Alignment a) {
    alignment_ = a;
    invalidate();
}

void Label::setVisible(bool v) {
    visible_ = v;
    invalidate();
    updateTip();
}

bool Label::contains(POINT client) const {
    const RECT r = pixels();
    return visible_ && PtInRect(&r, client);
}

void Label::paint(HDC dc) {
    if (!visible_) return;
    RECT r = pixels();
    if (!transparent_) {
        BrushHandle brush(CreateSolidBrush(color_));
        FillRect(dc, &r, brush.get());
    }
    const int dpi = parent_ != nullptr ? parent_->dpi() : systemDpi();
    HGDIOBJ oldFont = SelectObject(dc, fontAt(hfont_, fontDpi_, font_, dpi));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, font_.color);
    UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_TOP;
    if (alignment_ == Alignment::Right) format |= DT_RIGHT;
    if (alignment_ == Alignment::Center) format |= DT_CENTER;
    const std::wstring text = widen(text_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (bell_) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        const int gap = metrics.tmAveCharWidth / 2;
        const int textLeft = alignment_ == Alignment::Right    ? r.right - extent.cx
                             : alignment_ == Alignment::Center ? (r.left + r.right - extent.cx) / 2
                                                               : r.left;
        drawBell(dc, textLeft - gap, r, metrics.tmAscent, font_.color);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

// The label has no window, so its tip is a tool on the form's window with
// the label's rectangle; the form relays its mouse moves (see Control).
void Label::updateTip() {
    if (tip_ == nullptr || parent_ == nullptr || parent_->handle() == nullptr) return;
    TOOLINFOW ti = tipTool();
    SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tip_, TTM_ACTIVATE, tipWanted(), 0);
}

bool Label::tipWanted() const { return showHint && visible_ && !hint_.empty(); }

TOOLINFOW Label::tipTool() {
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = parent_->handle();
    ti.uId = 1;
    ti.rect = pixels();
    tipText_ = widen(hint_);
    ti.lpszText = tipText_.data();
    return ti;
}

void Label::relayMouse(const MSG& msg) {
    if (tip_ == nullptr) {
        if (!tipWanted() || parent_ == nullptr || parent_->handle() == nullptr) return;
        tip_ = makeTipWindow(parent_->handle());
        if (tip_ == nullptr) return;
        TOOLINFOW ti = tipTool();
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

// ---- SpeedButton

SpeedButton::~SpeedButton() {
    if (bar_ != nullptr) bar_->forget(*this);
}

void SpeedButton::sync() {
    if (bar_ != nullptr) bar_->update(*this);
}

void SpeedButton::setHint(const std::string& hint) {
    hint_ = hint;
    wideHint_ = widen(hint);
    sync();
}

void SpeedButton::setCaption(const std::string& caption) {
    caption_ = caption;
    sync();
}

void SpeedButton::setPictureResource(int bitmapId, int index) {
    bitmapId_ = bitmapId;
    bitmapIndex_ = index;
    stdIndex_ = -1;
    image_ = -2;
    sync();
}

void SpeedButton::setStandardPicture(int stdIndex) {
    stdIndex_ = stdIndex;
    bitmapId_ = 0;
    image_ = -2;
    sync();
}

void SpeedButton::setWidth(int w) {
    width_ = w;
    sync();
}

void SpeedButton::setEnabled(bool e) {
    enabled_ = e;
    sync();
}

void SpeedButton::setVisible(bool v) {
    visible_ = v;
    sync();
}

void SpeedButton::setGroupIndex(int g) {
    groupIndex_ = g;
    if (g == 0) down_ = false;
    sync();
}

void SpeedButton::setAllowAllUp(bool a) {
    allowAllUp_ = a;
    sync();
}

void SpeedButton::setDown(bool d) {
    if (groupIndex_ == 0) d = false;
    if (d == down_) return;
    // One button of a group without "all up" always stays down.
    if (!d && !allowAllUp_) return;
    down_ = d;
    if (d && bar_ != nullptr) bar_->groupDown(*this);
    sync();
}

void SpeedButton::click() {
    if (groupIndex_ > 0) {
        if (allowAllUp_) {
            setDown(!down_);
        } else {
            setDown(true);
        }
        sync();  // the control may have toggled on its own; the model decides
    }
    HWND owner = (bar_ != nullptr && bar_->parent_ != nullptr) ? bar_->parent_->handle() : nullptr;
    if (auto handler = onClick) guarded(owner, handler);
}

// ---- ButtonRow

ButtonRow::~ButtonRow() {
    for (SpeedButton* b : buttons_) b->bar_ = nullptr;
}

void ButtonRow::add(SpeedButton& button) {
    if (button.bar_ == this) return;
    if (button.bar_ != nullptr) button.bar_->forget(button);
    button.bar_ = this;
    button.id_ = nextId_++;
    buttons_.push_back(&button);
    added(button);
}

SpeedButton* ButtonRow::buttonById(int id) const {
    for (SpeedButton* b : buttons_) {
        if (b->id_ == id) return b;
    }
    return nullptr;
}

void ButtonRow::forget(SpeedButton& b) {
    std::erase(buttons_, &b);
    removing(b);
    b.bar_ = nullptr;
}

void ButtonRow::groupDown(SpeedButton& down) {
    for (SpeedButton* b : buttons_) {
        if (b != &down && b->groupIndex_ == down.groupIndex_ && b->down_) {
            b->down_ = false;
            update(*b);
        }
    }
}

int ButtonRow::dpi() const {
    return parent_ != nullptr && parent_->handle() != nullptr ? parent_->dpi() : kDesignDpi;
}

// ---- ButtonStrip

ButtonStrip::~ButtonStrip() {
    if (tip_ != nullptr && IsWindow(tip_)) DestroyWindow(tip_);
}

void ButtonStrip::create(Form& parent) {
    join(parent);
    invalidate();
}

RECT ButtonStrip::pixels() const { return pixelsOn(parent_, bounds_); }

// Side by side from the left edge; a hidden button takes no room.
RECT ButtonStrip::buttonPixels(const SpeedButton& button) const {
    const RECT all = pixels();
    RECT r{all.left, all.top, all.left, all.top + scaleToDpi(buttonHeight_, dpi())};
    for (const SpeedButton* b : buttons_) {
        if (!b->visible_) continue;
        r.left = r.right;
        r.right += scaleToDpi(b->width_ > 0 ? b->width_ : buttonWidth_, dpi());
        if (b == &button) break;
    }
    return r;
}

SpeedButton* ButtonStrip::buttonAt(POINT client) const {
    if (!visible_ || parent_ == nullptr) return nullptr;
    for (SpeedButton* b : buttons_) {
        const RECT r = buttonPixels(*b);
        if (b->visible_ && PtInRect(&r, client)) return b;
    }
    return nullptr;
}

bool ButtonStrip::contains(POINT client) const { return buttonAt(client) != nullptr; }

void ButtonStrip::invalidate() { invalidateOn(parent_, bounds_); }

void ButtonStrip::setBounds(const LayoutRect& place) {
    invalidate();
    bounds_ = place;
    invalidate();
    refreshTips();
}

void ButtonStrip::setButtonSize(int width, int height) {
    buttonWidth_ = width;
    buttonHeight_ = height;
    invalidate();
    refreshTips();
}

void ButtonStrip::setFont(const FontSpec& font) {
    font_ = font;
    hfont_.reset();
    invalidate();
}

void ButtonStrip::setColor(COLORREF color) {
    color_ = color;
    invalidate();
}

void ButtonStrip::setVisible(bool v) {
    visible_ = v;
    if (!v) {
        hot_ = pressed_ = nullptr;
        if (parent_ != nullptr && GetCapture() == parent_->handle()) ReleaseCapture();
    }
    invalidate();
    refreshTips();
}

void ButtonStrip::update(SpeedButton&) {
    invalidate();
    refreshTips();
}

void ButtonStrip::removing(SpeedButton& b) {
    if (hot_ == &b) hot_ = nullptr;
    if (pressed_ == &b) pressed_ = nullptr;
    invalidate();
    refreshTips();
}

void ButtonStrip::dpiChanged() {
    refreshTips();
    invalidate();
}

// Flat buttons as on a flat tool bar: an edge only under the mouse, pressed
// while the mouse holds one, and for a button that is down.
void ButtonStrip::paint(HDC dc) {
    if (!visible_ || parent_ == nullptr) return;
    const RECT all = pixels();
    BrushHandle brush(CreateSolidBrush(color_));
    FillRect(dc, &all, brush.get());
    HGDIOBJ oldFont = SelectObject(dc, fontAt(hfont_, fontDpi_, font_, dpi()));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    for (SpeedButton* b : buttons_) {
        if (!b->visible_) continue;
        RECT r = buttonPixels(*b);
        const bool pressed = b->down_ || (b == pressed_ && b == hot_);
        if (pressed) {
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
            OffsetRect(&r, 1, 1);
        } else if (b == hot_ && b->enabled_) {
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        }
        SetTextColor(dc, b->enabled_ ? font_.color : GetSysColor(COLOR_GRAYTEXT));
        const std::wstring text = widen(b->caption_);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void ButtonStrip::setHot(SpeedButton* b) {
    if (b == hot_) return;
    hot_ = b;
    invalidate();
    if (b == nullptr) return;
    // The form hears when the mouse leaves it, to take the edge away.
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, parent_->handle(), 0};
    TrackMouseEvent(&track);
}

void ButtonStrip::relayMouse(const MSG& msg) {
    if (parent_ == nullptr || parent_->handle() == nullptr) return;
    SpeedButton* at = msg.message == WM_MOUSELEAVE ? nullptr : buttonAt(msg.pt);
    if (tip_ == nullptr && at != nullptr) {
        tip_ = makeTipWindow(parent_->handle());
        refreshTips();
    }
    if (tip_ != nullptr) SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            setHot(at);
            break;
        case WM_LBUTTONDOWN:
            if (at == nullptr || !at->enabled_) break;
            pressed_ = at;
            setHot(at);
            SetCapture(parent_->handle());
            invalidate();
            break;
        case WM_CAPTURECHANGED:
            if (pressed_ == nullptr) break;
            pressed_ = nullptr;
            invalidate();
            break;
        case WM_LBUTTONUP: {
            SpeedButton* pressed = pressed_;
            if (pressed == nullptr) break;
            pressed_ = nullptr;
            ReleaseCapture();
            invalidate();
            // A press taken off the button before the release is no click.
            if (at == pressed) pressed->click();
            break;
        }
        default:
            break;
    }
}

// One tool per shown button, with the button's rectangle and hint.
void ButtonStrip::refreshTips() {
    if (tip_ == nullptr || parent_ == nullptr || parent_->handle() == nullptr) return;
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    while (SendMessageW(tip_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)))
        SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    for (SpeedButton* b : buttons_) {
        if (!b->visible_ || b->hint_.empty()) continue;
        ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = parent_->handle();
        ti.uId = static_cast<UINT_PTR>(b->id_);
        ti.rect = buttonPixels(*b);
        ti.lpszText = b->wideHint_.data();
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageW(tip_, TTM_ACTIVATE, visible_, 0);
}

}  // namespace tav
