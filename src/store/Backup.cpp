#include "store/Backup.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

namespace tav {

namespace fs = std::filesystem;

namespace {

constexpr char kSettingsName[] = "Tavelin.ini";
constexpr char kHiddenNotesName[] = "uns.ini";
// An interrupted copy keeps this ending; the next copy clears it away.
constexpr char kUnfinished[] = ".unfertig";
constexpr long long kWeekMs = 7LL * 24 * 60 * 60 * 1000;
constexpr int kTitlesShown = 3;

fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

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

void makeDirectory(const std::string& path) {
    std::error_code error;
    fs::create_directory(pathOf(path), error);
    if (error) fail("Der Ordner kann nicht angelegt werden", path);
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
    std::error_code error;
    for (fs::directory_iterator it(pathOf(backupRoot(programDir)), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = utf8Of(it->path().filename());
        if (it->is_directory(error) && backupMoment(name)) names.push_back(name);
    }
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

    makeDirectory(backupRoot(programDir));
    // Two copies in one second (a restore right after the start) each get
    // a name of their own.
    DateTime moment = now;
    std::string name = backupName(moment);
    while (std::find(existing.begin(), existing.end(), name) != existing.end() ||
           fs::exists(pathOf(backupDir(programDir, name)))) {
        moment = fromTimeline(timeline(moment) + 1000);
        name = backupName(moment);
    }

    const std::string unfinished = backupRoot(programDir) + name + kUnfinished;
    std::error_code ignored;
    try {
        makeDirectory(unfinished);
        for (const auto& [file, bytes] : files)
            writeFileAtomically(unfinished + kPathSeparators[0] + file, bytes);
        std::error_code error;
        fs::rename(pathOf(unfinished), pathOf(backupDir(programDir, name)), error);
        if (error) fail("Der Ordner kann nicht umbenannt werden", unfinished);
    } catch (...) {
        fs::remove_all(pathOf(unfinished), ignored);
        throw;
    }

    std::vector<std::string> all = existing;
    all.push_back(name);
    for (const std::string& old : backupsToDrop(all, now))
        fs::remove_all(pathOf(backupDir(programDir, old)), ignored);
    for (fs::directory_iterator it(pathOf(backupRoot(programDir)), ignored), end;
         !ignored && it != end; it.increment(ignored)) {
        const std::string leftover = utf8Of(it->path().filename());
        if (leftover.ends_with(kUnfinished) && leftover != name + kUnfinished &&
            backupMoment(leftover.substr(0, leftover.size() - std::size(kUnfinished) + 1)))
            fs::remove_all(it->path(), ignored);
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
