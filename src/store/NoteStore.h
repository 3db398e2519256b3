#pragma once
// Where the program's files live, how notes are named and numbered, and the
// keys of the settings file. Every handler opens an IniFile on settingsPath(),
// uses the accessors below and closes it again.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "store/AlarmTime.h"
#include "store/IniFile.h"

namespace tav {

inline constexpr int kMaxNotes = 50;
// The heights a note window can be given by dragging.
inline constexpr int kMinNoteHeight = 21;
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

// Section "Settings".
inline constexpr char kSettingsSection[] = "Settings";
inline constexpr char kNewNoteFontName[] = "Courier new";
// The settings dialog offers this while the key is missing.
inline constexpr char kDialogFontName[] = "Arial";

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

// A note's own section, named by its note name.
inline constexpr char kDefaultNoteTitle[] = "Tavelin2000 Notiz";
inline constexpr int kDefaultRestoreSize = 240;
inline constexpr int kYellow = 0x0000FFFF;
// Written by the placement storage; the alarm editor also writes "true" into
// the first directly, and the alarm reads the second.
inline constexpr char kAlarmEnabledKey[] = "RxClock1_AlarmEnabled";
inline constexpr char kMemoColorKey[] = "memo1_Color";

struct NoteKeys {
    static bool active(const IniFile& ini, const std::string& note);
    // Whether the start-up restore brings the note back: "active" is true,
    // or it holds something that is no number. Such a record is the user's
    // own writing; taking it for "0" would delete the note's text.
    static bool restoredAtStart(const IniFile& ini, const std::string& note);
    static void setActive(IniFile& ini, const std::string& note, bool on);
    // The stored title-line text, its protecting quotes already removed.
    static std::string notizTitel(const IniFile& ini, const std::string& note);
    // Quoted, so that the title line's trailing blanks survive the reader.
    static void setNotizTitel(IniFile& ini, const std::string& note, const std::string& titleLine);
    static bool buttonbar(const IniFile& ini, const std::string& note);
    static void setButtonbar(IniFile& ini, const std::string& note, bool on);
    static bool wordwrap(const IniFile& ini, const std::string& note);
    static void setWordwrap(IniFile& ini, const std::string& note, bool on);
    // The close query has always spelt it "Wordwrap"; a new file keeps that.
    static void setWordwrapOnClose(IniFile& ini, const std::string& note, bool on);
    static bool minimiert(const IniFile& ini, const std::string& note);
    static void setMinimiert(IniFile& ini, const std::string& note, bool on);
    static int restoresize(const IniFile& ini, const std::string& note);
    static void setRestoresize(IniFile& ini, const std::string& note, int height);
    static bool titelleiste(const IniFile& ini, const std::string& note);
    static void setTitelleiste(IniFile& ini, const std::string& note, bool on);
    static bool showclock(const IniFile& ini, const std::string& note);
    static void setShowclock(IniFile& ini, const std::string& note, bool on);
    // Short-date text; the caller knows today's date in that format.
    static std::string alarmdatum(const IniFile& ini, const std::string& note,
                                  const std::string& today);
    static void setAlarmdatum(IniFile& ini, const std::string& note, const std::string& date);
    static int memoColor(const IniFile& ini, const std::string& note);
    // The armed flag (as the alarm editor has always written it, "true" or
    // "false") and the alarm time, written at once whenever they change, so
    // that neither a crash nor a note shown again (which re-reads them)
    // loses or revives an alarm.
    static void setAlarm(IniFile& ini, const std::string& note, bool enabled,
                         const TimeOfDay& time);
    // A note that takes the number of a note deleted during this run finds
    // its inactive section. It keeps the place and size left there for it,
    // but nothing of the old note's own: alarm, title, roll-up, clock, bars
    // and word wrap go.
    static void startFresh(IniFile& ini, const std::string& note);
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
