#pragma once
// Whole-file reads and crash-safe whole-file writes. Paths are UTF-8. The
// operating-system half lives in FileIoPosix.cpp (host) and
// FileIoWin.cpp (Windows), so the rest of the store stays portable.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the program reads of its files at most. A larger file is refused,
// not read: a note of 64 MB is far beyond any note typed by hand, and the
// settings file and the sound come nowhere near theirs.
inline constexpr std::size_t kMaxNoteBytes = 64u << 20;
inline constexpr std::size_t kMaxSettingsBytes = 16u << 20;
inline constexpr std::size_t kMaxSoundBytes = 8u << 20;

// A file beyond the limit of its kind, or one the memory does not hold. The
// text names the file, says what to do, and is shown as it stands.
class FileTooLarge : public FileError {
public:
    using FileError::FileError;
};

inline FileTooLarge fileTooLarge(const std::string& path, std::size_t maxBytes) {
    return FileTooLarge("Die Datei " + path + " ist größer als " +
                        std::to_string(maxBytes >> 20) +
                        " MB und wird nicht gelesen. Sie bleibt unverändert; "
                        "verkleinern oder entfernen Sie sie.");
}

inline FileTooLarge noMemoryFor(const std::string& path) {
    return FileTooLarge("Für die Datei " + path +
                        " reicht der Arbeitsspeicher nicht. Sie bleibt unverändert; "
                        "schließen Sie andere Programme und versuchen Sie es erneut.");
}

// The file's bytes; nullopt when nothing exists at path. Throws FileError
// when something exists but cannot be read (a directory, no permission),
// FileTooLarge when it holds more than maxBytes or does not fit in memory.
std::optional<std::string> readWholeFile(const std::string& path,
                                         std::size_t maxBytes = kMaxNoteBytes);

// Writes bytes to a temporary file in the same directory, forces it to disk
// and renames it over path. On any failure the temporary file is
// removed, the old file stays as it was, and FileError is thrown. What the
// user set on the old file stays: its attributes and permissions, and a link
// stays a link (the file it points to is the one replaced). A read-only file
// is not written.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// The temporary file of a write to path: "<path>.<process id>.<n>.tmp". Only
// a write that was cut off (power lost, process killed) leaves one behind.
inline std::string temporaryFileName(const std::string& path, unsigned long processId, unsigned n) {
    return path + "." + std::to_string(processId) + "." + std::to_string(n) + ".tmp";
}

// For a directory entry named like a temporary file, the name of the file it
// was written for; nullopt for any other name.
inline std::optional<std::string> temporaryFileOwner(std::string_view name) {
    constexpr std::string_view kSuffix = ".tmp";
    if (!name.ends_with(kSuffix)) return std::nullopt;
    name.remove_suffix(kSuffix.size());
    for (int part = 0; part < 2; ++part) {
        const auto dot = name.rfind('.');
        if (dot == std::string_view::npos || dot + 1 == name.size()) return std::nullopt;
        for (char c : name.substr(dot + 1)) {
            if (c < '0' || c > '9') return std::nullopt;
        }
        name = name.substr(0, dot);
    }
    return std::string(name);
}

// Whether a new file can be created in the directory (which ends with its
// separator). Leaves nothing behind.
bool canCreateFilesIn(const std::string& directory);

bool fileExists(const std::string& path);

// Deletes the one file at path (no directories). True when it is gone.
bool deleteFile(const std::string& path);

// What separates a path's parts on this system.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr std::string_view kPathSeparators = "/";
#endif

// The names of the files in the directory (which ends with its separator),
// sub-directories left out; nullopt when it cannot be read to the end.
std::optional<std::vector<std::string>> filesIn(const std::string& directory);
// The same for the sub-directories, "." and ".." left out.
std::optional<std::vector<std::string>> directoriesIn(const std::string& directory);

// Directories, for the copies of the notes. A closing separator is allowed.
// True when the directory exists afterwards.
bool makeDirectory(const std::string& path);
// Renames a directory; false when the target exists or it cannot be done.
bool renameDirectory(const std::string& from, const std::string& to);
// Removes an empty directory. True when it is gone.
bool removeEmptyDirectory(const std::string& path);

// The path against the working directory, with "." and ".." resolved and a
// closing separator kept; the path as given when that cannot be done.
std::string absolutePath(const std::string& path);

}  // namespace tav
