#include "world/race_path.h"

#include "framework/binary_file.h"
#include "framework/settings.h"

#include <cmath>
#include <cstdio>
#include <vector>

Waypoint gRacePath[kRacePathCapacity];
int32_t gRacePathLast;

namespace {

constexpr size_t kRecordSize = 16;  // x, y, z, type
constexpr size_t kMaxPathFileBytes = 4 + kRecordSize * kRacePathCapacity;

float DistanceBetween(const neV3& a, const neV3& b) {
  const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

int32_t CheckpointType(int32_t type) {
  switch (type) {
    case kWaypointPlain: return kWaypointCheckpoint;
    case kWaypointMarkerA: return kWaypointCheckpointMarkerA;
    case kWaypointMarkerB: return kWaypointCheckpointMarkerB;
    default: return type;
  }
}

bool LastInRange(int32_t last) { return last >= kMinRacePathLast && last < kRacePathCapacity; }

// The first of the `count` records ahead of `reader` that the race could not
// follow (a position that is not a finite number, a kind outside 0..5),
// or -1 when there is none. Reads a copy of the cursor.
int32_t FirstBadRecord(ByteCursor reader, int32_t count) {
  for (int32_t k = 0; k < count; ++k) {
    const float position[3] = {reader.F32(), reader.F32(), reader.F32()};
    const int32_t type = reader.I32();
    if (!AllFinite(position, 3) || type < kWaypointPlain || type > kWaypointCheckpointMarkerB) return k;
  }
  return -1;
}

}  // namespace

std::string RacePathFile(int n) {
  if (n == kLastRecordedPath) return "base/world/races/last.ai";
  if (n < 1 || n > kTrackCount) return {};
  return "base/world/races/" + std::to_string(n) + ".ai";
}

bool ReadRacePathFile(const std::string& path, Waypoint* points, int32_t& last) {
  std::vector<uint8_t> bytes;
  // Trailing bytes after the last record are ignored, so allow a little more.
  if (!ReadWholeFile(path, kMaxPathFileBytes + 4096, bytes)) {
    std::fprintf(stderr, "Cannot read race path %s\n", path.c_str());
    return false;
  }
  ByteCursor reader(bytes);
  const int32_t fileLast = reader.I32();
  if (!reader.Ok() || !LastInRange(fileLast) || !reader.Has(kRecordSize * size_t(fileLast + 1))) {
    std::fprintf(stderr, "Race path %s is damaged\n", path.c_str());
    return false;
  }
  if (const int32_t bad = FirstBadRecord(reader, fileLast + 1); bad >= 0) {
    std::fprintf(stderr, "Race path %s: point %d has a position that is not a number or a kind outside 0-5\n",
                 path.c_str(), bad);
    return false;
  }
  for (int32_t k = 0; k <= fileLast; ++k) {
    points[k].position.x = reader.F32();
    points[k].position.y = reader.F32();
    points[k].position.z = reader.F32();
    points[k].type = reader.I32();
  }
  last = fileLast;
  return true;
}

bool WriteRacePathFile(const std::string& path, const Waypoint* points, int32_t last) {
  if (!LastInRange(last)) return false;
  ByteBuffer writer;
  writer.I32(last);
  for (int32_t k = 0; k <= last; ++k) {
    writer.F32(points[k].position.x);
    writer.F32(points[k].position.y);
    writer.F32(points[k].position.z);
    writer.I32(points[k].type);
  }
  return WriteFileAtomically(path, writer.bytes.data(), writer.bytes.size());
}

void MarkCheckpoints(Waypoint* points, int32_t last) {
  if (last < 0 || last >= kRacePathCapacity) return;
  const int32_t highest = last - last % kCheckpointSpacing;
  for (int32_t k = highest; k >= 0; k -= kCheckpointSpacing) {
    bool mark = k != highest ||
                DistanceBetween(points[k].position, points[0].position) > kCheckpointStartClearance;
    if (mark) points[k].type = CheckpointType(points[k].type);
  }
}

bool LoadRacePath(int n) {
  std::string path = RacePathFile(n);
  if (path.empty() || n == kLastRecordedPath) {
    std::fprintf(stderr, "There is no race %d\n", n);
    return false;
  }
  return ReadRacePathFile(path, gRacePath, gRacePathLast);
}

bool SaveRacePath(int n) {
  std::string path = RacePathFile(n);
  if (path.empty()) return false;
  MarkCheckpoints(gRacePath, gRacePathLast);
  return WriteRacePathFile(path, gRacePath, gRacePathLast);
}
