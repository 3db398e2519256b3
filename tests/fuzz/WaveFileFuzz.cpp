// The alarm sound's check against any bytes: it reads nothing outside them
// (the sanitizers watch), and what it accepts depends only on the bytes the
// RIFF header claims, so a sound with bytes after it is judged alike.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "store/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool playable = tav::isPlayableWave(bytes);
    if (std::getenv("TAV_FUZZ_SEED_CHECK") && !playable) {
        std::fprintf(stderr, "RULE BROKEN: a seed sound is refused\n");
        std::abort();
    }
    if (!playable || size < 8) return 0;
    const std::uint32_t riffSize =
        data[4] | (data[5] << 8) | (data[6] << 16) | (std::uint32_t{data[7]} << 24);
    if (!tav::isPlayableWave(bytes.substr(0, std::size_t{riffSize} + 8))) {
        std::fprintf(stderr, "RULE BROKEN: the sound alone is refused\n");
        std::abort();
    }
    return 0;
}
