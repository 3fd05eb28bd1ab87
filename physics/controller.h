// Controllers: records attached to a rigid body (or a joint) whose force and
// torque act every step, and whose callback the engine calls every
// (period + 1) steps so that the application can recompute them.
#pragma once

#include "math/ne_math.h"

struct neRigidBody;
struct neConstraint;
struct neController;
using neRigidBodyController = neController;
using neJointController = neController;

// Implemented by the application for body controllers.
class neRigidBodyControllerCallback {
public:
    virtual ~neRigidBodyControllerCallback() = default;
    virtual void ControllerCallback(neRigidBodyController* controller, f32 timeStep) = 0;
};

// Implemented by the application for joint controllers.
class neJointControllerCallback {
public:
    virtual ~neJointControllerCallback() = default;
    virtual void ControllerCallback(neJointController* controller, f32 timeStep) = 0;
};

// One record serves body and joint controllers (one pool for both).
struct neController {
    s32 period;      // steps between callbacks, minus one
    s32 countdown;   // steps left until the next callback
    neRigidBodyControllerCallback* bodyCallback;  // body controllers
    neJointControllerCallback* jointCallback;     // joint controllers
    neConstraint* constraint;                     // joint controllers: the joint
    neRigidBody* rigidBody;                       // body controllers: the owner
    neV3 force;      // body: added to the body each step; joint: to the first body
    neV3 torque;
    neV3 force2;     // joint: added to the second body
    neV3 torque2;
    neController* next;  // links in the owner's controller list
    neController* prev;

    // Counts the period down; true when the callback is due this step (the
    // countdown then restarts at the period).
    bool CountDown();

    neRigidBody* GetRigidBody() const { return rigidBody; }
    void SetControllerForce(const neV3& f) { force = f; }
    neV3 GetControllerForce() const { return force; }
    void SetControllerTorque(const neV3& t) { torque = t; }
    neV3 GetControllerTorque() const { return torque; }
    // Force and the torque it makes about the body's centre, from a world point.
    void SetControllerForceWithTorque(const neV3& f, const neV3& worldPoint);

    neConstraint* GetConstraint() const { return constraint; }
    void SetControllerForceBodyA(const neV3& f) { force = f; }
    neV3 GetControllerForceBodyA() const { return force; }
    void SetControllerTorqueBodyA(const neV3& t) { torque = t; }
    neV3 GetControllerTorqueBodyA() const { return torque; }
    void SetControllerForceBodyB(const neV3& f) { force2 = f; }
    neV3 GetControllerForceBodyB() const { return force2; }
    void SetControllerTorqueBodyB(const neV3& t) { torque2 = t; }
    neV3 GetControllerTorqueBodyB() const { return torque2; }
    // Joint controllers: a force on the joint's body A (B) and the torque it
    // makes about that body's centre from a world point (B's torque only when
    // B is a rigid body).
    void SetControllerForceWithTorqueBodyA(const neV3& f, const neV3& worldPoint);
    void SetControllerForceWithTorqueBodyB(const neV3& f, const neV3& worldPoint);
};
