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

constexpr unsigned char kToSmall = 'a' - 'A';  // the same for À and à

bool isAsciiCapital(unsigned c) { return c - 'A' < 26u; }

// The second byte, after 0xC3, of the Latin-1 capitals À to Þ but ×.
bool isLatinCapitalTail(unsigned c) { return c >= 0x80 && c <= 0x9E && c != 0x97; }

// Folds ASCII letters and the Latin-1 capitals to small letters without
// changing a byte's place.
void foldCase(std::string& text) {
    auto* bytes = reinterpret_cast<unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isAsciiCapital(bytes[i])) {
            bytes[i] = static_cast<unsigned char>(bytes[i] + kToSmall);
        } else if (bytes[i] == 0xC3 && i + 1 < text.size()) {
            ++i;
            if (isLatinCapitalTail(bytes[i]))
                bytes[i] = static_cast<unsigned char>(bytes[i] + kToSmall);
        }
    }
}

}  // namespace

std::vector<std::string> queryWords(std::string_view query) {
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < query.size()) {
        while (i < query.size() && isBlank(query[i])) ++i;
        const std::size_t start = i;
        while (i < query.size() && !isBlank(query[i])) ++i;
        if (i == start) continue;
        result.emplace_back(query.substr(start, i - start));
        foldCase(result.back());
    }
    return result;
}

FoldedText::FoldedText(std::string_view utf8) : folded_(utf8) {
    foldCase(folded_);
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

}  // namespace

FoldedText::FoldedText(std::u16string_view units) {
    // Exactly the room needed: fresh memory costs more to touch than the
    // conversion itself. A pair counted as six bytes takes four.
    std::size_t size = 0;
    for (const char16_t c : units) size += 1u + (c >= 0x80) + (c >= 0x800);
    folded_.resize(size);
    auto* const out = reinterpret_cast<unsigned char*>(folded_.data());
    const char16_t* const data = units.data();
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < units.size()) {
        // Runs of ASCII, most of a German text, in a loop of their own.
        for (; i < units.size() && data[i] < 0x80; ++i, ++n) {
            const unsigned c = data[i];
            out[n] = static_cast<unsigned char>(c + (isAsciiCapital(c) ? kToSmall : 0));
        }
        if (i == units.size()) break;
        const unsigned c = data[i];
        if (c < 0x800) {  // the umlauts among them
            const unsigned tail = 0x80 | (c & 0x3F);
            const bool capital = c >> 6 == 3 && isLatinCapitalTail(tail);
            out[n] = static_cast<unsigned char>(0xC0 | (c >> 6));
            out[n + 1] = static_cast<unsigned char>(tail + (capital ? kToSmall : 0));
            n += 2;
        } else {
            n += encode(units, i, out + n);
        }
        ++i;
    }
    folded_.resize(n);
    count();
}

FoldingThread::FoldingThread() : thread_([this] { run(); }) {}

FoldingThread::~FoldingThread() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FoldingThread::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !jobs_.empty() || stop_; });
        if (jobs_.empty()) return;
        // The caller leaves a job and its buffer alone while it is queued.
        const Job job = jobs_.front();
        lock.unlock();
        std::exception_ptr error;
        try {
            *job.into = FoldedText(*job.from);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        if (error) error_ = error;
        jobs_.pop_front();
        changed_.notify_all();
    }
}

void FoldingThread::rethrowError() {
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void FoldingThread::fold(FoldedText& into) {
    std::unique_lock lock(mutex_);
    rethrowError();
    jobs_.push_back({&buffers_[next_], &into});
    next_ = (next_ + 1) % buffers_.size();
    changed_.notify_all();
    // The next buffer is free once fewer jobs than buffers are queued.
    changed_.wait(lock, [this] { return jobs_.size() < buffers_.size(); });
}

void FoldingThread::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.empty(); });
    rethrowError();
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        // A character of four bytes is a pair of surrogates.
        units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    }
    return units;
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

std::string matchLine(const FoldedText& text, const TextMatch& match,
                      const OriginalPiece& original, std::size_t width) {
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
    std::string piece = original(begin, end);
    // A source that no longer holds the text shows the folded one.
    if (piece.size() != end - begin) piece = folded.substr(begin, end - begin);
    std::string line = cutBefore ? "…" : "";
    line.append(piece, 0, match.offset - begin);
    line.append("»").append(piece, match.offset - begin, matchEnd - match.offset).append("«");
    line.append(piece, matchEnd - begin);
    if (cutAfter) line.append("…");
    return line;
}

std::string matchLine(std::string_view text, const TextMatch& match, std::size_t width) {
    return matchLine(
        FoldedText(text), match,
        [text](std::size_t begin, std::size_t end) {
            return std::string(text.substr(begin, end - begin));
        },
        width);
}

}  // namespace tav
