#include "note/AlarmListDialog.h"

#include <algorithm>

#include "note/NoteWindow.h"
#include "store/AlarmTime.h"

namespace tav {

namespace {

namespace layout {
constexpr int kClientWidth = 440;
constexpr int kClientHeight = 260;
constexpr LayoutRect alarmList{8, 8, 424, 208};
constexpr LayoutRect showNoteButton{8, 226, 100, 26};
constexpr LayoutRect alarmOffButton{114, 226, 100, 26};
constexpr LayoutRect closeButton{344, 226, 88, 26};
}  // namespace layout

}  // namespace

AlarmListDialog::AlarmListDialog(HWND owner, Notes notes, BringToFront bringToFront)
    : DialogForm(L"AlarmListDialog", "Alarme", layout::kClientWidth, layout::kClientHeight),
      notes_(std::move(notes)),
      bringToFront_(std::move(bringToFront)) {
    createDialog(owner);
    alarmList.create(*this, kListId, layout::alarmList);
    alarmList.setTabStops({100, 215});
    showNoteButton.create(*this, "&Notiz zeigen", IDOK, layout::showNoteButton, true);
    alarmOffButton.create(*this, "&Alarm aus", kAlarmOffId, layout::alarmOffButton);
    closeButton.create(*this, "Schließen", IDCANCEL, layout::closeButton);
    showNoteButton.onClick = [this] { showNoteButtonClick(); };
    alarmOffButton.onClick = [this] { alarmOffButtonClick(); };
    closeButton.onClick = [this] { dismiss(IDCANCEL); };
}

void AlarmListDialog::refresh() {
    const NoteWindow* chosen = chosenNote();
    struct Entry {
        NoteWindow* note;
        DateTime moment;
    };
    std::vector<Entry> entries;
    for (NoteWindow* note : notes_()) {
        if (const auto moment = note->armedAlarm()) entries.push_back({note, *moment});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return timeline(a.moment) < timeline(b.moment);
    });
    alarmList.clear();
    lines_.clear();
    for (const Entry& entry : entries) {
        // The blank before the second tab: Wine's list box cuts the last
        // pixels of a column that ends at a tab stop.
        alarmList.add(entry.note->title() + "\t" + alarmMomentText(entry.moment) + " \t" +
                      repeatText(entry.note->alarmSeries().repeat));
        lines_.push_back({entry.note->name(), entry.note->handle()});
        if (entry.note == chosen) alarmList.setItemIndex(static_cast<int>(lines_.size()) - 1);
    }
    if (alarmList.itemIndex() < 0 && !lines_.empty()) alarmList.setItemIndex(0);
}

NoteWindow* AlarmListDialog::chosenNote() const {
    const int index = alarmList.itemIndex();
    if (index < 0 || index >= static_cast<int>(lines_.size())) return nullptr;
    const Line& line = lines_[static_cast<std::size_t>(index)];
    // A note deleted since, its number perhaps taken anew, is not this one.
    for (NoteWindow* note : notes_()) {
        if (note->name() == line.noteName && note->handle() == line.window) return note;
    }
    return nullptr;
}

void AlarmListDialog::showNoteButtonClick() {
    if (NoteWindow* note = chosenNote()) bringToFront_(*note);
}

void AlarmListDialog::alarmOffButtonClick() {
    if (NoteWindow* note = chosenNote()) note->switchAlarmOff();  // the note tells us to refresh
}

bool AlarmListDialog::onCommand(int id, int code, HWND control) {
    if (id == kListId && code == LBN_DBLCLK) {
        showNoteButtonClick();
        return true;
    }
    return DialogForm::onCommand(id, code, control);
}

void AlarmListDialog::onShow(bool shown) {
    DialogForm::onShow(shown);
    if (shown) refresh();
}

}  // namespace tav
