#include "store/NotePlacement.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>

#include "store/IniFile.h"
#include "store/IniKeys.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

// Numbers from the file are the user's to edit; arithmetic on them must not
// overflow whatever they hold.
int saturate(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
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

std::string minMaxText(const WindowPlacement& wp) {
    return fourNumbers(wp.minPosition.x, wp.minPosition.y, wp.maxPosition.x, wp.maxPosition.y);
}

std::string normText(const WindowPlacement& wp) {
    const Rect& r = wp.normalPosition;
    return fourNumbers(r.left, r.top, r.right, r.bottom);
}

// No size that dragging could not give: a damaged file must not make a
// window larger than any screen, or too small to grab.
void limitSize(int low, int& high, int smallest, int largest) {
    const std::int64_t size = std::int64_t{high} - low;
    const std::int64_t kept = std::clamp<std::int64_t>(size, smallest, largest);
    if (kept != size) high = saturate(low + kept);
}

// A "NormPos" text as a normal rectangle. An upside-down or empty
// rectangle is no place for a window: it counts as missing.
std::optional<Rect> normalRectangle(const std::string& text, const Rect& current) {
    int v[4] = {current.left, current.top, current.right, current.bottom};
    splitNumbers(text, v, 4);
    if (v[0] < v[2] && v[1] < v[3]) return Rect{v[0], v[1], v[2], v[3]};
    return std::nullopt;
}

bool densityFits(const IniFile& ini, const std::string& section, const PlacementWindow& window,
                 const Rect& rect) {
    const int screenPpi = window.pixelsPerInchAt(rect);
    return ini.readInteger(section, keys::PixelsPerInch, screenPpi) == screenPpi;
}

void limitSizes(Rect& r) {
    limitSize(r.left, r.right, kMinNoteWidth, kMaxNoteWidth);
    limitSize(r.top, r.bottom, kMinNoteHeight, kMaxNoteHeight);
}

void readRectangle(const IniFile& ini, const std::string& section, PlacementWindow& window) {
    const std::string suffix = layoutSuffix(window.monitorLayout());
    WindowPlacement wp = window.placement();
    // Applying the record must not show a window that is still hidden.
    if (!window.visible()) wp.showCmd = 0;
    wp.flags = ini.readInteger(section, keys::Flags, wp.flags);

    // In a layout of monitors not seen before its keys are missing, and the
    // plain keys of the last save stand in.
    auto readEither = [&](const char* key) {
        std::string text = ini.readString(section, key + suffix, "");
        return text.empty() ? ini.readString(section, key, "") : text;
    };

    bool found = false;
    const std::string minMax = readEither(keys::MinMaxPos);
    if (!minMax.empty()) {
        found = true;
        int v[4] = {0, 0, 0, 0};
        splitNumbers(minMax, v, 4);
        wp.minPosition = {v[0], v[1]};
        wp.maxPosition = {v[2], v[3]};
    }
    const std::string norm = readEither(keys::NormPos);
    if (const auto rect = norm.empty() ? std::nullopt : normalRectangle(norm, window.bounds())) {
        found = true;
        wp.normalPosition = *rect;
    }

    if (!found || !densityFits(ini, section, window, wp.normalPosition)) return;
    Rect& r = wp.normalPosition;
    if (r.left < r.right) {
        limitSizes(r);
        window.setPlacement(wp);
    }
}

void readState(const IniFile& ini, const std::string& section, PlacementWindow& window) {
    switch (ini.readInteger(section, keys::ShowCmd, 0)) {
        case 1:
        case 5:
        case 9:
            window.setWindowState(WindowState::Normal);
            break;
        case 2:
        case 6:
        case 7:
            window.setWindowState(WindowState::Minimized);
            break;
        case 3:
            window.setWindowState(WindowState::Maximized);
            break;
        default:
            break;
    }
    window.repaint();
}

}  // namespace

std::string layoutSuffix(const std::vector<Rect>& monitors) {
    auto order = [](const Rect& m) {
        return std::tuple(m.left != 0 || m.top != 0, m.left, m.top, m.right, m.bottom);
    };
    std::vector<Rect> sorted = monitors;
    std::sort(sorted.begin(), sorted.end(),
              [&](const Rect& a, const Rect& b) { return order(a) < order(b); });
    std::string suffix = "(";
    for (const Rect& m : sorted) {
        if (suffix.size() > 1) suffix += "+";
        suffix += std::to_string(std::int64_t{m.right} - m.left) + "x" +
                  std::to_string(std::int64_t{m.bottom} - m.top);
        if (m.left != 0 || m.top != 0)
            suffix += "@" + std::to_string(m.left) + "," + std::to_string(m.top);
    }
    return suffix + ")";
}

