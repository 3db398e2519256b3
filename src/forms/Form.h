#pragma once
// The window base of every form. A form is a class, its child controls are
// members, and each message ends in one short virtual handler. Every handler
// runs inside the guard below, so an exception becomes the program's error
// box and never unwinds into user32.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "desktop/ErrorBox.h"
#include "desktop/Handle.h"
#include "forms/Dpi.h"
#include "forms/Font.h"

namespace tav {

class Form;

// Everything on a form that needs the form's messages: a button or a tool bar
// wants its WM_COMMAND and WM_NOTIFY, a label has no window and is painted
// by the form, every control follows the form to another density. A control
// joins its form when it is created and leaves it when it dies.
class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual bool forwardCommand(WPARAM, LPARAM) { return false; }
    virtual bool forwardNotify(const NMHDR&, LRESULT&) { return false; }
    virtual void paint(HDC) {}
    // The form's mouse messages in client coordinates, for controls without
    // a window; also those over parts that answer HTCAPTION, and the mouse's
    // leaving and the capture's end.
    virtual void relayMouse(const MSG&) {}
    // The form has moved to a monitor of another density (Form::dpi()) and
    // has its new size: the control takes its fonts, pictures and place
    // anew. The form lays itself out right after.
    virtual void dpiChanged() {}

protected:
    void join(Form& form);
    // Stops hearing the form's messages; for a control that destroys its
    // window before it dies.
    void leave();
    // The control's own window on its form, at its place; what names the
    // control in the message when the system cannot make it.
    HWND makeWindow(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                    int id, const LayoutRect& place, const char* what) const;

    Form* parent_ = nullptr;
};

// A control with a child window of its own, at a place on its form.
class WindowControl : public Control {
public:
    HWND handle() const { return hwnd_; }
    // Given before the window is made, the control is made there.
    void setBounds(const LayoutRect& place);
    void dpiChanged() override;

protected:
    HWND hwnd_ = nullptr;
    LayoutRect place_{};
};

// What the close handler lets happen after an allowed close.
enum class CloseAction { None, Hide, Free };

// Sizes on screens of any density. A form is laid out in 96-dpi figures, and
// so is every size that passes through the kit: a form's width and height and
// client size, the bounds given to a control, font sizes, tool-bar buttons.
// The form shows them in the pixels of the monitor it is on (dpi()) and lays
// itself out anew when it moves to a monitor of another density: it takes
// the rectangle the system suggests, gives its controls their new fonts and
// pictures, keeps any other child window in proportion and runs onSize. Positions on the desktop
// (left, top, centring, the placement record) are the screen's own pixels, since monitors of
// different density share one desktop.
class Form {
public:
    // className: the window class, registered once per name ("TForm2" for a
    // note). "#32770", the system's dialog class, makes the window a dialog
    // box for other programs, as message and input boxes are.
    explicit Form(std::wstring className);
    // Detaches before destroying the window, so no handler of a half
    // destroyed object runs; a form that needs onDestroy at its end calls
    // destroy() in its own destructor.
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window with the bounds, caption and colour set so far.
    // Call from the most derived constructor or after construction, never
    // from a base constructor (createParams and onCreate are virtual).
    void create(HWND owner = nullptr);
    HWND handle() const { return hwnd_; }
    bool created() const { return hwnd_ != nullptr; }

    // The component name ("Notiz3"); the placement storage keys on it.
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }
    std::string caption() const;
    void setCaption(const std::string& caption);
    // Background colour painted at WM_ERASEBKGND.
    COLORREF color() const { return color_; }
    void setColor(COLORREF color);

    // The density of the monitor the window is on (before creation: of the
    // monitor it will appear on), and a 96-dpi figure in its pixels.
    int dpi() const;
    int scale(int figure) const;

    // Outer position in screen pixels (top-level windows only).
    int left() const;
    int top() const;
    void setLeft(int v);
    void setTop(int v);
    // Sizes in 96-dpi figures. Setting the size the form already has (as
    // the getter gives it) leaves the window exactly as it is, so a size
    // read and written back never drifts by a rounded pixel.
    int width() const;
    int height() const;
    void setWidth(int v);
    void setHeight(int v);
    int clientWidth() const;
    int clientHeight() const;
    // Keeps the frame: the outer size changes by the same amount. Set before
    // creation, the client size is what the form gets at every density.
    void setClientWidth(int v);
    void setClientHeight(int v);
    // left and top in screen pixels, width and height in 96-dpi figures.
    void setBounds(int left, int top, int width, int height);
    // In the middle of the primary screen.
    void centerOnScreen();
    // A placement record (screen pixels) as it stands: the density change it
    // may cause lays the form out anew, but keeps the record's rectangle.
    void applyPlacement(const WINDOWPLACEMENT& placement);

    void show();          // shown and activated
    void showInactive();  // shown; the active window stays active
    void hide();
    bool visible() const;
    void setVisible(bool v);

    HWND owner() const;
    void setOwner(HWND owner);  // GWLP_HWNDPARENT: the owner of a top-level window

    // Asks for a close as the user's close button does: closeQuery, then
    // onClose decides between hiding (default), destroying or nothing.
    void close();
    void destroy();
    // Destroys the window after the running handler has returned (a handler
    // must not destroy the window it runs in); then onReleased runs.
    void postRelease();

