// The generator's sounds: every effect of the game's start-up table in
// base/sound/ and the music tracks base/music/menu.wav and 1.wav .. 4.wav,
// synthesised from fixed seeds.
#pragma once

#include <string>

// Writes every sound and music file under `base`. False when one cannot be written.
bool WriteGameSounds(const std::string& base);
