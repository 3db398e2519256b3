#include "desktop/SystemLibrary.h"

#include <delayimp.h>

#include <string>

namespace tav {

void restrictDllSearch() {
    // Resolved at run time: a static import of it would stop the program
    // from starting where it is missing. kernel32 is always loaded.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

HMODULE loadSystemLibrary(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    // The DLL's own imports are looked for beside it, in the system folder.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC systemProcedure(const wchar_t* library, const char* procedure) {
    const HMODULE module = loadSystemLibrary(library);
    return module ? GetProcAddress(module, procedure) : nullptr;
}

}  // namespace tav

namespace {

// The delay-load helper asks before it loads a DLL by its bare name: it gets
// the system folder's copy instead, also where the search is not restricted.
FARPROC WINAPI delayLoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary || info == nullptr) return nullptr;
    std::wstring name;
    for (const char* c = info->szDll; *c != '\0'; ++c) name += static_cast<wchar_t>(*c);
    return reinterpret_cast<FARPROC>(tav::loadSystemLibrary(name.c_str()));
}

}  // namespace

// The helper's own hook variables, defined here so that it finds this hook.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = delayLoadFromSystemFolder;
PfnDliHook __pfnDliFailureHook2 = nullptr;
}
