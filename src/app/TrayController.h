#pragma once
// The tray controller: the program's main form. Its own window is the splash
// and the owner of every note window, so the notes stay off the taskbar and
// go with it. It holds the tray icon and its menu, the two global hot keys,
// the one-shot start-up timer that restores the saved notes, and the
// new-note command that every other place calls.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/BackupKeeper.h"
#include "desktop/FolderWatch.h"
#include "desktop/Handle.h"
#include "desktop/HiTimer.h"
#include "desktop/HotKey.h"
#include "desktop/Monitors.h"
#include "desktop/TrayIcon.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Menu.h"
#include "note/NoteHost.h"
#include "settings/GlobalHotKeys.h"
#include "store/NotePlacement.h"
#include "store/NoteStore.h"

namespace tav {

// The window class of the tray controller. A second start finds the running
// copy by it, an older copy included, so it keeps the name it always had.
inline constexpr wchar_t kTrayWindowClass[] = L"TForm1";

class NoteWindow;
class AboutBox;
class AlarmReminder;
class HiddenNotesDialog;
class AlarmListDialog;
class SearchDialog;

// Copies an old settings file from the Windows directory into the program
// directory when only the old one exists. True when it copied.
bool migrateSettingsFile(const std::string& windowsDirectory);

// The registered message that a second start sends to the running program
// (wParam: programDirId() of the sender), so that the running one comes to
// the front as its second hot key would bring it. The answer is 1 when it
// did.
UINT foregroundRequestMessage();
// Tells program directories apart by their file identity, so that copies in
// two directories do not take each other for a second start.
WPARAM programDirId();

class TrayController : public Form, public NoteHost, public GlobalHotKeys {
public:
    // Runs the creation steps at once: migration, splash or not, timer,
    // version, hot keys. windowsDirectory is where an old settings file may
    // lie; tests give a directory of their own.
    explicit TrayController(const std::string& windowsDirectory);
    ~TrayController() override;

    // The splash.
    Label creditLine;  // the small credit line above the title
    Label productTitleShadow;
    Label productTitle;  // "Tavelin 2000"
    Label versionLabel;  // "Version:" and the file version
    Label loadingLabel;  // "Wird geladen..."

    PopupMenu trayMenu;
    MenuItem newNoteItem{"newNoteItem", "&neue Notiz erstellen"};
    MenuItem alarmsItem{"alarmsItem", "Alarme ..."};
    MenuItem settingsItem{"settingsItem", "Grundeinstellungen..."};
    MenuItem hiddenNotesItem{"hiddenNotesItem", "unsichtbare Notizen..."};
    MenuItem searchItem{"searchItem", "Notizen durchsuchen ..."};
    MenuItem gatherNotesItem{"gatherNotesItem", "Alle Notizen holen"};
    MenuItem networkNoteItem{"networkNoteItem", "Netzwerk-Notiz erstellen"};
    MenuItem aboutItem{"aboutItem", "&Info über das Programm..."};
    MenuItem restoreBackupItem{"restoreBackupItem", "Sicherung wiederherstellen ..."};
    MenuItem exitItem{"exitItem", "Tavelin b&eenden"};

    TrayIcon trayIcon;
    Timer restoreTimer;
    Timer backupTimer;  // a copy of the notes once a day
    // Note files changed by someone else reach their notes.
    FolderWatch folderWatch;
    HotKey newNoteHotKey;
    HotKey foregroundHotKey;

    // The forms that the main block creates after this one. Until a dialog
    // is attached its menu item stays greyed rather than silently dead.
    void attachAboutBox(AboutBox* box);
    void attachReminder(AlarmReminder* reminder) { reminder_ = reminder; }
    void attachSettingsDialog(Form* dialog);
    void attachHiddenNotesDialog(HiddenNotesDialog* dialog);
    void attachAlarmList(AlarmListDialog* dialog);
    void attachSearchDialog(SearchDialog* dialog);

    // The start-up restore, at the timer's one tick.
    void restoreNotes();
    void showHiddenNotes();
    // Lists the copies of the notes; the one the user picks replaces the
    // notes and settings, after a copy of the current state.
    void restoreBackup();
    void showAlarms();
    // Every shown note cascaded onto the work area of the monitor under the
    // mouse, in the order of their numbers; hidden notes stay hidden.
    void gatherNotes();
    // A note chosen in the list of alarms: shown, a hidden one too, and in
    // front.
    void bringNoteToFront(NoteWindow& note);
    std::vector<NoteWindow*> openNotes() const;
    // Closes at once; a note asks through exitProgram().
    void exitNow();

