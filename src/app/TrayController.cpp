#include "app/TrayController.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "about/AboutBox.h"
#include "alarm/AlarmReminder.h"
#include "app/BackupDialog.h"
#include "app/InstanceLock.h"
#include "desktop/LocalTime.h"
#include "desktop/Monitors.h"
#include "desktop/ShellFiles.h"
#include "desktop/VersionInfo.h"
#include "forms/Dialogs.h"
#include "note/AlarmListDialog.h"
#include "note/HiddenNotesDialog.h"
#include "note/NoteWindow.h"
#include "note/SearchDialog.h"
#include "resource.h"
#include "store/Backup.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NotePlacement.h"
#include "store/ShortcutText.h"

namespace tav {

namespace {

constexpr int kSplashClientWidth = 352;
constexpr int kSplashClientHeight = 138;
constexpr unsigned kSplashDelayMs = 2000;
constexpr unsigned kNoSplashDelayMs = 250;

// Private messages of this window (the kit keeps WM_USER + 0x200 for itself).
constexpr UINT kDeleteReleasedNotes = WM_APP + 10;
constexpr UINT kRestoreApplication = WM_APP + 11;
constexpr UINT kReportRefusedHotKeys = WM_APP + 12;
constexpr UINT kReportStartProblems = WM_APP + 13;
constexpr UINT kShowNextAlarm = WM_APP + 14;
constexpr UINT kBackupDone = WM_APP + 24;
// The monitors changed; several messages tell of one change, so the notes
// are looked at once, after them.
constexpr UINT kKeepNotesInReach = WM_APP + 25;

constexpr unsigned kBackupIntervalMs = 24u * 60 * 60 * 1000;

constexpr char kProductTitle[] = "Tavelin 2000";

// One tray controller at a time; the minimise hook reaches it here.
TrayController* hookOwner = nullptr;

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

bool isMinimizeCommand(int showCommand) {
    return showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
           showCommand == SW_SHOWMINNOACTIVE || showCommand == SW_FORCEMINIMIZE;
}

}  // namespace

bool migrateSettingsFile(const std::string& windowsDirectory) {
    const std::string oldIni = windowsDirectory + "\\Tavelin.ini";
    if (!needsMigration(oldIni, settingsPath())) return false;
    return shellCopy(oldIni, settingsPath());
}

UINT foregroundRequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tavelin2000.Vordergrund");
    return message;
}

WPARAM programDirId() {
    const auto identity = folderIdentity(programDir());
    return identity ? identity->id() : 0;
}

TrayController::TrayController(const std::string& windowsDirectory) : Form(kTrayWindowClass) {
    setName("Form1");
    setCaption(kProductTitle);
    setClientWidth(kSplashClientWidth);
    setClientHeight(kSplashClientHeight);
    create();
    buildSplash();
    layout_ = monitors();
    buildTrayMenu();
    start(windowsDirectory);
}

TrayController::~TrayController() {
    if (hookOwner == this) {
        UnhookWindowsHookEx(minimizeHook_);
        hookOwner = nullptr;
    }
    // Notes first: they are owned windows and still talk to their host.
    released_.clear();
    notes_.clear();
    destroy();
}

void TrayController::createParams(DWORD& style, DWORD& exStyle) {
    // Single fixed border with a caption but no border icons.
    style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    exStyle = 0;
}

