#include "about/AboutBox.h"

#include "desktop/ShellFiles.h"
#include "desktop/VersionInfo.h"
#include "forms/Dialogs.h"
#include "resource.h"
#include "store/FileIo.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

constexpr int kHelpButtonId = 3001;
constexpr int kWebLinkId = 3002;

// The whole layout at 96 dots per inch; the icon is painted left of the texts.
namespace layout {
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 160;
constexpr int kIconPlace = 16;
constexpr int kIconSize = 32;
constexpr LayoutRect productNameLabel{64, 14, 240, 24};
constexpr LayoutRect versionLabel{64, 42, 240, 16};
constexpr LayoutRect descriptionLabel{64, 62, 240, 16};
constexpr LayoutRect webLink{64, 84, 240, 16};
constexpr LayoutRect helpButton{136, 124, 80, 24};
constexpr LayoutRect okButton{226, 124, 80, 24};
}  // namespace layout

void place(Label& label, Form& form, const LayoutRect& bounds, const FontSpec& font,
           const std::string& text) {
    label.create(form);
    label.setBounds(bounds);
    label.setFont(font);
    label.setText(text);
}

}  // namespace

AboutBox::AboutBox(HWND owner)
    : DialogForm(L"AboutBox", "Info über Tavelin 2000", layout::kClientWidth,
                 layout::kClientHeight) {
    setName("InfoBox");
    createDialog(owner);

    const FontSpec dialogFont{.name = "MS Shell Dlg", .sizePoints = 8};
    place(productNameLabel, *this, layout::productNameLabel,
          {.name = "Arial", .heightPixels = 20, .bold = true}, "Tavelin 2000");
    place(versionLabel, *this, layout::versionLabel, dialogFont,
          "Version:" + VersionInfo::fileVersion());
    place(descriptionLabel, *this, layout::descriptionLabel, dialogFont,
          "Notizzettel für den Windows-Desktop");
    webLink.create(*this, "www.tavelin2000.de", kProjectUrl, kWebLinkId, layout::webLink);
    helpButton.create(*this, "Hilfe", kHelpButtonId, layout::helpButton);
    okButton.create(*this, "OK", IDOK, layout::okButton, true);

    webLink.onClick = [this] { webLinkClick(); };
    helpButton.onClick = [this] { helpButtonClick(); };
    okButton.onClick = [this] { hide(); };
}

void AboutBox::createParams(DWORD& style, DWORD& exStyle) {
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME;
}

void AboutBox::showBox() {
    centerOnScreen();
    show();
    SetForegroundWindow(handle());
    okButton.setFocus();
}

// The icon is drawn in the size of the box's density, so it is never
// stretched from another one.
void AboutBox::onPaint(HDC dc, const RECT&) {
    const int size = scale(layout::kIconSize);
    if (!icon_ || iconSize_ != size) {
        icon_.reset(
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAVELIN),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        iconSize_ = size;
    }
    if (icon_) {
        const int at = scale(layout::kIconPlace);
        DrawIconEx(dc, at, at, icon_.get(), size, size, 0, nullptr, DI_NORMAL);
    }
}

void AboutBox::helpButtonClick() {
    const std::string help = programDir() + kHelpFileName;
    if (!fileExists(help)) {
        messageBox(handle(), "Die Hilfedatei \"" + help + "\" wurde nicht gefunden.",
                   "Tavelin 2000", MB_OK | MB_ICONINFORMATION);
        return;
    }
    shellOpen(handle(), help);
}

void AboutBox::webLinkClick() { shellOpen(handle(), kProjectUrl); }

}  // namespace tav
