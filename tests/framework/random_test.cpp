#include "framework/random.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(RandomGenerator, StaysInTheClassicRangeAndCoversIt) {
  SeedRandom(7);
  int lowest = kRandomMax, highest = 0;
  for (int i = 0; i < 200000; ++i) {
    int value = Random();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, kRandomMax);
    lowest = std::min(lowest, value);
    highest = std::max(highest, value);
  }
  EXPECT_LT(lowest, 10);
  EXPECT_GT(highest, kRandomMax - 10);
}

TEST(RandomGenerator, SameSeedRepeatsTheSequence) {
  SeedRandom(1234);
  int first[8];
  for (int& v : first) v = Random();
  SeedRandom(1234);
  for (int v : first) EXPECT_EQ(v, Random());
}

TEST(RandomGenerator, StartupSeedIsTheTestsFixedSeedWhenOneIsAsked) {
  setenv("ZARNOK_SEED", "4242", 1);
  SeedRandomAtStartup();
  int first[4];
  for (int& v : first) v = Random();
  unsetenv("ZARNOK_SEED");
  SeedRandom(4242);
  for (int v : first) EXPECT_EQ(v, Random());
}
