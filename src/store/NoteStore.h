#pragma once
// Where the program's files live, how notes are named and numbered, and the
// typed accessors of the settings file's records. Every handler opens an
// IniFile on settingsPath(), uses the accessors below and closes it again.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "store/AlarmTime.h"
#include "store/IniFile.h"

namespace tav {

inline constexpr int kMaxNotes = 50;
// The sizes a note window can be given by dragging.
inline constexpr int kMinNoteWidth = 20;
inline constexpr int kMinNoteHeight = 21;
inline constexpr int kMaxNoteWidth = 768;
inline constexpr int kMaxNoteHeight = 1024;

// The directory of the running executable, with its trailing separator. Set
// once at start; tests point it at a temporary directory.
void setProgramDir(std::string dirWithTrailingSeparator);
const std::string& programDir();

std::string settingsPath();  // Tavelin.ini
std::string unsIniPath();    // uns.ini, the hidden-notes list
std::string alarmWavPath();  // alarm.wav

std::string noteName(int number);  // "Notiz" + number
// The digits that follow "Notiz"; 0 when there are none or the name is no
// note name.
int noteNumber(const std::string& name);
std::string noteTextPath(const std::string& noteName);  // <dir><name>.tvn

// An old settings file in the Windows directory is taken over only when the
// program directory has none of its own.
bool needsMigration(const std::string& windowsIni, const std::string& programIni);

// Removes the temporary files that writes of the program's own files
// (settings, hidden notes, note texts) left in the program directory when
// they were cut off. Only while no other copy runs in that directory.
void removeLeftoverTemporaryFiles();

// Which note numbers are in use during this run. Not stored: the start-up
// restore marks every note it brings back.
class SlotTable {
public:
    // Says whether a number must not be given to a new note although its
    // entry is free (its record in the settings file is active).
    using Unavailable = std::function<bool(int number)>;

    // The lowest free number that is not unavailable; 0 when there is none
    // (a note above 50 would never come back at the next start).
    int lowestFree(const Unavailable& unavailable = {}) const;
    // The same, now marked used.
    int takeLowestFree(const Unavailable& unavailable = {});
    void markUsed(int number);
    void markFree(int number);
    bool isUsed(int number) const;
    // Used entries from number 1 up to the first free one.
    int firstFreeRunLength() const;

private:
    std::array<bool, kMaxNotes> used_{};
};

// The numbers whose records are active, for SlotTable: a new note must not
// take one of them, even before the start-up restore has brought it back.
SlotTable::Unavailable activeRecords(const IniFile& ini);

inline constexpr char kNewNoteFontName[] = "Courier new";
// The settings dialog offers this while the key is missing.
inline constexpr char kDialogFontName[] = "Arial";

// Section "Settings".
struct SettingsKeys {
    static int notizanzahl(const IniFile& ini);
    static void setNotizanzahl(IniFile& ini, int count);
    static bool firstrun(const IniFile& ini);
    static void setFirstrun(IniFile& ini, bool on);
    static bool startscreen(const IniFile& ini);
    static void setStartscreen(IniFile& ini, bool on);
    static bool showmenu(const IniFile& ini);
    static void setShowmenu(IniFile& ini, bool on);
    static bool wordwrap(const IniFile& ini);
    static void setWordwrap(IniFile& ini, bool on);
    static std::string standardFontName(const IniFile& ini,
                                        const std::string& def = kNewNoteFontName);
    static void setStandardFontName(IniFile& ini, const std::string& name);
    static int standardFontSize(const IniFile& ini);
    static void setStandardFontSize(IniFile& ini, int points);
    static std::string hotkeyNeu(const IniFile& ini);
    static void setHotkeyNeu(IniFile& ini, const std::string& letter);
    static std::string hotkeyVordergrund(const IniFile& ini);
    static void setHotkeyVordergrund(IniFile& ini, const std::string& letter);
    // The stored text when it names no key (it gives no hot key), for the
    // start to name to the user.
    static std::optional<std::string> unusableHotkeyNeu(const IniFile& ini);
    static std::optional<std::string> unusableHotkeyVordergrund(const IniFile& ini);
};

inline constexpr char kDefaultNoteTitle[] = "Tavelin2000 Notiz";
inline constexpr int kDefaultRestoreSize = 240;
inline constexpr int kYellow = 0x0000FFFF;

// The clock's alarm as the note's record holds it.
struct ClockAlarm {
    bool enabled = false;
    TimeOfDay time;
    bool operator==(const ClockAlarm&) const = default;
};

// A note's own section, named by its note name. Its placement keys are
// NotePlacement's.
struct NoteRecord {
    static bool active(const IniFile& ini, const std::string& note);
    // Whether the start-up restore brings the note back: "active" is true,
    // or it holds something that is no number. Such a record is the user's
    // own writing; taking it for "0" would delete the note's text.
    static bool restoredAtStart(const IniFile& ini, const std::string& note);
    static void setActive(IniFile& ini, const std::string& note, bool on);
    // The stored title-line text, its protecting quotes already removed.
    static std::string title(const IniFile& ini, const std::string& note);
    // Quoted, so that the title line's trailing blanks survive the reader.
    static void setTitle(IniFile& ini, const std::string& note, const std::string& titleLine);
    static bool buttonBarsShown(const IniFile& ini, const std::string& note);
    static void setButtonBarsShown(IniFile& ini, const std::string& note, bool on);
    static bool wordWrap(const IniFile& ini, const std::string& note);
    static void setWordWrap(IniFile& ini, const std::string& note, bool on);
    static void setWordWrapOnClose(IniFile& ini, const std::string& note, bool on);
    static bool rolledUp(const IniFile& ini, const std::string& note);
    static void setRolledUp(IniFile& ini, const std::string& note, bool on);
    static int restoreHeight(const IniFile& ini, const std::string& note);
    static void setRestoreHeight(IniFile& ini, const std::string& note, int height);
    static bool titleLineShown(const IniFile& ini, const std::string& note);
    static void setTitleLineShown(IniFile& ini, const std::string& note, bool on);
    static bool clockShown(const IniFile& ini, const std::string& note);
    static void setClockShown(IniFile& ini, const std::string& note, bool on);
    // Short-date text; the caller knows today's date in that format.
    static std::string alarmDate(const IniFile& ini, const std::string& note,
                                 const std::string& today);
    static void setAlarmDate(IniFile& ini, const std::string& note, const std::string& date);
    // `alarm` is the alarm as set, from which a series without a start counts.
    static AlarmSeries alarmSeries(const IniFile& ini, const std::string& note,
                                   const DateTime& alarm);
    // A one-time alarm leaves no key behind.
    static void setAlarmSeries(IniFile& ini, const std::string& note, const AlarmSeries& series);

