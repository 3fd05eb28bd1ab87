#include "tools/synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

// The correction that takes the step out of a naive oscillator's edge.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

size_t Samples(double seconds) { return size_t(std::lround(seconds * kRate)); }

Biquad Biquad::Make(int kind, double hz, double q) {
  const double w = NE_TWO_PI_D * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
  double b0, b1, b2;
  if (kind == 0) {  // low-pass
    b0 = (1 - c) / 2; b1 = 1 - c; b2 = (1 - c) / 2;
  } else if (kind == 1) {  // high-pass
    b0 = (1 + c) / 2; b1 = -(1 + c); b2 = (1 + c) / 2;
  } else {  // band-pass, unit peak
    b0 = alpha; b1 = 0; b2 = -alpha;
  }
  const double a0 = 1 + alpha;
  Biquad f;
  f.b0 = float(b0 / a0); f.b1 = float(b1 / a0); f.b2 = float(b2 / a0);
  f.a1 = float(-2 * c / a0); f.a2 = float((1 - alpha) / a0);
  return f;
}

void Biquad::Retune(const Biquad& shape) {
  b0 = shape.b0; b1 = shape.b1; b2 = shape.b2;
  a1 = shape.a1; a2 = shape.a2;
}

void Filter(Buffer& b, Biquad f) {
  for (float& s : b) s = f.Run(s);
}

void FilterLoop(Buffer& b, Biquad f) {
  for (float s : b) f.Run(s);
  for (float& s : b) s = f.Run(s);
}

void AddWrapped(Buffer& dst, long start, const Buffer& src, float gain) {
  const long n = long(dst.size());
  long i = ((start % n) + n) % n;
  for (float s : src) {
    dst[size_t(i)] += s * gain;
    if (++i == n) i = 0;
  }
}

void AddAt(Buffer& dst, size_t start, const Buffer& src, float gain) {
  for (size_t i = 0; i < src.size() && start + i < dst.size(); ++i) dst[start + i] += src[i] * gain;
}

void Normalize(Buffer& b, float peak) {
  float most = 0;
  for (float s : b) most = std::max(most, std::fabs(s));
  if (most <= 0) return;
  const float k = peak / most;
  for (float& s : b) s *= k;
}

void FadeEdges(Buffer& b, double inSeconds, double outSeconds) {
  const size_t in = std::min(b.size(), Samples(inSeconds));
  const size_t out = std::min(b.size(), Samples(outSeconds));
  for (size_t i = 0; i < in; ++i) b[i] *= float(i) / float(in);
  for (size_t i = 0; i < out; ++i) b[b.size() - 1 - i] *= float(i) / float(out);
}

Buffer Ring(double hz, double decaySeconds, double lengthSeconds, double phase) {
  Buffer b(Samples(lengthSeconds));
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / kRate;
    b[i] = float(std::sin(NE_TWO_PI_D * hz * t + phase) * std::exp(-t / decaySeconds));
  }
  return b;
}

Buffer Thump(double fromHz, double toHz, double decaySeconds, double lengthSeconds) {
  Buffer b(Samples(lengthSeconds));
  double phase = 0;
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / kRate;
    const double hz = toHz + (fromHz - toHz) * std::exp(-t / (decaySeconds * 0.5));
    phase += NE_TWO_PI_D * hz / kRate;
    b[i] = float(std::sin(phase) * std::exp(-t / decaySeconds));
  }
  return b;
}

Buffer NoiseBurst(Rng& rng, double decaySeconds, double lengthSeconds) {
  Buffer b(Samples(lengthSeconds));
  for (size_t i = 0; i < b.size(); ++i) {
    const double t = double(i) / kRate;
    b[i] = rng.Signed() * float(std::exp(-t / decaySeconds));
  }
  return b;
}

Buffer WhiteNoise(Rng& rng, size_t count) {
  Buffer b(count);
  for (float& s : b) s = rng.Signed();
  return b;
}

float Oscillator::Saw(double hz) {
  const double dt = hz / kRate;
  double v = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
  phase += dt;
  if (phase >= 1.0) phase -= 1.0;
  return float(v);
}

float Oscillator::Square(double hz, double width) {
  const double dt = hz / kRate;
  double v = phase < width ? 1.0 : -1.0;
  v += PolyBlep(phase, dt);
  double shifted = phase + (1.0 - width);
  if (shifted >= 1.0) shifted -= 1.0;
  v -= PolyBlep(shifted, dt);
  phase += dt;
  if (phase >= 1.0) phase -= 1.0;
  return float(v);
}

double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

Buffer Blip(double hz, double seconds, double decay, bool square) {
  Buffer out(Samples(seconds));
  Oscillator osc;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = double(i) / kRate;
    const double v = square ? osc.Square(hz) * 0.5 : std::sin(NE_TWO_PI_D * hz * t);
    out[i] = float(v * std::exp(-t / decay));
  }
  FadeEdges(out, 0.002, 0.01);
  return out;
}

}  // namespace synth
