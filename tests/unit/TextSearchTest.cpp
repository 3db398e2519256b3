#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    const std::u16string units = u"Ä Ö Üß × É € \U0001F600 Z\xD800x";
    const FoldedText text(units);
    const std::string utf8 = "Ä Ö Üß × É € \xF0\x9F\x98\x80 Z\xEF\xBF\xBDx";
    EXPECT_EQ(FoldedText(utf8).text(), text.text());
    EXPECT_EQ("ä ö üß × é € \xF0\x9F\x98\x80 z\xEF\xBF\xBDx", text.text());
    // Places in the control: the pair counts two, the lone surrogate one.
    EXPECT_EQ(units.size(), utf16Length(text.text()));
    EXPECT_EQ(units.find(u'Z'), utf16Length(std::string_view(text.text()).substr(0, text.find("z"))));
}

TEST(TextSearch, TextsFoldedOnTheSecondThreadEachGetTheirOwn) {
    // Of different lengths, so that a text folded from the other buffer,
    // or from one being fetched into, shows.
    std::vector<std::u16string> texts;
    for (char16_t i = 0; i < 20; ++i)
        texts.push_back(std::u16string(i * 700u + 1, static_cast<char16_t>(u'A' + i)) + u"Ä");
    std::vector<FoldedText> folded(texts.size());
    {
        FoldingThread folding;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            folding.buffer() = texts[i];
            folding.fold(folded[i]);
        }
        folding.finish();
    }
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(FoldedText(texts[i]).text(), folded[i].text()) << i;
}

TEST(TextSearch, TheLineAroundTheMatchIsMarkedAndCut) {
    EXPECT_EQ(matchLine("erste\rzweite Zeile mit Milch\rdritte", {23, 5}),
              "zweite Zeile mit »Milch«");
    const std::string longLine = std::string(100, 'a') + " Ziel " + std::string(100, 'b');
    const std::string line = matchLine(longLine, {101, 4}, 30);
    // A third of the width before the match, the rest after it.
    EXPECT_EQ(line, "…" + std::string(9, 'a') + " »Ziel« " + std::string(19, 'b') + "…");
    // A source whose text changed meanwhile gives a piece of another length.
    const auto gone = [](std::size_t, std::size_t) { return std::string("x"); };
    EXPECT_EQ(matchLine(FoldedText("Frische Milch"), {8, 5}, gone), "frische »milch«");
}

}  // namespace
}  // namespace tav