void TrayController::buildSplash() {
    creditLine.create(*this);
    creditLine.setBounds({0, 6, kSplashClientWidth, 14});
    creditLine.setAlignment(Alignment::Center);
    creditLine.setFont({.name = "Arial", .heightPixels = 12, .color = RGB(96, 96, 96)});
    creditLine.setText("Notizzettel für den Windows-Desktop");

    // The large title carries a light shadow, drawn first.
    productTitleShadow.create(*this);
    productTitleShadow.setBounds({1, 25, kSplashClientWidth, 40});
    productTitleShadow.setAlignment(Alignment::Center);
    productTitleShadow.setFont({.name = "Arial",
                                .heightPixels = 32,
                                .bold = true,
                                .color = GetSysColor(COLOR_BTNHIGHLIGHT)});
    productTitleShadow.setText(kProductTitle);

    productTitle.create(*this);
    productTitle.setBounds({0, 24, kSplashClientWidth, 40});
    productTitle.setAlignment(Alignment::Center);
    productTitle.setFont(
        {.name = "Arial", .heightPixels = 32, .bold = true, .color = RGB(0, 0, 128)});
    productTitle.setText(kProductTitle);

    versionLabel.create(*this);
    versionLabel.setBounds({0, 72, kSplashClientWidth, 24});
    versionLabel.setAlignment(Alignment::Center);
    versionLabel.setFont({.name = "Arial", .heightPixels = 19, .bold = true});
    versionLabel.setText("Version:");

    loadingLabel.create(*this);
    loadingLabel.setBounds({0, 108, kSplashClientWidth, 20});
    loadingLabel.setAlignment(Alignment::Center);
    loadingLabel.setFont({.name = "Arial", .heightPixels = 16});
    loadingLabel.setText("Wird geladen...");
}

void TrayController::buildTrayMenu() {
    trayMenu.add(newNoteItem)
        .add(alarmsItem)
        .add(settingsItem)
        .add(hiddenNotesItem)
        .add(searchItem)
        .add(gatherNotesItem)
        .add(networkNoteItem)
        .add(aboutItem)
        .add(restoreBackupItem)
        .add(exitItem);
    newNoteItem.onClick = [this] { newNote(); };
    settingsItem.onClick = [this] { showSettings(); };
    settingsItem.enabled = false;  // until the dialog is attached
    hiddenNotesItem.onClick = [this] { showHiddenNotes(); };
    hiddenNotesItem.visible = false;
    alarmsItem.onClick = [this] { showAlarms(); };
    alarmsItem.visible = false;
    searchItem.onClick = [this] { showSearch(); };
    searchItem.visible = false;
    gatherNotesItem.onClick = [this] { gatherNotes(); };
    networkNoteItem.visible = false;
    networkNoteItem.enabled = false;
    aboutItem.onClick = [this] { showAbout(); };
    aboutItem.enabled = false;
    restoreBackupItem.onClick = [this] { restoreBackup(); };
    exitItem.onClick = [this] { exitNow(); };

    const int size = GetSystemMetrics(SM_CXSMICON);
    trayImage_.reset(static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAVELIN), IMAGE_ICON, size, size, 0)));
    trayIcon.setIcon(trayImage_.get());
    trayTip_ = kProductTitle;
    trayIcon.setHint(trayTip_);
    trayIcon.onDoubleClick = [this] { newNote(); };
    trayIcon.onContextMenu = [this](POINT at) { trayMenu.popup(trayIcon.hwnd(), at); };
}

