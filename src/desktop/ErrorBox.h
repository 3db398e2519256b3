#pragma once
// The program's error box. Desktop services and the form kit report through
// it whatever a handler throws, so that nothing unwinds into user32.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tav {

// What the error box shows. Replaceable so that tests can see the text
// without a modal box; the default is MessageBoxW(owner, text, "Tavelin2000",
// MB_OK | MB_ICONSTOP).
using ErrorBoxFunction = std::function<void(HWND owner, const std::string& text)>;
void setErrorBoxFunction(ErrorBoxFunction f);  // empty: back to the default
void showErrorBox(HWND owner, const std::string& text);
// Shows the exception in flight in the error box; only inside a catch block.
// Never throws, not even when the box itself fails.
void reportCurrentException(HWND owner) noexcept;

// While one lives, error boxes are collected instead of shown, so that a run
// of failures of one kind (every note at the end of the program) can be told
// in one box. They nest; the innermost collects.
class ErrorCollector {
public:
    ErrorCollector();
    ~ErrorCollector();
    ErrorCollector(const ErrorCollector&) = delete;
    ErrorCollector& operator=(const ErrorCollector&) = delete;

    // Each text once, in the order they came.
    const std::vector<std::string>& texts() const { return texts_; }
    void add(const std::string& text);

private:
    ErrorCollector* previous_;
    std::vector<std::string> texts_;
};

// Runs f; whatever it throws ends in the error box. For callbacks that run
// outside a form's window procedure: menu handlers, timers, hot keys.
template <class F>
void guarded(HWND owner, F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (...) {
        reportCurrentException(owner);
    }
}

}  // namespace tav
