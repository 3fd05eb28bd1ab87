// The simulation clock: the two advances and the phases of one step,
// including the body-pair and terrain collision stages.
#include "physics/simulator_core.h"

#include "physics/narrow_phase.h"
#include "physics/sensor.h"
#include "physics/stack.h"

#include <cmath>
#include <cstring>

namespace {

// A step-size change of the variable advance is limited to this fraction.
constexpr f32 NE_STEP_CHANGE_LIMIT = 0.2f;
// Advances this long or longer are left out of the running average.
constexpr f32 NE_TIMER_AVERAGE_LIMIT = 100.0f;

bool IsPositiveFinite(f32 v) { return v > 0.0f && std::isfinite(v); }

template <typename Fn>
void ForEach(neBodyList& list, Fn fn) {
    for (neBody* b = list.first; b;) {
        neBody* following = b->next;
        fn(b);
        b = following;
    }
}

neT3 Identity() {
    neT3 t;
    t.SetIdentity();
    return t;
}

s32 KindOf(const neBody* b) { return b->type == NE_BODY_RIGID ? NE_COLLISION_RIGID : NE_COLLISION_ANIMATED; }

// Velocity of the material point of a body at world offset `arm` from its
// centre; animated bodies and the terrain do not move.
neV3 PointVelocity(neBody* b, const neV3& arm) {
    neRigidBody* r = b ? b->AsRigidBody() : nullptr;
    return r ? r->GetVelocityAtPoint(arm) : neMakeV3(0, 0, 0);
}

// True when the triangle lies wholly beyond one x or z face of the box: a
// body's shapes and sensor lines lie within its box, so such a triangle
// touches none of them.
bool OutsideInXZ(const neTriangle& t, const neV3* v, const neV3& lo, const neV3& hi) {
    const neV3& a = v[t.indices[0]];
    const neV3& b = v[t.indices[1]];
    const neV3& c = v[t.indices[2]];
    return (a.x < lo.x && b.x < lo.x && c.x < lo.x) || (a.x > hi.x && b.x > hi.x && c.x > hi.x) ||
           (a.z < lo.z && b.z < lo.z && c.z < lo.z) || (a.z > hi.z && b.z > hi.z && c.z > hi.z);
}

neTriangleFootprint FootprintOf(const neTriangle& t, const neV3* v) {
    const neV3& a = v[t.indices[0]];
    const neV3& b = v[t.indices[1]];
    const neV3& c = v[t.indices[2]];
    return {std::fmin(a.x, std::fmin(b.x, c.x)), std::fmax(a.x, std::fmax(b.x, c.x)),
            std::fmin(a.z, std::fmin(b.z, c.z)), std::fmax(a.z, std::fmax(b.z, c.z))};
}

// The line boxes the triangle meets, a bit each: its footprint settles x and
// z, and only a triangle under a box has its corners read for y.
u32 LinesMet(const neLineBox* lines, s32 count, const neTriangleFootprint& f, const neTriangle& t, const neV3* v) {
    u32 met = 0;
    for (s32 k = 0; k < count; ++k) {
        const neLineBox& box = lines[k];
        if (f.maxX < box.lo.x || f.minX > box.hi.x || f.maxZ < box.lo.z || f.minZ > box.hi.z) continue;
        if (!box.Misses(v[t.indices[0]], v[t.indices[1]], v[t.indices[2]])) met |= 1u << k;
    }
    return met;
}

bool SameStack(const neRigidBody* a, const neRigidBody* b) {
    return a->stackNode && b->stackNode && a->stackNode->stack == b->stackNode->stack;
}

}  // namespace

bool neIsValidNormal(const neV3& n) {
    if (!std::isfinite(n.x) || !std::isfinite(n.y) || !std::isfinite(n.z)) return false;
    return std::fabs(n.x) > NE_ZERO || std::fabs(n.y) > NE_ZERO || std::fabs(n.z) > NE_ZERO;
}

// ---- advances ----

void neSimulatorCore::Advance(f32 time, s32 steps, neStepTimerRecord* record) { AdvanceFixed(time, steps, record); }

