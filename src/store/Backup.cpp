#include "store/Backup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

constexpr char kSettingsName[] = "Tavelin.ini";
constexpr char kHiddenNotesName[] = "uns.ini";
// An interrupted copy keeps this ending; the next copy clears it away.
constexpr char kUnfinished[] = ".unfertig";
constexpr long long kWeekMs = 7LL * 24 * 60 * 60 * 1000;
constexpr int kTitlesShown = 3;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A note's own text file, "Notiz<n>.tvn"; a kept conflict version is not one.
bool isNoteText(const std::string& name) {
    const std::string n = lower(name);
    if (!n.starts_with("notiz") || !n.ends_with(".tvn") || n.size() <= 9) return false;
    return std::all_of(n.begin() + 5, n.end() - 4, [](char c) { return c >= '0' && c <= '9'; });
}

bool isProgramFile(const std::string& name) {
    const std::string n = lower(name);
    if (n == lower(kSettingsName) || n == lower(kHiddenNotesName)) return true;
    return n.size() > 9 && n.starts_with("notiz") && n.ends_with(".tvn");
}

std::string backupRoot(const std::string& programDir) {
    return programDir + kBackupFolder + std::string(1, kPathSeparators[0]);
}

std::string backupDir(const std::string& programDir, const std::string& name) {
    return backupRoot(programDir) + name + std::string(1, kPathSeparators[0]);
}

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw FileError(what + ": " + path);
}

void makeFolder(const std::string& path) {
    if (!makeDirectory(path)) fail("Der Ordner kann nicht angelegt werden", path);
}

// A copy's folder holds files only. Best effort: what stays is cleared by
// the next copy.
void removeFolder(const std::string& path) {
    const std::string dir =
        kPathSeparators.find(path.back()) == std::string_view::npos ? path + kPathSeparators[0] : path;
    if (const auto names = filesIn(dir))
        for (const std::string& name : *names) deleteFile(dir + name);
    removeEmptyDirectory(dir);
}

FileSet readFilesIn(const std::string& dir, bool programFilesOnly) {
    FileSet files;
    const auto names = filesIn(dir);
    if (!names) fail("Der Ordner kann nicht gelesen werden", dir);
    for (const std::string& name : *names) {
        if (programFilesOnly && !isProgramFile(name)) continue;
        if (auto bytes = readWholeFile(dir + name)) files.emplace_back(name, std::move(*bytes));
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::string backupName(const DateTime& m) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d%02d%02d", m.date.year, m.date.month,
                  m.date.day, m.time.hour, m.time.minute, m.time.second);
    return text;
}

std::optional<DateTime> backupMoment(std::string_view name) {
    if (name.size() != 17 || name[4] != '-' || name[7] != '-' || name[10] != '_')
        return std::nullopt;
    auto number = [&](std::size_t from, std::size_t count) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (name[i] < '0' || name[i] > '9') return std::nullopt;
            value = value * 10 + (name[i] - '0');
        }
        return value;
    };
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const auto hour = number(11, 2), minute = number(13, 2), second = number(15, 2);
    if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
    DateTime moment{{*year, *month, *day}, {*hour, *minute, *second}};
    if (!isValidDate(moment.date) || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return moment;
}

std::vector<std::string> backupsToDrop(std::vector<std::string> names, const DateTime& now) {
    std::erase_if(names, [](const std::string& n) { return !backupMoment(n); });
    // The names sort as their moments do.
    std::sort(names.rbegin(), names.rend());
    std::vector<std::string> dropped;
    bool weekKept[kWeeklyBackupsKept] = {};
    const long long nowMs = timeline(now);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i < static_cast<std::size_t>(kBackupsKept)) continue;
        const long long age = nowMs - timeline(*backupMoment(names[i]));
        const long long week = age < 0 ? -1 : age / kWeekMs;
        if (week >= 0 && week < kWeeklyBackupsKept && !weekKept[week]) {
            weekKept[week] = true;
            continue;
        }
        dropped.push_back(names[i]);
    }
    return dropped;
}

