#pragma once
// One note window. The tray controller creates it (after setting the current
// note name, which the window takes as its name) and applies the note's
// record through the public methods below. Components and handlers are
// public, as a form's components are: the tray controller, the alarm windows
// and the tests reach them by name.
//
// NoteWindow.cpp       life cycle, modes, the commands of the window itself
// NoteWindowLayout.cpp controls, menus, tool bars and their layout
// NoteWindowPlace.cpp  place, size, alarm time and colour in the note's record
// NoteWindowText.cpp   text and format commands
// NoteWindowAlarm.cpp  the alarm: editor, ringing, answer, overdue check

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/HiTimer.h"
#include "desktop/WavePlayer.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Menu.h"
#include "forms/RichEdit98.h"
#include "forms/RxClock.h"
#include "store/AlarmTime.h"
#include "store/NotePlacement.h"

namespace tav {

struct ClockAlarm;
class IniFile;
struct Monitor;
class NoteHost;
class OverdueAlarm;

// Colours of the title line: view mode and edit mode.
inline constexpr COLORREF kTitleViewColor = 2674653;
inline constexpr COLORREF kTitleEditColor = 255;
// The title line's height in the note's layout units.
inline constexpr int kNoteTitleHeight = 13;

class NoteWindow : public Form {
public:
    // Takes host.currentNoteName() as its name, writes "active" = 1 into the
    // note's section and starts its start-up ticks. Created hidden and owned
    // by host.ownerWindow(); the caller shows it.
    explicit NoteWindow(NoteHost& host);
    ~NoteWindow() override;

    // ---- Applying the note's record (start-up restore, new note, import)
    // The stored title ("NotizTitel"): trailing blanks dropped, two blanks of
    // margin added; it becomes the title line's text and hint.
    void setTitle(const std::string& storedTitle);
    // "Buttonbar" false, or "Showmenu" false for a new note: both bars hidden,
    // "Menüleiste sichtbar" unchecked, "Edit-Buttonleiste aktivieren" offered.
    void hideButtonBars();
    // "wordwrap": no scroll bars and both "Zeilenumbruch" items checked, or
    // both scroll bars and unchecked. Writes nothing.
    void setWordWrap(bool on);
    // "minimiert" true: rolled up to the title line, restore symbol and hint.
    void showRolledUp();
    // "titelleiste" false: title line and its small bar hidden, unchecked.
    void hideTitleBar();
    // What every new note records, made empty or imported: the raised note
    // counter as "Notizanzahl", the default bars ("Showmenu") and word wrap
    // ("wordwrap") of the settings, and its own record marked active.
    void recordNewNote(IniFile& ini, int noteCounter);
    // Edit mode: writable text, edit menu and bar, red title line.
    void enterEditMode();
    // View mode: read-only text, view menu and bar, title line colour.
    void enterViewMode();
    // Font name and size of the text typed next ("Standardfontname",
    // "Standardfontsize" for a new note).
    void setStandardFont(const std::string& name, int sizePoints);

    bool inEditMode() const;
    // The title as the user gave it, without the title line's margin.
    std::string title() const;
    // At the end of the program: a note still in edit mode saves its text as
    // the save command would, so typed text is never lost.
    void saveOnExit();
    // At the end of the program: the placement as the window's destruction
    // writes it, while the window stays until the process ends.
    void savePlacementForExit() { saveRecordAsItGoes(); }
    bool rolledUp() const { return rolledUp_; }
    // A match found by the search: the note rolled down and the text
    // selected (UTF-8 byte positions in memo1.text()).
    void selectText(std::size_t offset, std::size_t length);
    // F3: the next place after the selection where a word of the last
    // search occurs, from the start again after the last one.
    void findNext();
    // Moved and sized by the program rather than the user (gathering the
    // notes, a monitor that went away); the file gets the new place soon.
    void moveTo(const Rect& rect);
    // After the monitors changed: a shown note goes back to its place in
    // the new layout where the file keeps one, and one without a grip of its
    // title line on any work area moves onto the nearest one.
    void keepInReach(const std::vector<Monitor>& before, const std::vector<Monitor>& now);
    // The note's text file was changed by someone else since the note read
    // or wrote it: a note without edits of its own shows the new text; one
    // with edits asks, and the version the user does not take is kept
    // beside it (NoteWindowOutside.cpp).
    void checkOutsideChange();

