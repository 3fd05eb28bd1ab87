// The opponent driver: its catch-up against the player, the bend speed, the
// look-ahead along a closed path, the stuck clocks, and its engine on the
// start line, on the test terrain.
#include "tests/support/race_scene.h"

#include "framework/globals.h"
#include "framework/sound.h"
#include "world/opponent.h"
#include "world/race_path.h"
#include "world/race_state.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kFramesPerSecond = 50;  // of kSceneFrameSeconds

struct CatchUpCase {
  float gap, lead;
  float factor, speedCap;
};

}  // namespace

TEST(OpponentCatchUp, SlowsTheLeadersAndHurriesThoseBehind) {
  const CatchUpCase cases[] = {
      {-12.0f, -12.0f, 0.5f, 10.0f},              // 12 ahead of the player + 10, and leading
      {-12.0f, -20.0f, 0.5f, 10.0f},              // the cap never falls below 10
      {-1.0f, -2.0f, 0.5f, 31.0f},  // 1 - 0.75 lifted to 0.5; cap 32 - 4 x 0.25
      {-0.5f, -0.5f, 1.0f - 0.25f * 0.75f, 32.0f - 0.0625f},
      {0.0f, 0.0f, 1.0f, 32.0f},
      {5.0f, 0.0f, 1.0f + std::pow(5.0f, 2.5f) * 0.01f, 32.0f},
      {15.0f, 0.0f, 2.0f, 32.0f},  // 9.71 limited to 2
  };
  for (const CatchUpCase& c : cases) {
    const CatchUp result = OpponentCatchUp(c.gap, c.lead);
    EXPECT_NEAR(result.factor, c.factor, 1e-4f) << "gap " << c.gap;
    EXPECT_NEAR(result.speedCap, c.speedCap, 1e-4f) << "gap " << c.gap;
  }
}

TEST(OpponentBends, TargetSpeedFallsWithTheBendAheadButNeverBelowThree) {
  EXPECT_FLOAT_EQ(BendTargetSpeed(32.0f, 0.7f), 16.0f);
  EXPECT_FLOAT_EQ(BendTargetSpeed(32.0f, -0.7f), 16.0f);
  EXPECT_FLOAT_EQ(BendTargetSpeed(32.0f, 0.2f), 32.0f);
  EXPECT_NEAR(BendTargetSpeed(32.0f, 2.0f), 3.2f, 1e-5f);
  EXPECT_FLOAT_EQ(BendTargetSpeed(10.0f, 3.0f), 3.0f);
}

TEST(OpponentLookAhead, ReachesFurtherAtSpeedWrapsPastTheLastPointAndNeverFallsBack) {
  EXPECT_EQ(NextLookAhead(10, 0, 20.0f, 100), 18);  // at least 8 beyond the new target
  EXPECT_EQ(NextLookAhead(10, 0, 0.0f, 100), 11);
  EXPECT_EQ(NextLookAhead(98, 90, 20.0f, 100), 5);  // 106 wraps to 5
  EXPECT_EQ(NextLookAhead(100, 100, 0.0f, 100), 0);
  EXPECT_EQ(NextLookAhead(12, 30, 0.0f, 100), 30);
}

// A scene with the player parked and opponent 1 held fast where it stands
// (out of the simulation), wanting to drive along the path.
struct HeldOpponent : ::testing::Test {
  void SetUp() override {
    scene.ParkOpponents();
    car().body->SetVelocity(neMakeV3(0, 0, 0));
    car().stuckTime = car().reverseTime = 0.0f;
    car().reversing = 0;
  }
  Racer& car() { return gRacers[1]; }
  RaceScene scene;
};

TEST_F(HeldOpponent, ReversesAfterThreeSecondsStuckForOneAndAHalfSeconds) {
  scene.Frames(3 * kFramesPerSecond - 2);
  EXPECT_FALSE(car().reversing);
  scene.Frames(3);
  ASSERT_TRUE(car().reversing);
  scene.Frame();
  EXPECT_EQ(car().gear, -1);
  EXPECT_LT(car().driveForce, 0.0f);
  EXPECT_EQ(car().reverseLight, 1.0f);
  // The reverse clock runs back at twice the rate: 1.5 s.
  scene.Frames(kFramesPerSecond * 3 / 2 - 3);
  EXPECT_TRUE(car().reversing);
  scene.Frames(3);
  EXPECT_FALSE(car().reversing);
}

