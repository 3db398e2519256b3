#include "forms/Controls.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "forms/Dpi.h"
#include "store/DpiScale.h"

namespace tav {

namespace {

constexpr int kPictureSize = 16;
// The sizes in which the system draws its standard pictures.
constexpr int kStandardPictureSizes[] = {16, 24};
constexpr COLORREF kTransparentPictureColor = RGB(255, 0, 255);

}  // namespace

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

}  // namespace tav
