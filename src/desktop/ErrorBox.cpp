#include "desktop/ErrorBox.h"

#include <algorithm>
#include <exception>

#include "desktop/Utf.h"

namespace tav {

namespace {

ErrorBoxFunction& errorBoxFunction() {
    static ErrorBoxFunction f;
    return f;
}

ErrorCollector* collector = nullptr;

}  // namespace

ErrorCollector::ErrorCollector() : previous_(collector) { collector = this; }

ErrorCollector::~ErrorCollector() { collector = previous_; }

void ErrorCollector::add(const std::string& text) {
    if (std::find(texts_.begin(), texts_.end(), text) == texts_.end()) texts_.push_back(text);
}

void setErrorBoxFunction(ErrorBoxFunction f) { errorBoxFunction() = std::move(f); }

void showErrorBox(HWND owner, const std::string& text) {
    if (collector != nullptr) {
        collector->add(text);
        return;
    }
    if (errorBoxFunction()) {
        errorBoxFunction()(owner, text);
        return;
    }
    MessageBoxW(owner, widen(text).c_str(), L"Tavelin2000", MB_OK | MB_ICONSTOP);
}

void reportCurrentException(HWND owner) noexcept {
    try {
        std::string text;
        try {
            throw;
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {
            text = "Unbekannter Fehler.";
        }
        showErrorBox(owner, text);
    } catch (...) {
        // Even the box failed (no memory, or a test's box function threw):
        // the fixed text still tells the user that something went wrong.
        MessageBoxW(owner, L"Unbekannter Fehler.", L"Tavelin2000", MB_OK | MB_ICONSTOP);
    }
}

}  // namespace tav
