#pragma once
// Sizes on screens of any pixel density. The program's forms are laid out in
// figures for 96 dots per inch (100 %); a window shows them in the pixels of
// the monitor it is on. The arithmetic is here, free of Windows, so that the
// rounding is the same everywhere and can be checked on its own.

#include <span>

namespace tav {

// The pixel density that every figure of a form's layout is meant for.
inline constexpr int kDesignDpi = 96;

// value * toDpi / fromDpi, rounded half away from zero as the system's
// MulDiv does; no overflow for any int. A density of 0 or less is taken
// as kDesignDpi.
int rescale(int value, int fromDpi, int toDpi);

// A 96-dpi figure in the pixels of dpi, and back.
inline int scaleToDpi(int figure, int dpi) { return rescale(figure, kDesignDpi, dpi); }
inline int scaleFromDpi(int pixels, int dpi) { return rescale(pixels, dpi, kDesignDpi); }

// Where a control's edge, given as a 96-dpi figure, lies in pixels. An edge
// on the parent's client edge (extentFigure, the client size as a 96-dpi
// figure) lands exactly on it (extentPixels), so that a control filling the
// form leaves neither a gap nor an overhang where rounding would.
int edgeToDpi(int edgeFigure, int extentFigure, int extentPixels, int dpi);

// The largest of the drawn picture sizes that is no larger than a 96-dpi
// picture of size figure shown at dpi; the smallest when none is. Pictures
// are never stretched: a larger button centres a smaller picture.
int pictureSizeFor(int figure, int dpi, std::span<const int> drawnSizes);

}  // namespace tav
