#pragma once
// The pixel density of the monitors the windows are on. The program declares
// itself per-monitor aware (v2, with the older forms as fallback); where the
// system knows no per-monitor density, every monitor has the system's, as in
// a system-aware program. The functions that came with later systems are
// looked up at run time, so the program still starts on the oldest one.

#include <windows.h>

namespace tav {

// A place on a form: left, top, width and height in 96-dpi figures. Every
// layout of the kit is given in these; the form shows them in the pixels of
// its monitor.
struct LayoutRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const LayoutRect&) const = default;
};

// The density of the system (the primary monitor at log-on).
int systemDpi();
// Of the monitor nearest to a rectangle of the desktop.
int dpiAt(const RECT& screen);
// Of the monitor a window is on. A form of the kit keeps its own record (see
// Form), which its children share; other windows ask the system.
int windowDpi(HWND window);
// Records a form's density on its window for windowDpi to find; 0 takes
// the record away.
void recordDpi(HWND window, int dpi);
// What the system says of the window, whatever the form has recorded.
int systemWindowDpi(HWND window);

// A system metric (SM_CXSMICON ...) at a density.
int systemMetric(int index, int dpi);
// What the frame of a window of this style adds to its client area at dpi.
SIZE frameSizeFor(DWORD style, DWORD exStyle, int dpi);

// A child's place in the parent's client pixels. An edge on the parent's
// client edge stays exactly on it (see edgeToDpi).
RECT deviceRect(HWND parent, const LayoutRect& place);
// Moves a child window to its place. A child that is there already is left
// alone: a move, even to the same place, costs a control a new arrangement
// of its content.
void placeChild(HWND child, const LayoutRect& place);

}  // namespace tav
