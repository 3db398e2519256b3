#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "KitTestSupport.h"
#include "forms/Controls.h"
#include "desktop/Utf.h"
#include "resource.h"

namespace tav {
namespace {

// The note's edit bar in small: a bullet toggle of its own group, three
// alignment buttons of which one is down, and a plain button.
class BarForm : public Form {
public:
    ToolBar ToolBar2;
    SpeedButton SpeedButton10, aufz1, linksb, zentr, rechtsb;
    std::vector<std::string> clicks;

    BarForm() : Form(L"TKitBarForm") {
        SpeedButton10.setHint("Notiz speichern:Sichert den Notiz-Text\r\ndauerhaft.");
        SpeedButton10.setStandardPicture(STD_FILESAVE);
        aufz1.setGroupIndex(2);
        aufz1.setAllowAllUp(true);
        for (SpeedButton* b : {&linksb, &zentr, &rechtsb}) b->setGroupIndex(1);
        linksb.setDown(true);
        SpeedButton10.name = "SpeedButton10";
        aufz1.name = "aufz1";
        linksb.name = "linksb";
        zentr.name = "zentr";
        rechtsb.name = "rechtsb";
        for (SpeedButton* b : {&SpeedButton10, &aufz1, &linksb, &zentr, &rechtsb}) {
            ToolBar2.add(*b);
            b->onClick = [this, b] { clicks.push_back(b->name); };
        }
        ToolBar2.setBounds({0, 13, 300, 29});
        create();
    }
    ~BarForm() override { destroy(); }

    // The user's click: the control's own WM_COMMAND to the form.
    void userClick(SpeedButton& b) {
        SendMessageW(handle(), WM_COMMAND, MAKEWPARAM(b.commandId(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(ToolBar2.handle()));
    }
    bool checkedInControl(SpeedButton& b) {
        return SendMessageW(ToolBar2.handle(), TB_ISBUTTONCHECKED, b.commandId(), 0) != 0;
    }

protected:
    void onCreate() override { ToolBar2.create(*this); }
};

TEST(ToolBarKit, GroupOfThreeKeepsOneDownAndToggleMayBeUp) {
    BarForm f;
    EXPECT_TRUE(f.checkedInControl(f.linksb));

    f.zentr.setDown(true);
    EXPECT_FALSE(f.linksb.down());
    EXPECT_TRUE(f.checkedInControl(f.zentr));
    EXPECT_FALSE(f.checkedInControl(f.linksb));
    f.zentr.setDown(false);  // one of the three always stays down
    EXPECT_TRUE(f.zentr.down());

    f.userClick(f.rechtsb);
    EXPECT_TRUE(f.rechtsb.down());
    EXPECT_FALSE(f.zentr.down());
    EXPECT_TRUE(f.checkedInControl(f.rechtsb));
    EXPECT_FALSE(f.checkedInControl(f.zentr));
    f.userClick(f.rechtsb);  // a click on the down one leaves it down
    EXPECT_TRUE(f.checkedInControl(f.rechtsb));

    f.userClick(f.aufz1);
    EXPECT_TRUE(f.aufz1.down());
    EXPECT_TRUE(f.rechtsb.down());  // other group untouched
    f.userClick(f.aufz1);
    EXPECT_FALSE(f.aufz1.down());
    EXPECT_FALSE(f.checkedInControl(f.aufz1));
    f.aufz1.setDown(true);
    EXPECT_TRUE(f.checkedInControl(f.aufz1));

    f.userClick(f.SpeedButton10);
    EXPECT_FALSE(f.SpeedButton10.down());
    EXPECT_EQ((std::vector<std::string>{"rechtsb", "rechtsb", "aufz1", "aufz1", "SpeedButton10"}),
              f.clicks);
}

TEST(ToolBarKit, HintsReachTheToolTipWithTheirLineBreaks) {
    BarForm f;
    wchar_t buf[INFOTIPSIZE] = {};
    NMTBGETINFOTIPW info{};
    info.hdr.hwndFrom = f.ToolBar2.handle();
    info.hdr.code = TBN_GETINFOTIPW;
    info.iItem = f.SpeedButton10.commandId();
    info.pszText = buf;
    info.cchTextMax = INFOTIPSIZE;
    SendMessageW(f.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(L"Notiz speichern:Sichert den Notiz-Text\r\ndauerhaft.", buf);

    // The tip comes with the mouse, and with a tool for every button.
    EXPECT_EQ(nullptr,
              reinterpret_cast<HWND>(SendMessageW(f.ToolBar2.handle(), TB_GETTOOLTIPS, 0, 0)));
    SendMessageW(f.ToolBar2.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    HWND tip = reinterpret_cast<HWND>(SendMessageW(f.ToolBar2.handle(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(f.ToolBar2.buttons().size(),
              static_cast<size_t>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)));
    EXPECT_EQ(f.ToolBar2.buttons().size(),
              static_cast<size_t>(SendMessageW(f.ToolBar2.handle(), TB_BUTTONCOUNT, 0, 0)));
    NMTTDISPINFOW disp{};
    disp.hdr.hwndFrom = tip;
    disp.hdr.idFrom = static_cast<UINT_PTR>(f.SpeedButton10.commandId());
    disp.hdr.code = TTN_GETDISPINFOW;
    f.SpeedButton10.setHint("Notiz l\xC3\xB6schen:entfernt die \r\naktuelle Notiz");
    SendMessageW(f.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&disp));
    ASSERT_NE(nullptr, disp.lpszText);
    EXPECT_STREQ(L"Notiz l\u00f6schen:entfernt die \r\naktuelle Notiz", disp.lpszText);
    // Without a maximum width the tip would ignore the line breaks.
    EXPECT_GT(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 0);
}

TEST(ToolBarKit, EnabledVisibleAndPictureReachTheControl) {
    BarForm f;
    HWND bar = f.ToolBar2.handle();
    f.zentr.setEnabled(false);
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, f.zentr.commandId(), 0));
    f.zentr.setEnabled(true);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONENABLED, f.zentr.commandId(), 0));
    f.SpeedButton10.setVisible(false);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONHIDDEN, f.SpeedButton10.commandId(), 0));

