#pragma once
// Copies of the settings, the hidden-notes list and every note text in
// "Sicherung\<JJJJ-MM-TT_hhmmss>\" beside the program, and the way back to
// one of them. A copy is written under a temporary name and renamed when it
// is complete, so a folder with a proper name always holds a whole copy.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/AlarmTime.h"

namespace tav {

inline constexpr char kBackupFolder[] = "Sicherung";
// How many of the newest copies always stay, and for how many weeks before
// them one copy a week stays.
inline constexpr int kBackupsKept = 10;
inline constexpr int kWeeklyBackupsKept = 8;

// The files a copy holds, by name, in name order.
using FileSet = std::vector<std::pair<std::string, std::string>>;

std::string backupName(const DateTime& moment);  // "2026-12-09_171500"
std::optional<DateTime> backupMoment(std::string_view name);

// The copies to delete at `now`, given the names of all copies: the newest
// kBackupsKept stay, and of the others the newest of each of the
// kWeeklyBackupsKept weeks before now. Names that are no copy's are left out.
std::vector<std::string> backupsToDrop(std::vector<std::string> names, const DateTime& now);

// "Tavelin.ini", "uns.ini" and every "Notiz*.tvn" of the program directory
// (which ends with its separator). Throws FileError for one that exists but
// cannot be read.
FileSet readProgramFiles(const std::string& programDir);

// The names of the complete copies, newest first.
std::vector<std::string> listBackups(const std::string& programDir);
FileSet readBackup(const std::string& programDir, const std::string& name);

// Writes the files as a new copy named for `now`, unless the newest copy
// holds exactly these files, then deletes the copies that the rotation drops
// and whatever an interrupted copy left behind. Returns the new copy's name,
// or nothing when nothing changed. Throws FileError; what was there stays.
std::optional<std::string> writeBackup(const std::string& programDir, const FileSet& files,
                                       const DateTime& now);

// What the list of copies shows of one: how many notes it holds and the
// first titles.
struct BackupSummary {
    std::string name;
    DateTime moment;
    int notes = 0;
    std::vector<std::string> titles;
};
BackupSummary describeBackup(const std::string& programDir, const std::string& name);

// Puts the copy's files in place (each written whole) and removes the
// settings, hidden-notes list and note texts that the copy does not have;
// other files, kept conflict versions among them, stay. Throws FileError.
void restoreProgramFiles(const std::string& programDir, const FileSet& files);

}  // namespace tav
