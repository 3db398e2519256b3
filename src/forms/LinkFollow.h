#pragma once
// A click on a link in note text, in every window that shows it: the one
// link decision, its question, then the shell.

#include <windows.h>

#include <functional>
#include <string>

namespace tav {

void followLink(HWND owner, const std::string& link, const std::string& shown);

// What followLink hands to the system; tests put in fakes. An empty member
// means the real thing.
struct LinkShell {
    // A yes/no question; true for yes.
    std::function<bool(HWND owner, const std::string& question)> ask;
    std::function<void(HWND owner, const std::string& target)> open;
    // Opens the folder of path with the file selected.
    std::function<void(HWND owner, const std::string& path)> showInFolder;
};
extern LinkShell linkShell;

}  // namespace tav
