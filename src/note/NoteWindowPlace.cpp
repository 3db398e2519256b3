// The note window as the placement storage sees it: its placement record,
// the screen, and the five properties that the storage keeps in the note's
// section.

#include <cstring>
#include <stdexcept>
#include <vector>

#include "note/NoteWindow.h"
#include "forms/Dpi.h"

namespace tav {

namespace {

bool sameName(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                          b, -1) == CSTR_EQUAL;
}

constexpr const char* kComponents[] = {"Label1", "ToolBar1", "ToolBar2",   "ToolBar3",
                                       "memo1",  "RxClock1", "PopupMenu1", "PopupMenu2",
                                       "Timer1", "Timer2",   "timer3",     "FormStorage1"};

BOOL CALLBACK collectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& w = info.rcWork;
        reinterpret_cast<std::vector<Rect>*>(data)->push_back({w.left, w.top, w.right, w.bottom});
    }
    return TRUE;
}

std::vector<Rect> workAreas() {
    std::vector<Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &collectWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

// The system keeps the normal rectangle of a top-level window in workspace
// coordinates (relative to its monitor's work area); the file holds screen
// pixels.
POINT workspaceOffset(const RECT& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return {0, 0};
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

}  // namespace

class NoteWindow::Placement : public PlacementWindow {
public:
    explicit Placement(NoteWindow& form) : form_(form) {}

    std::string className() const override { return "NoteWindow"; }
    bool hasHandle() const override { return form_.handle() != nullptr; }

    WindowPlacement placement() const override {
        WINDOWPLACEMENT p{};
        p.length = sizeof p;
        GetWindowPlacement(form_.handle(), &p);
        const POINT offset = workspaceOffset(p.rcNormalPosition);
        RECT r = p.rcNormalPosition;
        OffsetRect(&r, offset.x, offset.y);
        return {static_cast<int>(p.flags),
                static_cast<int>(p.showCmd),
                {p.ptMinPosition.x, p.ptMinPosition.y},
                {p.ptMaxPosition.x, p.ptMaxPosition.y},
                {r.left, r.top, r.right, r.bottom}};
    }

    // A rectangle that no monitor shows any more (one was removed or the
    // screen became smaller) comes back onto the nearest one.
    void setPlacement(const WindowPlacement& wp) override {
        const Rect shown = keepOnScreen(wp.normalPosition, workAreas());
        RECT r{shown.left, shown.top, shown.right, shown.bottom};
        const POINT offset = workspaceOffset(r);
        OffsetRect(&r, -offset.x, -offset.y);
        WINDOWPLACEMENT p{};
        p.length = sizeof p;
        p.flags = static_cast<UINT>(wp.flags);
        p.showCmd = static_cast<UINT>(wp.showCmd);
        p.ptMinPosition = {wp.minPosition.x, wp.minPosition.y};
        p.ptMaxPosition = {wp.maxPosition.x, wp.maxPosition.y};
        p.rcNormalPosition = r;
        form_.applyPlacement(p);
    }

    bool visible() const override { return form_.visible(); }
    Rect bounds() const override {
        RECT r{};
        GetWindowRect(form_.handle(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    bool borderSizeable() const override { return true; }
    bool positionCentred() const override { return false; }
    void setPositionDesigned() override {}

    WindowState windowState() const override {
        if (IsIconic(form_.handle())) return WindowState::Minimized;
        if (IsZoomed(form_.handle())) return WindowState::Maximized;
        return WindowState::Normal;
    }
    void setWindowState(WindowState state) override {
        if (state == windowState()) return;
        const int command = state == WindowState::Minimized   ? SW_SHOWMINNOACTIVE
                            : state == WindowState::Maximized ? SW_MAXIMIZE
                                                              : SW_RESTORE;
        // A window on its way to the screen takes its state once it is there.
        if (form_.visible())
            ShowWindow(form_.handle(), command);
        else
            PostMessageW(form_.handle(), kApplyWindowStateMessage, command, 0);
    }
    void repaint() override { InvalidateRect(form_.handle(), nullptr, TRUE); }

    bool isMainForm() const override { return false; }
    bool applicationMinimized() const override { return false; }
    void minimizeApplication() override {}

    int screenWidth() const override { return GetSystemMetrics(SM_CXSCREEN); }
    int screenHeight() const override { return GetSystemMetrics(SM_CYSCREEN); }
    int pixelsPerInch() const override { return form_.dpi(); }
    int pixelsPerInchAt(const Rect& rect) const override {
        return dpiAt({rect.left, rect.top, rect.right, rect.bottom});
    }

    std::optional<std::string> findComponent(const std::string& name) const override {
        for (const char* component : kComponents) {
            if (sameName(name, component)) return std::string(component);
        }
        return std::nullopt;
    }

    std::optional<PropertyInfo> findProperty(const std::string& component,
                                             const std::string& property) const override {
        if (sameName(component, "RxClock1")) {
            if (sameName(property, "AlarmEnabled"))
                return PropertyInfo{"AlarmEnabled", true, {"False", "True"}};
            for (const char* name : {"AlarmHour", "AlarmMinute", "AlarmSecond"}) {
                if (sameName(property, name)) return PropertyInfo{name, false, {}};
            }
        }
        if (sameName(component, "memo1") && sameName(property, "Color"))
            return PropertyInfo{"Color", false, {}};
        return std::nullopt;
    }

    int propertyValue(const std::string& component, const std::string& property) const override {
        const RxClock& clock = form_.RxClock1;
        if (sameName(component, "memo1")) return static_cast<int>(form_.memo1.color());
        if (sameName(property, "AlarmEnabled")) return clock.alarmEnabled() ? 1 : 0;
        if (sameName(property, "AlarmHour")) return clock.alarmHour();
        if (sameName(property, "AlarmMinute")) return clock.alarmMinute();
        return clock.alarmSecond();
    }

    void setPropertyValue(const std::string& component, const std::string& property,
                          int value) override {
        RxClock& clock = form_.RxClock1;
        if (sameName(component, "memo1")) {
            // Only red, green and blue: anything above is no colour the note
            // can show, and the colour keeps its value, as the clock's
            // values do outside their range.
            if (value < 0 || value > 0x00FFFFFF) throw std::out_of_range("Farbe");
            form_.memo1.setColor(static_cast<COLORREF>(value));
        } else if (sameName(property, "AlarmEnabled"))
            clock.setAlarmEnabled(value != 0);
        else if (sameName(property, "AlarmHour"))
            clock.setAlarmHour(value);
        else if (sameName(property, "AlarmMinute"))
            clock.setAlarmMinute(value);
        else
            clock.setAlarmSecond(value);
    }

private:
    NoteWindow& form_;
};

std::unique_ptr<PlacementWindow> NoteWindow::makePlacement(NoteWindow& form) {
    return std::make_unique<Placement>(form);
}

}  // namespace tav
