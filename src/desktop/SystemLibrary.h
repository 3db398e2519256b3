#pragma once
// DLLs loaded at run time come from the system folder, never from the
// program's folder or the search path: the program runs from folders others
// can write to.

#include <windows.h>

namespace tav {

// The first thing the program does: DLLs it or the system load on its behalf
// are looked for in the system folder only. Where the system lacks that
// setting (Windows 7 without its update), the current directory at least
// drops out of the search; loadSystemLibrary's full paths do the rest.
void restrictDllSearch();

// Loads the named DLL from the system folder by its full path; null when
// it is not there.
HMODULE loadSystemLibrary(const wchar_t* name);

// A function of a DLL of the system folder; null when either is missing.
FARPROC systemProcedure(const wchar_t* library, const char* procedure);

// The same as a pointer of the function's own type F.
template <class F>
F systemFunction(const wchar_t* library, const char* procedure) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(systemProcedure(library, procedure)));
}

}  // namespace tav
