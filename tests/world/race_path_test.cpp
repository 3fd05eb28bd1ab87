// Race paths: the file format, refused files and checkpoint marking.
#include "world/race_path.h"

#include "tests/support/scratch_folder.h"
#include "tests/support/temp_home.h"
#include "tools/binary_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

// A straight path along x, one unit per point, all of one type.
std::vector<Waypoint> StraightPath(int last, float spacing, int32_t type = kWaypointPlain) {
  std::vector<Waypoint> points(kRacePathCapacity);
  for (int k = 0; k <= last; ++k) {
    points[size_t(k)].position.x = float(k) * spacing;
    points[size_t(k)].position.y = 0.5f;
    points[size_t(k)].position.z = -float(k);
    points[size_t(k)].position.w = 0.0f;
    points[size_t(k)].type = type;
  }
  return points;
}

std::vector<uint8_t> PathFile(int32_t last, int records) {
  ByteBuffer out;
  out.I32(last);
  for (int k = 0; k < records; ++k) {
    out.F32(float(k));
    out.F32(1.0f);
    out.F32(2.0f);
    out.I32(k % 6);
  }
  return out.bytes;
}

TEST(RacePathFile, RoundTripKeepsPositionsAndTypesAndLeavesTheFourthFloat) {
  auto points = StraightPath(120, 3.0f, kWaypointMarkerB);
  points[7].type = kWaypointCheckpoint;
  ScratchFolder folder;
  const std::string path = folder.File("path.ai");
  ASSERT_TRUE(WriteRacePathFile(path, points.data(), 120));
  EXPECT_EQ(ReadFileBytes(path).size(), 4u + 16u * 121u);

  std::vector<Waypoint> read(kRacePathCapacity);
  for (auto& p : read) p.position.w = 42.0f;
  int32_t last = -1;
  ASSERT_TRUE(ReadRacePathFile(path, read.data(), last));
  EXPECT_EQ(last, 120);
  for (int k = 0; k <= 120; ++k) {
    EXPECT_EQ(read[size_t(k)].position.x, points[size_t(k)].position.x);
    EXPECT_EQ(read[size_t(k)].position.z, points[size_t(k)].position.z);
    EXPECT_EQ(read[size_t(k)].type, points[size_t(k)].type);
    EXPECT_EQ(read[size_t(k)].position.w, 42.0f);
  }
}

TEST(RacePathFile, BadFilesAreRefusedAndLeaveThePathAlone) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  auto withWord = [](size_t word, auto value) {  // a word of the records replaced
    std::vector<uint8_t> bytes = PathFile(10, 11);
    std::memcpy(&bytes[4 + 4 * word], &value, 4);
    return bytes;
  };
  const Case cases[] = {
      {"empty", {}},
      {"count only", PathFile(10, 0)},
      {"one record short", PathFile(10, 10)},
      {"too few points", PathFile(3, 4)},
      {"negative count", PathFile(-1, 0)},
      {"count past the array", PathFile(1200, 1201)},
      {"huge count", PathFile(0x7fffffff, 5)},
      {"a position that is not a number", withWord(4 * 3, std::nanf(""))},
      {"a kind past 5", withWord(3, int32_t{6})},
      {"a negative kind", withWord(4 * 10 + 3, int32_t{-1})},
  };
  std::vector<Waypoint> points = StraightPath(50, 1.0f);
  ScratchFolder folder;
  for (const Case& c : cases) {
    const std::string path = folder.File("bad.ai");
    ASSERT_TRUE(WriteFileBytes(path, c.bytes));
    int32_t last = 50;
    EXPECT_FALSE(ReadRacePathFile(path, points.data(), last)) << c.what;
    EXPECT_EQ(last, 50) << c.what;
    EXPECT_EQ(points[3].position.x, 3.0f) << c.what;
  }
  int32_t last = 50;
  EXPECT_FALSE(ReadRacePathFile(folder.File("no-such-path.ai"), points.data(), last));
}