    // Runs after the window was destroyed through postRelease (deleting the
    // note); the owner may delete this object there.
    std::function<void(NoteWindow&)> OnReleased;

    // ---- Components
    Label titleLine;
    ButtonStrip titleButtons;  // drawn over the title line's left end
    SpeedButton titleDeleteButton, rollUpButton;
    ToolBar editBar;
    SpeedButton saveButton, editDeleteButton, editAlarmButton, editCopyButton, cutButton,
        pasteButton, objectButton, fontButton, bulletButton, alignLeftButton, alignCenterButton,
        alignRightButton, noteColourButton, highlightButton;
    ToolBar viewBar;
    SpeedButton newNoteButton, editButton, alarmButton, deleteButton, printButton, copyButton,
        barsOffButton, exitButton;
    RichEdit98 memo1;
    RxClock RxClock1;

    PopupMenu viewMenu;
    MenuItem propertiesItem, titleItem, alarmItem, clockItem, wordWrapItem, stayOnTopItem,
        buttonBarsItem, titleLineItem, noteColourItem, hideItem, editItem, printItem, deleteItem,
        textItem, selectAllItem, copyItem, newNoteItem, importSeparator, importExportItem,
        exportItem, importItem, settingsItem, aboutItem, exitSeparator, exitItem, searchItem;
    PopupMenu editMenu;
    MenuItem showEditBarItem, textActionsItem, saveItem, editCopyItem, cutItem, pasteItem,
        pasteTextItem, pasteObjectItem, editSelectAllItem, undoSeparator, undoItem, formatItem,
        fontItem, highlightItem, editNoteColourItem, editWordWrapItem, editDeleteItem;

    // Keeps the note off the taskbar once a save has returned to view mode.
    HiTimer taskbarKeeper;
    WavePlayer alarmSound;

    // ---- Commands of the window itself
    // The start-up ticks are posted, not timed: they run as soon as creation
    // is over and before the first paint, so that a note is drawn once, with
    // its text, not empty first.
    bool startupTicksDone() const { return startupTicks_ == 0; }
    void saveAndEnterViewMode();
    void deleteNoteWithConfirmation();
    void toggleRollUp();
    void toggleTitleLine();
    void toggleButtonBars();
    void showEditBar();
    void toggleClock();
    void toggleStayOnTop();
    // The title prompt; the tray controller asks it for every new note.
    void askForTitle();
    // Saves as a close does, then hides into the hidden-notes list.
    void hideIntoList();

    // ---- Text and format commands (NoteWindowText.cpp)
    void editFont();
    void editHighlight();
    void editNoteColour();
    void toggleBullets();
    void showParagraphFormat();
    void toggleWordWrap();
    void exportNote();
    void importNote();

    // ---- Alarm (NoteWindowAlarm.cpp)
    void editAlarm();
    void ringAlarm(const DateTime& previous, const DateTime& now);
    // The alarm date held while the program runs.
    const Date& alarmDate() const { return alarmDate_; }
    const AlarmSeries& alarmSeries() const { return series_; }
    // The moment the alarm rings next; nothing while it is off.
    std::optional<DateTime> armedAlarm() const;
    // "Alarm aus" in the list of alarms: off, and written at once.
    void switchAlarmOff();
    // The overdue window of this note's first appearance, if there was one.
    OverdueAlarm* overdueAlarm() const { return overdue_.get(); }

protected:
    void createParams(DWORD& style, DWORD& exStyle) override;
    bool handleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool closeQuery() override;
    void onDestroy() override;
    void onReleased() override;
    void onShow(bool shown) override;
    void onSize(int clientWidth, int clientHeight) override;
    LRESULT onNcHitTest(POINT screen, LRESULT defaultResult) override;
    void onGetMinMaxInfo(MINMAXINFO& info) override;
    bool onNcRButtonUp(int hitTest, POINT screen) override;

private:
    // NoteWindowPlace.cpp
    class Placement;
    friend class Placement;
    static std::unique_ptr<PlacementWindow> makePlacement(NoteWindow& form);
    ClockAlarm clockAlarm() const;
    void setClockAlarm(const ClockAlarm& alarm);
    void restoreRecord();
    // "Visible" is "1" when the save runs as the window goes away.
    void saveRecord(bool goingAway);
    // Unless a close has saved since the note was last shown.
    void saveRecordAsItGoes();
    // Moves, resizes, rolling and "stay on top" reach the file a moment
    // after they end, together with every other note's of the same burst,
    // so that a power loss does not lose an hour of arranging.
    void savePlacementSoon();
    void savePlacementNow(IniFile& ini);
    void forgetPendingPlacement();
    class PlacementBatch;
    friend class PlacementBatch;
    // A window state restored while the window is still hidden, applied
    // once it is shown.
    static constexpr UINT kApplyWindowStateMessage = WM_USER + 0x210;
    static constexpr UINT kStartupTickMessage = WM_USER + 0x211;  // wParam: 1 or 2
    // Tick 2: the alarm as the record gave it, the clock and the text.
    void finishStartup();
    void keepOffTaskbar();

