// The rules that answer the rows of one solve: resting contacts (kind 2)
// and joint rows (kinds 3 to 10), measured and dispatched by neImpulse.
// The iteration over all rows and the stack phases are neSimulator members.
#pragma once

#include "math/ne_math.h"
#include "physics/collision.h"

struct neSimulator;

// Joint rows correct half of their velocity error per answer.
constexpr f32 NE_JOINT_RELAXATION = 0.5f;
// A point row corrects at most this much position error per step (m/s × Δt).
constexpr f32 NE_JOINT_MAX_CORRECTION = 0.05f;
// A twist row corrects at most this much angle error per answer (rad).
constexpr f32 NE_TWIST_MAX_CORRECTION = 0.1f;
// Iterations per pass when a solve asks for the default (−1).
constexpr s32 NE_DEFAULT_ITERATIONS = 4;
// Iterations per pass of a stack solve.
constexpr s32 NE_STACK_ITERATIONS = 2;

// Measures the row's velocity into the record and answers it by its kind;
// the recovery speed for kind 2, else 0. Kinds without a rule return 0.
f32 neImpulse(neSimulator& sim, neCollisionResult& record);

// The joint-row rules; each reads the velocity neImpulse stored (kinds 7, 8
// and 10 measure their own) and returns 0.
f32 neImpulseKind3(neCollisionResult& record, neSimulator& sim);
f32 neImpulseKind4(neCollisionResult& record, neSimulator& sim);
f32 neImpulseKind5(neCollisionResult& record, neSimulator& sim);
f32 neImpulseKind6(neCollisionResult& record, neSimulator& sim);
f32 neImpulseKind7(neCollisionResult& record, neSimulator& sim);
f32 neImpulseKind8(neCollisionResult& record, neSimulator& sim);
f32 neImpulseKind10(neCollisionResult& record, neSimulator& sim);
