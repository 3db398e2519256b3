// What the note keeps of itself in its section besides its switches: its
// place, size and state, the clock's alarm and the colour. Written when the
// note closes or goes away, read back each time it is shown; the place also
// whenever the user has moved, sized or rolled the note.

#include <algorithm>
#include <vector>

#include "desktop/ErrorBox.h"
#include "desktop/HiTimer.h"
#include "desktop/Monitors.h"
#include "forms/Dpi.h"
#include "note/NoteWindow.h"
#include "store/IniFile.h"
#include "store/IniKeys.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

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

    std::vector<Rect> monitorLayout() const override { return boundsOf(monitors()); }
    int pixelsPerInch() const override { return form_.dpi(); }
    int pixelsPerInchAt(const Rect& rect) const override {
        return dpiAt({rect.left, rect.top, rect.right, rect.bottom});
    }

private:
    WindowState windowState() const {
        if (IsIconic(form_.handle())) return WindowState::Minimized;
        if (IsZoomed(form_.handle())) return WindowState::Maximized;
        return WindowState::Normal;
    }

    NoteWindow& form_;
};

std::unique_ptr<PlacementWindow> NoteWindow::makePlacement(NoteWindow& form) {
    return std::make_unique<Placement>(form);
}

ClockAlarm NoteWindow::clockAlarm() const {
    return {RxClock1.alarmEnabled(), RxClock1.alarmTime()};
}

void NoteWindow::setClockAlarm(const ClockAlarm& alarm) {
    RxClock1.setAlarmEnabled(alarm.enabled);
    RxClock1.setAlarmHour(alarm.time.hour);
    RxClock1.setAlarmMinute(alarm.time.minute);
    RxClock1.setAlarmSecond(alarm.time.second);
}

void NoteWindow::restoreRecord() {
    saved_ = false;
    IniFile ini(iniPath_);
    readPlacement(ini, name(), *placement_);
    restored_ = true;
    setClockAlarm(NoteRecord::alarm(ini, name(), clockAlarm()));
    memo1.setColor(
        static_cast<COLORREF>(NoteRecord::colour(ini, name(), static_cast<int>(memo1.color()))));
    // A note without a stored place would sit in the screen's corner.
    if (left() == 0) setLeft(scale(160));
    if (top() == 0) setTop(scale(160));
    ini.close();
}

// A note that was never shown has nothing to write.
void NoteWindow::saveRecord(bool goingAway) {
    if (!restored_) return;
    IniFile ini(iniPath_);
    writePlacement(ini, name(), *placement_, goingAway);
    NoteRecord::writeAlarmOnClose(ini, name(), clockAlarm());
    NoteRecord::setColour(ini, name(), static_cast<int>(memo1.color()));
    ini.close();
    // Only once the file really has it: a save that failed on close gets
    // another chance when the window is destroyed.
    saved_ = true;
}

void NoteWindow::saveRecordAsItGoes() {
    if (!saved_) saveRecord(true);
}

// Dragging note after note, or a tool that moves many at once, must not
// write the file for every step: the first change starts a short wait, and
// whatever notes changed until it ends go to disk in one write.
class NoteWindow::PlacementBatch {
public:
    static PlacementBatch& instance() {
        // Never destroyed: notes of a test or of the exit may still leave
        // it after static destruction has begun.
        static PlacementBatch* batch = new PlacementBatch;
        return *batch;
    }
    void add(NoteWindow* note) {
        if (std::find(pending_.begin(), pending_.end(), note) == pending_.end())
            pending_.push_back(note);
        if (!timer_.enabled()) timer_.setEnabled(true);
    }
    void remove(NoteWindow* note) { std::erase(pending_, note); }

private:
    static constexpr unsigned kWaitMs = 300;

    PlacementBatch() : timer_(kWaitMs) {
        timer_.onTimer = [this] { write(); };
    }

    void write() {
        timer_.setEnabled(false);
        std::vector<NoteWindow*> notes;
        notes.swap(pending_);
        if (notes.empty()) return;
        try {
            IniWriteHold hold(notes.front()->iniPath_);
            for (NoteWindow* note : notes) {
                IniFile ini(note->iniPath_);
                note->savePlacementNow(ini);
            }
            hold.commit();
        } catch (...) {
            // The close writes the place again and says so if it fails too;
            // one box per run is enough for the writes in between.
            if (!told_) reportCurrentException(nullptr);
            told_ = true;
        }
    }

    Timer timer_;
    std::vector<NoteWindow*> pending_;
    bool told_ = false;
};

void NoteWindow::savePlacementSoon() {
    if (restored_ && visible()) PlacementBatch::instance().add(this);
}

// Not the alarm or the colour: those have their own moments. "Visible" as
// the window shows it, since a power loss is no close.
void NoteWindow::savePlacementNow(IniFile& ini) {
    if (!restored_ || !visible()) return;
    writePlacement(ini, name(), *placement_, true);
}

void NoteWindow::moveTo(const Rect& rect) {
    // A maximised note would keep covering its monitor.
    if (IsZoomed(handle())) ShowWindow(handle(), SW_RESTORE);
    SetWindowPos(handle(), nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOACTIVATE | SWP_NOZORDER);
    savePlacementSoon();
}

void NoteWindow::keepInReach(const std::vector<Monitor>& before, const std::vector<Monitor>& now) {
    // A minimised note's rectangle is the system's parking place, no place
    // of the note's.
    if (!restored_ || !visible() || IsIconic(handle())) return;
    RECT r{};
    GetWindowRect(handle(), &r);
    const Rect at{r.left, r.top, r.right, r.bottom};
    IniFile ini(iniPath_);
    const bool newLayout = layoutSuffix(boundsOf(before)) != layoutSuffix(boundsOf(now));
    // Where the note was when this layout was last seen, in this run or an
    // earlier one: a dock, a projector, a second monitor come back with their
    // notes where the user had put them.
    const std::optional<Rect> back =
        newLayout ? storedLayoutPlace(ini, name(), *placement_) : std::nullopt;
    // The title line begins below the window's border.
    POINT client{0, 0};
    ClientToScreen(handle(), &client);
    const Rect kept = keepTitleInReach(
        back.value_or(at), client.y - r.top + scale(kNoteTitleHeight), workAreasOf(now));
    if (kept == at) {
        // A monitor of another density has rescaled the note: the file must
        // not keep a rectangle that a restore would no longer take.
        const int density = placement_->pixelsPerInch();
        if (ini.readInteger(name(), keys::PixelsPerInch, density) != density) savePlacementSoon();
        ini.close();
        return;
    }
    // The place the note leaves stays its place in the layout that ended.
    if (newLayout) writeLayoutPlace(ini, name(), placement_->placement(), boundsOf(before));
    ini.close();
    if (kept == back) {
        // The stored rectangle is in the pixels of the monitor it was saved
        // on: applied as it stands, not rescaled on the way there.
        WindowPlacement wp = placement_->placement();
        wp.normalPosition = kept;
        wp.showCmd = SW_SHOWNOACTIVATE;
        placement_->setPlacement(wp);
        savePlacementSoon();
    } else {
        moveTo(kept);
    }
}

void NoteWindow::forgetPendingPlacement() { PlacementBatch::instance().remove(this); }

}  // namespace tav
