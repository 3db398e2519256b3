#pragma once
// A note window as far as the placement storage sees it, without a window:
// for the placement tests and the placement fuzz target.

#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/FormPlacement.h"

namespace tav {

inline bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// A note window as far as the placement storage sees it: an RxClock1 with
// its alarm properties and a memo1 with its colour.
class FakeWindow : public PlacementWindow {
public:
    struct Property {
        PropertyInfo info;
        int value = 0;
        bool throwsOnSet = false;
    };
    using Component = std::vector<Property>;

    FakeWindow() {
        const PropertyInfo boolean{"AlarmEnabled", true, {"False", "True"}};
        components["RxClock1"] = {{boolean, 1},
                                  {{"AlarmHour", false, {}}, 7},
                                  {{"AlarmMinute", false, {}}, 30},
                                  {{"AlarmSecond", false, {}}, 0}};
        components["memo1"] = {{{"Color", false, {}}, 0x00FFFF}};
        wp.flags = 0;
        wp.showCmd = 1;
        wp.normalPosition = {100, 50, 370, 290};
        wp.minPosition = {-1, -1};
        wp.maxPosition = {-1, -1};
    }

    Property& prop(const std::string& component, const std::string& name) {
        for (Property& p : components.at(component)) {
            if (sameNameIgnoringCase(p.info.name, name)) return p;
        }
        throw std::out_of_range(name);
    }

    std::string className() const override { return "NoteWindow"; }
    bool hasHandle() const override { return handle; }
    WindowPlacement placement() const override { return wp; }
    void setPlacement(const WindowPlacement& p) override {
        wp = p;
        ++placementsApplied;
    }
    bool visible() const override { return isVisible; }
    Rect bounds() const override { return wp.normalPosition; }
    bool borderSizeable() const override { return sizeable; }
    bool positionCentred() const override { return centred; }
    void setPositionDesigned() override { centred = false; }
    WindowState windowState() const override { return state; }
    void setWindowState(WindowState s) override { state = s; }
    void repaint() override {}
    bool isMainForm() const override { return mainForm; }
    bool applicationMinimized() const override { return appMinimized; }
    void minimizeApplication() override { appMinimized = true; }
    int screenWidth() const override { return 1024; }
    int screenHeight() const override { return 768; }
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

    std::optional<std::string> findComponent(const std::string& name) const override {
        for (const auto& [own, _] : components) {
            if (sameNameIgnoringCase(own, name)) return own;
        }
        return std::nullopt;
    }
    std::optional<PropertyInfo> findProperty(const std::string& component,
                                             const std::string& name) const override {
        for (const Property& p : components.at(component)) {
            if (sameNameIgnoringCase(p.info.name, name)) return p.info;
        }
        return std::nullopt;
    }
    int propertyValue(const std::string& component, const std::string& name) const override {
        return const_cast<FakeWindow*>(this)->prop(component, name).value;
    }
    void setPropertyValue(const std::string& component, const std::string& name,
                          int value) override {
        Property& p = prop(component, name);
        if (p.throwsOnSet) throw std::runtime_error("Eigenschaft ist schreibgeschützt");
        p.value = value;
    }

    std::map<std::string, Component> components;
    WindowPlacement wp;
    WindowState state = WindowState::Normal;
    bool handle = true, isVisible = true, sizeable = true, centred = false;
    bool mainForm = false, appMinimized = false;
    int ppi = 96;
    std::vector<std::pair<Rect, int>> monitors;
    int placementsApplied = 0;
};

}  // namespace tav
