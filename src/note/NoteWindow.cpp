// The note window: creation, start-up ticks, view and edit mode, saving,
// deleting, closing and the switches that change its appearance.

#include "note/NoteWindow.h"

#include <exception>

#include "alarm/AlarmReminder.h"
#include "alarm/OverdueAlarm.h"
#include "forms/Dialogs.h"
#include "note/NoteHost.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

// The window class of a note, kept as it always was for the tools and
// scripts that find notes by it.
constexpr wchar_t kNoteWindowClass[] = L"TForm2";

constexpr int kDefaultWidth = 270;
constexpr int kDefaultHeight = 240;
// The size a deleted note leaves in its section for the next note of its number.
constexpr int kDeletedWidth = 284;
constexpr int kDeletedHeight = 270;
constexpr int kRolledUpHeight = 19;

// Lets the messages that are waiting run, as a deletion does before it
// writes the section.
void processMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

NoteWindow::NoteWindow(NoteHost& host)
    : Form(kNoteWindowClass), host_(host), placement_(makePlacement(*this)) {
    setColor(kYellow);
    setCaption("Tavelin2000 Notiz");
    // Made at the size its creation gives it anyway: the controls are laid
    // out once, not again for the height and then the width.
    setWidth(kDefaultWidth);
    setHeight(kDefaultHeight);
    create(host.ownerWindow());
    buildControls();
    iniPath_ = settingsPath();
    alarmSound.loadFromFile(alarmWavPath());
    setName(host_.currentNoteName());
    IniFile ini(iniPath_);
    NoteRecord::startFresh(ini, name());
    NoteRecord::setActive(ini, name(), true);
    ini.close();
    setHeight(kDefaultHeight);
    setWidth(kDefaultWidth);

    taskbarKeeper.onTimer = [this] { keepOffTaskbar(); };
    PostMessageW(handle(), kStartupTickMessage, 1, 0);
    PostMessageW(handle(), kStartupTickMessage, 2, 0);
}

// Destroyed here, while every member still lives, so that the placement is
// saved when the program ends and deletes its notes.
NoteWindow::~NoteWindow() { destroy(); }

void NoteWindow::createParams(DWORD& style, DWORD& exStyle) {
    // A pop-up without the dialog frame: a sizing border, but no caption bar
    // of the system's. No system menu either: the system would show it at a
    // right click on the title line instead of the note's own menu, and a
    // double click there would maximise the note.
    style = WS_POPUP | WS_BORDER | WS_THICKFRAME | WS_CLIPCHILDREN;
    exStyle = 0;
}

// ---- Messages

bool NoteWindow::handleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (msg) {
        case kStartupTickMessage:
            --startupTicks_;
            if (wParam == 1) takeColorFromText();  // as the record gave it on show
            if (wParam == 2) finishStartup();
            result = 0;
            return true;
        case kApplyWindowStateMessage:
            ShowWindow(handle(), static_cast<int>(wParam));
            result = 0;
            return true;
        case WM_ENTERSIZEMOVE:
            sizing_ = true;
            return false;
        case WM_EXITSIZEMOVE:
            sizing_ = false;
            savePlacementSoon();
            return false;
        case WM_NCRBUTTONDOWN:
            // Wine's default would wait for the button itself and turn it into
            // the system menu; left alone, the release comes as
            // WM_NCRBUTTONUP and opens the note's menu.
            if (wParam != HTCAPTION) return false;
            result = 0;
            return true;
        case WM_WINDOWPOSCHANGING:
            // The size limits are for the user's dragging. The system would
            // apply them to every resize, and rolling up to the title line
            // is lower than the smallest size that dragging allows.
            if (sizing_) return false;
            result = 0;
            return true;
        default:
            return false;
    }
}

LRESULT NoteWindow::onNcHitTest(POINT screen, LRESULT defaultResult) {
    // The note is dragged by its surface, the title line above all; only
    // the buttons drawn on that line take their clicks.
    if (defaultResult != HTCLIENT) return defaultResult;
    POINT client = screen;
    ScreenToClient(handle(), &client);
    return titleButtons.contains(client) ? HTCLIENT : HTCAPTION;
}

// The limits are sizes of the design, at the note's density.
void NoteWindow::onGetMinMaxInfo(MINMAXINFO& info) {
    info.ptMinTrackSize = {scale(kMinNoteWidth), scale(kMinNoteHeight)};
    info.ptMaxTrackSize = {scale(kMaxNoteWidth), scale(kMaxNoteHeight)};
}

