// Props: built from a track's marker model, given bodies with the physics
// world, woken by the player, knocked, settled and put back at rest.
#include "tests/support/race_scene.h"

#include "world/city_object.h"
#include "world/physics_world.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A marker triangle placing a prop of `type` at `at`, upright, its x axis
// along +x.
MarkerTriangle PropAt(int type, neV3 at) {
  return {type, {at + neMakeV3(1, 0, 0), at, at + neMakeV3(0, 1, 0)}};
}

void BuildProps(const std::vector<MarkerTriangle>& markers) {
  std::unique_ptr<Model> model(MakeMarkerModel(markers));
  BuildCityObjectsFromModel(*model);
}

void ExpectNear(const neV3& a, const neV3& b, float tolerance = 1e-5f) {
  EXPECT_NEAR(a.x, b.x, tolerance);
  EXPECT_NEAR(a.y, b.y, tolerance);
  EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST(PropBuilder, PlacesAPropAtCornerOneOrientedByItsEdges) {
  BuildProps({{0, {neMakeV3(1, 0, 0), neMakeV3(0, 0, 0), neMakeV3(0, 0, 1)}}});
  ASSERT_EQ(gCityObjectCount, 1);
  const CityObject& prop = gCityObjects[0];
  ExpectNear(prop.restPosition, neMakeV3(0, 0, 0));
  ExpectNear(prop.restOrientation[0], neMakeV3(1, 0, 0));
  ExpectNear(prop.restOrientation[1], neMakeV3(0, 0, 1));
  ExpectNear(prop.restOrientation[2], neMakeV3(0, -1, 0));
  EXPECT_EQ(prop.type, 0);
  EXPECT_EQ(prop.partCount, 1);
  EXPECT_FLOAT_EQ(prop.crashCoolDown, 10.0f);
  BuildProps({{0, {neMakeV3(2.65e-23f, 0, 0), neMakeV3(0, 0, 0), neMakeV3(0, 0, 1)}}});  // too short an edge
  ExpectNear(gCityObjects[0].restOrientation[0], neMakeV3(0, 0, 0), 0.0f);  // has no direction, not a 0.7-long one
  DestroyPhysicsWorld();
  EXPECT_EQ(gCityObjectCount, 0);
}

TEST(PropBuilder, StopsAtTheThousandSlots) {
  std::vector<MarkerTriangle> markers;
  for (int i = 0; i < kCityObjectCapacity + 20; ++i) markers.push_back(PropAt(0, neMakeV3(float(i), 0, 0)));
  BuildProps(markers);
  EXPECT_EQ(gCityObjectCount, kCityObjectCapacity);
  ExpectNear(gCityObjects[kCityObjectCapacity - 1].restPosition, neMakeV3(kCityObjectCapacity - 1.0f, 0, 0));
  DestroyPhysicsWorld();
}

TEST(PropBuilder, GroupsPastThePartTablesMakePropsWithoutBodies) {
  BuildProps({PropAt(17, neMakeV3(40, 0, 40)), PropAt(18, neMakeV3(50, 0, 40)), PropAt(35, neMakeV3(60, 0, 40))});
  ASSERT_EQ(gCityObjectCount, 3);
  RaceScene scene;
  EXPECT_EQ(gCityObjects[0].bodyCount, 1);
  EXPECT_EQ(gCityObjects[1].bodyCount, 0);
  EXPECT_EQ(gCityObjects[2].type, 35);
  EXPECT_EQ(gCityObjects[2].partCount, 0);
  EXPECT_EQ(gCityObjects[2].bodyCount, 0);
  scene.Frames(5);  // nothing to update for them, nothing read past the tables
}

TEST(PropBodies, ARowOfThreeBarrelsGetsThreeBodiesAtOffsetsTurnedWithTheProp) {
  // Turned a quarter round: x along -z, z along +x.
  const neV3 at = neMakeV3(30, 0.5f, 60);
  BuildProps({{14, {at + neMakeV3(0, 0, -1), at, at + neMakeV3(0, 1, 0)}}});
  RaceScene scene;
  const CityObject& prop = gCityObjects[0];
  ASSERT_EQ(prop.bodyCount, 3);
  const neV3 expected[3] = {neMakeV3(0, 0.82f, 0), neMakeV3(0, 0.82f, -1.1f), neMakeV3(0, 0.82f, 1.1f)};
  for (int j = 0; j < 3; ++j) {
    ExpectNear(prop.partOffsets[j], expected[j]);
    ExpectNear(prop.partBodies[j]->GetPos(), at + expected[j]);
    EXPECT_EQ(prop.partBodies[j]->GetUserData(), 0u);
    EXPECT_FALSE(prop.partBodies[j]->IsActive());
  }
}

// Barrels floating 0.5 above the flat ground (so no contact moves them),
// around the player's grid place (-10, 3): one 12 away, one 9.9 away, one
// at a place whose coordinates hold a tenth's push without rounding.
struct PropsNearThePlayer : ::testing::Test {
  void SetUp() override {
    BuildProps({PropAt(0, neMakeV3(-10, 0.5f, 15)), PropAt(0, neMakeV3(-10, 0.5f, 3 - 9.9f)),
                PropAt(0, neMakeV3(-4, 0.5f, 0))});
    scene = std::make_unique<RaceScene>();
    scene->ParkOpponents();
    scene->Frames(50);
    player = gRacers[0].body->GetPos();
  }
  void MovePlayerTo(float x, float z) {
    gRacers[0].body->SetPos(neMakeV3(x, player.y, z));
    gRacers[0].body->SetVelocity(neMakeV3(0, 0, 0));
  }
  CityObject& far() { return gCityObjects[0]; }
  CityObject& near() { return gCityObjects[1]; }
  CityObject& beside() { return gCityObjects[2]; }
  std::unique_ptr<RaceScene> scene;
  neV3 player;
};

TEST_F(PropsNearThePlayer, OnlyThePropWithinTenWakes) {
  EXPECT_NEAR(player.x, -10.0f, 0.05f);
  EXPECT_NEAR(player.z, 3.0f, 0.05f);
  EXPECT_FALSE(far().awake);
  EXPECT_FALSE(far().partBodies[0]->IsActive());
  EXPECT_TRUE(near().awake);
  EXPECT_TRUE(near().partBodies[0]->IsActive());
  EXPECT_FALSE(near().partBodies[0]->IsGravityEnabled());
  EXPECT_NEAR(far().playerDistSq, 144.0f, 2.0f);
}

TEST_F(PropsNearThePlayer, APushOfMoreThanATenthKnocksEveryPart) {
  ASSERT_TRUE(beside().awake);
  neRigidBody* barrel = beside().partBodies[0];
  const neV3 rest = beside().restPosition + beside().partOffsets[0];
  barrel->SetPos(rest + neMakeV3(0.1f, 0, 0));
  scene->Frame();
  EXPECT_FALSE(beside().knocked[0]);
  EXPECT_FALSE(barrel->IsGravityEnabled());
  barrel->SetPos(rest + neMakeV3(0.11f, 0, 0));
  scene->Frame();
  EXPECT_TRUE(beside().knocked[0]);
  EXPECT_TRUE(barrel->IsGravityEnabled());
  scene->Frames(50);
  EXPECT_LT(barrel->GetPos().y, rest.y - 0.3f);  // fallen onto the ground
}

TEST_F(PropsNearThePlayer, SettlesOnlyWhenTheKnockedPartsAreFiftyAwayThenGoesBackToRest) {
  CityObject& prop = near();
  neRigidBody* barrel = prop.partBodies[0];
  const neV3 rest = prop.restPosition + prop.partOffsets[0];
  barrel->SetPos(rest + neMakeV3(0.5f, 0, 0));
  scene->Frame();
  ASSERT_TRUE(prop.knocked[0]);

  // The player 20 away, the knocked barrel 40 from the player: not settled.
  const float px = prop.restPosition.x - 20.0f, pz = prop.restPosition.z;
  MovePlayerTo(px, pz);
  barrel->SetPos(neMakeV3(px + 40.0f, 5.0f, pz));
  scene->Frame();
  EXPECT_TRUE(prop.awake);
  EXPECT_FALSE(prop.settled);
  EXPECT_TRUE(prop.knocked[0]);

  MovePlayerTo(px, pz);
  barrel->SetPos(neMakeV3(px + 51.0f, 5.0f, pz));
  scene->Frame();
  EXPECT_TRUE(prop.settled);
  EXPECT_FALSE(prop.knocked[0]);
  EXPECT_FALSE(barrel->IsGravityEnabled());
  EXPECT_TRUE(prop.awake);

  MovePlayerTo(px, pz);
  scene->Frame();
  EXPECT_FALSE(prop.awake);
  EXPECT_FALSE(barrel->IsActive());
  const neV3 back = barrel->GetPos();
  EXPECT_EQ(back.x, rest.x);
  EXPECT_EQ(back.y, rest.y);
  EXPECT_EQ(back.z, rest.z);
  const neM3 r = barrel->GetRotationM3();
  for (int c = 0; c < 3; ++c) ExpectNear(r[c], prop.restOrientation[c], 0.0f);
  EXPECT_EQ(barrel->GetVelocity().Length(), 0.0f);
}

TEST_F(PropsNearThePlayer, WokenAgainItMayEarnTheHitBonusAgain) {
  near().hitBonusGiven = 1;
  MovePlayerTo(near().restPosition.x + 30.0f, near().restPosition.z);
  scene->Frames(2);  // settled (never knocked), then put back
  ASSERT_FALSE(near().awake);
  MovePlayerTo(near().restPosition.x + 5.0f, near().restPosition.z);
  scene->Frame();
  EXPECT_TRUE(near().awake);
  EXPECT_FALSE(near().hitBonusGiven);
  EXPECT_FLOAT_EQ(near().crashCoolDown, 10.0f);
}
