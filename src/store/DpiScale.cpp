#include "store/DpiScale.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace tav {

int rescale(int value, int fromDpi, int toDpi) {
    if (fromDpi <= 0) fromDpi = kDesignDpi;
    if (toDpi <= 0) toDpi = kDesignDpi;
    const std::int64_t product = std::int64_t{value} * toDpi;
    const std::int64_t magnitude = (product < 0 ? -product : product) + fromDpi / 2;
    const std::int64_t result = (product < 0 ? -1 : 1) * (magnitude / fromDpi);
    return static_cast<int>(std::clamp<std::int64_t>(result, INT_MIN, INT_MAX));
}

int edgeToDpi(int edgeFigure, int extentFigure, int extentPixels, int dpi) {
    return edgeFigure == extentFigure ? extentPixels : scaleToDpi(edgeFigure, dpi);
}

int pictureSizeFor(int figure, int dpi, std::span<const int> drawnSizes) {
    const int wanted = scaleToDpi(figure, dpi);
    int best = 0, smallest = INT_MAX;
    for (int size : drawnSizes) {
        if (size <= wanted) best = std::max(best, size);
        smallest = std::min(smallest, size);
    }
    if (best > 0) return best;
    return drawnSizes.empty() ? wanted : smallest;
}

}  // namespace tav