void TrayController::start(const std::string& windowsDirectory) {
    // Before anything of this run is written, so the copy holds what the
    // last run left.
    backups_.start(handle(), kBackupDone);
    backupTimer.setInterval(kBackupIntervalMs);
    backupTimer.onTimer = [this] { backups_.start(handle(), kBackupDone); };
    backupTimer.setEnabled(true);
    migrateSettingsFile(windowsDirectory);
    // No other copy runs in this directory (main makes sure of that), so a
    // temporary file here is what a cut-off write left behind.
    removeLeftoverTemporaryFiles();
    checkProgramFolder();

    // Nothing of ours ever minimises: a note is meant to stay on the desktop
    // when the user minimises all windows. The hook sees every minimise of
    // this thread's windows, whatever path it takes.
    if (hookOwner == nullptr) {
        hookOwner = this;
        minimizeHook_ =
            SetWindowsHookExW(WH_CBT, &TrayController::cbtHook, nullptr, GetCurrentThreadId());
    }

    noteCounter_ = 0;

    std::unique_ptr<IniFile> ini;
    try {
        ini = std::make_unique<IniFile>(settingsPath());
    } catch (const IniError&) {
        settingsUnreadable();
    }
    // Without a readable file the program shows its splash and registers no
    // hot key: a new note could not be recorded anyway.
    const bool splash = !ini || SettingsKeys::startscreen(*ini);
    restoreTimer.onTimer = [this] { restoreNotes(); };
    restoreTimer.setInterval(splash ? kSplashDelayMs : kNoSplashDelayMs);
    if (splash) {
        centerOnScreen();
        show();
    }
    restoreTimer.setEnabled(true);

    versionLabel.setText("Version:" + VersionInfo::fileVersion());

    newNoteHotKey.onPress = [this] { newNote(); };
    foregroundHotKey.onPress = [this] { pressForegroundHotKey(); };
    if (ini) {
        refusedAtStart_ =
            unusableHotKeys(*ini) +
            registerHotKeys(SettingsKeys::hotkeyNeu(*ini), SettingsKeys::hotkeyVordergrund(*ini));
        // Told from the message loop: creation itself opens no box.
        if (!refusedAtStart_.empty()) PostMessageW(handle(), kReportRefusedHotKeys, 0, 0);
        ini->close();
    }

    // By name: a note may go while another one's question is open.
    folderWatch.onChange = [this] {
        std::vector<std::string> names;
        for (const auto& note : notes_) names.push_back(note->name());
        for (const std::string& name : names) {
            if (NoteWindow* note = findNote(name))
                guarded(handle(), [&] { note->checkOutsideChange(); });
        }
    };
    folderWatch.watch(programDir());

    trayIcon.show();
}

// Under "Programme", for one, the settings file may even be writable while
// no temporary file can be made beside it, and every save would fail. Said
// once, with what to do about it.
void TrayController::checkProgramFolder() {
    folderRefuses_ = !canCreateFilesIn(programDir());
    if (!folderRefuses_) return;
    tellAtStart("Tavelin kann in seinem Ordner\r\n" + programDir() +
                "\r\nkeine Dateien anlegen. Ihre Notizen und Einstellungen lassen sich dort "
                "nicht speichern.\r\n\r\nLegen Sie Tavelin in einen eigenen Ordner unter Ihren "
                "eigenen Dateien (zum Beispiel „Dokumente\\Tavelin“) und starten Sie es von "
                "dort.");
}

// The notes are not shown rather than shown from a file that was not read;
// the file itself is left as it is.
void TrayController::settingsUnreadable() {
    settingsUnreadable_ = true;
    tellAtStart("Die Einstellungsdatei\r\n" + settingsPath() +
                "\r\nkann nicht gelesen werden. Tavelin zeigt deshalb keine Notizen und lässt "
                "die Datei unverändert.\r\n\r\nPrüfen Sie, ob ein anderes Programm sie geöffnet "
                "hat oder ob an ihrer Stelle ein Ordner liegt, und starten Sie Tavelin dann neu.");
}

// Told from the message loop, like a refused hot key: creation itself opens
// no box.
void TrayController::tellAtStart(const std::string& text) {
    startProblems_.push_back(text);
    if (startProblems_.size() == 1) PostMessageW(handle(), kReportStartProblems, 0, 0);
}

void TrayController::attachAboutBox(AboutBox* box) {
    aboutBox_ = box;
    aboutItem.enabled = box != nullptr;
}

void TrayController::attachSettingsDialog(Form* dialog) {
    settingsDialog_ = dialog;
    settingsItem.enabled = dialog != nullptr;
}

void TrayController::attachHiddenNotesDialog(HiddenNotesDialog* dialog) {
    hiddenNotesDialog_ = dialog;
    hiddenNotesItem.visible = dialog != nullptr;
}

void TrayController::attachAlarmList(AlarmListDialog* dialog) {
    alarmList_ = dialog;
    alarmsItem.visible = dialog != nullptr;
}

void TrayController::attachSearchDialog(SearchDialog* dialog) {
    searchDialog_ = dialog;
    searchItem.visible = dialog != nullptr;
}

void TrayController::showSearch() {
    if (searchDialog_ == nullptr) return;
    searchDialog_->show();
    SetForegroundWindow(searchDialog_->handle());
}

