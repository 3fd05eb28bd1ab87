// The generated world as the game will meet it: the models through the
// game's model reader, the race paths through its path reader, the ground
// through the physics engine's own terrain, and qt.qt through the game's
// quadtree reader.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/binary_file.h"
#include "framework/model.h"
#include "physics/sensor.h"
#include "physics/terrain_tree.h"
#include "tools/gen_world_layout.h"
#include "world/quadtree.h"
#include "world/race_path.h"

namespace {

constexpr const char* kModels = "base/world/models/";
constexpr float kMaxClimbDegrees = 12.0f;
constexpr float kMinBendRadius = 110.0f;
constexpr float kPathLift = 1.0f;        // path points above the road
constexpr float kPathLiftTolerance = 0.3f;
constexpr float kGridHalfWidth = 6.0f;   // the starting grid is 12 wide
constexpr float kGridBehind = 20.0f, kGridAhead = 10.0f;
constexpr float kDrawnAbovePhysics = 0.12f;  // most a drawn surface may float over the physics ground

std::unique_ptr<MilkshapeModel> Load(const std::string& stem) {
  auto model = std::make_unique<MilkshapeModel>();
  EXPECT_TRUE(model->LoadFromFile((kModels + stem + ".sbm").c_str())) << stem;
  return model;
}

const float* Corner(const Model& m, const ModelTriangle& t, int k) { return m.vertices[t.vertexIndices[k]].position; }

float UvArea(const float st[3][2]) {
  return 0.5f * std::fabs((st[1][0] - st[0][0]) * (st[2][1] - st[0][1]) - (st[2][0] - st[0][0]) * (st[1][1] - st[0][1]));
}

float Area(const Model& m, const ModelTriangle& t) {
  const float *a = Corner(m, t, 0), *b = Corner(m, t, 1), *c = Corner(m, t, 2);
  const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
  const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  return 0.5f * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
}

// The physics ground as the engine holds it, with downward rays.
class PhysicsGround {
 public:
  explicit PhysicsGround(const Model& physic) {
    for (int i = 0; i < physic.vertexCount; ++i) {
      const float* p = physic.vertices[i].position;
      vertices_.push_back(neMakeV3(p[0], p[1], p[2]));
    }
    for (int i = 0; i < physic.triangleCount; ++i) {
      neTriangle t;
      for (int k = 0; k < 3; ++k) t.indices[k] = physic.triangles[i].vertexIndices[k];
      triangles_.push_back(t);
    }
    neTriangleMesh mesh{vertices_.data(), s32(vertices_.size()), triangles_.data(), s32(triangles_.size())};
    built_ = tree_.Build(mesh, nullptr, 64, NE_GROW_DOUBLE);
  }
  bool Built() const { return built_; }

  // Distance straight down from (x, y, z) to the ground within `reach`; NaN
  // when the ray finds none.
  float Drop(float x, float y, float z, float reach) const {
    neGrowArray<const neTreeNode*> leaves;
    leaves.Reserve(16, &allocator_, NE_GROW_DOUBLE);
    tree_.Query(tree_.Root(), leaves, neMakeV3(x - 0.01f, y - reach, z - 0.01f), neMakeV3(x + 0.01f, y, z + 0.01f), 0);
    std::vector<s32> candidates;
    for (s32 i = 0; i < leaves.Count(); ++i)
      candidates.insert(candidates.end(), leaves[i]->triangles, leaves[i]->triangles + leaves[i]->triangleCount);
    if (candidates.empty()) return NAN;
    neGeometry ground{};
    ground.SetDefaults();
    ground.SetMesh(candidates.data(), s32(candidates.size()), tree_.Triangles(), tree_.Vertices());
    neM3 identity;
    identity.SetIdentity();
    neLineHit hit{};
    if (!neCollideLineGeometry(neMakeV3(x, y, z), neMakeV3(0, -reach, 0), reach, ground, identity, hit)) return NAN;
    return y - hit.contactPoint[1];
  }

