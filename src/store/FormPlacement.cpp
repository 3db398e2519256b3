#include "store/FormPlacement.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <string>

#include "store/IniFile.h"

namespace tav {

namespace {

// Numbers from the file are the user's to edit; arithmetic on them must not
// overflow whatever they hold.
int saturate(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool equalsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// "l,t,r,b" as the placement keys hold it; commas and blanks both separate,
// and numbers that are missing or unreadable keep their default.
void splitNumbers(const std::string& text, int* values, int count) {
    std::size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        while (pos < text.size() && (text[pos] == ',' || text[pos] == ' ')) ++pos;
        if (pos == text.size()) return;
        const std::size_t end = text.find_first_of(", ", pos);
        const std::string word = text.substr(pos, end == std::string::npos ? end : end - pos);
        values[i] = parseIniInteger(word).value_or(values[i]);
        pos = end == std::string::npos ? text.size() : end;
    }
}

std::string fourNumbers(int a, int b, int c, int d) {
    return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
           std::to_string(d);
}

bool isQuoted(const std::string& value) {
    return value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                                 (value.front() == '\'' && value.back() == '\''));
}

}  // namespace

bool TWinMinMaxInfo::inForce() const {
    return MaxPosLeft != 0 || MaxPosTop != 0 || MaxSizeHeight != 0 || MaxSizeWidth != 0 ||
           MaxTrackHeight != 0 || MaxTrackWidth != 0 || MinTrackHeight != 0 || MinTrackWidth != 0;
}

void applyMinMaxInfo(const TWinMinMaxInfo& info, MinMaxValues& values) {
    auto replace = [](int& target, int limit) {
        if (limit != 0) target = limit;
    };
    replace(values.maxPosition.x, info.MaxPosLeft);
    replace(values.maxPosition.y, info.MaxPosTop);
    replace(values.maxSize.x, info.MaxSizeWidth);
    replace(values.maxSize.y, info.MaxSizeHeight);
    replace(values.maxTrackSize.x, info.MaxTrackWidth);
    replace(values.maxTrackSize.y, info.MaxTrackHeight);
    replace(values.minTrackSize.x, info.MinTrackWidth);
    replace(values.minTrackSize.y, info.MinTrackHeight);
}

std::string propertyText(const PropertyInfo& info, int value) {
    if (info.enumeration && value >= 0 && static_cast<std::size_t>(value) < info.identifiers.size())
        return info.identifiers[static_cast<std::size_t>(value)];
    return std::to_string(value);
}

std::optional<int> propertyFromText(const PropertyInfo& info, const std::string& text) {
    const std::string value = trim(text);
    if (!info.enumeration) return parseIniInteger(value);
    for (std::size_t i = 0; i < info.identifiers.size(); ++i) {
        if (equalsIgnoreCase(info.identifiers[i], value)) return static_cast<int>(i);
    }
    return std::nullopt;
}

FormPlacement::FormPlacement(PlacementWindow& owner) : owner_(owner) {}

std::string FormPlacement::iniFileName() const {
    return IniFileName.empty() ? std::string("Tavelin.INI") : IniFileName;
}

std::string FormPlacement::iniSection() const {
    return IniSection.empty() ? owner_.className() : IniSection;
}

void FormPlacement::onShow() {
    if (Active) restoreFormPlacement();
}

void FormPlacement::onCloseQuery(bool canClose) {
    if (canClose && Active && owner_.hasHandle()) saveFormPlacement();
}

void FormPlacement::onDestroy() {
    if (!Active || saved_) return;
    destroying_ = true;
    try {
        saveFormPlacement();
    } catch (...) {
        destroying_ = false;
        throw;
    }
    destroying_ = false;
}

void FormPlacement::writeValue(IniFile& ini, const std::string& key, const std::string& value) {
    ini.writeString(iniSection(), key, isQuoted(value) ? "\"" + value + "\"" : value);
}

std::string FormPlacement::screenSuffix() const {
    return "(" + std::to_string(owner_.screenWidth()) + "x" +
           std::to_string(owner_.screenHeight()) + ")";
}

