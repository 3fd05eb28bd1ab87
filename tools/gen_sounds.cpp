#include "tools/gen_sounds.h"

#include "tools/gen_music.h"
#include "tools/synth.h"
#include "tools/wav_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

using namespace synth;

// ---- Engines ---------------------------------------------------------------------

// A diesel truck engine held at one speed. Each firing is a short burst that
// rings the engine block and exhaust (three damped resonances and a puff of
// noise); cylinders differ a little, firings wander a little in time and
// strength, and the crank's rotation adds a low rumble. Firing rate and
// crank rate are whole numbers of hertz, so a two-second loop closes exactly.
struct EngineVoice {
  int firingHz;          // firings per second (six cylinders: three per crank turn)
  float resonance[3];    // block and exhaust resonances, Hz
  float decay;           // seconds of each firing's ring
  float breath;          // exhaust noise level
  float brightness;      // final low-pass, Hz
  float rumble;          // crank-rate rumble level
  uint32_t seed;
};

constexpr int kEngineLoopSeconds = 2;

Buffer EngineLoop(const EngineVoice& v) {
  const size_t n = size_t(kRate) * kEngineLoopSeconds;
  Buffer out(n, 0.0f);
  Rng rng(v.seed);
  float cylinder[6];
  for (float& c : cylinder) c = rng.Range(0.8f, 1.15f);
  const int firings = v.firingHz * kEngineLoopSeconds;
  const double spacing = double(n) / firings;
  const double burstSeconds = std::min(0.09, v.decay * 5.0);
  for (int e = 0; e < firings; ++e) {
    const double start = (e + 0.04 * rng.Signed()) * spacing;
    const float strength = cylinder[e % 6] * (1.0f + 0.1f * rng.Signed());
    Buffer burst(Samples(burstSeconds), 0.0f);
    const double phase = rng.Uniform() * NE_TWO_PI_D;
    for (size_t i = 0; i < burst.size(); ++i) {
      const double t = double(i) / kRate;
      const double ring = std::exp(-t / v.decay);
      double s = std::sin(NE_TWO_PI_D * v.resonance[0] * t) +
                 0.55 * std::sin(NE_TWO_PI_D * v.resonance[1] * t + phase) +
                 0.3 * std::sin(NE_TWO_PI_D * v.resonance[2] * t + 2 * phase);
      s = s * ring + v.breath * rng.Signed() * std::exp(-t / (v.decay * 0.6));
      burst[i] = float(s);
    }
    AddWrapped(out, long(start), burst, strength);
  }
  // The crank turns once per three firings; its imbalance rumbles at that rate and twice it.
  const double crankHz = v.firingHz / 3.0;
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    out[i] += float(v.rumble *
                    (std::sin(NE_TWO_PI_D * crankHz * t) + 0.4 * std::sin(NE_TWO_PI_D * 2 * crankHz * t + 1.0)));
  }
  // Intake and exhaust hiss, pulsing with the firings.
  Buffer hiss = WhiteNoise(rng, n);
  FilterLoop(hiss, Biquad::BandPass(v.brightness * 0.8, 0.9));
  for (size_t i = 0; i < n; ++i) {
    const double pulse = 0.5 + 0.5 * std::cos(NE_TWO_PI_D * v.firingHz * double(i) / kRate);
    out[i] += float(0.35 * v.breath * hiss[i] * pulse * pulse);
  }
  FilterLoop(out, Biquad::LowPass(v.brightness, 0.8));
  FilterLoop(out, Biquad::HighPass(28.0));
  // A slow swell, as a real engine never holds perfectly still.
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    out[i] *= float(1.0 + 0.06 * std::sin(NE_TWO_PI_D * 0.5 * t) + 0.03 * std::sin(NE_TWO_PI_D * 1.5 * t + 2.0));
  }
  Normalize(out, 0.8f);
  return out;
}

// ---- Impacts -----------------------------------------------------------------------