 private:
  std::vector<neV3> vertices_;
  std::vector<neTriangle> triangles_;
  neTerrainTree tree_;
  mutable neDefaultAllocator allocator_;
  bool built_ = false;
};

class ShippedWorld : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    physic_ = Load("physic").release();
    ground_ = new PhysicsGround(*physic_);
  }
  static void TearDownTestSuite() {
    delete ground_;
    delete physic_;
  }
  static MilkshapeModel* physic_;
  static PhysicsGround* ground_;
};
MilkshapeModel* ShippedWorld::physic_ = nullptr;
PhysicsGround* ShippedWorld::ground_ = nullptr;

TEST_F(ShippedWorld, TheTwoRoadModelsHoldTheSameTrianglesWithTwoUsableTextureSets) {
  const auto road = Load("main_road"), linear = Load("main_road_linear");
  ASSERT_EQ(road->triangleCount, linear->triangleCount);
  ASSERT_EQ(road->groupCount, linear->groupCount);
  for (int i = 0; i < road->triangleCount; ++i) {
    for (int k = 0; k < 3; ++k)
      for (int a = 0; a < 3; ++a)
        ASSERT_EQ(Corner(*road, road->triangles[i], k)[a], Corner(*linear, linear->triangles[i], k)[a]) << i;
    ASSERT_GT(UvArea(road->triangles[i].texCoords), 0.0f) << "main_road triangle " << i;
    ASSERT_GT(UvArea(linear->triangles[i].texCoords), 0.0f) << "main_road_linear triangle " << i;
  }
  // Each group picks a landscape pair by its material's emissive red.
  for (int g = 0; g < road->groupCount; ++g) {
    ASSERT_TRUE(road->GroupHasMaterial(road->groups[g]));
    const float e = road->materials[road->groups[g].materialIndex].emissive[0];
    EXPECT_GT(e, 0.0f) << g;
    EXPECT_LE(e, 1.0f) << g;
  }
}

TEST_F(ShippedWorld, TheLandscapeStaysInsideItsBoundsAndClosesAtTheEdge) {
  for (const char* stem : {"physic", "main_road"}) {
    const auto model = Load(stem);
    float rim = 1e9f;
    for (int i = 0; i < model->vertexCount; ++i) {
      const float* p = model->vertices[i].position;
      ASSERT_LE(std::fabs(p[0]), 1800.0f) << stem;
      ASSERT_LE(std::fabs(p[2]), 1800.0f) << stem;
      ASSERT_GE(p[1], -20.0f) << stem;
      ASSERT_LE(p[1], 250.0f) << stem;
      if (std::max(std::fabs(p[0]), std::fabs(p[2])) >= 1799.0f) rim = std::min(rim, p[1]);
    }
    EXPECT_GT(rim, 180.0f) << stem << ": the edge is a wall of hills";
  }
}

TEST_F(ShippedWorld, PhysicsGroundIsOneLayerOfEvenlySpreadSoundTriangles) {
  ASSERT_TRUE(ground_->Built());
  EXPECT_GE(physic_->triangleCount, 20000);
  EXPECT_LE(physic_->triangleCount, 50000);
  constexpr int kBlocks = 8;  // blocks of 450 × 450
  int perBlock[kBlocks][kBlocks] = {};
  for (int i = 0; i < physic_->triangleCount; ++i) {
    const ModelTriangle& t = physic_->triangles[i];
    ASSERT_GT(Area(*physic_, t), 1e-3f) << "degenerate triangle " << i;
    const float* p = Corner(*physic_, t, 0);
    ++perBlock[std::min(kBlocks - 1, int((p[0] + 1800) / 450))][std::min(kBlocks - 1, int((p[2] + 1800) / 450))];
  }
  for (auto& row : perBlock)
    for (int count : row) EXPECT_GT(count, physic_->triangleCount / (kBlocks * kBlocks) / 2);
}

