#include "forms/Dpi.h"

#include "desktop/SystemLibrary.h"
#include "store/DpiScale.h"

namespace tav {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
// Where a form's window carries its density, for its children to find.
constexpr wchar_t kDpiProperty[] = L"Tavelin.Dpi";

}  // namespace

int systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int dpiAt(const RECT& screen) {
    static const auto getDpiForMonitor =
        systemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpiForMonitor != nullptr &&
        SUCCEEDED(getDpiForMonitor(MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST),
                                   kEffectiveDpi, &x, &y)) &&
        y > 0)
        return static_cast<int>(y);
    return systemDpi();
}

namespace {

int recordedDpi(HWND window) {
    if (window == nullptr) return 0;
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, kDpiProperty)));
}

}  // namespace

int windowDpi(HWND window) {
    if (window == nullptr) return systemDpi();
    if (const int dpi = recordedDpi(GetAncestor(window, GA_ROOT)); dpi > 0) return dpi;
    return systemWindowDpi(window);
}

void recordDpi(HWND window, int dpi) {
    if (dpi > 0) {
        SetPropW(window, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
    } else {
        RemovePropW(window, kDpiProperty);
    }
}

int systemWindowDpi(HWND window) {
    static const auto getDpiForWindow =
        systemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi > 0) return static_cast<int>(dpi);
    }
    return systemDpi();
}

int systemMetric(int index, int dpi) {
    static const auto forDpi =
        systemFunction<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
    return rescale(GetSystemMetrics(index), systemDpi(), dpi);
}

SIZE frameSizeFor(DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustForDpi =
        systemFunction<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT r{0, 0, 0, 0};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    }
    return {r.right - r.left, r.bottom - r.top};
}

RECT deviceRect(HWND parent, const LayoutRect& place) {
    const int dpi = windowDpi(parent);
    RECT client{};
    GetClientRect(parent, &client);
    const int clientWidth = scaleFromDpi(client.right, dpi);
    const int clientHeight = scaleFromDpi(client.bottom, dpi);
    return {scaleToDpi(place.x, dpi), scaleToDpi(place.y, dpi),
            edgeToDpi(place.x + place.w, clientWidth, client.right, dpi),
            edgeToDpi(place.y + place.h, clientHeight, client.bottom, dpi)};
}

void placeChild(HWND child, const LayoutRect& place) {
    HWND parent = GetParent(child);
    const RECT r = deviceRect(parent, place);
    RECT now{};
    GetWindowRect(child, &now);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&now), 2);
    if (EqualRect(&now, &r)) return;
    SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tav