// One impact: a body thump, a burst of scraping noise, metal panels ringing
// and, for the harder ones, debris falling after. `strength` 0..3.
Buffer Impact(int strength, uint32_t seed) {
  Rng rng(seed);
  const double length = 0.45 + 0.4 * strength;
  Buffer out(Samples(length), 0.0f);
  const double s = strength;
  AddAt(out, 0, Thump(130 - 18 * s, 42 - 4 * s, 0.07 + 0.05 * s, length), 1.0f);
  // A few sub-impacts spread over the first moments: a big crash is several blows.
  const int blows = 1 + strength;
  for (int b = 0; b < blows; ++b) {
    const size_t at = b == 0 ? 0 : Samples(rng.Range(0.02f, 0.05f + 0.04f * float(s)));
    Buffer noise = NoiseBurst(rng, 0.03 + 0.03 * s, 0.4 + 0.15 * s);
    Filter(noise, Biquad::BandPass(rng.Range(900.0f, 2200.0f) - 150.0 * s, 0.7));
    AddAt(out, at, noise, (b == 0 ? 0.9f : 0.6f) + 0.1f * float(s));
    AddAt(out, at, Thump(100 - 10 * s, 45, 0.05 + 0.02 * s, 0.3), b == 0 ? 0.0f : 0.5f);
  }
  // Panels ring at unrelated frequencies: the clang of sheet metal.
  const int panels = 2 + 2 * strength;
  for (int p = 0; p < panels; ++p) {
    const size_t at = Samples(rng.Range(0.0f, 0.03f + 0.03f * float(s)));
    AddAt(out, at, Ring(rng.Range(280.0f, 2600.0f), rng.Range(0.05f, 0.12f + 0.08f * float(s)), length),
          rng.Range(0.08f, 0.2f));
  }
  // Debris: small clicks and rattles after the blow.
  const int bits = strength >= 1 ? 4 * strength : 0;
  for (int d = 0; d < bits; ++d) {
    const size_t at = Samples(rng.Range(0.08f, float(length) * 0.8f));
    Buffer bit = NoiseBurst(rng, 0.006, 0.04);
    Filter(bit, Biquad::BandPass(rng.Range(2000.0f, 5000.0f), 2.0));
    AddAt(out, at, bit, rng.Range(0.15f, 0.4f));
  }
  Filter(out, Biquad::LowPass(7000.0));
  FadeEdges(out, 0.001, 0.05);
  Normalize(out, 0.45f + 0.15f * float(s));  // harder impacts are louder
  return out;
}

// The player's truck landing hard on the ground (light) or crashing (hard):
// a deep chassis thud with the body and load rattling.
Buffer TruckHit(bool hard, uint32_t seed) {
  Rng rng(seed);
  const double length = hard ? 1.4 : 0.7;
  Buffer out(Samples(length), 0.0f);
  AddAt(out, 0, Thump(hard ? 95 : 120, 38, hard ? 0.16 : 0.09, length), 1.0f);
  Buffer body = NoiseBurst(rng, hard ? 0.12 : 0.05, length);
  Filter(body, Biquad::LowPass(hard ? 1800.0 : 1100.0));
  AddAt(out, 0, body, 0.7f);
  const int rattles = hard ? 14 : 6;
  for (int r = 0; r < rattles; ++r) {
    const size_t at = Samples(rng.Range(0.01f, float(length) * 0.6f));
    AddAt(out, at, Ring(rng.Range(400.0f, 1800.0f), 0.02, 0.08), rng.Range(0.1f, 0.25f));
  }
  if (hard) {  // glass and metal giving way
    for (int g = 0; g < 10; ++g) {
      const size_t at = Samples(rng.Range(0.03f, 0.5f));
      AddAt(out, at, Ring(rng.Range(3000.0f, 6000.0f), 0.03, 0.12), rng.Range(0.05f, 0.12f));
    }
    Buffer crunch = NoiseBurst(rng, 0.2, 0.8);
    Filter(crunch, Biquad::BandPass(700.0, 0.6));
    AddAt(out, Samples(0.02), crunch, 0.6f);
  }
  FadeEdges(out, 0.001, 0.08);
  Normalize(out, hard ? 0.9f : 0.7f);
  return out;
}

// ---- Loops of the race ---------------------------------------------------------------

// Tyres sliding on dirt and gravel: band-limited scraping with a crackle of
// stones; the player's skid has a faint rubber squeal in it.
Buffer SkidLoop(uint32_t seed, double centreHz, float squeal) {
  Rng rng(seed);
  const size_t n = Samples(2.0);
  Buffer out = WhiteNoise(rng, n);
  FilterLoop(out, Biquad::BandPass(centreHz, 0.8));
  const int stones = 320;
  for (int s = 0; s < stones; ++s) {
    Buffer stone = NoiseBurst(rng, 0.003, 0.02);
    Filter(stone, Biquad::BandPass(rng.Range(1500.0f, 4500.0f), 3.0));
    AddWrapped(out, long(rng.Uniform() * float(n)), stone, rng.Range(0.6f, 2.0f));
  }
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    out[i] += float(squeal * std::sin(NE_TWO_PI_D * (880 * t + 3.0 * std::sin(NE_TWO_PI_D * 3 * t))));
    out[i] *= float(1.0 + 0.2 * std::sin(NE_TWO_PI_D * 2 * t));
  }
  Normalize(out, 0.7f);
  return out;
}

