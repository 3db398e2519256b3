// Searching 50 notes of 100 KB, the query typed one letter at a time, through
// the search window and the note windows' own text controls, as the user
// meets it. The first search fetches every text from its control; it is set
// against the least that job needs: each text fetched once from its control
// into one buffer and searched once for the query as typed, case and all.
// Every later keystroke is set against one frame. Prints the medians of
// several rounds.

#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "note/NoteHost.h"
#include "note/NoteWindow.h"
#include "note/SearchDialog.h"
#include "store/NoteStore.h"

namespace {

constexpr int kNotes = 50;
constexpr std::size_t kNoteBytes = 100 * 1024;
constexpr int kRounds = 5;
constexpr double kFrameMs = 1000.0 / 60;
// The words of the query lie at the end of a few notes only, so most texts
// are scanned to their end for every word.
constexpr char kQuery[] = "Äpfel Milch";

double nowMs() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// German prose from a fixed word list, umlauts and capitals mixed in.
std::string noteText(int n) {
    static const char* const words[] = {
        "Größe",    "über",     "Straße",   "schön",  "Übung", "Käse",      "Brot",
        "Einkauf",  "für",      "Grüße",    "Bäcker", "Öl",    "Garten",    "Termin",
        "Zahnarzt", "müde",     "Hähnchen", "und",    "ÄRGER", "Fußweg",    "Mühle",
        "der",      "die",      "das",      "morgen", "Büro",  "Papier",    "Pflanze",
        "Lampe",    "Mittwoch", "Mappe",    "Spiel",  "Milde", "Apfelsaft", "Öfen"};
    unsigned seed = 12345u + static_cast<unsigned>(n);
    std::string text;
    std::size_t line = 0;
    while (text.size() < kNoteBytes - 40) {
        seed = seed * 1103515245u + 12345u;
        text += words[(seed >> 16) % std::size(words)];
        if (text.size() - line > 70) {
            text += "\r\n";
            line = text.size();
        } else {
            text += ' ';
        }
    }
    if (n % 10 == 0) text += "\r\nfrische Äpfel und Milch";
    return text;
}

class BenchHost : public tav::NoteHost {
public:
    BenchHost() {
        owner_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    ~BenchHost() override {
        notes.clear();
        DestroyWindow(owner_);
    }
    HWND ownerWindow() const override { return owner_; }
    const std::string& currentNoteName() const override { return name_; }
    void setCurrentNoteName(const std::string& name) override { name_ = name; }
    tav::SlotTable& slotTable() override { return slots_; }
    tav::NoteWindow& createNoteWindow() override {
        notes.push_back(std::make_unique<tav::NoteWindow>(*this));
        return *notes.back();
    }
    int raiseNoteCounter() override { return ++counter_; }
    tav::NoteWindow* findNote(const std::string&) const override { return nullptr; }
    void newNote() override {}
    void showSettings() override {}
    void showAbout() override {}
    void hideNote(tav::NoteWindow&) override {}
    void exitProgram() override {}
    void releaseNote(tav::NoteWindow*) override {}

    std::vector<std::unique_ptr<tav::NoteWindow>> notes;

private:
    HWND owner_ = nullptr;
    std::string name_;
    tav::SlotTable slots_;
    int counter_ = 0;
};

// Into one buffer for all texts, as a bare program would: a fresh one for
// each text would make the floor pay for touching new memory.
void controlText(HWND control, std::wstring& text) {
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    text.resize(static_cast<std::size_t>(SendMessageW(control, EM_GETTEXTLENGTHEX,
                                                      reinterpret_cast<WPARAM>(&length), 0)) +
                1);
    GETTEXTEX query = {};
    query.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    query.codepage = 1200;
    text.resize(static_cast<std::size_t>(SendMessageW(control, EM_GETTEXTEX,
                                                      reinterpret_cast<WPARAM>(&query),
                                                      reinterpret_cast<LPARAM>(text.data()))));
}

void measure();

}  // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    char dir[MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, temp, -1, dir, MAX_PATH, nullptr, nullptr);
    // The notes write their settings there.
    const std::string programDir = std::string(dir) + "search_bench\\";
    tav::setProgramDir(programDir);
    CreateDirectoryA(programDir.c_str(), nullptr);
    measure();
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((programDir + "*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do DeleteFileA((programDir + found.cFileName).c_str());
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(programDir.c_str());
    return 0;
}

namespace {

void measure() {
    BenchHost host;
    for (int n = 1; n <= kNotes; ++n) {
        host.setCurrentNoteName(tav::noteName(n));
        tav::NoteWindow& note = host.createNoteWindow();
        note.memo1.load(noteText(n));
        note.setTitle("Notiz " + std::to_string(n));
    }
    auto notes = [&] {
        std::vector<tav::NoteWindow*> open;
        for (auto& note : host.notes) open.push_back(note.get());
        return open;
    };

    const std::wstring firstLetter(L"Ä");
    std::vector<double> firstMs, floorMs;
    std::vector<std::vector<double>> keyMs(std::string_view(kQuery).size());
    std::size_t found = 0;
    int listed = 0;
    for (int round = 0; round < kRounds; ++round) {
        double t = nowMs();
        std::wstring text;
        for (auto* note : notes()) {
            controlText(note->memo1.handle(), text);
            found += std::wstring_view(text).find(firstLetter) != std::wstring_view::npos;
        }
        floorMs.push_back(nowMs() - t);

        // A window opened anew keeps no text from before.
        tav::SearchDialog dialog(host.ownerWindow(), notes, [](tav::NoteWindow&) {});
        std::string typed;
        std::size_t key = 0;
        for (std::size_t i = 0; i < std::string_view(kQuery).size(); ++i) {
            typed += kQuery[i];
            // The bytes of one letter come together.
            if (i + 1 < std::string_view(kQuery).size() &&
                (static_cast<unsigned char>(kQuery[i + 1]) & 0xC0) == 0x80)
                continue;
            t = nowMs();
            dialog.queryEdit.setText(typed);
            (key == 0 ? firstMs : keyMs[key]).push_back(nowMs() - t);
            ++key;
        }
        keyMs.resize(key);
        listed = dialog.resultList.count();
    }

    const double first = median(firstMs), floor = median(floorMs);
    printf(
        "search 50 notes of 100 KB (%d listed for \"%s\", floor found %zu): first search "
        "%.1f ms, floor (fetch + one find) %.1f ms, ratio %.2f\n",
        listed, kQuery, found / kRounds, first, floor, first / floor);
    printf("each later keystroke against one frame (%.1f ms):", kFrameMs);
    double worst = 0;
    for (std::size_t key = 1; key < keyMs.size(); ++key) {
        const double ms = median(keyMs[key]);
        worst = std::max(worst, ms);
        printf(" %.2f", ms);
    }
    printf(" ms; slowest %.2f ms = %.2f frames\n", worst, worst / kFrameMs);
}

}  // namespace
