// The generator's synthesis kit: buffers of mono samples at one rate, a
// seeded noise source, filters, oscillators and the envelopes and mixing
// steps that the sound effects and the music are built from.
#pragma once

#include "math/ne_math.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr int kRate = 22050;  // samples per second of every file

using Buffer = std::vector<float>;

// A small deterministic generator, so that every build writes the same files.
struct Rng {
  uint32_t state;
  explicit Rng(uint32_t seed) : state(seed * 2654435761u + 1013904223u) {}
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  float Uniform() { return float(Next() >> 8) / 16777216.0f; }  // 0..1
  float Signed() { return Uniform() * 2.0f - 1.0f; }             // -1..1
  float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
};

// Samples in that many seconds, rounded.
size_t Samples(double seconds);

// Second-order filter sections (the usual audio cookbook forms).
struct Biquad {
  float b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  float x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  static Biquad Make(int kind, double hz, double q);  // kind 0 low-pass, 1 high-pass, 2 band-pass
  static Biquad LowPass(double hz, double q = 0.707) { return Make(0, hz, q); }
  static Biquad HighPass(double hz, double q = 0.707) { return Make(1, hz, q); }
  static Biquad BandPass(double hz, double q) { return Make(2, hz, q); }

  // Takes the coefficients of `shape` and keeps this filter's state, so
  // that a filter swept every few samples runs on without a click.
  void Retune(const Biquad& shape);

  float Run(float x) {
    float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1; x1 = x; y2 = y1; y1 = y;
    return y;
  }
};

void Filter(Buffer& b, Biquad f);

// Filters a loop so that the seam is seamless: the first pass brings the
// filter into the state it has at the end of the loop, the second keeps.
void FilterLoop(Buffer& b, Biquad f);

// Adds `src` × gain into `dst` from `start`, wrapping round the end of a loop.
void AddWrapped(Buffer& dst, long start, const Buffer& src, float gain);

// Adds `src` × gain into `dst` from `start`, dropping what falls past the end.
void AddAt(Buffer& dst, size_t start, const Buffer& src, float gain);

// Scales the buffer so that its loudest sample is `peak`; silence stays.
void Normalize(Buffer& b, float peak);

// Short fades at both ends of a one-shot, so that it starts and stops without a click.
void FadeEdges(Buffer& b, double inSeconds, double outSeconds);

// A sine that decays exponentially: the ring of a struck body.
Buffer Ring(double hz, double decaySeconds, double lengthSeconds, double phase = 0);

// A low thump whose pitch falls from `fromHz` to `toHz`.
Buffer Thump(double fromHz, double toHz, double decaySeconds, double lengthSeconds);

// White noise shaped by an exponential decay.
Buffer NoiseBurst(Rng& rng, double decaySeconds, double lengthSeconds);

Buffer WhiteNoise(Rng& rng, size_t count);

// A short tone, sine or square, with a quick attack and an exponential fall.
Buffer Blip(double hz, double seconds, double decay, bool square);

// Band-limited oscillators (polyBLEP), so that bright tones do not alias.
struct Oscillator {
  double phase = 0;  // 0..1
  float Saw(double hz);
  float Square(double hz, double width = 0.5);
};

// Frequency of a MIDI note number, Hz (69 is A at 440 Hz).
double MidiHz(double note);

}  // namespace synth
