#include "app/BackupDialog.h"

#include <cstdio>
#include <utility>

#include "forms/Dialogs.h"

namespace tav {

namespace {

namespace layout {
constexpr int kClientWidth = 480;
constexpr int kClientHeight = 240;
constexpr LayoutRect backupList{8, 8, 464, 188};
constexpr LayoutRect restoreButton{8, 206, 130, 26};
constexpr LayoutRect cancelButton{384, 206, 88, 26};
}  // namespace layout

constexpr int kListId = 101;
constexpr int kRestoreId = 102;

std::string dateText(const DateTime& m) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d  %02d:%02d:%02d", m.date.day, m.date.month,
                  m.date.year, m.time.hour, m.time.minute, m.time.second);
    return text;
}

}  // namespace

BackupDialog::BackupDialog(HWND owner, std::vector<BackupSummary> backups)
    : DialogForm(L"BackupDialog", "Sicherung wiederherstellen", layout::kClientWidth,
                 layout::kClientHeight),
      backups_(std::move(backups)) {
    createDialog(owner);
    backupList.create(*this, kListId, layout::backupList);
    restoreButton.create(*this, "&Wiederherstellen", kRestoreId, layout::restoreButton, true);
    cancelButton.create(*this, "Abbrechen", IDCANCEL, layout::cancelButton);
    for (const BackupSummary& backup : backups_) backupList.add(lineOf(backup));
    if (!backups_.empty()) backupList.setItemIndex(0);
    restoreButton.onClick = [this] { restoreButtonClick(); };
    cancelButton.onClick = [this] { dismiss(IDCANCEL); };
}

std::string BackupDialog::lineOf(const BackupSummary& backup) {
    std::string line = dateText(backup.moment) + "  –  " + std::to_string(backup.notes) +
                       (backup.notes == 1 ? " Notiz" : " Notizen");
    for (std::size_t i = 0; i < backup.titles.size(); ++i)
        line += (i == 0 ? ": " : ", ") + backup.titles[i];
    if (backup.notes > static_cast<int>(backup.titles.size())) line += ", ...";
    return line;
}

std::optional<std::string> BackupDialog::choose() {
    chosen_.reset();
    showModal();
    return chosen_;
}

// Asked first: the notes on the screen give way to the copy's.
void BackupDialog::restoreButtonClick() {
    const int index = backupList.itemIndex();
    if (index < 0 || index >= static_cast<int>(backups_.size())) return;
    const BackupSummary& backup = backups_[static_cast<std::size_t>(index)];
    if (messageBox(handle(),
                   "Die Notizen und Einstellungen vom " + dateText(backup.moment) +
                       " wiederherstellen?\r\n\r\nAlle Notizen auf dem Bildschirm werden durch "
                       "die der Sicherung ersetzt. Der jetzige Stand wird vorher selbst "
                       "gesichert, Sie können also zu ihm zurück.",
                   "Sicherung wiederherstellen",
                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    chosen_ = backup.name;
    dismiss(IDOK);
}

}  // namespace tav
