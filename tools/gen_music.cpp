#include "tools/gen_music.h"

#include "tools/synth.h"
#include "tools/wav_writer.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace synth;

// Music is written as a loop of whole bars. Every note is added with
// wrap-around, so a note's tail that runs past the end sounds at the start,
// and the loop closes without a seam.
struct Song {
  int bpm;
  int rootNote;             // MIDI note of the key
  bool minor;
  int bars;                 // loop length
  int chords[4];            // scale degrees of the progression, one per bar
  int drumStyle;            // 0 calm, 1 driving rock, 2 half-time heavy
  bool lead;                // a melody over the second half of each eight bars
  float padLevel;
  uint32_t seed;
};

struct Stereo {
  Buffer left, right;
  explicit Stereo(size_t n) : left(n, 0.0f), right(n, 0.0f) {}
  void Add(long at, const Buffer& mono, float gain, float pan) {  // pan -1 left .. 1 right
    AddWrapped(left, at, mono, gain * std::sqrt(0.5f * (1.0f - pan)));
    AddWrapped(right, at, mono, gain * std::sqrt(0.5f * (1.0f + pan)));
  }
};

int ScaleNote(const Song& song, int degree) {
  static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
  static const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
  const int* scale = song.minor ? kMinor : kMajor;
  const int octave = degree >= 0 ? degree / 7 : (degree - 6) / 7;
  const int step = degree - octave * 7;
  return song.rootNote + octave * 12 + scale[step];
}

Buffer Kick() {
  Buffer b = Thump(150, 48, 0.12, 0.35);
  Rng rng(11);
  Buffer click = NoiseBurst(rng, 0.002, 0.01);
  AddAt(b, 0, click, 0.3f);
  return b;
}

Buffer Snare(Rng& rng) {
  Buffer b = NoiseBurst(rng, 0.06, 0.25);
  Filter(b, Biquad::BandPass(1900.0, 0.6));
  AddAt(b, 0, Ring(190.0, 0.05, 0.2), 0.8f);
  return b;
}

Buffer HiHat(Rng& rng, bool open) {
  Buffer b = NoiseBurst(rng, open ? 0.09 : 0.018, open ? 0.3 : 0.06);
  Filter(b, Biquad::HighPass(7000.0));
  return b;
}

Buffer BassNote(double hz, double seconds) {
  Buffer b(Samples(seconds));
  Oscillator osc;
  Biquad tone = Biquad::LowPass(700.0, 1.2);
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / kRate;
    b[i] = tone.Run(osc.Saw(hz) * 0.7f) * float(std::exp(-t / 0.35));
  }
  FadeEdges(b, 0.003, 0.02);
  return b;
}

Buffer PadNote(double hz, double seconds, Rng& rng) {
  Buffer b(Samples(seconds));
  Oscillator a, c;
  a.phase = rng.Uniform();
  c.phase = rng.Uniform();
  Biquad tone = Biquad::LowPass(1400.0);
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / kRate;
    const double env = std::min(1.0, t / 0.25) * std::min(1.0, (seconds - t) / 0.3);
    b[i] = tone.Run(a.Saw(hz * 0.997) + c.Saw(hz * 1.003)) * float(env * 0.5);
  }
  return b;
}

Buffer LeadNote(double hz, double seconds) {
  Buffer b(Samples(seconds));
  Oscillator osc;
  Biquad tone = Biquad::LowPass(3000.0);
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / kRate;
    const double vibrato = 1.0 + 0.006 * std::sin(NE_TWO_PI_D * 5.5 * t) * std::min(1.0, t / 0.2);
    const double env = std::min(1.0, t / 0.01) * std::exp(-t / (seconds * 1.5)) * std::min(1.0, (seconds - t) / 0.03);
    b[i] = tone.Run(osc.Square(hz * vibrato, 0.3)) * float(env);
  }
  return b;
}

Buffer ArpNote(double hz) {
  Buffer b = Blip(hz, 0.3, 0.12, false);
  AddAt(b, 0, Blip(hz * 2, 0.2, 0.05, false), 0.3f);
  return b;
}

