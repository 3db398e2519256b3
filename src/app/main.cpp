#include <windows.h>
// commctrl.h and ole2.h need the types of windows.h.
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>
#include <string>

#include "about/AboutBox.h"
#include "alarm/AlarmReminder.h"
#include "app/TrayController.h"
#include "note/HiddenNotesDialog.h"
#include "forms/DialogKeys.h"
#include "forms/Form.h"
#include "desktop/ShellFiles.h"
#include "desktop/Utf.h"
#include "settings/SettingsDialog.h"
#include "store/NoteStore.h"

namespace {

// The application title. It is what the program's error boxes carry (the
// form kit's error box uses the same text); there is no application window
// that would show it, because the tray controller's own window owns the notes.
constexpr wchar_t kApplicationTitle[] = L"Tavelin2000";

// A second start asks the running program (of the same directory) to come to
// the front, as its second hot key would, and ends without touching a file.
void askRunningProgramToFront() {
    for (HWND w = FindWindowExW(nullptr, nullptr, tav::kTrayWindowClass, nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, tav::kTrayWindowClass, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        // We were started by the user, so we may hand the foreground on.
        AllowSetForegroundWindow(pid);
        PostMessageW(w, tav::foregroundRequestMessage(), tav::programDirId(), 0);
    }
}

// OLE is the program's for its whole run; ending it leaves text the user
// copied on the clipboard.
HRESULT oleState = E_FAIL;

void endOle() {
    if (SUCCEEDED(oleState)) OleUninitialize();
    oleState = E_FAIL;
}

int runProgram() {
    // The hint delays (500 ms to show, 4000 ms until a hint goes) are the
    // form kit's: every tool tip it creates gets them.

    // The forms in their order. The tray controller is the main form; it
    // stays hidden unless it shows itself as the splash.
    tav::TrayController trayController(tav::windowsDirectory());
    tav::AboutBox aboutBox(trayController.handle());
    trayController.attachAboutBox(&aboutBox);
    tav::AlarmReminder reminder(trayController.handle());
    trayController.attachReminder(&reminder);
    tav::SettingsDialog settingsDialog(trayController.handle(), trayController);
    trayController.attachSettingsDialog(&settingsDialog);
    tav::HiddenNotesDialog hiddenNotesDialog(trayController);
    trayController.attachInvisibleNotesDialog(&hiddenNotesDialog);

    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (tav::translateDialogKeys(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // The notes outlive the reminder; none may reach it any more.
    trayController.attachReminder(nullptr);
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
    tav::setProgramDir(tav::exeDirectory());

    const std::wstring mutexName =
        std::wstring(kApplicationTitle) + L"." + tav::widen(std::to_string(tav::programDirId()));
    HANDLE instance = CreateMutexW(nullptr, FALSE, mutexName.c_str());
    if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        askRunningProgramToFront();
        CloseHandle(instance);
        return 0;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    // The note text embeds OLE objects.
    oleState = OleInitialize(nullptr);

    int result = 1;
    tav::guarded(nullptr, [&] { result = runProgram(); });
    endOle();
    if (instance != nullptr) CloseHandle(instance);
    return result;
}
