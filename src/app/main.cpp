#include <windows.h>
// commctrl.h and ole2.h need the types of windows.h.
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>
#include <string>

#include "about/AboutBox.h"
#include "alarm/AlarmReminder.h"
#include "app/InstanceLock.h"
#include "app/TrayController.h"
#include "desktop/ShellFiles.h"
#include "desktop/SystemLibrary.h"
#include "forms/DialogKeys.h"
#include "forms/Dialogs.h"
#include "forms/Form.h"
#include "note/AlarmListDialog.h"
#include "note/HiddenNotesDialog.h"
#include "note/SearchDialog.h"
#include "settings/SettingsDialog.h"
#include "store/NoteStore.h"

namespace {

constexpr char kProductTitle[] = "Tavelin 2000";

// A start that does not run says why; it changes no file.
int refuseStart(const std::string& text) {
    tav::messageBox(nullptr, text, kProductTitle, MB_OK | MB_ICONWARNING);
    return 1;
}

// OLE is the program's for its whole run; ending it leaves text the user
// copied on the clipboard.
HRESULT oleState = E_FAIL;

void endOle() {
    if (SUCCEEDED(oleState)) OleUninitialize();
    oleState = E_FAIL;
}

int runProgram(tav::InstanceLock& instance) {
    // The hint delays (500 ms to show, 4000 ms until a hint goes) are the
    // form kit's: every tool tip it creates gets them.

    // The forms in their order. The tray controller is the main form; it
    // stays hidden unless it shows itself as the splash.
    tav::TrayController trayController(tav::windowsDirectory());
    instance.publish(trayController.handle());
    tav::AboutBox aboutBox(trayController.handle());
    trayController.attachAboutBox(&aboutBox);
    tav::AlarmReminder reminder(trayController.handle());
    trayController.attachReminder(&reminder);
    tav::SettingsDialog settingsDialog(trayController.handle(), trayController);
    trayController.attachSettingsDialog(&settingsDialog);
    tav::HiddenNotesDialog hiddenNotesDialog(trayController);
    trayController.attachHiddenNotesDialog(&hiddenNotesDialog);
    tav::AlarmListDialog alarmList(
        trayController.handle(), [&trayController] { return trayController.openNotes(); },
        [&trayController](tav::NoteWindow& note) { trayController.bringNoteToFront(note); });
    trayController.attachAlarmList(&alarmList);
    tav::SearchDialog search(
        trayController.handle(), [&trayController] { return trayController.openNotes(); },
        [&trayController](tav::NoteWindow& note) { trayController.bringNoteToFront(note); });
    trayController.attachSearchDialog(&search);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (tav::translateDialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The notes outlive the reminder and the list; none may reach them any
    // more.
    trayController.attachReminder(nullptr);
    trayController.attachAlarmList(nullptr);
    trayController.attachSearchDialog(nullptr);
    if (trayController.exited()) {
        // Every note, placement and setting is on disk now. The windows go
        // with the process: taking fifty notes apart one by one would only
        // keep a log-off or shutdown waiting.
        endOle();
        ExitProcess(static_cast<UINT>(msg.wParam));
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

// An exception nobody catches ends the program as the standard handler would,
// without its message: a program without a console has nowhere to show it,
// and the name demangler the standard handler brings along is larger than
// any part of the program itself.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything loads a DLL: the program's folder may hold anyone's.
    tav::restrictDllSearch();
    tav::setProgramDir(tav::exeDirectory());

    using State = tav::InstanceLock::State;
    tav::InstanceLock instance(tav::programDir(), tav::foregroundRequestMessage());
    switch (instance.state()) {
        case State::Running:
            return 0;
        case State::NotAnswering:
            return refuseStart("Tavelin läuft in seinem Ordner\r\n" + tav::programDir() +
                               "\r\nschon, antwortet aber nicht (oder es läuft dort auf einem "
                               "anderen Computer).\r\n\r\nWarten Sie einen Moment und starten "
                               "Sie Tavelin dann noch einmal. Hilft das nicht, beenden Sie das "
                               "laufende Tavelin im Task-Manager.");
        case State::Failed:
            return refuseStart(
                "Tavelin kann in seinem Ordner\r\n" + tav::programDir() +
                "\r\nnicht sicherstellen, dass es dort nur einmal läuft: die Datei "
                "„Tavelin.lock“ lässt sich nicht anlegen. Zwei Tavelin im selben Ordner würden "
                "sich gegenseitig die Notizen überschreiben, deshalb startet es nicht.\r\n\r\n"
                "Liegt dort ein Ordner oder eine schreibgeschützte Datei „Tavelin.lock“, "
                "entfernen Sie sie und starten Sie Tavelin dann noch einmal.");
        case State::Ours:
        case State::ReadOnly:
            // In a folder that takes no file nothing can be saved, so a second
            // copy could overwrite nothing; the start says what to do.
            break;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    // The note text embeds OLE objects.
    oleState = OleInitialize(nullptr);

    int result = 1;
    tav::guarded(nullptr, [&] { result = runProgram(instance); });
    endOle();
    return result;
}