FileSet readProgramFiles(const std::string& programDir) { return readFilesIn(programDir, true); }

std::vector<std::string> listBackups(const std::string& programDir) {
    std::vector<std::string> names;
    for (const std::string& name : directoriesIn(backupRoot(programDir)).value_or(std::vector<std::string>{}))
        if (backupMoment(name)) names.push_back(name);
    std::sort(names.rbegin(), names.rend());
    return names;
}

FileSet readBackup(const std::string& programDir, const std::string& name) {
    return readFilesIn(backupDir(programDir, name), false);
}

std::optional<std::string> writeBackup(const std::string& programDir, const FileSet& files,
                                       const DateTime& now) {
    const std::vector<std::string> existing = listBackups(programDir);
    if (!existing.empty() && readBackup(programDir, existing.front()) == files) return std::nullopt;

    makeFolder(backupRoot(programDir));
    // Two copies in one second (a restore right after the start) each get
    // a name of their own.
    DateTime moment = now;
    std::string name = backupName(moment);
    while (std::find(existing.begin(), existing.end(), name) != existing.end() ||
           fileExists(backupRoot(programDir) + name)) {
        moment = fromTimeline(timeline(moment) + 1000);
        name = backupName(moment);
    }

    const std::string unfinished = backupRoot(programDir) + name + kUnfinished;
    try {
        makeFolder(unfinished);
        for (const auto& [file, bytes] : files)
            writeFileAtomically(unfinished + kPathSeparators[0] + file, bytes);
        if (!renameDirectory(unfinished, backupDir(programDir, name)))
            fail("Der Ordner kann nicht umbenannt werden", unfinished);
    } catch (...) {
        removeFolder(unfinished);
        throw;
    }

    std::vector<std::string> all = existing;
    all.push_back(name);
    for (const std::string& old : backupsToDrop(all, now)) removeFolder(backupDir(programDir, old));
    for (const std::string& leftover : directoriesIn(backupRoot(programDir)).value_or(std::vector<std::string>{})) {
        if (leftover.ends_with(kUnfinished) && leftover != name + kUnfinished &&
            backupMoment(leftover.substr(0, leftover.size() - std::size(kUnfinished) + 1)))
            removeFolder(backupRoot(programDir) + leftover);
    }
    return name;
}

BackupSummary describeBackup(const std::string& programDir, const std::string& name) {
    BackupSummary summary{name, backupMoment(name).value_or(DateTime{}), 0, {}};
    const std::string path = backupDir(programDir, name) + kSettingsName;
    if (!fileExists(path)) return summary;
    IniFile ini(path);
    for (int number = 1; number <= kMaxNotes; ++number) {
        const std::string note = noteName(number);
        if (!NoteRecord::restoredAtStart(ini, note)) continue;
        ++summary.notes;
        if (summary.titles.size() < kTitlesShown)
            summary.titles.push_back(stripTrailingBlanks(NoteRecord::title(ini, note)));
    }
    return summary;
}

void restoreProgramFiles(const std::string& programDir, const FileSet& files) {
    for (const auto& [file, bytes] : files) writeFileAtomically(programDir + file, bytes);
    const auto present = filesIn(programDir);
    if (!present) fail("Der Ordner kann nicht gelesen werden", programDir);
    for (const std::string& name : *present) {
        const bool kept = std::any_of(files.begin(), files.end(),
                                      [&](const auto& f) { return lower(f.first) == lower(name); });
        const bool replaced = lower(name) == lower(kSettingsName) ||
                              lower(name) == lower(kHiddenNotesName) || isNoteText(name);
        if (replaced && !kept && !deleteFile(programDir + name))
            fail("Die Datei kann nicht gelöscht werden", programDir + name);
    }
}

}  // namespace tav
