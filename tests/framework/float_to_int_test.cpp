#include "framework/vector_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(FloatToInt, TruncatesTowardZero) {
  EXPECT_EQ(FloatToInt(59.99f), 59);
  EXPECT_EQ(FloatToInt(-2.7f), -2);
  EXPECT_EQ(FloatToInt(0.0f), 0);
}

TEST(FloatToInt, NonNumbersAndHugeValuesGiveDefinedResults) {
  EXPECT_EQ(FloatToInt(std::nanf("")), 0);
  EXPECT_EQ(FloatToInt(std::numeric_limits<float>::infinity()), std::numeric_limits<int>::max());
  EXPECT_EQ(FloatToInt(-std::numeric_limits<float>::infinity()), std::numeric_limits<int>::min());
  EXPECT_EQ(FloatToInt(3e9f), std::numeric_limits<int>::max());
  EXPECT_EQ(FloatToInt(-3e9f), std::numeric_limits<int>::min());
}
