#pragma once
// A scratch directory of the fuzzing process for the files a target writes,
// in memory where the system has one (a file is written per input), removed
// when the process ends.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace tav::fuzz {

inline std::string scratchFile(const char* name) {
    // Never destroyed: the removal at exit still needs it.
    static const std::string* dir = [] {
        const char* base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : P_tmpdir;
        auto* path = new std::string(std::string(base) + "/tav-fuzz-XXXXXX");
        if (!mkdtemp(path->data())) std::abort();
        std::atexit([] { std::filesystem::remove_all(*dir); });
        return path;
    }();
    return *dir + "/" + name;
}

}  // namespace tav::fuzz
