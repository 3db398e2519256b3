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
constexpr int kPictureSize = 16;
// The sizes in which the system draws its standard pictures.
constexpr int kStandardPictureSizes[] = {16, 24};
constexpr COLORREF kTransparentPictureColor = RGB(255, 0, 255);

// A tip window is made when the mouse first comes over its control: fifty
// notes would otherwise make a hundred and fifty tip windows at every start,
// which hardly anyone ever sees. Null when none can be made; the control
// works on without tips.
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

// ---- ToolBar

ToolBar::~ToolBar() {
    leave();
    if (hwnd_ != nullptr) {
        RemoveWindowSubclass(hwnd_, &ToolBar::subclassProc, 1);
        DestroyWindow(hwnd_);
    }
}

void ToolBar::create(Form& parent) {
    if (hwnd_ != nullptr) return;
    join(parent);
    DWORD style = WS_CLIPSIBLINGS | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_FLAT;
    if (visible_) style |= WS_VISIBLE;
    if (wrapable_) style |= TBSTYLE_WRAPABLE;
    hwnd_ = makeWindow(TOOLBARCLASSNAMEW, L"", style, 0, 0, bounds_, "Die Werkzeugleiste");
    SetWindowSubclass(hwnd_, &ToolBar::subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    rebuildImages();
    applyButtonSize();
    insertAll();
}

void ToolBar::createWhenShown(Form& parent) {
    parent_ = &parent;
    if (visible_) create(parent);
}

// The control registers a button with its tip only as the button is added,
// so the buttons are added once more when the tip comes.
void ToolBar::makeTips() {
    tipsMade_ = true;
    HWND tip = makeTipWindow(parent_->handle());
    if (tip == nullptr) return;
    SendMessageW(hwnd_, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tip), 0);
    while (SendMessageW(hwnd_, TB_DELETEBUTTON, 0, 0)) {
    }
    insertAll();
}

void ToolBar::added(SpeedButton& button) {
    if (hwnd_ != nullptr) insert(button);
}

int ToolBar::imageFor(SpeedButton& b) {
    if (b.image_ != -2) return b.image_;
    if (b.bitmapId_ == 0 && b.stdIndex_ < 0) return b.image_ = I_IMAGENONE;
    if (b.stdIndex_ >= 0 && !stdPictures_) {
        // The system draws its pictures in two sizes only: the bar takes one
        // of those for all its pictures.
        stdPictures_ = true;
        rebuildImages();  // may have given this button its picture already
        if (b.image_ != -2) return b.image_;
    }
    b.image_ = I_IMAGENONE;
    if (!images_) {
        images_.reset(ImageList_Create(pictureSize_, pictureSize_, ILC_COLOR24 | ILC_MASK, 8, 8));
        SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    }
    if (b.bitmapId_ != 0) {
        auto strip = std::find_if(strips_.begin(), strips_.end(),
                                  [&](const Strip& s) { return s.bitmapId == b.bitmapId_; });
        if (strip == strips_.end()) {
            const int before = ImageList_GetImageCount(images_.get());
            const int first = addStrip(b.bitmapId_);
            const int count = ImageList_GetImageCount(images_.get()) - before;
            strip = strips_.insert(strips_.end(), {b.bitmapId_, first, count});
        }
        if (strip->first >= 0 && b.bitmapIndex_ >= 0 && b.bitmapIndex_ < strip->count) {
            b.image_ = strip->first + b.bitmapIndex_;
        }
    } else {
        // The system's pictures are appended to our list once, in their order.
        if (stdBase_ < 0) {
            stdBase_ = ImageList_GetImageCount(images_.get());
            SendMessageW(hwnd_, TB_LOADIMAGES,
                         pictureSize_ >= 24 ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR,
                         reinterpret_cast<LPARAM>(HINST_COMMCTRL));
            applyButtonSize();  // loading them sets the control's own sizes again
        }
        b.image_ = stdBase_ + b.stdIndex_;
    }
    if (b.image_ < 0) b.image_ = I_IMAGENONE;
    return b.image_;
}

