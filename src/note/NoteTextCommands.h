#pragma once
// What the note's text commands hand to the system: the file, font and colour
// dialogs, message boxes and the shell. Each goes through a replaceable hook,
// so that the commands can be driven without modal dialogs and without
// opening anything; an empty hook means the real thing.

#include <windows.h>
// commdlg.h needs the types of windows.h.
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tav {

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string defaultExt;                                    // without the dot
    std::vector<std::pair<std::string, std::string>> filters;  // label, pattern
};

struct TextCommandHooks {
    // The chosen path, or nothing when the user cancelled.
    std::function<std::optional<std::string>(HWND owner, const FileDialogRequest&)> chooseFile;
    // As ChooseFontW/ChooseColorW: the structure comes loaded, true is OK.
    std::function<bool(CHOOSEFONTW&)> chooseFont;
    std::function<bool(CHOOSECOLORW&)> chooseColor;
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>
        messageBox;
};

// Replaces all hooks at once; TextCommandHooks{} brings back the real ones.
void setTextCommandHooks(TextCommandHooks hooks);

}  // namespace tav
