// Grass and tree vertex streams: what the Grass and Trees shaders receive
// per corner, which leaves are cut by distance, and the sway clocks.
#include "render/billboards.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Three leaves with one item of every kind each; item size = 10 + kind.
struct Leaves {
  GrassItem items[3][kGrassListCount];
  Grass grass[3];
  QuadTreeList records[3];
  float distSq[3];
  NodeList list;
  Leaves(float d0, float d1, float d2) {
    const float distances[3] = {d0, d1, d2};
    for (int l = 0; l < 3; ++l) {
      for (int k = 0; k < kGrassListCount; ++k) {
        items[l][k] = {float(l), float(k), 5.0f, 10.0f + k};
        grass[l].list[k] = &items[l][k];
        grass[l].count[k] = 1;
      }
      records[l].grass = &grass[l];
      distSq[l] = distances[l] * distances[l];
      list.leaf[list.count++] = l;
    }
  }
  ~Leaves() {
    for (Grass& g : grass)
      for (GrassItem*& p : g.list) p = nullptr;  // the items are ours, not the record's
    for (QuadTreeList& r : records) r.grass = nullptr;
  }
};

constexpr float kSight = 310.0f;

TEST(GrassStream, FourCornersPerTuftWithAtlasColumnAndTipSway) {
  Leaves leaves(10, 20, 30);
  Vector3 sway[kGrassKindCount];
  for (int k = 0; k < kGrassKindCount; ++k) sway[k] = Vector3(0.1f * k, 0, -0.1f * k);
  std::vector<BillboardVertex> out;
  BuildGrassStream(leaves.list, leaves.records, leaves.distSq, kSight, sway, out);
  ASSERT_EQ(out.size(), 3u * kGrassKindCount * 4);  // trees (kinds 8..15) are not grass
  for (int l = 0; l < 3; ++l)
    for (int k = 0; k < kGrassKindCount; ++k) {
      const BillboardVertex* q = &out[(l * kGrassKindCount + k) * 4];
      float c0 = k / 8.0f, c1 = (k + 1) / 8.0f;
      const float expected[4][3] = {{1, 0, c1}, {0, 0, c0}, {0, 1, c0}, {1, 1, c1}};
      for (int v = 0; v < 4; ++v) {
        SCOPED_TRACE(testing::Message() << "leaf " << l << " kind " << k << " corner " << v);
        EXPECT_EQ(q[v].position[0], float(l));
        EXPECT_EQ(q[v].position[1], float(k));
        EXPECT_EQ(q[v].tex0[0], expected[v][0]);
        EXPECT_EQ(q[v].tex0[1], expected[v][1]);
        EXPECT_FLOAT_EQ(q[v].tex0[2], expected[v][2]);
        EXPECT_EQ(q[v].tex0[3], 10.0f + k);
        bool tip = v >= 2;  // only the tip corners sway
        EXPECT_FLOAT_EQ(q[v].tex1[0], tip ? 0.1f * k : 0.0f);
        EXPECT_FLOAT_EQ(q[v].tex1[2], tip ? -0.1f * k : 0.0f);
      }
    }
}

TEST(GrassStream, LeafAtTheLimitIsCut) {
  const float limit = kSight - kGrassLeafMargin;  // 170
  Leaves leaves(limit - 0.01f, limit, limit + 5);
  Vector3 sway[kGrassKindCount];
  std::vector<BillboardVertex> out;
  BuildGrassStream(leaves.list, leaves.records, leaves.distSq, kSight, sway, out);
  ASSERT_EQ(out.size(), size_t(kGrassKindCount * 4));
  EXPECT_EQ(out[0].position[0], 0.0f);  // only the first leaf
}

