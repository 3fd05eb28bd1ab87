// What the generator writes into base/sound and base/music: the formats the
// game needs and the qualities a player hears.
#include "tests/support/wave_file.h"

#include "math/ne_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* const kLoops[] = {"en0", "en1", "en2", "en_ot0", "en_ot1", "en_ot2", "en_city",
                              "suspension", "st1", "st2", "wind", "ambient"};

WaveFile Sound(const std::string& name) { return ReadWaveFile("base/sound/" + name + ".wav"); }

TEST(GeneratedSounds, EverySoundIsMono16BitPcmAndAudible) {
  // The game's start-up load proves every file it needs is there.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator("base/sound")) {
    const std::string name = entry.path().filename().string();
    WaveFile w = ReadWaveFile(entry.path().string());
    EXPECT_EQ(w.format, 1) << name;
    EXPECT_EQ(w.bits, 16) << name;
    EXPECT_EQ(w.channels, 1) << name;  // OpenAL positions only mono sources
    EXPECT_GT(w.Rms(), 0.02) << name;
    ++files;
  }
  EXPECT_GT(files, 0);
}

TEST(GeneratedSounds, LoopsCloseWithoutAClick) {
  for (const char* name : kLoops) {
    WaveFile w = Sound(name);
    ASSERT_GT(w.samples.size(), 1000u) << name;
    // The step across the seam is no bigger than the loop's ordinary steps.
    double largestStep = 0;
    for (size_t i = 1; i < w.samples.size(); ++i)
      largestStep = std::max(largestStep, double(std::fabs(w.samples[i] - w.samples[i - 1])));
    const double seam = std::fabs(w.samples.front() - w.samples.back());
    EXPECT_LE(seam, largestStep * 0.8 + 1e-3) << name;
  }
}

// Amplitude near a frequency: correlation with a sine and a cosine over
// windows of the given length, averaged over the sound. Windows of a fifth
// of a second let notes starting in any phase add up; one window over the
// whole sound suits loops, whose every partial is held throughout.
double Level(const WaveFile& w, double hz, size_t window) {
  double total = 0;
  size_t windows = 0;
  for (size_t from = 0; from + window <= w.samples.size(); from += window, ++windows) {
    double re = 0, im = 0;
    for (size_t i = from; i < from + window; ++i) {
      const double phase = 2 * NE_PI_D * hz * double(i) / w.rate;
      re += w.samples[i] * std::cos(phase);
      im += w.samples[i] * std::sin(phase);
    }
    total += 2 * std::hypot(re, im) / double(window);
  }
  return windows ? total / double(windows) : 0.0;
}

double SteadyLevel(const WaveFile& w, double hz) { return Level(w, hz, w.samples.size()); }
double Level(const WaveFile& w, double hz) { return Level(w, hz, size_t(w.rate) / 5); }

TEST(GeneratedSounds, EngineLayersRiseInFiringRate) {
  // The engine loops are built on firing rates of 36, 66 and 111 Hz; each
  // layer's own rate stands out of its neighbours' rates.
  const double rates[3] = {36, 66, 111};
  for (int layer = 0; layer < 3; ++layer) {
    WaveFile w = Sound("en" + std::to_string(layer));
    for (int other = 0; other < 3; ++other) {
      if (other == layer) continue;
      EXPECT_GT(SteadyLevel(w, rates[layer]), 2 * SteadyLevel(w, rates[other])) << "en" << layer;
    }
  }
}

TEST(GeneratedSounds, CrashBanksGrowInStrength) {
  double previousEnergy = 0;
  for (int b = 0; b < 4; ++b) {
    double energy = 0;
    std::vector<std::vector<float>> variants;
    for (int s = 0; s < 4; ++s) {
      WaveFile w = Sound("crash" + std::to_string(b) + "_" + std::to_string(s));
      energy += w.Rms() * w.Rms() * w.Seconds() / 4;
      // The four sources of a bank are variations, not copies.
      for (const auto& other : variants) EXPECT_NE(other, w.samples) << "bank " << b;
      variants.push_back(w.samples);
    }
    EXPECT_GT(energy, previousEnergy * 1.3) << "bank " << b;
    previousEnergy = energy;
  }
}

TEST(GeneratedSounds, MenuSoundsAreShortAndEachDistinct) {
  std::vector<WaveFile> menu;
  for (int m = 1; m <= 10; ++m) menu.push_back(Sound("menu" + std::to_string(m)));
  for (size_t i = 0; i < menu.size(); ++i) {
    EXPECT_LT(menu[i].Seconds(), 1.2) << "menu" << i + 1;
    for (size_t j = 0; j < i; ++j) EXPECT_NE(menu[i].samples, menu[j].samples) << "menu" << i + 1;
  }
}

TEST(GeneratedSounds, NitroLastsAtLeastTwoAndAHalfSeconds) {
  EXPECT_GE(Sound("nitro").Seconds(), 2.5);
}

TEST(GeneratedMusic, TracksAreStereoLoopsOfHalfAMinuteToAMinute) {
  for (const char* name : {"menu", "1", "2", "3", "4"}) {
    WaveFile w = ReadWaveFile(std::string("base/music/") + name + ".wav");
    EXPECT_EQ(w.channels, 2) << name;
    EXPECT_EQ(w.bits, 16) << name;
    EXPECT_GE(w.Seconds(), 30.0) << name;
    EXPECT_LE(w.Seconds(), 60.0) << name;
    // Never silent for long: every second of the track carries sound.
    const size_t second = size_t(w.rate) * 2;
    for (size_t at = 0; at + second <= w.samples.size(); at += second)
      ASSERT_GT(w.Rms(at, at + second), 0.03) << name << " at " << at / second << " s";
  }
}

TEST(GeneratedMusic, TracksHaveMoreThanOneVoice) {
  // A bass line and a bright voice (drums, chords or melody) play together.
  WaveFile w = ReadWaveFile("base/music/1.wav");
  std::vector<float> left;
  for (size_t i = 0; i < w.samples.size() && left.size() < size_t(w.rate) * 8; i += 2) left.push_back(w.samples[i]);
  WaveFile mono{1, 1, w.rate, 16, left};
  // E minor: the bass's E (41.2 Hz) and the chords around the E above middle C.
  EXPECT_GT(Level(mono, 41.2), 0.01);
  double bright = 0;
  for (double hz : {329.6, 392.0, 493.9}) bright = std::max(bright, Level(mono, hz));
  EXPECT_GT(bright, 0.01);
}

}  // namespace