    const LRESULT image = SendMessageW(bar, TB_GETBITMAP, f.SpeedButton10.commandId(), 0);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(bar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(nullptr, images);
    EXPECT_GE(image, 0);
    EXPECT_LT(image, ImageList_GetImageCount(images));
    EXPECT_EQ(5, SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    RECT r{};
    SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(21, r.right - r.left);
    EXPECT_EQ(21, r.bottom - r.top);
}

// Pictures come from one strip of 16 x 16 pictures, loaded once per bar.
TEST(ToolBarKit, StripPicturesAreLoadedOnceAndIndexed) {
    BarForm f;
    HWND bar = f.ToolBar2.handle();
    f.linksb.setPictureResource(IDB_NOTE_TOOLBAR, 5);
    f.zentr.setPictureResource(IDB_NOTE_TOOLBAR, 7);
    f.rechtsb.setPictureResource(IDB_NOTE_TOOLBAR, 999);  // no such picture: none
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(bar, TB_GETIMAGELIST, 0, 0));
    ASSERT_NE(nullptr, images);
    const LRESULT first = SendMessageW(bar, TB_GETBITMAP, f.linksb.commandId(), 0);
    EXPECT_EQ(first + 2, SendMessageW(bar, TB_GETBITMAP, f.zentr.commandId(), 0));
    EXPECT_EQ(I_IMAGENONE, SendMessageW(bar, TB_GETBITMAP, f.rechtsb.commandId(), 0));
    const int count = ImageList_GetImageCount(images);
    f.aufz1.setPictureResource(IDB_NOTE_TOOLBAR, 1);
    EXPECT_EQ(count, ImageList_GetImageCount(images));
    EXPECT_EQ(first - 5 + 1, SendMessageW(bar, TB_GETBITMAP, f.aufz1.commandId(), 0));
}

TEST(ToolBarKit, ButtonsAndBarForgetEachOtherWhenOneGoes) {
    BarForm f;
    {
        SpeedButton temporary;
        f.ToolBar2.add(temporary);
        EXPECT_EQ(6, SendMessageW(f.ToolBar2.handle(), TB_BUTTONCOUNT, 0, 0));
    }
    EXPECT_EQ(5, SendMessageW(f.ToolBar2.handle(), TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(5u, f.ToolBar2.buttons().size());
    SpeedButton outliving;
    {
        BarForm g;
        g.ToolBar2.add(outliving);
    }
    EXPECT_EQ(nullptr, outliving.bar());
    outliving.setDown(true);  // must not reach the dead bar
}

// The note's title line in small: two Marlett captions drawn on the line.
class TitleLineForm : public Form {
public:
    ButtonStrip ToolBar3;
    SpeedButton SpeedButton17, SpeedButton18;
    int deletes = 0, rollUps = 0;
    TitleLineForm() : Form(L"TKitTitleLineForm") {
        ToolBar3.setBounds({2, 0, 35, 13});
        ToolBar3.setButtonSize(17, 13);
        ToolBar3.setFont({"Marlett", 8});
        ToolBar3.setColor(2674653);
        SpeedButton17.setCaption("r");
        SpeedButton17.setWidth(17);
        SpeedButton17.setHint("Diese Notiz löschen");
        SpeedButton17.onClick = [this] { ++deletes; };
        SpeedButton18.setCaption("0");
        SpeedButton18.setWidth(14);
        SpeedButton18.setHint("Notiz minimieren");
        SpeedButton18.onClick = [this] { ++rollUps; };
        ToolBar3.add(SpeedButton17);
        ToolBar3.add(SpeedButton18);
        create();
    }
    ~TitleLineForm() override { destroy(); }

    // The form's own mouse messages, as the system sends them over the
    // strip (whose hit test the form answers with HTCLIENT).
    void mouse(UINT msg, int x, int y) {
        SendMessageW(handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    void press(int x, int y, int releaseX) {
        mouse(WM_MOUSEMOVE, x, y);
        mouse(WM_LBUTTONDOWN, x, y);
        mouse(WM_MOUSEMOVE, releaseX, y);
        mouse(WM_LBUTTONUP, releaseX, y);
    }

protected:
    void onCreate() override { ToolBar3.create(*this); }
};

TEST(ButtonStripKit, PaintsItsColourAndPlacesButtonsByTheirWidths) {
    TitleLineForm f;
    EXPECT_FALSE(f.ToolBar3.contains({1, 6})) << "left of the first button";
    EXPECT_TRUE(f.ToolBar3.contains({2, 6}));
    EXPECT_TRUE(f.ToolBar3.contains({18, 12}));
    EXPECT_TRUE(f.ToolBar3.contains({19, 6})) << "the second button starts after 17 pixels";
    EXPECT_TRUE(f.ToolBar3.contains({32, 6}));
    EXPECT_FALSE(f.ToolBar3.contains({33, 6})) << "14 pixels wide";
    EXPECT_FALSE(f.ToolBar3.contains({10, 13})) << "13 pixels high";
    {
        const test::Snapshot shot(f.handle(), 40, 20);
        EXPECT_EQ(COLORREF{2674653}, shot.mostIn({2, 0, 37, 13}));
        EXPECT_NE(COLORREF{2674653}, shot.pixel(10, 6)) << "the caption is drawn";
    }
    f.ToolBar3.setColor(255);  // edit mode: red
    EXPECT_EQ(COLORREF{255}, test::Snapshot(f.handle(), 40, 20).mostIn({2, 0, 37, 13}));

    f.ToolBar3.hide();
    EXPECT_FALSE(f.ToolBar3.contains({10, 6}));
    EXPECT_NE(COLORREF{255}, test::Snapshot(f.handle(), 40, 20).pixel(10, 6));
    f.ToolBar3.show();
    f.SpeedButton17.setVisible(false);
    EXPECT_TRUE(f.ToolBar3.contains({2, 6})) << "a hidden button leaves its room to the next";
    EXPECT_FALSE(f.ToolBar3.contains({20, 6}));
}

TEST(ButtonStripKit, ClickIsAPressAndReleaseOnTheSameShownEnabledButton) {
    TitleLineForm f;
    f.press(25, 6, 25);
    EXPECT_EQ(1, f.rollUps);
    EXPECT_EQ(GetCapture(), nullptr) << "the release gives the mouse back";
    f.press(10, 6, 25);
    f.press(25, 6, 60);
    EXPECT_EQ(0, f.deletes);
    EXPECT_EQ(1, f.rollUps) << "a press taken off its button is no click";
    f.mouse(WM_LBUTTONUP, 10, 6);
    EXPECT_EQ(0, f.deletes) << "a release alone is no click";

    f.SpeedButton17.setEnabled(false);
    f.press(10, 6, 10);
    EXPECT_EQ(0, f.deletes);
    f.SpeedButton17.setEnabled(true);
    f.ToolBar3.hide();
    f.press(10, 6, 10);
    EXPECT_EQ(0, f.deletes);
    f.ToolBar3.show();
    f.press(10, 6, 10);
    EXPECT_EQ(1, f.deletes);
}

// Tips come with the mouse's first visit, one per button, and follow the
// button's hint (the roll-up button says what it will do next).
TEST(ButtonStripKit, TipsNameEachButtonAndFollowTheHint) {
    TitleLineForm f;
    // The tip window the strip made: a tool tip owned by the form.
    std::pair<HWND, HWND> search{f.handle(), nullptr};
    auto findTip = [&] {
        search.second = nullptr;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM data) {
                auto* p = reinterpret_cast<std::pair<HWND, HWND>*>(data);
                wchar_t cls[32] = {};
                GetClassNameW(w, cls, 32);
                if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(w, GW_OWNER) == p->first)
                    p->second = w;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.second;
    };
    EXPECT_EQ(nullptr, findTip()) << "no tip before the mouse comes";
    f.mouse(WM_MOUSEMOVE, 25, 6);
    HWND tip = findTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(2, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    auto tipText = [&](SpeedButton& b) {
        wchar_t text[80] = {};
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = f.handle();
        ti.uId = static_cast<UINT_PTR>(b.commandId());
        ti.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
        return narrow(text);
    };
    EXPECT_EQ("Diese Notiz löschen", tipText(f.SpeedButton17));
    EXPECT_EQ("Notiz minimieren", tipText(f.SpeedButton18));
    f.SpeedButton18.setHint("Notiz wiederherstellen");
    EXPECT_EQ("Notiz wiederherstellen", tipText(f.SpeedButton18));
}

TEST(ToolBarKit, ThrowingButtonHandlerEndsInErrorBox) {
    std::vector<std::string> shown;
    setErrorBoxFunction([&](HWND, const std::string& text) { shown.push_back(text); });
    BarForm f;
    f.zentr.onClick = [] { throw std::runtime_error("Absatz nicht lesbar"); };
    f.userClick(f.zentr);
    setErrorBoxFunction({});
    EXPECT_EQ(std::vector<std::string>{"Absatz nicht lesbar"}, shown);
    EXPECT_TRUE(f.zentr.down());
    EXPECT_TRUE(IsWindow(f.ToolBar2.handle()));
}

}  // namespace
}  // namespace tav
