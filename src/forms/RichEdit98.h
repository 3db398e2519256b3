#pragma once
// The note text control: the system RichEdit (Msftedit's RICHEDIT50W, else
// Riched20's RichEdit20W) with what the note, reminder and overdue windows
// need of it. Text crosses this interface as UTF-8.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/Form.h"

struct IRichEditOleCallback;

namespace tav {

enum class ScrollBars { None, Both };

// Values as the note stores and compares them: left 0, right 1, centre 2.
enum class ParaAlignment : int { Left = 0, Right = 1, Center = 2 };
enum class Numbering : int { None = 0, Bullet = 1 };

struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const FontStyle&) const = default;
};

struct CharAttributes {
    std::string name;  // UTF-8 face name
    int sizePoints = 10;
    COLORREF color = RGB(0, 0, 0);
    FontStyle style;
};

struct ParaAttributes {
    ParaAlignment alignment = ParaAlignment::Left;
    Numbering numbering = Numbering::None;
    int firstIndentPoints = 0;
    int leftIndentPoints = 0;
};

// The control itself is RichEdit98.cpp; loading and saving its files is
// RichEdit98Stream.cpp, embedded objects RichEdit98Objects.cpp and printing
// RichEdit98Print.cpp.
class RichEdit98 : public WindowControl {
public:
    RichEdit98() = default;
    ~RichEdit98() override;

    // A child without border, laid out by its form with setBounds (given
    // before create(), the control is made there). Throws
    // std::runtime_error when no RichEdit library can be loaded.
    void create(Form& parent, int id);
    void setVisible(bool visible);
    void setFocus();

    // Files hold the control's own RTF stream, objects included. Both throw
    // (tav::FileError or std::runtime_error). A load that cannot read the
    // file leaves the text as it was; a save goes through a temporary file,
    // and a stream that did not come out whole is never written, so a note
    // file is always either the old one or complete.
    void loadFromFile(const std::string& path);
    void saveToFile(const std::string& path);
    // A file's content: RTF when it begins as RTF does, else plain text
    // (UTF-16 or UTF-8 with their marks, UTF-8, or the system's code page).
    // Afterwards the content counts as not modified.
    void load(const std::string& content);
    // The objects the last load left out, by name: a file from someone else
    // brings only static pictures and embedded objects of the classes the
    // insert-object dialog offers, no link and no package.
    const std::vector<std::string>& refusedObjects() const { return refusedObjects_; }
    // Whether the user has changed the content since it was loaded.
    bool modified() const;
    std::string rtf();                        // whole content as RTF
    void setRtf(const std::string& rtfText);  // replaces the whole content
    void clear();

    std::string text() const;          // plain text; paragraphs end in "\r"
    // The same as the control holds it, into a buffer the caller keeps for
    // the next text: fresh memory for each would cost more than the copy.
    void utf16Text(std::u16string& into) const;
    // Characters [start, end) as UTF-8; the control counts UTF-16 units.
    std::string readRange(long start, long end) const;
    // Changes whenever the text may have changed, by the user or by a load;
    // no two controls of the process ever share a value, so a text kept
    // together with it can tell whether it is still the control's.
    unsigned long long textVersion() const { return textVersion_; }
    bool readOnly() const;
    void setReadOnly(bool readOnly);
    COLORREF color() const { return color_; }
    void setColor(COLORREF color);  // background
    // None wraps lines at the control's width; Both scrolls and never wraps.
    // A change re-creates the control with its content, so hwnd() changes.
    ScrollBars scrollBars() const { return scrollBars_; }
    void setScrollBars(ScrollBars bars);
    void setAutoUrlDetect(bool on);
    // The font of a control with no text and of text typed first.
    void setDefaultFont(const std::string& name, int sizePoints);

    std::string selText() const;
    void replaceSel(const std::string& text);  // undoable
    void selectAll();
    void setSel(long start, long end);  // character positions, -1 = end
    long selStart() const;
    long selLength() const;
    // The clipboard sees plain text only, never formats or objects; copy
    // and cut do nothing at an empty selection, paste of no text deletes
    // the selection.
    void copyToClipboard();
    void cutToClipboard();
    void pasteFromClipboard();
    void undo();
    bool canUndo() const;

    // Character format of the selection (at an empty selection: of the text
    // typed next). The setters change only the named attribute.
    CharAttributes selAttributes() const;
    void setSelAttributes(const CharAttributes& attributes);
    void setSelFontName(const std::string& name);
    void setSelSize(int sizePoints);
    void setSelColor(COLORREF color);
    void setSelStyle(const FontStyle& style);
    COLORREF selBackColor() const;
    void setSelBackColor(COLORREF color);

    // Paragraph format of the paragraphs in the selection.
    ParaAttributes paragraph() const;
    void setAlignment(ParaAlignment alignment);
    void setNumbering(Numbering numbering);
    void setFirstIndent(int points);
    void setLeftIndent(int points);

    // The system's insert-object dialog; the chosen object is embedded at the
    // selection. False when the user cancelled or nothing was inserted.
    bool insertObject(HWND owner);
    // Print dialog, then the whole text under docTitle. False when cancelled
    // or when there is no printer (the dialog has said so already).
    bool print(HWND owner, const std::string& docTitle);

    bool forwardNotify(const NMHDR& header, LRESULT& result) override;
    bool forwardCommand(WPARAM wParam, LPARAM lParam) override;

    std::function<void()> onSelectionChange;
    // The link's text as the control holds it (hidden text and, for a field,
    // its instruction included) and what the reader sees of it.
    std::function<void(const std::string& link, const std::string& shown)> onLinkClick;
    // Screen coordinates; from the keyboard (Shift+F10) the caret's place.
    std::function<void(POINT screen)> onContextMenu;
    // Sees every key before the control; true swallows it (and its WM_CHAR),
    // so the note's menu shortcuts win over the control's own keys.
    std::function<bool(UINT vk)> onKeyDown;

private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void createWindow(int id);
    void enableObjects();
    void judgeObjectsWhileReading(bool on);
    long textLength() const;
    std::string visibleRange(long start, long end) const;
    void applyAutoUrlDetect();
    void setPlainText(const std::string& bytes);
    void textChanged();

    WNDPROC oldProc_ = nullptr;
    IRichEditOleCallback* callback_ = nullptr;
    bool oleInitialized_ = false;
    bool swallowChar_ = false;
    bool* alive_ = nullptr;  // set while onKeyDown runs, cleared by the destructor
    bool readOnly_ = false;
    COLORREF color_ = RGB(255, 255, 255);
    ScrollBars scrollBars_ = ScrollBars::Both;
    bool autoUrlDetect_ = true;
    std::vector<std::string> refusedObjects_;
    unsigned long long textVersion_ = 0;
};

// A print job as the page loop sees it; behind it in the program the
// printer's device context and the control's page formatting.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual bool startDoc() = 0;
    virtual void startPage() = 0;
    // Prints the page that begins at character first; returns the first
    // character of the next page.
    virtual long printPage(long first) = 0;
    virtual void endPage() = 0;
    virtual void endDoc() = 0;
};

// Prints page after page until all length characters are out, and ends the
// document. Throws, printing nothing, when the document cannot be started.
void printPages(PrintJob& job, long length);

}  // namespace tav
