// STAND-IN until the opponent driver lands with the whole-race work: an
// opponent is held on the grid during the start countdown like every
// racer, and otherwise coasts with no drive and no steering. Replace this
// file; the declaration in racer.h stays.
#include "world/race_state.h"
#include "world/racer.h"

#include <cmath>

void CSampleCar::UpdateOpponent(float) {
  isOpponent = 1;
  velocity = body->GetVelocity();
  speed = std::sqrt(velocity.Dot(velocity));
  driveForce = 0.0f;
  steerInput = 0.0f;
  if (gStartHold) {
    driveForce = 0.01f;
    body->SetVelocity(neMakeV3(0, 0, 0));
    body->SetAngularMomentum(neMakeV3(0, 0, 0));
    brakeLight = 1.0f;
  }
}