// The strip drawn at the bar's picture size, else the largest smaller one,
// each picture centred in a cell of the bar's size. The index of its first
// picture in the list, or -1 when no drawing of it loads (the buttons stay
// empty rather than the form failing).
int ToolBar::addStrip(int bitmapId) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    const int cell = pictureSize_;
    for (int i = static_cast<int>(std::size(kPictureSizes)) - 1; i >= 0; --i) {
        const int size = kPictureSizes[i];
        if (size > cell) continue;
        BitmapHandle bitmap(static_cast<HBITMAP>(LoadImageW(
            module, MAKEINTRESOURCEW(bitmapId + i), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP info{};
        if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info) || info.bmHeight != size)
            continue;
        if (size == cell)
            return ImageList_AddMasked(images_.get(), bitmap.get(), kTransparentPictureColor);
        const int count = info.bmWidth / size;
        HDC screen = GetDC(nullptr);
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        BitmapHandle cells(CreateCompatibleBitmap(screen, count * cell, cell));
        ReleaseDC(nullptr, screen);
        HGDIOBJ oldFrom = SelectObject(from, bitmap.get());
        HGDIOBJ oldTo = SelectObject(to, cells.get());
        BrushHandle transparent(CreateSolidBrush(kTransparentPictureColor));
        const RECT all{0, 0, count * cell, cell};
        FillRect(to, &all, transparent.get());
        const int margin = (cell - size) / 2;
        for (int n = 0; n < count; ++n)
            BitBlt(to, n * cell + margin, margin, size, size, from, n * size, 0, SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
        DeleteDC(from);
        DeleteDC(to);
        return ImageList_AddMasked(images_.get(), cells.get(), kTransparentPictureColor);
    }
    return -1;
}

// A new density or the system's pictures: a new list of the right size, and
// every button looks its picture up again.
void ToolBar::rebuildImages() {
    pictureSize_ = stdPictures_ ? pictureSizeFor(kPictureSize, dpi(), kStandardPictureSizes)
                                : pictureSizeFor(kPictureSize, dpi(), kPictureSizes);
    if (hwnd_ == nullptr) return;
    const ImageListHandle old = std::move(images_);
    strips_.clear();
    stdBase_ = -1;
    for (SpeedButton* b : buttons_) b->image_ = -2;
    if (!old) return;
    images_.reset(ImageList_Create(pictureSize_, pictureSize_, ILC_COLOR24 | ILC_MASK, 8, 8));
    SendMessageW(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    for (SpeedButton* b : buttons_) update(*b);
}

TBBUTTON ToolBar::describe(SpeedButton& b) {
    TBBUTTON tb{};
    tb.iBitmap = imageFor(b);
    tb.idCommand = b.id_;
    tb.fsState =
        static_cast<BYTE>((b.enabled_ ? TBSTATE_ENABLED : 0) | (b.down_ ? TBSTATE_CHECKED : 0) |
                          (b.visible_ ? 0 : TBSTATE_HIDDEN));
    // The model keeps groups itself (see SpeedButton::click), so the control
    // only needs to know that the button can stay pressed.
    tb.fsStyle = static_cast<BYTE>(b.groupIndex_ > 0 ? BTNS_CHECK : BTNS_BUTTON);
    tb.iString = -1;
    return tb;
}

void ToolBar::insert(SpeedButton& b) {
    const TBBUTTON tb = describe(b);
    SendMessageW(hwnd_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&tb));
    applyWidth(b);
}

// All in one go: the control measures and arranges its buttons anew for
// every call that adds some. The buttons come with their state; only a
// width of their own needs a call more.
void ToolBar::insertAll() {
    std::vector<TBBUTTON> all;
    for (SpeedButton* b : buttons_) all.push_back(describe(*b));
    if (!all.empty())
        SendMessageW(hwnd_, TB_ADDBUTTONSW, all.size(), reinterpret_cast<LPARAM>(all.data()));
    for (SpeedButton* b : buttons_) applyWidth(*b);
}

void ToolBar::applyWidth(SpeedButton& b) {
    if (hwnd_ == nullptr || b.width_ <= 0) return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(scaleToDpi(b.width_, dpi()));
    SendMessageW(hwnd_, TB_SETBUTTONINFOW, static_cast<WPARAM>(b.id_),
                 reinterpret_cast<LPARAM>(&info));
}

void ToolBar::update(SpeedButton& b) {
    if (hwnd_ == nullptr) return;
    const WPARAM id = static_cast<WPARAM>(b.id_);
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE | TBIF_STYLE;
    info.iImage = imageFor(b);
    info.fsStyle = static_cast<BYTE>(b.groupIndex_ > 0 ? BTNS_CHECK : BTNS_BUTTON);
    SendMessageW(hwnd_, TB_SETBUTTONINFOW, id, reinterpret_cast<LPARAM>(&info));
    applyWidth(b);
    SendMessageW(hwnd_, TB_ENABLEBUTTON, id, MAKELONG(b.enabled_, 0));
    SendMessageW(hwnd_, TB_CHECKBUTTON, id, MAKELONG(b.down_, 0));
    SendMessageW(hwnd_, TB_HIDEBUTTON, id, MAKELONG(!b.visible_, 0));
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ToolBar::removing(SpeedButton& b) {
    if (hwnd_ == nullptr) return;
    const LRESULT index = SendMessageW(hwnd_, TB_COMMANDTOINDEX, b.id_, 0);
    if (index >= 0) SendMessageW(hwnd_, TB_DELETEBUTTON, index, 0);
}

void ToolBar::setBounds(const LayoutRect& place) {
    bounds_ = place;
    applyBounds();
}

void ToolBar::applyBounds() {
    if (hwnd_ != nullptr) placeChild(hwnd_, bounds_);
}

void ToolBar::setButtonSize(int width, int height) {
    buttonWidth_ = width;
    buttonHeight_ = height;
    if (hwnd_ != nullptr) {
        applyButtonSize();
    }
}

void ToolBar::setWrapable(bool wrapable) {
    wrapable_ = wrapable;
    if (hwnd_ == nullptr) return;
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      wrapable ? style | TBSTYLE_WRAPABLE : style & ~LONG_PTR{TBSTYLE_WRAPABLE});
    // The control measures its buttons anew for the style.
    applyButtonSize();
}

int ToolBar::wrappedHeight(int width, int rowHeight) {
    if (hwnd_ == nullptr || buttons_.empty()) return rowHeight;
    // Only the width decides where the buttons wrap.
    setBounds({bounds_.x, bounds_.y, width, bounds_.h});
    SendMessageW(hwnd_, TB_AUTOSIZE, 0, 0);  // wraps anew for the width
    RECT first{}, last{};
    const LRESULT count = SendMessageW(hwnd_, TB_BUTTONCOUNT, 0, 0);
    SendMessageW(hwnd_, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(hwnd_, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
    return rowHeight + std::max(0, scaleFromDpi(last.bottom - first.bottom, dpi()));
}

// The control makes a button at least picture plus padding big (23 x 22 by
// default); the forms want 21 x 21 buttons and a 13 pixels high title bar, so
// padding and, for small buttons, the picture size give way.
void ToolBar::applyButtonSize() {
    const int width = scaleToDpi(buttonWidth_, dpi());
    const int height = scaleToDpi(buttonHeight_, dpi());
    const int picture = std::min({pictureSize_, width, height});
    SendMessageW(hwnd_, TB_SETBITMAPSIZE, 0, MAKELONG(picture, picture));
    SendMessageW(hwnd_, TB_SETPADDING, 0,
                 MAKELPARAM(std::max(0, width - picture), std::max(0, height - picture)));
    SendMessageW(hwnd_, TB_SETBUTTONSIZE, 0, MAKELONG(width, height));
}

void ToolBar::dpiChanged() {
    rebuildImages();
    applyButtonSize();
    for (SpeedButton* b : buttons_) applyWidth(*b);
    applyBounds();
}

void ToolBar::setColor(COLORREF color) {
    color_ = color;
    hasColor_ = true;
    brush_.reset(CreateSolidBrush(color));
    if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

void ToolBar::setVisible(bool v) {
    visible_ = v;
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, v ? SW_SHOWNA : SW_HIDE);
    } else if (v && parent_ != nullptr) {
        create(*parent_);
    }
}

bool ToolBar::forwardCommand(WPARAM wParam, LPARAM lParam) {
    if (hwnd_ == nullptr || reinterpret_cast<HWND>(lParam) != hwnd_) return false;
    if (SpeedButton* b = buttonById(LOWORD(wParam))) b->click();
    return true;
}

bool ToolBar::forwardNotify(const NMHDR& header, LRESULT& result) {
    if (hwnd_ == nullptr) return false;
    if (header.hwndFrom == hwnd_) {
        if (header.code == TBN_GETINFOTIPW) {
            auto& tip =
                const_cast<NMTBGETINFOTIPW&>(reinterpret_cast<const NMTBGETINFOTIPW&>(header));
            SpeedButton* b = buttonById(tip.iItem);
            if (b == nullptr || tip.pszText == nullptr || tip.cchTextMax <= 0) return false;
            lstrcpynW(tip.pszText, b->wideHint_.c_str(), tip.cchTextMax);
            result = 0;
            return true;
        }
        return false;
    }
    // Some comctl32 versions ask with their tool tip's own notification.
    HWND tip = reinterpret_cast<HWND>(SendMessageW(hwnd_, TB_GETTOOLTIPS, 0, 0));
    if (tip != nullptr && header.hwndFrom == tip && header.code == TTN_GETDISPINFOW) {
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        SpeedButton* b = buttonById(static_cast<int>(header.idFrom));
        if (b == nullptr) return false;
        info.lpszText = b->wideHint_.data();
        info.hinst = nullptr;
        result = 0;
        return true;
    }
    return false;
}

LRESULT CALLBACK ToolBar::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<ToolBar*>(data);
    switch (msg) {
        case WM_ERASEBKGND:
            if (self->hasColor_) {
                RECT r;
                GetClientRect(hwnd, &r);
                FillRect(reinterpret_cast<HDC>(wParam), &r, self->brush_.get());
                return 1;
            }
            break;
        case WM_MOUSEMOVE:
            if (!self->tipsMade_) self->makeTips();
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, &ToolBar::subclassProc, id);
            self->hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
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
