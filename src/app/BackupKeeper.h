#pragma once
// Keeps the rotating copies of the notes. The files are read on the window
// thread, where the program's own writes happen, so a copy never catches a
// half-made change; writing the copy and rotating the old ones runs on a
// thread of its own, so that fifty large notes do not hold up the windows.

#include <windows.h>

#include <future>
#include <string>

namespace tav {

class BackupKeeper {
public:
    BackupKeeper() = default;
    // Waits for a copy that is still being written.
    ~BackupKeeper();
    BackupKeeper(const BackupKeeper&) = delete;
    BackupKeeper& operator=(const BackupKeeper&) = delete;

    // Takes the files as they are now and writes the copy in the
    // background; `done` is posted to `notify` when it is over. A copy that
    // is still running is left to finish and no second one starts. A file
    // that cannot be read is the copy's failure, told through finish().
    void start(HWND notify, UINT done);
    // After `done`, or to wait for the copy that runs: the failure in German,
    // empty when the copy was written or nothing had changed.
    std::string finish();
    // The copy of the current state made before a restore, written at once.
    // Empty, or the failure.
    std::string copyNow();

private:
    std::future<std::string> running_;
};

// The text that tells the user a copy failed and what to do.
std::string backupFailureText(const std::string& reason);

}  // namespace tav
