#pragma once
// Forms made of the system's standard controls: check boxes, edits, lists
// and buttons. They are created once, shown and hidden, never modal, so the
// notes stay usable while one is open. Tab, Enter, Escape and the underlined
// letters work as in a dialog box through the main loop's dialog keys
// (DialogKeys.h).

#include <windows.h>

#include <functional>
#include <string>

#include "forms/Form.h"
#include "desktop/Handle.h"

namespace tav {

// A control's place in its form's client area, in pixels at 96 dots per inch;
// the form shows it at its screen's density (see Form).
struct LayoutRect {
    int x, y, w, h;
};

class DialogForm : public Form {
public:
    DialogForm(std::wstring className, const std::string& caption, int clientWidth,
               int clientHeight);
    ~DialogForm() override;

protected:
    // Creates the window hidden and centred on the screen; owner keeps it
    // off the taskbar. Call from the most derived constructor, then create
    // the controls in their Tab order.
    void createDialog(HWND owner);

    void createParams(DWORD& style, DWORD& exStyle) override;
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Escape closes without doing anything else.
    bool onCommand(int id, int code, HWND control) override;
    // Every show starts on the first control, as a freshly opened dialog does.
    void onShow(bool shown) override;

private:
    void focusControl(HWND control);

    HWND focus_ = nullptr;  // the control that had the focus when the form lost it
};

// A child window of one of the system's control classes on a dialog form.
// The form destroys the window with its own; the object only forgets it.
class StdControl : public Control {
public:
    StdControl() = default;
    ~StdControl() override;
    StdControl(const StdControl&) = delete;
    StdControl& operator=(const StdControl&) = delete;

    HWND handle() const { return hwnd_; }
    int id() const { return id_; }
    std::string text() const;
    void setText(const std::string& text);
    void setFocus();
    void dpiChanged() override;

protected:
    void createChild(DialogForm& parent, const wchar_t* className, const std::string& text,
                     DWORD style, DWORD exStyle, int id, const LayoutRect& r);

    DialogForm* parent_ = nullptr;
    HWND hwnd_ = nullptr;
    int id_ = 0;
    LayoutRect place_{};
};

class Button : public StdControl {
public:
    // IDOK or IDCANCEL make Enter or Escape press it.
    void create(DialogForm& parent, const std::string& caption, int id, const LayoutRect& r,
                bool isDefault = false);
    std::function<void()> onClick;
    void click();  // as the user's click
    bool forwardCommand(WPARAM wParam, LPARAM lParam) override;
};

class CheckBox : public StdControl {
public:
    void create(DialogForm& parent, const std::string& caption, int id, const LayoutRect& r);
    bool checked() const;
    void setChecked(bool on);
};

class GroupBox : public StdControl {
public:
    void create(DialogForm& parent, const std::string& caption, const LayoutRect& r);
};

// "\r\n" breaks the text's lines.
class StaticText : public StdControl {
public:
    void create(DialogForm& parent, const std::string& text, const LayoutRect& r,
                bool alignRight = false);
};

class Edit : public StdControl {
public:
    void create(DialogForm& parent, int id, const LayoutRect& r);
    void setMaxLength(int characters);
    void selectAll();
};

// A whole number between two bounds, typed or stepped with the arrows.
class SpinEdit : public StdControl {
public:
    void create(DialogForm& parent, int id, const LayoutRect& r, int minValue, int maxValue);
    // A text that is no whole number gives the minimum; a number outside the
    // bounds the nearer bound.
    int value() const;
    void setValue(int v);
    HWND upDown() const { return upDown_; }
    // Leaving the field shows the value that will be used.
    bool forwardCommand(WPARAM wParam, LPARAM lParam) override;
    void dpiChanged() override;

private:
    void placeArrows();

    HWND upDown_ = nullptr;
    int min_ = 0, max_ = 0;
};

// The installed fonts, without the vertical "@" faces. The list is filled
// when a name is first set, so that a form made at start-up does not spend
// the start looking through the fonts.
class FontComboBox : public StdControl {
public:
    void create(DialogForm& parent, int id, const LayoutRect& r, int dropDownHeight);
    std::string fontName() const;
    // A face that is not installed is added, so that the stored name is shown
    // and kept rather than silently replaced by the first of the list.
    void setFontName(const std::string& name);
    int count() const;
    std::string item(int index) const;

private:
    void fill();
    bool filled_ = false;
};

class ListBox : public StdControl {
public:
    void create(DialogForm& parent, int id, const LayoutRect& r);
    void add(const std::string& line);
    int count() const;
    std::string item(int index) const;
    int itemIndex() const;  // -1 when no line is selected
    void setItemIndex(int index);
};

}  // namespace tav