    // The alarm and the colour are written when the note closes or goes
    // away, after its placement, and read back each time it is shown. What
    // the file holds in a form or range the note cannot take leaves the
    // value given.
    static ClockAlarm alarm(const IniFile& ini, const std::string& note, ClockAlarm current);
    static void writeAlarmOnClose(IniFile& ini, const std::string& note, const ClockAlarm& alarm);
    // The alarm is also written at once whenever it changes, so that neither
    // a crash nor a note shown again (which re-reads it) loses or revives an
    // alarm; the alarm editor has always spelt the switch "true"/"false"
    // there, the close "True"/"False".
    static void writeAlarm(IniFile& ini, const std::string& note, const ClockAlarm& alarm);
    static int colour(const IniFile& ini, const std::string& note, int current);
    static void setColour(IniFile& ini, const std::string& note, int colour);

    // A note that takes the number of a note deleted during this run finds
    // its inactive section. It keeps the place and size left there for it,
    // but nothing of the old note's own: alarm, title, roll-up, clock, bars
    // and word wrap go.
    static void startFresh(IniFile& ini, const std::string& note);
};

// uns.ini records each hiding of a note, under the note's title line.
struct HiddenNotesRecord {
    static void setHidden(IniFile& uns, const std::string& titleLine, const std::string& note);
    static void setShownAgain(IniFile& uns, const std::string& titleLine);
};

std::string stripTrailingBlanks(const std::string& title);
// The title line shows the title with two blanks of margin. Blanks already
// at its end are dropped first, so that the margin does not grow by two with
// every restart or title edit.
std::string titleLineText(const std::string& title);

// Deletes every file in the pattern's directory whose name matches its last
// part (? and * wildcards), except names beginning with "." and directories.
// Stops at the first file that cannot be deleted. True only when something
// matched and every match went.
bool deleteFiles(const std::string& pattern);

}  // namespace tav
