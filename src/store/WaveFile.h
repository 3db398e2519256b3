#pragma once
// The alarm sound comes from the program folder, where anyone who can write
// there can put any file: before it goes to the system's player, its RIFF
// structure is checked against the bytes that are really there.

#include <string_view>

namespace tav {

// True for a RIFF/WAVE file whose chunks all lie within the bytes, with a
// format chunk of sane values before a data chunk.
bool isPlayableWave(std::string_view bytes);

}  // namespace tav
