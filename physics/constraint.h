// Records of joints and constraint sets. A joint ties a rigid body to the
// world, to a second rigid body or to an animated body; joints that share
// bodies form a constraint set, the unit the solver answers together.
#pragma once

#include "math/ne_math.h"

struct neBody;
struct neRigidBody;
struct neSimulatorCore;
struct neConstraint;
struct neConstraintSet;
struct neController;
struct neCollisionResult;
class neJointControllerCallback;
using neJointController = neController;

// Joint types.
constexpr s32 NE_JOINT_BALL = 0;
constexpr s32 NE_JOINT_HINGE = 2;
constexpr s32 NE_JOINT_SLIDER = 3;

// A joint's entry in one of its bodies' constraint lists.
struct neConstraintLink {
    neConstraint* constraint;
    neConstraintLink* next;
    neConstraintLink* prev;
};

struct neJointLimit {
    s32 active;
    neV3 axis;
    s32 side;     // 1 at the lower limit, 0 at the upper
    s32 enabled;
    f32 error;
    f32 upper;    // limit 2: the first float
    f32 lower;    // limit 2: the second float, the twist bound
    neConstraint* owner;
};

struct neJointMotor {
    s32 enabled;
    s32 mode;       // stored and returned only
    f32 targetSpeed;
    f32 maximum;    // stored as its absolute value
    neV3 axis;
};

constexpr s32 NE_JOINT_MAX_ROWS = 2;

struct neJointAnchor {
    neV3 localA, worldA, localB, worldB;
};

struct neConstraint {
    neT3 frameA;          // in A's own axes
    neT3 frameB;          // in B's own axes, or world axes without B
    neT3 worldFrameA;
    neT3 worldFrameB;
    neSimulatorCore* simulator;
    neController* controllers;  // joint controllers, list head
    neController* controllerCursor;
    neRigidBody* bodyA;
    neBody* bodyB;        // rigid, animated or null (the world)
    neConstraintLink linkA;
    neConstraintLink linkB;
    s32 rowCount;
    neJointAnchor anchors[NE_JOINT_MAX_ROWS];
    s32 enabled;
    f32 tolerance;
    s32 iterationCount;
    f32 length;           // spacing of the two anchors along the joint axis
    f32 angle;            // [0, 2π) for hinges; cone angle; slider position
    f32 signedAngle;      // (−π, π]
    f32 damping;
    s32 built;
    neJointLimit limit;
    neJointLimit limit2;
    neJointMotor motor;
    neJointMotor motor2;
    s32 type;             // NE_JOINT_*
    neConstraint* next;   // links in the constraint set's list
    neConstraint* prev;

    // ---- set-up (physics/constraint.cpp) ----
    // The defaults of a new joint between A and B (B may be null: the world).
    void Reset(neSimulatorCore* owner, neRigidBody* a, neBody* b);

