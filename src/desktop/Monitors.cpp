#include "desktop/Monitors.h"

#include <windows.h>

#include <utility>

namespace tav {

namespace {

MonitorsFunction& override() {
    static MonitorsFunction f;
    return f;
}

Rect toRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<Monitor>*>(data)->push_back(
            {toRect(info.rcMonitor), toRect(info.rcWork)});
    }
    return TRUE;
}

}  // namespace

std::vector<Monitor> monitors() {
    if (override()) return override()();
    std::vector<Monitor> found;
    EnumDisplayMonitors(nullptr, nullptr, &collectMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.empty()) {
        const Rect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT work{};
        const bool known = SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        found.push_back({screen, known ? toRect(work) : screen});
    }
    return found;
}

std::vector<Rect> boundsOf(const std::vector<Monitor>& monitors) {
    std::vector<Rect> rects;
    for (const Monitor& m : monitors) rects.push_back(m.bounds);
    return rects;
}

std::vector<Rect> workAreasOf(const std::vector<Monitor>& monitors) {
    std::vector<Rect> rects;
    for (const Monitor& m : monitors) rects.push_back(m.workArea);
    return rects;
}

void setMonitorsFunction(MonitorsFunction f) { override() = std::move(f); }

}  // namespace tav
