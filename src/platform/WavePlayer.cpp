#include "platform/WavePlayer.h"

#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>

#include "store/FileIo.h"

namespace tav {

namespace {

// The sound the system is playing from memory; one at a time per process.
const void* playing = nullptr;

bool isWave(const std::string& bytes) {
    return bytes.size() > 44 && bytes.compare(0, 4, "RIFF") == 0 &&
           bytes.compare(8, 4, "WAVE") == 0;
}

}  // namespace

WavePlayer::~WavePlayer() { stop(); }

bool WavePlayer::loadFromFile(const std::string& path) {
    stop();
    data_.clear();
    try {
        std::optional<std::string> bytes = readWholeFile(path);
        if (bytes && isWave(*bytes)) data_ = std::move(*bytes);
    } catch (const FileError&) {
        // Unreadable: silence, as for a missing file.
    }
    return loaded();
}

bool WavePlayer::play() {
    if (!loaded() || waveOutGetNumDevs() == 0) return false;
    if (!PlaySoundW(reinterpret_cast<LPCWSTR>(data_.data()), nullptr,
                    SND_MEMORY | SND_ASYNC | SND_NODEFAULT))
        return false;
    playing = data_.data();
    return true;
}

void WavePlayer::stop() {
    if (playing == nullptr || playing != data_.data()) return;
    PlaySoundW(nullptr, nullptr, 0);
    playing = nullptr;
}

}  // namespace tav