TEST(RacePathFile, SmallestAndLargestPathsAreAccepted) {
  std::vector<Waypoint> points(kRacePathCapacity);
  int32_t last = 0;
  ScratchFolder folder;
  const std::string path = folder.File("edge.ai");
  ASSERT_TRUE(WriteFileBytes(path, PathFile(4, 5)));
  EXPECT_TRUE(ReadRacePathFile(path, points.data(), last));
  EXPECT_EQ(last, 4);
  ASSERT_TRUE(WriteFileBytes(path, PathFile(1199, 1200)));
  EXPECT_TRUE(ReadRacePathFile(path, points.data(), last));
  EXPECT_EQ(last, 1199);
  EXPECT_EQ(points[1199].type, 1199 % 6);
}

TEST(RacePathFile, RaceNumbersNameTheirFiles) {
  EXPECT_EQ(RacePathFile(1), "base/world/races/1.ai");
  EXPECT_EQ(RacePathFile(30), "base/world/races/30.ai");
  EXPECT_EQ(RacePathFile(-1), "base/world/races/last.ai");
  EXPECT_EQ(RacePathFile(0), "");
  EXPECT_EQ(RacePathFile(31), "");
  EXPECT_FALSE(LoadRacePath(31));
  EXPECT_FALSE(LoadRacePath(-1));
}

int32_t MarkedType(int last, float spacing, int index) {
  auto points = StraightPath(last, spacing);
  MarkCheckpoints(points.data(), last);
  return points[size_t(index)].type;
}

TEST(Checkpoints, EveryHundredthPointIsMarkedButNoneOnAHundredPointPath) {
  // L = 250, points 4 units apart: point 200 lies 800 from the start. With
  // L = 99 the only candidate is the start itself, which is too near.
  for (int last : {99, 250}) {
    auto points = StraightPath(last, 4.0f);
    MarkCheckpoints(points.data(), last);
    for (int k = 0; k <= last; ++k) {
      const bool checkpoint = last > 99 && k % 100 == 0;
      EXPECT_EQ(points[size_t(k)].type, checkpoint ? kWaypointCheckpoint : kWaypointPlain) << last << ": " << k;
    }
  }
}

TEST(Checkpoints, HighestOneIsDroppedNearTheStart) {
  // 1 unit apart (with z, about 1.41): point 200 is 283 from the start, point 300 is 424.
  EXPECT_EQ(MarkedType(250, 1.0f, 200), kWaypointPlain);
  EXPECT_EQ(MarkedType(250, 1.0f, 100), kWaypointCheckpoint);
  EXPECT_EQ(MarkedType(250, 1.0f, 0), kWaypointCheckpoint);
  EXPECT_EQ(MarkedType(300, 1.0f, 300), kWaypointCheckpoint);
  EXPECT_EQ(MarkedType(300, 1.0f, 200), kWaypointCheckpoint);
}

TEST(Checkpoints, MarkersBecomeCheckpointMarkersAndCheckpointsStay) {
  auto points = StraightPath(300, 4.0f);
  points[300].type = kWaypointMarkerB;
  points[200].type = kWaypointCheckpoint;
  points[100].type = kWaypointMarkerA;
  points[0].type = 7;  // unknown kinds stay as they are
  MarkCheckpoints(points.data(), 300);
  EXPECT_EQ(points[300].type, kWaypointCheckpointMarkerB);
  EXPECT_EQ(points[200].type, kWaypointCheckpoint);
  EXPECT_EQ(points[100].type, kWaypointCheckpointMarkerA);
  EXPECT_EQ(points[0].type, 7);
  EXPECT_EQ(points[150].type, kWaypointPlain);
}

TEST(Checkpoints, SaveRacePathMarksThenWrites) {
  ScratchFolder folder;  // a working folder with its own base/world/races
  std::filesystem::create_directories(folder.Path() + "/base/world/races");
  ScopedWorkingFolder there(folder.Path());
  auto points = StraightPath(300, 4.0f, kWaypointMarkerA);
  std::copy(points.begin(), points.end(), gRacePath);
  gRacePathLast = 300;
  ASSERT_TRUE(SaveRacePath(kLastRecordedPath));
  ASSERT_TRUE(SaveRacePath(7));
  gRacePathLast = 0;
  ASSERT_TRUE(LoadRacePath(7));
  EXPECT_EQ(gRacePathLast, 300);
  EXPECT_EQ(gRacePath[300].type, kWaypointCheckpointMarkerA);
  EXPECT_EQ(gRacePath[299].type, kWaypointMarkerA);
  EXPECT_FLOAT_EQ(gRacePath[300].position.x, 1200.0f);
}

}  // namespace
