// What the race tick's camera and culling stages leave for the race frame:
// the leaf lists of the camera, the sun and the cube faces over a world
// quadtree, the leaves' camera distances, and the listener at the eye.
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
#include <memory>

namespace {

constexpr float kTick = 0.02f;

bool Lists(const NodeList& list, int leaf) {
  for (int i = 0; i < list.count; ++i)
    if (list.leaf[i] == leaf) return true;
  return false;
}

// The standard tree as the world's, with leaf records that know their squares.
class RaceTickView : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card on the test machines
    ASSERT_TRUE(OpenSoundDevice());
  }
  static void TearDownTestSuite() { CloseSoundDevice(); }

  void SetUp() override {
    gQuadTreeRoot = CreateStandardTree();
    gQuadTreeLeaves = new QuadTreeList[kQuadTreeLeafCount];
    gQuadTreeRoot->ForEachLeaf([](const QuadTree& node) {
      gQuadTreeLeaves[node.leafIndex].cx = node.cx;
      gQuadTreeLeaves[node.leafIndex].cz = node.cz;
      gQuadTreeLeaves[node.leafIndex].halfSize = node.halfSize;
    });
  }
  void TearDown() override { DestroyWorldQuadTree(); }

  static int LeafAt(const neV3& p) {
    const QuadTree* node = gQuadTreeRoot;
    while (!node->isLeaf) node = node->child[p.x < node->cx ? (p.z < node->cz ? 0 : 1) : (p.z < node->cz ? 3 : 2)];
    return node->leafIndex;
  }
};

TEST_F(RaceTickView, FillsTheCameraListWithTheLeavesAheadAndTheirDistances) {
  RaceScene scene;
  for (int i = 0; i < 3; ++i) RunRaceTick(kTick);
  const neV3 truck = scene.player().body->GetPos();
  const neV3 ahead = truck + neMakeV3(150, 0, 0);  // the path runs along +x
  const neV3 behind = truck - neMakeV3(150, 0, 0);
  EXPECT_TRUE(Lists(gSimCameraLeaves, LeafAt(truck)));
  EXPECT_TRUE(Lists(gSimCameraLeaves, LeafAt(ahead)));
  EXPECT_FALSE(Lists(gSimCameraLeaves, LeafAt(behind)));
  EXPECT_EQ(gRaceViewCopies.cameraLeaves.count, gSimCameraLeaves.count);

  // Distances from the eye of the frame being drawn: the one handed over
  // by the tick before.
  const neV3 drawnEye = gRaceViewCopies.cameraEye;
  RunRaceTick(kTick);
  const QuadTreeList& leaf = gQuadTreeLeaves[LeafAt(ahead)];
  const float dx = drawnEye.x - leaf.cx, dz = drawnEye.z - leaf.cz;
  EXPECT_FLOAT_EQ(leaf.cameraDistSq, dx * dx + dz * dz);
}

TEST_F(RaceTickView, TheSunsListOnlyWithShadowsOnAndTheFaceListsAroundTheEye) {
  RaceScene scene;
  const int32_t savedShadowMap = gShadowMapSize, savedReflection = gReflectionMode;
  gReflectionMode = 2;
  gShadowMapSize = 16;
  gSimLightLeaves.count = 0;
  RunRaceTick(kTick);
  EXPECT_EQ(gSimLightLeaves.count, 0);  // shadows off: the list keeps its last contents

  gShadowMapSize = 1024;
  RunRaceTick(kTick);
  const int eyeLeaf = LeafAt(gSimCameraEye);
  EXPECT_TRUE(Lists(gSimLightLeaves, LeafAt(gSimCameraLookAt)));
  EXPECT_GT(gSimLightLeaves.count, 0);
  EXPECT_LT(gSimLightLeaves.count, 100);  // the sun's narrow view, not the world
  for (int face = 0; face < kCubeFaceCount; ++face) {
    EXPECT_TRUE(Lists(gSimCubeFaceLeaves[face], eyeLeaf)) << "face " << face;
    // Within 55 of the eye; the upward face looks along the leaf boxes'
    // 250-unit height, which the plane-by-plane test keeps more of.
    if (face != 2) {
      EXPECT_LE(gSimCubeFaceLeaves[face].count, 9) << "face " << face;
    }
  }
  gShadowMapSize = savedShadowMap;
  gReflectionMode = savedReflection;
}

TEST_F(RaceTickView, NoWorldLeavesEveryListEmpty) {
  RaceScene scene;
  DestroyWorldQuadTree();
  gShadowMapSize = 1024;
  RunRaceTick(kTick);
  EXPECT_EQ(gSimCameraLeaves.count, 0);
  EXPECT_EQ(gSimLightLeaves.count, 0);
  for (const NodeList& face : gSimCubeFaceLeaves) EXPECT_EQ(face.count, 0);
}

TEST_F(RaceTickView, TheListenerHearsFromTheDrawnFramesEyeWithTheTrucksVelocity) {
  RaceScene scene;
  scene.Press(kControlAccelerate);
  for (int i = 0; i < 50; ++i) RunRaceTick(kTick);
  const neV3 drawnEye = gRaceViewCopies.cameraEye;
  RunRaceTick(kTick);
  float x = 0, y = 0, z = 0;
  alGetListener3f(AL_POSITION, &x, &y, &z);
  EXPECT_EQ(x, drawnEye.x);
  EXPECT_EQ(y, drawnEye.y);
  EXPECT_EQ(z, drawnEye.z);
  alGetListener3f(AL_VELOCITY, &x, &y, &z);
  EXPECT_EQ(x, scene.player().body->GetVelocity().x);
  EXPECT_GT(x, 1.0f);
}

}  // namespace
