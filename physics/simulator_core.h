// The engine's side of the physics world (physics/simulator.h is the
// game's): every pool, list, table and callback of the engine in one
// object. Capacity is fixed at creation from a neSimulatorSizes record. A
// simulator shares no state with another: its scratch lists, collision
// records and log buffer are its own.
#pragma once

#include "math/ne_math.h"
#include "physics/body.h"
#include "physics/collision.h"
#include "physics/constraint.h"
#include "physics/controller.h"
#include "physics/geometry.h"
#include "physics/material.h"
#include "physics/pool.h"
#include "physics/region.h"
#include "physics/sensor.h"
#include "physics/simulator.h"
#include "physics/stack_records.h"
#include "physics/step_timer.h"

// Body lists of one kind.
using neBodyList = neList<neBody>;

// Extra stack headers beyond one per rigid body and particle.
constexpr s32 NE_EXTRA_STACK_HEADERS = 100;
// Steps rest state is judged over: sum of squared speeds below this is rest.
constexpr f32 NE_DEFAULT_REST_THRESHOLD = 1.0f;
constexpr size_t NE_LOG_BUFFER_SIZE = 256;

struct neSimulatorCore : neSimulator {
    // ---- creation ----
    // Null when the allocation fails. Without an allocator the heap is used;
    // without gravity there is none.
    static neSimulatorCore* CreateSimulator(const neSimulatorSizes& sizes, neAllocator* allocator = nullptr,
                                        const neV3* gravity = nullptr);
    static void DestroySimulator(neSimulatorCore* sim);

    neSimulatorCore(const neSimulatorSizes& sizes, neAllocator* allocator, const neV3* gravity);
    ~neSimulatorCore();
    neSimulatorCore(const neSimulatorCore&) = delete;
    neSimulatorCore& operator=(const neSimulatorCore&) = delete;

    // ---- bodies ----
    neRigidBody* CreateRigidBody();
    neRigidBody* CreateRigidParticle();
    neAnimatedBody* CreateAnimatedBody();
    void FreeRigidBody(neBody* body) { FreeBody(body); }
    void FreeAnimatedBody(neBody* body) { FreeBody(body); }
    // Returns a body to its pool. Anything that is not a handed-out body is
    // logged and changes nothing.
    void FreeBody(neBody* body);

    // ---- joints (physics/constraint.cpp) ----
    // A joint of the body to the world, to a second rigid body or to an
    // animated body; null for a missing body or an exhausted pool.
    neConstraint* CreateConstraintWorld(neRigidBody* body);
    neConstraint* CreateConstraint(neRigidBody* bodyA, neRigidBody* bodyB);
    neConstraint* CreateConstraintAnimated(neRigidBody* rigidBody, neAnimatedBody* animatedBody);
    // Takes the joint out of its bodies and its set and returns it, with its
    // controllers, to its pool.
    void FreeConstraint(neConstraint* joint);
    // Frees every joint acting on the body (the body is being released).
    void FreeBodyConstraints(neBody* body);
    // A new rigid body made of one geometry of another body; null when the
    // geometry is not the body's or is its only one.
    neRigidBody* CreateBodyFromBrokenGeometry(neBody* body, neGeometry* geometry);

    // ---- world ----
    neV3 GetGravity() const { return gravity; }
    void SetGravity(const neV3& g);
    neCollisionTable* GetCollisionTable() { return &collisionTable; }
    bool SetMaterial(s32 index, f32 friction, f32 restitution);
    bool GetMaterial(s32 index, f32& friction, f32& restitution) const;
    bool SetMaterialImpl(s32 index, f32 friction, f32 restitution, f32 extra);
    bool GetMaterialImpl(s32 index, f32& friction, f32& restitution, f32& extra) const;
    // The material of a geometry or triangle; out-of-range indices read the default.
    const neMaterial& MaterialAt(s32 index) const;
    bool SetTerrainMesh(const neTriangleMesh* mesh);
    void FreeTerrainMesh();

    // ---- stepping ----
    // `steps` equal steps of time / steps; the step counter advances once.
    // A step count below 1, or a time that is not finite and positive, runs
    // no step (the advance is still counted).
    void Advance(f32 time, s32 steps = 1, neStepTimerRecord* record = nullptr);
    // Steps between minimum and maximum size, carrying the leftover time to
    // the next call. Sizes that are not finite and positive, or a maximum
    // below the minimum, are refused (nothing happens).
    void AdvanceMinMax(f32 time, f32 minStep, f32 maxStep, neStepTimerRecord* record = nullptr);

