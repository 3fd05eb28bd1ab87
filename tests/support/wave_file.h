// Reads the WAV files our generator writes and OpenAL Soft's wave-file
// output records, so tests can measure what a player would hear.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct WaveFile {
  int format = 0;  // 1: integer PCM, 3: float (an extensible file's sub-format)
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<float> samples;  // interleaved, -1..1

  double Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0.0; }
  // Root-mean-square level of samples [from, to).
  double Rms(size_t from, size_t to) const;
  double Rms() const { return Rms(0, samples.size()); }
};

// Reads the format and the data chunk: 16-bit integer or 32-bit float
// samples; no samples for any other kind, or when the file is not a WAV.
WaveFile ReadWaveFile(const std::string& path);