void neSimulatorCore::AdvanceMinMax(f32 time, f32 minStep, f32 maxStep, neStepTimerRecord* record) {
    AdvanceVariable(time, minStep, maxStep, record);
}

void neSimulatorCore::MarkTimer(neTimerBucket bucket) {
    if (timerRecord) stepTimer.AddBucket(bucket);
}

namespace {

void StartRecord(neStepTimerRecord* record, neStepTimer& timer) {
    if (!record) return;
    for (f32& t : record->totals) t = 0.0f;
    timer.Start();
}

void FinishRecord(neStepTimerRecord* record, const neStepTimer& timer) {
    if (!record) return;
    f32 total = timer.Total();
    if (record->mode == 1) {
        record->totals[0] = total;
    } else if (total < NE_TIMER_AVERAGE_LIMIT) {  // false for NaN too
        ++record->sampleCount;
        record->runningSum += total;
        record->totals[0] = record->runningSum / static_cast<f32>(record->sampleCount);
    }
}

}  // namespace

void neSimulatorCore::AdvanceFixed(f32 time, s32 steps, neStepTimerRecord* record) {
    timerRecord = record;
    StartRecord(record, stepTimer);
    // A count below 1 or a time that is not finite and positive would make
    // the step time or its reciprocal meaningless: no step then.
    if (steps > 0 && IsPositiveFinite(time)) {
        stepTime = time / static_cast<f32>(static_cast<u32>(steps));
        stepTimeInverse = 1.0f / stepTime;
        for (s32 i = 0; i < steps; ++i) StepOnce();
    }
    ForEach(activeAnimatedBodies, [](neBody* b) { static_cast<neAnimatedBody*>(b)->moved = 0; });
    FinishRecord(record, stepTimer);
    timerRecord = nullptr;
    ++stepCount;
}

void neSimulatorCore::AdvanceVariable(f32 time, f32 minStep, f32 maxStep, neStepTimerRecord* record) {
    // Sizes of 0 or less would loop for ever; refuse them and other nonsense.
    if (!IsPositiveFinite(minStep) || !IsPositiveFinite(maxStep) || !std::isfinite(time) || time < 0.0f)
        return;
    timerRecord = record;
    StartRecord(record, stepTimer);
    f32 accumulated = leftoverTime + time;
    f32 step = maxStep;
    while (accumulated >= minStep) {
        if (step > accumulated) {
            step = accumulated < maxStep ? accumulated : maxStep;
            continue;
        }
        while (accumulated >= step) {
            if (IsPositiveFinite(previousStep) && std::fabs(step - previousStep) / previousStep > NE_STEP_CHANGE_LIMIT)
                step = previousStep < step ? previousStep * (1.0f + NE_STEP_CHANGE_LIMIT)
                                           : previousStep * (1.0f - NE_STEP_CHANGE_LIMIT);
            // The limited step never runs past the time there is to step.
            if (step > accumulated) step = accumulated;
            stepTime = step;
            stepTimeInverse = 1.0f / step;
            StepOnce();
            ++stepCount;
            accumulated -= step;
            previousStep = step;
        }
        if (accumulated < step) step = accumulated < maxStep ? accumulated : maxStep;
        if (!(step > 0.0f)) break;
    }
    leftoverTime = accumulated;
    ForEach(activeAnimatedBodies, [](neBody* b) { static_cast<neAnimatedBody*>(b)->moved = 0; });
    FinishRecord(record, stepTimer);
    timerRecord = nullptr;
}

// ---- one step ----

