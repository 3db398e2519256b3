#include "forms/DialogKeys.h"

#include <algorithm>
#include <vector>

namespace tav {

namespace {

std::vector<HWND>& windows() {
    static std::vector<HWND> list;
    return list;
}

}  // namespace

void addDialogKeys(HWND window) {
    if (window != nullptr &&
        std::find(windows().begin(), windows().end(), window) == windows().end())
        windows().push_back(window);
}

void removeDialogKeys(HWND window) { std::erase(windows(), window); }

bool translateDialogKeys(MSG& msg) {
    if (msg.hwnd == nullptr) return false;
    for (HWND window : windows()) {
        if (!IsWindowVisible(window)) continue;
        if (msg.hwnd != window && !IsChild(window, msg.hwnd)) continue;
        return IsDialogMessageW(window, &msg) != 0;
    }
    return false;
}

}  // namespace tav
