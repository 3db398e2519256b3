#pragma once
// Labels and tool bars of the forms. Bounds, button sizes and font sizes given
// to these controls are 96-dpi figures; the controls show them in the pixels
// of their form's monitor and follow the form to another density (see Form).
// The controls the form paints (labels, button strips) are Controls.cpp; the
// tool bar, a window of the system's, is ToolBar.cpp.

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/Font.h"
#include "forms/Form.h"
#include "desktop/Handle.h"

namespace tav {

enum class Alignment { Left, Right, Center };

// The program's tip window, with its hint timing. Controls make it when the
// mouse first comes over them: fifty notes would otherwise make a hundred
// and fifty tip windows at every start, which hardly anyone ever sees. Null
// when none can be made; the control works on without tips.
HWND makeTipWindow(HWND owner);

// A static text that has no window of its own: the form paints it. So it
// takes the form's hit test (the note's title line drags the note) and the
// form's right click.
class Label : public Control {
public:
    Label() = default;
    ~Label() override;

    // Joins a form whose window exists.
    void create(Form& parent);

    const LayoutRect& bounds() const { return bounds_; }
    void setBounds(const LayoutRect& place);
    int height() const { return bounds_.h; }
    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint);
    bool showHint = true;
    const FontSpec& font() const { return font_; }
    void setFont(const FontSpec& font);
    // A label starts with the form's colour (transparent); setColor makes it
    // paint its own background.
    COLORREF color() const { return color_; }
    void setColor(COLORREF color);
    bool transparent() const { return transparent_; }
    void setTransparent(bool t);
    Alignment alignment() const { return alignment_; }
    void setAlignment(Alignment a);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    // A small bell just before the text, in the text's colour.
    bool bell() const { return bell_; }
    void setBell(bool on);
    int tag = 0;

    // true when the point (the form's client pixels) lies on the shown label.
    bool contains(POINT client) const;
    void paint(HDC dc) override;
    void relayMouse(const MSG& msg) override;
    void dpiChanged() override;

private:
    RECT pixels() const;
    void invalidate();
    void updateTip();
    bool tipWanted() const;
    TOOLINFOW tipTool();

    LayoutRect bounds_{0, 0, 65, 13};
    bool bell_ = false;
    std::string text_;
    std::string hint_;
    std::wstring tipText_;
    FontSpec font_;
    FontHandle hfont_;
    int fontDpi_ = 0;
    COLORREF color_ = 0;
    bool transparent_ = true;
    Alignment alignment_ = Alignment::Left;
    bool visible_ = true;
    HWND tip_ = nullptr;
};

class ButtonRow;

// One button of a tool bar or a button strip. Forms hold buttons as named
// members and add them to their row; the row and its buttons forget each
// other when either dies. On a tool bar a button shows a 16 x 16 picture (a
// bitmap resource with magenta as the transparent colour, or one of the
// system's standard pictures); on a button strip it shows its caption.
//
// Pictures stay crisp at every density: a bitmap resource id names a strip of
// 16-pixel pictures, and the ids after it may hold the same pictures drawn
// at 20, 24, 28 and 32 pixels (id + 1 ... id + 4, see kPictureSizes). A bar
// shows the largest drawn size that its density allows and centres a smaller
// one when a size is missing; a picture is never stretched.
class SpeedButton {
public:
    SpeedButton() = default;
    ~SpeedButton();
    SpeedButton(const SpeedButton&) = delete;
    SpeedButton& operator=(const SpeedButton&) = delete;

    std::string name;
    std::function<void()> onClick;
    int tag = 0;

    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint);  // "\r\n" breaks the tip's lines
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    // Picture number index of a bitmap resource of this module that holds a
    // strip of 16 x 16 pictures (and its larger drawings, see above); the bar
    // loads each strip once.
    void setPictureResource(int bitmapId, int index = 0);
    void setStandardPicture(int stdIndex);  // STD_COPY etc. of IDB_STD_SMALL_COLOR
    int width() const { return width_; }
    void setWidth(int w);  // a 96-dpi figure; 0: the bar's button width

    bool enabled() const { return enabled_; }
    void setEnabled(bool e);
    bool visible() const { return visible_; }
    void setVisible(bool v);

    // Buttons with the same group index > 0 are a group: putting one down
    // puts the others up. Without allowAllUp one of them stays down (a click
    // on the down one and setDown(false) leave it down); with allowAllUp a
    // click toggles. A button without group is never down.
    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int g);
    bool allowAllUp() const { return allowAllUp_; }
    void setAllowAllUp(bool a);
    bool down() const { return down_; }
    void setDown(bool d);

    // As a click by the user: the down state changes as above, then onClick
    // runs inside the guard.
    void click();

    ButtonRow* bar() const { return bar_; }
    int commandId() const { return id_; }

private:
    friend class ButtonRow;
    friend class ToolBar;
    friend class ButtonStrip;
    void sync();

    ButtonRow* bar_ = nullptr;
    int id_ = 0;
    std::string hint_;
    std::wstring wideHint_;
    std::string caption_;
    int bitmapId_ = 0;
    int bitmapIndex_ = 0;
    int stdIndex_ = -1;
    int image_ = -2;  // index in the bar's image list once added; -2 none yet
    int width_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
};

// The sizes in which picture strips may be drawn, from 100 % to 200 %.
inline constexpr int kPictureSizes[] = {16, 20, 24, 28, 32};