Stereo MakeSong(const Song& song) {
  const long sixteenth = std::lround(kRate * 15.0 / song.bpm);
  const long bar = sixteenth * 16;
  Stereo mix(size_t(bar * song.bars));
  Rng rng(song.seed);
  const Buffer kick = Kick();

  for (int b = 0; b < song.bars; ++b) {
    const long barStart = b * bar;
    const int degree = song.chords[b % 4];
    const bool fill = b % 8 == 7;
    const bool secondHalf = (b % 8) >= 4;

    // Drums.
    for (int s = 0; s < 16; ++s) {
      const long at = barStart + s * sixteenth;
      bool kickHere = false, snareHere = false;
      switch (song.drumStyle) {
        case 0: kickHere = s == 0 || s == 10; snareHere = s == 8 && secondHalf; break;
        case 1: kickHere = s == 0 || s == 6 || s == 8 || (fill && s == 14); snareHere = s == 4 || s == 12 || (fill && s >= 13); break;
        default: kickHere = s == 0 || s == 3 || s == 10; snareHere = s == 8; break;
      }
      if (kickHere) mix.Add(at, kick, 0.9f, 0.0f);
      if (snareHere) mix.Add(at, Snare(rng), 0.55f, 0.1f);
      const bool hat = song.drumStyle == 0 ? s % 4 == 2 : (song.drumStyle == 1 ? s % 2 == 0 : s % 4 == 0 || s % 4 == 2);
      if (hat) mix.Add(at, HiHat(rng, song.drumStyle == 1 && s % 8 == 4), s % 4 == 0 ? 0.22f : 0.14f, 0.35f);
    }

    // Bass: the chord's root in eighths, jumping an octave on the off-beats.
    const double rootHz = MidiHz(ScaleNote(song, degree) - 24);
    for (int e = 0; e < 8; ++e) {
      if (song.drumStyle == 0 && e % 2 == 1) continue;
      const double hz = (song.drumStyle == 1 && e % 4 == 3) ? rootHz * 2 : rootHz;
      mix.Add(barStart + e * 2 * sixteenth, BassNote(hz, double(sixteenth * 2) / kRate * 0.95), 0.5f, 0.0f);
    }

    // Pad: the chord held over the bar, spread across the stereo field.
    const int chordDegrees[3] = {degree, degree + 2, degree + 4};
    for (int k = 0; k < 3; ++k) {
      const double hz = MidiHz(ScaleNote(song, chordDegrees[k]) - 12);
      mix.Add(barStart, PadNote(hz, double(bar) / kRate * 1.02, rng), song.padLevel, -0.6f + 0.6f * k);
    }

    // Arpeggio on the calm songs, a melody on the others.
    if (!song.lead) {
      for (int s = 0; s < 16; s += 2) {
        const int d = chordDegrees[(s / 2) % 3] + ((s / 6) % 2) * 7;
        mix.Add(barStart + s * sixteenth, ArpNote(MidiHz(ScaleNote(song, d))), 0.16f, 0.5f - 0.2f * float(s % 4));
      }
    } else if (secondHalf) {
      int s = 0;
      while (s < 16) {
        const int length = (rng.Uniform() < 0.6f) ? 2 : (rng.Uniform() < 0.5f ? 4 : 1);
        if (rng.Uniform() < 0.85f) {
          // Mostly chord tones, sometimes a passing step.
          int d = chordDegrees[int(rng.Uniform() * 3) % 3];
          if (rng.Uniform() < 0.3f) d += 1;
          const double hz = MidiHz(ScaleNote(song, d + 7));
          mix.Add(barStart + s * sixteenth, LeadNote(hz, double(length * sixteenth) / kRate), 0.2f, -0.25f);
        }
        s += length;
      }
    }
  }

  // A short stereo echo, wrapped like everything else.
  for (int pass = 0; pass < 2; ++pass) {
    const long delay = sixteenth * 3;
    const long n = long(mix.left.size());
    Buffer left = mix.left, right = mix.right;
    for (long i = 0; i < n; ++i) {
      const long j = (i - delay + n) % n;
      mix.left[size_t(i)] = left[size_t(i)] + 0.18f * right[size_t(j)];
      mix.right[size_t(i)] = right[size_t(i)] + 0.18f * left[size_t(j)];
    }
  }
  for (Buffer* channel : {&mix.left, &mix.right}) {
    for (float& s : *channel) s = std::tanh(s * 0.9f);
  }
  float peak = 0;
  for (size_t i = 0; i < mix.left.size(); ++i) peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
  const float gain = peak > 0 ? 0.85f / peak : 1.0f;
  for (size_t i = 0; i < mix.left.size(); ++i) {
    mix.left[i] *= gain;
    mix.right[i] *= gain;
  }
  return mix;
}

bool WriteStereo(const std::string& path, const Stereo& song) {
  Buffer interleaved(song.left.size() * 2);
  for (size_t i = 0; i < song.left.size(); ++i) {
    interleaved[2 * i] = song.left[i];
    interleaved[2 * i + 1] = song.right[i];
  }
  return WriteWav(path, interleaved, 2, kRate);
}

// The menu theme and the four race tracks.
const Song kSongs[5] = {
    // bpm root minor bars chords          drums lead  pad    seed
    {100, 57, true, 16, {0, 5, 3, 4}, 0, false, 0.22f, 101},   // menu: A minor, calm
    {132, 52, true, 24, {0, 0, 5, 6}, 1, true, 0.12f, 102},    // E minor rock
    {124, 50, false, 24, {0, 4, 5, 3}, 1, true, 0.13f, 103},   // D major rock
    {96, 45, true, 16, {0, 6, 5, 4}, 2, true, 0.16f, 104},     // A minor, heavy half time
    {140, 55, true, 32, {0, 3, 6, 4}, 1, true, 0.11f, 105},    // G minor, fast
};
const char* const kSongFiles[5] = {"menu.wav", "1.wav", "2.wav", "3.wav", "4.wav"};

}  // namespace

bool WriteGameMusic(const std::string& base) {
  bool ok = true;
  for (int s = 0; s < 5; ++s) ok = WriteStereo(base + "/music/" + kSongFiles[s], MakeSong(kSongs[s])) && ok;
  return ok;
}
