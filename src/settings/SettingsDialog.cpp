#include "settings/SettingsDialog.h"

#include "forms/Dialogs.h"
#include "settings/GlobalHotKeys.h"
#include "store/IniFile.h"
#include "store/NoteStore.h"
#include "store/ShortcutText.h"

namespace tav {

namespace {

constexpr char kCaption[] = "Grundeinstellungen";
constexpr int kMinFontSize = 6;
constexpr int kMaxFontSize = 200;

// The whole layout at 96 dots per inch.
namespace layout {
constexpr int kClientWidth = 388;
constexpr int kClientHeight = 187;
constexpr LayoutRect fontGroup{8, 4, 372, 50};
// The height holds the closed box and its open list.
constexpr LayoutRect fontNameComboBox{16, 22, 280, 240};
constexpr LayoutRect fontSizeEdit{304, 22, 68, 21};
constexpr LayoutRect buttonBarCheckBox{16, 66, 156, 17};
constexpr LayoutRect wordWrapCheckBox{16, 88, 156, 17};
constexpr LayoutRect splashCheckBox{16, 110, 156, 17};
constexpr LayoutRect hotKeyGroup{176, 58, 204, 86};
constexpr LayoutRect newNoteLabel{182, 79, 164, 14};
constexpr LayoutRect newNoteHotKeyEdit{350, 75, 22, 21};
constexpr LayoutRect foregroundLabel{182, 103, 164, 28};
constexpr LayoutRect foregroundHotKeyEdit{350, 113, 22, 21};
constexpr LayoutRect okButton{208, 154, 84, 25};
constexpr LayoutRect cancelButton{296, 154, 84, 25};
}  // namespace layout

enum ControlId {
    kFontNameId = 101,
    kFontSizeId,
    kButtonBarId,
    kWordWrapId,
    kSplashId,
    kNewNoteId,
    kForegroundId
};

// Only letters and digits make a hot key, so upper case in ASCII is enough;
// anything else is refused before it is stored.
std::string upperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

SettingsDialog::SettingsDialog(HWND owner, GlobalHotKeys& hotKeys)
    : DialogForm(L"SettingsDialog", kCaption, layout::kClientWidth, layout::kClientHeight),
      hotKeys_(hotKeys) {
    setName("Form3");
    createDialog(owner);

    // The frames first, so that they lie beneath; then the controls in their
    // Tab order: top to bottom, the left column before the right one.
    fontGroup.create(*this, "Standard-Schrift:", layout::fontGroup);
    hotKeyGroup.create(*this, "Hotkeys", layout::hotKeyGroup);
    fontNameComboBox.create(*this, kFontNameId, layout::fontNameComboBox);
    fontSizeEdit.create(*this, kFontSizeId, layout::fontSizeEdit, kMinFontSize, kMaxFontSize);
    buttonBarCheckBox.create(*this, "Buttonleiste aktiv", kButtonBarId, layout::buttonBarCheckBox);
    wordWrapCheckBox.create(*this, "Zeilenumbruch", kWordWrapId, layout::wordWrapCheckBox);
    splashCheckBox.create(*this, "Startbildschirm anzeigen", kSplashId, layout::splashCheckBox);
    newNoteLabel.create(*this, "neue Notiz: <STRG> <ALT> + ", layout::newNoteLabel, true);
    newNoteHotKeyEdit.create(*this, kNewNoteId, layout::newNoteHotKeyEdit);
    foregroundLabel.create(*this, "in den Vordergrund:\r\n<STRG> <ALT> + ", layout::foregroundLabel,
                           true);
    foregroundHotKeyEdit.create(*this, kForegroundId, layout::foregroundHotKeyEdit);
    okButton.create(*this, "&O.K.", IDOK, layout::okButton, true);
    cancelButton.create(*this, "&abbrechen", IDCANCEL, layout::cancelButton);

    newNoteHotKeyEdit.setMaxLength(1);
    foregroundHotKeyEdit.setMaxLength(1);
    okButton.onClick = [this] { okButtonClick(); };
    cancelButton.onClick = [this] { cancelButtonClick(); };
}

void SettingsDialog::onShow(bool shown) {
    DialogForm::onShow(shown);
    if (shown) loadSettings();
}

void SettingsDialog::loadSettings() {
    IniFile ini(settingsPath());
    fontNameComboBox.setFontName(SettingsKeys::standardFontName(ini, kDialogFontName));
    fontSizeEdit.setValue(SettingsKeys::standardFontSize(ini));
    buttonBarCheckBox.setChecked(SettingsKeys::showmenu(ini));
    wordWrapCheckBox.setChecked(SettingsKeys::wordwrap(ini));
    splashCheckBox.setChecked(SettingsKeys::startscreen(ini));
    newNoteHotKeyEdit.setText(SettingsKeys::hotkeyNeu(ini));
    foregroundHotKeyEdit.setText(SettingsKeys::hotkeyVordergrund(ini));
    ini.close();
}

// Everything is written before the hot keys change, and only once the file
// has taken it: a file that cannot be written leaves the dialog open and the
// running hot keys as they are.
void SettingsDialog::okButtonClick() {
    const std::string newNoteLetter = upperCase(newNoteHotKeyEdit.text());
    const std::string foregroundLetter = upperCase(foregroundHotKeyEdit.text());
    if (!acceptHotKeyLetter(newNoteHotKeyEdit, newNoteLetter, "neue Notiz") ||
        !acceptHotKeyLetter(foregroundHotKeyEdit, foregroundLetter, "in den Vordergrund"))
        return;

    IniFile ini(settingsPath());
    SettingsKeys::setHotkeyNeu(ini, newNoteLetter);
    SettingsKeys::setHotkeyVordergrund(ini, foregroundLetter);
    SettingsKeys::setStandardFontName(ini, fontNameComboBox.fontName());
    SettingsKeys::setStandardFontSize(ini, fontSizeEdit.value());
    SettingsKeys::setShowmenu(ini, buttonBarCheckBox.checked());
    SettingsKeys::setWordwrap(ini, wordWrapCheckBox.checked());
    SettingsKeys::setStartscreen(ini, splashCheckBox.checked());
    ini.close();

    hide();
    hotKeys_.setHotKeys(newNoteLetter, foregroundLetter);
}

void SettingsDialog::cancelButtonClick() { hide(); }

bool SettingsDialog::acceptHotKeyLetter(Edit& edit, const std::string& letter,
                                        const char* purpose) {
    if (letter.empty() || hotKeyShortcut(letter) != 0) return true;
    messageBox(handle(),
               std::string("Der Hotkey für „") + purpose + "“ kann nicht „" + letter +
                   "“ sein.\n\nGeben Sie einen Buchstaben von A bis Z oder eine Ziffer von 0 bis 9 "
                   "ein. Lassen Sie das Feld leer, wenn Sie keinen Hotkey möchten.",
               kCaption, MB_OK | MB_ICONWARNING);
    edit.setFocus();
    edit.selectAll();
    return false;
}

}  // namespace tav
