#include "store/WaveFile.h"

#include <cstdint>

namespace tav {

namespace {

std::uint32_t le32(std::string_view s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

std::uint16_t le16(std::string_view s, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                      (static_cast<unsigned char>(s[at + 1]) << 8));
}

bool saneFormat(std::string_view fmt) {
    if (fmt.size() < 16) return false;
    const auto tag = le16(fmt, 0), channels = le16(fmt, 2), blockAlign = le16(fmt, 12),
               bits = le16(fmt, 14);
    const auto rate = le32(fmt, 4);
    if (channels == 0 || channels > 8 || rate == 0 || rate > 384000 || blockAlign == 0)
        return false;
    constexpr std::uint16_t kPcm = 1;
    if (tag != kPcm) return true;  // compressed formats: the system's codecs judge the rest
    return (bits == 8 || bits == 16 || bits == 24 || bits == 32) &&
           blockAlign == channels * (bits / 8);
}

}  // namespace

bool isPlayableWave(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return false;
    // The RIFF size may not claim more than is there; bytes after it are
    // not part of the sound and are ignored.
    const std::uint32_t riffSize = le32(bytes, 4);
    if (riffSize < 4 || riffSize > bytes.size() - 8) return false;
    bytes = bytes.substr(0, std::size_t{riffSize} + 8);

    bool haveFormat = false;
    for (std::size_t at = 12; bytes.size() - at >= 8;) {
        const auto id = bytes.substr(at, 4);
        const std::uint32_t size = le32(bytes, at + 4);
        at += 8;
        if (size > bytes.size() - at) return false;
        const auto body = bytes.substr(at, size);
        if (id == "fmt ") {
            if (haveFormat || !saneFormat(body)) return false;
            haveFormat = true;
        } else if (id == "data") {
            return haveFormat && size > 0;
        }
        // Chunks are padded to an even size.
        at += size + (size & 1u);
        if (at > bytes.size()) return false;
    }
    return false;
}

}  // namespace tav
