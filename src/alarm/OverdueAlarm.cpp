#include "alarm/OverdueAlarm.h"

#include <algorithm>

#include "alarm/AlarmLayout.h"
#include "forms/DialogKeys.h"
#include "desktop/ShellFiles.h"

namespace tav {

namespace {

using namespace alarm_layout;

constexpr int kTextId = 300;

}  // namespace

OverdueAlarm::OverdueAlarm(HWND owner, const std::string& noteName, const std::string& title,
                           const std::string& textPath, COLORREF color)
    : Form(L"OverdueAlarm") {
    setName(noteName + "a");
    setCaption("Alarm überfallig");
    setWidth(kOverdueSize.cx);
    setHeight(kOverdueSize.cy);
    create(owner);

    Panel2.create(*this);
    Panel2.setFont({.name = "MS Sans Serif", .heightPixels = 16});
    Panel2.setAlignment(Alignment::Center);
    Panel2.setText(title);
    memo1.create(handle(), kTextId);
    memo1.setColor(color);
    memo1.setReadOnly(true);
    memo1.setAutoUrlDetect(true);
    memo1.onLinkClick = [this](const std::string& link) { memo1URLClick(link); };
    Button1 = makeControl(*this, L"BUTTON", L"O.K.", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
                          {0, 0, kOverdueButton.cx, kOverdueButton.cy}, FontSpec{});
    addDialogKeys(handle());
    onSize(clientWidth(), clientHeight());

    centerOnScreen();
    show();
    try {
        memo1.loadFromFile(textPath);
    } catch (...) {
        // Without its text the overdue alarm still tells which note it was.
        memo1.clear();
    }
    SetFocus(Button1);
}

OverdueAlarm::~OverdueAlarm() { destroy(); }

// Also when the owner takes the window with it.
void OverdueAlarm::onDestroy() { removeDialogKeys(handle()); }

void OverdueAlarm::createParams(DWORD& style, DWORD& exStyle) {
    // Sizeable, with a maximise button beside the close box.
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    exStyle = 0;
}

void OverdueAlarm::onSize(int clientWidth, int clientHeight) {
    if (Button1 == nullptr) return;
    Panel2.setBounds(0, 0, clientWidth, kOverdueTitleHeight);
    const int buttonPanelTop =
        std::max(kOverdueTitleHeight, clientHeight - kOverdueButtonPanelHeight);
    memo1.setBounds(0, kOverdueTitleHeight, clientWidth, buttonPanelTop - kOverdueTitleHeight);
    setChildBounds(Button1, (clientWidth - kOverdueButton.cx) / 2,
                   buttonPanelTop + (kOverdueButtonPanelHeight - kOverdueButton.cy) / 2,
                   kOverdueButton.cx, kOverdueButton.cy);
    InvalidateRect(handle(), nullptr, TRUE);
}

void OverdueAlarm::Button1Click() { close(); }

void OverdueAlarm::memo1URLClick(const std::string& link) { shellOpen(handle(), link); }

bool OverdueAlarm::onCommand(int id, int code, HWND) {
    if ((id != IDOK && id != IDCANCEL) || code != BN_CLICKED) return false;
    Button1Click();
    return true;
}

bool OverdueAlarm::onNotify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != memo1.hwnd()) return false;
    const bool handled = memo1.handleNotify(&header);
    result = 0;
    return handled;
}

}  // namespace tav