TEST_F(ShippedWorld, TheDrawnGroundLiesOnThePhysicsGround) {
  const auto road = Load("main_road");
  for (int i = 0; i < road->triangleCount; i += 7) {
    float p[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k)
      for (int a = 0; a < 3; ++a) p[a] += Corner(*road, road->triangles[i], k)[a] / 3;
    // From just above, so that no boulder or hut standing there is seen.
    const float drop = ground_->Drop(p[0], p[1] + 0.25f, p[2], 0.5f) - 0.25f;
    ASSERT_FALSE(std::isnan(drop)) << "no ground under main_road triangle " << i;
    // The ground's own triangles coincide; a road surface lies a few
    // centimetres above them and never sinks under them.
    ASSERT_GE(drop, -0.01f) << "main_road triangle " << i << " at " << p[0] << ", " << p[2];
    ASSERT_LE(drop, kDrawnAbovePhysics) << "main_road triangle " << i << " at " << p[0] << ", " << p[2];
  }
}

// What the layout's queries promise the writers that seat things in the world.
TEST_F(ShippedWorld, LayoutQueriesAnswerWhatTheShippedGroundHolds) {
  for (float z = -1790; z < 1790; z += 97.3f)
    for (float x = -1790; x < 1790; x += 89.1f) {
      const float h = GroundHeight(x, z);
      const float drop = ground_->Drop(x, h + 0.25f, z, 0.5f) - 0.25f;
      if (std::isnan(drop)) continue;  // a hut or boulder stands there: its roof is not the ground
      ASSERT_NEAR(drop, 0.0f, 0.01f) << x << ", " << z;
    }
  for (int p = 0; p < RoadPieceCount(); ++p) {
    const RoadPiece piece = GetRoadPiece(p);
    ASSERT_GE(piece.pointCount, 2);
    for (int k = 0; k < piece.pointCount; k += 5) EXPECT_LT(DistanceToRoad(piece.x[k], piece.z[k]), 0.01f);
  }
  float lx, lz, radius;
  LakeCircle(&lx, &lz, &radius);
  EXPECT_TRUE(IsUnderWater(lx, lz));
  EXPECT_LT(GroundHeight(lx, lz), LakeLevel());
  EXPECT_FALSE(IsUnderWater(lx + radius + 1, lz));
  Waypoint path[kRacePathCapacity];
  EXPECT_EQ(MakeWorldRacePath(0, path), -1);
  EXPECT_EQ(MakeWorldRacePath(31, path), -1);
}

TEST_F(ShippedWorld, AddModelsNameMaterialsOfTheirMainModels) {
  const std::pair<const char*, const char*> pairs[] = {
      {"add_map", "main_map"}, {"add_transparency", "main_transparency"}, {"add_transparency2", "main_transparency"}};
  for (const auto& [add, main] : pairs) {
    const auto a = Load(add), m = Load(main);
    for (int g = 0; g < a->groupCount; ++g) {
      EXPECT_GE(a->groups[g].materialIndex, 0) << add;
      EXPECT_LT(a->groups[g].materialIndex, m->materialCount) << add;
    }
  }
}

// Every path point of every race, for looking up what stands near a road.
std::vector<neV3> AllPathPoints() {
  std::vector<neV3> points;
  for (int race = 1; race <= 30; ++race) {
    EXPECT_TRUE(LoadRacePath(race));
    for (int k = 0; k <= gRacePathLast; ++k) points.push_back(gRacePath[k].position);
  }
  return points;
}

float NearestXz(const std::vector<neV3>& points, float x, float z) {
  float best = 1e30f;
  for (const neV3& p : points) best = std::min(best, (p.x - x) * (p.x - x) + (p.z - z) * (p.z - z));
  return std::sqrt(best);
}

TEST_F(ShippedWorld, TreesStandOnTheGroundOffTheRoadsOneKindPerGroup) {
  const auto trees = Load("trees");
  EXPECT_LE(trees->groupCount, 8);
  const std::vector<neV3> path = AllPathPoints();
  int checked = 0;
  for (int g = 0; g < trees->groupCount; ++g)
    for (int i = 0; i < trees->groups[g].triangleCount; i += 5, ++checked) {
      const ModelTriangle& t = trees->triangles[trees->groups[g].triangleIndices[i]];
      float c[3] = {0, 0, 0};
      for (int k = 0; k < 3; ++k)
        for (int a = 0; a < 3; ++a) c[a] += Corner(*trees, t, k)[a] / 3;
      ASSERT_LT(Area(*trees, t), 1.0f);
      ASSERT_NEAR(ground_->Drop(c[0], c[1] + 1, c[2], 3) - 1, 0.0f, 0.05f) << "tree off the ground";
      ASSERT_GT(NearestXz(path, c[0], c[2]), 12.0f) << "a tree on a road at " << c[0] << ", " << c[2];
    }
  EXPECT_GT(checked, 1000);
}

