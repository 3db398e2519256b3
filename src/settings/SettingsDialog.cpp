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
constexpr LayoutRect schrift1{16, 22, 280, 21};
constexpr int kFontListHeight = 240;
constexpr LayoutRect spin1{304, 22, 68, 21};
constexpr LayoutRect check1{16, 66, 156, 17};
constexpr LayoutRect Check2{16, 88, 156, 17};
constexpr LayoutRect Check3{16, 110, 156, 17};
constexpr LayoutRect hotKeyGroup{176, 58, 204, 86};
constexpr LayoutRect newNoteLabel{182, 79, 164, 14};
constexpr LayoutRect Edit1{350, 75, 22, 21};
constexpr LayoutRect foregroundLabel{182, 103, 164, 28};
constexpr LayoutRect Edit2{350, 113, 22, 21};
constexpr LayoutRect Button1{208, 154, 84, 25};
constexpr LayoutRect Button2{296, 154, 84, 25};
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
    schrift1.create(*this, kFontNameId, layout::schrift1, layout::kFontListHeight);
    spin1.create(*this, kFontSizeId, layout::spin1, kMinFontSize, kMaxFontSize);
    check1.create(*this, "Buttonleiste aktiv", kButtonBarId, layout::check1);
    Check2.create(*this, "Zeilenumbruch", kWordWrapId, layout::Check2);
    Check3.create(*this, "Startbildschirm anzeigen", kSplashId, layout::Check3);
    newNoteLabel.create(*this, "neue Notiz: <STRG> <ALT> + ", layout::newNoteLabel, true);
    Edit1.create(*this, kNewNoteId, layout::Edit1);
    foregroundLabel.create(*this, "in den Vordergrund:\r\n<STRG> <ALT> + ", layout::foregroundLabel,
                           true);
    Edit2.create(*this, kForegroundId, layout::Edit2);
    Button1.create(*this, "&O.K.", IDOK, layout::Button1, true);
    Button2.create(*this, "&abbrechen", IDCANCEL, layout::Button2);

    Edit1.setMaxLength(1);
    Edit2.setMaxLength(1);
    Button1.onClick = [this] { Button1Click(); };
    Button2.onClick = [this] { Button2Click(); };
}

void SettingsDialog::onShow(bool shown) {
    DialogForm::onShow(shown);
    if (shown) FormShow();
}

void SettingsDialog::FormShow() {
    IniFile ini(settingsPath());
    schrift1.setFontName(SettingsKeys::standardFontName(ini, kDialogFontName));
    spin1.setValue(SettingsKeys::standardFontSize(ini));
    check1.setChecked(SettingsKeys::showmenu(ini));
    Check2.setChecked(SettingsKeys::wordwrap(ini));
    Check3.setChecked(SettingsKeys::startscreen(ini));
    Edit1.setText(SettingsKeys::hotkeyNeu(ini));
    Edit2.setText(SettingsKeys::hotkeyVordergrund(ini));
    ini.close();
}

// Everything is written before the hot keys change, and only once the file
// has taken it: a file that cannot be written leaves the dialog open and the
// running hot keys as they are.
void SettingsDialog::Button1Click() {
    const std::string newNoteLetter = upperCase(Edit1.text());
    const std::string foregroundLetter = upperCase(Edit2.text());
    if (!acceptHotKeyLetter(Edit1, newNoteLetter, "neue Notiz") ||
        !acceptHotKeyLetter(Edit2, foregroundLetter, "in den Vordergrund"))
        return;

    IniFile ini(settingsPath());
    SettingsKeys::setHotkeyNeu(ini, newNoteLetter);
    SettingsKeys::setHotkeyVordergrund(ini, foregroundLetter);
    SettingsKeys::setStandardFontName(ini, schrift1.fontName());
    SettingsKeys::setStandardFontSize(ini, spin1.value());
    SettingsKeys::setShowmenu(ini, check1.checked());
    SettingsKeys::setWordwrap(ini, Check2.checked());
    SettingsKeys::setStartscreen(ini, Check3.checked());
    ini.close();

    hide();
    hotKeys_.setHotKeys(newNoteLetter, foregroundLetter);
}

void SettingsDialog::Button2Click() { hide(); }

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
