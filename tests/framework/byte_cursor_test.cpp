// The one bounds-checked reader of every binary file, and its writer.
#include <gtest/gtest.h>

#include "framework/binary_file.h"

TEST(ByteCursor, ReadsWhatByteBufferWroteLittleEndian) {
  ByteBuffer out;
  out.U8(0xAB);
  out.U16(0x1234);
  out.I32(-7);
  out.F32(2.5f);
  out.FixedString("tyre", 8);
  ASSERT_EQ(out.bytes.size(), 1u + 2 + 4 + 4 + 8);
  EXPECT_EQ(out.bytes[1], 0x34);
  EXPECT_EQ(out.bytes[2], 0x12);

  ByteCursor in(out.bytes);
  EXPECT_EQ(in.U8(), 0xAB);
  EXPECT_EQ(in.U16(), 0x1234);
  EXPECT_EQ(in.I32(), -7);
  EXPECT_FLOAT_EQ(in.F32(), 2.5f);
  EXPECT_EQ(in.FixedString(8), "tyre");
  EXPECT_TRUE(in.Ok());
  EXPECT_EQ(in.Remaining(), 0u);
}

TEST(ByteCursor, AShortReadFailsZeroedAndEveryLaterReadFailsToo) {
  const std::vector<uint8_t> bytes = {1, 0, 0, 0, 9, 9};
  ByteCursor in(bytes);
  EXPECT_TRUE(in.Has(6));
  EXPECT_FALSE(in.Has(7));
  EXPECT_EQ(in.I32(), 1);
  EXPECT_EQ(in.I32(), 0);  // two bytes left: refused, nothing of them taken
  EXPECT_FALSE(in.Ok());
  EXPECT_EQ(in.Remaining(), 0u);
  EXPECT_EQ(in.U8(), 0);  // even a read that would fit fails now
  EXPECT_FALSE(in.Skip(0));
}

TEST(ByteCursor, ANameFillingItsFieldEndsAtTheFieldsEnd) {
  const std::vector<uint8_t> bytes = {'a', 'b', 'c', 'd', 'e'};
  ByteCursor in(bytes);
  EXPECT_EQ(in.FixedString(4), "abcd");
  EXPECT_EQ(in.U8(), 'e');
  EXPECT_TRUE(in.Ok());
}
