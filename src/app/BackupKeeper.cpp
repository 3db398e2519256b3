#include "app/BackupKeeper.h"

#include <exception>
#include <utility>

#include "desktop/LocalTime.h"
#include "store/Backup.h"
#include "store/NoteStore.h"

namespace tav {

namespace {

std::string reasonOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unbekannter Fehler";
    }
}

std::string writeCopy(const std::string& dir, const FileSet& files, const DateTime& now) {
    try {
        writeBackup(dir, files, now);
        return {};
    } catch (...) {
        return reasonOf(std::current_exception());
    }
}

}  // namespace

std::string backupFailureText(const std::string& reason) {
    return "Die Sicherung der Notizen im Ordner „" + std::string(kBackupFolder) +
           "“ neben dem Programm konnte nicht geschrieben werden:\r\n" + reason +
           "\r\n\r\nIhre Notizen selbst sind davon nicht betroffen, Tavelin läuft weiter. "
           "Prüfen Sie, ob auf dem Laufwerk genug Platz frei ist und ob dort geschrieben werden "
           "darf. Bis zum nächsten Start sagt Tavelin das nur dieses eine Mal.";
}

BackupKeeper::~BackupKeeper() {
    if (running_.valid()) running_.wait();
}

void BackupKeeper::start(HWND notify, UINT done) {
    if (running_.valid()) return;
    const std::string dir = programDir();
    const DateTime now = dateTimeOf(localTimeNow());
    FileSet files;
    try {
        files = readProgramFiles(dir);
    } catch (...) {
        std::promise<std::string> failed;
        failed.set_value(reasonOf(std::current_exception()));
        running_ = failed.get_future();
        PostMessageW(notify, done, 0, 0);
        return;
    }
    // A first start has nothing to keep yet.
    if (files.empty()) return;
    running_ = std::async(std::launch::async, [dir, files = std::move(files), now, notify, done] {
        std::string failure = writeCopy(dir, files, now);
        PostMessageW(notify, done, 0, 0);
        return failure;
    });
}

std::string BackupKeeper::finish() {
    if (!running_.valid()) return {};
    return running_.get();
}

std::string BackupKeeper::copyNow() {
    finish();  // a copy of the moment before is no worse than this one
    try {
        const FileSet files = readProgramFiles(programDir());
        if (!files.empty()) writeBackup(programDir(), files, dateTimeOf(localTimeNow()));
        return {};
    } catch (...) {
        return reasonOf(std::current_exception());
    }
}

}  // namespace tav
