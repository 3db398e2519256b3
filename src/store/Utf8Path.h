#pragma once
// The store's strings are UTF-8. A std::filesystem::path built from a plain
// std::string takes the bytes in the ANSI code page under mingw, which breaks
// every umlaut in a user's directory name; going through char8_t keeps them.

#include <filesystem>
#include <string>

namespace tav {

inline std::filesystem::path fsPath(const std::string& utf8Text) {
    return std::filesystem::path(std::u8string(utf8Text.begin(), utf8Text.end()));
}

inline std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tav
