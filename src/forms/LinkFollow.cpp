#include "forms/LinkFollow.h"

#include <shlobj.h>

#include "desktop/ShellFiles.h"
#include "desktop/SystemLibrary.h"
#include "desktop/Utf.h"
#include "forms/Dialogs.h"
#include "store/LinkPolicy.h"

namespace tav {

LinkShell linkShell;

namespace {

// The system's own verdict on a file type, beyond the built-in list.
bool dangerousType(std::string_view extension) {
    using AssocIsDangerousFn = BOOL(WINAPI*)(PCWSTR);
    static const auto check = reinterpret_cast<AssocIsDangerousFn>(
        reinterpret_cast<void*>(systemProcedure(L"shlwapi.dll", "AssocIsDangerous")));
    if (!check) return false;
    return check(widen("." + std::string(extension)).c_str()) != FALSE;
}

void selectInFolder(HWND owner, const std::string& path) {
    PIDLIST_ABSOLUTE item = nullptr;
    if (SUCCEEDED(SHParseDisplayName(widen(path).c_str(), nullptr, &item, 0, nullptr)) && item) {
        const HRESULT shown = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
        CoTaskMemFree(item);
        if (SUCCEEDED(shown)) return;
    }
    messageBox(owner,
               "Der Ordner der Datei kann nicht geöffnet werden.\r\n\r\n" + path +
                   "\r\n\r\nPrüfen Sie, ob die Datei noch vorhanden ist.",
               "Tavelin 2000", MB_OK | MB_ICONWARNING);
}

}  // namespace

void followLink(HWND owner, const std::string& link, const std::string& shown) {
    const LinkDecision d = decideLink(link, shown, dangerousType);
    if (d.action == LinkAction::Refuse) return;
    if (d.action == LinkAction::AskFirst) {
        const bool yes = linkShell.ask ? linkShell.ask(owner, d.question)
                                       : messageBox(owner, d.question, "Link öffnen",
                                                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) ==
                                             IDYES;
        if (!yes) return;
    }
    if (d.showInFolder)
        linkShell.showInFolder ? linkShell.showInFolder(owner, d.target)
                               : selectInFolder(owner, d.target);
    else
        linkShell.open ? linkShell.open(owner, d.target) : void(shellOpen(owner, d.target));
}

}  // namespace tav
