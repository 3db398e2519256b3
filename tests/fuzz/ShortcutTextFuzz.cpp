// Shortcut texts both ways: a text that names a key gives a value whose text
// reads back to it; a value with a named key gives a text that reads back to
// the value; a hot-key character is a letter or digit with Ctrl+Alt or none.

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "store/ShortcutText.h"

namespace {

void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "RULE BROKEN: %s [%s]\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    FuzzedDataProvider in(data, size);
    const int value = in.ConsumeIntegral<int>();
    const std::string text = in.ConsumeRemainingBytesAsString();

    if (const int shortcut = textToShortcut(text)) {
        const std::string written = shortcutToText(shortcut);
        if (written.empty()) fail("a read shortcut has no text", text);
        if (textToShortcut(written) != shortcut) fail("a written text reads back otherwise", text);
    }

    const std::string written = shortcutToText(value);
    if (!written.empty() && textToShortcut(written) != (value & (kShift | kCtrl | kAlt | 0xFF)))
        fail("a value's text reads back otherwise", written);

    const int hotKey = hotKeyShortcut(text);
    if (hotKey != 0) {
        const char c = text.size() == 1 ? text[0] : 0;
        if (!std::isalnum(static_cast<unsigned char>(c)) ||
            hotKey != (kCtrl | kAlt | std::toupper(static_cast<unsigned char>(c))))
            fail("a hot key from something else than a letter or digit", text);
    }
    return 0;
}
