#pragma once
// One note window. The tray controller creates it (after setting the current
// note name, which the window takes as its name) and applies the note's
// record through the public methods below. Components and handlers are
// public, as a form's components are: the tray controller, the alarm windows
// and the tests reach them by name.
//
// NoteWindow.cpp       life cycle, modes, the commands of the window itself
// NoteWindowLayout.cpp controls, menus, tool bars and their layout
// NoteWindowPlace.cpp  the window as the placement storage sees it
// NoteWindowText.cpp   text and format commands
// NoteWindowAlarm.cpp  the alarm: editor, ringing, answer, overdue check

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/Controls.h"
#include "forms/Form.h"
#include "desktop/HiTimer.h"
#include "forms/Menu.h"
#include "forms/RichEdit98.h"
#include "forms/RxClock.h"
#include "desktop/WavePlayer.h"
#include "store/AlarmTime.h"
#include "store/FormPlacement.h"

namespace tav {

class IniFile;
class NoteHost;
class OverdueAlarm;

// Colours of the title line: view mode and edit mode.
inline constexpr COLORREF kTitleViewColor = 2674653;
inline constexpr COLORREF kTitleEditColor = 255;

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
    void savePlacementForExit() { FormStorage1.onDestroy(); }
    bool rolledUp() const { return Label1.tag == 1; }

    // Runs after the window was destroyed through postRelease (deleting the
    // note); the owner may delete this object there.
    std::function<void(NoteWindow&)> OnReleased;

    // ---- Components
    Label Label1;  // title line; its tag is the roll-up flag
    ButtonStrip ToolBar3;  // drawn on the title line
    SpeedButton SpeedButton17, SpeedButton18;
    ToolBar ToolBar2;  // edit bar
    SpeedButton SpeedButton10, SpeedButton16, SpeedButton20, SpeedButton7, SpeedButton8,
        SpeedButton9, SpeedButton13, SpeedButton11, aufz1, linksb, zentr, rechtsb, SpeedButton12,
        SpeedButton14;
    ToolBar ToolBar1;  // view bar
    SpeedButton SpeedButton6, SpeedButton1, SpeedButton5, SpeedButton3, SpeedButton2, SpeedButton4,
        SpeedButton19, SpeedButton15;
    RichEdit98 memo1;
    RxClock RxClock1;

    PopupMenu PopupMenu1;  // view mode
    MenuItem NotizEigenschaften1, NotizTitel1, Alarm1, Uhrsichtbar1, Zeilenumbruch1, Immersichtbar1,
        Menleistesichtbar1, Titelleistesichtbar1, MemoFarbe1, Notizunsichtbar1, Bearbeiten1,
        Notizdrucken1, Notizlschen1, Text1, allesmarkieren1, kopieren1, neue1, N2, ImportExport1,
        Notizexport1, Notizimportieren1, Grundeinstellungen1, Info1, N3, Tavelinbeenden1;
    PopupMenu PopupMenu2;  // edit mode
    MenuItem Buttonleisteaktiv1, Textaktionen1, speichern1, kopieren2, ausschneiden1, einfgen1,
        Text2, Objekt1, allesmarkieren2, N1, rckgngig1, Formatoptionen1, Schrift2, Schrifteffekte1,
        NotizFarbe1, Zeilenumbruch2, Notizlschen2;

    HiTimer timer3;  // taskbar keeper, runs in view mode
    WavePlayer alarmplay;

    // ---- Handlers of the window's own commands
    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void FormStorage1RestorePlacement();
    // The start-up ticks: 1 colour, 2 alarm, clock and text. Posted, not
    // timed: they run as soon as creation is over and before the first
    // paint, so that a note is drawn once, with its text, not empty first.
    void Timer1Timer();
    void Timer2Timer();
    bool startupTicksDone() const { return startupTicks_ == 0; }
    void timer3Timer();
    void Bearbeiten1Click();    // enter edit mode
    void speichern1Click();     // save and enter view mode
    void Notizlschen1Click();   // delete, after asking
    void SpeedButton18Click();  // roll up / restore
    void Titelleistesichtbar1Click();
    void Menleistesichtbar1Click();
    void Buttonleisteaktiv1Click();
    void Uhrsichtbar1Click();
    void Immersichtbar1Click();
    void NotizTitel1Click();  // the title prompt; the tray controller calls it for new notes
    void neue1Click();
    void Grundeinstellungen1Click();
    void Info1Click();
    void Tavelinbeenden1Click();
    // Saves as a close does, then hides into the hidden-notes list.
    void Notizunsichtbar1Click();

    // ---- Text and format commands (NoteWindowText.cpp)
    void kopieren1Click();
    void ausschneiden1Click();
    void Text2Click();
    void Objekt1Click();
    void allesmarkieren1Click();
    void rckgngig1Click();
    void Schrift2Click();
    void Schrifteffekte1Click();
    void MemoFarbe1Click();
    void linksbClick();
    void zentrClick();
    void rechtsbClick();
    void aufz1Click();
    void memo1SelectionChange();
    void Zeilenumbruch1Click();
    void Notizdrucken1Click();
    void memo1URLClick(const std::string& link);
    void Notizexport1Click();
    void Notizimportieren1Click();

    // ---- Alarm (NoteWindowAlarm.cpp)
    void Alarm1Click();  // the editor; also the two alarm buttons
    void RxClock1Alarm(const DateTime& previous, const DateTime& now);
    // The alarm date held while the program runs.
    const Date& alarmDate() const { return alarmDate_; }
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
    // The window as the placement storage sees it (NoteWindowPlace.cpp).
    class Placement;
    friend class Placement;
    static std::unique_ptr<PlacementWindow> makePlacement(NoteWindow& form);
    // A window state restored while the window is still hidden, applied
    // once it is shown.
    static constexpr UINT kApplyWindowStateMessage = WM_USER + 0x210;
    static constexpr UINT kStartupTickMessage = WM_USER + 0x211;  // wParam: 1 or 2
    void configurePlacement();

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

    // NoteWindowAlarm.cpp
    DateTime now() const;
    void readAlarmDate(const IniFile& ini);
    void checkOverdueAlarm(IniFile& ini);
    void answerReminder(const std::optional<DateTime>& repeat);
    void disarm();

    NoteHost& host_;
    std::string iniPath_;
    PopupMenu* memoMenu_ = &PopupMenu1;
    bool built_ = false;
    bool sizing_ = false;      // inside the user's move/size loop
    bool textUnread_ = false;  // the text file was there but could not be read
    int startupTicks_ = 2;     // start-up ticks still to come
    std::unique_ptr<PlacementWindow> placement_;
    std::unique_ptr<TextDialogs, TextDialogsDeleter> textDialogs_;
    Date alarmDate_;
    std::unique_ptr<OverdueAlarm> overdue_;
    // Lets the reminder's answer find out whether this note still exists.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

public:
    FormStorage FormStorage1;
};

}  // namespace tav
