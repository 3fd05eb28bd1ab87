// Bodies: the base record shared by animated and rigid bodies, and the two
// kinds. Every body comes from a pool of its simulator and is handed to the
// application as a plain pointer; the application never frees one itself.
#pragma once

#include "math/ne_math.h"
#include "physics/controller.h"
#include "physics/geometry.h"
#include "physics/sensor.h"
#include "physics/stack_records.h"

struct neSimulatorCore;
struct neConstraintSet;
struct neConstraintLink;
struct neRegionBody;
struct neEndPoint;
struct neRigidBody;
struct neAnimatedBody;
struct neTreeNode;

// Body types.
constexpr s32 NE_BODY_ANIMATED = 0;
constexpr s32 NE_BODY_RIGID = 1;

// Rest states of a rigid body.
constexpr s32 NE_MOVING = 0;
constexpr s32 NE_RESTING = 1;   // asleep
constexpr s32 NE_EXCLUDED = 2;  // skipped by integration (stacked)

// Pending states of a body in the broad phase.
constexpr s32 NE_REGION_INSIDE = 0;
constexpr s32 NE_REGION_PENDING = 1;
constexpr s32 NE_REGION_REMOVED_PENDING = 2;

// Length of the per-step history rings, indexed by step count mod 10.
constexpr s32 NE_HISTORY = 10;
constexpr s32 NE_CONTACT_ENTRIES = 3;
constexpr f32 NE_DEFAULT_SLEEPING_PARAMETER = 0.2f;

// What animated and rigid bodies share: geometries, sensors, bounds and the
// broad-phase and list bookkeeping.
struct neBody {
    neSimulatorCore* sim;
    s32 type;         // NE_BODY_ANIMATED or NE_BODY_RIGID, never changes
    s32 active;       // 0 while switched off
    s32 index;        // region index: rigid 0..R-1, animated R..R+A-1, particles after
    s32 collisionID;  // -1..63, row and column of the collision table
    uintptr_t userData;
    s32 regionWord;       // an application word, stored and returned only
    s32 collideConnected; // joined bodies collide only when both are non-zero

    // Geometries and sensors, in order of attachment, with iteration cursors.
    neGeometry* geometryFirst;
    neGeometry* geometryLast;
    s32 geometryCount;
    neGeometry* geometryCursor;
    neSensor* sensorFirst;
    neSensor* sensorLast;
    s32 sensorCount;
    neSensor* sensorCursor;

    // Bounds. The bounding record is a box around all geometries (a copy of
    // the geometry when there is exactly one box) in body space; the bounding
    // frame is that box with its rotation columns scaled by the half extents,
    // and also covers the sensor lines so terrain queries find the ground
    // under the wheels.
    neGeometry bounding;
    f32 boundingRadius;
    neT3 boundingFrame;
    s32 customCollision;  // the application tests this body's collisions itself
    neV3 minBound;        // world-axis box
    neV3 maxBound;
    // The transform and bounding frame the box was last computed from: a
    // sleeping body that has not moved keeps its box without recomputing it.
    neT3 boundsTransform;
    neT3 boundsFrame;
    s32 boundsKnown;

    // Broad phase.
    neRegionBody* regionRecord;  // null while outside the region
    s32 pendingState;            // NE_REGION_*
    neEndPoint* endPoints[6];    // upper x, y, z, then lower x, y, z

    neV3 smoothedDisplacement;   // rigid bodies: exponentially smoothed step displacement

    // Stacks: entries of other bodies that rest on this one.
    neContactEntry* supportedFirst;
    neContactEntry* supportedLast;
    s32 supportedCount;

    // Joints: the constraint set and the joints acting on this body.
    neConstraintSet* constraintSet;
    neBody* setNext;
    neBody* setPrev;
    neConstraintLink* constraintFirst;
    neConstraintLink* constraintLast;
    s32 constraintCount;

    // Links in the simulator's active or inactive list of the body's kind.
    neBody* next;
    neBody* prev;

    // ---- operations ----
    neAnimatedBody* AsAnimatedBody();
    neRigidBody* AsRigidBody();
    neT3* GetTransformPtr();
    // True when the world box was computed from the current transform and
    // bounding frame.
    bool BoundsCurrent();

    s32 GetCollisionID() const { return collisionID; }
    void SetCollisionID(s32 id) { collisionID = id; }
    uintptr_t GetUserData() const { return userData; }
    void SetUserData(uintptr_t value) { userData = value; }
    s32 GetRegionWord() const { return regionWord; }
    void SetRegionWord(s32 w) { regionWord = w; }
    s32 GetCollideConnected() const { return collideConnected; }
    void SetCollideConnected(s32 w) { collideConnected = w; }
    bool GetActiveFlag() const { return active != 0; }
    bool IsActive() const { return active != 0; }

