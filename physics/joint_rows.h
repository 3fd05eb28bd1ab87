// The rules that answer the joint rows (kinds 3 to 10 of neImpulseKind),
// and the dispatcher over every kind the iteration answers:
// each measures the row's velocity, computes an impulse and applies it to
// the two bodies. Rows are built by the constraint solver, with their
// matrices, and answered many times per step by the iteration.
#pragma once

#include "math/ne_math.h"
#include "physics/collision.h"

struct neSimulatorCore;

namespace neCollisionResponse {

// Measures the record's velocity and answers it by its kind: resting
// contacts by the contact rule, joint rows by theirs. Returns the rule's
// value (the recovery speed for a resting contact, else 0).
f32 Impulse(neSimulatorCore* sim, neCollisionResult& record);

f32 ImpulseKind3(neCollisionResult& row, neSimulatorCore* sim);
f32 ImpulseKind4(neCollisionResult& row, neSimulatorCore* sim);
f32 ImpulseKind5(neCollisionResult& row, neSimulatorCore* sim);
f32 ImpulseKind6(neCollisionResult& row, neSimulatorCore* sim);
f32 ImpulseKind7(neCollisionResult& row, neSimulatorCore* sim);
f32 ImpulseKind8(neCollisionResult& row, neSimulatorCore* sim);
f32 ImpulseKind10(neCollisionResult& row, neSimulatorCore* sim);

}  // namespace neCollisionResponse
