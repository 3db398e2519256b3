// The note's text and format commands in-process: a note window with a small
// host in a fresh program directory, its dialogs answered through the hooks,
// formats read back from the control itself and files from the disk.

#include <windows.h>
// richedit.h and winspool.h need the types of windows.h.
#include <gtest/gtest.h>
#include <richedit.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "KitTestSupport.h"
#include "SuiteSkip.h"
#include "desktop/Utf.h"
#include "forms/Form.h"
#include "forms/LinkFollow.h"
#include "note/NoteHost.h"
#include "note/NoteTextCommands.h"
#include "note/NoteWindow.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"

using namespace tav;
using tav::test::readFile;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kLightBlue = RGB(170, 210, 255);

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

CHARFORMAT2W selectionFormat(HWND edit) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_ALL2;
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

PARAFORMAT2 paragraphFormat(HWND edit) {
    PARAFORMAT2 format = {};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALL2;
    SendMessageW(edit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

// Wine's clipboard goes through the X server and may be busy for a moment.
bool openClipboard(HWND owner) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(10);
    }
    return false;
}

void setClipboardText(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(openClipboard(owner));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

void emptyClipboard(HWND owner) {
    ASSERT_TRUE(openClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
}

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (!openClipboard(owner)) return L"<belegt>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Holds Ctrl down for this thread's GetKeyState while it lives.
class CtrlHeld {
public:
    CtrlHeld() {
        GetKeyboardState(saved_);
        BYTE keys[256];
        std::memcpy(keys, saved_, sizeof keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
        SetKeyboardState(keys);
    }
    ~CtrlHeld() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

// Works the next visible dialog of the test's thread from a second thread,
// while the first one sits in the dialog's modal loop.
class DialogAnswer {
public:
    DialogAnswer(DWORD threadId, std::function<void(HWND)> answer)
        : threadId_(threadId), answer_(std::move(answer)), thread_([this] { run(); }) {}
    ~DialogAnswer() {
        if (thread_.joinable()) thread_.join();
    }
    // The caption of the dialog that was answered; empty when none came.
    std::wstring caption() {
        if (thread_.joinable()) thread_.join();
        return caption_;
    }

private:
    void run() {
        const ULONGLONG limit = GetTickCount64() + 60000;
        while (GetTickCount64() < limit) {
            HWND found = nullptr;
            for (HWND w : tav::test::threadWindows(threadId_)) {
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(w)) {
                    found = w;
                    break;
                }
            }
            if (found) {
                wchar_t text[256] = {};
                GetWindowTextW(found, text, 256);
                caption_ = text;
                // Answered once its thread takes messages: the set-up is done.
                SendMessageW(found, WM_NULL, 0, 0);
                answer_(found);
                return;
            }
            Sleep(10);
        }
    }

    DWORD threadId_;
    std::function<void(HWND)> answer_;
    std::wstring caption_;
    std::thread thread_;
};

class Host : public NoteHost {
public:
    Host() {
        owner_ = CreateWindowExW(0, L"STATIC", L"TavelinTextTestOwner", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~Host() override {
        notes.clear();
        DestroyWindow(owner_);
    }

    HWND ownerWindow() const override { return owner_; }
    const std::string& currentNoteName() const override { return name_; }
    void setCurrentNoteName(const std::string& name) override { name_ = name; }
    SlotTable& slotTable() override { return slots; }
    NoteWindow& createNoteWindow() override {
        notes.push_back(std::make_unique<NoteWindow>(*this));
        return *notes.back();
    }
    int raiseNoteCounter() override { return ++counter; }
    NoteWindow* findNote(const std::string&) const override { return nullptr; }
    void newNote() override {}
    void showSettings() override {}
    void showAbout() override {}
    void hideNote(NoteWindow&) override {}
    void exitProgram() override {}
    void releaseNote(NoteWindow* note) override { note->postRelease(); }

    std::vector<std::unique_ptr<NoteWindow>> notes;
    SlotTable slots;
    int counter = 0;

private:
    HWND owner_ = nullptr;
    std::string name_;
};

struct Message {
    std::string text, caption;
    UINT flags;
};

class NoteText : public ::testing::Test {
protected:
    void SetUp() override {
        setProgramDir(dir_);
        setErrorBoxFunction([this](HWND, const std::string& text) { errors_.push_back(text); });

        TextCommandHooks hooks;
        hooks.chooseFile = [this](HWND, const FileDialogRequest& request) {
            requests_.push_back(request);
            return chosenPath_;
        };
        hooks.chooseFont = [this](CHOOSEFONTW& dialog) { return answerFont_(dialog); };
        hooks.chooseColor = [this](CHOOSECOLORW& dialog) { return answerColor_(dialog); };
        hooks.messageBox = [this](HWND, const std::string& text, const std::string& caption,
                                  UINT flags) {
            messages_.push_back({text, caption, flags});
            return answer_;
        };
        setTextCommandHooks(std::move(hooks));
        linkShell.ask = [this](HWND, const std::string& question) {
            messages_.push_back({question, {}, MB_YESNO});
            return answer_ == IDYES;
        };
        linkShell.open = [this](HWND, const std::string& target) { opened_.push_back(target); };
        linkShell.showInFolder = [this](HWND, const std::string& path) {
            opened_.push_back("Ordner:" + path);
        };
    }

    void TearDown() override {
        setTextCommandHooks({});
        linkShell = {};
        host_.reset();
        test::pumpMessages();
        setErrorBoxFunction(nullptr);
        EXPECT_TRUE(errors_.empty()) << errors_.front();
    }

    // A note as the tray controller makes it, past both start-up ticks.
    NoteWindow& open(int number = 3, bool edit = true) {
        host_->setCurrentNoteName(noteName(number));
        host_->slots.markUsed(number);
        NoteWindow& note = host_->createNoteWindow();
        note.show();
        EXPECT_TRUE(test::pumpUntil([&] { return note.startupTicksDone(); }));
        if (edit) note.enterEditMode();
        return note;
    }

    std::string value(const std::string& section, const std::string& key) {
        IniFile ini(settingsPath());
        return ini.readString(section, key, "<fehlt>");
    }

    test::TempFolder folder_{"text"};
    const std::string dir_ = folder_.path();
    std::vector<std::string> errors_;
    std::unique_ptr<Host> host_ = std::make_unique<Host>();

    std::optional<std::string> chosenPath_;
    std::vector<FileDialogRequest> requests_;
    std::function<bool(CHOOSEFONTW&)> answerFont_ = [](CHOOSEFONTW&) { return false; };
    std::function<bool(CHOOSECOLORW&)> answerColor_ = [](CHOOSECOLORW&) { return false; };
    std::vector<Message> messages_;
    int answer_ = IDOK;
    std::vector<std::string> opened_;
};

TEST_F(NoteText, CommandsAreOfferedOnceBuilt) {
    NoteWindow& note = open();
    for (MenuItem* m :
         {&note.copyItem, &note.wordWrapItem, &note.printItem, &note.exportItem,
          &note.importItem, &note.undoItem, &note.fontItem, &note.pasteObjectItem})
        EXPECT_TRUE(m->enabled) << m->name;
    EXPECT_TRUE(note.importExportItem.visible);
    for (SpeedButton* b :
         {&note.copyButton, &note.pasteButton, &note.bulletButton, &note.alignRightButton, &note.highlightButton})
        EXPECT_TRUE(b->enabled()) << b->name;
}

TEST_F(NoteText, CopyCutAndPasteCarryPlainTextOnly) {
    NoteWindow& note = open();
    const HWND owner = host_->ownerWindow();
    note.memo1.setRtf("{\\rtf1\\ansi {\\b fett} und normal\\par zweite\\par}");

    setClipboardText(owner, L"vorher");
    note.memo1.setSel(2, 2);
    note.copyItem.click();
    EXPECT_EQ(L"vorher", clipboardText(owner)) << "an empty selection copies nothing";
    note.cutItem.click();
    EXPECT_EQ(L"vorher", clipboardText(owner));
    EXPECT_EQ("fett und normal\rzweite", note.memo1.text());

    note.memo1.setSel(0, 15);
    note.copyItem.click();
    EXPECT_EQ(L"fett und normal", clipboardText(owner));
    EXPECT_FALSE(IsClipboardFormatAvailable(RegisterClipboardFormatW(L"Rich Text Format")));
    note.memo1.setSel(0, 22);
    note.copyButton.click();
    EXPECT_EQ(L"fett und normal\r\nzweite", clipboardText(owner));

    note.memo1.setSel(5, 9);
    note.cutItem.click();
    EXPECT_EQ(L"und ", clipboardText(owner));
    EXPECT_EQ("fett normal\rzweite", note.memo1.text());

    setClipboardText(owner, L"eingef\u00fcgt\r\nneu");
    note.memo1.setSel(0, 4);
    note.pasteTextItem.click();
    EXPECT_EQ("eingefügt\rneu normal\rzweite", note.memo1.text());

    emptyClipboard(owner);
    note.memo1.setSel(0, 10);
    note.pasteButton.click();
    EXPECT_EQ("neu normal\rzweite", note.memo1.text()) << "no text: the selection goes";
}

TEST_F(NoteText, SelectAllAndUndo) {
    NoteWindow& note = open();
    note.memo1.replaceSel("Hallo Welt");
    note.memo1.setSel(3, 3);
    note.selectAllItem.click();
    note.memo1.replaceSel("weg");
    EXPECT_EQ("weg", note.memo1.text());
    note.undoItem.click();
    EXPECT_EQ("Hallo Welt", note.memo1.text()) << "the control keeps an undo history";
}

TEST_F(NoteText, FontDialogStartsFromTheSelectionAndSetsItAndTheClock) {
    NoteWindow& note = open();
    note.memo1.setRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red0\\green0\\blue255;}"
        "\\f0\\fs28\\cf1\\b\\i blau\\b0\\i0\\cf0  rest\\par}");
    note.memo1.setSel(0, 4);

    CHOOSEFONTW seen = {};
    LOGFONTW seenFont = {};
    answerFont_ = [&](CHOOSEFONTW& dialog) {
        seen = dialog;
        seenFont = *dialog.lpLogFont;
        lstrcpyW(dialog.lpLogFont->lfFaceName, L"Courier New");
        dialog.lpLogFont->lfWeight = FW_NORMAL;
        dialog.lpLogFont->lfItalic = FALSE;
        dialog.lpLogFont->lfUnderline = TRUE;
        dialog.iPointSize = 180;
        dialog.rgbColors = kRed;
        return true;
    };
    note.fontButton.click();

    EXPECT_EQ(note.handle(), seen.hwndOwner);
    EXPECT_TRUE(seen.Flags & CF_SCREENFONTS);
    EXPECT_TRUE(seen.Flags & CF_EFFECTS);
    EXPECT_TRUE(seen.Flags & CF_INITTOLOGFONTSTRUCT);
    EXPECT_FALSE(seen.Flags & CF_LIMITSIZE);
    EXPECT_EQ(L"Tahoma", std::wstring(seenFont.lfFaceName));
    const HDC screen = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(14, GetDeviceCaps(screen, LOGPIXELSY), 72), seenFont.lfHeight);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(FW_BOLD, seenFont.lfWeight);
    EXPECT_TRUE(seenFont.lfItalic);
    EXPECT_EQ(kBlue, seen.rgbColors);

    CHARFORMAT2W format = selectionFormat(note.memo1.handle());
    EXPECT_EQ(L"Courier New", std::wstring(format.szFaceName));
    EXPECT_EQ(360, format.yHeight);
    EXPECT_EQ(kRed, format.crTextColor);
    EXPECT_FALSE(format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_AUTOCOLOR));
    EXPECT_TRUE(format.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(kRed, note.RxClock1.fontColor());
    note.memo1.setSel(5, 9);
    EXPECT_EQ(L"Tahoma", std::wstring(selectionFormat(note.memo1.handle()).szFaceName))
        << "only the selection changes";

    // Cancel, and a failure inside, leave the selection as it was.
    note.memo1.setSel(0, 4);
    answerFont_ = [](CHOOSEFONTW& dialog) {
        lstrcpyW(dialog.lpLogFont->lfFaceName, L"Times New Roman");
        dialog.rgbColors = kGreen;
        return false;
    };
    note.editFont();
    answerFont_ = [](CHOOSEFONTW&) -> bool { throw std::runtime_error("kaputt"); };
    note.editFont();
    format = selectionFormat(note.memo1.handle());
    EXPECT_EQ(L"Courier New", std::wstring(format.szFaceName));
    EXPECT_EQ(kRed, format.crTextColor);
    EXPECT_EQ(kRed, note.RxClock1.fontColor());

    // A face the system lacks is offered as the one the text is drawn with,
    // so that OK alone does not put the list's first font on the text.
    note.memo1.setSelFontName("Keine Solche Schrift");
    answerFont_ = [&](CHOOSEFONTW& dialog) {
        seenFont = *dialog.lpLogFont;
        return false;
    };
    note.editFont();
    EXPECT_NE(L"Keine Solche Schrift", std::wstring(seenFont.lfFaceName));
    EXPECT_NE(L"", std::wstring(seenFont.lfFaceName));
}

TEST_F(NoteText, HighlightKeepsItsLastColourAndTheCustomColours) {
    NoteWindow& note = open();
    note.memo1.setRtf("{\\rtf1\\ansi markiert und nicht\\par}");
    note.memo1.setSel(0, 8);

    std::vector<CHOOSECOLORW> seen;
    std::vector<COLORREF> firstCustom;
    answerColor_ = [&](CHOOSECOLORW& dialog) {
        seen.push_back(dialog);
        firstCustom.push_back(dialog.lpCustColors[0]);
        dialog.lpCustColors[0] = RGB(1, 2, 3);
        dialog.rgbResult = kGreen;
        return true;
    };
    note.highlightButton.click();
    ASSERT_EQ(1u, seen.size());
    EXPECT_TRUE(seen[0].Flags & CC_FULLOPEN);
    EXPECT_TRUE(seen[0].Flags & CC_RGBINIT);
    CHARFORMAT2W format = selectionFormat(note.memo1.handle());
    EXPECT_FALSE(format.dwEffects & CFE_AUTOBACKCOLOR);
    EXPECT_EQ(kGreen, format.crBackColor);
    note.memo1.setSel(9, 12);
    EXPECT_TRUE(selectionFormat(note.memo1.handle()).dwEffects & CFE_AUTOBACKCOLOR);

    answerColor_ = [&](CHOOSECOLORW& dialog) {
        seen.push_back(dialog);
        firstCustom.push_back(dialog.lpCustColors[0]);
        dialog.rgbResult = kRed;
        return false;
    };
    note.editHighlight();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(kGreen, seen[1].rgbResult) << "opens with the colour chosen last";
    EXPECT_EQ(RGB(1, 2, 3), firstCustom[1]);
    EXPECT_TRUE(selectionFormat(note.memo1.handle()).dwEffects & CFE_AUTOBACKCOLOR)
        << "cancel changes nothing";
}

TEST_F(NoteText, NoteColourGoesToTextWindowAndClock) {
    NoteWindow& note = open(3, false);
    COLORREF offered = 0;
    answerColor_ = [&](CHOOSECOLORW& dialog) {
        offered = dialog.rgbResult;
        dialog.rgbResult = kLightBlue;
        return true;
    };
    note.editNoteColour();
    EXPECT_EQ(static_cast<COLORREF>(kYellow), offered);
    EXPECT_EQ(kLightBlue, note.memo1.color());
    EXPECT_EQ(kLightBlue, note.color());
    EXPECT_EQ(kLightBlue, note.RxClock1.color());

    // Cancelled: the window still takes the text's colour.
    note.memo1.setColor(kRed);
    answerColor_ = [&](CHOOSECOLORW& dialog) {
        offered = dialog.rgbResult;
        dialog.rgbResult = kGreen;
        return false;
    };
    note.editNoteColourItem.click();
    EXPECT_EQ(kRed, offered);
    EXPECT_EQ(kRed, note.memo1.color());
    EXPECT_EQ(kRed, note.color());
    EXPECT_EQ(kRed, note.RxClock1.color());
}

TEST_F(NoteText, AlignmentAndBulletsFormatTheSelectedParagraph) {
    NoteWindow& note = open();
    note.memo1.setRtf("{\\rtf1\\ansi eins\\par zwei\\par drei\\par}");
    const auto paragraphAt = [&](long position) {
        note.memo1.setSel(position, position);
        return paragraphFormat(note.memo1.handle());
    };

    note.memo1.setSel(6, 6);
    note.alignCenterButton.click();
    EXPECT_EQ(PFA_CENTER, paragraphAt(6).wAlignment);
    note.memo1.setSel(6, 6);
    note.alignRightButton.click();
    EXPECT_EQ(PFA_RIGHT, paragraphAt(6).wAlignment);
    EXPECT_EQ(PFA_LEFT, paragraphAt(1).wAlignment);
    note.memo1.setSel(6, 6);
    note.alignLeftButton.click();
    EXPECT_EQ(PFA_LEFT, paragraphAt(6).wAlignment);

    note.memo1.setSel(10, 10);
    note.bulletButton.click();
    ASSERT_TRUE(note.bulletButton.down());
    PARAFORMAT2 format = paragraphFormat(note.memo1.handle());
    EXPECT_EQ(PFN_BULLET, format.wNumbering);
    EXPECT_EQ(200, format.dxStartIndent);  // 10 pt in twips
    EXPECT_EQ(200, format.dxOffset);

    note.bulletButton.click();
    ASSERT_FALSE(note.bulletButton.down());
    format = paragraphFormat(note.memo1.handle());
    EXPECT_EQ(0, format.wNumbering);
    EXPECT_EQ(0, format.dxStartIndent);
    EXPECT_EQ(200, format.dxOffset) << "the left indent stays as it was";
}

TEST_F(NoteText, SelectionChangeKeepsTheButtonsInStep) {
    NoteWindow& note = open();
    note.memo1.setRtf("{\\rtf1\\ansi Punkt\\par mitte\\par rechts\\par}");
    // Formats set behind the window's back, as a loaded file would bring them.
    note.memo1.setSel(1, 1);
    note.memo1.setNumbering(Numbering::Bullet);
    note.memo1.setFirstIndent(10);
    note.memo1.setLeftIndent(10);
    note.memo1.setSel(7, 7);
    note.memo1.setAlignment(ParaAlignment::Center);
    note.memo1.setFirstIndent(15);
    note.memo1.setLeftIndent(5);
    note.memo1.setSel(13, 13);
    note.memo1.setAlignment(ParaAlignment::Right);

    note.memo1.setSel(2, 2);
    EXPECT_TRUE(note.bulletButton.down());
    EXPECT_TRUE(note.alignLeftButton.down());
    EXPECT_EQ(200, paragraphFormat(note.memo1.handle()).dxStartIndent) << "bullet keeps its indent";

    note.memo1.setSel(8, 8);
    EXPECT_FALSE(note.bulletButton.down());
    EXPECT_TRUE(note.alignCenterButton.down());
    EXPECT_FALSE(note.alignLeftButton.down());
    const PARAFORMAT2 middle = paragraphFormat(note.memo1.handle());
    EXPECT_EQ(0, middle.dxStartIndent);
    EXPECT_EQ(0, middle.dxOffset);
    EXPECT_EQ(PFA_CENTER, middle.wAlignment);

    note.memo1.setSel(14, 16);
    EXPECT_TRUE(note.alignRightButton.down());
    EXPECT_FALSE(note.alignCenterButton.down());
    note.memo1.setSel(0, 0);
    EXPECT_TRUE(note.bulletButton.down());
    EXPECT_TRUE(note.alignLeftButton.down());
}

TEST_F(NoteText, WordWrapSwitchesBothItemsTheScrollBarsAndTheKey) {
    NoteWindow& note = open(3, false);
    std::string longLine;
    for (int i = 0; i < 40; ++i) longLine += "Wort ";
    note.memo1.setRtf("{\\rtf1\\ansi " + longLine + "\\par}");
    const auto lines = [&] { return SendMessageW(note.memo1.handle(), EM_GETLINECOUNT, 0, 0); };
    const auto style = [&] { return GetWindowLongW(note.memo1.handle(), GWL_STYLE); };
    EXPECT_TRUE(style() & WS_HSCROLL);
    EXPECT_EQ(1, lines());

    note.toggleWordWrap();
    EXPECT_TRUE(note.wordWrapItem.checked);
    EXPECT_TRUE(note.editWordWrapItem.checked);
    EXPECT_EQ(ScrollBars::None, note.memo1.scrollBars());
    EXPECT_FALSE(style() & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_GT(lines(), 3) << "the long line wraps";
    EXPECT_EQ("1", value("Notiz3", "wordwrap"));
    EXPECT_EQ(longLine, note.memo1.text());

    note.editWordWrapItem.click();
    EXPECT_FALSE(note.wordWrapItem.checked);
    EXPECT_FALSE(note.editWordWrapItem.checked);
    EXPECT_EQ(ScrollBars::Both, note.memo1.scrollBars());
    // The control shows a bar only where there is something to scroll.
    EXPECT_TRUE(style() & WS_HSCROLL);
    EXPECT_EQ(1, lines());
    EXPECT_EQ("0", value("Notiz3", "wordwrap"));

    // Ctrl+Z: word wrap in view mode, the control's undo in edit mode.
    {
        CtrlHeld ctrl;
        SendMessageW(note.memo1.handle(), WM_KEYDOWN, 'Z', 0);
        EXPECT_TRUE(note.wordWrapItem.checked);
        EXPECT_EQ("1", value("Notiz3", "wordwrap"));
        EXPECT_EQ(longLine, note.memo1.text());

        note.enterEditMode();
        note.memo1.setSel(0, 0);
        note.memo1.replaceSel("neu ");
        SendMessageW(note.memo1.handle(), WM_KEYDOWN, 'Z', 0);
        EXPECT_TRUE(note.wordWrapItem.checked);
        EXPECT_EQ(longLine, note.memo1.text());
    }
}

TEST_F(NoteText, ImportTakesTheFirstFreeNumberAndShowsTheNote) {
    NoteWindow& note = open(1, false);
    host_->slots.markUsed(2);
    host_->slots.markUsed(4);
    host_->counter = 3;
    CreateDirectoryW(widen(dir_ + "quelle").c_str(), nullptr);
    const std::string source = dir_ + "quelle\\Brief.rtf";
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Importierter {\\b Text}\\par}";
    writeFile(source, rtf);
    chosenPath_ = source;

    note.importNote();

    ASSERT_EQ(1u, requests_.size());
    EXPECT_FALSE(requests_[0].save);
    EXPECT_EQ("Notiz importieren", requests_[0].title);
    const std::vector<std::pair<std::string, std::string>> filters = {{"*.rtf", "*.rtf"},
                                                                      {"*.*", "*.*"}};
    EXPECT_EQ(filters, requests_[0].filters);

    ASSERT_EQ(2u, host_->notes.size());
    NoteWindow& imported = *host_->notes[1];
    EXPECT_EQ("Notiz3", imported.name());
    EXPECT_EQ(rtf, readFile(dir_ + "Notiz3.tvn"));
    EXPECT_EQ(rtf, readFile(source)) << "the chosen file stays";
    EXPECT_TRUE(host_->slots.isUsed(3));
    EXPECT_EQ("4", value("Settings", "Notizanzahl"));
    EXPECT_EQ("1", value("Notiz3", "active"));
    EXPECT_EQ("<fehlt>", value("Notiz3", "NotizTitel"));
    EXPECT_EQ(host_->ownerWindow(), GetWindow(imported.handle(), GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(imported.handle()));
    EXPECT_FALSE(imported.inEditMode());
    EXPECT_TRUE(imported.viewBar.visible());
    EXPECT_FALSE(imported.editBar.visible());
    EXPECT_EQ(ScrollBars::Both, imported.memo1.scrollBars());
    EXPECT_EQ("Tavelin2000 Notiz  ", imported.titleLine.text());

    ASSERT_TRUE(test::pumpUntil([&] { return imported.startupTicksDone(); }));
    EXPECT_EQ("Importierter Text", imported.memo1.text());
    imported.memo1.setSel(12, 16);
    EXPECT_TRUE(selectionFormat(imported.memo1.handle()).dwEffects & CFE_BOLD);
}

TEST_F(NoteText, ImportFollowsTheButtonBarAndWordWrapSettings) {
    {
        IniFile ini(settingsPath());
        ini.writeString("Settings", "Showmenu", "0");
        ini.writeString("Settings", "wordwrap", "1");
        ini.close();
    }
    NoteWindow& note = open(2, false);
    writeFile(dir_ + "a.rtf", "{\\rtf1\\ansi a\\par}");
    chosenPath_ = dir_ + "a.rtf";
    note.importNote();

    ASSERT_EQ(2u, host_->notes.size());
    NoteWindow& imported = *host_->notes[1];
    EXPECT_EQ("Notiz1", imported.name());
    EXPECT_FALSE(imported.viewBar.visible());
    EXPECT_FALSE(imported.editBar.visible());
    EXPECT_FALSE(imported.buttonBarsItem.checked);
    EXPECT_TRUE(imported.showEditBarItem.visible);
    EXPECT_EQ("0", value("Notiz1", "Buttonbar"));
    EXPECT_TRUE(imported.wordWrapItem.checked);
    EXPECT_EQ(ScrollBars::None, imported.memo1.scrollBars());
    EXPECT_EQ("1", value("Notiz1", "wordwrap"));
    EXPECT_EQ("1", value("Settings", "Notizanzahl"));
}

TEST_F(NoteText, ImportThatCannotGoAheadLeavesNoTrace) {
    NoteWindow& note = open(1, false);

    // Cancelled.
    note.importNote();
    EXPECT_EQ(1u, host_->notes.size());

    // The chosen file cannot be read: a message names it, no note, no file.
    const std::string missing = dir_ + "gibtsnicht.rtf";
    chosenPath_ = missing;
    note.importItem.click();
    ASSERT_EQ(1u, errors_.size());
    EXPECT_NE(std::string::npos, errors_[0].find(missing)) << errors_[0];
    errors_.clear();
    EXPECT_EQ(1u, host_->notes.size());
    EXPECT_FALSE(host_->slots.isUsed(2));
    EXPECT_FALSE(exists(dir_ + "Notiz2.tvn"));
    EXPECT_EQ("<fehlt>", value("Settings", "Notizanzahl"));

    // All 50 numbers in use: told before any dialog, nothing copied.
    for (int n = 1; n <= kMaxNotes; ++n) host_->slots.markUsed(n);
    writeFile(dir_ + "voll.rtf", "{\\rtf1 voll\\par}");
    chosenPath_ = dir_ + "voll.rtf";
    requests_.clear();
    note.importNote();
    ASSERT_EQ(1u, messages_.size());
    EXPECT_EQ("Es sind bereits 50 Notizen vorhanden. Bitte löschen Sie zuerst eine Notiz.",
              messages_[0].text);
    EXPECT_EQ("Tavelin 2000", messages_[0].caption);
    EXPECT_TRUE(messages_[0].flags & MB_ICONINFORMATION);
    EXPECT_TRUE(requests_.empty());
    EXPECT_EQ(1u, host_->notes.size());
    EXPECT_FALSE(exists(dir_ + "Notiz51.tvn"));
    EXPECT_FALSE(exists(dir_ + "Notiz2.tvn"));
}

TEST_F(NoteText, ExportWritesTheFormattedTextThatReadsBackTheSame) {
    NoteWindow& note = open();
    note.memo1.replaceSel("normal rot\rmitte");
    note.memo1.selectAll();
    note.memo1.setSelStyle({});
    note.memo1.setSel(7, 10);
    note.memo1.setSelStyle({.bold = true});
    note.memo1.setSelColor(kRed);
    note.memo1.setSel(12, 12);
    note.memo1.setAlignment(ParaAlignment::Center);
    const std::string path = dir_ + "export.rtf";
    chosenPath_ = path;
    note.exportNote();

    ASSERT_EQ(1u, requests_.size());
    EXPECT_TRUE(requests_[0].save);
    EXPECT_EQ("Notiz exportieren", requests_[0].title);
    EXPECT_EQ("rtf", requests_[0].defaultExt);
    const std::vector<std::pair<std::string, std::string>> filters = {{"RTF-Dateien", "*.rtf"},
                                                                      {"alle Dateien", "*.*"}};
    EXPECT_EQ(filters, requests_[0].filters);

    const std::string written = readFile(path);
    EXPECT_EQ(0u, written.rfind("{\\rtf", 0));
    EXPECT_EQ(std::string::npos, written.find('\0'));

    NoteWindow& other = open(4);
    other.memo1.loadFromFile(path);
    EXPECT_EQ("normal rot\rmitte", other.memo1.text());
    other.memo1.setSel(7, 10);
    const CHARFORMAT2W red = selectionFormat(other.memo1.handle());
    EXPECT_TRUE(red.dwEffects & CFE_BOLD);
    EXPECT_EQ(kRed, red.crTextColor);
    other.memo1.setSel(0, 6);
    EXPECT_FALSE(selectionFormat(other.memo1.handle()).dwEffects & CFE_BOLD);
    other.memo1.setSel(12, 12);
    EXPECT_EQ(PFA_CENTER, paragraphFormat(other.memo1.handle()).wAlignment);

    // A place that cannot be written: the message names the file, nothing is left.
    const std::string nowhere = dir_ + "fehlt\\export.rtf";
    chosenPath_ = nowhere;
    note.exportItem.click();
    ASSERT_EQ(1u, errors_.size());
    EXPECT_NE(std::string::npos, errors_[0].find(nowhere)) << errors_[0];
    errors_.clear();
    EXPECT_FALSE(exists(nowhere));

    // Cancelled: nothing written.
    DeleteFileW(widen(path).c_str());
    chosenPath_.reset();
    note.exportNote();
    EXPECT_FALSE(exists(path));
}

TEST_F(NoteText, LinksGoThroughTheOneDecisionAndItsQuestion) {
    // Through the control's link notification, as a click arrives.
    NoteWindow& note = open(3, false);
    note.memo1.setRtf("{\\rtf1\\ansi http://example.com/x\\par}");
    ENLINK click = {};
    click.nmhdr.hwndFrom = note.memo1.handle();
    click.nmhdr.idFrom = GetDlgCtrlID(note.memo1.handle());
    click.nmhdr.code = EN_LINK;
    click.msg = WM_LBUTTONUP;
    click.chrg = {0, 20};
    SendMessageW(note.handle(), WM_NOTIFY, click.nmhdr.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(std::vector<std::string>{"http://example.com/x"}, opened_);
    EXPECT_TRUE(messages_.empty());

    opened_.clear();
    answer_ = IDNO;
    followLink(note.handle(), "file:///C:/Briefe/Mai%202024.txt", "file:///C:/Briefe/Mai%202024.txt");
    ASSERT_EQ(1u, messages_.size());
    EXPECT_EQ(0u, messages_[0].text.rfind("Wollen Sie diese Datei wirklich öffnen?", 0));
    EXPECT_NE(std::string::npos, messages_[0].text.find("C:\\Briefe\\Mai 2024.txt"));
    EXPECT_TRUE(opened_.empty());
    answer_ = IDYES;
    followLink(note.handle(), "file:///C:/Briefe/Mai%202024.txt", "file:///C:/Briefe/Mai%202024.txt");
    EXPECT_EQ(std::vector<std::string>{"C:\\Briefe\\Mai 2024.txt"}, opened_);

    opened_.clear();
    messages_.clear();
    followLink(note.handle(), "file:///C:/x/setup.exe", "file:///C:/x/setup.exe");
    EXPECT_EQ(std::vector<std::string>{"Ordner:C:\\x\\setup.exe"}, opened_);

    opened_.clear();
    messages_.clear();
    followLink(note.handle(), "javascript:alert(1)", "javascript:alert(1)");
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(messages_.empty());
}

// The real dialogs take what the commands give them: each opens and its OK
// brings back what it was loaded with.
TEST_F(NoteText, RealFontAndColourDialogsOpenAndConfirm) {
    setTextCommandHooks({});
    NoteWindow& note = open();
    note.memo1.setRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs24 Text\\par}");
    note.memo1.setSel(0, 4);
    const DWORD thread = GetCurrentThreadId();
    const auto pressOk = [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); };

    {
        DialogAnswer answer(thread, pressOk);
        note.editFont();
        EXPECT_FALSE(answer.caption().empty()) << "the font dialog came";
    }
    const CHARFORMAT2W format = selectionFormat(note.memo1.handle());
    EXPECT_EQ(L"Tahoma", std::wstring(format.szFaceName));
    EXPECT_EQ(240, format.yHeight);

    {
        DialogAnswer answer(thread, pressOk);
        note.editNoteColour();
        EXPECT_FALSE(answer.caption().empty()) << "the colour dialog came";
    }
    EXPECT_EQ(static_cast<COLORREF>(kYellow), note.memo1.color());
    EXPECT_EQ(static_cast<COLORREF>(kYellow), note.color());
}

// Without a printer the system says so itself, once; the command adds
// nothing and prints nothing.
TEST_F(NoteText, PrintWithoutPrinterLeavesTheWordToTheSystem) {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size != 0) TAV_SKIP_UNLESS_SUITE("this machine has a printer");
    NoteWindow& note = open(3, false);
    note.memo1.setRtf("{\\rtf1\\ansi Drucktext\\par}");
    int buttons = 0;
    {
        DialogAnswer answer(GetCurrentThreadId(), [&](HWND dialog) {
            for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                wchar_t cls[32] = {};
                GetClassNameW(c, cls, 32);
                if (lstrcmpiW(cls, L"Button") == 0 && IsWindowVisible(c)) ++buttons;
            }
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        note.printButton.click();
        EXPECT_FALSE(answer.caption().empty()) << "the system's message came";
    }
    EXPECT_EQ(1, buttons) << "a message with OK, not the print dialog";
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ("Drucktext", note.memo1.text());
}

// The system's insert-object dialog comes up for the note; cancelled, the
// text stays as it was.
TEST_F(NoteText, InsertObjectShowsTheSystemsDialog) {
    NoteWindow& note = open();
    note.memo1.replaceSel("vorher");
    {
        DialogAnswer answer(GetCurrentThreadId(),
                            [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        note.objectButton.click();
        EXPECT_FALSE(answer.caption().empty()) << "the insert-object dialog came";
    }
    EXPECT_EQ("vorher", note.memo1.text());
    EXPECT_TRUE(errors_.empty());
}

}  // namespace

// Another computer wrote the note's file: shown at once without edits; with
// edits kept, the other text goes into a conflict file and the own stays.
TEST_F(NoteText, TextChangedOutsideIsShownOrKeptBesideTheEdits) {
    writeFile(dir_ + "Notiz3.tvn", "{\\rtf1\\ansi eigen\\par}");
    NoteWindow& note = open(3, false);
    ASSERT_EQ("eigen", note.memo1.text());
    writeFile(dir_ + "Notiz3.tvn", "{\\rtf1\\ansi von au\\'dfen\\par}");
    note.checkOutsideChange();
    EXPECT_EQ("von außen", note.memo1.text());

    note.enterEditMode();
    SendMessageW(note.memo1.handle(), WM_CHAR, L'X', 1);
    const std::string other = "{\\rtf1\\ansi die andere Fassung\\par}";
    writeFile(dir_ + "Notiz3.tvn", other);
    SYSTEMTIME today;
    GetLocalTime(&today);
    char conflict[64];
    std::snprintf(conflict, sizeof conflict, "Notiz3 (Konflikt %04d-%02d-%02d).tvn", today.wYear,
                  today.wMonth, today.wDay);
    {
        test::BoxAnswerer keepOwn("", IDNO);
        note.checkOutsideChange();
        ASSERT_EQ(2u, keepOwn.boxes.size());
        EXPECT_NE(std::string::npos,
                  keepOwn.boxes[0].text.find("Die Notiz wurde außerhalb geändert. Neu laden und "
                                             "eigene Änderungen verwerfen, oder eigene Fassung "
                                             "behalten?"));
    }
    EXPECT_EQ("Xvon außen", note.memo1.text());
    EXPECT_EQ(other, readFile(dir_ + conflict));
    note.saveAndEnterViewMode();
    note.checkOutsideChange();  // its own save is no change from outside
    EXPECT_NE(std::string::npos, readFile(dir_ + "Notiz3.tvn").find("Xvon"));
}
