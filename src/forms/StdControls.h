#pragma once
// The system's standard controls on a form: buttons, check boxes, fields,
// lists, pickers and links. Each is a child window at a place given in
// 96-dpi figures, in the form's dialog font unless it has a font of its own,
// and follows the form to another density. The form destroys the windows
// with its own; the objects only forget them.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "desktop/Handle.h"
#include "forms/Font.h"
#include "forms/Form.h"

namespace tav {

class StdControl : public WindowControl {
public:
    int id() const { return id_; }
    std::string text() const;
    void setText(const std::string& text);
    void setFocus();
    // A font of its own instead of the form's dialog font.
    void setFont(const FontSpec& font);
    void dpiChanged() override;

protected:
    void createChild(Form& parent, const wchar_t* className, const std::string& text, DWORD style,
                     DWORD exStyle, int id, const LayoutRect& place);
    void applyFont();

    int id_ = 0;

private:
    std::optional<FontSpec> font_;
    FontHandle hfont_;  // from font_, at the form's density
};

class Button : public StdControl {
public:
    // IDOK or IDCANCEL make Enter or Escape press it.
    void create(Form& parent, const std::string& caption, int id, const LayoutRect& place,
                bool isDefault = false);
    std::function<void()> onClick;
    void click();  // as the user's click
    bool forwardCommand(WPARAM wParam, LPARAM lParam) override;
};

class CheckBox : public StdControl {
public:
    void create(Form& parent, const std::string& caption, int id, const LayoutRect& place);
    bool checked() const;
    void setChecked(bool on);
};

class GroupBox : public StdControl {
public:
    void create(Form& parent, const std::string& caption, const LayoutRect& place);
};

// An etched frame round a group of fields.
class Bevel : public StdControl {
public:
    void create(Form& parent, int id, const LayoutRect& place);
};

// "\r\n" breaks the text's lines.
class StaticText : public StdControl {
public:
    void create(Form& parent, const std::string& text, const LayoutRect& place,
                bool alignRight = false, int id = -1);
};

class Edit : public StdControl {
public:
    void create(Form& parent, int id, const LayoutRect& place);
    void setMaxLength(int characters);
    void selectAll();
};

// A whole number between two bounds, typed or stepped with the arrows.
class SpinEdit : public StdControl {
public:
    void create(Form& parent, int id, const LayoutRect& place, int minValue, int maxValue);
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

// A drop-down list to choose from; the height of its place holds the closed
// box and its open list.
class ComboBox : public StdControl {
public:
    void create(Form& parent, int id, const LayoutRect& place, bool sorted = false);
    void add(const std::string& item);
    int count() const;
    std::string item(int index) const;
    int itemIndex() const;  // -1 when nothing is chosen
    void setItemIndex(int index);
    // How many lines the open list shows before it scrolls.
    void setVisibleItems(int lines);
};

// The installed fonts, without the vertical "@" faces. The list is filled
// when a name is first set, so that a form made at start-up does not spend
// the start looking through the fonts.
class FontComboBox : public ComboBox {
public:
    void create(Form& parent, int id, const LayoutRect& place);
    std::string fontName() const;
    // A face that is not installed is added, so that the stored name is shown
    // and kept rather than silently replaced by the first of the list.
    void setFontName(const std::string& name);

private:
    void fill();
    bool filled_ = false;
};

class ListBox : public StdControl {
public:
    void create(Form& parent, int id, const LayoutRect& place);
    // Lines whose tabs go to these stops (in the list's dialog units).
    void setTabStops(std::initializer_list<int> stops);
    void clear();
    void add(const std::string& line);
    int count() const;
    std::string item(int index) const;
    int itemIndex() const;  // -1 when no line is selected
    void setItemIndex(int index);
};

// A date (DTS_SHORTDATEFORMAT) or time of day (DTS_TIMEFORMAT) picker.
class DateTimePicker : public StdControl {
public:
    void create(Form& parent, int id, const LayoutRect& place, DWORD style);
    SYSTEMTIME value() const;
    void setValue(const SYSTEMTIME& value);
};

// A link in the text, the system's SysLink.
class Link : public StdControl {
public:
    void create(Form& parent, const std::string& text, const std::string& url, int id,
                const LayoutRect& place);
    std::function<void()> onClick;
    bool forwardNotify(const NMHDR& header, LRESULT& result) override;
};

}  // namespace tav
