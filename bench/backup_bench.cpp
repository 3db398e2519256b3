// A copy of 50 notes of 100 KB each while the window thread keeps working:
// the time the window thread spends reading the files, the time until the
// copy is on disk, and the longest a message posted meanwhile waited for its
// turn. A frame is 16 ms.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/BackupKeeper.h"
#include "store/FileIo.h"
#include "store/NoteStore.h"

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kDone = WM_APP + 2;

double nowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "backup_bench <empty directory>\n");
        return 2;
    }
    std::string dir;
    for (const wchar_t* c = argv[1]; *c; ++c) dir += static_cast<char>(*c);
    if (dir.back() != '\\') dir += '\\';
    tav::setProgramDir(dir);
    std::string ini = "[Settings]\r\nNotizanzahl=50\r\n";
    const std::string text(100 * 1024, 'x');
    for (int n = 1; n <= tav::kMaxNotes; ++n) {
        ini += "[Notiz" + std::to_string(n) + "]\r\nactive=1\r\n";
        tav::writeFileAtomically(tav::noteTextPath(tav::noteName(n)), "{\\rtf1 " + text + "}");
    }
    tav::writeFileAtomically(tav::settingsPath(), ini);

    HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    tav::BackupKeeper keeper;
    const double begin = nowMs();
    keeper.start(window, kDone);
    const double read = nowMs() - begin;

    double longestWait = 0;
    double posted = nowMs();
    PostMessageW(window, kPing, 0, 0);
    MSG msg;
    int pings = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kPing) {
            longestWait = std::max(longestWait, nowMs() - posted);
            ++pings;
            posted = nowMs();
            PostMessageW(window, kPing, 0, 0);
            continue;
        }
        if (msg.message == kDone) break;
        DispatchMessageW(&msg);
    }
    const double total = nowMs() - begin;
    const std::string failure = keeper.finish();
    std::printf(
        "Sicherung von 50 Notizen zu 100 KB: Lesen im Fenster-Thread %.1f ms, fertig nach %.1f "
        "ms, längste Wartezeit einer Nachricht %.2f ms (%d Nachrichten)%s\n",
        read, total, longestWait, pings, failure.empty() ? "" : (" FEHLER: " + failure).c_str());
    return failure.empty() ? 0 : 1;
}
