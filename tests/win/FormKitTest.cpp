#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "KitTestSupport.h"
#include "forms/Form.h"
#include "desktop/Utf.h"

namespace tav {
namespace {

using test::pumpUntil;
using test::WindowDriver;

class ProbeForm : public Form {
public:
    ProbeForm() : Form(L"TKitProbeForm") { create(); }
    ~ProbeForm() override { destroy(); }

    std::function<void()> whenCommand;
    bool allowClose = true;
    CloseAction closeAction = CloseAction::Hide;
    int destroyed = 0;
    bool* released = nullptr;

protected:
    bool onCommand(int, int, HWND) override {
        if (whenCommand) whenCommand();
        return true;
    }
    bool closeQuery() override { return allowClose; }
    void onClose(CloseAction& action) override { action = closeAction; }
    void onDestroy() override { ++destroyed; }
    void onReleased() override {
        if (released) *released = true;
    }
};

// Collects what the error box would have shown.
struct ErrorBoxSpy {
    std::vector<std::string> texts;
    std::vector<HWND> owners;
    ErrorBoxSpy() {
        setErrorBoxFunction([this](HWND owner, const std::string& text) {
            owners.push_back(owner);
            texts.push_back(text);
        });
    }
    ~ErrorBoxSpy() { setErrorBoxFunction({}); }
};

TEST(FormKitGuard, ThrowingHandlerEndsInErrorBoxAndWindowSurvives) {
    ErrorBoxSpy spy;
    ProbeForm form;
    form.whenCommand = [] {
        throw std::runtime_error("Datei nicht gefunden: Notiz1.tvn (\xC3\xA4)");
    };
    SendMessageW(form.handle(), WM_COMMAND, 1, 0);
    ASSERT_EQ(1u, spy.texts.size());
    EXPECT_EQ("Datei nicht gefunden: Notiz1.tvn (\xC3\xA4)", spy.texts[0]);
    EXPECT_EQ(form.handle(), spy.owners[0]);
    ASSERT_TRUE(IsWindow(form.handle()));

    // Something that is no std::exception is caught as well; the form still works.
    form.whenCommand = [] { throw 42; };
    SendMessageW(form.handle(), WM_COMMAND, 1, 0);
    ASSERT_EQ(2u, spy.texts.size());
    EXPECT_EQ("Unbekannter Fehler.", spy.texts[1]);
    bool ran = false;
    form.whenCommand = [&] { ran = true; };
    SendMessageW(form.handle(), WM_COMMAND, 1, 0);
    EXPECT_TRUE(ran);
}

TEST(FormKitGuard, DefaultBoxShowsTextWithProgramCaptionAndOkOnly) {
    ProbeForm form;
    form.whenCommand = [] { throw std::runtime_error("Zugriff verweigert \xC3\xBC"); };
    std::wstring shownText;
    bool hadCancel = true;
    WindowDriver driver(L"#32770", L"Tavelin2000", [&](HWND box) {
        shownText = test::staticTexts(box);
        hadCancel =
            GetDlgItem(box, IDCANCEL) != nullptr && IsWindowVisible(GetDlgItem(box, IDCANCEL));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(form.handle(), WM_COMMAND, 1, 0);  // returns once the box is closed
    ASSERT_TRUE(driver.finished());
    EXPECT_NE(std::wstring::npos, shownText.find(L"Zugriff verweigert \u00fc"))
        << narrow(shownText);
    EXPECT_FALSE(hadCancel);
    EXPECT_TRUE(IsWindow(form.handle()));
}

TEST(FormKitGuard, GuardedRunsCallbacksOutsideWindowProcedures) {
    ErrorBoxSpy spy;
    guarded(nullptr, [] { throw std::logic_error("Zeitgeber"); });
    int calls = 0;
    guarded(nullptr, [&] { ++calls; });
    ASSERT_EQ(1u, spy.texts.size());
    EXPECT_EQ("Zeitgeber", spy.texts[0]);
    EXPECT_EQ(1, calls);
}

// A handler that throws in the close query must not let the window go.
TEST(FormKitClose, RefusedOrFailedCloseKeepsTheWindow) {
    ErrorBoxSpy spy;
    ProbeForm form;
    form.show();
    form.allowClose = false;
    form.close();
    EXPECT_TRUE(form.visible());

    form.allowClose = true;
    form.closeAction = CloseAction::Hide;
    form.close();
    EXPECT_FALSE(form.visible());
    EXPECT_TRUE(IsWindow(form.handle()));
    EXPECT_EQ(0, form.destroyed);
    EXPECT_TRUE(spy.texts.empty());
}

TEST(FormKitClose, FreeAndPostReleaseDestroyAfterTheHandlerReturned) {
    auto* form = new ProbeForm;
    bool released = false;
    form->released = &released;
    HWND hwnd = form->handle();
    bool aliveAfterRequest = false;
    form->whenCommand = [&] {
        form->postRelease();
        aliveAfterRequest = IsWindow(hwnd) != FALSE;
    };
    SendMessageW(hwnd, WM_COMMAND, 1, 0);
    EXPECT_TRUE(aliveAfterRequest);
    ASSERT_TRUE(pumpUntil([&] { return released; }));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(1, form->destroyed);
    EXPECT_EQ(nullptr, form->handle());
    delete form;

    ProbeForm closing;
    bool closedReleased = false;
    closing.released = &closedReleased;
    closing.closeAction = CloseAction::Free;
    closing.close();
    ASSERT_TRUE(pumpUntil([&] { return closedReleased; }));
    EXPECT_FALSE(closing.created());
}

TEST(FormKitProperties, BoundsCaptionAndColour) {
    ProbeForm form;
    form.setBounds(40, 50, 270, 240);
    EXPECT_EQ(40, form.left());
    EXPECT_EQ(50, form.top());
    EXPECT_EQ(270, form.width());
    EXPECT_EQ(240, form.height());
    const int frame = form.height() - form.clientHeight();
    form.setClientHeight(100);
    EXPECT_EQ(100, form.clientHeight());
    EXPECT_EQ(100 + frame, form.height());

    form.setCaption("Tavelin 2000 \xC3\xB6");
    EXPECT_EQ("Tavelin 2000 \xC3\xB6", form.caption());
    EXPECT_EQ(L"Tavelin 2000 \u00f6", test::windowText(form.handle()));

    // The background is the form's colour (the note's yellow).
    form.setColor(RGB(255, 255, 0));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 400, 400);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    SendMessageW(form.handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(RGB(255, 255, 0), GetPixel(dc, 5, 5));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST(FormKitProperties, OwnerCanBeChangedAfterCreation) {
    ProbeForm owner, owned;
    EXPECT_EQ(nullptr, owned.owner());
    owned.setOwner(owner.handle());
    EXPECT_EQ(owner.handle(), owned.owner());
    EXPECT_EQ(owner.handle(), GetWindow(owned.handle(), GW_OWNER));
    owned.setOwner(nullptr);
    EXPECT_EQ(nullptr, GetWindow(owned.handle(), GW_OWNER));
}

TEST(FormKitUtf, RoundTripAndInvalidInput) {
    const std::string text =
        "Men\xC3\xBC \xE2\x82\xAC \xF0\x9F\x93\x9D";  // Menü € and a non-BMP character
    EXPECT_EQ(text, narrow(widen(text)));
    EXPECT_EQ(L"Men\u00fc \u20ac \U0001F4DD", widen(text));
    // A stray byte becomes U+FFFD instead of throwing or cutting the text.
    EXPECT_EQ(L"a\uFFFDb", widen("a\xFF"
                                 "b"));
}

}  // namespace
}  // namespace tav
