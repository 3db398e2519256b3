#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resource.h"
#include "toolbar_images.h"

// The resources are compiled as UTF-8: a German string must come back intact.
TEST(Resources, UmlautStringSurvivesTheResourceCompiler) {
    wchar_t buf[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_UMLAUT_PROBE, buf, 64), 0);
    EXPECT_STREQ(L"Notiz l\u00f6schen", buf);
}

namespace {

std::string resourceText(LPCWSTR type, LPCWSTR name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(data, SizeofResource(module, found));
}

}  // namespace

// Per-monitor awareness where the system has it, in its newest form first;
// "true/pm" is system awareness on the systems before.
TEST(Resources, ManifestAsksForPerMonitorAwarenessWithFallbacks) {
    const std::string manifest = resourceText(RT_MANIFEST, MAKEINTRESOURCEW(1));
    EXPECT_NE(std::string::npos, manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_NE(std::string::npos, manifest.find(">true/pm</dpiAware>"));
    // Without it, a name like "setup" or "update" would make Windows ask
    // for administrator rights.
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\""));
}

// Nothing is stretched at run time: the tool-bar pictures and the program
// icon come drawn in every size that screens from 100 % to 200 % ask for.
TEST(Resources, PicturesAndIconAreDrawnInEverySize) {
    const int sizes[] = {16, 20, 24, 28, 32};
    for (int i = 0; i < 5; ++i) {
        HBITMAP strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                        MAKEINTRESOURCEW(IDB_NOTE_TOOLBAR + i),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, strip) << sizes[i];
        BITMAP info{};
        GetObjectW(strip, sizeof info, &info);
        EXPECT_EQ(sizes[i], info.bmHeight);
        EXPECT_EQ(IMG_COUNT * sizes[i], info.bmWidth);
        DeleteObject(strip);
    }

    const std::string group = resourceText(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_TAVELIN));
    ASSERT_GE(group.size(), 6u);
    const int count = static_cast<unsigned char>(group[4]);
    std::vector<int> drawn;
    for (int i = 0; i < count; ++i) drawn.push_back(static_cast<unsigned char>(group[6 + 14 * i]));
    for (int size : {16, 20, 24, 32, 40, 48, 64}) {
        EXPECT_NE(drawn.end(), std::find(drawn.begin(), drawn.end(), size)) << size;
    }
}

// The icon's sizes are stored as PNGs, which the system reads since Windows
// Vista: each must load at its own size with its pixels, transparent around
// the note and the note's yellow inside its edge.
TEST(Resources, EveryIconSizeLoadsWithItsPixels) {
    for (int size : {16, 20, 24, 32, 40, 48, 64}) {
        HICON icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAVELIN), IMAGE_ICON, size, size, 0));
        ASSERT_NE(nullptr, icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
        std::vector<DWORD> pixels(size * size);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(size,
                  GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS))
            << size;
        ReleaseDC(nullptr, screen);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
        const int inside = std::max(1, size / 16) + 1;
        EXPECT_EQ(0u, pixels[0] >> 24) << size;
        EXPECT_EQ(0xFFFFE840u, pixels[inside * size + inside]) << size;
    }
}
