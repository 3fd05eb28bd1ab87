#include "physics/controller.h"

#include "physics/body.h"

bool neController::CountDown() {
    if (countdown == 0) {
        countdown = period;
        return true;
    }
    --countdown;
    return false;
}

void neController::SetControllerForceWithTorque(const neV3& f, const neV3& worldPoint) {
    force = f;
    torque = rigidBody ? (worldPoint - rigidBody->GetPos()).Cross(f) : neMakeV3(0, 0, 0);
}