TEST_F(ShippedWorld, RacePathsFollowTheRoadsAsTrucksCanDriveThem) {
  const float maxGrade = std::tan(kMaxClimbDegrees * float(NE_PI_D) / 180.0f);
  for (int race = 1; race <= 30; ++race) {
    ASSERT_TRUE(LoadRacePath(race));
    const int n = gRacePathLast + 1;
    EXPECT_GE(gRacePathLast, 100) << race;
    EXPECT_LE(gRacePathLast, 1199) << race;
    auto at = [&](int k) { return gRacePath[((k % n) + n) % n].position; };
    for (int k = 0; k < n; ++k) {
      const neV3 p = at(k), q = at(k + 1);
      const float step = std::hypot(q.x - p.x, q.z - p.z);  // the last step closes the loop
      ASSERT_GT(step, 5.0f) << "race " << race << " point " << k;
      ASSERT_LT(step, 9.0f) << "race " << race << " point " << k;
      const float drop = ground_->Drop(p.x, p.y, p.z, 3.0f);
      ASSERT_NEAR(drop, kPathLift, kPathLiftTolerance) << "race " << race << " point " << k;
      // Sustained climbs over five points (about 35 units).
      const neV3 f = at(k + 5);
      ASSERT_LE(std::fabs(f.y - p.y) / std::hypot(f.x - p.x, f.z - p.z), maxGrade) << "race " << race << " point " << k;
      // Bend radius through points five apart on either side.
      const neV3 a = at(k - 5);
      const float ab = std::hypot(p.x - a.x, p.z - a.z), bc = std::hypot(f.x - p.x, f.z - p.z);
      const float ac = std::hypot(f.x - a.x, f.z - a.z);
      const float cross = std::fabs((p.x - a.x) * (f.z - a.z) - (p.z - a.z) * (f.x - a.x));
      const float radius = cross > 1e-3f ? ab * bc * ac / (2 * cross) : 1e9f;
      ASSERT_GE(radius, kMinBendRadius) << "race " << race << " point " << k;
    }
  }
}

TEST_F(ShippedWorld, EveryStartIsAFlatClearStraight) {
  const auto map = Load("main_map"), trees = Load("trees"), transparency = Load("main_transparency");
  for (int race = 1; race <= 30; ++race) {
    ASSERT_TRUE(LoadRacePath(race));
    const int n = gRacePathLast + 1;
    const neV3 p0 = gRacePath[0].position, ahead = gRacePath[2].position, behind = gRacePath[n - 3].position;
    // Straight: the heading from 20 behind to the start and on to 14 ahead agrees.
    const float h1 = std::atan2(p0.z - behind.z, p0.x - behind.x), h2 = std::atan2(ahead.z - p0.z, ahead.x - p0.x);
    EXPECT_LT(std::fabs(std::remainder(h1 - h2, 2 * float(NE_PI_D))), 0.035f) << race;
    const float fx = std::cos(h2), fz = std::sin(h2);
    const float ground0 = p0.y - ground_->Drop(p0.x, p0.y, p0.z, 3);
    // Flat over the whole grid, 12 wide from 20 behind to 10 ahead.
    for (float along = -kGridBehind; along <= kGridAhead; along += 2)
      for (float across = -kGridHalfWidth; across <= kGridHalfWidth; across += 2) {
        const float x = p0.x + fx * along - fz * across, z = p0.z + fz * along + fx * across;
        const float y = ground0 - ground_->Drop(x, ground0 + 5, z, 10) + 5;
        ASSERT_NEAR(y, ground0, 0.6f) << "race " << race << " grid at " << along << ", " << across;
      }
    // Clear: no map object, bush, fence or tree on the grid.
    for (const Model* model : {map.get(), trees.get(), transparency.get()})
      for (int i = 0; i < model->vertexCount; ++i) {
        const float* v = model->vertices[i].position;
        const float along = (v[0] - p0.x) * fx + (v[2] - p0.z) * fz;
        const float across = -(v[0] - p0.x) * fz + (v[2] - p0.z) * fx;
        ASSERT_FALSE(along > -kGridBehind - 2 && along < kGridAhead + 2 && std::fabs(across) < kGridHalfWidth + 2)
            << "race " << race << " has something on its grid";
      }
  }
}