// An error of the record's own is reported and the window's own handling
// still goes on.
void NoteWindow::onShow(bool shown) {
    if (!shown) return;
    try {
        restoreRecord();
    } catch (...) {
        reportCurrentException(handle());
    }
}

// Word wrap first, under the spelling a close has always written it in.
bool NoteWindow::closeQuery() {
    IniFile ini(iniPath_);
    NoteRecord::setWordWrapOnClose(ini, name(), wordWrapItem.checked);
    ini.close();
    try {
        if (handle() != nullptr) saveRecord(false);
    } catch (...) {
        reportCurrentException(handle());
    }
    return true;
}

void NoteWindow::onDestroy() {
    taskbarKeeper.setEnabled(false);
    forgetPendingPlacement();
    try {
        saveRecordAsItGoes();
    } catch (...) {
        reportCurrentException(nullptr);
    }
    // Only now, after this window's last write into the section, may a new
    // note take the number: a hot key queued meanwhile must not make a note
    // whose keys this one then overwrites.
    if (deleted_) host_.slotTable().markFree(noteNumber(name()));
}

void NoteWindow::onReleased() {
    if (auto released = OnReleased) released(*this);  // may delete this
}

// ---- Start-up and timers

// The overdue check comes before the text, so that a text that cannot be
// loaded does not leave an overdue alarm armed and unseen.
void NoteWindow::finishStartup() {
    alarmItem.checked = RxClock1.alarmEnabled();  // as the record gave it
    IniFile ini(iniPath_);
    readAlarmRecord(ini);
    showClockFromRecord(ini);
    checkOverdueAlarm(ini);
    showAlarmState();
    // The text loads also when the record cannot be written, or a later save
    // would put an empty note over it; the failure is reported afterwards.
    std::exception_ptr unwritten;
    try {
        ini.updateFile();
    } catch (...) {
        unwritten = std::current_exception();
    }
    loadText();
    if (unwritten) std::rethrow_exception(unwritten);
    ini.close();
}

// Keeps the note off the taskbar. The program has no hidden application
// window that could grow a taskbar button; a note stays off the taskbar as
// long as it has an owner, so the tick makes sure of that once and stops:
// nothing but this window's own commands can take the owner away, so
// ticking on would only cost time while the note sits idle.
void NoteWindow::keepOffTaskbar() {
    taskbarKeeper.setEnabled(false);
    if (host_.ownerWindow() != nullptr && owner() != host_.ownerWindow())
        setOwner(host_.ownerWindow());
}

void NoteWindow::showClockFromRecord(IniFile& ini) {
    const bool on = NoteRecord::clockShown(ini, name());
    clockItem.checked = on;
    // A rolled-up note has no room for the clock; unrolling brings it back.
    RxClock1.setVisible(on && !rolledUp());
    layout();
}

void NoteWindow::loadText() {
    const std::string path = noteTextPath(name());
    try {
        if (const auto content = readWholeFile(path)) memo1.load(*content);
        rememberTextStamp();
    } catch (const std::exception& e) {
        // The file stays as it is: the note keeps away from it until the
        // user has written something new and chosen to replace it.
        textUnread_ = true;
        const bool tooLarge = dynamic_cast<const FileTooLarge*>(&e) != nullptr;
        showErrorBox(handle(), "Der Text der Notiz „" + title() + "“ konnte nicht gelesen werden." +
                                   (tooLarge ? "\r\n\r\n" + std::string(e.what()) : "") +
                                   "\r\n\r\nDatei: " + path +
                                   "\r\n\r\nDie Datei bleibt unverändert. Tavelin ersetzt sie "
                                   "nur, wenn Sie in dieser Notiz neuen Text speichern und das "
                                   "bestätigen.");
        return;
    }
    if (memo1.refusedObjects().empty()) return;
    std::string names;
    for (const auto& object : memo1.refusedObjects()) names += "\r\n    " + object;
    showErrorBox(handle(), "Die Notiz „" + title() +
                               "“ enthält Objekte, die Tavelin nicht lädt, weil sie beim Öffnen "
                               "Programme starten oder andere Rechner erreichen könnten:" +
                               names + "\r\n\r\nDatei: " + path +
                               "\r\n\r\nDie Datei bleibt unverändert, bis Sie die Notiz "
                               "speichern; dann fehlen diese Objekte darin.");
}

void NoteWindow::takeColorFromText() {
    setColor(memo1.color());
    RxClock1.setColor(color());
}

// ---- Modes

bool NoteWindow::inEditMode() const { return !memo1.readOnly(); }

