#pragma once
// Whole-file reads and crash-safe whole-file writes. Paths are UTF-8. The
// operating-system half lives in FileIoPosix.cpp (host) and
// platform/FileIoWin.cpp (Windows), so the rest of the store stays portable.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tav {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's bytes; nullopt when nothing exists at path. Throws FileError
// when something exists but cannot be read (a directory, no permission).
std::optional<std::string> readWholeFile(const std::string& path);

// Writes bytes to a temporary file in the same directory, forces it to disk
// and renames it over path. On any failure the temporary file is removed,
// the old file stays as it was, and FileError is thrown.
void writeFileAtomically(const std::string& path, std::string_view bytes);

bool fileExists(const std::string& path);

// Deletes the one file at path (no directories). True when it is gone.
bool deleteFile(const std::string& path);

}  // namespace tav
