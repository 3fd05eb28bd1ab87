// What the race tick's camera and culling stages leave for the race frame
// over a world quadtree, and the listener they move.
#include "app/race_tick.h"

#include "framework/globals.h"
#include "framework/settings.h"
#include "framework/sound.h"
#include "render/race_view.h"
#include "tests/support/race_scene.h"
#include "world/player.h"
#include "world/quadtree.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

bool Lists(const NodeList& list, int leaf) { return std::set<int>(list.leaf, list.leaf + list.count).count(leaf) > 0; }

int LeafAt(const neV3& p) {
  const QuadTree* node = gQuadTreeRoot;
  while (!node->isLeaf) node = node->child[p.x < node->cx ? (p.z < node->cz ? 0 : 1) : (p.z < node->cz ? 3 : 2)];
  return node->leafIndex;
}

TEST(RaceTickView, FillsTheLeafListsAndMovesTheListener) {
  setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card on the test machines
  ASSERT_TRUE(OpenSoundDevice());
  RaceScene scene;
  gQuadTreeRoot = CreateStandardTree();  // the standard tree as the world's
  gQuadTreeLeaves = new QuadTreeList[kQuadTreeLeafCount];
  gQuadTreeRoot->ForEachLeaf([](const QuadTree& node) {
    gQuadTreeLeaves[node.leafIndex].cx = node.cx;
    gQuadTreeLeaves[node.leafIndex].cz = node.cz;
  });
  const int32_t savedShadowMap = gShadowMapSize;
  gShadowMapSize = 1024;
  scene.Press(kControlAccelerate);
  for (int i = 0; i < 50; ++i) RunRaceTick(0.02f);
  const neV3 drawnEye = gRaceViewCopies.cameraEye;  // the frame now being drawn
  RunRaceTick(0.02f);

  const neV3 truck = scene.player().body->GetPos();
  const neV3 ahead = truck + neMakeV3(150, 0, 0);  // the path runs along +x
  EXPECT_TRUE(Lists(gSimCameraLeaves, LeafAt(truck)));
  EXPECT_TRUE(Lists(gSimCameraLeaves, LeafAt(ahead)));
  EXPECT_FALSE(Lists(gSimCameraLeaves, LeafAt(truck - neMakeV3(150, 0, 0))));
  EXPECT_EQ(gRaceViewCopies.cameraLeaves.count, gSimCameraLeaves.count);
  EXPECT_EQ(gRaceViewCopies.racerVisible[0], 1);
  const QuadTreeList& leaf = gQuadTreeLeaves[LeafAt(ahead)];
  EXPECT_FLOAT_EQ(leaf.cameraDistSq, (drawnEye.x - leaf.cx) * (drawnEye.x - leaf.cx) +
                                         (drawnEye.z - leaf.cz) * (drawnEye.z - leaf.cz));
  EXPECT_TRUE(Lists(gSimLightLeaves, LeafAt(gSimCameraLookAt)));
  EXPECT_LT(gSimLightLeaves.count, 100);  // the sun's narrow view, not the world
  for (int face = 0; face < kCubeFaceCount; ++face) EXPECT_TRUE(Lists(gSimCubeFaceLeaves[face], LeafAt(gSimCameraEye)));

  float x = 0, y = 0, z = 0;
  alGetListener3f(AL_POSITION, &x, &y, &z);
  EXPECT_EQ(x, drawnEye.x);
  EXPECT_EQ(z, drawnEye.z);
  alGetListener3f(AL_VELOCITY, &x, &y, &z);
  EXPECT_EQ(x, scene.player().body->GetVelocity().x);

  // The far plane follows the sight range: the shortest lists fewer leaves.
  const float savedSight = gSightDistance;
  int listed[kSightRangeCount] = {};
  for (int range : {0, kSightRangeCount - 1}) {
    gSightDistance = kSightDistances[range];
    RunRaceTick(0.02f);
    listed[range] = gSimCameraLeaves.count;
  }
  gSightDistance = savedSight;
  EXPECT_LT(listed[0], listed[kSightRangeCount - 1]);

  DestroyWorldQuadTree();
  gShadowMapSize = savedShadowMap;
  CloseSoundDevice();
}

}  // namespace