void neSimulatorCore::StepOnce() {
    // Sensors: the previous step's detections are forgotten.
    ForEach(activeAnimatedBodies, [](neBody* b) { b->ClearSensorDetections(); });
    ForEach(activeParticles, [](neBody* b) { b->ClearSensorDetections(); });
    ForEach(activeRigidBodies, [](neBody* b) { b->ClearSensorDetections(); });

    // World bounds into the broad phase's end points; a body that sleeps
    // where its box was last computed keeps that box.
    auto bounds = [](neBody* b) {
        if (static_cast<neRigidBody*>(b)->restState != NE_RESTING || !b->BoundsCurrent()) b->UpdateAabb();
    };
    ForEach(activeRigidBodies, bounds);
    ForEach(activeParticles, bounds);
    ForEach(activeAnimatedBodies, [](neBody* b) {
        if (static_cast<neAnimatedBody*>(b)->moved) b->UpdateAabb();
    });

    // Broad phase.
    region.Update();
    MarkTimer(NE_TIMER_BROAD_PHASE);

    // Collision stages: body pairs, then the terrain.
    CollideBodies();
    MarkTimer(NE_TIMER_BODY_PAIRS);
    CollideTerrain();
    MarkTimer(NE_TIMER_TERRAIN);

    // Joints: their forces start from zero, then the constraints update.
    auto clearJoint = [](neBody* b) {
        neRigidBody* r = static_cast<neRigidBody*>(b);
        r->jointForce = r->jointTorque = neMakeV3(0, 0, 0);
    };
    ForEach(activeRigidBodies, clearJoint);
    ForEach(activeParticles, clearJoint);
    UpdateConstraints();

    // Integration: velocities from this step's forces.
    restingBodyCount = 0;
    const f32 dt = stepTime;
    auto integrate = [dt](neBody* b) {
        neRigidBody* r = static_cast<neRigidBody*>(b);
        // The step's sums start from what the joints added (damping).
        r->forceSum = r->jointForce;
        r->torqueSum = r->jointTorque;
        r->Integrate(dt);
    };
    ForEach(activeRigidBodies, integrate);
    ForEach(activeParticles, integrate);
    MarkTimer(NE_TIMER_INTEGRATION);

    // Constraint solving and the stacks. SolveStacks marks the resting
    // bodies and the stacks' solve itself; the stack bucket is marked once
    // more here, as the stack phase's end.
    for (neStack* s = stackPool.FirstUsed(); s; s = stackPool.NextUsed(s)) s->stepWord = 0;
    SolveConstraints();
    CheckStacks();
    SolveStacks();
    MarkTimer(NE_TIMER_STACK_SOLVE);

    // Positions, then gravity and the controllers for the next step.
    auto move = [dt](neBody* b) {
        neRigidBody* r = static_cast<neRigidBody*>(b);
        r->stackSolveFlag = 1;
        if (r->restState == NE_RESTING) return;
        if (!r->constraintSet) neStackUpdateBody(r);
        if (r->restState != NE_RESTING) r->UpdatePosition(dt);
    };
    ForEach(activeRigidBodies, move);
    ForEach(activeParticles, move);
    MarkTimer(NE_TIMER_POSITIONS);

    // Joint counters.
    AdvanceConstraintCounters();
    MarkTimer(NE_TIMER_JOINT_COUNTERS);
}

void neSimulatorCore::CustomContactToResult(const neCustomCollisionInfo& info, neBody* a, neBody* b,
                                        neCollisionResult& result) {
    std::memset(&result, 0, sizeof result);
    neSetContactPoints(result, info.worldContactPointA, *a->GetTransformPtr(), info.worldContactPointB,
                       *b->GetTransformPtr());
    result.normal = info.collisionNormal;
    result.depth = info.penetrationDepth;
    result.materialIndexA = info.materialIndexA;
    result.materialIndexB = info.materialIndexB;
    result.valid = 1;
}

