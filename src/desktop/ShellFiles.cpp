#include "desktop/ShellFiles.h"

#include <shellapi.h>

#include "desktop/Utf.h"

namespace tav {
std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool shellCopy(const std::string& from, const std::string& to) {
    // The shell takes lists of names ended by an empty name: two NULs.
    std::wstring source = widen(from);
    std::wstring target = widen(to);
    source.append(2, L'\0');
    target.append(2, L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_COPY;
    op.pFrom = source.c_str();
    op.pTo = target.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

std::string exeDirectory() {
    const std::wstring path = modulePath();
    const size_t slash = path.find_last_of(L"\\/");
    return narrow(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}

std::string windowsDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    std::wstring dir(buffer, length <= MAX_PATH ? length : 0);
    while (dir.size() > 3 && dir.back() == L'\\') dir.pop_back();
    return narrow(dir);
}

bool shellOpen(HWND owner, const std::string& target) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace tav
