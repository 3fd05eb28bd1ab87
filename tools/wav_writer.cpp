#include "tools/wav_writer.h"

#include "tools/binary_writer.h"

#include <algorithm>
#include <cmath>

std::vector<uint8_t> EncodeWav(const std::vector<float>& samples, int channels, int sampleRate) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  ByteBuffer out;
  out.Bytes("RIFF", 4);
  out.U32(36 + dataBytes);
  out.Bytes("WAVE", 4);
  out.Bytes("fmt ", 4);
  out.U32(16);                                   // format chunk size
  out.U16(1);                                    // PCM
  out.U16(uint16_t(channels));
  out.U32(uint32_t(sampleRate));
  out.U32(uint32_t(sampleRate * channels * 2));  // bytes per second
  out.U16(uint16_t(channels * 2));               // bytes per frame
  out.U16(16);                                   // bits per sample
  out.Bytes("data", 4);
  out.U32(dataBytes);
  out.bytes.reserve(out.bytes.size() + dataBytes);
  for (float s : samples) {
    float clipped = std::clamp(s, -1.0f, 1.0f);
    out.U16(static_cast<uint16_t>(static_cast<int16_t>(std::lrint(clipped * 32767.0f))));
  }
  return std::move(out.bytes);
}

bool WriteWav(const std::string& path, const std::vector<float>& samples, int channels, int sampleRate) {
  return WriteFileBytes(path, EncodeWav(samples, channels, sampleRate));
}