void FormPlacement::saveFormPlacement() {
    if (!restored_ && Active) return;
    IniFile ini(iniFileName());
    writePlacement(ini);
    writeValue(ini, "Visible", destroying_ ? "1" : "0");
    writeStoredProps(ini);
    if (OnSavePlacement) OnSavePlacement(*this);
    ini.close();
    // Only once the file really has it: a save that failed on close gets
    // another chance when the window is destroyed.
    saved_ = true;
}

void FormPlacement::writePlacement(IniFile& ini) {
    const WindowPlacement wp = owner_.placement();
    int showCmd = wp.showCmd;
    if (owner_.isMainForm() && owner_.applicationMinimized()) showCmd = 2;
    const std::string suffix = screenSuffix();
    const std::string minMax =
        fourNumbers(wp.minPosition.x, wp.minPosition.y, wp.maxPosition.x, wp.maxPosition.y);
    const Rect& r = wp.normalPosition;
    const std::string norm = fourNumbers(r.left, r.top, r.right, r.bottom);

    writeValue(ini, "Flags", std::to_string(wp.flags));
    writeValue(ini, "ShowCmd", std::to_string(showCmd));
    writeValue(ini, "PixelsPerInch", std::to_string(owner_.pixelsPerInch()));
    writeValue(ini, "MinMaxPos" + suffix, minMax);
    writeValue(ini, "MinMaxPos", minMax);
    writeValue(ini, "NormPos" + suffix, norm);
    writeValue(ini, "NormPos", norm);
}

void FormPlacement::restoreFormPlacement() {
    saved_ = false;
    IniFile ini(iniFileName());
    if (Options & fpPosition) readPlacement(ini);
    if (Options & fpState) readState(ini);
    restored_ = true;
    try {
        readStoredProps(ini);
    } catch (...) {
        // A property that cannot be read keeps its value; the window is
        // usable either way.
    }
    if (OnRestorePlacement) OnRestorePlacement(*this);
    ini.close();
}

void FormPlacement::readPlacement(IniFile& ini) {
    const std::string section = iniSection();
    const std::string suffix = screenSuffix();
    WindowPlacement wp = owner_.placement();
    // Applying the record must not show a window that is still hidden.
    if (!owner_.visible()) wp.showCmd = 0;
    wp.flags = ini.readInteger(section, "Flags", wp.flags);

    // After a change of screen size the keys of the new size are missing,
    // and the plain keys of the last save stand in.
    auto readEither = [&](const std::string& key) {
        std::string text = ini.readString(section, key + suffix, "");
        return text.empty() ? ini.readString(section, key, "") : text;
    };

    bool found = false;
    const std::string minMax = readEither("MinMaxPos");
    if (!minMax.empty()) {
        found = true;
        int v[4] = {0, 0, 0, 0};
        splitNumbers(minMax, v, 4);
        wp.minPosition = {v[0], v[1]};
        wp.maxPosition = {v[2], v[3]};
    }
    const Rect current = owner_.bounds();
    const std::string norm = readEither("NormPos");
    if (!norm.empty()) {
        int v[4] = {current.left, current.top, current.right, current.bottom};
        splitNumbers(norm, v, 4);
        // An upside-down or empty rectangle is no place for a window: it
        // counts as missing.
        if (v[0] < v[2] && v[1] < v[3]) {
            found = true;
            wp.normalPosition = {v[0], v[1], v[2], v[3]};
        }
    }

    const int screenPpi = owner_.pixelsPerInchAt(wp.normalPosition);
    const int ppi = ini.readInteger(section, "PixelsPerInch", screenPpi);
    if (!found || ppi != screenPpi) return;

    Rect& r = wp.normalPosition;
    if (!owner_.borderSizeable()) {
        r.right = saturate(std::int64_t{r.left} + current.right - current.left);
        r.bottom = saturate(std::int64_t{r.top} + current.bottom - current.top);
    }
    // No size that dragging could not give: a damaged file must not make a
    // window larger than any screen, or too small to grab.
    auto limit = [](int low, int& high, int smallest, int largest) {
        const std::int64_t size = std::int64_t{high} - low;
        std::int64_t kept = size;
        if (largest != 0) kept = std::min<std::int64_t>(kept, largest);
        if (smallest != 0) kept = std::max<std::int64_t>(kept, smallest);
        if (kept != size) high = saturate(low + kept);
    };
    if (MinMaxInfo.inForce() && r.left < r.right) {
        limit(r.left, r.right, MinMaxInfo.MinTrackWidth, MinMaxInfo.MaxTrackWidth);
        limit(r.top, r.bottom, MinMaxInfo.MinTrackHeight, MinMaxInfo.MaxTrackHeight);
    }
    if (r.left < r.right) {
        if (owner_.positionCentred()) owner_.setPositionDesigned();
        owner_.setPlacement(wp);
    }
}

