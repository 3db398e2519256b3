#include "alarm/AlarmEditor.h"

#include <commctrl.h>

#include "desktop/LocalTime.h"

namespace tav {

namespace {

// The whole layout at 96 dots per inch.
namespace layout {
constexpr int kClientWidth = 313;
constexpr int kClientHeight = 202;
constexpr LayoutRect fieldsBevel{8, 8, 297, 155};
constexpr LayoutRect activeCheckBox{24, 20, 180, 17};
constexpr LayoutRect datePicker{24, 46, 132, 22};
constexpr LayoutRect timePicker{168, 46, 120, 22};
constexpr LayoutRect quickButton{24, 78, 84, 23};  // the first; the others to its right
constexpr int kQuickStep = 90;
constexpr LayoutRect repeatLabel{24, 126, 80, 17};
constexpr LayoutRect repeatComboBox{108, 122, 180, 150};
constexpr LayoutRect okButton{79, 170, 75, 25};
constexpr LayoutRect cancelButton{159, 170, 75, 25};
}  // namespace layout

}  // namespace

bool AlarmEditor::execute(HWND owner, AlarmEditorValues& values, Clock now) {
    AlarmEditor editor(owner, values, std::move(now));
    if (editor.showModal() != IDOK) return false;
    values = editor.values();
    return true;
}

AlarmEditor::AlarmEditor(HWND owner, const AlarmEditorValues& values, Clock now)
    : DialogForm(L"#32770", "Alarm-Dialog", layout::kClientWidth, layout::kClientHeight),
      now_(now ? std::move(now) : [] { return dateTimeOf(localTimeNow()); }) {
    createDialog(owner);
    // The frame first, so that it lies beneath; then the Tab order.
    fieldsBevel.create(*this, kBevelId, layout::fieldsBevel);
    activeCheckBox.create(*this, "&Alarm aktiv", kActiveId, layout::activeCheckBox);
    datePicker.create(*this, kDateId, layout::datePicker, DTS_SHORTDATEFORMAT);
    timePicker.create(*this, kTimeId, layout::timePicker, DTS_TIMEFORMAT | DTS_UPDOWN);
    for (int i = 0; i < static_cast<int>(quickButtons.size()); ++i) {
        LayoutRect place = layout::quickButton;
        place.x += i * layout::kQuickStep;
        quickButtons[i].create(*this, kQuickAlarmTexts[i], kQuickId + i, place);
        quickButtons[i].onClick = [this, i] { quickButtonClick(i); };
    }
    repeatLabel.create(*this, "&Wiederholen:", layout::repeatLabel);
    repeatComboBox.create(*this, kRepeatId, layout::repeatComboBox);
    for (const char* text : kRepeatTexts) repeatComboBox.add(text);
    repeatComboBox.setVisibleItems(static_cast<int>(kRepeatTexts.size()));
    okButton.create(*this, "OK", IDOK, layout::okButton, true);
    cancelButton.create(*this, "Abbrechen", IDCANCEL, layout::cancelButton);

    activeCheckBox.setChecked(values.alarmSet);
    datePicker.setValue(systemTimeOf({values.date, {12, 0, 0}, 0}));
    timePicker.setValue(systemTimeOf({values.date, values.time, 0}));
    repeatComboBox.setItemIndex(static_cast<int>(values.repeat));
    okButton.onClick = [this] { dismiss(IDOK); };
    cancelButton.onClick = [this] { dismiss(IDCANCEL); };
}

AlarmEditorValues AlarmEditor::values() const {
    const int repeat = repeatComboBox.itemIndex();
    return {dateTimeOf(datePicker.value()).date, dateTimeOf(timePicker.value()).time,
            activeCheckBox.checked(), repeat < 0 ? Repeat::Never : static_cast<Repeat>(repeat)};
}

// A quick choice only fills the pickers, and arms: confirming stays the
// user's step.
void AlarmEditor::quickButtonClick(int index) {
    const DateTime moment = quickAlarmMoment(index, now_());
    datePicker.setValue(systemTimeOf({moment.date, {12, 0, 0}, 0}));
    timePicker.setValue(systemTimeOf(moment));
    activeCheckBox.setChecked(true);
}

// A dialog frame with only the system menu's close box.
void AlarmEditor::createParams(DWORD& style, DWORD& exStyle) {
    style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    exStyle = WS_EX_DLGMODALFRAME;
}

}  // namespace tav
