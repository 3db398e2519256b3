// A note's text searched as its control holds it (UTF-16, lone surrogates
// and all) gives what the same text searched as UTF-8 gives: the same folded
// bytes, every word at its first place, the lines around a match cut from
// the original text, and each place in the UTF-8 at its place in the units.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/TextSearch.h"

namespace {

void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "RULE BROKEN: %s: %s\n", what, detail.c_str());
    std::abort();
}

// The plain conversion, one code point at a time.
std::string utf8Of(const std::u16string& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool charStart(const std::string& s, std::size_t at) {
    return at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tav;
    FuzzedDataProvider in(data, size);
    const std::string query = in.ConsumeRandomLengthString(24);
    // Copies of the text make long texts, and pairs of surrogates across
    // the seams.
    const int copies = in.ConsumeIntegralInRange(1, 40);
    const unsigned cut = in.ConsumeIntegral<std::uint8_t>();
    const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
    std::u16string text;
    for (int i = 0; i < copies; ++i) text += units;

    const std::string utf8 = utf8Of(text);
    const FoldedText fromUnits(text);
    const FoldedText fromBytes(utf8);
    if (fromUnits.text() != fromBytes.text()) fail("UTF-16 and UTF-8 fold differently", query);
    if (fromUnits.text().size() != utf8.size()) fail("folding moved a byte", query);

    for (const std::string& word : queryWords(query)) {
        const std::size_t expected = fromBytes.text().find(word);
        if (fromUnits.find(word) != expected || fromBytes.find(word) != expected)
            fail("a word found elsewhere than at its first place", word);
        if (expected == std::string::npos) continue;
        const TextMatch match{expected, word.size()};
        const auto original = [&](std::size_t begin, std::size_t end) {
            return utf8.substr(begin, end - begin);
        };
        if (matchLine(fromUnits, match, original) != matchLine(utf8, match))
            fail("the line around a match differs", word);
    }

    // The place the control counts for a place between two characters.
    std::size_t at = utf8.size() * cut / 255;
    while (!charStart(utf8, at)) ++at;
    if (utf8Of(text.substr(0, utf16Length(utf8.substr(0, at)))) != utf8.substr(0, at))
        fail("a place in the UTF-8 maps to another place in the units", query);
    return 0;
}