void writePlacement(IniFile& ini, const std::string& section, const PlacementWindow& window,
                    bool goingAway) {
    const WindowPlacement wp = window.placement();
    const std::string suffix = layoutSuffix(window.monitorLayout());
    const std::string minMax = minMaxText(wp);
    const std::string norm = normText(wp);

    ini.writeInteger(section, keys::Flags, wp.flags);
    ini.writeInteger(section, keys::ShowCmd, wp.showCmd);
    ini.writeInteger(section, keys::PixelsPerInch, window.pixelsPerInch());
    ini.writeString(section, keys::MinMaxPos + suffix, minMax);
    ini.writeString(section, keys::MinMaxPos, minMax);
    ini.writeString(section, keys::NormPos + suffix, norm);
    ini.writeString(section, keys::NormPos, norm);
    ini.writeBool(section, keys::Visible, goingAway);
}

void writeLayoutPlace(IniFile& ini, const std::string& section, const WindowPlacement& placement,
                      const std::vector<Rect>& monitors) {
    const std::string suffix = layoutSuffix(monitors);
    ini.writeString(section, keys::MinMaxPos + suffix, minMaxText(placement));
    ini.writeString(section, keys::NormPos + suffix, normText(placement));
}

void readPlacement(const IniFile& ini, const std::string& section, PlacementWindow& window) {
    readRectangle(ini, section, window);
    readState(ini, section, window);
}

std::optional<Rect> storedLayoutPlace(const IniFile& ini, const std::string& section,
                                      const PlacementWindow& window) {
    const std::string text =
        ini.readString(section, keys::NormPos + layoutSuffix(window.monitorLayout()), "");
    auto rect = text.empty() ? std::nullopt : normalRectangle(text, window.bounds());
    if (!rect || !densityFits(ini, section, window, *rect)) return std::nullopt;
    limitSizes(*rect);
    return rect;
}

namespace {

// Onto the work area nearest to it, whole where it fits.
Rect moveOntoNearest(const Rect& rect, const std::vector<Rect>& workAreas) {
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

}  // namespace

Rect keepOnScreen(Rect rect, const std::vector<Rect>& workAreas) {
    auto overlaps = [&](const Rect& a) {
        return rect.left < a.right && a.left < rect.right && rect.top < a.bottom &&
               a.top < rect.bottom;
    };
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(), overlaps)) return rect;
    return moveOntoNearest(rect, workAreas);
}

Rect keepTitleInReach(Rect rect, int titleHeight, const std::vector<Rect>& workAreas) {
    const std::int64_t width = std::max<std::int64_t>(0, std::int64_t{rect.right} - rect.left);
    const std::int64_t grip = std::min<std::int64_t>(std::max(titleHeight, 1), width);
    auto showsGrip = [&](const Rect& a) {
        const std::int64_t wide =
            std::int64_t{std::min(rect.right, a.right)} - std::max(rect.left, a.left);
        const std::int64_t high =
            std::min<std::int64_t>(std::int64_t{rect.top} + titleHeight, a.bottom) -
            std::max(rect.top, a.top);
        return wide >= grip && high >= titleHeight;
    };
    if (workAreas.empty() || std::any_of(workAreas.begin(), workAreas.end(), showsGrip))
        return rect;
    return moveOntoNearest(rect, workAreas);
}

std::vector<Rect> cascade(const std::vector<Rect>& windows, const Rect& area, int step) {
    const std::int64_t areaWidth = std::max<std::int64_t>(0, std::int64_t{area.right} - area.left);
    const std::int64_t areaHeight = std::max<std::int64_t>(0, std::int64_t{area.bottom} - area.top);
    std::vector<Rect> placed;
    placed.reserve(windows.size());
    std::int64_t offset = 0;
    for (const Rect& window : windows) {
        const std::int64_t width =
            std::clamp<std::int64_t>(std::int64_t{window.right} - window.left, 0, areaWidth);
        const std::int64_t height =
            std::clamp<std::int64_t>(std::int64_t{window.bottom} - window.top, 0, areaHeight);
        if (offset + width > areaWidth || offset + height > areaHeight) offset = 0;
        const std::int64_t left = area.left + offset;
        const std::int64_t top = area.top + offset;
        placed.push_back(
            {saturate(left), saturate(top), saturate(left + width), saturate(top + height)});
        offset += std::max(step, 0);
    }
    return placed;
}

}  // namespace tav