TEST_F(HeldOpponent, TheUnstickClockRestartsWhileReversingSoAStuckTruckIsNeverLiftedByIt) {
  const float startY = car().body->GetPos().y;
  float longestStuck = 0.0f;
  for (int i = 0; i < 12 * kFramesPerSecond; ++i) {
    scene.Frame();
    longestStuck = std::fmax(longestStuck, car().stuckTime);
  }
  EXPECT_LT(longestStuck, kOpponentReverseAfter + 0.05f);
  EXPECT_FLOAT_EQ(car().body->GetPos().y, startY);
}

TEST_F(HeldOpponent, IsLiftedOnlyOnceItsStuckClockPassesFourAndAHalfSeconds) {
  const neV3 start = car().body->GetPos();
  car().stuckTime = kOpponentUnstickAfter - 0.1f;
  scene.Frames(4);  // 0.08 s
  EXPECT_FLOAT_EQ(car().body->GetPos().y, start.y);
  scene.Frames(2);
  const neV3 lifted = car().body->GetPos();
  EXPECT_NEAR(lifted.y, start.y + 2.0f, 1e-4f);
  EXPECT_FLOAT_EQ(lifted.x, start.x);
  EXPECT_FLOAT_EQ(lifted.z, start.z);
  EXPECT_FLOAT_EQ(car().stuckTime, 0.0f);  // restarted
  EXPECT_FALSE(car().reversing);
}

TEST(OpponentStart, HeldOnTheLineItIdlesThenBlipsItsEngine) {
  RaceScene scene;
  gStartHold = 1;
  Racer& car = gRacers[2];
  car.revPhase = 1.0f;  // idling: the phase creeps toward 3, then restarts at 0
  scene.Frame();
  EXPECT_FLOAT_EQ(car.rpm, 1000.0f);
  EXPECT_EQ(car.brakeLight, 1.0f);
  EXPECT_FLOAT_EQ(car.driveForce, 0.01f);
  car.revPhase = 0.5f;  // mid-blip: sin(0.5 x 3.14) x 10000 + 1000, held to 7500
  scene.Frame();
  EXPECT_FLOAT_EQ(car.rpm, 7500.0f);
  EXPECT_FLOAT_EQ(car.displayRpm, 7500.0f);
  EXPECT_GT(car.spinThrottle, 0.9f);
  const neV3 v = car.body->GetVelocity();  // held: only the step's gravity moves it
  EXPECT_LT(std::hypot(v.x, v.z), 1e-3f);
  gStartHold = 0;
}

TEST(OpponentSounds, IdlingOnTheLineEachEngineIsPitchedByItsSlot) {
  setenv("ALSOFT_DRIVERS", "null", 0);  // no sound card on the test machines
  ASSERT_TRUE(OpenSoundDevice());
  for (Sound& engine : gSndOpponentEngine) engine.Load("no-such-engine.wav", true);  // a silent source will do
  {
    RaceScene scene;
    gStartHold = 1;
    for (int i = 1; i < kRacerCount; ++i) gRacers[i].revPhase = 1.0f;  // idling, not blipping
    scene.Frames(3);
    gStartHold = 0;
    // Idle revolutions (1000) with the player standing: gain 1 x 0.15; pitch
    // (1 + (slot - 2) x 0.1) x 0.4.
    const float pitch[] = {0.36f, 0.40f, 0.44f};
    for (int i = 0; i < 3; ++i) {
      ALfloat gain = -1, p = -1;
      alGetSourcef(gSndOpponentEngine[i].source, AL_GAIN, &gain);
      alGetSourcef(gSndOpponentEngine[i].source, AL_PITCH, &p);
      EXPECT_NEAR(gain, 0.15f, 1e-5f) << "opponent " << i + 1;
      EXPECT_NEAR(p, pitch[i], 1e-5f) << "opponent " << i + 1;
    }
  }
  ReleaseAllSounds();
  CloseSoundDevice();
}
