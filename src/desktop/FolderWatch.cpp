#include "desktop/FolderWatch.h"

#include "desktop/Utf.h"

namespace tav {

namespace {

constexpr UINT kChanged = WM_APP + 1;
constexpr unsigned kSettleMs = 500;

}  // namespace

FolderWatch::FolderWatch() : settle_(kSettleMs) {
    window_.onMessage = [this](UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == kChanged && !settle_.enabled()) settle_.setEnabled(true);
        return 0;
    };
    settle_.onTimer = [this] {
        settle_.setEnabled(false);
        if (auto handler = onChange) handler();
    };
}

FolderWatch::~FolderWatch() { stop(); }

bool FolderWatch::watch(const std::string& folder) {
    stop();
    change_ = FindFirstChangeNotificationW(
        widen(folder).c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change_ == INVALID_HANDLE_VALUE) return false;
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HWND target = window_.hwnd();
    waiter_ = std::thread([change = change_, stopEvent = stop_, target] {
        const HANDLE handles[] = {stopEvent, change};
        while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            PostMessageW(target, kChanged, 0, 0);
            if (!FindNextChangeNotification(change)) return;
        }
    });
    return true;
}

void FolderWatch::stop() {
    if (waiter_.joinable()) {
        SetEvent(stop_);
        waiter_.join();
    }
    if (change_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change_);
    change_ = INVALID_HANDLE_VALUE;
    if (stop_ != nullptr) CloseHandle(stop_);
    stop_ = nullptr;
    settle_.setEnabled(false);
}

}  // namespace tav
