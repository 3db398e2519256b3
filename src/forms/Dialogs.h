#pragma once
// The message and input boxes of the forms. Texts are UTF-8.

#include <windows.h>

#include <string>

namespace tav {

// MessageBoxW with the flags as given (MB_OKCANCEL | MB_ICONQUESTION ...);
// returns IDOK, IDCANCEL ...
int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);

// The edit field of the input box, for drivers that fill it from outside
// with SetDlgItemTextW. The box is a real "#32770" dialog with IDOK/IDCANCEL.
inline constexpr int kInputBoxEditId = 100;
inline constexpr int kInputBoxPromptId = 101;

// A modal box with caption, prompt, an edit field that starts with
// defaultText selected, "OK" and "Abbrechen". Cancel (or Escape, or the
// close box) returns defaultText, as the framework's InputBox does.
std::string inputBox(HWND owner, const std::string& caption, const std::string& prompt,
                     const std::string& defaultText);

// Same, but tells whether the user confirmed; text is changed only then.
bool inputQuery(HWND owner, const std::string& caption, const std::string& prompt,
                std::string& text);

}  // namespace tav
