#include "store/TextSearch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace tav {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Not inside a UTF-8 sequence.
bool isCharStart(std::string_view text, std::size_t at) {
    return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

// Folds ASCII letters and the Latin-1 capitals (À to Þ but ×) to small
// letters without changing a byte's place.
std::string foldCase(std::string_view text) {
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

}  // namespace

std::vector<std::string> queryWords(std::string_view query) {
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < query.size()) {
        while (i < query.size() && isBlank(query[i])) ++i;
        const std::size_t start = i;
        while (i < query.size() && !isBlank(query[i])) ++i;
        if (i > start) result.push_back(foldCase(query.substr(start, i - start)));
    }
    return result;
}

FoldedText::FoldedText(std::string_view utf8) : original_(utf8), folded_(foldCase(utf8)) {
    count();
}

namespace {

// The character at units[i] as UTF-8, a lone surrogate as U+FFFD the way
// the system converts it; i moves past a pair. Returns the byte count.
std::size_t encode(std::u16string_view units, std::size_t& i, unsigned char* out) {
    char32_t c = units[i];
    if (c < 0x80) {
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (c >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        return 2;
    }
    std::size_t n = 0;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        out[n++] = static_cast<unsigned char>(0xF0 | (c >> 18));
        out[n++] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    } else {
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        out[n++] = static_cast<unsigned char>(0xE0 | (c >> 12));
    }
    out[n++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    out[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    return n;
}

constexpr std::size_t kMarkEvery = 4096;  // UTF-16 units

constexpr std::array<unsigned char, 128> kAsciiFolded = [] {
    std::array<unsigned char, 128> folded{};
    for (unsigned c = 0; c < 128; ++c)
        folded[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return folded;
}();

}  // namespace

// Only the folded text is made: the original's UTF-8 is wanted only for the
// few lines shown, and making all of it would cost as much again as
// fetching the texts from their controls.
FoldedText::FoldedText(std::u16string units) : units_(std::move(units)) {
    // Exactly the room needed: fresh memory costs more to touch than the
    // conversion itself. A pair counted as six bytes takes four.
    std::size_t size = 0;
    for (const char16_t c : units_) size += 1u + (c >= 0x80) + (c >= 0x800);
    folded_.resize(size);
    unsigned char* const low = reinterpret_cast<unsigned char*>(folded_.data());
    const std::u16string_view view = units_;
    const char16_t* const data = view.data();
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < view.size()) {
        marks_.push_back({i, n});
        const std::size_t stop = std::min(view.size(), i + kMarkEvery);
        while (i < stop) {
            // Runs of ASCII, most of a German text, in a loop of their own.
            const char16_t* from = data + i;
            const char16_t* const end = data + stop;
            unsigned char* to = low + n;
            while (from < end && *from < 0x80) *to++ = kAsciiFolded[*from++];
            i = static_cast<std::size_t>(from - data);
            n = static_cast<std::size_t>(to - low);
            if (i == stop) break;
            const unsigned c = data[i];
            if (c < 0x800) {  // the umlauts among them
                const bool capital = c >= 0xC0 && c <= 0xDE && c != 0xD7;
                low[n] = static_cast<unsigned char>(0xC0 | (c >> 6));
                low[n + 1] = static_cast<unsigned char>((0x80 | (c & 0x3F)) + (capital ? 32 : 0));
                n += 2;
            } else {
                n += encode(view, i, low + n);
            }
            ++i;
        }
    }
    folded_.resize(n);
    count();
}

std::string FoldedText::original(std::size_t begin, std::size_t end) const {
    end = std::min(end, folded_.size());
    if (begin >= end) return {};
    if (units_.empty()) return original_.substr(begin, end - begin);
    // From the last mark before the place, counting bytes up to it.
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), begin,
                                 [](std::size_t at, const Mark& m) { return at < m.byte; });
    --mark;
    std::size_t i = mark->unit, n = mark->byte;
    unsigned char bytes[4];
    std::string out;
    for (; i < units_.size() && n < end; ++i) {
        const std::size_t size = encode(units_, i, bytes);
        if (n >= begin) out.append(reinterpret_cast<const char*>(bytes), size);
        n += size;
    }
    return out;
}