void neSimulatorCore::CollideBodies() {
    for (neOverlapPair* pair = region.FirstPair(); pair; pair = region.NextPair(pair)) {
        neBody* a = pair->bodyA;
        neBody* b = pair->bodyB;
        neRigidBody* ra = a->AsRigidBody();
        neRigidBody* rb = b->AsRigidBody();
        if (!ra && !rb) continue;

        const s32 response = collisionTable.GetImpl(a->collisionID, b->collisionID);
        if (response == 0) continue;

        // Sleeping bodies that nothing disturbed are not tested.
        if (!ra || !rb) {
            neRigidBody* r = ra ? ra : rb;
            neAnimatedBody* anim = (ra ? b : a)->AsAnimatedBody();
            if (r->restState == NE_RESTING && !r->previousSeparated && !anim->moved) continue;
        } else if (!SameStack(ra, rb)) {
            if (ra->restState == NE_RESTING && rb->restState == NE_RESTING && !ra->previousSeparated &&
                !rb->previousSeparated)
                continue;
        } else if (ra->restState == NE_RESTING && rb->restState == NE_RESTING) {
            // Bodies of one stack are tested while either is awake, whatever
            // their region words: a body gains a resting contact per step at
            // most, so one that stopped meeting its stack-mates would keep its
            // first corner as its only support, tip over it and sink through.
            continue;
        }

        neCollisionResult result;
        std::memset(&result, 0, sizeof result);
        bool custom = false;
        if (!a->customCollision && !b->customCollision) {
            neCollideBodyPair(result, a, *a->GetTransformPtr(), b, *b->GetTransformPtr());
            // A rigid body's sensors see only animated bodies.
            if (ra && !rb && ra->sensorFirst)
                neCollideSensors(a, *a->GetTransformPtr(), b, *b->GetTransformPtr());
            if (rb && !ra && rb->sensorFirst)
                neCollideSensors(b, *b->GetTransformPtr(), a, *a->GetTransformPtr());
        } else {
            custom = true;
            neCustomCollisionInfo info;
            std::memset(&info, 0, sizeof info);
            s32 touching = 0;
            if (ra && rb) {
                if (customCollisionCallback1) touching = customCollisionCallback1(ra, rb, &info);
            } else if (customCollisionCallback2) {
                if (ra) {
                    touching = customCollisionCallback2(ra, b->AsAnimatedBody(), &info);
                } else {
                    touching = customCollisionCallback2(rb, a->AsAnimatedBody(), &info);
                    // Reported for (rigid, animated): turn it round for (A, B).
                    info.collisionNormal = -info.collisionNormal;
                    neV3 p = info.worldContactPointA;
                    info.worldContactPointA = info.worldContactPointB;
                    info.worldContactPointB = p;
                    s32 m = info.materialIndexA;
                    info.materialIndexA = info.materialIndexB;
                    info.materialIndexB = m;
                }
            }
            if (touching) CustomContactToResult(info, a, b, result);
        }
        if (!result.valid) continue;
        result.bodyA = a;
        result.bodyB = b;
        result.kind = NE_IMPULSE_COLLISION;
        result.relativeVelocityWorld = PointVelocity(a, result.pointA) - PointVelocity(b, result.pointB);

        if ((response & NE_RESPONSE_IMPULSE) && neIsValidNormal(result.normal) &&
            !(ra && rb && ra->restState == NE_EXCLUDED && rb->restState == NE_EXCLUDED))
            RespondToCollision(a, b, result);

        if ((response & NE_RESPONSE_CALLBACK) && collisionCallback && !custom)
            ReportCollision(bodyCollisionInfo, result, false);
    }
}

