#pragma once
// "Sicherung wiederherstellen": the copies of the notes, newest first, with
// date, time, how many notes each holds and their first titles. Shown
// modally; it answers which copy the user chose.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "forms/DialogForm.h"
#include "store/Backup.h"

namespace tav {

class BackupDialog : public DialogForm {
public:
    BackupDialog(HWND owner, std::vector<BackupSummary> backups);

    ListBox backupList;
    Button restoreButton;  // "&Wiederherstellen"
    Button cancelButton;

    // The chosen copy's name, once the user confirmed it; nothing when the
    // dialog was closed otherwise.
    std::optional<std::string> choose();
    void restoreButtonClick();

    // One line of the list.
    static std::string lineOf(const BackupSummary& backup);

private:
    std::vector<BackupSummary> backups_;
    std::optional<std::string> chosen_;
};

}  // namespace tav