std::string TrayController::searchQuery() const {
    return searchDialog_ != nullptr ? searchDialog_->queryEdit.text() : std::string();
}

void TrayController::hideNote(NoteWindow& note) {
    if (hiddenNotesDialog_ != nullptr) hiddenNotesDialog_->hideNote(note);
}

void TrayController::setHotKeys(const std::string& newNoteLetter,
                                const std::string& foregroundLetter) {
    reportRefusedHotKeys(registerHotKeys(newNoteLetter, foregroundLetter));
}

std::string TrayController::unusableHotKeys(const IniFile& ini) {
    std::string told;
    const auto tell = [&told](const std::optional<std::string>& letter, const char* purpose) {
        if (letter)
            told += "Der gespeicherte Hotkey „" + *letter + "“ für „" + purpose +
                    "“ kann nicht gelesen werden: er nennt keine Taste, es gilt kein Hotkey.\n";
    };
    tell(SettingsKeys::unusableHotkeyNeu(ini), "neue Notiz");
    tell(SettingsKeys::unusableHotkeyVordergrund(ini), "in den Vordergrund");
    return told;
}

std::string TrayController::registerHotKeys(const std::string& newNoteLetter,
                                            const std::string& foregroundLetter) {
    // Both go first, so that swapping the two letters does not find a
    // combination still held by the other hot key.
    newNoteHotKey.setShortcut(0);
    foregroundHotKey.setShortcut(0);
    const int newNote = hotKeyShortcut(newNoteLetter);
    const int foreground = hotKeyShortcut(foregroundLetter);
    const auto refusal = [](int shortcut, const char* purpose, const char* holder) {
        return "Die Tastenkombination " + shortcutToText(shortcut) + " für „" + purpose +
               "“ ist bereits " + holder + " belegt und deshalb nicht aktiv.\n";
    };
    std::string refused;
    if (!newNoteHotKey.setShortcut(newNote))
        refused += refusal(newNote, "neue Notiz", "von einem anderen Programm");
    if (!foregroundHotKey.setShortcut(foreground)) {
        refused +=
            refusal(foreground, "in den Vordergrund",
                    foreground == newNote ? "durch „neue Notiz“" : "von einem anderen Programm");
    }
    return refused;
}

