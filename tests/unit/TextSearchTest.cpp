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

TEST(TextSearch, AFoldedTextFindsEachPlaceInTurn) {
    // The rarest byte of "äpfel" is not its first; the place found is still
    // where the word begins.
    const FoldedText text("ÄÄPFEL äpfel Äpfe");
    EXPECT_EQ(2u, text.find("äpfel"));
    EXPECT_EQ(9u, text.find("äpfel", 3));
    EXPECT_EQ(std::string::npos, text.find("äpfel", 10));  // only "äpfe" is left
    EXPECT_EQ(std::string::npos, text.find("äpfelx"));
    EXPECT_EQ(std::string::npos, FoldedText("").find("a"));
}

TEST(TextSearch, TextFromTheControlsComesOutAsUtf8FoldedAlike) {
    // Capitals of every length, a sign that stays, a pair of surrogates,
    // and a lone surrogate as the system converts it.
    const char16_t units[] = u"Ä Ö Üß × É € \U0001F600 Z\xD800x";
    const FoldedText text(std::u16string(units, std::size(units) - 1));
    const std::string utf8 = "Ä Ö Üß × É € \xF0\x9F\x98\x80 Z\xEF\xBF\xBDx";
    EXPECT_EQ(utf8, text.original(0, 100));
    EXPECT_EQ("\xF0\x9F\x98\x80 Z", text.original(21, 27));
    // Far into a long text, past the places it marks on the way.
    const FoldedText longText(std::u16string(9000, u'é') + u"\rZeile mit Äpfeln\r");
    const std::size_t at = longText.find("äpfel");
    EXPECT_EQ(18000u + 11, at);
    EXPECT_EQ("Zeile mit »Äpfel«n", matchLine(longText, {at, 6}));
    EXPECT_EQ(FoldedText(utf8).text(), text.text());
    EXPECT_EQ("ä ö üß × é € \xF0\x9F\x98\x80 z\xEF\xBF\xBDx", text.text());
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
