// RIFF WAVE files of 16-bit PCM samples, as the game's WAV reader expects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Samples in -1..1 (clipped), interleaved when channels is 2.
std::vector<uint8_t> EncodeWav(const std::vector<float>& samples, int channels, int sampleRate);
bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels, int sampleRate);