    // ---- callbacks and log ----
    neCollisionCallback SetCollisionCallback(neCollisionCallback fn);
    neCollisionCallback GetCollisionCallback() const { return collisionCallback; }
    neBreakageCallback SetBreakageCallback(neBreakageCallback fn) { return breakageCallback = fn; }
    neBreakageCallback GetBreakageCallback() const { return breakageCallback; }
    neTerrainQueryCallback SetTerrainQueryCallback(neTerrainQueryCallback fn) { return terrainQueryCallback = fn; }
    neTerrainQueryCallback GetTerrainQueryCallback() const { return terrainQueryCallback; }
    neCustomCollisionCallback1 SetCustomCollisionCallback1(neCustomCollisionCallback1 fn) {
        return customCollisionCallback1 = fn;
    }
    neCustomCollisionCallback1 GetCustomCollisionCallback1() const { return customCollisionCallback1; }
    neCustomCollisionCallback2 SetCustomCollisionCallback2(neCustomCollisionCallback2 fn) {
        return customCollisionCallback2 = fn;
    }
    neCustomCollisionCallback2 GetCustomCollisionCallback2() const { return customCollisionCallback2; }
    neLogOutputCallback SetLogOutputCallback(neLogOutputCallback fn);
    neLogOutputCallback GetLogOutputCallback() const { return logCallback; }
    s32 SetLogOutputLevel(s32 level) { return logLevel = level; }
    // Copies the message into the log buffer and outputs it when a log
    // function is installed and level ≤ the log level.
    void LogOutput(s32 level, const char* message);

    neSimulatorSizes GetSizes() const { return sizes; }
    neSimulatorSizes GetPoolStats() const;
    // Bytes held by every container of the simulator.
    u32 GetMemoryAllocated() const;
    s32 GetStepCount() const { return stepCount; }
    // Re-calibrates the step timer on another counter (tests).
    void SetStepClock(const neStepClock& clock);

    // ---- one step (engine internals) ----
    void AdvanceFixed(f32 time, s32 steps, neStepTimerRecord* record);
    void AdvanceVariable(f32 time, f32 minStep, f32 maxStep, neStepTimerRecord* record);
    void StepOnce();
    void CollideBodies();
    void CollideTerrain();
    void MarkTimer(neTimerBucket bucket);
    // Fills the candidate triangle set of the terrain body with the
    // triangles that reach into the body's box in x and z, each once, in the
    // order the tree's leaves (or the query callback) give them; false when
    // there is none.
    bool FindTerrainCandidates(neRigidBody* body);
    // Narrows the query callback's candidates to those within the body's box
    // in x and z; false when none are left.
    bool NarrowToBody(const neRigidBody* body);
    // Sets the world boxes of the body's sensor lines, which the candidate
    // search sorts the triangles its lines can reach by.
    void BoxSensorLines(const neRigidBody* body);
    // Notes a candidate triangle among those the sensor lines can reach
    // when it meets one of their boxes.
    void SortForSensors(s32 triangle, const neTriangleFootprint& footprint, const neTriangle* triangles,
                        const neV3* vertices);
    // Each sensor line against the triangles that meet its own box.
    void CollideSensorsWithTerrain(neRigidBody* body);
    void FillCollisionInfo(neCollisionInfo& info, const neCollisionResult& result, bool terrain);
    void ReportCollision(neCollisionInfo& info, const neCollisionResult& result, bool terrain);
    neRigidBody* AllocRigidBody(bool isParticle);
    void ReleaseBodyParts(neBody* body);
    void FreeAllBodies();
    neBodyList* ListOf(neBody* body, bool activeList);
    neGeometry* AllocGeometry();
    neSensor* AllocSensor();
    neController* AllocController();
    // Collision response between the two bodies of a contact; a hook that the
    // response code provides.
    void RespondToCollision(neBody* a, neBody* b, neCollisionResult& result);
    // Phases of the joints and the stacks; hooks that their code provides.
    void UpdateConstraints();
    void SolveConstraints();
    void CheckStacks();
    void SolveStacks();
    void AdvanceConstraintCounters();
    // Answers every row of the constraint-row array and every resting contact
    // of the stack-record array iteratively (iterations −1: 4 per pass), then
    // empties both arrays. The tolerance is not used.
    void ApplyResponse(f32 tolerance, s32 iterations);
    // Solves the constraint sets of the bodies of every stack the current
    // set touches and puts them in the solve list (each set once).
    void CollectLinkedSets(f32* tolerance, s32* iterations);
    // Sends every body of the solve list's sets and of the stack body list to
    // sleep when all of them are at rest; otherwise clears their rest flags.
    void SleepSolvedSets();
    void AppendStackRecord(const neCollisionResult& record);
    // A stack header from the pool, appended to the stack list; null when none is left.
    neStack* NewStack();
    // Takes the (emptied) header off the stack list and back to its pool.
    void FreeStack(neStack* stack);
    void AddToStackBodyList(neRigidBody* body);
    bool InStackBodyList(const neRigidBody* body) const {
        return body->stackListNext != nullptr || stackBodyLast == body;
    }
    void ClearStackList();
    // The contact of a custom collision callback as a neCollisionResult.
    void CustomContactToResult(const neCustomCollisionInfo& info, neBody* a, neBody* b,
                               neCollisionResult& result);

