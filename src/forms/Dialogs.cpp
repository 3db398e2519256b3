#include "forms/Dialogs.h"

#include <stdexcept>
#include <vector>

#include "forms/Dpi.h"
#include "forms/Form.h"
#include "desktop/Utf.h"
#include "store/DpiScale.h"

namespace tav {

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), flags);
}

namespace {

// A dialog template in memory: the box is then a real "#32770" dialog that
// drivers and the dialog manager (Tab, Enter, Escape) treat as such.
class TemplateWriter {
public:
    void word(WORD w) { data_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const wchar_t* s) {
        while (*s) word(*s++);
        word(0);
    }
    void alignDword() {
        if (data_.size() % 2) word(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
              const wchar_t* title) {
        alignDword();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        word(x);
        word(y);
        word(cx);
        word(cy);
        word(id);
        word(0xFFFF);
        word(classAtom);
        text(title);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    std::vector<WORD> data_;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

// The framework's input box limits the text to 255 characters.
constexpr int kMaxInputLength = 255;

// The input box in 96-dpi pixels: what the template's dialog units give with
// the dialog font at 100 %. Font metrics do not grow in step with the
// density, so the box is laid out from these at its own density instead,
// and comes out the same at every scale.
constexpr SIZE kInputClient{270, 102};
struct DialogItem {
    int id;
    RECT figures;  // left, top, width, height
};
constexpr DialogItem kInputItems[] = {{kInputBoxPromptId, {9, 10, 252, 15}},
                                      {kInputBoxEditId, {9, 29, 252, 20}},
                                      {IDOK, {105, 67, 75, 23}},
                                      {IDCANCEL, {186, 67, 75, 23}}};

void layOutInputBox(HWND dlg) {
    const int dpi = windowDpi(dlg);
    RECT outer{}, client{};
    GetWindowRect(dlg, &outer);
    GetClientRect(dlg, &client);
    const int width = scaleToDpi(kInputClient.cx, dpi) + (outer.right - outer.left) - client.right;
    const int height =
        scaleToDpi(kInputClient.cy, dpi) + (outer.bottom - outer.top) - client.bottom;
    // Kept where the system centred it.
    SetWindowPos(dlg, nullptr, (outer.left + outer.right - width) / 2,
                 (outer.top + outer.bottom - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (const DialogItem& item : kInputItems) {
        const RECT& f = item.figures;
        const RECT r = deviceRect(dlg, f.left, f.top, f.right, f.bottom);
        SetWindowPos(GetDlgItem(dlg, item.id), nullptr, r.left, r.top, r.right - r.left,
                     r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

struct InputState {
    std::wstring caption;
    std::wstring prompt;
    std::wstring text;
};

INT_PTR CALLBACK inputProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    guarded(dlg, [&] {
        switch (msg) {
            case WM_INITDIALOG: {
                auto* state = reinterpret_cast<InputState*>(lParam);
                SetWindowLongPtrW(dlg, DWLP_USER, lParam);
                layOutInputBox(dlg);
                SetWindowTextW(dlg, state->caption.c_str());
                SetDlgItemTextW(dlg, kInputBoxPromptId, state->prompt.c_str());
                HWND edit = GetDlgItem(dlg, kInputBoxEditId);
                SendMessageW(edit, EM_LIMITTEXT, kMaxInputLength, 0);
                SetWindowTextW(edit, state->text.c_str());
                SetFocus(edit);
                SendMessageW(edit, EM_SETSEL, 0, -1);
                result = FALSE;  // focus set here
                break;
            }
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                if (id != IDOK && id != IDCANCEL) break;
                if (id == IDOK) {
                    auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dlg, DWLP_USER));
                    HWND edit = GetDlgItem(dlg, kInputBoxEditId);
                    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
                    text.resize(static_cast<size_t>(
                        GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                    state->text = text;
                }
                EndDialog(dlg, id);
                result = TRUE;
                break;
            }
            default:
                break;
        }
    });
    return result;
}

}  // namespace

bool inputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                std::string& text) {
    TemplateWriter t;
    t.dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.dword(0);
    t.word(4);  // controls
    t.word(0);
    t.word(0);
    t.word(180);
    t.word(63);
    t.word(0);  // no menu
    t.word(0);  // the standard dialog class
    t.text(L"");
    t.word(8);
    t.text(L"MS Shell Dlg");
    t.item(SS_LEFT | SS_NOPREFIX, 6, 6, 168, 9, kInputBoxPromptId, kStatic, L"");
    t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 6, 18, 168, 12, kInputBoxEditId, kEdit, L"");
    t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 41, 50, 14, IDOK, kButton, L"OK");
    t.item(BS_PUSHBUTTON | WS_TABSTOP, 124, 41, 50, 14, IDCANCEL, kButton, L"Abbrechen");

    InputState state{widen(caption), widen(prompt), widen(text)};
    const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, &inputProc,
                                              reinterpret_cast<LPARAM>(&state));
    if (r == -1) throw std::runtime_error("Das Eingabefenster konnte nicht angezeigt werden.");
    if (r != IDOK) return false;
    text = narrow(state.text);
    return true;
}

std::string inputBox(HWND owner, const std::string& caption, const std::string& prompt,
                     const std::string& defaultText) {
    std::string text = defaultText;
    inputQuery(owner, caption, prompt, text);
    return text;
}

}  // namespace tav