// What holds speed buttons: their command ids, their groups, and the
// promise to show each change of a button.
class ButtonRow : public Control {
public:
    ButtonRow() = default;
    ~ButtonRow() override;

    void add(SpeedButton& button);
    const std::vector<SpeedButton*>& buttons() const { return buttons_; }
    // The button a tip or a click with this command id belongs to.
    SpeedButton* buttonById(int id) const;

protected:
    friend class SpeedButton;
    virtual void added(SpeedButton&) {}
    virtual void update(SpeedButton& b) = 0;
    virtual void removing(SpeedButton&) {}
    void forget(SpeedButton& b);
    void groupDown(SpeedButton& down);
    int dpi() const;

    std::vector<SpeedButton*> buttons_;

private:
    int nextId_ = 100;
};

// A comctl32 tool bar at a fixed place, flat, with tool tips. The owning form
// passes its WM_COMMAND and WM_NOTIFY on automatically (the bar attaches to
// it as a Control).
class ToolBar : public ButtonRow {
public:
    ToolBar() = default;
    ~ToolBar() override;

    // Buttons may be added before or after (before costs less); the parent's
    // window must exist.
    void create(Form& parent);
    // For a bar that starts hidden: its window is made when it is first
    // shown, so that a note that never enters edit mode never pays for it.
    void createWhenShown(Form& parent);
    HWND handle() const { return hwnd_; }

    const LayoutRect& bounds() const { return bounds_; }
    void setBounds(const LayoutRect& place);
    int height() const { return bounds_.h; }
    // Default 21 x 21 (a 16 x 16 picture and its frame).
    void setButtonSize(int width, int height);
    // Buttons that do not fit the bar's width go on into another row.
    void setWrapable(bool wrapable);
    // The height the bar needs at this width when its buttons wrap: one row
    // is rowHeight high, and each further row adds a row of buttons. Sizes
    // the bar's window to the width on the way.
    int wrappedHeight(int width, int rowHeight);
    // The edge of the pictures in pixels at the bar's density.
    int pictureSize() const { return pictureSize_; }
    // Without a colour the bar has the system's button face.
    bool hasColor() const { return hasColor_; }
    COLORREF color() const { return color_; }
    void setColor(COLORREF color);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }

    bool forwardCommand(WPARAM wParam, LPARAM lParam) override;
    bool forwardNotify(const NMHDR& header, LRESULT& result) override;
    void dpiChanged() override;

private:
    void added(SpeedButton& b) override;
    void update(SpeedButton& b) override;
    void removing(SpeedButton& b) override;
    TBBUTTON describe(SpeedButton& b);
    void insert(SpeedButton& b);
    void insertAll();
    void applyWidth(SpeedButton& b);
    int imageFor(SpeedButton& b);
    int addStrip(int bitmapId);
    void rebuildImages();
    void applyButtonSize();
    void applyBounds();
    void makeTips();
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HWND hwnd_ = nullptr;
    LayoutRect bounds_{0, 0, 100, 29};
    int buttonWidth_ = 21, buttonHeight_ = 21;
    int pictureSize_ = 16;
    bool hasColor_ = false;
    COLORREF color_ = 0;
    BrushHandle brush_;
    bool visible_ = true;
    bool wrapable_ = false;
    bool tipsMade_ = false;  // at the mouse's first visit
    ImageListHandle images_;
    int stdBase_ = -1;          // first standard picture in images_, once loaded
    bool stdPictures_ = false;  // the system has them in 16 and 24 pixels only
    struct Strip {
        int bitmapId;
        int first;  // its first picture in images_, -1 when it did not load
        int count;
    };
    std::vector<Strip> strips_;
};

// Caption buttons without a window of their own, painted by their form like
// a Label, which they may sit on: the note's title line holds two. A tool bar
// window for them cost every note's start more than its clock did. The form
// relays the mouse; a form whose hit test answers HTCAPTION must answer
// HTCLIENT where contains() is true, or the buttons get no clicks.
class ButtonStrip : public ButtonRow {
public:
    ButtonStrip() = default;
    ~ButtonStrip() override;

    // Joins a form whose window exists.
    void create(Form& parent);

    const LayoutRect& bounds() const { return bounds_; }
    void setBounds(const LayoutRect& place);
    // The width of a button without one of its own, and the height of all.
    void setButtonSize(int width, int height);
    void setFont(const FontSpec& font);
    COLORREF color() const { return color_; }
    void setColor(COLORREF color);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }

    // true when the point (the form's client pixels) lies on a shown button.
    bool contains(POINT client) const;
    void paint(HDC dc) override;
    void relayMouse(const MSG& msg) override;
    void dpiChanged() override;

private:
    void update(SpeedButton& b) override;
    void removing(SpeedButton& b) override;
    RECT pixels() const;
    RECT buttonPixels(const SpeedButton& b) const;
    SpeedButton* buttonAt(POINT client) const;
    void invalidate();
    void setHot(SpeedButton* b);
    void refreshTips();

    LayoutRect bounds_{0, 0, 35, 13};
    int buttonWidth_ = 17, buttonHeight_ = 13;
    FontSpec font_;
    FontHandle hfont_;
    int fontDpi_ = 0;
    COLORREF color_ = 0;
    bool visible_ = true;
    SpeedButton* hot_ = nullptr;      // under the mouse
    SpeedButton* pressed_ = nullptr;  // the left button went down on it
    HWND tip_ = nullptr;              // at the mouse's first visit
};

}  // namespace tav
