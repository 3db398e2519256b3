// A note's placement, alarm and colour against whatever a settings file may
// hold for it: restoring never breaks, what it saves reads back to the same
// window, and a rectangle off every screen comes back onto one at its size.

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "FakePlacementWindow.h"
#include "FuzzScratch.h"
#include "store/FileIo.h"
#include "store/IniFile.h"
#include "store/NotePlacement.h"
#include "store/NoteStore.h"

namespace tav {
namespace {

const std::string& scratchIni() {
    static const std::string path = fuzz::scratchFile("Tavelin.ini");
    return path;
}

void fail(const char* what) {
    std::fprintf(stderr, "RULE BROKEN: %s\n", what);
    std::abort();
}

// What a note restores when it is shown and saves when it closes.
struct Note {
    FakeWindow window;
    ClockAlarm alarm{true, {7, 30, 0}};
    int colour = kYellow;

    void restore() {
        IniFile ini(scratchIni());
        readPlacement(ini, "Notiz1", window);
        alarm = NoteRecord::alarm(ini, "Notiz1", alarm);
        colour = NoteRecord::colour(ini, "Notiz1", colour);
    }
    void save() {
        IniFile ini(scratchIni());
        writePlacement(ini, "Notiz1", window, false);
        NoteRecord::writeAlarmOnClose(ini, "Notiz1", alarm);
        NoteRecord::setColour(ini, "Notiz1", colour);
        ini.close();
    }
};

bool sameNote(const Note& a, const Note& b) {
    const auto& p = a.window.wp;
    const auto& q = b.window.wp;
    return p.flags == q.flags && p.minPosition == q.minPosition && p.maxPosition == q.maxPosition &&
           p.normalPosition == q.normalPosition && a.alarm == b.alarm && a.colour == b.colour;
}

void checkKeepOnScreen(FuzzedDataProvider& in) {
    auto rect = [&] {
        Rect r{in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>(), 0, 0};
        r.right = in.ConsumeIntegral<int>();
        r.bottom = in.ConsumeIntegral<int>();
        return r;
    };
    const Rect window = rect();
    std::vector<Rect> areas;
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n) {
        Rect a{in.ConsumeIntegralInRange(-5000, 5000), in.ConsumeIntegralInRange(-5000, 5000), 0,
               0};
        a.right = a.left + in.ConsumeIntegralInRange(1, 5000);
        a.bottom = a.top + in.ConsumeIntegralInRange(1, 5000);
        areas.push_back(a);
    }
    const Rect shown = tav::keepOnScreen(window, areas);
    const long long width = static_cast<long long>(window.right) - window.left;
    const long long height = static_cast<long long>(window.bottom) - window.top;
    if (width <= 0 || height <= 0 || areas.empty()) return;
    auto overlaps = [](const Rect& r, const Rect& a) {
        return r.left < a.right && a.left < r.right && r.top < a.bottom && a.top < r.bottom;
    };
    for (const Rect& a : areas) {
        if (overlaps(window, a)) {
            if (!(shown == window)) fail("a window on a screen was moved");
            return;
        }
    }
    bool onScreen = false;
    for (const Rect& a : areas) onScreen |= overlaps(shown, a);
    if (!onScreen) fail("a window off every screen stayed off");
    const bool fits = width < INT_MAX / 4 && height < INT_MAX / 4;
    if (fits && (static_cast<long long>(shown.right) - shown.left != width ||
                 static_cast<long long>(shown.bottom) - shown.top != height))
        fail("a window brought back changed its size");
}

}  // namespace
}  // namespace tav

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    FuzzedDataProvider in(data, size);
    checkKeepOnScreen(in);

    const std::string path = scratchIni();
    tav::deleteFile(path);
    tav::writeFileAtomically(path, in.ConsumeRemainingBytesAsString());

    Note first;
    first.restore();
    const Rect& r = first.window.wp.normalPosition;
    if (first.window.placementsApplied > 0 && !(r.left < r.right))
        fail("an empty rectangle was applied");

    // What one window saves, the next reads back.
    first.save();
    Note second;
    second.restore();
    if (!sameNote(first, second)) fail("the saved record read back otherwise");
    return 0;
}
