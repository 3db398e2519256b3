#include "app/InstanceLock.h"

#include <cstdint>
#include <cstdio>

#include "desktop/Utf.h"
#include "store/FileIo.h"

namespace tav {

namespace {

constexpr DWORD kAnswerMs = 2000;
constexpr DWORD kRetryMs = 100;

HANDLE opened(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }

// The holder's process and window as it wrote them; a holder that is still
// starting has written nothing yet.
struct Holder {
    DWORD process = 0;
    HWND window = nullptr;
};

std::optional<Holder> readHolder(const std::wstring& path) {
    KernelHandle file(opened(CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr)));
    char text[64] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), text, sizeof text - 1, &read, nullptr)) return std::nullopt;
    unsigned long process = 0;
    long window = 0;
    if (std::sscanf(text, "%lu %ld", &process, &window) != 2) return std::nullopt;
    // Window handles are 32-bit values that 64-bit Windows sign-extends.
    return Holder{process, reinterpret_cast<HWND>(static_cast<LONG_PTR>(window))};
}

// Only the window the holder named, and only while it belongs to the
// holder's process: one left over from a copy that was ended is no answer.
bool holderTookRequest(const std::wstring& path, UINT request, WPARAM folderId) {
    const auto holder = readHolder(path);
    if (!holder || !IsWindow(holder->window)) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(holder->window, &process);
    if (process != holder->process) return false;
    // We were started by the user, so we may hand the foreground on.
    AllowSetForegroundWindow(holder->process);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(holder->window, request, folderId, 0, SMTO_NORMAL, kAnswerMs,
                               &answer) != 0 &&
           answer == 1;
}

}  // namespace

WPARAM FolderIdentity::id() const {
    // FNV-1a over the volume and the file id.
    std::uint32_t hash = 2166136261u;
    const auto mix = [&hash](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i, value >>= 8) {
            hash ^= static_cast<std::uint8_t>(value);
            hash *= 16777619u;
        }
    };
    mix(volume, 4);
    mix(file, 8);
    return static_cast<WPARAM>(hash);
}

std::optional<FolderIdentity> folderIdentity(const std::string& dir) {
    KernelHandle folder(
        opened(CreateFileW(widen(dir).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !GetFileInformationByHandle(folder.get(), &info)) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

InstanceLock::InstanceLock(const std::string& dir, UINT request, DWORD patienceMs) {
    const auto identity = folderIdentity(dir);
    if (!identity) return;
    const std::wstring path = widen(dir) + kFileName;
    const ULONGLONG deadline = GetTickCount64() + patienceMs;
    for (;;) {
        // Others may read who holds it, but no second copy may hold it.
        file_.reset(opened(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr)));
        if (file_) {
            // What a copy before us wrote is no longer true.
            SetEndOfFile(file_.get());
            state_ = State::Ours;
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) {
            state_ = canCreateFilesIn(dir) ? State::Failed : State::ReadOnly;
            return;
        }
        if (holderTookRequest(path, request, identity->id())) {
            state_ = State::Running;
            return;
        }
        if (GetTickCount64() >= deadline) {
            state_ = State::NotAnswering;
            return;
        }
        Sleep(kRetryMs);
    }
}

void InstanceLock::publish(HWND window) {
    if (!file_) return;
    char text[64];
    const int size = std::snprintf(text, sizeof text, "%lu %ld\r\n", GetCurrentProcessId(),
                                   static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    DWORD written = 0;
    SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN);
    WriteFile(file_.get(), text, static_cast<DWORD>(size), &written, nullptr);
    SetEndOfFile(file_.get());
}

}  // namespace tav
