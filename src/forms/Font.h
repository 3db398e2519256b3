#pragma once
// Fonts as the forms describe them.

#include <windows.h>

#include <string>

#include "desktop/Handle.h"

namespace tav {

// A size in points, or a height in pixels at 96 dpi (the splash asks for
// "Arial, 32 pixels high").
struct FontSpec {
    std::string name = "MS Sans Serif";
    int sizePoints = 8;
    int heightPixels = 0;  // when not 0 it wins over sizePoints
    bool bold = false;
    bool italic = false;
    COLORREF color = RGB(0, 0, 0);
};
// The font at a density; 0 is the system's.
FontHandle makeFont(const FontSpec& spec, int dpi = 0);

}  // namespace tav