// The chassis working over rough ground: knocks of the axles, springs
// creaking, over a low body rumble.
Buffer SuspensionLoop(uint32_t seed) {
  Rng rng(seed);
  const size_t n = Samples(2.0);
  Buffer out = WhiteNoise(rng, n);
  FilterLoop(out, Biquad::LowPass(160.0));
  for (float& s : out) s *= 0.6f;
  for (int k = 0; k < 14; ++k) {
    AddWrapped(out, long(rng.Uniform() * float(n)), Thump(rng.Range(90.0f, 150.0f), 55, 0.03, 0.15),
               rng.Range(0.4f, 1.0f));
  }
  for (int c = 0; c < 4; ++c) {  // spring creaks: a short upward glide
    Buffer creak(Samples(0.12));
    const double from = rng.Range(450.0f, 650.0f);
    double phase = 0;
    for (size_t i = 0; i < creak.size(); ++i) {
      const double t = double(i) / kRate;
      phase += NE_TWO_PI_D * (from + 900 * t) / kRate;
      creak[i] = float(std::sin(phase) * std::sin(NE_PI_D * t / 0.12) * (0.6 + 0.4 * std::sin(NE_TWO_PI_D * 70 * t)));
    }
    AddWrapped(out, long(rng.Uniform() * float(n)), creak, 0.12f);
  }
  Normalize(out, 0.7f);
  return out;
}

// Wind around the cab: low rushing noise in slow gusts and a faint whistle.
Buffer WindLoop(uint32_t seed) {
  Rng rng(seed);
  const size_t n = Samples(4.0);
  Buffer rush = WhiteNoise(rng, n);
  FilterLoop(rush, Biquad::LowPass(650.0));
  Buffer whistle = WhiteNoise(rng, n);
  FilterLoop(whistle, Biquad::BandPass(1400.0, 12.0));
  Buffer out(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    const double gust = 0.7 + 0.2 * std::sin(NE_TWO_PI_D * 0.25 * t) + 0.1 * std::sin(NE_TWO_PI_D * 0.75 * t + 1.3);
    out[i] = float(gust * (rush[i] + 0.6 * whistle[i] * gust));
  }
  Normalize(out, 0.7f);
  return out;
}

// The countryside around the track: a soft breeze with birds calling.
Buffer AmbientLoop(uint32_t seed) {
  Rng rng(seed);
  const size_t n = Samples(8.0);
  Buffer out = WhiteNoise(rng, n);
  FilterLoop(out, Biquad::LowPass(400.0));
  for (size_t i = 0; i < n; ++i) out[i] *= float(0.5 + 0.15 * std::sin(NE_TWO_PI_D * 0.125 * double(i) / kRate));
  for (int bird = 0; bird < 7; ++bird) {
    const double pitch = rng.Range(2600.0f, 4200.0f);
    const int notes = 2 + int(rng.Uniform() * 4);
    long at = long(rng.Uniform() * float(n));
    for (int k = 0; k < notes; ++k) {
      Buffer chirp(Samples(0.07));
      double phase = 0;
      for (size_t i = 0; i < chirp.size(); ++i) {
        const double t = double(i) / kRate;
        phase += NE_TWO_PI_D * (pitch + 1800 * t / 0.07 * (k % 2 ? -1 : 1)) / kRate;
        chirp[i] = float(std::sin(phase) * std::sin(NE_PI_D * t / 0.07));
      }
      AddWrapped(out, at, chirp, 0.25f);
      at += long(Samples(0.09 + 0.03 * rng.Uniform()));
    }
  }
  Normalize(out, 0.5f);
  return out;
}

// ---- Short effects -------------------------------------------------------------------

// Checkpoint: a two-note bell.
Buffer CheckpointChime() {
  Buffer out(Samples(1.0), 0.0f);
  const double notes[2] = {880.0, 1318.5};
  for (int k = 0; k < 2; ++k) {
    const size_t at = Samples(0.11 * k);
    AddAt(out, at, Ring(notes[k], 0.35, 0.85), 0.6f);
    AddAt(out, at, Ring(notes[k] * 2.76, 0.12, 0.5), 0.2f);
    AddAt(out, at, Ring(notes[k] * 5.4, 0.05, 0.3), 0.1f);
  }
  FadeEdges(out, 0.002, 0.05);
  Normalize(out, 0.7f);
  return out;
}