protected:
    // Window styles before creation; the default is a normal sizeable
    // top-level window that clips its children.
    virtual void createParams(DWORD& style, DWORD& exStyle);

    // First look at every message; true means handled with result.
    virtual bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    virtual void onCreate() {}
    // id, notification code, control window (nullptr for menus/accelerators).
    virtual bool onCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
    virtual void onTimer(UINT_PTR /*id*/) {}
    // False refuses the close (and, from the session end, the log-off).
    virtual bool closeQuery() { return true; }
    virtual void onClose(CloseAction& /*action*/) {}
    virtual void onDestroy() {}
    // The window has been destroyed by postRelease; the form may delete
    // itself here (nothing touches the object afterwards).
    virtual void onReleased() {}
    virtual void onShow(bool /*shown*/) {}
    // The new client size in 96-dpi figures.
    virtual void onSize(int /*clientWidth*/, int /*clientHeight*/) {}
    // After the background and the labels are painted.
    virtual void onPaint(HDC, const RECT& /*dirty*/) {}
    // defaultResult is DefWindowProc's answer; the return value is sent back.
    virtual LRESULT onNcHitTest(POINT /*screen*/, LRESULT defaultResult) { return defaultResult; }
    virtual void onGetMinMaxInfo(MINMAXINFO&) {}
    virtual bool onNotify(const NMHDR&, LRESULT& /*result*/) { return false; }
    // screen is (-1,-1) when the menu key was pressed. True: handled.
    virtual bool onContextMenu(HWND /*window*/, POINT /*screen*/) { return false; }
    // Wine sends no WM_CONTEXTMENU for a right click on an HTCAPTION part.
    virtual bool onNcRButtonUp(int /*hitTest*/, POINT /*screen*/) { return false; }
    // True swallows the command; false lets DefWindowProc carry it out.
    virtual bool onSysCommand(WPARAM /*command*/, LPARAM) { return false; }
    virtual bool onQueryEndSession() { return closeQuery(); }
    virtual void onEndSession(bool /*ending*/) {}

    LRESULT defaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

public:
    // Controls register here to receive the form's messages (see Control).
    void attach(Control* c);
    void detach(Control* c);

    // "MS Shell Dlg", 8 points, at the form's density.
    HFONT dialogFont();

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void registerClass();
    void paint();
    void paintTo(HDC dc, const RECT& area);
    void relayMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    SIZE frameSize(int dpi) const;
    int creationDpi() const;
    SIZE designPixels(int dpi) const;
    void resizePixels(int width, int height);
    void changeDpi(int dpi, const RECT* suggested);
    void adopt(HWND hwnd);

    std::wstring className_;
    std::string name_;
    std::string caption_;
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    COLORREF color_;
    BrushHandle brush_;
    // The bounds until the window exists; then the window holds them.
    int left_ = CW_USEDEFAULT, top_ = CW_USEDEFAULT, width_ = 300, height_ = 200;
    bool clientWidthSet_ = false, clientHeightSet_ = false;
    int dpi_ = 0;
    bool keepBoundsOnDpiChange_ = false;
    bool layoutHeld_ = false;
    // What the window does by default: DefWindowProcW for the kit's own
    // classes, the system's procedure for a window of a system class.
    WNDPROC baseProc_ = DefWindowProcW;
    std::vector<Control*> controls_;
    FontHandle dialogFont_;
};

}  // namespace tav
