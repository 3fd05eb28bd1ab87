// The resting-contact stacks: how contacts join rigid bodies into stacks,
// how a stack is solved, regrouped and put to sleep.
#pragma once

#include "math/ne_math.h"
#include "physics/stack_records.h"

struct neBody;
struct neCollisionResult;
struct neRigidBody;
struct neSimulatorCore;

// Support classes of a resting body (how well its contacts carry it).
constexpr s32 NE_SUPPORT_NONE = 0;
constexpr s32 NE_SUPPORT_POINT = 1;
constexpr s32 NE_SUPPORT_EDGE = 2;
constexpr s32 NE_SUPPORT_FULL = 3;

// ---- Hooks of the stack code used by the motion and the step ----

// Support class (NE_SUPPORT_*) of a body from its supports at the last solve.
s32 neStackCheck(neRigidBody* body);
// The rest test at the end of a step, for a moving body in no constraint set:
// counts idle steps and may put the body to sleep.
void neStackUpdateBody(neRigidBody* body);
// Frees a used entry: out of its other body's supported list, kind 0.
void neUnlinkContactEntry(neContactEntry* entry);
// Takes the body's node out of its stack and returns it to the pool.
void neStackRemoveBody(neRigidBody* body);

// A contact on which a rigid body comes to rest, handed to the stacks by the
// collision response. Points and normal are kept in the bodies' own spaces.
struct neRestingContact {
    neV3 pointOnBody;   // the body's space
    neV3 pointOnOther;  // the other body's space
    neV3 normal;        // the other body's space, from the other body toward this one
    f32 depth;
    s32 values[2];      // material indices: the body's, then the other's
    neBody* other;      // the terrain is a body too: never null
};
// Records the contact in one of the body's entries and joins stacks.
void neStackAddContact(neRigidBody* body, const neRestingContact& contact);

// ---- Entries, stacks and the tests of resting ----

// Contact entries closer than this on the body (squared, m²) are one contact.
constexpr f32 NE_ENTRY_SAME_POINT_SQ = 0.0025f;
// Validation keeps an entry separated by at most this much (m) ...
constexpr f32 NE_ENTRY_MAX_SEPARATION = 0.01f;
// ... and slid across its normal by at most this much (squared, m²).
constexpr f32 NE_ENTRY_MAX_SLIDING_SQ = 0.001f;
// The solve drops an entry slid across its normal this far (squared, m²).
constexpr f32 NE_SOLVE_MAX_SLIDING_SQ = 0.025f;
// The support-drift test drops a support whose two points moved this far
// apart (squared, m²).
constexpr f32 NE_SUPPORT_DRIFT_SQ = 0.002f;
// Classification tolerance: how far (m) the centre may lie outside its supports.
constexpr f32 NE_SUPPORT_TOLERANCE = 0.005f;
// Idle steps before a well supported body sleeps, and before one on an edge does.
constexpr s32 NE_SLEEP_IDLE_STEPS = 10;
constexpr s32 NE_SLEEP_IDLE_STEPS_EDGE = 100;
// Averaged speeds (squared) above which a body is not idle.
constexpr f32 NE_REST_AVERAGE_SPEED_SQ = 2.0f;
constexpr f32 NE_REST_AVERAGE_SPIN_SQ = 1.0f;
// Snapshot drift test: steps it needs, and its limits per (60 steps' time).
constexpr s32 NE_SNAPSHOT_STEPS = 60;
constexpr f32 NE_SNAPSHOT_MAX_VELOCITY_CHANGE = 5.0f;
constexpr f32 NE_SNAPSHOT_MAX_TURN = 10.0f;
constexpr f32 NE_SNAPSHOT_MAX_SPIN_CHANGE = 10.5f;

// Iterations per pass of a stack solve.
constexpr s32 NE_STACK_ITERATIONS = 2;

extern const char* const NE_STACK_FULL_MESSAGE;

// Records the contact in one of the body's three entries: the one within
// 0.05 of the new point, else a free one, else the shallowest.
void neAddRestingContact(neRigidBody* body, const neRestingContact& contact);
// Gives the body a base node at the end of the stack; false (and a log
// message) when the node pool is empty.
bool neStackAddBody(neRigidBody* body, neStack* stack);
// Recomputes the entry's world points, difference, world normal, separation
// and sliding from both bodies' current transforms.
void neRefreshContactEntry(neContactEntry* entry);
// True when the other body of the entry holds still: a permanent support, a
// resting rigid body, or a non-rigid body that did not move this step.
bool neEntryOtherHoldsStill(const neContactEntry* entry);
// Re-checks the body's entries; the number kept.
s32 neStackValidate(neRigidBody* body);
// Hands the body's supporting entries to the stack-record array as resting
// contacts (weight in stackValue); the number of entries handed on. With
// `sleepersHold` a sleeping body is a fixed support: no record between two
// sleeping bodies, and none that moves a sleeping body (the resting check).
s32 neStackSolveBody(neRigidBody* body, bool sleepersHold = false);
// Whether both bodies of the record rest. Clears the record's body A or body
// B when only the other one rests (see the definition).
bool neCheckRestingBodies(neCollisionResult& result);
// Appends the records of every body of the stack, lower bodies first. For a
// constraint set's solve (`sleepersHold` clear) every record, and the bodies
// in no constraint set are listed in the simulator's stack body list; for the
// step's own stack solve the records pass the resting check, so that a stack
// whose lower bodies sleep is answered for its waking ones alone.
void neStackCollect(neStack* stack, bool sleepersHold = false);
// Drops supports whose points drifted apart; false when one did.
bool neSupportDriftTest(neRigidBody* body);
// True when the body's motion stayed close to its snapshot for 60 steps;
// otherwise a new snapshot is taken.
bool neSnapshotDriftTest(neRigidBody* body);
// True when the idle body may sleep by its supports (class 3, or class 2
// after a long idle spell).
bool neStackMaySleep(neRigidBody* body);
// Splits the stack into groups connected through contact entries; true when
// the stack itself was left empty.
bool neStackRegroup(neStack* stack);
// Sends what is left of a stack to the built-in header, frees the header.
void neStackDissolve(neSimulatorCore* sim, neStack* stack);