// Gear change: the clunk of the gearbox and a puff of the air system.
Buffer GearShift(uint32_t seed) {
  Rng rng(seed);
  Buffer out(Samples(0.4), 0.0f);
  AddAt(out, 0, Ring(170.0, 0.025, 0.2), 1.0f);
  AddAt(out, Samples(0.035), Ring(230.0, 0.02, 0.15), 0.7f);
  Buffer click = NoiseBurst(rng, 0.004, 0.03);
  Filter(click, Biquad::HighPass(2500.0));
  AddAt(out, 0, click, 0.6f);
  Buffer puff = NoiseBurst(rng, 0.08, 0.3);
  Filter(puff, Biquad::BandPass(3500.0, 1.0));
  AddAt(out, Samples(0.06), puff, 0.25f);
  FadeEdges(out, 0.001, 0.04);
  Normalize(out, 0.7f);
  return out;
}

// Nitro: a hiss of gas that opens up into a roaring whoosh, three seconds.
Buffer NitroBurst(uint32_t seed) {
  Rng rng(seed);
  const size_t n = Samples(3.0);
  Buffer out(n, 0.0f);
  Biquad sweep, roar = Biquad::LowPass(260.0);
  for (size_t i = 0; i < n; ++i) {
    const double t = double(i) / kRate;
    if (i % 64 == 0) {  // the band opens over the first half second
      const double centre = 700.0 + 1600.0 * (1.0 - std::exp(-t / 0.25));
      sweep.Retune(Biquad::BandPass(centre, 1.2));
    }
    const float noise = rng.Signed();
    const double attack = std::min(1.0, t / 0.06);
    const double release = t > 2.2 ? std::max(0.0, 1.0 - (t - 2.2) / 0.8) : 1.0;
    const double flutter = 1.0 + 0.08 * std::sin(NE_TWO_PI_D * 13 * t);
    out[i] = float(attack * release * flutter * (sweep.Run(noise) * 1.4 + roar.Run(noise) * 1.2));
  }
  Normalize(out, 0.8f);
  return out;
}

// A traffic horn: two or three reedy tones sounding together.
Buffer Horn(std::initializer_list<double> tones, double seconds) {
  Buffer out(Samples(seconds), 0.0f);
  for (double hz : tones) {
    Oscillator osc;
    for (size_t i = 0; i < out.size(); ++i) {
      out[i] += osc.Square(hz * (1.0 + 0.002 * std::sin(NE_TWO_PI_D * 6 * double(i) / kRate)), 0.35);
    }
  }
  Filter(out, Biquad::LowPass(2200.0));
  Filter(out, Biquad::HighPass(150.0));
  FadeEdges(out, 0.015, 0.06);
  Normalize(out, 0.7f);
  return out;
}

// ---- Menu sounds -------------------------------------------------------------------------

Buffer Sequence(std::initializer_list<Buffer> parts, double stepSeconds) {
  size_t length = 0, at = 0;
  for (const Buffer& p : parts) {
    length = std::max(length, at + p.size());
    at += Samples(stepSeconds);
  }
  Buffer out(length, 0.0f);
  at = 0;
  for (const Buffer& p : parts) {
    AddAt(out, at, p, 1.0f);
    at += Samples(stepSeconds);
  }
  return out;
}

