#include <gtest/gtest.h>

#include "store/TextSearch.h"

namespace tav {
namespace {

TEST(TextSearch, WordsMatchInAnyOrderWithCaseAndUmlautsFolded) {
    struct Case {
        const char* text;
        const char* query;
        std::optional<TextMatch> expected;
    };
    const Case cases[] = {
        {"Milch kaufen", "MILCH", TextMatch{0, 5}},
        {"Größe ÄNDERN", "änd", TextMatch{8, 4}},  // bytes: "Größe " holds 8
        {"ÖL und Übung", "öl üBUNG", TextMatch{0, 3}},
        {"Brot\rund Milch", "milch brot", TextMatch{0, 4}},  // words on two lines
        {"Kaffee\r\nmit Zucker", "zucker", TextMatch{12, 6}},
        {"Milch kaufen", "milch tee", std::nullopt},  // every word must occur
        {"Milch", "  ", std::nullopt},
        {"× und ÷", "÷", TextMatch{7, 2}},  // signs stay as they are
        {"STRASSE", "straße", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findWords(c.text, c.query), c.expected) << c.text << " / " << c.query;
    // For the line to show, one word is enough.
    EXPECT_EQ(findAnyWord("frische Äpfel", "milch äpfel"), (TextMatch{8, 6}));
}

TEST(TextSearch, TheLineAroundTheMatchIsMarkedAndCut) {
    EXPECT_EQ(matchLine("erste\rzweite Zeile mit Milch\rdritte", {23, 5}),
              "zweite Zeile mit »Milch«");
    const std::string longLine = std::string(100, 'a') + " Ziel " + std::string(100, 'b');
    const std::string line = matchLine(longLine, {101, 4}, 30);
    // A third of the width before the match, the rest after it.
    EXPECT_EQ(line, "…" + std::string(9, 'a') + " »Ziel« " + std::string(19, 'b') + "…");
}

}  // namespace
}  // namespace tav