bool neSimulatorCore::FindTerrainCandidates(neRigidBody* body) {
    terrainLeaves.Clear();
    terrainTriangles.Clear();
    sensorTriangles.Clear();
    sensorTriangleLines.Clear();
    BoxSensorLines(body);
    if (terrainQueryCallback) {
        s32* indices = nullptr;
        neTriangle* triangles = nullptr;
        neV3* vertices = nullptr;
        s32 indexCount = 0, triangleCount = 0;
        terrainQueryCallback(body->minBound, body->maxBound, &indices, &triangles, &vertices, &indexCount,
                             &triangleCount, body);
        MarkTimer(NE_TIMER_TERRAIN_SEARCH);
        if (!indices || !triangles || !vertices || indexCount <= 0) return false;
        terrainQueryIndices.Wrap(indices, indexCount);
        terrainGeometry.SetMesh(terrainQueryIndices.Data(), terrainQueryIndices.Count(), triangles, vertices);
        return NarrowToBody(body);
    }
    const neTerrainTree& tree = region.Terrain();
    if (tree.IsEmpty()) return false;
    const neV3& lo = body->minBound;
    const neV3& hi = body->maxBound;
    const bool kept = body->terrainLeafBuild == tree.BuildCount();
    body->terrainLeaf = tree.QueryNear(kept ? body->terrainLeaf : nullptr, terrainLeaves, lo, hi);
    body->terrainLeafBuild = tree.BuildCount();
    // Each triangle once, in first-seen order. A leaf holds a hundred
    // triangles or more, most of them beside the body: its cells hand over
    // those near the body, still in the leaf's order.
    if (++terrainQueryStamp == 0) {
        for (s32 i = 0; i < terrainSeen.Count(); ++i) terrainSeen[i] = 0;
        terrainQueryStamp = 1;
    }
    // A leaf lists a triangle once: only a search over several leaves needs
    // to merge.
    const bool single = terrainLeaves.Count() == 1;
    const bool stamped = terrainSeen.Count() == tree.TriangleCount();
    auto seenBefore = [&](s32 index) {
        if (single) return false;
        if (!stamped) {
            for (s32 j = 0; j < terrainTriangles.Count(); ++j)
                if (terrainTriangles[j] == index) return true;
            return false;
        }
        const bool seen = terrainSeen[index] == terrainQueryStamp;
        terrainSeen[index] = terrainQueryStamp;
        return seen;
    };
    for (s32 i = 0; i < terrainLeaves.Count(); ++i) {
        tree.ForEachNear(*terrainLeaves[i], lo, hi, [&](s32 index, const neTriangleFootprint& f) {
            if (seenBefore(index)) return;
            terrainTriangles.Push(index);
            SortForSensors(index, f, tree.Triangles(), tree.Vertices());
        });
    }
    MarkTimer(NE_TIMER_TERRAIN_SEARCH);
    if (terrainTriangles.Count() == 0) return false;
    terrainGeometry.SetMesh(terrainTriangles.Data(), terrainTriangles.Count(), tree.Triangles(), tree.Vertices());
    return true;
}

bool neSimulatorCore::NarrowToBody(const neRigidBody* body) {
    const neV3* v = terrainGeometry.triangleVertices;
    const neTriangle* triangles = terrainGeometry.shape.mesh.triangles;
    const s32* candidates = terrainGeometry.shape.mesh.indices;
    const neV3& lo = body->minBound;
    const neV3& hi = body->maxBound;
    nearTriangles.Clear();
    for (s32 i = 0; i < terrainGeometry.shape.mesh.indexCount; ++i) {
        const s32 t = candidates[i];
        if (OutsideInXZ(triangles[t], v, lo, hi)) continue;
        nearTriangles.Push(t);
        SortForSensors(t, FootprintOf(triangles[t], v), triangles, v);
    }
    if (nearTriangles.Count() == 0) return false;
    terrainGeometry.SetMesh(nearTriangles.Data(), nearTriangles.Count(), triangles, v);
    return true;
}

void neSimulatorCore::BoxSensorLines(const neRigidBody* body) {
    // One box per line (a body with more lines shares the last box among
    // the rest): a wheel line meets a handful of the triangles under its
    // truck, and each line tests only those that meet any line's box.
    sensorLineCount = 0;
    sensorReach = neLineBox{};
    const neT3& transform = body->state.transform;
    for (const neSensor* s = body->sensorFirst; s; s = s->next) {
        if (sensorLineCount < NE_SENSOR_LINE_BOXES) sensorLines[sensorLineCount++] = neLineBox{};
        const neV3 start = transform * s->linePos, vector = transform.rot * s->lineVector;
        sensorLines[sensorLineCount - 1].Add(start, vector);
        sensorReach.Add(start, vector);
    }
}

void neSimulatorCore::SortForSensors(s32 triangle, const neTriangleFootprint& footprint, const neTriangle* triangles,
                                 const neV3* vertices) {
    // Most candidates lie beside every line: the box around them all says so first.
    if (sensorLineCount == 0) return;
    const neLineBox& reach = sensorReach;
    if (footprint.maxX < reach.lo.x || footprint.minX > reach.hi.x || footprint.maxZ < reach.lo.z ||
        footprint.minZ > reach.hi.z)
        return;
    const u32 met = LinesMet(sensorLines, sensorLineCount, footprint, triangles[triangle], vertices);
    if (met == 0) return;
    sensorTriangles.Push(triangle);
    sensorTriangleLines.Push(met);
}

