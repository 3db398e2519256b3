#include "desktop/VersionInfo.h"

#include <windows.h>

#include <vector>

#include "desktop/ShellFiles.h"
#include "desktop/SystemLibrary.h"
#include "desktop/Utf.h"

namespace tav {
namespace {

// version.dll is no DLL that Windows always takes from the system folder:
// loaded from there by full path, not imported.
std::string readFileVersion(const std::wstring& path) {
    static const auto sizeOf = systemFunction<decltype(&GetFileVersionInfoSizeW)>(
        L"version.dll", "GetFileVersionInfoSizeW");
    static const auto read =
        systemFunction<decltype(&GetFileVersionInfoW)>(L"version.dll", "GetFileVersionInfoW");
    static const auto query =
        systemFunction<decltype(&VerQueryValueW)>(L"version.dll", "VerQueryValueW");
    if (!sizeOf || !read || !query) return {};
    DWORD ignored = 0;
    const DWORD size = sizeOf(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<char> block(size);
    if (!read(path.c_str(), 0, size, block.data())) return {};
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    wchar_t root[] = L"\\";
    if (!query(block.data(), root, reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof(VS_FIXEDFILEINFO))
        return {};
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
}

}  // namespace

std::string VersionInfo::fileVersion() {
    const std::wstring path = modulePath();
    return path.empty() ? std::string() : readFileVersion(path);
}

std::string VersionInfo::fileVersionOf(const std::string& path) {
    return readFileVersion(widen(path));
}

}  // namespace tav
