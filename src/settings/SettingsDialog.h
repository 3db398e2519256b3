#pragma once
// "Grundeinstellungen": the standard font and size of new notes, whether new
// notes start with the button bar and word wrap, the splash at start and the
// letters of the two global hot keys. Created once at start; every show loads
// the values from the settings file, "&O.K." writes them and applies the hot
// keys at once, "&abbrechen" writes nothing.

#include <windows.h>

#include <string>

#include "forms/DialogForm.h"

namespace tav {

class GlobalHotKeys;

class SettingsDialog : public DialogForm {
public:
    // owner: the tray controller's window, so the dialog has no taskbar
    // button of its own.
    SettingsDialog(HWND owner, GlobalHotKeys& hotKeys);

    GroupBox fontGroup;  // "Standard-Schrift:"
    FontComboBox fontNameComboBox;
    SpinEdit fontSizeEdit;
    CheckBox buttonBarCheckBox;  // "Buttonleiste aktiv"
    CheckBox wordWrapCheckBox;   // "Zeilenumbruch"
    CheckBox splashCheckBox;     // "Startbildschirm anzeigen"
    GroupBox hotKeyGroup;        // "Hotkeys"
    StaticText newNoteLabel;
    Edit newNoteHotKeyEdit;
    StaticText foregroundLabel;
    Edit foregroundHotKeyEdit;
    Button okButton;      // "&O.K."
    Button cancelButton;  // "&abbrechen"

    void loadSettings();       // the seven values, at every show
    void okButtonClick();      // writes, applies the hot keys, closes
    void cancelButtonClick();  // closes

protected:
    void onShow(bool shown) override;

private:
    // A character that makes no key is refused with a message, before
    // anything is written; the edit then has the focus.
    bool acceptHotKeyLetter(Edit& edit, const std::string& letter, const char* purpose);

    GlobalHotKeys& hotKeys_;
};

}  // namespace tav
