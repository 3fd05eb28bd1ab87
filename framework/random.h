// The game's one random generator, with the 0..32767 range that the game's
// arithmetic expects (the classic C library's RAND_MAX). Shared by both threads.
#pragma once

#include <cstdint>

inline constexpr int kRandomMax = 32767;

// Restarts the sequence. The same seed gives the same sequence.
void SeedRandom(uint32_t seed);

// Next value in 0..kRandomMax.
int Random();

// Seeds the generator once at start-up: with the test's fixed seed when one
// was asked for, else from the wall clock.
void SeedRandomAtStartup();
