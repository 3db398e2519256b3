#pragma once
// One running copy per program folder. The folder counts by its file
// identity, not by the spelling of its path, so that a short name, a mapped
// drive or a link to it gives no second copy. The copy that runs holds a lock
// file in the folder open and writes into it where its tray window is; a
// second start asks that one window, and no other, to bring the notes to the
// front. A named object anyone could create first decides nothing.

#include <windows.h>

#include <optional>
#include <string>

#include "desktop/Handle.h"

namespace tav {

struct FolderIdentity {
    DWORD volume = 0;
    ULONGLONG file = 0;
    bool operator==(const FolderIdentity&) const = default;
    // Short enough to travel as a message's wParam on 32-bit Windows.
    WPARAM id() const;
};

// The identity of the folder (which ends with its separator); nullopt when
// the system cannot say.
std::optional<FolderIdentity> folderIdentity(const std::string& dir);

class InstanceLock {
public:
    enum class State {
        Ours,          // this copy runs; publish() its window once it has one
        Running,       // the copy that runs took the request
        NotAnswering,  // a copy holds the folder, but did not answer in time
        ReadOnly,      // the folder takes no new file, so nothing is saved there
        Failed,        // the lock file cannot be made or the folder not known
    };

    static constexpr wchar_t kFileName[] = L"Tavelin.lock";
    // Long enough for a copy to start or for one that was ended to go.
    static constexpr DWORD kPatienceMs = 15000;

    // Takes the lock of the folder (which ends with its separator), or asks
    // the copy that holds it with the registered message request (wParam:
    // the folder's id(); the answer 1 means taken). A holder that has no
    // window yet, has just been ended or is ending itself is waited for.
    InstanceLock(const std::string& dir, UINT request, DWORD patienceMs = kPatienceMs);

    State state() const { return state_; }
    // Tells later starts which window to ask.
    void publish(HWND window);

private:
    KernelHandle file_;
    State state_ = State::Failed;
};

}  // namespace tav
