#pragma once
// A note window as far as its placement is concerned, without a window: for
// the placement tests and the placement fuzz target.

#include <utility>
#include <vector>

#include "store/NotePlacement.h"

namespace tav {

class FakeWindow : public PlacementWindow {
public:
    FakeWindow() {
        wp.flags = 0;
        wp.showCmd = 1;
        wp.normalPosition = {100, 50, 370, 290};
        wp.minPosition = {-1, -1};
        wp.maxPosition = {-1, -1};
    }

    WindowPlacement placement() const override { return wp; }
    void setPlacement(const WindowPlacement& p) override {
        wp = p;
        ++placementsApplied;
    }
    bool visible() const override { return isVisible; }
    Rect bounds() const override { return wp.normalPosition; }
    void setWindowState(WindowState s) override { state = s; }
    void repaint() override {}
    std::vector<Rect> monitorLayout() const override {
        std::vector<Rect> layout;
        for (const auto& monitor : monitors) layout.push_back(monitor.first);
        if (layout.empty()) layout.push_back({0, 0, 1024, 768});
        return layout;
    }
    int pixelsPerInch() const override { return ppi; }
    // The monitor a rectangle's centre lies on gives its density; off every
    // monitor, the window's own.
    int pixelsPerInchAt(const Rect& r) const override {
        const int x = r.left / 2 + r.right / 2, y = r.top / 2 + r.bottom / 2;
        for (const auto& [area, dpi] : monitors) {
            if (x >= area.left && x < area.right && y >= area.top && y < area.bottom) return dpi;
        }
        return ppi;
    }

    WindowPlacement wp;
    WindowState state = WindowState::Normal;
    bool isVisible = true;
    int ppi = 96;
    std::vector<std::pair<Rect, int>> monitors;
    int placementsApplied = 0;
};

}  // namespace tav
