// Saving a 1 MB note: the note text control's save against the least the
// job needs, the control's raw RTF stream-out into memory plus one atomic
// write of the same bytes. Prints the medians of several rounds and the ratio.

#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "forms/RichEdit98.h"
#include "store/FileIo.h"

namespace {

constexpr int kRounds = 7;

double nowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

DWORD CALLBACK collect(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), size);
    *done = size;
    return 0;
}

// About 1 MB of RTF: paragraphs of ordinary text with some bold and colour.
std::string megabyteNote() {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}\n";
    for (int i = 0; rtf.size() < 1024 * 1024; ++i) {
        rtf += "\\pard Zeile " + std::to_string(i) +
               ": Einkaufsliste f\\'fcr Samstag, {\\b Milch}, {\\cf1 Brot} und Butter.\\par\n";
    }
    return rtf + "}";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    tav::Form parent(L"SaveBench");
    parent.create();
    tav::RichEdit98 memo;
    memo.create(parent, 1);
    memo.setRtf(megabyteNote());
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string program = std::string(temp) + "save_bench_note.tvn";
    const std::string floor = std::string(temp) + "save_bench_floor.tvn";

    std::vector<double> programMs, floorMs;
    size_t bytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        double t = nowMs();
        memo.saveToFile(program);
        programMs.push_back(nowMs() - t);

        t = nowMs();
        std::string out;
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&out), 0, collect};
        SendMessageW(memo.handle(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        tav::writeFileAtomically(floor, out);
        floorMs.push_back(nowMs() - t);
        bytes = out.size();
    }
    DeleteFileA(program.c_str());
    DeleteFileA(floor.c_str());
    const double p = median(programMs), f = median(floorMs);
    printf("save 1 MB note (%zu bytes RTF): program %.1f ms, floor %.1f ms, ratio %.2f\n", bytes, p,
           f, p / f);
    return 0;
}
