#pragma once
// The file version from a module's version resource.

#include <string>

namespace tav {

class VersionInfo {
public:
    // "2.0.0.1" for the running executable; empty when it has no version.
    static std::string fileVersion();
    // Same for any file (UTF-8 path).
    static std::string fileVersionOf(const std::string& path);
};

}  // namespace tav