    s32 GetGeometryCount() const { return geometryCount; }
    // A new geometry (a 1×1×1 box) appended last; null when the pool is empty.
    neGeometry* AddGeometry();
    void BeginIterateGeometry() { geometryCursor = geometryFirst; }
    neGeometry* GetNextGeometry();
    // A new line sensor appended last; null when the pool is empty.
    neSensor* AddSensor();
    void BeginIterateSensor() { sensorCursor = sensorFirst; }
    neSensor* GetNextSensor();
    // Hands the geometry to the simulator, which makes a rigid body of it.
    neRigidBody* BreakGeometry(neGeometry* geometry);

    // Recomputes the bounding record and frame from the geometries and sensors.
    void UpdateBoundingInfo();
    void UseCustomCollisionDetection(bool on, const neT3* box, f32 radius);
    bool UsingCustomCollisionDetection() const { return customCollision != 0; }
    // Moves the body between the active and inactive lists of its kind.
    void SetActive(bool on, neBody* hint = nullptr);

    // World bounds from the bounding frame and the body's transform, also
    // written into its broad-phase end points.
    void UpdateAabb();

    // Engine internals.
    void ResetBase(neSimulatorCore* owner, s32 bodyType);
    void ClearSensorDetections();
    bool HasCollisionShape() const { return geometryCount > 0 || customCollision != 0; }
};

// A body whose transform the application sets; the simulation never moves it.
struct neAnimatedBody : neBody {
    neT3 transform;
    s32 moved;  // 1 after the application changed the transform, until the advance ends

    void Reset(neSimulatorCore* owner);
    neV3 GetPos() const { return transform.pos; }
    void SetPos(const neV3& p);
    neM3 GetRotationM3() const { return transform.rot; }
    void SetRotationM3(const neM3& m);
    void SetRotationQ(const neQ& q);
    neQ GetRotationQ() const;
    neT3 GetTransform() const { return transform; }
    void SetActiveWithHint(bool on, neBody* hint) { SetActive(on, hint); }
};

// The state of a rigid body that moves between steps.
struct neRigidBodyState {
    neQ q;                    // orientation
    neV3 cleared;             // zeroed when the body comes to rest
    neV3 angularMomentum;     // world
    neT3 transform;           // rotation rebuilt from q, then position
};

// The state at the last wake-up or position change.
struct neRigidBodySnapshot {
    neV3 pos;
    neQ q;
    neV3 velocity;
    neV3 angularVelocity;
    s32 steps;  // steps since the snapshot
};

// A body moved by the simulation. Rigid particles are rigid bodies from a
// pool of their own, marked by `particle`.
struct neRigidBody : neBody {
    f32 mass;
    f32 invMass;
    neM3 invInertiaBody;   // body space
    neM3 inertiaBody;      // body space
    neV3 force;            // applied by the application, kept until changed
    neV3 torque;
    s32 restState;         // NE_MOVING, NE_RESTING, NE_EXCLUDED
    s32 gravityEnabled;
    neV3 gravityForce;     // gravity × mass of the last evaluation, zero when off or resting
    neV3 controllerForce;  // sums of the controllers' forces and torques for the next step
    neV3 controllerTorque;
    neV3 torqueSum;        // per-step accumulators of the integrator
    neV3 forceSum;
    neV3 acceleration;     // invMass × forceSum of the last step
    f32 linearDamping;     // in [0, 1]: the fraction of velocity lost per step
    f32 angularDamping;
    neRigidBodyState state;
    neV3 velocity;         // world
    neV3 terrainFacing;    // normal of the last step's terrain contact; zero without one or after a jump
    const neTreeNode* terrainLeaf;  // the terrain leaf its last search found alone, of build terrainLeafBuild
    s32 terrainLeafBuild;
    neV3 angularVelocity;  // world, derived from the angular momentum
    neQ orientationRate;   // dq/dt = ½ ω̂ q
    neM3 worldInvInertia;  // R · invInertiaBody · Rᵀ
    f32 speed;             // |velocity|, 0 below 0.001
    s32 idleSteps;
    neStackNode* stackNode;
    s32 previousSeparated; // a contact pushed it out in the previous step
    s32 separated;         // ... in this step

    neController* controllerFirst;
    neController* controllerLast;
    neController* controllerCursor;

    // Contact block: three entries on which the body rests, then the
    // velocity histories read by the rest test.
    neContactEntry contacts[NE_CONTACT_ENTRIES];
    neV3 velocityHistory[NE_HISTORY];
    neV3 angularVelocityHistory[NE_HISTORY];
    s32 supportCount;
    s32 supportIndex[NE_CONTACT_ENTRIES];