void TrayController::reportRefusedHotKeys(const std::string& refused) {
    if (refused.empty()) return;
    messageBox(handle(),
               refused + "\nWählen Sie unter „Grundeinstellungen...“ einen anderen Buchstaben.",
               kProductTitle, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
}

void TrayController::restoreNotes() {
    restoreDone_ = true;
    currentNoteName_ = noteName(1);
    // A note that a hot key made while the splash was up keeps its number.
    slots_ = SlotTable{};
    for (const auto& note : notes_) slots_.markUsed(noteNumber(note->name()));
    restoreTimer.setEnabled(false);

    if (aboutBox_ != nullptr)
        aboutBox_->versionLabel.setText("Version:" + VersionInfo::fileVersion());
    hide();
    if (settingsUnreadable_) return;

    // Every active record comes back, whatever "Notizanzahl" says: a counter
    // that a hand or another program got wrong must not hide notes whose
    // records and texts are all there.
    IniFile ini(settingsPath());
    int restored = 0;
    int highest = 0;
    NoteWindow* last = nullptr;
    for (int number = 1; number <= kMaxNotes; ++number) {
        const std::string name = noteName(number);
        if (NoteRecord::restoredAtStart(ini, name)) {
            ++restored;
            highest = number;
            if (findNote(name) == nullptr) {
                last = &restoreNote(number);
                applyStoredState(*last, ini);
            }
            slots_.markUsed(number);
        } else {
            ini.eraseSection(name);
            if (fileExists(noteTextPath(name))) deleteFiles(noteTextPath(name));
        }
    }
    if (last != nullptr && last->visible()) SetForegroundWindow(last->handle());

    if (restored == 0 && SettingsKeys::notizanzahl(ini) <= 0) {
        // A first note in a folder that takes no files would only fail; the
        // start has said what to do.
        if (!SettingsKeys::firstrun(ini) && !folderRefuses_) {
            SettingsKeys::setFirstrun(ini, true);
            newNote();
        }
    } else {
        // Never below the highest note, so that what the next new note
        // writes still says that notes exist up to there.
        noteCounter_ = std::max(restored, highest);
    }
    try {
        ini.close();
    } catch (const IniError&) {
        // The clean-up cannot be written into a folder that refuses files;
        // the start has said so once.
        if (!folderRefuses_) throw;
    }
}

// Shown without activation: fifty notes taking the focus one after the
// other cost the start a noticeable part of its time; the last one takes it
// once all are there.
NoteWindow& TrayController::restoreNote(int number) {
    slots_.markUsed(number);
    currentNoteName_ = noteName(number);
    NoteWindow& note = createNoteWindow();
    raiseNoteCounter();
    note.showInactive();
    return note;
}

void TrayController::applyStoredState(NoteWindow& note, const IniFile& ini) {
    const std::string& name = note.name();
    note.setTitle(NoteRecord::title(ini, name));
    if (!NoteRecord::buttonBarsShown(ini, name)) note.hideButtonBars();
    note.setWordWrap(NoteRecord::wordWrap(ini, name));
    if (NoteRecord::rolledUp(ini, name)) note.showRolledUp();
    if (!NoteRecord::titleLineShown(ini, name)) note.hideTitleBar();
}

NoteWindow& TrayController::createNoteWindow() {
    notes_.push_back(std::make_unique<NoteWindow>(*this));
    NoteWindow& note = *notes_.back();
    note.OnReleased = [this](NoteWindow& n) { releaseNote(&n); };
    return note;
}

// Until the start-up restore has run, the text files of deleted notes are
// still there: a note made before it (a hot key during the splash) must not
// take such a number, or it would load that deleted note's text.
void TrayController::markLeftOverTextsUsed() {
    for (int number = 1; number <= kMaxNotes; ++number) {
        if (fileExists(noteTextPath(noteName(number)))) slots_.markUsed(number);
    }
}

void TrayController::newNote() {
    IniFile ini(settingsPath());
    if (!restoreDone_) markLeftOverTextsUsed();
    const int number = slots_.takeLowestFree(activeRecords(ini));
    if (number == 0) {
        tooManyNotes();
        return;
    }
    currentNoteName_ = noteName(number);
    NoteWindow& note = createNoteWindow();
    note.show();
    const int counter = raiseNoteCounter();

    note.recordNewNote(ini, counter);
    note.enterEditMode();
    note.askForTitle();
    note.setStandardFont(SettingsKeys::standardFontName(ini), SettingsKeys::standardFontSize(ini));
    ini.close();
}

// A note above 50 would never come back at the next start, so the user is
// told instead of getting a note that silently disappears.
void TrayController::tooManyNotes() {
    messageBox(handle(),
               "Es sind bereits 50 Notizen vorhanden. Bitte löschen Sie zuerst eine Notiz.",
               kProductTitle, MB_OK | MB_ICONINFORMATION);
}

void TrayController::showSettings() {
    if (settingsDialog_ == nullptr) return;
    settingsDialog_->show();
    SetForegroundWindow(settingsDialog_->handle());
}

void TrayController::showHiddenNotes() {
    if (hiddenNotesDialog_ == nullptr) return;
    hiddenNotesDialog_->show();
    SetForegroundWindow(hiddenNotesDialog_->handle());
}

void TrayController::restoreBackup() {
    std::vector<BackupSummary> backups;
    for (const std::string& name : listBackups(programDir()))
        backups.push_back(describeBackup(programDir(), name));
    if (backups.empty()) {
        messageBox(handle(),
                   "Es gibt noch keine Sicherung der Notizen. Tavelin legt sie bei jedem Start "
                   "und einmal am Tag im Ordner „" +
                       std::string(kBackupFolder) + "“ neben dem Programm an.",
                   kProductTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    BackupDialog dialog(handle(), std::move(backups));
    if (const auto chosen = dialog.choose()) replaceNotesWith(*chosen);
}

// The current state is copied first; without that copy nothing changes. A
// restore that fails half-way puts the current state back.
void TrayController::replaceNotesWith(const std::string& backupName) {
    const FileSet wanted = readBackup(programDir(), backupName);
    for (const auto& note : notes_) guarded(handle(), [&] { note->saveOnExit(); });
    if (const std::string failure = backups_.copyNow(); !failure.empty()) {
        showErrorBox(handle(),
                     "Die Sicherung wurde nicht wiederhergestellt, weil sich der "
                     "jetzige Stand nicht sichern ließ:\r\n" +
                         failure +
                         "\r\n\r\nIhre Notizen sind unverändert. Prüfen Sie, ob "
                         "auf dem Laufwerk genug Platz frei ist.");
        return;
    }
    const FileSet current = readProgramFiles(programDir());
    for (const auto& note : notes_) {
        if (reminder_ != nullptr) reminder_->withdraw(note.get());
    }
    notes_.clear();
    deleteReleasedNotes();
    std::string failure;
    try {
        restoreProgramFiles(programDir(), wanted);
    } catch (const std::exception& e) {
        failure = e.what();
        guarded(handle(), [&] { restoreProgramFiles(programDir(), current); });
    }
    noteCounter_ = 0;
    restoreNotes();
    if (!failure.empty())
        showErrorBox(handle(), "Die Sicherung ließ sich nicht wiederherstellen:\r\n" + failure +
                                   "\r\n\r\nTavelin zeigt wieder die Notizen von vorher.");
}

void TrayController::backupDone() {
    const std::string failure = backups_.finish();
    // In a folder that refuses files the start has said why.
    if (failure.empty() || backupFailureTold_ || folderRefuses_) return;
    backupFailureTold_ = true;
    messageBox(handle(), backupFailureText(failure), kProductTitle, MB_OK | MB_ICONWARNING);
}

void TrayController::showAlarms() {
    if (alarmList_ == nullptr) return;
    alarmList_->show();
    SetForegroundWindow(alarmList_->handle());
}

void TrayController::gatherNotes() {
    std::vector<NoteWindow*> shown;
    for (const auto& note : notes_)
        if (note->visible()) shown.push_back(note.get());
    std::stable_sort(shown.begin(), shown.end(), [](NoteWindow* a, NoteWindow* b) {
        return noteNumber(a->name()) < noteNumber(b->name());
    });
    if (shown.empty()) return;

    POINT mouse{};
    GetCursorPos(&mouse);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromPoint(mouse, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;

    std::vector<Rect> rects;
    for (NoteWindow* note : shown) {
        RECT r{};
        GetWindowRect(note->handle(), &r);
        rects.push_back({r.left, r.top, r.right, r.bottom});
    }
    // A step a little taller than a title line, so each one stays in reach.
    const std::vector<Rect> placed =
        cascade(rects, {work.left, work.top, work.right, work.bottom}, shown.front()->scale(20));
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i]->moveTo(placed[i]);
        // Each over the one before, so that every title shows.
        SetWindowPos(shown[i]->handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TrayController::bringNoteToFront(NoteWindow& note) {
    if (!note.visible()) {
        if (hiddenNotesDialog_ != nullptr)
            hiddenNotesDialog_->showNote(note);
        else
            note.show();
    }
    SetForegroundWindow(note.handle());
}

std::vector<NoteWindow*> TrayController::openNotes() const {
    std::vector<NoteWindow*> notes;
    for (const auto& note : notes_) notes.push_back(note.get());
    return notes;
}

// Fifty notes at start tell it a hundred times: the tip and the list are
// brought up to date once, when the changes of the moment are over.
void TrayController::alarmsChanged() {
    if (nextAlarmPosted_ || handle() == nullptr) return;
    nextAlarmPosted_ = PostMessageW(handle(), kShowNextAlarm, 0, 0) != FALSE;
}

void TrayController::showNextAlarm() {
    nextAlarmPosted_ = false;
    const NoteWindow* next = nullptr;
    DateTime nextMoment;
    for (const auto& note : notes_) {
        const auto moment = note->armedAlarm();
        if (moment && (next == nullptr || timeline(*moment) < timeline(nextMoment))) {
            next = note.get();
            nextMoment = *moment;
        }
    }
    std::string tip = kProductTitle;
    if (next != nullptr)
        tip += " – nächster Alarm: " + nextAlarmText(nextMoment, dateTimeOf(localTimeNow()).date) +
               " " + next->title();
    if (tip != trayTip_) {
        trayTip_ = tip;
        trayIcon.setHint(tip);
    }
    if (alarmList_ != nullptr && alarmList_->visible()) alarmList_->refresh();
}

void TrayController::showAbout() {
    if (aboutBox_ != nullptr) aboutBox_->showBox();
}

void TrayController::exitNow() { close(); }

// The front key always answers: with no window of the program shown, the
// tray menu comes up at the mouse.
void TrayController::pressForegroundHotKey() {
    if (bringToFront()) return;
    POINT at{};
    GetCursorPos(&at);
    trayMenu.popup(trayIcon.hwnd(), at);
}

// The last active window, or the topmost shown note when that one is hidden
// now (a note put into the hidden list is often the last one used).
bool TrayController::bringToFront() {
    HWND top = GetLastActivePopup(handle());
    if (top == nullptr || !IsWindowVisible(top) || !IsWindowEnabled(top)) {
        top = nullptr;
        for (HWND w = GetTopWindow(nullptr); w != nullptr && top == nullptr;
             w = GetWindow(w, GW_HWNDNEXT)) {
            for (const auto& note : notes_) {
                if (note->handle() == w && IsWindowVisible(w)) top = w;
            }
        }
    }
    if (top == nullptr) return false;
    SetForegroundWindow(top);
    return true;
}

void TrayController::exitProgram() {
    if (handle() != nullptr) PostMessageW(handle(), WM_CLOSE, 0, 0);
}

void TrayController::releaseNote(NoteWindow* note) {
    auto it = std::find_if(notes_.begin(), notes_.end(),
                           [note](const auto& n) { return n.get() == note; });
    if (it == notes_.end()) return;
    released_.push_back(std::move(*it));
    notes_.erase(it);
    alarmsChanged();
    // Deleted from a message of our own: the note's handler may still be
    // running when it asks.
    if (handle() != nullptr) PostMessageW(handle(), kDeleteReleasedNotes, 0, 0);
}

void TrayController::deleteReleasedNotes() {
    auto released = std::move(released_);
    released_.clear();
    for (auto& note : released) {
        if (note->created()) note->destroy();
    }
}

NoteWindow* TrayController::findNote(const std::string& name) const {
    for (const auto& note : notes_) {
        if (note->name() == name) return note.get();
    }
    return nullptr;
}

bool TrayController::handleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg == WM_DISPLAYCHANGE || msg == WM_DPICHANGED ||
        (msg == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA)) {
        if (!keepInReachPosted_)
            keepInReachPosted_ = PostMessageW(handle(), kKeepNotesInReach, 0, 0);
        return false;
    }
    if (msg == kKeepNotesInReach) {
        keepInReachPosted_ = false;
        const std::vector<Monitor> before = std::exchange(layout_, monitors());
        // The places the notes leave go to the disk in one write, and a file
        // that refuses it is told once, not once a note.
        std::vector<std::string> failures;
        {
            ErrorCollector errors;
            std::optional<IniWriteHold> hold;
            guarded(handle(), [&] { hold.emplace(settingsPath()); });
            for (const auto& note : notes_)
                guarded(handle(), [&] { note->keepInReach(before, layout_); });
            if (hold) guarded(handle(), [&] { hold->commit(); });
            failures = errors.texts();
        }
        if (!failures.empty()) showErrorBox(handle(), joinLines(failures));
        result = 0;
        return true;
    }
    if (msg == kShowNextAlarm) {
        showNextAlarm();
        result = 0;
        return true;
    }
    if (msg == kDeleteReleasedNotes) {
        deleteReleasedNotes();
        result = 0;
        return true;
    }
    if (msg == kBackupDone) {
        backupDone();
        result = 0;
        return true;
    }
    if (msg == kReportStartProblems) {
        for (const std::string& text : std::exchange(startProblems_, {}))
            messageBox(handle(), text, kProductTitle, MB_OK | MB_ICONWARNING);
        result = 0;
        return true;
    }
    if (msg == kReportRefusedHotKeys) {
        reportRefusedHotKeys(std::exchange(refusedAtStart_, {}));
        result = 0;
        return true;
    }
    if (msg == kRestoreApplication) {
        if (IsIconic(handle())) {
            ShowWindow(handle(), SW_RESTORE);
            if (!restoreTimer.enabled()) hide();  // the splash is over
        }
        bringToFront();
        result = 0;
        return true;
    }
    if (msg == foregroundRequestMessage() && msg != 0) {
        // Taken only for our own folder and while we stay: a copy that is
        // ending leaves the start to the one that asks.
        result = wParam == programDirId() && !exited_;
        if (result) bringToFront();
        return true;
    }
    if (msg == WM_SIZE && wParam == SIZE_MINIMIZED) {
        // Minimising the owner would hide every note with it.
        PostMessageW(handle(), kRestoreApplication, 0, 0);
    }
    return false;
}

bool TrayController::onSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) != SC_MINIMIZE) return false;
    PostMessageW(handle(), kRestoreApplication, 0, 0);
    return true;
}

