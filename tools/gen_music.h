// The generator's music: the menu theme base/music/menu.wav and the race
// tracks 1.wav .. 4.wav, stereo loops of whole bars from fixed seeds.
#pragma once

#include <string>

// Writes every music file under `base`/music. False when one cannot be written.
bool WriteGameMusic(const std::string& base);