    // NoteWindowLayout.cpp
    void buildControls();
    void buildViewBar();
    void buildEditBar();
    void buildTitleBar();
    void buildViewMenu();
    void buildEditMenu();
    void layout();
    struct LayoutKey {
        int width, height, dpi;
        bool title, editBar, viewBar, clock;
        bool operator==(const LayoutKey&) const = default;
    };
    LayoutKey laidOut_{};
    PopupMenu& memoMenu() { return *memoMenu_; }
    bool memoKeyDown(UINT vk);

    // NoteWindow.cpp
    void setTitleColor(COLORREF color);
    // The window's colour is the text's; the clock follows the window.
    void takeColorFromText();
    void showClockFromRecord(IniFile& ini);
    // A file that cannot be read is reported once and then left alone.
    void loadText();
    // False when the user chose not to replace a file that could not be
    // read: nothing is written and the note stays in edit mode.
    bool saveText();
    void deleteNote();
    void unroll(int restoreSize);

    // NoteWindowText.cpp: set-up of the text control that the text
    // commands rely on, and the dialogs' state kept between uses.
    struct TextDialogs;
    struct TextDialogsDeleter {
        void operator()(TextDialogs* p) const;
    };
    void initTextCommands();

    // NoteWindowOutside.cpp: what the text file looked like when the note
    // last read or wrote it.
    struct TextStamp {
        unsigned long long written = 0;
        unsigned long long size = 0;
        bool exists = false;
        bool operator==(const TextStamp&) const = default;
    };
    static TextStamp stampOf(const std::string& path);
    void rememberTextStamp();
    void keepOutsideVersion(const std::string& content);
    TextStamp textStamp_;

    // NoteWindowAlarm.cpp
    DateTime now() const;
    void readAlarmRecord(const IniFile& ini);
    // The series' next moment after `after`, armed and its date written; a
    // one-time alarm is disarmed.
    void armNextOrDisarm(IniFile& ini, const DateTime& after);
    // The bell and hint of the title line, and the word to the host.
    void showAlarmState();
    void checkOverdueAlarm(IniFile& ini);
    void answerReminder(const DateTime& rung, const std::optional<DateTime>& repeat);
    void disarm();

    NoteHost& host_;
    std::string iniPath_;
    PopupMenu* memoMenu_ = &viewMenu;
    bool built_ = false;
    bool sizing_ = false;      // inside the user's move/size loop
    bool textUnread_ = false;  // the text file was there but could not be read
    bool deleted_ = false;     // its number is freed when the window goes
    int startupTicks_ = 2;     // start-up ticks still to come
    bool rolledUp_ = false;
    bool restored_ = false;  // the record was read since the window was made
    bool saved_ = false;     // and written since it was last read
    std::unique_ptr<PlacementWindow> placement_;
    std::unique_ptr<TextDialogs, TextDialogsDeleter> textDialogs_;
    Date alarmDate_;
    AlarmSeries series_;
    // The alarm moment that rang in this run: it never rings twice.
    std::optional<DateTime> rung_;
    std::unique_ptr<OverdueAlarm> overdue_;
    // Lets the reminder's answer find out whether this note still exists.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tav
