// The physics world as a game sees it: making and freeing bodies and
// joints, the world's gravity, materials, collision table and terrain,
// stepping, and the callbacks and counters. The pools, lists, broad phase,
// terrain tree, stacks and solver behind it are the engine's own
// (physics/simulator_core.h) and stay out of the game's sight.
#pragma once

#include "math/ne_math.h"
#include "physics/body.h"
#include "physics/collision.h"
#include "physics/constraint.h"
#include "physics/controller.h"
#include "physics/geometry.h"
#include "physics/material.h"
#include "physics/sensor.h"

class neAllocator;
struct neStepTimerRecord;

// Capacities of a simulator's pools.
struct neSimulatorSizes {
    s32 rigidBodiesCount = 50;
    s32 animatedBodiesCount = 50;
    s32 rigidParticleCount = 50;
    s32 controllersCount = 50;
    s32 overlapPairsCount = 1225;  // 50 × 49 / 2
    s32 geometriesCount = 50;
    s32 constraintsCount = 100;
    s32 constraintSetsCount = 100;
    s32 unusedCount8 = 2000;       // sizes nothing
    s32 sensorsCount = 100;
    s32 terrainNodesStartCount = 200;
    s32 terrainNodesGrowByCount = -1;  // -1 doubles
};

// Only CreateSimulator makes one; each call reaches the engine's simulator
// behind it.
struct neSimulator {
    // Null when the allocation fails. Without an allocator the heap is used;
    // without gravity there is none.
    static neSimulator* CreateSimulator(const neSimulatorSizes& sizes, neAllocator* allocator = nullptr,
                                        const neV3* gravity = nullptr);
    static void DestroySimulator(neSimulator* sim);

    // ---- bodies ----
    neRigidBody* CreateRigidBody();
    neRigidBody* CreateRigidParticle();
    neAnimatedBody* CreateAnimatedBody();
    // Returns a body to its pool. Anything that is not a handed-out body is
    // logged and changes nothing.
    void FreeRigidBody(neBody* body);
    void FreeAnimatedBody(neBody* body);

    // ---- joints ----
    // A joint of the body to the world, to a second rigid body or to an
    // animated body; null for a missing body or an exhausted pool.
    neConstraint* CreateConstraintWorld(neRigidBody* body);
    neConstraint* CreateConstraint(neRigidBody* bodyA, neRigidBody* bodyB);
    neConstraint* CreateConstraintAnimated(neRigidBody* rigidBody, neAnimatedBody* animatedBody);
    // Takes the joint out of its bodies and its set and returns it, with its
    // controllers, to its pool.
    void FreeConstraint(neConstraint* joint);

    // ---- world ----
    neV3 GetGravity() const;
    void SetGravity(const neV3& g);
    neCollisionTable* GetCollisionTable();
    bool SetMaterial(s32 index, f32 friction, f32 restitution);
    bool GetMaterial(s32 index, f32& friction, f32& restitution) const;
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

    // ---- callbacks, log and counters ----
    // The collision and log setters return the previous function; the
    // others return the one they store.
    neCollisionCallback SetCollisionCallback(neCollisionCallback fn);
    neCollisionCallback GetCollisionCallback() const;
    // Called when a breakable geometry breaks off its body.
    neBreakageCallback SetBreakageCallback(neBreakageCallback fn);
    neBreakageCallback GetBreakageCallback() const;
    // Answers the terrain stage's triangle query in place of the terrain tree.
    neTerrainQueryCallback SetTerrainQueryCallback(neTerrainQueryCallback fn);
    neTerrainQueryCallback GetTerrainQueryCallback() const;
    // The application's own test of bodies that use custom collision
    // detection: against a rigid body (1) or an animated body (2).
    neCustomCollisionCallback1 SetCustomCollisionCallback1(neCustomCollisionCallback1 fn);
    neCustomCollisionCallback1 GetCustomCollisionCallback1() const;
    neCustomCollisionCallback2 SetCustomCollisionCallback2(neCustomCollisionCallback2 fn);
    neCustomCollisionCallback2 GetCustomCollisionCallback2() const;
    neLogOutputCallback SetLogOutputCallback(neLogOutputCallback fn);
    neLogOutputCallback GetLogOutputCallback() const;
    s32 SetLogOutputLevel(s32 level);
    neSimulatorSizes GetSizes() const;
    // The records in use of each pool, in the fields that size them.
    neSimulatorSizes GetPoolStats() const;
    // Bytes held by every container of the simulator.
    u32 GetMemoryAllocated() const;
    s32 GetStepCount() const;

 protected:
    neSimulator() = default;
    ~neSimulator() = default;
    neSimulator(const neSimulator&) = delete;
    neSimulator& operator=(const neSimulator&) = delete;
};
