#pragma once
// Finding notes by words: every word of the query must occur in the text,
// in any order, case and umlauts folded ("ä" finds "Ä"). Texts and queries
// are UTF-8; positions are byte offsets into the text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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

// The line of the text that holds the match, cut to about `width` bytes
// around it, the match itself between "»" and "«".
std::string matchLine(std::string_view text, const TextMatch& match, std::size_t width = 60);

}  // namespace tav
