#pragma once
// Plays one WAV sound from memory, asynchronously, without the system's
// default sound in its place, and only when the system has a wave output.

#include <memory>
#include <string>

namespace tav {

class WavePlayer {
public:
    WavePlayer() = default;
    // Stops its own sound: the system would otherwise go on reading the
    // freed memory.
    ~WavePlayer();
    WavePlayer(const WavePlayer&) = delete;
    WavePlayer& operator=(const WavePlayer&) = delete;

    // Reads the whole file into memory, or shares the copy that another
    // player holds of the same unchanged file. A missing file, one that
    // cannot be read, one above 8 MB or one that is no sound WAV file
    // whose chunks lie within it leaves the player silent; an
    // alarm still comes without its sound. True when a sound was loaded.
    bool loadFromFile(const std::string& path);
    bool loaded() const { return data_ != nullptr; }
    std::size_t size() const { return data_ ? data_->size() : 0; }

    // Starts the sound and returns at once; a sound still playing (of any
    // player) stops. False when there is nothing to play or no device.
    // stop() and the destructor stop only this player's own sound.
    bool play();
    void stop();

    // The system's two calls behind play() and stop(); tests put in fakes
    // that record what the system is handed.
    struct System {
        unsigned (*deviceCount)();
        // A null wave stops the sound that is playing.
        bool (*playSound)(const void* wave, unsigned flags);
    };
    static System system;

private:
    std::shared_ptr<const std::string> data_;
};

}  // namespace tav
