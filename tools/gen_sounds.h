// The generator's sounds: every effect of the game's start-up table in
// base/sound/, synthesised from fixed seeds, and with them the music
// (tools/gen_music.h).
#pragma once

#include <string>

// Writes every sound and music file under `base`. False when one cannot be written.
bool WriteGameSounds(const std::string& base);