void neSimulatorCore::CollideSensorsWithTerrain(neRigidBody* body) {
    // A line's own box passes what its full test would read, in the same
    // order; lines past the last box share it and each still tests its own.
    const neT3 identity = Identity();
    s32 line = 0;
    for (neSensor* s = body->sensorFirst; s; s = s->next, ++line) {
        const u32 bit = 1u << (line < NE_SENSOR_LINE_BOXES ? line : NE_SENSOR_LINE_BOXES - 1);
        lineTriangles.Clear();
        for (s32 i = 0; i < sensorTriangles.Count(); ++i)
            if (sensorTriangleLines[i] & bit) lineTriangles.Push(sensorTriangles[i]);
        if (lineTriangles.Count() == 0) continue;
        sensorTerrainGeometry.SetMesh(lineTriangles.Data(), lineTriangles.Count(), terrainGeometry.shape.mesh.triangles,
                                      terrainGeometry.triangleVertices);
        neCollideSensor(*s, body->state.transform, nullptr, identity, &sensorTerrainGeometry);
    }
}

void neSimulatorCore::CollideTerrain() {
    terrainGeometry.frame.SetIdentity();
    const neT3 identity = Identity();
    auto collide = [&](neBody* b) {
        neRigidBody* body = static_cast<neRigidBody*>(b);
        if (body->restState == NE_RESTING && !body->previousSeparated) return;
        if (!body->HasCollisionShape()) return;  // no world box to query with
        const neV3 kept = body->terrainFacing;
        body->terrainFacing = neMakeV3(0, 0, 0);
        if (!FindTerrainCandidates(body)) return;
        terrainGeometry.shape.mesh.keptFacing = kept;
        terrainGeometry.shape.mesh.up = -gravityDirection;

        neCollisionResult result;
        std::memset(&result, 0, sizeof result);
        const neT3& transform = body->state.transform;
        if (body->geometryCount > 0) neCollideBodyPair(result, body, transform, &terrainBody, identity);
        if (sensorTriangles.Count() > 0) CollideSensorsWithTerrain(body);
        if (!result.valid) return;
        body->terrainFacing = result.normal;
        result.bodyA = body;
        result.bodyB = &terrainBody;
        result.geometryB = nullptr;
        result.kind = NE_IMPULSE_COLLISION;
        result.relativeVelocityWorld = PointVelocity(body, result.pointA);

        const s32 response = collisionTable.GetTerrain(body->collisionID);
        if ((response & NE_RESPONSE_IMPULSE) && body->restState != NE_EXCLUDED && neIsValidNormal(result.normal))
            RespondToCollision(body, &terrainBody, result);
        if ((response & NE_RESPONSE_CALLBACK) && collisionCallback) ReportCollision(terrainCollisionInfo, result, true);
    };
    ForEach(activeRigidBodies, collide);
    ForEach(activeParticles, collide);

    auto carry = [](neBody* b) {
        neRigidBody* r = static_cast<neRigidBody*>(b);
        r->previousSeparated = r->separated ? 1 : 0;
        r->separated = 0;
    };
    ForEach(activeRigidBodies, carry);
    ForEach(activeParticles, carry);
}

void neSimulatorCore::FillCollisionInfo(neCollisionInfo& info, const neCollisionResult& result, bool terrain) {
    info.bodyA = result.bodyA;
    info.typeA = KindOf(result.bodyA);
    info.geometryA = result.geometryA;
    info.materialIndexA = result.materialIndexA;
    info.materialIndexB = result.materialIndexB;
    info.bodyContactPointA = result.localPointA;
    info.bodyContactPointB = result.localPointB;
    info.worldContactPointA = result.worldPointA;
    info.worldContactPointB = result.worldPointB;
    info.relativeVelocity = result.relativeVelocityWorld;
    info.collisionNormal = result.normal;
    if (terrain) {
        info.bodyB = nullptr;
        info.typeB = NE_COLLISION_TERRAIN;
        info.geometryB = nullptr;
    } else {
        info.bodyB = result.bodyB;
        info.typeB = KindOf(result.bodyB);
        info.geometryB = result.geometryB;
    }
}

void neSimulatorCore::ReportCollision(neCollisionInfo& info, const neCollisionResult& result, bool terrain) {
    FillCollisionInfo(info, result, terrain);
    collisionCallback(&info);
}