// Four tables, so that a run of one byte does not wait on its own count.
void FoldedText::count() {
    std::array<std::array<std::uint32_t, 256>, 4> partial{};
    const auto* bytes = reinterpret_cast<const unsigned char*>(folded_.data());
    const std::size_t size = folded_.size();
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        ++partial[0][bytes[i]];
        ++partial[1][bytes[i + 1]];
        ++partial[2][bytes[i + 2]];
        ++partial[3][bytes[i + 3]];
    }
    for (; i < size; ++i) ++partial[0][bytes[i]];
    for (std::size_t b = 0; b < 256; ++b)
        counts_[b] = std::size_t{partial[0][b]} + partial[1][b] + partial[2][b] + partial[3][b];
}

std::size_t FoldedText::find(std::string_view word, std::size_t from) const {
    if (word.empty()) return std::min(from, folded_.size());
    // Umlauts make their first byte one of the commonest of a German text;
    // stopping at each would cost more than the comparisons themselves.
    std::size_t anchor = 0;
    for (std::size_t i = 1; i < word.size(); ++i) {
        if (counts_[static_cast<unsigned char>(word[i])] <
            counts_[static_cast<unsigned char>(word[anchor])])
            anchor = i;
    }
    if (counts_[static_cast<unsigned char>(word[anchor])] == 0) return std::string::npos;
    const char* const begin = folded_.data();
    const char* const end = begin + folded_.size();
    const char* at = begin + std::min(from + anchor, folded_.size());
    while (at < end) {
        at = static_cast<const char*>(
            std::memchr(at, word[anchor], static_cast<std::size_t>(end - at)));
        if (at == nullptr) break;
        const std::size_t start = static_cast<std::size_t>(at - begin) - anchor;
        if (folded_.size() - start >= word.size() &&
            std::memcmp(begin + start, word.data(), word.size()) == 0)
            return start;
        ++at;
    }
    return std::string::npos;
}

std::optional<TextMatch> findAnyWord(const FoldedText& text,
                                     const std::vector<std::string>& words) {
    std::optional<TextMatch> first;
    for (const std::string& word : words) {
        const std::size_t at = text.find(word);
        if (at != std::string::npos && (!first || at < first->offset))
            first = TextMatch{at, word.size()};
    }
    return first;
}

bool holdsEveryWord(std::initializer_list<const FoldedText*> texts,
                    const std::vector<std::string>& words) {
    if (words.empty()) return false;
    for (const std::string& word : words) {
        bool found = false;
        for (const FoldedText* text : texts) found = found || text->find(word) != std::string::npos;
        if (!found) return false;
    }
    return true;
}

std::optional<TextMatch> findWords(std::string_view text, std::string_view query) {
    const std::vector<std::string> words = queryWords(query);
    const FoldedText folded(text);
    if (!holdsEveryWord({&folded}, words)) return std::nullopt;
    return findAnyWord(folded, words);
}

std::optional<TextMatch> findAnyWord(std::string_view text, std::string_view query) {
    return findAnyWord(FoldedText(text), queryWords(query));
}

std::string matchLine(const FoldedText& text, const TextMatch& match, std::size_t width) {
    // Line ends and character starts are where they are in the original.
    const std::string_view folded = text.text();
    std::size_t begin = match.offset;
    while (begin > 0 && !isLineEnd(folded[begin - 1])) --begin;
    std::size_t end = std::min(match.offset + match.length, folded.size());
    const std::size_t matchEnd = end;
    while (end < folded.size() && !isLineEnd(folded[end])) ++end;
    // Long lines keep a piece before the match and fill the rest after it.
    const std::size_t before = width / 3;
    bool cutBefore = false, cutAfter = false;
    if (match.offset - begin > before) {
        begin = match.offset - before;
        while (!isCharStart(folded, begin)) ++begin;
        cutBefore = true;
    }
    if (end - begin > width + match.length && matchEnd + (width - before) < end) {
        end = matchEnd + (width - before);
        while (!isCharStart(folded, end)) ++end;
        cutAfter = true;
    }
    const std::string piece = text.original(begin, end);
    std::string line = cutBefore ? "…" : "";
    line.append(piece, 0, match.offset - begin);
    line.append("»").append(piece, match.offset - begin, matchEnd - match.offset).append("«");
    line.append(piece, matchEnd - begin);
    if (cutAfter) line.append("…");
    return line;
}

std::string matchLine(std::string_view text, const TextMatch& match, std::size_t width) {
    return matchLine(FoldedText(text), match, width);
}

}  // namespace tav
