#pragma once
// Tells the UI thread when files in a folder were written, renamed, made or
// removed, by whoever did it: a sync tool, an editor, the program itself.
// The system's change notification is waited for on a thread of its own; the
// UI thread gets `onChange` through a message window, at most once per
// settling time however many changes come in a burst, so that a file being
// written in pieces is looked at once it is whole.

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "desktop/HiTimer.h"
#include "desktop/MessageWindow.h"

namespace tav {

class FolderWatch {
public:
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Starts watching the folder; false when the system cannot watch it
    // (the watch then just never calls).
    bool watch(const std::string& folder);
    void stop();

    std::function<void()> onChange;

private:
    MessageWindow window_;
    Timer settle_;
    HANDLE change_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    std::thread waiter_;
};

}  // namespace tav
