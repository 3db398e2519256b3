#pragma once
// Shell file services. Paths are UTF-8.

#include <windows.h>

#include <string>

namespace tav {

// Copies one file (replacing the target) without any dialog, confirmation
// or error box of the shell. False when the copy failed.
bool shellCopy(const std::string& from, const std::string& to);

// Full path of the running executable; empty when the system cannot say.
std::wstring modulePath();

// Directory of the running executable with its trailing backslash.
std::string exeDirectory();

// The system's Windows directory, without a trailing backslash.
std::string windowsDirectory();

// Opens target (a link, a file) with the verb "open", shown normally. False
// when the shell could not open it; the shell shows its own error where it has one.
bool shellOpen(HWND owner, const std::string& target);

}  // namespace tav
