#pragma once
// A note window's place, size and state in its section of the settings file:
// written when the note closes or goes away, read back each time it is
// shown. The window itself is reached through PlacementWindow, so the rules
// here run without a real window.

#include <optional>
#include <string>
#include <vector>

namespace tav {

class IniFile;

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

// The system's window-placement record.
struct WindowPlacement {
    int flags = 0;
    int showCmd = 0;
    Point minPosition;
    Point maxPosition;
    Rect normalPosition;
};

enum class WindowState { Normal, Minimized, Maximized };

class PlacementWindow {
public:
    virtual ~PlacementWindow() = default;

    virtual WindowPlacement placement() const = 0;
    virtual void setPlacement(const WindowPlacement& placement) = 0;
    virtual bool visible() const = 0;
    virtual Rect bounds() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void repaint() = 0;

    // The rectangles of the monitors attached now: the layout whose keys a
    // save writes and a restore looks for first.
    virtual std::vector<Rect> monitorLayout() const = 0;
    // The density of the monitor the window is on; a save writes it.
    virtual int pixelsPerInch() const = 0;
    // The density of the monitor that would show this rectangle of the
    // desktop. A stored rectangle is in the pixels of the monitor it was
    // saved on and is applied only where the density is the same.
    virtual int pixelsPerInchAt(const Rect& rect) const = 0;
};

// What a key names the monitor layout by, appended without a blank. One
// monitor gives its size, "(1024x768)", as the files have always had it;
// several give each one's size, and where it is not at the origin its
// place: "(1024x768+1280x1024@1024,0)". The monitor at the origin comes
// first, the others by place, whatever order the system lists them in.
std::string layoutSuffix(const std::vector<Rect>& monitors);

// "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos" and "NormPos" (each with
// the monitor layout appended, then plain), then "Visible": "1" when the save
// runs as the window goes away.
void writePlacement(IniFile& ini, const std::string& section, const PlacementWindow& window,
                    bool goingAway);
// The stored rectangle, where it is one a note can have at this density,
// then the stored state. What is missing or unreadable leaves the window as
// it is.
void readPlacement(const IniFile& ini, const std::string& section, PlacementWindow& window);

// The normal rectangle stored for the monitor layout the window is in now,
// under the same rules as a restore; the plain keys do not count, since they
// hold the last place in whatever layout.
std::optional<Rect> storedLayoutPlace(const IniFile& ini, const std::string& section,
                                      const PlacementWindow& window);
// The place a window had in a layout that has just ended, under that
// layout's keys only: where it goes back to when the layout returns.
void writeLayoutPlace(IniFile& ini, const std::string& section, const WindowPlacement& placement,
                      const std::vector<Rect>& monitors);

// A restored window that would lie wholly outside every work area (a monitor
// that is gone, a smaller screen) is moved onto the nearest one, keeping its
// size as far as it fits. One that is even partly visible stays where it is.
Rect keepOnScreen(Rect rect, const std::vector<Rect>& workAreas);

// While the program runs, the monitors can change under a shown window. It
// must keep a grip of its title line, a square of the line's height, on
// some work area, or it is moved onto the nearest one as at the start.
Rect keepTitleInReach(Rect rect, int titleHeight, const std::vector<Rect>& workAreas);

// Windows gathered onto one work area in the given order: from its top-left
// corner, each one step further right and down, so that every title stays
// in reach. Sizes are kept, shrunk only where the area is smaller; a window
// that would reach past the area starts again at the corner.
std::vector<Rect> cascade(const std::vector<Rect>& windows, const Rect& area, int step);

}  // namespace tav
