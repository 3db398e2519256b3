#include "store/TextSearch.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tav {

namespace {

// Folds ASCII letters and the Latin-1 capitals (À to Þ but ×) to small
// letters without changing a byte's place, so offsets in the folded text are
// offsets in the original.
std::string fold(std::string_view text) {
    std::string folded(text);
    for (std::size_t i = 0; i < folded.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(folded[i]);
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c + 32);
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            auto& next = reinterpret_cast<unsigned char&>(folded[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                next = static_cast<unsigned char>(next + 32);
            ++i;
        }
    }
    return folded;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<std::string> words(std::string_view query) {
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < query.size()) {
        while (i < query.size() && isBlank(query[i])) ++i;
        const std::size_t start = i;
        while (i < query.size() && !isBlank(query[i])) ++i;
        if (i > start) result.push_back(fold(query.substr(start, i - start)));
    }
    return result;
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Not inside a UTF-8 sequence.
bool isCharStart(std::string_view text, std::size_t at) {
    return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

}  // namespace

namespace {

// The earliest word's place, and whether every word occurs.
std::pair<std::optional<TextMatch>, bool> scan(std::string_view text, std::string_view query) {
    const std::vector<std::string> wanted = words(query);
    const std::string folded = fold(text);
    std::optional<TextMatch> first;
    bool all = !wanted.empty();
    for (const std::string& word : wanted) {
        const std::size_t at = folded.find(word);
        if (at == std::string::npos) {
            all = false;
            continue;
        }
        if (!first || at < first->offset) first = TextMatch{at, word.size()};
    }
    return {first, all};
}

}  // namespace

std::optional<TextMatch> findWords(std::string_view text, std::string_view query) {
    const auto [first, all] = scan(text, query);
    if (!all) return std::nullopt;
    return first;
}

std::optional<TextMatch> findAnyWord(std::string_view text, std::string_view query) {
    return scan(text, query).first;
}

std::string matchLine(std::string_view text, const TextMatch& match, std::size_t width) {
    std::size_t begin = match.offset;
    while (begin > 0 && !isLineEnd(text[begin - 1])) --begin;
    std::size_t end = std::min(match.offset + match.length, text.size());
    const std::size_t matchEnd = end;
    while (end < text.size() && !isLineEnd(text[end])) ++end;
    // Long lines keep a piece before the match and fill the rest after it.
    const std::size_t before = width / 3;
    bool cutBefore = false, cutAfter = false;
    if (match.offset - begin > before) {
        begin = match.offset - before;
        while (!isCharStart(text, begin)) ++begin;
        cutBefore = true;
    }
    if (end - begin > width + match.length && matchEnd + (width - before) < end) {
        end = matchEnd + (width - before);
        while (!isCharStart(text, end)) ++end;
        cutAfter = true;
    }
    std::string line = cutBefore ? "…" : "";
    line.append(text.substr(begin, match.offset - begin));
    line.append("»").append(text.substr(match.offset, matchEnd - match.offset)).append("«");
    line.append(text.substr(matchEnd, end - matchEnd));
    if (cutAfter) line.append("…");
    return line;
}

}  // namespace tav
