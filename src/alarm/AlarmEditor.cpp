#include "alarm/AlarmEditor.h"

#include <commctrl.h>

#include "desktop/LocalTime.h"

namespace tav {

namespace {

// The whole layout at 96 dots per inch.
namespace layout {
constexpr int kClientWidth = 313;
constexpr int kClientHeight = 148;
constexpr LayoutRect fieldsBevel{8, 8, 297, 101};
constexpr LayoutRect activeCheckBox{24, 24, 180, 17};
constexpr LayoutRect datePicker{24, 58, 132, 22};
constexpr LayoutRect timePicker{168, 58, 120, 22};
constexpr LayoutRect okButton{79, 116, 75, 25};
constexpr LayoutRect cancelButton{159, 116, 75, 25};
}  // namespace layout

}  // namespace

bool AlarmEditor::execute(HWND owner, AlarmEditorValues& values) {
    AlarmEditor editor(owner, values);
    if (editor.showModal() != IDOK) return false;
    values = editor.values();
    return true;
}

AlarmEditor::AlarmEditor(HWND owner, const AlarmEditorValues& values)
    : DialogForm(L"#32770", "Alarm-Dialog", layout::kClientWidth, layout::kClientHeight) {
    createDialog(owner);
    // The frame first, so that it lies beneath; then the Tab order.
    fieldsBevel.create(*this, kBevelId, layout::fieldsBevel);
    activeCheckBox.create(*this, "&Alarm aktiv", kActiveId, layout::activeCheckBox);
    datePicker.create(*this, kDateId, layout::datePicker, DTS_SHORTDATEFORMAT);
    timePicker.create(*this, kTimeId, layout::timePicker, DTS_TIMEFORMAT | DTS_UPDOWN);
    okButton.create(*this, "OK", IDOK, layout::okButton, true);
    cancelButton.create(*this, "Abbrechen", IDCANCEL, layout::cancelButton);

    activeCheckBox.setChecked(values.alarmSet);
    datePicker.setValue(systemTimeOf({values.date, {12, 0, 0}, 0}));
    timePicker.setValue(systemTimeOf({values.date, values.time, 0}));
    okButton.onClick = [this] { dismiss(IDOK); };
    cancelButton.onClick = [this] { dismiss(IDCANCEL); };
}

AlarmEditorValues AlarmEditor::values() const {
    return {dateTimeOf(datePicker.value()).date, dateTimeOf(timePicker.value()).time,
            activeCheckBox.checked()};
}

// A dialog frame with only the system menu's close box.
void AlarmEditor::createParams(DWORD& style, DWORD& exStyle) {
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    exStyle = WS_EX_DLGMODALFRAME;
}

}  // namespace tav