Buffer MenuSound(int number) {
  Rng rng(900u + uint32_t(number));
  Buffer out;
  switch (number) {
    case 1: {  // click
      out = NoiseBurst(rng, 0.003, 0.03);
      Filter(out, Biquad::BandPass(3000.0, 1.5));
      AddAt(out, 0, Blip(1800.0, 0.03, 0.008, false), 0.5f);
      break;
    }
    case 2: out = Blip(1200.0, 0.07, 0.02, false); break;  // hover
    case 3: {  // list step: a wooden tick with a pitch
      out = Blip(660.0, 0.09, 0.025, true);
      Buffer tick = NoiseBurst(rng, 0.002, 0.01);
      AddAt(out, 0, tick, 0.4f);
      break;
    }
    case 4:  // purchase: a bright rising arpeggio
      out = Sequence({Blip(784.0, 0.25, 0.08, false), Blip(988.0, 0.25, 0.08, false),
                      Blip(1175.0, 0.25, 0.08, false), Blip(1568.0, 0.45, 0.16, false)}, 0.07);
      break;
    case 5:  // refusal: two low buzzes falling
      out = Sequence({Blip(220.0, 0.16, 0.1, true), Blip(165.0, 0.25, 0.12, true)}, 0.14);
      Filter(out, Biquad::LowPass(1500.0));
      break;
    case 6: {  // screen change: a whoosh sweeping up
      const size_t n = Samples(0.45);
      out.assign(n, 0.0f);
      Biquad band;
      for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        if (i % 32 == 0) band.Retune(Biquad::BandPass(400.0 + 5000.0 * t / 0.45, 2.0));
        out[i] = float(band.Run(rng.Signed()) * std::sin(NE_PI_D * t / 0.45));
      }
      break;
    }
    case 7:  // screen settled: a soft low chord
      out = Blip(330.0, 0.35, 0.1, false);
      AddAt(out, 0, Blip(495.0, 0.35, 0.09, false), 0.6f);
      AddAt(out, 0, Thump(140, 60, 0.04, 0.2), 0.6f);
      break;
    case 8: {  // race loading: an engine revving up
      const size_t n = Samples(1.1);
      out.assign(n, 0.0f);
      Oscillator osc;
      Biquad tone = Biquad::LowPass(900.0);
      for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double hz = 35.0 + 80.0 * std::pow(t / 1.1, 1.5);
        out[i] = tone.Run(osc.Saw(hz) + 0.3f * rng.Signed()) * float(std::min(1.0, t / 0.1));
      }
      FadeEdges(out, 0.01, 0.15);
      break;
    }
    case 9: out = Blip(660.0, 0.3, 0.12, true); break;     // countdown: ready
    case 10: out = Blip(1320.0, 0.7, 0.3, true); break;    // countdown: go
    default: break;
  }
  Normalize(out, 0.7f);
  return out;
}

}  // namespace

bool WriteGameSounds(const std::string& base) {
  const std::string sound = base + "/sound/";
  bool ok = true;
  auto mono = [&](const std::string& name, const Buffer& samples) {
    ok = WriteWav(sound + name, samples, 1, kRate) && ok;
  };

  // Player's engine: idle, cruising and high revs of a big six-cylinder diesel.
  mono("en0.wav", EngineLoop({36, {150, 380, 820}, 0.012f, 0.35f, 900, 0.35f, 1}));
  mono("en1.wav", EngineLoop({66, {170, 430, 950}, 0.009f, 0.45f, 1500, 0.25f, 2}));
  mono("en2.wav", EngineLoop({111, {190, 480, 1100}, 0.007f, 0.6f, 2400, 0.18f, 3}));
  // Opponents: the same kind of engine, each its own at middle revs.
  mono("en_ot0.wav", EngineLoop({63, {160, 410, 900}, 0.009f, 0.45f, 1400, 0.25f, 4}));
  mono("en_ot1.wav", EngineLoop({72, {180, 450, 1000}, 0.008f, 0.5f, 1600, 0.22f, 5}));
  mono("en_ot2.wav", EngineLoop({81, {175, 470, 1050}, 0.008f, 0.5f, 1700, 0.2f, 6}));
  // Traffic: a lighter engine, higher and smoother.
  mono("en_city.wav", EngineLoop({90, {240, 620, 1300}, 0.006f, 0.3f, 1900, 0.12f, 7}));

  mono("cr0.wav", TruckHit(false, 20));
  mono("cr1.wav", TruckHit(true, 21));
  mono("suspension.wav", SuspensionLoop(22));
  for (int b = 0; b < 4; ++b) {
    for (int s = 0; s < 4; ++s) {
      mono("crash" + std::to_string(b) + "_" + std::to_string(s) + ".wav", Impact(b, 100u + uint32_t(b * 4 + s)));
    }
  }
  mono("st1.wav", SkidLoop(30, 1300.0, 0.04f));
  mono("st2.wav", SkidLoop(31, 1100.0, 0.0f));
  mono("point.wav", CheckpointChime());
  mono("gear.wav", GearShift(32));
  mono("nitro.wav", NitroBurst(33));
  mono("wind.wav", WindLoop(34));
  mono("signal0.wav", Horn({350.0, 440.0}, 0.6));
  mono("signal1.wav", Horn({311.0, 392.0}, 0.45));
  mono("signal2.wav", Horn({220.0, 277.0, 330.0}, 0.8));
  mono("ambient.wav", AmbientLoop(35));
  for (int m = 1; m <= 10; ++m) mono("menu" + std::to_string(m) + ".wav", MenuSound(m));

  ok = WriteGameMusic(base) && ok;
  if (!ok) std::fprintf(stderr, "zarnok_gen: could not write the sounds\n");
  return ok;
}
