// The placement storage against whatever a settings file may hold for a
// note: restoring never breaks, what it saves reads back to the same window,
// and a rectangle off every screen comes back onto one at its size.

#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "FakePlacementWindow.h"
#include "FuzzScratch.h"
#include "store/FileIo.h"
#include "store/FormPlacement.h"

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

// The note's storage, as the note window sets it up.
struct Note {
    FakeWindow window;
    FormStorage storage{window};
    Note() {
        storage.IniFileName = scratchIni();
        storage.IniSection = "Notiz1";
        storage.StoredProps = {"RxClock1.AlarmEnabled", "RxClock1.AlarmHour",
                               "RxClock1.AlarmMinute", "RxClock1.AlarmSecond", "memo1.Color"};
        storage.loaded();
    }
};

bool sameWindow(const FakeWindow& a, const FakeWindow& b) {
    const auto& p = a.wp;
    const auto& q = b.wp;
    if (p.flags != q.flags || !(p.minPosition == q.minPosition) ||
        !(p.maxPosition == q.maxPosition) || !(p.normalPosition == q.normalPosition))
        return false;
    for (const auto& [name, props] : a.components) {
        const auto& other = b.components.at(name);
        for (std::size_t i = 0; i < props.size(); ++i)
            if (props[i].value != other[i].value) return false;
    }
    return true;
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
    first.window.isVisible = true;
    first.storage.restoreFormPlacement();
    const Rect& r = first.window.wp.normalPosition;
    if (first.window.placementsApplied > 0 && !(r.left < r.right))
        fail("an empty rectangle was applied");

    // What one window saves, the next reads back.
    first.storage.saveFormPlacement();
    Note second;
    second.storage.restoreFormPlacement();
    if (!sameWindow(first.window, second.window)) fail("the saved placement read back otherwise");
    return 0;
}
