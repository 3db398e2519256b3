#pragma once
// Finding notes by words: every word of the query must occur in the text,
// in any order, case and umlauts folded ("ä" finds "Ä"). Texts and queries
// are UTF-8; positions are byte offsets into the text.

#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tav {

struct TextMatch {
    std::size_t offset = 0;  // of the word that occurs first
    std::size_t length = 0;
    bool operator==(const TextMatch&) const = default;
};

// Nothing when a word is missing or the query has none.
std::optional<TextMatch> findWords(std::string_view text, std::string_view query);
// The first place where any word of the query occurs.
std::optional<TextMatch> findAnyWord(std::string_view text, std::string_view query);

// For a search that looks at the same texts again and again as the query
// is typed: each text and each query folded once, then only looked up.
std::vector<std::string> queryWords(std::string_view query);  // folded

// A text folded for looking up words. Folding keeps every byte in its
// place, so offsets in it hold for the text as it was. Only the folded copy
// is kept: fresh memory costs more to touch than the folding itself.
class FoldedText {
public:
    FoldedText() = default;
    explicit FoldedText(std::string_view utf8);
    // As the text controls hold it; offsets count the bytes of its UTF-8, a
    // lone surrogate taken as U+FFFD as the system's own conversion does.
    explicit FoldedText(std::u16string_view utf16);
    const std::string& text() const { return folded_; }
    // The first place of a folded word at or after `from`, else npos.
    std::size_t find(std::string_view word, std::size_t from = 0) const;

private:
    void count();

    std::string folded_;
    // How often each byte occurs: a word is looked for by its rarest byte,
    // and one with a byte the text lacks is not looked for at all.
    std::array<std::size_t, 256> counts_{};
};

// Folds texts on a second thread while the caller fetches the next one.
// Fetching must stay on the caller's thread, the text controls' own, and
// folding, mostly the touching of fresh memory, would otherwise come on
// top of it.
class FoldingThread {
public:
    FoldingThread();
    ~FoldingThread();  // after the fold under way
    FoldingThread(const FoldingThread&) = delete;
    FoldingThread& operator=(const FoldingThread&) = delete;

    // The buffer to fetch the next text into.
    std::u16string& buffer() { return buffers_[next_]; }
    // Hands that buffer over to be folded into `into`; rethrows what folding
    // a text handed over before threw.
    void fold(FoldedText& into);
    // Waits until every text handed over is folded; rethrows as above.
    void finish();

private:
    void run();
    void rethrowError();

    struct Job {
        const std::u16string* from;
        FoldedText* into;
    };
    // Taking turns, so the caller fetches the next text while some before
    // wait to be folded: the two threads need not go at the same pace.
    std::array<std::u16string, 4> buffers_;
    std::size_t next_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;  // the first one under way
    bool stop_ = false;
    std::exception_ptr error_;
    std::thread thread_;  // last: it runs on all the above
};

// How many UTF-16 units the text holds, as the text controls count places.
std::size_t utf16Length(std::string_view utf8);

std::optional<TextMatch> findAnyWord(const FoldedText& text, const std::vector<std::string>& words);
// Each word in at least one of the texts; false for no words.
bool holdsEveryWord(std::initializer_list<const FoldedText*> texts,
                    const std::vector<std::string>& words);

// The line of the text that holds the match, cut to about `width` bytes
// around it, the match itself between "»" and "«".
std::string matchLine(std::string_view text, const TextMatch& match, std::size_t width = 60);
// The same from a folded text; `original` gives bytes [begin, end) of the
// text as it was, and the line stays folded where it cannot.
using OriginalPiece = std::function<std::string(std::size_t begin, std::size_t end)>;
std::string matchLine(const FoldedText& text, const TextMatch& match,
                      const OriginalPiece& original, std::size_t width = 60);

}  // namespace tav