void NoteWindow::setTitleColor(COLORREF color) {
    titleLine.setColor(color);
    titleButtons.setColor(color);
}

void NoteWindow::enterEditMode() {
    if (buttonBarsItem.checked) {
        viewBar.hide();
        editBar.show();
    }
    taskbarKeeper.setEnabled(false);
    memoMenu_ = &editMenu;
    setTitleColor(kTitleEditColor);
    memo1.setReadOnly(false);
    layout();
}

void NoteWindow::enterViewMode() {
    taskbarKeeper.setEnabled(false);
    memoMenu_ = &viewMenu;
    setTitleColor(kTitleViewColor);
    memo1.setReadOnly(true);
    if (buttonBarsItem.checked) {
        viewBar.show();
        editBar.hide();
    }
    layout();
}

// The text is written first: a note whose file cannot be written stays in
// edit mode with its text, instead of looking saved.
void NoteWindow::saveAndEnterViewMode() {
    if (!saveText()) return;
    showEditBarItem.visible = true;
    editBar.hide();
    if (buttonBarsItem.checked) viewBar.show();
    taskbarKeeper.setEnabled(true);
    setTitleColor(kTitleViewColor);
    memoMenu_ = &viewMenu;
    memo1.setReadOnly(true);
    layout();
}

bool NoteWindow::saveText() {
    const std::string path = noteTextPath(name());
    if (textUnread_) {
        // Nothing new typed: the file that could not be read stays as it is.
        if (!memo1.modified()) return true;
        if (messageBox(handle(),
                       "Der bisherige Text der Notiz „" + title() +
                           "“ konnte nicht gelesen werden.\r\n\r\nDatei: " + path +
                           "\r\n\r\nSoll die Datei durch den neuen Text ersetzt werden? Was "
                           "bisher in ihr steht, geht dann verloren.",
                       "Notiz speichern", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return false;
    }
    memo1.saveToFile(path);
    rememberTextStamp();
    textUnread_ = false;
    return true;
}

std::string NoteWindow::title() const { return stripTrailingBlanks(titleLine.text()); }

void NoteWindow::saveOnExit() {
    if (inEditMode()) saveAndEnterViewMode();
}

void NoteWindow::setStandardFont(const std::string& fontName, int sizePoints) {
    memo1.setDefaultFont(fontName, sizePoints);
    memo1.setSelFontName(fontName);
    memo1.setSelSize(sizePoints);
}

// ---- Delete

void NoteWindow::deleteNoteWithConfirmation() {
    if (messageBox(handle(), "Wollen Sie diese Notiz wirklich löschen?", "Notiz löschen",
                   MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    // Nothing changes until the text file is gone: a file that another
    // program holds open must not leave the note half deleted, its number
    // free for the next note.
    const std::string path = noteTextPath(name());
    if (fileExists(path) && !deleteFiles(path)) {
        showErrorBox(handle(), "Die Notiz „" + title() +
                                   "“ wurde nicht gelöscht, weil sich ihre Datei nicht löschen "
                                   "lässt:\r\n" +
                                   path +
                                   "\r\n\r\nVielleicht ist sie in einem anderen Programm "
                                   "geöffnet oder schreibgeschützt. Schließen Sie sie dort und "
                                   "löschen Sie die Notiz dann noch einmal.");
        return;
    }
    try {
        IniFile ini(iniPath_);
        NoteRecord::setActive(ini, name(), false);
        ini.close();
    } catch (...) {
        // The record still calls the note active: its text goes back into
        // the file, so that the note stays whole.
        if (!textUnread_) guarded(handle(), [&] { memo1.saveToFile(path); });
        throw;
    }
    deleteNote();
    host_.releaseNote(this);
}

// What is left once the text file is gone and the record says so.
void NoteWindow::deleteNote() {
    IniFile ini(iniPath_);
    if (AlarmReminder* reminder = host_.reminder()) reminder->withdraw(this);
    deleted_ = true;
    memo1.clear();
    processMessages();
    // The record takes these when the window goes, so a later note of the
    // same number starts from them.
    setHeight(kDeletedHeight);
    setWidth(kDeletedWidth);
    memo1.setColor(kYellow);
    ini.updateFile();
    processMessages();
    ini.updateFile();
    ini.close();
}

// ---- Roll up

void NoteWindow::toggleRollUp() {
    IniFile ini(iniPath_);
    if (!rolledUp()) {
        NoteRecord::setRestoreHeight(ini, name(), height());
        NoteRecord::setRolledUp(ini, name(), true);
        showRolledUp();
    } else {
        const int restoreSize = NoteRecord::restoreHeight(ini, name());
        NoteRecord::setRolledUp(ini, name(), false);
        unroll(restoreSize);
    }
    ini.close();
    savePlacementSoon();
}

void NoteWindow::showRolledUp() {
    rollUpButton.setCaption("2");
    rolledUp_ = true;
    rollUpButton.setHint("Notiz wiederherstellen");
    setHeight(kRolledUpHeight);
    RxClock1.setVisible(false);
    layout();
}

void NoteWindow::unroll(int restoreSize) {
    rollUpButton.setCaption("0");
    rolledUp_ = false;
    setHeight(restoreSize);
    rollUpButton.setHint("Notiz minimieren");
    if (clockItem.checked) RxClock1.setVisible(true);
    layout();
}

// ---- Switches

void NoteWindow::toggleTitleLine() {
    titleLineItem.checked = !titleLineItem.checked;
    const bool on = titleLineItem.checked;
    titleLine.setVisible(on);
    titleButtons.setVisible(on);
    layout();
    IniFile ini(iniPath_);
    NoteRecord::setTitleLineShown(ini, name(), on);
    ini.close();
}

void NoteWindow::hideTitleBar() {
    titleLine.setVisible(false);
    titleButtons.hide();
    titleLineItem.checked = false;
    layout();
}

void NoteWindow::toggleButtonBars() {
    buttonBarsItem.checked = !buttonBarsItem.checked;
    const bool on = buttonBarsItem.checked;
    showEditBarItem.visible = !on;
    if (on) {
        viewBar.show();
    } else {
        viewBar.hide();
        editBar.hide();
    }
    layout();
    IniFile ini(iniPath_);
    NoteRecord::setButtonBarsShown(ini, name(), on);
    ini.close();
}

void NoteWindow::recordNewNote(IniFile& ini, int noteCounter) {
    SettingsKeys::setNotizanzahl(ini, noteCounter);
    ini.updateFile();
    if (!SettingsKeys::showmenu(ini)) {
        hideButtonBars();
        NoteRecord::setButtonBarsShown(ini, name(), false);
    }
    NoteRecord::setActive(ini, name(), true);
    ini.updateFile();
    if (SettingsKeys::wordwrap(ini)) {
        setWordWrap(true);
        NoteRecord::setWordWrap(ini, name(), true);
    }
}

void NoteWindow::hideButtonBars() {
    showEditBarItem.visible = true;
    buttonBarsItem.checked = false;
    viewBar.hide();
    editBar.hide();
    layout();
}

void NoteWindow::showEditBar() {
    showEditBarItem.visible = false;
    editBar.show();
    layout();
}

void NoteWindow::toggleClock() {
    const bool on = !RxClock1.visible();
    RxClock1.setVisible(on);
    clockItem.checked = on;
    layout();
    IniFile ini(iniPath_);
    NoteRecord::setClockShown(ini, name(), on);
    ini.close();
}

void NoteWindow::setWordWrap(bool on) {
    wordWrapItem.checked = on;
    editWordWrapItem.checked = on;
    memo1.setScrollBars(on ? ScrollBars::None : ScrollBars::Both);
}

// Not stored: every note starts as a normal window. The note keeps its
// owner either way, so that a note on top does not appear on the taskbar.
void NoteWindow::toggleStayOnTop() {
    const int keptHeight = height();
    stayOnTopItem.checked = !stayOnTopItem.checked;
    SetWindowPos(handle(), stayOnTopItem.checked ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    setHeight(keptHeight);
    InvalidateRect(handle(), nullptr, TRUE);
    savePlacementSoon();
}

// ---- Title

void NoteWindow::askForTitle() {
    // Offered without the margin, so that the blanks do not pile up.
    const std::string title =
        inputBox(handle(), "Notiz-Titel", "Geben Sie den neuen Notiz-Titel ein",
                 stripTrailingBlanks(titleLine.text()));
    setTitle(title);
    IniFile ini(iniPath_);
    NoteRecord::setTitle(ini, name(), titleLine.text());
    ini.close();
}

void NoteWindow::setTitle(const std::string& storedTitle) {
    titleLine.setText(titleLineText(storedTitle));
    showAlarmState();
}

// ---- Hiding

// Saved first, as a close saves: showing the note again re-reads its place,
// colour and alarm time from the file, which must then be the latest.
void NoteWindow::hideIntoList() {
    closeQuery();
    host_.hideNote(*this);
}

}  // namespace tav
