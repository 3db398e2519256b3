// The form kit on a monitor of another density. Wine gives every monitor the
// system's density and never moves a window between densities, so these
// tests send the message the system sends when a window reaches a monitor
// of another density, with the rectangle it suggests.

#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include "KitTestSupport.h"
#include "forms/Controls.h"
#include "forms/DialogForm.h"
#include "forms/StdControls.h"
#include "forms/Dpi.h"
#include "forms/Form.h"
#include "resource.h"

// Found by googletest for RECT, which lives in the global namespace.
bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }
void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace tav {
namespace {

RECT windowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

// A child's rectangle in its parent's client pixels.
RECT childRect(HWND child) {
    RECT r = windowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT scaled(const RECT& r, int dpi) {
    return {MulDiv(r.left, dpi, 96), MulDiv(r.top, dpi, 96), MulDiv(r.right, dpi, 96),
            MulDiv(r.bottom, dpi, 96)};
}

// A small dialog as the forms lay one out: everything in 96-dpi figures.
class DesignedForm : public Form {
public:
    Label caption, fill;
    ToolBar bar;
    SpeedButton save, remove;
    Button cancel;
    HWND button = nullptr;
    int laidOut = 0;

    DesignedForm() : Form(L"TKitDpiForm") {
        setClientWidth(200);
        setClientHeight(120);
        create();
        caption.create(*this);
        caption.setBounds({10, 8, 80, 13});
        caption.setFont({.name = "MS Sans Serif", .sizePoints = 8, .bold = true});
        caption.setText("Grundeinstellungen");
        fill.create(*this);
        save.setPictureResource(IDB_NOTE_TOOLBAR, 0);
        remove.setPictureResource(IDB_NOTE_TOOLBAR, 3);
        bar.add(save);
        bar.add(remove);
        bar.create(*this);
        cancel.create(*this, "Abbrechen", IDCANCEL, {110, 84, 80, 24});
        button = cancel.handle();
        layOut();
    }
    ~DesignedForm() override { destroy(); }

    // The system's move to a monitor of this density, with its rectangle.
    void moveToDpi(int dpi, RECT suggested) {
        SendMessageW(handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    }

protected:
    void onSize(int, int) override { layOut(); }

private:
    void layOut() {
        ++laidOut;
        fill.setBounds({0, clientHeight() - 10, clientWidth(), 10});
        bar.setBounds({0, 30, clientWidth(), 29});
    }
};

TEST(DpiKit, FormFollowsItsMonitorToTwiceTheDensityAndBack) {
    DesignedForm form;
    const int startDpi = form.dpi();
    ASSERT_EQ(96, startDpi) << "the test prefix runs at 100 %";
    const RECT at96 = windowRect(form.handle());
    const RECT buttonAt96 = childRect(form.button);
    const RECT barAt96 = childRect(form.bar.handle());
    RECT client96{};
    GetClientRect(form.handle(), &client96);
    EXPECT_EQ((RECT{0, 0, 200, 120}), client96);

    const RECT suggested{50, 40, 50 + 2 * (at96.right - at96.left),
                         40 + 2 * (at96.bottom - at96.top)};
    const int layoutsBefore = form.laidOut;
    form.moveToDpi(192, suggested);

    EXPECT_EQ(192, form.dpi());
    EXPECT_EQ(192, windowDpi(form.button)) << "children share the form's density";
    EXPECT_EQ(suggested, windowRect(form.handle()));
    EXPECT_GT(form.laidOut, layoutsBefore);
    EXPECT_EQ(scaled(buttonAt96, 192), childRect(form.button));
    EXPECT_EQ(2 * barAt96.top, childRect(form.bar.handle()).top);
    EXPECT_EQ(2 * 29, childRect(form.bar.handle()).bottom - childRect(form.bar.handle()).top);

    // Buttons and pictures of the bar: 21 and 16 pixels at 96 dpi, drawn
    // anew at twice the size rather than stretched.
    EXPECT_EQ(MAKELONG(42, 42), SendMessageW(form.bar.handle(), TB_GETBUTTONSIZE, 0, 0));
    EXPECT_EQ(32, form.bar.pictureSize());
    int cx = 0, cy = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageW(form.bar.handle(), TB_GETIMAGELIST, 0, 0)), &cx,
        &cy);
    EXPECT_EQ(32, cx);

    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form.button, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(-MulDiv(8, 192, 72), font.lfHeight);

    // A control that fills the client area ends on its edge to the pixel,
    // whatever the rounding of the figures.
    RECT client{};
    GetClientRect(form.handle(), &client);
    EXPECT_TRUE(form.fill.contains({client.right - 1, client.bottom - 1}));
    EXPECT_TRUE(form.caption.contains({2 * 10, 2 * 8}));
    EXPECT_FALSE(form.caption.contains({2 * 90 + 1, 2 * 8}));

    form.moveToDpi(96, at96);
    EXPECT_EQ(at96, windowRect(form.handle()));
    EXPECT_EQ(buttonAt96, childRect(form.button));
    EXPECT_EQ(barAt96, childRect(form.bar.handle()));
    EXPECT_EQ(MAKELONG(21, 21), SendMessageW(form.bar.handle(), TB_GETBUTTONSIZE, 0, 0));
    EXPECT_EQ(16, form.bar.pictureSize());
}

// At 150 % most pixel sizes have no figure of their own: one read and
// written back must leave the window as it is, and controls laid out to the
// client edge must end on it, not a rounded pixel before or after it.
TEST(DpiKit, FiguresNeverDriftAndEdgesHoldAtAnOddScale) {
    DesignedForm form;
    const RECT r = windowRect(form.handle());
    form.moveToDpi(144, {r.left, r.top, r.left + 301, r.top + 241});
    for (int pixels : {301, 302, 304, 361, 377}) {
        // As the user's dragging leaves it.
        SetWindowPos(form.handle(), nullptr, 0, 0, pixels, pixels, SWP_NOMOVE | SWP_NOZORDER);
        const RECT before = windowRect(form.handle());
        form.setHeight(form.height());
        form.setWidth(form.width());
        form.setClientWidth(form.clientWidth());
        EXPECT_EQ(before, windowRect(form.handle())) << pixels;

        RECT client{};
        GetClientRect(form.handle(), &client);
        EXPECT_TRUE(form.fill.contains({client.right - 1, client.bottom - 1})) << pixels;
        EXPECT_FALSE(form.fill.contains({client.right, client.bottom - 1})) << pixels;
        EXPECT_FALSE(form.fill.contains({client.right - 1, client.bottom})) << pixels;
        EXPECT_EQ(client.right, childRect(form.bar.handle()).right) << pixels;
    }
    form.setHeight(161);
    const RECT set = windowRect(form.handle());
    EXPECT_EQ(MulDiv(161, 144, 96), set.bottom - set.top);
    form.setClientWidth(170);
    RECT client{};
    GetClientRect(form.handle(), &client);
    EXPECT_EQ(255, client.right);
    EXPECT_EQ(170, form.clientWidth());
}

// The standard controls of a dialog form follow it, and the arrows of a
// number field stay at the field's new right edge.
class SmallDialog : public DialogForm {
public:
    Button ok;
    SpinEdit size;
    SmallDialog() : DialogForm(L"TKitDpiDialog", "Grundeinstellungen", 200, 80) {
        createDialog(nullptr);
        size.create(*this, 101, {10, 10, 68, 21}, 6, 200);
        ok.create(*this, "&O.K.", IDOK, {110, 46, 84, 25}, true);
    }
    ~SmallDialog() override { destroy(); }
};

TEST(DpiKit, DialogFormControlsFollowToTwiceTheDensity) {
    SmallDialog dialog;
    const RECT okAt96 = childRect(dialog.ok.handle());
    const RECT arrowsAt96 = childRect(dialog.size.upDown());
    const RECT r = windowRect(dialog.handle());
    RECT suggested{r.left, r.top, r.left + 2 * (r.right - r.left), r.top + 2 * (r.bottom - r.top)};
    SendMessageW(dialog.handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(scaled(okAt96, 192), childRect(dialog.ok.handle()));
    const RECT arrows = childRect(dialog.size.upDown());
    EXPECT_EQ(2 * arrowsAt96.right, arrows.right);
    EXPECT_NEAR(2 * (arrowsAt96.right - arrowsAt96.left), arrows.right - arrows.left, 1);
    EXPECT_EQ(childRect(dialog.size.handle()).right, arrows.left);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog.ok.handle(), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(-MulDiv(8, 192, 72), font.lfHeight);
}

// Windows moves a window that a placement record puts on a monitor of
// another density and suggests a rectangle for it there; the record's own
// rectangle is already in that monitor's pixels and must win.
class PlacedForm : public Form {
public:
    PlacedForm() : Form(L"TKitDpiPlacedForm") { create(); }
    ~PlacedForm() override { destroy(); }
    bool moveOnNextPosition = false;

protected:
    bool handleMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
        if (msg == WM_WINDOWPOSCHANGED && moveOnNextPosition) {
            moveOnNextPosition = false;
            RECT suggested{0, 0, 900, 700};
            SendMessageW(handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                         reinterpret_cast<LPARAM>(&suggested));
        }
        return false;
    }
};

TEST(DpiKit, PlacementRecordKeepsItsRectangleAcrossADensityChange) {
    PlacedForm form;
    WINDOWPLACEMENT p{};
    p.length = sizeof p;
    GetWindowPlacement(form.handle(), &p);
    p.showCmd = SW_HIDE;
    p.rcNormalPosition = {120, 90, 520, 450};
    form.moveOnNextPosition = true;
    form.applyPlacement(p);
    EXPECT_FALSE(form.moveOnNextPosition) << "the density change came";
    EXPECT_EQ(144, form.dpi());
    EXPECT_EQ((RECT{120, 90, 520, 450}), windowRect(form.handle()));

    // Outside a placement the system's rectangle is taken.
    form.moveOnNextPosition = true;
    form.setLeft(130);
    EXPECT_EQ((RECT{0, 0, 900, 700}), windowRect(form.handle()));
}

}  // namespace
}  // namespace tav