void FormPlacement::readState(IniFile& ini) {
    std::optional<WindowState> state;
    switch (ini.readInteger(iniSection(), "ShowCmd", 0)) {
        case 1:
        case 5:
        case 9:
            state = WindowState::Normal;
            break;
        case 2:
        case 6:
        case 7:
            state = WindowState::Minimized;
            break;
        case 3:
            state = WindowState::Maximized;
            break;
        default:
            break;
    }
    if (state == WindowState::Minimized && owner_.isMainForm()) {
        // A minimised main form would leave a bare window; the application
        // as a whole goes to the taskbar instead.
        owner_.setWindowState(WindowState::Normal);
        owner_.minimizeApplication();
    } else if (state) {
        owner_.setWindowState(*state);
    }
    owner_.repaint();
}

void FormStorage::loaded() {
    entries_.clear();
    for (const std::string& text : StoredProps) {
        const std::size_t dot = text.find('.');
        if (dot == std::string::npos) continue;
        const std::string component = trim(text.substr(0, dot));
        const std::string property = trim(text.substr(dot + 1));
        if (component.empty() || property.empty()) continue;
        if (const auto name = owner_.findComponent(component))
            entries_.push_back({*name, property});
    }
}

void FormStorage::componentDestroyed(const std::string& component) {
    std::erase_if(entries_,
                  [&](const Entry& entry) { return equalsIgnoreCase(entry.component, component); });
}

void FormStorage::writeStoredProps(IniFile& ini) {
    for (const Entry& entry : entries_) {
        const auto info = owner_.findProperty(entry.component, entry.property);
        if (!info) continue;
        const int value = owner_.propertyValue(entry.component, info->name);
        writeValue(ini, entry.component + "_" + info->name, trim(propertyText(*info, value)));
    }
}

void FormStorage::readStoredProps(IniFile& ini) {
    const std::string section = iniSection();
    for (const Entry& entry : entries_) {
        try {
            const auto info = owner_.findProperty(entry.component, entry.property);
            if (!info) continue;
            const std::string current =
                propertyText(*info, owner_.propertyValue(entry.component, info->name));
            const std::string text =
                ini.readString(section, entry.component + "_" + info->name, current);
            if (const auto value = propertyFromText(*info, text))
                owner_.setPropertyValue(entry.component, info->name, *value);
        } catch (...) {
            // This property keeps its value; the others are still read.
        }
    }
}

Rect keepOnScreen(Rect rect, const std::vector<Rect>& workAreas) {
    auto overlaps = [&](const Rect& a) {
        return rect.left < a.right && a.left < rect.right && rect.top < a.bottom &&
               a.top < rect.bottom;
    };
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(), overlaps)) return rect;

    auto gap = [](std::int64_t lowA, std::int64_t highA, std::int64_t lowB, std::int64_t highB) {
        return std::max<std::int64_t>({0, lowB - highA, lowA - highB});
    };
    const Rect* nearest = nullptr;
    double best = std::numeric_limits<double>::max();
    for (const Rect& area : workAreas) {
        const double dx = static_cast<double>(gap(rect.left, rect.right, area.left, area.right));
        const double dy = static_cast<double>(gap(rect.top, rect.bottom, area.top, area.bottom));
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = &area;
        }
    }

    // Kept inside from the right or bottom first, so that a window larger
    // than the area shows its left and top edge, where its title is.
    auto place = [](std::int64_t low, std::int64_t size, std::int64_t areaLow,
                    std::int64_t areaHigh) {
        if (low + size > areaHigh) low = areaHigh - size;
        if (low < areaLow) low = areaLow;
        return low;
    };
    const std::int64_t width = std::int64_t{rect.right} - rect.left;
    const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    const std::int64_t left = place(rect.left, width, nearest->left, nearest->right);
    const std::int64_t top = place(rect.top, height, nearest->top, nearest->bottom);
    return {saturate(left), saturate(top), saturate(left + width), saturate(top + height)};
}

}  // namespace tav