    s32 particle;
    neV3 stepHistory1[NE_HISTORY];  // per-step velocity change
    neV3 stepHistory2[NE_HISTORY];  // per-step angular velocity change by impulses
    // Set while the four history rings above hold only zeros: a body that
    // stays asleep has nothing to clear step after step (640 bytes each).
    s32 historiesClear;
    f32 sleepingParameter;
    neRigidBodySnapshot snapshot;

    // Solver bookkeeping.
    neV3 velocityCorrection;
    neV3 angularMomentumCorrection;
    s32 velocityCorrectionCount;
    s32 angularMomentumCorrectionCount;
    s32 touched;                // set by every impulse
    neV3 jointForce;            // per-step joint accumulations
    neV3 jointTorque;
    s32 stackSolveFlag;         // step flag read by the stack solve
    neRigidBody* stackListNext; // the simulator's stack body list

    // ---- construction and state ----
    void Reset(neSimulatorCore* owner, bool isParticle);

    void SetMass(f32 m);
    f32 GetMass() const { return mass; }
    void SetInertiaTensor(const neV3& diagonal);
    void SetInertiaTensorM3(const neM3& inertia);
    neV3 GetPos() const { return state.transform.pos; }
    void SetPos(const neV3& p);
    neM3 GetRotationM3() const { return state.transform.rot; }
    neQ GetRotationQ() const { return state.q; }
    void SetRotationQ(const neQ& q);
    void SetRotation(const neM3& m);
    // The current transform with its fourth floats set for drawing.
    neT3 GetTransform();
    neV3 GetVelocity() const { return velocity; }
    void SetVelocity(const neV3& v);
    neV3 GetAngularVelocity() const { return angularVelocity; }
    neV3 GetAngularMomentum() const { return state.angularMomentum; }
    void SetAngularMomentum(const neV3& l);
    void SetAngularMomentumWakeBody(const neV3& l);
    // Velocity of the material point at world offset r from the centre.
    neV3 GetVelocityAtPoint(const neV3& r) const;
    void SetForce(const neV3& f);
    neV3 GetForce() const { return force; }
    void SetTorque(const neV3& t);
    neV3 GetTorque() const { return torque; }
    void SetForceAtPoint(const neV3& f, const neV3& worldPoint);
    void ApplyImpulse(const neV3& j);
    void ApplyImpulseAtPoint(const neV3& j, const neV3& worldPoint);
    void SetLinearDamping(f32 d);
    f32 GetLinearDamping() const { return linearDamping; }
    void SetAngularDamping(f32 d);
    f32 GetAngularDamping() const { return angularDamping; }
    void SetSleepingParameter(f32 p) { sleepingParameter = p; }
    f32 GetSleepingParameter() const { return sleepingParameter; }
    void GravityEnable(bool on) { gravityEnabled = on ? 1 : 0; }
    bool IsGravityEnabled() const { return gravityEnabled != 0; }
    bool IsIdle() const { return restState == NE_RESTING; }

    // Mass and inertia from the box geometries at unit density (other shapes
    // add nothing); a body without boxes keeps its mass and inertia.
    void UpdateInertiaFromGeometries();

    // A new controller appended last; null when the pool is empty.
    neRigidBodyController* AddController(neRigidBodyControllerCallback* callback, s32 period);
    void BeginIterateController() { controllerCursor = controllerFirst; }
    neRigidBodyController* GetNextController();

    // ---- motion (one step) ----
    void Integrate(f32 dt);
    void UpdatePosition(f32 dt);
    void ApplyGravityAndControllers();
    s32 ApplyMove(const neV3& impulse, const neV3& arm);
    void AddVelocityCorrection(const neV3& dv);
    void AddAngularMomentumCorrection(const neV3& dl);
    void ApplyCorrections();
    void WakeUp();
    void WakeUpConstraintSet();
    void GoToSleep();
    void SetRestState();
    void UpdateDerived();
    void RebuildRotation(const neV3& angularMomentum);
    void UpdateRotationAndInertia();
    s32 HistoryIndex() const;
};

// Tests one sensor of a body against another body's geometries (its
// bounding box when it has a single geometry), or, when `terrain` is given,
// against that terrain triangle set (the detected body is then null).
void neCollideSensor(neSensor& sensor, const neT3& bodyTransform, neBody* other, const neT3& otherTransform,
                     const neGeometry* terrain);
// Every sensor of `body` against another body.
void neCollideSensors(neBody* body, const neT3& bodyTransform, neBody* other, const neT3& otherTransform);
