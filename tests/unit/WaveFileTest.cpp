#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "store/WaveFile.h"

namespace tav {
namespace {

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

std::string le16(std::uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

std::string chunk(const std::string& id, const std::string& body) {
    return id + le32(static_cast<std::uint32_t>(body.size())) + body +
           (body.size() % 2 ? std::string(1, '\0') : "");
}

std::string pcmFormat(std::uint16_t channels = 1, std::uint16_t bits = 16) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    return le16(1) + le16(channels) + le32(22050) + le32(22050u * align) + le16(align) + le16(bits);
}

std::string riff(const std::string& chunks) {
    return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

const std::string kSamples(64, '\x10');

TEST(WaveFileTest, SoundsWhoseChunksLieWithinTheFileArePlayed) {
    EXPECT_TRUE(isPlayableWave(riff(chunk("fmt ", pcmFormat()) + chunk("data", kSamples))));
    // Other chunks before the sound, and an odd one with its pad byte.
    EXPECT_TRUE(isPlayableWave(riff(chunk("fmt ", pcmFormat(2, 8)) + chunk("LIST", "abc") +
                                    chunk("data", kSamples))));
    // Bytes after the RIFF are not part of it.
    EXPECT_TRUE(isPlayableWave(riff(chunk("fmt ", pcmFormat()) + chunk("data", kSamples)) +
                               "Anhang"));
}

TEST(WaveFileTest, BrokenOrForgedStructureIsRefused) {
    const std::string format = chunk("fmt ", pcmFormat());
    const std::string good = riff(format + chunk("data", kSamples));
    EXPECT_FALSE(isPlayableWave(""));
    EXPECT_FALSE(isPlayableWave(good.substr(0, good.size() - 1)));  // RIFF claims more
    // The data chunk claims more than the file holds, or wraps round.
    for (std::uint32_t claimed : {65u, 0xFFFFFFFFu, 0xFFFFFFF8u}) {
        EXPECT_FALSE(isPlayableWave(riff(format + "data" + le32(claimed) + kSamples))) << claimed;
    }
    EXPECT_FALSE(isPlayableWave(riff(chunk("data", kSamples) + format)));  // no format first
    EXPECT_FALSE(isPlayableWave(riff(format)));                            // no sound
    EXPECT_FALSE(isPlayableWave(riff(chunk("fmt ", pcmFormat(0)) + chunk("data", kSamples))));
    EXPECT_FALSE(isPlayableWave(riff(chunk("fmt ", pcmFormat(1, 12)) + chunk("data", kSamples))));
    EXPECT_FALSE(isPlayableWave(riff(chunk("fmt ", "short") + chunk("data", kSamples))));
    EXPECT_FALSE(isPlayableWave("RIFX" + good.substr(4)));
}

}  // namespace
}  // namespace tav
