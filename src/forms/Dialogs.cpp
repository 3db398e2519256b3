#include "forms/Dialogs.h"

#include "desktop/Utf.h"
#include "forms/DialogForm.h"

namespace tav {

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, widen(text).c_str(), widen(caption).c_str(), flags);
}

namespace {

// The framework's input box limits the text to 255 characters.
constexpr int kMaxInputLength = 255;

namespace layout {
constexpr int kClientWidth = 270;
constexpr int kClientHeight = 102;
constexpr LayoutRect prompt{9, 10, 252, 15};
constexpr LayoutRect text{9, 29, 252, 20};
constexpr LayoutRect okButton{105, 67, 75, 23};
constexpr LayoutRect cancelButton{186, 67, 75, 23};
}  // namespace layout

// A dialog box of the system's class, so that drivers and the dialog
// manager treat it as the framework's input box.
class InputBox : public DialogForm {
public:
    InputBox(HWND owner, const std::string& caption, const std::string& prompt,
             const std::string& text)
        : DialogForm(L"#32770", caption, layout::kClientWidth, layout::kClientHeight) {
        createDialog(owner);
        promptLabel.create(*this, prompt, layout::prompt, false, kInputBoxPromptId);
        textEdit.create(*this, kInputBoxEditId, layout::text);
        okButton.create(*this, "OK", IDOK, layout::okButton, true);
        cancelButton.create(*this, "Abbrechen", IDCANCEL, layout::cancelButton);
        textEdit.setMaxLength(kMaxInputLength);
        textEdit.setText(text);
        okButton.onClick = [this] { dismiss(IDOK); };
        cancelButton.onClick = [this] { dismiss(IDCANCEL); };
    }

    StaticText promptLabel;
    Edit textEdit;
    Button okButton;
    Button cancelButton;

protected:
    void createParams(DWORD& style, DWORD& exStyle) override {
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_DLGMODALFRAME;
    }
};

}  // namespace

bool inputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                std::string& text) {
    InputBox box(owner, caption, prompt, text);
    if (box.showModal() != IDOK) return false;
    text = box.textEdit.text();
    return true;
}

std::string inputBox(HWND owner, const std::string& caption, const std::string& prompt,
                     const std::string& defaultText) {
    std::string text = defaultText;
    inputQuery(owner, caption, prompt, text);
    return text;
}

}  // namespace tav
