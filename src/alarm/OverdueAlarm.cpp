#include "alarm/OverdueAlarm.h"

#include <algorithm>

#include "forms/LinkFollow.h"

namespace tav {

namespace {

constexpr int kTextId = 300;

// The layout at 96 dots per inch. The window is sizeable: the title panel
// keeps the top, the button panel the bottom and the text what lies between.
namespace layout {
constexpr int kWidth = 381;
constexpr int kHeight = 331;
constexpr int kTitleHeight = 32;
constexpr int kButtonPanelHeight = 41;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
}  // namespace layout

}  // namespace

OverdueAlarm::OverdueAlarm(HWND owner, const std::string& noteName, const std::string& title,
                           const std::string& textPath, COLORREF color)
    : DialogForm(L"OverdueAlarm", "Alarm überfallig", 0, 0) {
    setName(noteName + "a");
    // Sized by its outer frame.
    setWidth(layout::kWidth);
    setHeight(layout::kHeight);
    createDialog(owner);

    titlePanel.create(*this);
    titlePanel.setFont({.name = "MS Sans Serif", .heightPixels = 16});
    titlePanel.setAlignment(Alignment::Center);
    titlePanel.setText(title);
    noteText.create(*this, kTextId);
    noteText.setColor(color);
    noteText.setReadOnly(true);
    noteText.setAutoUrlDetect(true);
    noteText.onLinkClick = [this](const std::string& link, const std::string& shown) {
        followLink(handle(), link, shown);
    };
    okButton.create(*this, "O.K.", IDOK, {}, true);
    okButton.setFont({});
    okButton.onClick = [this] { okButtonClick(); };
    onSize(clientWidth(), clientHeight());

    show();
    try {
        noteText.loadFromFile(textPath);
    } catch (...) {
        // Without its text the overdue alarm still tells which note it was.
        noteText.clear();
    }
    okButton.setFocus();
}

void OverdueAlarm::createParams(DWORD& style, DWORD& exStyle) {
    // Sizeable, with a maximise button beside the close box.
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    exStyle = 0;
}

void OverdueAlarm::onSize(int clientWidth, int clientHeight) {
    using namespace layout;
    titlePanel.setBounds({0, 0, clientWidth, kTitleHeight});
    const int buttonPanelTop = std::max(kTitleHeight, clientHeight - kButtonPanelHeight);
    noteText.setBounds({0, kTitleHeight, clientWidth, buttonPanelTop - kTitleHeight});
    okButton.setBounds({(clientWidth - kButtonWidth) / 2,
                        buttonPanelTop + (kButtonPanelHeight - kButtonHeight) / 2, kButtonWidth,
                        kButtonHeight});
    InvalidateRect(handle(), nullptr, TRUE);
}

void OverdueAlarm::okButtonClick() { close(); }

}  // namespace tav