// The world's section models as the world loader prepares them.
struct Sections {
  std::unique_ptr<MilkshapeModel> models[kSectionCount];
  QuadTreeSources sources;
  Sections() {
    const char* stems[kSectionCount] = {"main_road", "main_map", "main_transparency", "add_map", "add_transparency", "add_transparency2"};
    for (int s = 0; s < kSectionCount; ++s) {
      models[s] = Load(stems[s]);
      sources.sections[s] = models[s].get();
    }
    const auto linear = Load("main_road_linear");
    models[0]->BuildTangentSpace();
    models[0]->CopySecondTexCoords(*linear);
    models[0]->BuildSecondTangentSpace();
  }
};

TEST_F(ShippedWorld, QuadTreeFileReadsBackByteForByteWithItsLeavesInPlace) {
  Sections world;
  ASSERT_TRUE(CreateWorldQuadTree(world.sources));
  std::vector<uint8_t> file;
  ASSERT_TRUE(ReadWholeFile(kQuadTreeFile, kMaxAssetFileBytes, file));
  EXPECT_TRUE(EncodeQuadTreeFile(world.sources) == file) << "qt.qt does not round-trip";
  const struct {
    int leaf;
    float cx, cz;
  } centres[] = {{0, -1743.75f, -1743.75f}, {1, -1743.75f, -1631.25f}, {1023, 1743.75f, -1743.75f}};
  for (const auto& c : centres) {
    EXPECT_FLOAT_EQ(gQuadTreeLeaves[c.leaf].cx, c.cx);
    EXPECT_FLOAT_EQ(gQuadTreeLeaves[c.leaf].cz, c.cz);
    EXPECT_FLOAT_EQ(gQuadTreeLeaves[c.leaf].halfSize, 56.25f);
  }
  // Every main_road triangle is in some leaf, with its second tangent frame;
  // grass and trees are there in the numbers the models promise.
  long roadTriangles = 0, grass = 0, trees = 0;
  bool secondFrame = true;
  for (int l = 0; l < kQuadTreeLeafCount; ++l) {
    const QuadTreeList& leaf = gQuadTreeLeaves[l];
    for (int g = 0; g < world.models[0]->groupCount; ++g) {
      const Mesh& mesh = leaf.sectionMeshes[kSectionMainRoad][g];
      roadTriangles += mesh.count;
      for (int t = 0; t < mesh.count; ++t)
        secondFrame = secondFrame && (mesh.tris[t].tangent2[0][0] != 0 || mesh.tris[t].tangent2[0][1] != 0 ||
                                      mesh.tris[t].tangent2[0][2] != 0);
    }
    for (int k = 0; k < kGrassListCount; ++k) (k < kTreeListFirst ? grass : trees) += leaf.grass->count[k];
  }
  EXPECT_GE(roadTriangles, world.models[0]->triangleCount);
  EXPECT_TRUE(secondFrame);
  const auto grassModel = Load("grass"), treeModel = Load("trees");
  double grassArea = 0;
  for (int i = 0; i < grassModel->triangleCount; ++i) grassArea += Area(*grassModel, grassModel->triangles[i]);
  EXPECT_NEAR(double(grass), 0.3 * grassArea, 0.1 * 0.3 * grassArea);
  EXPECT_EQ(trees, treeModel->triangleCount);
  DestroyWorldQuadTree();
}

}  // namespace
