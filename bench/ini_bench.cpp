// Reads 50 note records and writes them back through IniFile, the way the
// program's handlers do: one open/read/write/flush/close per note, so the
// whole file is replaced at every flush. Prints the figures.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "store/IniFile.h"
#include "store/NoteStore.h"

using Clock = std::chrono::steady_clock;

static void writeRecords(const std::string& path) {
    tav::IniFile ini(path);
    ini.writeInteger("Settings", "Notizanzahl", 50);
    for (int n = 1; n <= tav::kMaxNotes; ++n) {
        const std::string s = tav::noteName(n);
        ini.writeBool(s, "active", true);
        ini.writeString(s, "NotizTitel", "\"Einkaufsliste für Samstag  \"");
        ini.writeBool(s, "Buttonbar", true);
        ini.writeBool(s, "wordwrap", false);
        ini.writeBool(s, "minimiert", false);
        ini.writeBool(s, "titelleiste", true);
        ini.writeBool(s, "showclock", false);
        ini.writeString(s, "Alarmdatum", "08.12.2026");
        ini.writeInteger(s, "Flags", 0);
        ini.writeInteger(s, "ShowCmd", 1);
        ini.writeInteger(s, "PixelsPerInch", 96);
        ini.writeString(s, "MinMaxPos(1024x768)", "-1,-1,-1,-1");
        ini.writeString(s, "MinMaxPos", "-1,-1,-1,-1");
        ini.writeString(s, "NormPos(1024x768)", "160,160,430,400");
        ini.writeString(s, "NormPos", "160,160,430,400");
        ini.writeString(s, "Visible", "1");
        ini.writeString(s, "RxClock1_AlarmEnabled", "False");
        ini.writeInteger(s, "memo1_Color", 65535);
    }
    ini.close();
}

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "tavelin-bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "Tavelin.ini").string();
    writeRecords(path);
    const auto size = std::filesystem::file_size(path);

    constexpr int kRounds = 20;
    long long checksum = 0;
    const auto t0 = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        for (int n = 1; n <= tav::kMaxNotes; ++n) {
            const std::string s = tav::noteName(n);
            tav::IniFile ini(path);
            checksum += ini.readBool(s, "active", false) + ini.readInteger(s, "memo1_Color", 0);
            checksum += static_cast<long long>(ini.readString(s, "NormPos", "").size());
            ini.writeString(s, "NormPos", round % 2 ? "161,160,430,400" : "160,160,430,400");
            ini.writeString(s, "Visible", round % 2 ? "0" : "1");
            ini.updateFile();
            ini.close();
        }
    }
    const double ms =
        std::chrono::duration<double, std::milli>(Clock::now() - t0).count() / kRounds;
    // The start-up path: every note opens the file and only reads.
    const auto t1 = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        for (int n = 1; n <= tav::kMaxNotes; ++n) {
            tav::IniFile ini(path);
            checksum += ini.readInteger(tav::noteName(n), "memo1_Color", 0);
        }
    }
    const double readMs =
        std::chrono::duration<double, std::milli>(Clock::now() - t1).count() / kRounds;
    std::printf("settings file: %ju bytes, 50 note records\n", static_cast<uintmax_t>(size));
    std::printf("read 50 records and write each back (50 whole-file replacements): %.2f ms\n", ms);
    std::printf("open and read 50 records, no writes (start-up path): %.2f ms\n", readMs);
    std::printf("per record: %.3f ms (checksum %lld)\n", ms / tav::kMaxNotes, checksum);
    // A file filled with copies of one section, as a runaway writer could
    // leave it: the start erases them. Doubling the copies should double the
    // time.
    for (int copies : {250'000, 500'000, 1'000'000}) {
        std::string text = "[Settings]\r\nNotizanzahl=1\r\n";
        for (int i = 0; i < copies; ++i) text += "[Notiz50]\r\n";
        const std::string dupPath = (dir / "dup.ini").string();
        {
            std::FILE* f = std::fopen(dupPath.c_str(), "wb");
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
        const auto t2 = Clock::now();
        tav::IniFile ini(dupPath);
        ini.eraseSection("Notiz50");
        ini.close();
        const double eraseMs = std::chrono::duration<double, std::milli>(Clock::now() - t2).count();
        std::printf("read, erase %d copies of a section, write: %.0f ms\n", copies, eraseMs);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