TEST(TreeStream, BatchesTakeTheirKindsAndTheSecondIsMirrored) {
  Leaves leaves(10, 10, 10);
  for (int batch = 0; batch < 2; ++batch) {
    SCOPED_TRACE(batch);
    float colour[3] = {1, 1, 1};
    std::vector<BillboardVertex> out;
    BuildTreeStream(batch, leaves.list, leaves.records, leaves.distSq, kSight, colour, out);
    ASSERT_EQ(out.size(), 3u * kTreeKindsPerBatch * 4);
    const int kinds[2][4] = {{8, 10, 12, 14}, {9, 11, 13, 15}};
    const float columns[4][2] = {{0.5f, 0.75f}, {0.75f, 1.0f}, {0.0f, 0.25f}, {0.25f, 0.5f}};
    for (int k = 0; k < 4; ++k) {
      const BillboardVertex* q = &out[k * 4];
      EXPECT_EQ(q[0].position[1], float(kinds[batch][k]));
      EXPECT_EQ(q[0].tex0[3], 10.0f + kinds[batch][k]);
      const float st[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
      for (int v = 0; v < 4; ++v) {
        float s = batch == 0 ? st[v][0] : 1 - st[v][0];
        EXPECT_EQ(q[v].tex0[0], s);
        EXPECT_EQ(q[v].tex0[1], st[v][1]);
        EXPECT_EQ(q[v].tex0[2], v < 2 ? columns[k][0] : columns[k][1]);
      }
    }
  }
}

TEST(TreeStream, OnlyKinds11And13TintAndTheTintCarriesOn) {
  Leaves leaves(10, 10, 10);
  float colour[3] = {1, 1, 1};
  std::vector<BillboardVertex> batch1, batch2;
  BuildTreeStream(0, leaves.list, leaves.records, leaves.distSq, kSight, colour, batch1);
  for (const BillboardVertex& v : batch1) EXPECT_EQ(v.colour[0], 1.0f);
  BuildTreeStream(1, leaves.list, leaves.records, leaves.distSq, kSight, colour, batch2);
  // Per leaf: kind 9 carries the previous tint, 11 and 13 set their size, 15 carries 13's.
  const float expected[3][4] = {{1, 21, 23, 23}, {23, 21, 23, 23}, {23, 21, 23, 23}};
  for (int l = 0; l < 3; ++l)
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(batch2[(l * 4 + k) * 4].colour[0], expected[l][k]) << "leaf " << l << " kind " << k;
      EXPECT_EQ(batch2[(l * 4 + k) * 4].colour[1], 1.0f);
    }
}

TEST(TreeStream, LeafAtTheSightDistanceIsCut) {
  Leaves leaves(kSight - 0.01f, kSight, kSight + 1);
  float colour[3] = {1, 1, 1};
  std::vector<BillboardVertex> out;
  BuildTreeStream(0, leaves.list, leaves.records, leaves.distSq, kSight, colour, out);
  EXPECT_EQ(out.size(), size_t(kTreeKindsPerBatch * 4));
}

TEST(SwayClocks, BackwardSwingRunsFasterAndPhasesWrap) {
  EXPECT_FLOAT_EQ(AdvanceSwayPhase(1.0f, 0.1f, 0.5f), 1.1f);            // forward swing
  EXPECT_FLOAT_EQ(AdvanceSwayPhase(2.0f, 0.1f, 0.5f), 2.6f);            // backward swing
  EXPECT_FLOAT_EQ(AdvanceSwayPhase(6.0f, 0.0f, 0.5f), 6.0f);            // a frame factor of 0 stands still
  float wrapped = AdvanceSwayPhase(0.0f, 100.0f, 0.0f);
  EXPECT_GE(wrapped, 0.0f);
  EXPECT_LE(wrapped, 6.2831855f);
  float phases[4] = {};
  AdvanceGrassSway(phases, 0.0f);
  for (float p : phases) EXPECT_EQ(p, 0.0f);
  AdvanceGrassSway(phases, 10.0f);
  EXPECT_FLOAT_EQ(phases[0], 0.125f);
  EXPECT_EQ(phases[1], phases[2]);  // same law from the same start
}

TEST(SwayClocks, GrassVectorsLieFlat) {
  float phases[4] = {0.5f, 1.0f, 1.0f, 2.0f};
  Vector3 sway[kGrassKindCount];
  GrassSwayVectors(phases, 3.0f, sway);
  for (const Vector3& s : sway) EXPECT_EQ(s.y, 0.0f);
  float a0 = (6 - std::sin(0.5f)) * 0.0875f;
  EXPECT_FLOAT_EQ(sway[0].x, std::sin(0.5f) * a0);
  EXPECT_FLOAT_EQ(sway[7].z, std::cos(2.0f) * (6 - std::sin(2.0f)) * 0.06f);
  EXPECT_FLOAT_EQ(sway[1].x, 0.25f * std::sin(0.75f * 3.0f * 1.8125f + 0.87f));
  EXPECT_LT(std::fabs(sway[3].x), std::fabs(sway[2].x));  // same phase, smaller amplitude
}

TEST(TreeAxes, LeanAcrossTheViewAndVanishLookingStraightDown) {
  Vector3 right, up;
  TreeBillboardAxes(Vector3(0, 0, -1), 0.0f, 6.0f, 0.045f, right, up);  // no sway: upright
  EXPECT_NEAR(up.y, 2.9f, 1e-5f);
  EXPECT_NEAR(right.Length(), 2.9f, 1e-5f);
  EXPECT_NEAR(right.x, -2.9f, 1e-5f);  // Up x D with D = -z
  TreeBillboardAxes(Vector3(0, 0, -1), 1.0f, 6.0f, 0.045f, right, up);
  EXPECT_NEAR(up.Length(), 2.9f, 1e-4f);
  EXPECT_GT(std::fabs(up.x), 0.01f);  // leans
  TreeBillboardAxes(Vector3(0, -1, 0), 1.0f, 6.0f, 0.045f, right, up);
  EXPECT_NEAR(up.y, 2.9f, 1e-5f);
  EXPECT_EQ(right.Length(), 0.0f);
}

}  // namespace
