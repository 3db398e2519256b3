// A note whose text file someone else changed while the note is shown: the
// program folder often lies in a synced folder or on a stick used on two
// computers, and a save must not silently put the older text over the newer.

#include <cstdio>

#include "desktop/ErrorBox.h"
#include "desktop/LocalTime.h"
#include "desktop/Utf.h"
#include "forms/Dialogs.h"
#include "note/NoteWindow.h"
#include "store/FileIo.h"
#include "store/NoteStore.h"

namespace tav {

NoteWindow::TextStamp NoteWindow::stampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) return {};
    return {(static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime,
            (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, true};
}

void NoteWindow::rememberTextStamp() { textStamp_ = stampOf(noteTextPath(name())); }

void NoteWindow::checkOutsideChange() {
    // A file the note could not read stays the note's own problem; the note
    // keeps away from it anyway.
    if (deleted_ || textUnread_ || !startupTicksDone()) return;
    const std::string path = noteTextPath(name());
    const TextStamp stamp = stampOf(path);
    if (stamp == textStamp_) return;
    std::optional<std::string> content;
    try {
        content = readWholeFile(path);
    } catch (const std::exception&) {
        return;  // still being written: its next change comes again
    }
    textStamp_ = stamp;
    // Removed outside: the note keeps its text, and its next save brings the
    // file back.
    if (!content) return;
    if (!(inEditMode() && memo1.modified())) {
        memo1.load(*content);
        return;
    }
    if (messageBox(handle(),
                   "Die Notiz wurde außerhalb geändert. Neu laden und eigene Änderungen "
                   "verwerfen, oder eigene Fassung behalten?\r\n\r\nJa: neu laden. Nein: eigene "
                   "Fassung behalten, die andere bleibt als eigene Datei neben der Notiz.",
                   "Notiz „" + title() + "“", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        memo1.load(*content);
        return;
    }
    keepOutsideVersion(*content);
}

// "Notiz3 (Konflikt 2026-12-09).tvn"; a second conflict on the same day
// gets a number rather than taking the first one's place.
void NoteWindow::keepOutsideVersion(const std::string& content) {
    const DateTime today = dateTimeOf(localTimeNow());
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.date.year, today.date.month,
                  today.date.day);
    std::string path = programDir() + name() + " (Konflikt " + date + ").tvn";
    for (int n = 2; fileExists(path); ++n)
        path = programDir() + name() + " (Konflikt " + date + " " + std::to_string(n) + ").tvn";
    try {
        writeFileAtomically(path, content);
    } catch (const std::exception& e) {
        showErrorBox(handle(), std::string("Die außerhalb geänderte Fassung der Notiz „") +
                                   title() + "“ ließ sich nicht aufbewahren:\r\n" + e.what() +
                                   "\r\n\r\nSie steht noch in " + noteTextPath(name()) +
                                   ", bis Sie die Notiz speichern.");
        return;
    }
    messageBox(
        handle(),
        "Die außerhalb geänderte Fassung steht jetzt in\r\n" + path +
            "\r\n\r\nIhre eigene Fassung bleibt in der Notiz; speichern Sie sie wie gewohnt.",
        "Notiz „" + title() + "“", MB_OK | MB_ICONINFORMATION);
}

}  // namespace tav
