#pragma once
// Finding notes by words: every word of the query must occur in the text,
// in any order, case and umlauts folded ("ä" finds "Ä"). Texts and queries
// are UTF-8; positions are byte offsets into the text.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
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

// A text and its folded copy for looking up words. Folding keeps every byte
// in its place, so offsets in the one hold for the other.
class FoldedText {
public:
    FoldedText() = default;
    explicit FoldedText(std::string_view utf8);
    // As the text controls hold it; offsets count the bytes of its UTF-8, a
    // lone surrogate taken as U+FFFD as the system's own conversion does.
    explicit FoldedText(std::u16string utf16);
    const std::string& text() const { return folded_; }  // folded
    // Bytes [begin, end) of the text as it was, begin and end at characters.
    std::string original(std::size_t begin, std::size_t end) const;
    // The first place of a folded word at or after `from`, else npos.
    std::size_t find(std::string_view word, std::size_t from = 0) const;

private:
    void count();

    std::string original_;  // from UTF-8
    std::u16string units_;  // else from UTF-16
    struct Mark {
        std::size_t unit, byte;
    };
    std::vector<Mark> marks_;  // now and then, where a unit's bytes begin
    std::string folded_;
    // How often each byte occurs: a word is looked for by its rarest byte,
    // and one with a byte the text lacks is not looked for at all.
    std::array<std::size_t, 256> counts_{};
};

std::optional<TextMatch> findAnyWord(const FoldedText& text, const std::vector<std::string>& words);
// Each word in at least one of the texts; false for no words.
bool holdsEveryWord(std::initializer_list<const FoldedText*> texts,
                    const std::vector<std::string>& words);

// The line of the text that holds the match, cut to about `width` bytes
// around it, the match itself between "»" and "«".
std::string matchLine(std::string_view text, const TextMatch& match, std::size_t width = 60);
std::string matchLine(const FoldedText& text, const TextMatch& match, std::size_t width = 60);

}  // namespace tav
