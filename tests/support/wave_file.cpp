#include "tests/support/wave_file.h"

#include "tests/support/temp_home.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + size_t(i)];
  return v;
}

}  // namespace

double WaveFile::Rms(size_t from, size_t to) const {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

WaveFile ReadWaveFile(const std::string& path) {
  WaveFile w;
  const std::vector<uint8_t> b = ReadFileBytes(path);
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) return w;
  for (size_t at = 12; at + 8 <= b.size();) {
    const size_t size = Le(b, at + 4, 4);
    const size_t data = at + 8;
    const size_t end = data + std::min(size, b.size() - data);
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && end - data >= 16) {
      w.format = int(Le(b, data, 2));
      w.channels = int(Le(b, data + 2, 2));
      w.rate = int(Le(b, data + 4, 4));
      w.bits = int(Le(b, data + 14, 2));
      // An extensible format names its sample kind in its sub-format's first word.
      if (w.format == 0xFFFE && end - data >= 26) w.format = int(Le(b, data + 24, 2));
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      for (size_t i = data; w.format == 1 && w.bits == 16 && i + 2 <= end; i += 2)
        w.samples.push_back(float(int16_t(Le(b, i, 2))) / 32768.0f);
      for (size_t i = data; w.format == 3 && w.bits == 32 && i + 4 <= end; i += 4) {
        const uint32_t bits = Le(b, i, 4);
        float value;
        std::memcpy(&value, &bits, 4);
        w.samples.push_back(value);
      }
      break;
    }
    at = data + size + (size & 1);
  }
  return w;
}
