#pragma once
// Placement storage: writes a window's placement and a few chosen properties
// into its section of the settings file when it closes or goes away, and
// reads them back each time it is shown. The window itself is reached through
// PlacementWindow, so the rules here run without a real window.

#include <functional>
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

// What a stored property is, as far as its text in the file is concerned.
struct PropertyInfo {
    std::string name;  // as declared, which gives the key its spelling
    bool enumeration = false;
    std::vector<std::string> identifiers;  // lowest value first; "False", "True" for booleans
};

class PlacementWindow {
public:
    virtual ~PlacementWindow() = default;

    virtual std::string className() const = 0;
    virtual bool hasHandle() const = 0;
    virtual WindowPlacement placement() const = 0;
    virtual void setPlacement(const WindowPlacement& placement) = 0;
    virtual bool visible() const = 0;
    virtual Rect bounds() const = 0;
    // Sizeable or sizeable tool window.
    virtual bool borderSizeable() const = 0;
    virtual bool positionCentred() const = 0;
    // Switches the position rule from centre-on-screen to as-designed, so a
    // restored place is not overridden when the window appears.
    virtual void setPositionDesigned() = 0;
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void repaint() = 0;

    // True as well when the application has no main form at all.
    virtual bool isMainForm() const = 0;
    virtual bool applicationMinimized() const = 0;
    virtual void minimizeApplication() = 0;

    virtual int screenWidth() const = 0;
    virtual int screenHeight() const = 0;
    // The density of the monitor the window is on; a save writes it.
    virtual int pixelsPerInch() const = 0;
    // The density of the monitor that would show this rectangle of the
    // desktop. A stored rectangle is in the pixels of the monitor it was
    // saved on and is applied only where the density is the same. A window
    // that knows a single density for the whole desktop keeps the default.
    virtual int pixelsPerInchAt(const Rect& /*rect*/) const { return pixelsPerInch(); }

    // The component's own name, matched without regard to case; nullopt
    // when the form has none of that name.
    virtual std::optional<std::string> findComponent(const std::string& name) const = 0;
    virtual std::optional<PropertyInfo> findProperty(const std::string& component,
                                                     const std::string& property) const = 0;
    // The integer value, or the ordinal of an enumeration.
    virtual int propertyValue(const std::string& component, const std::string& property) const = 0;
    virtual void setPropertyValue(const std::string& component, const std::string& property,
                                  int value) = 0;
};

enum PlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };

// Tracking and maximise limits; 0 means "not set".
struct TWinMinMaxInfo {
    int MaxPosLeft = 0;
    int MaxPosTop = 0;
    int MaxSizeHeight = 0;
    int MaxSizeWidth = 0;
    int MaxTrackHeight = 0;
    int MaxTrackWidth = 0;
    int MinTrackHeight = 0;
    int MinTrackWidth = 0;

    bool inForce() const;
};

// The parts of the system's min/max-info request that the limits touch.
struct MinMaxValues {
    Point maxSize;
    Point maxPosition;
    Point minTrackSize;
    Point maxTrackSize;
};

// Every non-zero limit replaces the system's value.
void applyMinMaxInfo(const TWinMinMaxInfo& info, MinMaxValues& values);

class FormPlacement {
public:
    explicit FormPlacement(PlacementWindow& owner);
    virtual ~FormPlacement() = default;
    FormPlacement(const FormPlacement&) = delete;
    FormPlacement& operator=(const FormPlacement&) = delete;

    std::string IniFileName;  // empty: "Tavelin.INI"
    std::string IniSection;   // empty: the owner's class name
    bool Active = true;
    unsigned Options = fpState | fpPosition;
    TWinMinMaxInfo MinMaxInfo;
    std::function<void(FormPlacement&)> OnSavePlacement;
    std::function<void(FormPlacement&)> OnRestorePlacement;

    std::string iniFileName() const;
    std::string iniSection() const;

    // The owner's events. Each may throw (an unwritable file); the owner
    // reports that and still runs its own handler afterwards. The owner runs
    // its own close-query handler before onCloseQuery and passes the answer.
    void onShow();
    void onCloseQuery(bool canClose);
    void onDestroy();

    void saveFormPlacement();
    void restoreFormPlacement();

    bool restored() const { return restored_; }
    bool saved() const { return saved_; }

protected:
    virtual void writeStoredProps(IniFile&) {}
    virtual void readStoredProps(IniFile&) {}
    // Writes as the system's reader will give it back: a value enclosed in
    // quotes gets one more pair, because the reader strips one.
    void writeValue(IniFile& ini, const std::string& key, const std::string& value);

    PlacementWindow& owner_;

private:
    void writePlacement(IniFile& ini);
    void readPlacement(IniFile& ini);
    void readState(IniFile& ini);
    std::string screenSuffix() const;

    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};

class FormStorage : public FormPlacement {
public:
    using FormPlacement::FormPlacement;

    // "Component.Property" entries, resolved by loaded().
    std::vector<std::string> StoredProps;

    // Once the owner's components exist: entries that cannot be split or
    // whose component is missing are dropped.
    void loaded();
    void componentDestroyed(const std::string& component);

protected:
    void writeStoredProps(IniFile& ini) override;
    void readStoredProps(IniFile& ini) override;

private:
    struct Entry {
        std::string component;
        std::string property;
    };
    std::vector<Entry> entries_;
};

// Text of a property value for the file, and the value a text gives back
// (nullopt: a text that is no number, read as the settings file reads
// integers, or an enumeration identifier that names no value; either leaves
// the property as it is).
std::string propertyText(const PropertyInfo& info, int value);
std::optional<int> propertyFromText(const PropertyInfo& info, const std::string& text);

// A restored window that would lie wholly outside every work area (a monitor
// that is gone, a smaller screen) is moved onto the nearest one, keeping its
// size as far as it fits. One that is even partly visible stays where it is.
Rect keepOnScreen(Rect rect, const std::vector<Rect>& workAreas);

}  // namespace tav