    // The foreground command: the window that was last active in the
    // program comes to the front if it is visible and enabled, else the
    // topmost shown note; false when nothing is shown.
    bool bringToFront();
    // The front hot key: bringToFront(), else the tray menu.
    void pressForegroundHotKey();

    // NoteHost.
    HWND ownerWindow() const override { return handle(); }
    const std::string& currentNoteName() const override { return currentNoteName_; }
    void setCurrentNoteName(const std::string& name) override { currentNoteName_ = name; }
    SlotTable& slotTable() override { return slots_; }
    NoteWindow& createNoteWindow() override;
    int raiseNoteCounter() override { return ++noteCounter_; }
    void newNote() override;
    void showSettings() override;
    bool settingsAvailable() const override { return settingsDialog_ != nullptr; }
    void showAbout() override;
    void hideNote(NoteWindow& note) override;
    bool hidingAvailable() const override { return hiddenNotesDialog_ != nullptr; }
    NoteWindow* findNote(const std::string& name) const override;
    // Closing ends the program. Posted, because the caller is often a note
    // whose own handler is still running.
    void exitProgram() override;
    void releaseNote(NoteWindow* note) override;
    AlarmReminder* reminder() override { return reminder_; }
    // The tray tip names the next alarm; an open list of alarms follows,
    // soon after.
    void alarmsChanged() override;
    void showSearch() override;
    bool searchAvailable() const override { return searchDialog_ != nullptr; }
    std::string searchQuery() const override;

    // GlobalHotKeys: the settings dialog's "&O.K.".
    void setHotKeys(const std::string& newNoteLetter, const std::string& foregroundLetter) override;

    // The running note counter.
    int noteCounter() const { return noteCounter_; }
    const std::vector<std::unique_ptr<NoteWindow>>& notes() const { return notes_; }
    bool exited() const { return exited_; }

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool onSysCommand(WPARAM command, LPARAM lParam) override;
    void backupDone();
    void replaceNotesWith(const std::string& backupName);
    void onClose(CloseAction& action) override;
    void onEndSession(bool ending) override;

private:
    void start(const std::string& windowsDirectory);
    void checkProgramFolder();
    void settingsUnreadable();
    void tellAtStart(const std::string& text);
    void buildSplash();
    void buildTrayMenu();
    // Both hot keys from their letters; what could not be registered comes
    // back as the text that tells the user, else empty.
    std::string registerHotKeys(const std::string& newNoteLetter,
                                const std::string& foregroundLetter);
    // The stored hot-key texts that name no key, told like a refusal.
    static std::string unusableHotKeys(const IniFile& ini);
    void reportRefusedHotKeys(const std::string& refused);
    NoteWindow& restoreNote(int number);
    void applyStoredState(NoteWindow& note, const IniFile& ini);
    void tooManyNotes();
    void markLeftOverTextsUsed();
    // Saves what the notes hold, destroys their windows (the placement
    // storage writes on the way) and ends the message loop. Runs once. Text
    // that could not be saved keeps the program running unless the user
    // lets it go.
    void orderlyExit();
    bool saveNotesForExit();
    void deleteReleasedNotes();
    void showNextAlarm();
    static LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam);

    std::string currentNoteName_ = "Notiz1";
    SlotTable slots_;
    int noteCounter_ = 0;
    std::vector<std::unique_ptr<NoteWindow>> notes_;
    std::vector<std::unique_ptr<NoteWindow>> released_;
    AboutBox* aboutBox_ = nullptr;
    AlarmReminder* reminder_ = nullptr;
    Form* settingsDialog_ = nullptr;
    HiddenNotesDialog* hiddenNotesDialog_ = nullptr;
    AlarmListDialog* alarmList_ = nullptr;
    SearchDialog* searchDialog_ = nullptr;
    std::string trayTip_;
    bool nextAlarmPosted_ = false;
    bool keepInReachPosted_ = false;
    std::vector<Monitor> layout_;             // the monitors the notes were placed on
    std::string refusedAtStart_;              // told once the message loop runs
    std::vector<std::string> startProblems_;  // so are these
    IconHandle trayImage_;
    HHOOK minimizeHook_ = nullptr;
    bool exited_ = false;
    bool restoreDone_ = false;
    bool folderRefuses_ = false;       // no new file can be made in the program's folder
    bool settingsUnreadable_ = false;  // at start; nothing is restored then
    BackupKeeper backups_;
    bool backupFailureTold_ = false;  // once per run
};

}  // namespace tav
