// Records of joints and constraint sets. A joint ties a rigid body to the
// world, to a second rigid body or to an animated body; joints that share
// bodies form a constraint set, the unit the solver answers together.
#pragma once

#include "math/ne_math.h"

struct neBody;
struct neRigidBody;
struct neSimulator;
struct neConstraint;
struct neConstraintSet;
struct neController;

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
    neSimulator* simulator;
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
};