    // ---- state ----
    neSimulatorSizes sizes;
    neStepTimerRecord* timerRecord = nullptr;
    neStepTimer stepTimer{};

    neV3 gravity{};
    neV3 gravityDirection{};
    f32 gravityLength = 0.0f;

    s32 stepCount = 0;
    f32 stepTime = 0.0f;
    f32 stepTimeInverse = 0.0f;
    f32 restThreshold = NE_DEFAULT_REST_THRESHOLD;
    s32 restingBodyCount = 0;  // bodies whose rest the integration confirmed this step
    // Flags of the resting-contact rule, set by the solve passes: recovery pushes
    // penetrations out; in the final pass body B of a resting contact is not moved.
    s32 recovery = 0;
    u8 finalPass = 0;

    neAllocator* allocator;
    neDefaultAllocator ownAllocator;
    neAllocator* creator = nullptr;  // what the simulator object itself came from

    nePool<neConstraintSet> constraintSetPool;
    nePool<neConstraint> constraintPool;
    nePool<neController> controllerPool;
    nePool<neStackNode> stackNodePool;
    nePool<neStack> stackPool;
    nePool<neSensor> sensorPool;
    nePool<neGeometry> geometryPool;

    // Work arrays of the solver and the response.
    neGrowArray<void*> solveList;
    neGrowArray<void*> touchedStacks;
    neGrowArray<neCollisionResult> constraintRows;
    neGrowArray<neCollisionResult> stackRecords;
    // Stacks: the headers in use, the built-in header of bodies resting only
    // on the terrain or animated bodies, and the stack body list (bodies of
    // the current solve that belong to no constraint set).
    neList<neStack> stacks;
    neStack builtInStack{nullptr, nullptr, 0, 1, 0, 0, nullptr, nullptr};
    neRigidBody* stackBodyFirst = nullptr;
    neRigidBody* stackBodyLast = nullptr;
    s32 logLevel = 0;

    f32 leftoverTime = 0.0f;
    f32 previousStep = 0.0f;

    neMaterial materials[NE_MATERIAL_COUNT];

    nePool<neRigidBody> rigidBodyPool;
    nePool<neAnimatedBody> animatedBodyPool;
    nePool<neRigidBody> particlePool;
    neBodyList activeRigidBodies, inactiveRigidBodies;
    neBodyList activeAnimatedBodies, inactiveAnimatedBodies;
    neBodyList activeParticles, inactiveParticles;

    neRegion region;
    neCollisionTable collisionTable;

    // Terrain stage: leaves found by the tree, and the unique triangle indices.
    neGrowArray<const neTreeNode*> terrainLeaves;
    neGrowArray<s32> terrainTriangles;
    neGrowArray<s32> terrainQueryIndices;  // wraps a terrain query callback's answer
    // Per terrain triangle: the query that last gathered it (merges leaves
    // without searching the list).
    neGrowArray<u32> terrainSeen;
    u32 terrainQueryStamp = 0;
    // The terrain as a body: the second body of every terrain contact.
    neAnimatedBody terrainBody{};
    neGeometry terrainGeometry{};
    // The candidates within the body's box in x and z, and those that its
    // sensor lines can reach, both in candidate order.
    neGrowArray<s32> nearTriangles;
    neGrowArray<s32> sensorTriangles;
    neGrowArray<u32> sensorTriangleLines;  // per sensor triangle: a bit per line box it meets
    neGrowArray<s32> lineTriangles;        // the sensor triangles of one line box
    neLineBox sensorLines[NE_SENSOR_LINE_BOXES];
    s32 sensorLineCount = 0;
    neLineBox sensorReach;  // around all of the body's sensor lines
    neGeometry sensorTerrainGeometry{};

    // Records handed to the collision callback, one per collision stage.
    neCollisionInfo bodyCollisionInfo{};
    neCollisionInfo terrainCollisionInfo{};

    neCollisionCallback collisionCallback = nullptr;
    neLogOutputCallback logCallback = nullptr;
    neBreakageCallback breakageCallback = nullptr;
    neTerrainQueryCallback terrainQueryCallback = nullptr;
    neCustomCollisionCallback1 customCollisionCallback1 = nullptr;
    neCustomCollisionCallback2 customCollisionCallback2 = nullptr;

    char logBuffer[NE_LOG_BUFFER_SIZE] = {};
};
