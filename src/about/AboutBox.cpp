#include "about/AboutBox.h"

#include <commctrl.h>

#include "forms/Dialogs.h"
#include "desktop/ShellFiles.h"
#include "desktop/Utf.h"
#include "desktop/VersionInfo.h"
#include "resource.h"
#include "store/FileIo.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

constexpr int kHelpButtonId = 3001;
constexpr int kWebLinkId = 3002;
constexpr int kClientWidth = 320;
constexpr int kClientHeight = 160;

}  // namespace

AboutBox::AboutBox(HWND owner) : Form(L"AboutBox") {
    setName("InfoBox");
    setCaption("Info über Tavelin 2000");
    setClientWidth(kClientWidth);
    setClientHeight(kClientHeight);
    create(owner);

    ProductName.create(*this);
    ProductName.setBounds(64, 14, 240, 24);
    ProductName.setFont({.name = "Arial", .heightPixels = 20, .bold = true});
    ProductName.setText("Tavelin 2000");

    Version.create(*this);
    Version.setBounds(64, 42, 240, 16);
    Version.setFont({.name = "MS Shell Dlg", .sizePoints = 8});
    Version.setText("Version:" + VersionInfo::fileVersion());

    Copyright.create(*this);
    Copyright.setBounds(64, 62, 240, 16);
    Copyright.setFont({.name = "MS Shell Dlg", .sizePoints = 8});
    Copyright.setText("Notizzettel für den Windows-Desktop");

    const std::wstring link = L"<a href=\"" + widen(kProjectUrl) + L"\">www.tavelin2000.de</a>";
    webLink_ = createChild(WC_LINK, link.c_str(), WS_TABSTOP, kWebLinkId, 64, 84, 240, 16);
    if (webLink_ == nullptr) {
        // Without the version 6 controls there is no SysLink: a flat button
        // with the address does the same job.
        webLink_ = createChild(L"BUTTON", L"www.tavelin2000.de", BS_FLAT | BS_LEFT | WS_TABSTOP,
                               kWebLinkId, 64, 82, 160, 20);
    }
    helpButton_ = createChild(L"BUTTON", L"Hilfe", BS_PUSHBUTTON | WS_TABSTOP, kHelpButtonId, 136,
                              124, 80, 24);
    okButton_ =
        createChild(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 226, 124, 80, 24);
}

AboutBox::~AboutBox() { destroy(); }

void AboutBox::createParams(DWORD& style, DWORD& exStyle) {
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME;
}

void AboutBox::showBox() {
    centerOnScreen();
    show();
    SetForegroundWindow(handle());
    SetFocus(okButton_);
}

bool AboutBox::preTranslate(MSG& msg) {
    if (!visible()) return false;
    if (msg.hwnd != handle() && !IsChild(handle(), msg.hwnd)) return false;
    return IsDialogMessageW(handle(), &msg) != 0;
}

bool AboutBox::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDOK:
        case IDCANCEL:
            OKButtonClick();
            return true;
        case kHelpButtonId:
            HelpButtonClick();
            return true;
        case kWebLinkId:
            WebLinkClick();
            return true;
        default:
            return false;
    }
}

bool AboutBox::onNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != webLink_) return false;
    if (header.code != NM_CLICK && header.code != NM_RETURN) return false;
    WebLinkClick();
    result = 0;
    return true;
}

// The icon is drawn in the size of the box's density, so it is never
// stretched from another one.
void AboutBox::onPaint(HDC dc, const RECT&) {
    const int size = scale(32);
    if (!icon_ || iconSize_ != size) {
        icon_.reset(
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TAVELIN),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        iconSize_ = size;
    }
    if (icon_) DrawIconEx(dc, scale(16), scale(16), icon_.get(), size, size, 0, nullptr, DI_NORMAL);
}

void AboutBox::OKButtonClick() { hide(); }

void AboutBox::HelpButtonClick() {
    const std::string help = programDir() + kHelpFileName;
    if (!fileExists(help)) {
        messageBox(handle(), "Die Hilfedatei \"" + help + "\" wurde nicht gefunden.",
                   "Tavelin 2000", MB_OK | MB_ICONINFORMATION);
        return;
    }
    shellOpen(handle(), help);
}

void AboutBox::WebLinkClick() { shellOpen(handle(), kProjectUrl); }

}  // namespace tav
