#include <windows.h>

#include <algorithm>

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

std::optional<std::string> readWholeFile(const std::string& path) {
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
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) throw readError(path);
        if (n == 0) return bytes;
        bytes.append(buffer, n);
    }
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    // A name of our own, never an existing file: a second copy of the program
    // writing at the same moment must not share the temporary file.
    static unsigned counter = 0;
    std::wstring temp;
    HANDLE raw = INVALID_HANDLE_VALUE;
    for (int attempt = 0; raw == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        temp = toWide(path + "." + std::to_string(::GetCurrentProcessId()) + "." +
                      std::to_string(++counter) + ".tmp");
        raw = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (raw == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    Handle file(raw);
    if (!file.valid()) throw writeError(path);
    const bool written = writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get());
    if (!file.closeChecked() || !written ||
        !::MoveFileExW(temp.c_str(), toWide(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        throw writeError(path);
    }
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

}  // namespace tav
