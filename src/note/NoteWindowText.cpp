// Text and format commands of the note window.

#include <windows.h>
// These need the types of windows.h.
#include <shellapi.h>
#include <winspool.h>

#include <algorithm>
#include <stdexcept>

#include "desktop/Utf.h"
#include "forms/Dialogs.h"
#include "note/NoteHost.h"
#include "note/NoteTextCommands.h"
#include "note/NoteWindow.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"
#include "store/TextSearch.h"

namespace tav {

namespace {

constexpr int kBulletIndentPoints = 10;
constexpr char kTooManyNotes[] =
    "Es sind bereits 50 Notizen vorhanden. Bitte löschen Sie zuerst eine Notiz.";
constexpr char kProductCaption[] = "Tavelin 2000";

TextCommandHooks& hooks() {
    static TextCommandHooks instance;
    return instance;
}

std::optional<std::string> runFileDialog(HWND owner, const FileDialogRequest& request) {
    std::wstring filter;
    for (const auto& [label, pattern] : request.filters) {
        filter += widen(label);
        filter.push_back(L'\0');
        filter += widen(pattern);
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    const std::wstring title = widen(request.title);
    const std::wstring defaultExt = widen(request.defaultExt);
    std::wstring file(32768, L'\0');

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    // The program finds its files by full paths; the current directory is
    // still left alone, so nothing else is surprised by a dialog.
    dialog.Flags =
        OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    // An export never replaces a file without asking.
    dialog.Flags |= request.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL chosen = request.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) {
        if (CommDlgExtendedError() != 0)
            throw std::runtime_error("Der Dateidialog kann nicht angezeigt werden.");
        return std::nullopt;
    }
    return narrow(file.c_str());
}

std::optional<std::string> chooseFile(HWND owner, const FileDialogRequest& request) {
    if (hooks().chooseFile) return hooks().chooseFile(owner, request);
    return runFileDialog(owner, request);
}

bool chooseFont(CHOOSEFONTW& dialog) {
    if (hooks().chooseFont) return hooks().chooseFont(dialog);
    return ChooseFontW(&dialog) != FALSE;
}

bool chooseColor(CHOOSECOLORW& dialog) {
    if (hooks().chooseColor) return hooks().chooseColor(dialog);
    return ChooseColorW(&dialog) != FALSE;
}

int ask(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (hooks().messageBox) return hooks().messageBox(owner, text, caption, flags);
    return messageBox(owner, text, caption, flags);
}

// The default printer's device context, for the font dialog to offer only
// what prints as it looks. None without a printer.
class PrinterDc {
public:
    PrinterDc() {
        DWORD size = 0;
        GetDefaultPrinterW(nullptr, &size);
        if (size == 0) return;
        std::wstring name(size, L'\0');
        if (!GetDefaultPrinterW(name.data(), &size)) return;
        dc_ = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr);
    }
    ~PrinterDc() {
        if (dc_) DeleteDC(dc_);
    }
    PrinterDc(const PrinterDc&) = delete;
    PrinterDc& operator=(const PrinterDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_ = nullptr;
};

// A face the system does not have (Arial on a machine without it) would
// open the font dialog on the first font of its list, and OK would put that
// on the text. The dialog gets the face the text is really drawn with.
// A named callback: on 32-bit Windows a lambda does not convert to the
// stdcall pointer the system wants.
int CALLBACK markFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

std::wstring installedFace(const std::wstring& face) {
    const HDC screen = GetDC(nullptr);
    LOGFONTW query = {};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
    bool installed = false;
    EnumFontFamiliesExW(screen, &query, markFound, reinterpret_cast<LPARAM>(&installed), 0);
    std::wstring result = face;
    if (!installed && !face.empty()) {
        if (const HFONT font = CreateFontIndirectW(&query)) {
            const HGDIOBJ old = SelectObject(screen, font);
            wchar_t drawn[LF_FACESIZE] = {};
            if (GetTextFaceW(screen, LF_FACESIZE, drawn) > 0) result = drawn;
            SelectObject(screen, old);
            DeleteObject(font);
        }
    }
    ReleaseDC(nullptr, screen);
    return result;
}

int screenDpiY() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

void setTextCommandHooks(TextCommandHooks replacement) { hooks() = std::move(replacement); }

// The colour dialog's state lives as long as the note: its custom colours
// and the colour last chosen in it.
struct NoteWindow::TextDialogs {
    COLORREF customColors[16];
    COLORREF lastColor = RGB(0, 0, 0);
    TextDialogs() {
        std::fill(std::begin(customColors), std::end(customColors), RGB(255, 255, 255));
    }
};

void NoteWindow::TextDialogsDeleter::operator()(TextDialogs* p) const { delete p; }

void NoteWindow::initTextCommands() { textDialogs_.reset(new TextDialogs); }

// ---- Character format

void NoteWindow::editFont() {
    // Whatever goes wrong here (a font the system refuses, a printer that
    // vanished), the selection simply keeps its format.
    try {
        const CharAttributes current = memo1.selAttributes();
        LOGFONTW font = {};
        lstrcpynW(font.lfFaceName, installedFace(widen(current.name)).c_str(), LF_FACESIZE);
        font.lfHeight = -MulDiv(current.sizePoints, screenDpiY(), 72);
        font.lfWeight = current.style.bold ? FW_BOLD : FW_NORMAL;
        font.lfItalic = current.style.italic;
        font.lfUnderline = current.style.underline;
        font.lfStrikeOut = current.style.strikeOut;
        font.lfCharSet = DEFAULT_CHARSET;

        CHOOSEFONTW dialog = {};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = handle();
        dialog.lpLogFont = &font;
        dialog.rgbColors = current.color;
        dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
        // Printer fonts, and only fonts that print as shown, need a printer;
        // without one the dialog offers the screen's fonts.
        const PrinterDc printer;
        if (printer.get()) {
            dialog.hDC = printer.get();
            dialog.Flags |= CF_PRINTERFONTS | CF_WYSIWYG;
        }
        if (!chooseFont(dialog)) return;

        CharAttributes chosen;
        chosen.name = narrow(font.lfFaceName);
        chosen.sizePoints = std::max(1, (dialog.iPointSize + 5) / 10);
        chosen.color = dialog.rgbColors;
        chosen.style.bold = font.lfWeight >= FW_SEMIBOLD;
        chosen.style.italic = font.lfItalic != 0;
        chosen.style.underline = font.lfUnderline != 0;
        chosen.style.strikeOut = font.lfStrikeOut != 0;
        memo1.setSelAttributes(chosen);
        RxClock1.setFontColor(chosen.color);
    } catch (...) {
    }
    memo1.setFocus();
}

void NoteWindow::editHighlight() {
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = handle();
    dialog.rgbResult = textDialogs_->lastColor;
    dialog.lpCustColors = textDialogs_->customColors;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR;
    if (chooseColor(dialog)) {
        textDialogs_->lastColor = dialog.rgbResult;
        memo1.setSelBackColor(dialog.rgbResult);
    }
    memo1.setFocus();
}

// The note's colour is the text's background; the window and its clock take
// it over whatever the user answers, so they never drift apart.
void NoteWindow::editNoteColour() {
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = handle();
    dialog.rgbResult = memo1.color();
    dialog.lpCustColors = textDialogs_->customColors;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR;
    if (chooseColor(dialog)) {
        textDialogs_->lastColor = dialog.rgbResult;
        memo1.setColor(dialog.rgbResult);
    }
    takeColorFromText();
}

// ---- Paragraph format

void NoteWindow::toggleBullets() {
    if (bulletButton.down()) {
        memo1.setNumbering(Numbering::Bullet);
        memo1.setLeftIndent(kBulletIndentPoints);
        memo1.setFirstIndent(kBulletIndentPoints);
    } else {
        memo1.setNumbering(Numbering::None);
        memo1.setFirstIndent(0);
    }
}

// A paragraph without bullets loses the indents a bullet left behind.
void NoteWindow::showParagraphFormat() {
    const ParaAttributes paragraph = memo1.paragraph();
    if (paragraph.numbering == Numbering::Bullet) {
        bulletButton.setDown(true);
    } else {
        bulletButton.setDown(false);
        // Only when there is something to reset: every change would count
        // as an edit and as a step of the undo history.
        if (paragraph.leftIndentPoints != 0) memo1.setLeftIndent(0);
        if (paragraph.firstIndentPoints != 0) memo1.setFirstIndent(0);
    }
    switch (paragraph.alignment) {
        case ParaAlignment::Left:
            alignLeftButton.setDown(true);
            break;
        case ParaAlignment::Center:
            alignCenterButton.setDown(true);
            break;
        case ParaAlignment::Right:
            alignRightButton.setDown(true);
            break;
    }
}

// ---- Word wrap

void NoteWindow::toggleWordWrap() {
    const bool on = !wordWrapItem.checked;
    IniFile ini(iniPath_);
    setWordWrap(on);
    NoteRecord::setWordWrap(ini, name(), on);
    ini.close();
}

// ---- Export and import

void NoteWindow::exportNote() {
    FileDialogRequest request;
    request.save = true;
    request.title = "Notiz exportieren";
    request.defaultExt = "rtf";
    request.filters = {{"RTF-Dateien", "*.rtf"}, {"alle Dateien", "*.*"}};
    const std::optional<std::string> path = chooseFile(handle(), request);
    if (!path) return;
    // The adapter writes through a temporary file: a failed export leaves
    // whatever was there before.
    try {
        memo1.saveToFile(*path);
    } catch (const std::exception& e) {
        throw std::runtime_error("Die Notiz konnte nicht in die Datei " + *path +
                                 " exportiert werden.\r\n" + e.what());
    }
}

void NoteWindow::importNote() {
    // Asked before the dialog too, so that nobody picks a file in vain.
    if (host_.slotTable().firstFreeRunLength() >= kMaxNotes) {
        ask(handle(), kTooManyNotes, kProductCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    FileDialogRequest request;
    request.title = "Notiz importieren";
    request.filters = {{"*.rtf", "*.rtf"}, {"*.*", "*.*"}};
    const std::optional<std::string> source = chooseFile(handle(), request);
    if (!source) return;

    // A note above 50 would never come back at the next start, and the
    // number of an active record is that note's, restored or not yet.
    const int number = [&] {
        const IniFile records(iniPath_);
        return host_.slotTable().lowestFree(activeRecords(records));
    }();
    if (number == 0) {
        ask(handle(), kTooManyNotes, kProductCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string noteNameText = noteName(number);
    const std::string target = noteTextPath(noteNameText);
    try {
        const std::optional<std::string> bytes = readWholeFile(*source);
        if (!bytes) throw FileError("Die Datei ist nicht vorhanden.");
        writeFileAtomically(target, *bytes);
    } catch (const std::exception& e) {
        throw std::runtime_error("Die Datei " + *source + " konnte nicht importiert werden.\r\n" +
                                 e.what());
    }

    host_.setCurrentNoteName(noteNameText);
    NoteWindow* created = nullptr;
    try {
        created = &host_.createNoteWindow();
    } catch (...) {
        // No window, no note: a later note of this number must not find
        // the imported text as its own.
        deleteFile(target);
        throw;
    }
    NoteWindow& note = *created;
    host_.slotTable().markUsed(number);
    note.show();
    const int counter = host_.raiseNoteCounter();

    IniFile ini(iniPath_);
    note.recordNewNote(ini, counter);
    // Its own start-up tick loads the copied text.
    note.enterViewMode();
    ini.close();
}

void NoteWindow::selectText(std::size_t offset, std::size_t length) {
    if (rolledUp()) toggleRollUp();
    // The control counts UTF-16 units; the text is UTF-8.
    const std::string text = memo1.text();
    offset = std::min(offset, text.size());
    length = std::min(length, text.size() - offset);
    const auto start = static_cast<WPARAM>(widen(text.substr(0, offset)).size());
    const auto end = static_cast<LPARAM>(start + widen(text.substr(offset, length)).size());
    SendMessageW(memo1.handle(), EM_SETSEL, start, end);
    SendMessageW(memo1.handle(), EM_SCROLLCARET, 0, 0);
    memo1.setFocus();
}

void NoteWindow::findNext() {
    const std::string query = host_.searchQuery();
    const std::string text = memo1.text();
    DWORD start = 0, end = 0;
    SendMessageW(memo1.handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::wstring wide = widen(text);
    const std::size_t from = narrow(wide.substr(0, std::min<std::size_t>(end, wide.size()))).size();
    if (auto next = findAnyWord(std::string_view(text).substr(from), query)) {
        selectText(from + next->offset, next->length);
    } else if (auto first = findAnyWord(text, query)) {
        selectText(first->offset, first->length);
    }
}

}  // namespace tav
