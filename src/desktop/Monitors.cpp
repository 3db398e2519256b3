#include "desktop/Monitors.h"

#include <windows.h>

#include <utility>

namespace tav {

namespace {

WorkAreasFunction& override() {
    static WorkAreasFunction f;
    return f;
}

BOOL CALLBACK collectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& w = info.rcWork;
        reinterpret_cast<std::vector<Rect>*>(data)->push_back({w.left, w.top, w.right, w.bottom});
    }
    return TRUE;
}

}  // namespace

std::vector<Rect> workAreas() {
    if (override()) return override()();
    std::vector<Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &collectWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

void setWorkAreasFunction(WorkAreasFunction f) { override() = std::move(f); }

}  // namespace tav