LRESULT CALLBACK TrayController::cbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_MINMAX && hookOwner != nullptr && hookOwner->handle() != nullptr &&
        isMinimizeCommand(LOWORD(lParam))) {
        // Refused; the notes come to the front as after a restore.
        PostMessageW(hookOwner->handle(), kRestoreApplication, 0, 0);
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TrayController::onClose(CloseAction& action) {
    action = CloseAction::None;
    orderlyExit();
}

void TrayController::onEndSession(bool ending) {
    // Windows may end the process as soon as this returns: everything the
    // exit command writes must be on disk by then.
    if (ending) orderlyExit();
}

void TrayController::orderlyExit() {
    if (exited_ || !saveNotesForExit()) return;
    exited_ = true;
    restoreTimer.setEnabled(false);
    newNoteHotKey.setShortcut(0);
    foregroundHotKey.setShortcut(0);
    trayIcon.hide();
    std::vector<std::string> failures;
    {
        // Each note writes its placement as its window's end would; the
        // windows themselves stay until the process ends (see main), so no
        // note code still running further up the stack loses its window.
        // Thirty notes that cannot write make one box, not thirty; fifty
        // placements go to the disk in one write.
        ErrorCollector errors;
        std::optional<IniWriteHold> hold;
        try {
            hold.emplace(settingsPath());
        } catch (const IniError&) {
            // Unreadable: each note's own write reports it.
        }
        for (const auto& note : notes_) guarded(handle(), [&] { note->savePlacementForExit(); });
        deleteReleasedNotes();
        if (hold) guarded(handle(), [&] { hold->commit(); });
        failures = errors.texts();
    }
    // In a folder that refuses files the start has said why.
    if (!failures.empty() && !folderRefuses_) showErrorBox(handle(), joinLines(failures));
    hide();
    quitMessageLoop(0);
}

bool TrayController::saveNotesForExit() {
    std::string unsaved;
    std::vector<std::string> failures;
    {
        ErrorCollector errors;
        // One note that cannot save must not cost the others their text.
        for (const auto& note : notes_) {
            guarded(handle(), [&] { note->saveOnExit(); });
            if (note->inEditMode()) unsaved += "\r\n    " + note->title();
        }
        failures = errors.texts();
    }
    if (unsaved.empty()) return true;
    const std::string why = failures.empty() ? "" : "\r\n\r\n" + joinLines(failures);
    return messageBox(handle(),
                      "Der Text dieser Notizen ist nicht gespeichert:" + unsaved + why +
                          "\r\n\r\nWenn Sie Tavelin jetzt beenden, geht er verloren. Trotzdem "
                          "beenden?",
                      kProductTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

}  // namespace tav
