// The asset validator's checks of the 30 prop layouts, through the game's
// own model and race-path readers: each prop is a marker triangle of the
// frame the prop builder reads, seated on the physics ground, clear of the
// race's path, its grid and the other props.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "framework/model.h"
#include "framework/settings.h"
#include "tests/tools/model_geometry.h"
#include "tools/gen_prop_layout.h"
#include "tools/gen_props.h"
#include "world/city_object.h"
#include "world/physics_world.h"
#include "world/race_path.h"

namespace {

// The physics ground, bucketed by ground squares for height look-ups.
class Ground {
 public:
  explicit Ground(const Model& model) : model_(model), buckets_(kCells * kCells) {
    for (int i = 0; i < model.triangleCount; ++i) {
      float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
      for (int k = 0; k < 3; ++k) {
        const float* p = Corner(i, k);
        lo[0] = std::min(lo[0], p[0]), hi[0] = std::max(hi[0], p[0]);
        lo[1] = std::min(lo[1], p[2]), hi[1] = std::max(hi[1], p[2]);
      }
      for (int cx = Cell(lo[0]); cx <= Cell(hi[0]); ++cx)
        for (int cz = Cell(lo[1]); cz <= Cell(hi[1]); ++cz) buckets_[size_t(cz * kCells + cx)].push_back(i);
    }
  }

  // Highest surface straight above or below (x, z); -1e9 when none.
  float HeightAt(float x, float z) const {
    float best = -1e9f;
    for (int i : buckets_[size_t(Cell(z) * kCells + Cell(x))]) {
      const float *a = Corner(i, 0), *b = Corner(i, 1), *c = Corner(i, 2);
      const float d = (b[2] - c[2]) * (a[0] - c[0]) + (c[0] - b[0]) * (a[2] - c[2]);
      if (std::fabs(d) < 1e-9f) continue;
      const float wa = ((b[2] - c[2]) * (x - c[0]) + (c[0] - b[0]) * (z - c[2])) / d;
      const float wb = ((c[2] - a[2]) * (x - c[0]) + (a[0] - c[0]) * (z - c[2])) / d;
      const float wc = 1 - wa - wb;
      if (wa < -1e-5f || wb < -1e-5f || wc < -1e-5f) continue;
      best = std::max(best, wa * a[1] + wb * b[1] + wc * c[1]);
    }
    return best;
  }

 private:
  static constexpr int kCells = 128;
  static constexpr float kHalf = 1800.0f;
  static int Cell(float v) { return std::clamp(int((v + kHalf) / (2 * kHalf) * kCells), 0, kCells - 1); }
  const float* Corner(int triangle, int k) const {
    return model_.vertices[model_.triangles[triangle].vertexIndices[k]].position;
  }

  const Model& model_;
  std::vector<std::vector<int>> buckets_;
};

struct RaceProps {
  std::vector<PropPlacement> props;
  bool upright = true;  // every P2 straight above its P1, every P0 level with it
};

RaceProps ReadProps(int race) {
  RaceProps out;
  MilkshapeModel markers;
  EXPECT_TRUE(markers.LoadFromFile(("base/world/models/objects" + std::to_string(race) + ".sbm").c_str())) << race;
  for (int g = 0; g < markers.groupCount; ++g)
    for (int t = 0; t < markers.groups[g].triangleCount; ++t) {
      const Vector3 p0 = MarkerCorner(markers, g, t, 0), p1 = MarkerCorner(markers, g, t, 1),
                    p2 = MarkerCorner(markers, g, t, 2);
      Vector3 up = p2 - p1, x = p0 - p1;
      up.Normalize();
      out.upright &= std::fabs(up.x) < 1e-4f && std::fabs(up.z) < 1e-4f && up.y > 0 && std::fabs(x.y) < 1e-4f;
      x.Normalize();
      out.props.push_back({g, p1, x});
    }
  return out;
}

class PropLayouts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    physic_ = new MilkshapeModel;
    ASSERT_TRUE(physic_->LoadFromFile("base/world/models/physic.sbm"));
    ground_ = new Ground(*physic_);
  }
  static void TearDownTestSuite() {
    delete ground_;
    delete physic_;
  }
  static MilkshapeModel* physic_;
  static Ground* ground_;
};

MilkshapeModel* PropLayouts::physic_ = nullptr;
Ground* PropLayouts::ground_ = nullptr;

}  // namespace

TEST_F(PropLayouts, EachRaceHasUprightPropsOfKnownTypesWithinTheTable) {
  std::set<int> types;
  for (int race = 1; race <= kTrackCount; ++race) {
    const RaceProps race_props = ReadProps(race);
    EXPECT_TRUE(race_props.upright) << "race " << race << ": a sideways P2 lays a prop flat";
    EXPECT_GE(race_props.props.size(), 60u) << race;
    EXPECT_LE(race_props.props.size(), size_t(kCityObjectCapacity)) << race;
    for (const PropPlacement& p : race_props.props) {
      EXPECT_LT(p.type, kPropTypesWithParts) << race;
      types.insert(p.type);
    }
  }
  EXPECT_EQ(types.size(), size_t(kPropTypesWithParts)) << "every type with parts appears somewhere";
}

TEST_F(PropLayouts, PropsSitOnTheGroundClearOfPathGridAndEachOther) {
  std::vector<Waypoint> path(kRacePathCapacity);
  for (int race = 1; race <= kTrackCount; ++race) {
    int32_t last = 0;
    ASSERT_TRUE(ReadRacePathFile("base/world/races/" + std::to_string(race) + ".ai", path.data(), last));
    std::vector<Vector3> keepClear;
    for (int i = 0; i <= last; ++i) keepClear.push_back({path[size_t(i)].position.x, 0, path[size_t(i)].position.z});
    for (int slot = 0; slot < 4; ++slot) {
      const neV3 g = GridSlotPosition(path[0].position, path[1].position, slot);
      keepClear.push_back({g.x, 0, g.z});
    }
    const std::vector<PropPlacement> props = ReadProps(race).props;
    int unseated = 0, crowded = 0, overlapping = 0;
    for (size_t i = 0; i < props.size(); ++i) {
      float highest = -1e9f;
      for (const Vector3& p : PropFootprint(props[i])) {
        highest = std::max(highest, ground_->HeightAt(p.x, p.z));
        for (const Vector3& q : keepClear) crowded += (Vector3(p.x, 0, p.z) - q).Length() < kPropClearance;
      }
      unseated += std::fabs(props[i].rest.y - highest) > 0.05f;
      for (size_t j = 0; j < i; ++j) {
        const Vector3 d(props[i].rest.x - props[j].rest.x, 0, props[i].rest.z - props[j].rest.z);
        overlapping += d.Length() < PropFootprintRadius(props[i].type) + PropFootprintRadius(props[j].type);
      }
    }
    EXPECT_EQ(unseated, 0) << "race " << race << ": props not on the highest ground under them";
    EXPECT_EQ(crowded, 0) << "race " << race << ": footprint points within 6 of a path point or grid slot";
    EXPECT_EQ(overlapping, 0) << "race " << race;
  }
}
