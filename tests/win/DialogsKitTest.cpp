#include <gtest/gtest.h>
#include <windows.h>

#include "KitTestSupport.h"
#include "forms/Dialogs.h"

namespace tav {
namespace {

using test::WindowDriver;
using test::windowText;

TEST(DialogsKit, InputBoxReturnsTheTypedText) {
    std::wstring defaultShown, okCaption, cancelCaption, prompt;
    WindowDriver driver(L"#32770", L"Notiz-Titel", [&](HWND box) {
        defaultShown = windowText(GetDlgItem(box, kInputBoxEditId));
        okCaption = windowText(GetDlgItem(box, IDOK));
        cancelCaption = windowText(GetDlgItem(box, IDCANCEL));
        prompt = windowText(GetDlgItem(box, kInputBoxPromptId));
        SetDlgItemTextW(box, kInputBoxEditId, L"Einkauf f\u00fcr Montag");
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    const std::string result = inputBox(
        nullptr, "Notiz-Titel", "Geben Sie den neuen Notiz-Titel ein", "Tavelin2000 Notiz  ");
    ASSERT_TRUE(driver.finished());
    EXPECT_EQ("Einkauf f\xC3\xBCr Montag", result);
    EXPECT_EQ(L"Tavelin2000 Notiz  ", defaultShown);
    EXPECT_EQ(L"Geben Sie den neuen Notiz-Titel ein", prompt);
    EXPECT_EQ(L"OK", okCaption);
    EXPECT_EQ(L"Abbrechen", cancelCaption);
}

TEST(DialogsKit, InputBoxCancelGivesTheDefault) {
    WindowDriver driver(L"#32770", L"Notiz-Titel", [&](HWND box) {
        SetDlgItemTextW(box, kInputBoxEditId, L"verworfen");
        SendMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ("Alt \xC3\xA4", inputBox(nullptr, "Notiz-Titel", "Titel", "Alt \xC3\xA4"));
    ASSERT_TRUE(driver.finished());

    // inputQuery tells the cancel apart and leaves the text alone.
    WindowDriver again(L"#32770", L"Notiz-Titel",
                       [&](HWND box) { PostMessageW(box, WM_COMMAND, IDCANCEL, 0); });
    std::string text = "bleibt";
    EXPECT_FALSE(inputQuery(nullptr, "Notiz-Titel", "Titel", text));
    EXPECT_EQ("bleibt", text);
    ASSERT_TRUE(again.finished());
}

TEST(DialogsKit, MessageBoxReportsTheButtonPressed) {
    std::wstring text;
    WindowDriver driver(L"#32770", L"Notiz l\u00f6schen", [&](HWND box) {
        text = test::staticTexts(box);
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, messageBox(nullptr, "Wollen Sie diese Notiz wirklich l\xC3\xB6schen?",
                                   "Notiz l\xC3\xB6schen", MB_OKCANCEL | MB_ICONQUESTION));
    ASSERT_TRUE(driver.finished());
    EXPECT_NE(std::wstring::npos, text.find(L"Wollen Sie diese Notiz wirklich l\u00f6schen?"));
}

}  // namespace
}  // namespace tav