    // 0 ball joint, 2 hinge, 3 slider; any other value changes nothing.
    void SetType(s32 t);
    s32 GetType() const { return type; }
    neRigidBody* GetRigidBodyA() const { return bodyA; }
    neRigidBody* GetRigidBodyB() const;
    neBody* GetAnimatedBodyB() const;
    // Joint frames in the bodies' own axes (B's in world axes without B).
    void SetFrameA(const neT3& frame) { frameA = frame; }
    void SetFrameB(const neT3& frame) { frameB = frame; }
    // The frames in world axes.
    neT3 GetFrameA() const;
    neT3 GetFrameB() const { return WorldFrameB(); }
    // Both frames from one world frame.
    void SetJointFrameWorld(const neT3& world);
    void SetLength(f32 l) { length = l; }
    f32 GetLength() const { return length; }
    void SetDamping(f32 d) { damping = d; }
    f32 GetDamping() const { return damping; }
    void SetTolerance(f32 t) { tolerance = t; }
    // 0.001 while the stored value is not positive.
    f32 GetTolerance() const;
    // Solver iterations per pass for the joint's set; -1 leaves the default.
    void SetIterationCount(s32 n) { iterationCount = n; }
    s32 GetIterationCount() const { return iterationCount; }
    // Limit pair 1: radians for ball joints and hinges, length for sliders.
    void SetUpperLimit(f32 v) { limit.upper = v; }
    f32 GetUpperLimit() const { return limit.upper; }
    void SetLowerLimit(f32 v) { limit.lower = v; }
    f32 GetLowerLimit() const { return limit.lower; }
    void EnableLimit(s32 on) { limit.enabled = on; }
    s32 IsLimitEnabled() const { return limit.enabled; }
    // Limit pair 2: its second float (the lower) bounds a ball joint's twist.
    void SetUpperLimit2(f32 v) { limit2.upper = v; }
    f32 GetUpperLimit2() const { return limit2.upper; }
    void SetLowerLimit2(f32 v) { limit2.lower = v; }
    f32 GetLowerLimit2() const { return limit2.lower; }
    void EnableLimit2(s32 on) { limit2.enabled = on; }
    s32 IsLimit2Enabled() const { return limit2.enabled; }
    // Motors: the mode is stored only; the maximum is kept as its absolute value.
    void EnableMotor(s32 on) { motor.enabled = on; }
    s32 IsMotorEnabled() const { return motor.enabled; }
    void SetMotor(s32 mode, f32 targetSpeed, f32 maximum);
    void GetMotor(s32& mode, f32& targetSpeed, f32& maximum) const;
    void EnableMotor2(s32 on) { motor2.enabled = on; }
    s32 IsMotor2Enabled() const { return motor2.enabled; }
    void SetMotor2(s32 mode, f32 targetSpeed, f32 maximum);
    void GetMotor2(s32& mode, f32& targetSpeed, f32& maximum) const;
    // The first enable builds the anchors and joins a constraint set.
    void Enable(s32 on);
    s32 IsEnabled() const { return enabled; }
    // A joint controller called back every period + 1 steps; null for a null
    // callback or an exhausted controller pool.
    neJointController* AddController(neJointControllerCallback* callback, s32 period);
    void BeginIterateController() { controllerCursor = controllers; }
    neJointController* GetNextController();

    // ---- solver (physics/constraint_solver.cpp) ----
    // Body B's joint frame in world axes.
    neT3 WorldFrameB() const;
    // Local anchors from the frames and the length, at the first enable.
    void BuildAnchors();
    // World frames, the angle and the limit axis.
    void PrepareFrames();
    // World anchors from the local ones.
    void UpdateAnchors();
    // Appends the joint's rows to the simulator's constraint-row array.
    void BuildRows();
    void LimitRows();
    void AngularLimitRow();
    void LinearLimitRow();
    void TwistLimitRow();
    void MotorRow(s32 which);
    // Damping torques of this step, before the velocities are integrated.
    void ApplyDamping();
    // Joint controllers at the end of the step: their forces act in the
    // next step's integration.
    void RunControllers();

    // Engine internals.
    neCollisionResult* AppendRow(s32 kind);
};

// Joints and bodies solved together.
struct neConstraintSet {
    neConstraint* firstConstraint;
    neConstraint* lastConstraint;
    s32 solved;
    s32 changed;          // bit 0: gained joints; 2: a joint was removed
    neBody* firstBody;    // linked through the bodies' set links
    neBody* lastBody;
    s32 bodyCount;
    neConstraintSet* next;
    neConstraintSet* prev;

    // Puts a joint at its first enable into the set of its bodies, merging
    // the sets of A and B or taking a new one.
    static void Build(neConstraint* joint);
    // Builds the rows of every enabled joint and settles the solve's
    // tolerance and iteration count (-1 when no joint asks for one).
    void Solve(f32* tolerance, s32* iterations);

    void AppendConstraint(neConstraint* joint);
    void RemoveConstraint(neConstraint* joint);
    void AppendBody(neBody* body);
    void RemoveBody(neBody* body);
};

// Joint counts and defaults.
constexpr s32 NE_DEFAULT_SOLVER_ITERATIONS = 4;
constexpr f32 NE_DEFAULT_JOINT_TOLERANCE = 0.001f;
