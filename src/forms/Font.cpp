#include "forms/Font.h"

#include <cstdlib>
#include <stdexcept>

#include "forms/Dpi.h"
#include "desktop/Utf.h"
#include "store/DpiScale.h"

namespace tav {

FontHandle makeFont(const FontSpec& spec, int dpi) {
    if (dpi <= 0) dpi = systemDpi();
    LOGFONTW lf{};
    if (spec.heightPixels != 0) {
        lf.lfHeight = -scaleToDpi(std::abs(spec.heightPixels), dpi);
    } else {
        lf.lfHeight = -MulDiv(spec.sizePoints, dpi, 72);
    }
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = spec.italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wstring face = widen(spec.name);
    // The forms' old face is a bitmap font, drawn for 96 dpi in a few sizes
    // only: at any other density its scalable twin of the same design gives
    // the chrome its right size.
    if (dpi != kDesignDpi && lstrcmpiW(face.c_str(), L"MS Sans Serif") == 0)
        face = L"Microsoft Sans Serif";
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    FontHandle font(CreateFontIndirectW(&lf));
    if (!font) throw std::runtime_error("Schrift " + spec.name + " nicht verfügbar.");
    return font;
}

}  // namespace tav
