#include <windows.h>

#include <algorithm>
#include <new>

#include "store/FileIo.h"

namespace tav {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid()) ::CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    HANDLE get() const { return h_; }
    bool closeChecked() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

FileError readError(const std::string& path) {
    return FileError(path + " kann nicht gelesen werden");
}

FileError writeError(const std::string& path) {
    return FileError("nach " + path + " kann nicht geschrieben werden");
}

bool isNotFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool writeAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path, std::size_t maxBytes) {
    const std::wstring wide = toWide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (isNotFound(::GetLastError())) return std::nullopt;
        throw readError(path);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw readError(path);
    Handle file(::CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        if (isNotFound(::GetLastError())) return std::nullopt;
        throw readError(path);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) throw readError(path);
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        throw fileTooLarge(path, maxBytes);
    try {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
        char buffer[65536];
        for (;;) {
            DWORD n = 0;
            if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) throw readError(path);
            if (n == 0) return bytes;
            // The file may grow while it is read.
            if (bytes.size() + n > maxBytes) throw fileTooLarge(path, maxBytes);
            bytes.append(buffer, n);
        }
    } catch (const std::bad_alloc&) {
        throw noMemoryFor(path);
    }
}

namespace {

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                          nullptr, nullptr);
    return utf8;
}

// A link (a symbolic link of Windows, or one of the file system underneath
// Wine) is followed to the file it names: the write replaces that file and
// leaves the link in place.
std::string linkTarget(const std::string& path) {
    Handle file(::CreateFileW(toWide(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return path;
    std::wstring final(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return path;
        if (n < final.size()) {
            final.resize(n);
            return toUtf8(final);
        }
        final.resize(n);
    }
}

bool mayBeReplaced(const std::wstring& path) {
    Handle file(::CreateFileW(path.c_str(), DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() || ::GetLastError() != ERROR_SHARING_VIOLATION;
}

// What the user set on the old file goes onto the new one before it takes
// the old one's place: the attributes that mean something to the user and
// the access rights. ReplaceFileW would do that too, but Wine's moves the
// old file away before it moves the new one in: a program killed in between
// would leave no file at all. A rename over the old file is one step on both
// systems. What cannot be carried over is no reason to lose the user's text.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A security descriptor with the access rights only, as bytes.
template <class Get>
std::string accessRights(Get get) {
    DWORD size = 0;
    get(nullptr, 0, &size);
    std::string rights(size, '\0');
    if (size == 0 || !get(rights.data(), size, &size)) return {};
    return rights;
}

void keepWhatTheUserSet(const std::wstring& old, DWORD attributes, HANDLE file) {
    FILE_BASIC_INFO info{};
    const DWORD kept = attributes & kKeptAttributes;
    info.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
    ::SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info);
    // Only rights of the user's own go over: a new file has its folder's
    // anyway, and Wine, which makes rights up from the Linux permissions,
    // would not turn a copy of ordinary ones back into the same permissions.
    const std::string oldRights = accessRights([&](void* sd, DWORD size, DWORD* needed) {
        return ::GetFileSecurityW(old.c_str(), DACL_SECURITY_INFORMATION, sd, size, needed);
    });
    const std::string newRights = accessRights([&](void* sd, DWORD size, DWORD* needed) {
        return ::GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, sd, size, needed);
    });
    if (!oldRights.empty() && oldRights != newRights)
        ::SetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION,
                                  const_cast<char*>(oldRights.data()));
}

}  // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = linkTarget(path);
    const std::wstring targetWide = toWide(target);
    const DWORD old = ::GetFileAttributesW(targetWide.c_str());
    const bool replacing = old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY);
    // A file the user made read-only is not replaced behind their back, and
    // one that another program holds open without letting it go cannot be:
    // asked first, so that no temporary file is made in vain.
    if (replacing && ((old & FILE_ATTRIBUTE_READONLY) || !mayBeReplaced(targetWide)))
        throw writeError(path);

    // A name of our own, never an existing file: a second copy of the program
    // writing at the same moment must not share the temporary file.
    static unsigned counter = 0;
    std::wstring temp;
    HANDLE raw = INVALID_HANDLE_VALUE;
    for (int attempt = 0; raw == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temp = toWide(temporaryFileName(target, ::GetCurrentProcessId(), ++counter));
        raw = ::CreateFileW(temp.c_str(), GENERIC_WRITE | WRITE_DAC, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (raw == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    Handle file(raw);
    if (!file.valid()) throw writeError(path);
    bool done = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    if (done && replacing) keepWhatTheUserSet(targetWide, old, file.get());
    done = file.closeChecked() && done;
    if (done && !::MoveFileExW(temp.c_str(), targetWide.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        // A file that another program keeps open, letting it be deleted (a
        // virus scanner, a backup tool), refuses a rename over it; the
        // system's replace can still put the new one in its place.
        const DWORD error = ::GetLastError();
        done = replacing && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
               ::ReplaceFileW(targetWide.c_str(), temp.c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    }
    if (!done) {
        ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temp.c_str());
        throw writeError(path);
    }
}

bool canCreateFilesIn(const std::string& directory) {
    const std::wstring probe =
        toWide(temporaryFileName(directory + "Tavelin.ini", ::GetCurrentProcessId(), 0));
    Handle file(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid() || ::GetLastError() == ERROR_FILE_EXISTS;
}

bool fileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool deleteFile(const std::string& path) {
    const std::wstring wide = toWide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return isNotFound(::GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return ::DeleteFileW(wide.c_str()) || isNotFound(::GetLastError());
}

namespace {

std::optional<std::vector<std::string>> entriesIn(const std::string& directory, bool directories) {
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileExW(toWide(directory + "*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        // Only a drive's empty root has not even "." and "..".
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>();
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directories)
            names.push_back(toUtf8(name));
    } while (::FindNextFileW(find, &found));
    const bool complete = ::GetLastError() == ERROR_NO_MORE_FILES;
    ::FindClose(find);
    if (!complete) return std::nullopt;
    return names;
}

// Some calls refuse a directory named with its closing separator.
std::wstring directoryName(std::string path) {
    while (path.size() > 1 && kPathSeparators.find(path.back()) != std::string_view::npos)
        path.pop_back();
    return toWide(path);
}

}  // namespace

std::optional<std::vector<std::string>> filesIn(const std::string& directory) {
    return entriesIn(directory, false);
}

std::optional<std::vector<std::string>> directoriesIn(const std::string& directory) {
    return entriesIn(directory, true);
}

bool makeDirectory(const std::string& path) {
    const std::wstring wide = directoryName(path);
    if (::CreateDirectoryW(wide.c_str(), nullptr)) return true;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool renameDirectory(const std::string& from, const std::string& to) {
    return ::MoveFileExW(directoryName(from).c_str(), directoryName(to).c_str(), 0) != FALSE;
}

bool removeEmptyDirectory(const std::string& path) {
    const std::wstring wide = directoryName(path);
    return ::RemoveDirectoryW(wide.c_str()) || isNotFound(::GetLastError());
}

std::string absolutePath(const std::string& path) {
    const std::wstring wide = toWide(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return path;
        if (n < full.size()) {
            full.resize(n);
            return toUtf8(full);
        }
        full.resize(n);
    }
}

}  // namespace tav
