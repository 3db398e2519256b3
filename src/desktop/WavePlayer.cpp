#include "desktop/WavePlayer.h"

#include <windows.h>
// mmsystem.h needs the types of windows.h.
#include <mmsystem.h>

#include "desktop/SystemLibrary.h"
#include "desktop/Utf.h"
#include "store/FileIo.h"
#include "store/WaveFile.h"

namespace tav {

namespace {

// The player whose sound the system is playing from memory; one at a time
// per process.
const WavePlayer* playing = nullptr;

// Every note loads the same sound file: while it stays the same file (same
// size, same time of its last change), all notes share one copy in memory.
struct SharedSound {
    std::string path;
    WIN32_FILE_ATTRIBUTE_DATA stamp{};
    std::weak_ptr<const std::string> bytes;
};
SharedSound shared;

bool sameStamp(const WIN32_FILE_ATTRIBUTE_DATA& a, const WIN32_FILE_ATTRIBUTE_DATA& b) {
    return a.nFileSizeLow == b.nFileSizeLow && a.nFileSizeHigh == b.nFileSizeHigh &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

}  // namespace

// winmm.dll is no DLL that Windows always takes from the system folder:
// loaded from there by full path, not imported. Without it, no sound.
WavePlayer::System WavePlayer::system = {
    [] {
        static const auto count =
            systemFunction<decltype(&waveOutGetNumDevs)>(L"winmm.dll", "waveOutGetNumDevs");
        return count ? static_cast<unsigned>(count()) : 0u;
    },
    [](const void* wave, unsigned flags) {
        static const auto play = systemFunction<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");
        return play && play(static_cast<LPCWSTR>(wave), nullptr, flags) != FALSE;
    }};

WavePlayer::~WavePlayer() { stop(); }

bool WavePlayer::loadFromFile(const std::string& path) {
    stop();
    data_.reset();
    WIN32_FILE_ATTRIBUTE_DATA stamp{};
    const bool known = GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &stamp);
    if (known && shared.path == path && sameStamp(shared.stamp, stamp)) data_ = shared.bytes.lock();
    if (data_) return true;
    try {
        std::optional<std::string> bytes = readWholeFile(path, kMaxSoundBytes);
        if (bytes && isPlayableWave(*bytes)) data_ = std::make_shared<const std::string>(std::move(*bytes));
    } catch (const FileError&) {
        // Unreadable or too large: silence, as for a missing file.
    }
    if (data_ && known) shared = {path, stamp, data_};
    return loaded();
}

bool WavePlayer::play() {
    if (!loaded() || system.deviceCount() == 0) return false;
    if (!system.playSound(data_->data(), SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) return false;
    playing = this;
    return true;
}

void WavePlayer::stop() {
    if (playing != this) return;
    system.playSound(nullptr, 0);
    playing = nullptr;
}

}  // namespace tav
