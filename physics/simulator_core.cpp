// Creation and destruction of the simulator, its pools, bodies, materials,
// log and statistics.
#include "physics/simulator_core.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Pool sizes: a negative count means none.
s32 Count(s32 n) { return n < 0 ? 0 : n; }

constexpr s32 NE_TERRAIN_LEAVES_START = 100;
constexpr s32 NE_TERRAIN_TRIANGLES_START = 200;
constexpr s32 NE_WORK_POINTERS_START = 1000;
constexpr s32 NE_WORK_RECORDS_START = 100;
constexpr s32 NE_WORK_GROWTH = 100;

const char* const kRunOutRigid = "Run out of RigidBodies. Increase 'rigidBodiesCount'.\n";
const char* const kRunOutParticle = "Run out of RigidBodies. Increase 'rigidParticleCount'.\n";
const char* const kRunOutGeometry = "Run out of Geometries. Increase 'geometriesCount'.\n";
const char* const kRunOutSensor = "Run out of Sensors. Increase 'sensorsCount'.\n";
const char* const kRunOutController = "Run out of Controllers. Increase 'controllersCount'.\n";
const char* const kRunOutAnimated = "Run out of AnimatedBodies. Increase 'animatedBodiesCount'.\n";
const char* const kInvalidRigid = "Trying to Free invalid RigidBody.\n";
const char* const kInvalidParticle = "Trying to Free invalid RigidParticle.\n";
const char* const kInvalidAnimated = "Trying to Free invalid AnimatedBody.\n";

}  // namespace

neSimulatorCore* neSimulatorCore::CreateSimulator(const neSimulatorSizes& sizes, neAllocator* alloc, const neV3* gravity) {
    void* memory = alloc ? alloc->Alloc(sizeof(neSimulatorCore), 0) : std::malloc(sizeof(neSimulatorCore));
    if (!memory) return nullptr;
    neSimulatorCore* sim = new (memory) neSimulatorCore(sizes, alloc, gravity);
    sim->creator = alloc;
    return sim;
}

void neSimulatorCore::DestroySimulator(neSimulatorCore* sim) {
    if (!sim) return;
    neAllocator* from = sim->creator;
    sim->~neSimulatorCore();
    if (from)
        from->Free(sim);
    else
        std::free(sim);
}

neSimulatorCore::neSimulatorCore(const neSimulatorSizes& s, neAllocator* alloc, const neV3* g) : sizes(s) {
    allocator = alloc ? alloc : &ownAllocator;

    const s32 rigid = Count(sizes.rigidBodiesCount);
    const s32 particles = Count(sizes.rigidParticleCount);
    SetGravity(g ? *g : neMakeV3(0, 0, 0));
    rigidBodyPool.Reserve(rigid, allocator);
    animatedBodyPool.Reserve(Count(sizes.animatedBodiesCount), allocator);
    particlePool.Reserve(particles, allocator);
    region.Initialise(this, NE_ALL_AXES);
    stepCount = 0;

    for (neMaterial& m : materials) m = neMaterial{};
    timerRecord = nullptr;

    terrainLeaves.Reserve(NE_TERRAIN_LEAVES_START, allocator, NE_TERRAIN_LEAVES_START);
    terrainTriangles.Reserve(NE_TERRAIN_TRIANGLES_START, allocator, NE_TERRAIN_TRIANGLES_START);
    nearTriangles.Reserve(NE_TERRAIN_TRIANGLES_START, allocator, NE_TERRAIN_TRIANGLES_START);
    sensorTriangles.Reserve(NE_TERRAIN_TRIANGLES_START, allocator, NE_TERRAIN_TRIANGLES_START);
    sensorTriangleLines.Reserve(NE_TERRAIN_TRIANGLES_START, allocator, NE_TERRAIN_TRIANGLES_START);
    lineTriangles.Reserve(NE_TERRAIN_TRIANGLES_START, allocator, NE_TERRAIN_TRIANGLES_START);

    constraintPool.Reserve(Count(sizes.constraintsCount), allocator);
    constraintSetPool.Reserve(Count(sizes.constraintSetsCount), allocator);
    stackNodePool.Reserve(rigid + particles, allocator);
    stackPool.Reserve(rigid + particles + NE_EXTRA_STACK_HEADERS, allocator);
    controllerPool.Reserve(Count(sizes.controllersCount), allocator);
    sensorPool.Reserve(Count(sizes.sensorsCount), allocator);
    geometryPool.Reserve(Count(sizes.geometriesCount), allocator);

    solveList.Reserve(NE_WORK_POINTERS_START, allocator, NE_WORK_GROWTH);
    touchedStacks.Reserve(NE_WORK_POINTERS_START, allocator, NE_WORK_GROWTH);
    constraintRows.Reserve(NE_WORK_RECORDS_START, allocator, NE_WORK_GROWTH);
    stackRecords.Reserve(NE_WORK_RECORDS_START, allocator, NE_WORK_GROWTH);

    // The terrain as a body: never listed, never in the region, one geometry
    // that the terrain stage points at the current candidate triangles.
    terrainBody.Reset(this);
    terrainBody.collisionID = -1;
    terrainGeometry.SetDefaults();
    terrainGeometry.next = terrainGeometry.prev = nullptr;
    sensorTerrainGeometry.SetDefaults();
    terrainBody.geometryFirst = terrainBody.geometryLast = &terrainGeometry;
    terrainBody.geometryCount = 1;

    logLevel = 0;
    stepTimer.Calibrate(neMonotonicClock());
    leftoverTime = 0.0f;
    previousStep = 0.0f;
}

neSimulatorCore::~neSimulatorCore() {
    FreeAllBodies();
    region.Free();
}

void neSimulatorCore::SetStepClock(const neStepClock& clock) { stepTimer.Calibrate(clock); }

void neSimulatorCore::SetGravity(const neV3& g) {
    gravity = g;
    gravity.w = 0.0f;
    f32 d = g.Dot(g);
    if (d < NE_ZERO || !std::isfinite(d)) {
        gravityDirection = neMakeV3(0, 0, 0);
        gravityLength = 0.0f;
    } else {
        gravityLength = std::sqrt(d);
        gravityDirection = g * (1.0f / gravityLength);
    }
}

// ---- log ----

void neSimulatorCore::LogOutput(s32 level, const char* message) {
    std::snprintf(logBuffer, sizeof logBuffer, "%s", message);
    if (logCallback && level <= logLevel) logCallback(logBuffer);
}

neLogOutputCallback neSimulatorCore::SetLogOutputCallback(neLogOutputCallback fn) {
    neLogOutputCallback previous = logCallback;
    logCallback = fn;
    return previous;
}

neCollisionCallback neSimulatorCore::SetCollisionCallback(neCollisionCallback fn) {
    neCollisionCallback previous = collisionCallback;
    collisionCallback = fn;
    return previous;
}

// ---- pools ----

neGeometry* neSimulatorCore::AllocGeometry() {
    neGeometry* g = geometryPool.Alloc();
    if (!g) LogOutput(1, kRunOutGeometry);
    return g;
}

neSensor* neSimulatorCore::AllocSensor() {
    neSensor* s = sensorPool.Alloc();
    if (!s) LogOutput(1, kRunOutSensor);
    return s;
}

neController* neSimulatorCore::AllocController() {
    neController* c = controllerPool.Alloc();
    if (!c) LogOutput(1, kRunOutController);
    return c;
}


neBodyList* neSimulatorCore::ListOf(neBody* body, bool activeList) {
    if (body->type == NE_BODY_ANIMATED) return activeList ? &activeAnimatedBodies : &inactiveAnimatedBodies;
    if (static_cast<neRigidBody*>(body)->particle) return activeList ? &activeParticles : &inactiveParticles;
    return activeList ? &activeRigidBodies : &inactiveRigidBodies;
}

neRigidBody* neSimulatorCore::AllocRigidBody(bool isParticle) {
    nePool<neRigidBody>& pool = isParticle ? particlePool : rigidBodyPool;
    neRigidBody* body = pool.Alloc();
    if (!body) {
        LogOutput(1, isParticle ? kRunOutParticle : kRunOutRigid);
        return nullptr;
    }
    body->Reset(this, isParticle);
    ListOf(body, true)->Add(body);
    const s32 rigid = Count(sizes.rigidBodiesCount);
    const s32 animated = Count(sizes.animatedBodiesCount);
    body->index = pool.IndexOf(body) + (isParticle ? rigid + animated : 0);
    return body;
}

neRigidBody* neSimulatorCore::CreateRigidBody() { return AllocRigidBody(false); }
neRigidBody* neSimulatorCore::CreateRigidParticle() { return AllocRigidBody(true); }

neAnimatedBody* neSimulatorCore::CreateAnimatedBody() {
    neAnimatedBody* body = animatedBodyPool.Alloc();
    if (!body) {
        LogOutput(1, kRunOutAnimated);
        return nullptr;
    }
    body->Reset(this);
    activeAnimatedBodies.Add(body);
    body->index = Count(sizes.rigidBodiesCount) + animatedBodyPool.IndexOf(body);
    return body;
}

void neSimulatorCore::FreeBody(neBody* body) {
    // Check the pointer against the pools before touching the body at all.
    neRigidBody* asRigid = static_cast<neRigidBody*>(body);
    neAnimatedBody* asAnimated = static_cast<neAnimatedBody*>(body);
    if (rigidBodyPool.IsInUse(asRigid)) {
        ReleaseBodyParts(body);
        ListOf(body, body->active != 0)->Unlink(body);
        rigidBodyPool.Free(asRigid);
    } else if (particlePool.IsInUse(asRigid)) {
        ReleaseBodyParts(body);
        ListOf(body, body->active != 0)->Unlink(body);
        particlePool.Free(asRigid);
    } else if (animatedBodyPool.IsInUse(asAnimated)) {
        ReleaseBodyParts(body);
        ListOf(body, body->active != 0)->Unlink(body);
        animatedBodyPool.Free(asAnimated);
    } else if (particlePool.IndexOf(asRigid) >= 0) {
        LogOutput(1, kInvalidParticle);
    } else if (animatedBodyPool.IndexOf(asAnimated) >= 0) {
        LogOutput(1, kInvalidAnimated);
    } else {
        LogOutput(1, kInvalidRigid);
    }
}

void neSimulatorCore::FreeAllBodies() {
    neBodyList* lists[] = {&activeRigidBodies, &inactiveRigidBodies, &activeParticles,
                           &inactiveParticles, &activeAnimatedBodies, &inactiveAnimatedBodies};
    for (neBodyList* list : lists) {
        for (neBody* b = list->first; b;) {
            neBody* following = b->next;
            FreeBody(b);
            b = following;
        }
        list->Clear();
    }
}

neRigidBody* neSimulatorCore::CreateBodyFromBrokenGeometry(neBody* body, neGeometry* geometry) {
    if (!body || !geometry || body->geometryCount < 2) return nullptr;
    bool owned = false;
    for (neGeometry* g = body->geometryFirst; g; g = g->next) owned = owned || g == geometry;
    if (!owned) return nullptr;

    neRigidBody* piece = CreateRigidBody();
    if (!piece) return nullptr;
    piece->SetMass(geometry->breakagePieceMass);
    piece->SetInertiaTensor(geometry->breakagePieceInertia);
    geometry->breakageKind = NE_BREAK_NEVER;

    neT3 world = *body->GetTransformPtr() * geometry->frame;
    piece->state.transform = world;
    piece->state.q.SetupFromMatrix3(world.rot);
    piece->UpdateRotationAndInertia();
    piece->UpdateDerived();

    if (geometry->prev)
        geometry->prev->next = geometry->next;
    else
        body->geometryFirst = geometry->next;
    if (geometry->next)
        geometry->next->prev = geometry->prev;
    else
        body->geometryLast = geometry->prev;
    --body->geometryCount;
    if (body->geometryCount == 0 && body->active && body->regionRecord) region.RemoveBody(body);
    if (body->geometryCount == 1) body->UpdateBoundingInfo();

    geometry->frame.SetIdentity();
    geometry->next = geometry->prev = nullptr;
    piece->geometryFirst = piece->geometryLast = geometry;
    piece->geometryCount = 1;
    piece->UpdateBoundingInfo();
    piece->UpdateAabb();
    region.AddBody(piece, body);
    return piece;
}

// ---- materials and terrain ----

bool neSimulatorCore::SetMaterialImpl(s32 index, f32 friction, f32 restitution, f32 extra) {
    if (index < 0 || index >= NE_MATERIAL_COUNT) return false;
    materials[index] = neMaterial{friction, restitution, extra};
    return true;
}

bool neSimulatorCore::GetMaterialImpl(s32 index, f32& friction, f32& restitution, f32& extra) const {
    if (index < 0 || index >= NE_MATERIAL_COUNT) return false;
    friction = materials[index].friction;
    restitution = materials[index].restitution;
    extra = materials[index].extra;
    return true;
}

bool neSimulatorCore::SetMaterial(s32 index, f32 friction, f32 restitution) {
    return SetMaterialImpl(index, friction, restitution, 0.0f);
}

bool neSimulatorCore::GetMaterial(s32 index, f32& friction, f32& restitution) const {
    f32 extra;
    return GetMaterialImpl(index, friction, restitution, extra);
}

const neMaterial& neSimulatorCore::MaterialAt(s32 index) const {
    static const neMaterial defaultMaterial{};
    if (index < 0 || index >= NE_MATERIAL_COUNT) return defaultMaterial;
    return materials[index];
}

bool neSimulatorCore::SetTerrainMesh(const neTriangleMesh* mesh) {
    if (!mesh || !region.BuildTerrain(*mesh)) return false;
    const s32 count = region.Terrain().TriangleCount();
    terrainSeen.Release();
    terrainQueryStamp = 0;
    if (terrainSeen.Reserve(count, allocator, NE_GROW_NEVER))
        for (s32 i = 0; i < count; ++i) terrainSeen.Push(0);
    return true;
}

void neSimulatorCore::FreeTerrainMesh() {
    region.FreeTerrain();
    terrainSeen.Release();
}

// ---- statistics ----

neSimulatorSizes neSimulatorCore::GetPoolStats() const {
    neSimulatorSizes use;
    use.rigidBodiesCount = rigidBodyPool.UsedCount();
    use.animatedBodiesCount = animatedBodyPool.UsedCount();
    use.rigidParticleCount = particlePool.UsedCount();
    use.controllersCount = controllerPool.UsedCount();
    use.overlapPairsCount = region.PairCount();
    use.geometriesCount = geometryPool.UsedCount();
    use.constraintsCount = constraintPool.UsedCount();
    use.constraintSetsCount = constraintSetPool.UsedCount();
    use.unusedCount8 = 2000;
    use.sensorsCount = sensorPool.UsedCount();
    use.terrainNodesStartCount = region.Terrain().NodeCount();
    use.terrainNodesGrowByCount = sizes.terrainNodesGrowByCount;
    return use;
}

u32 neSimulatorCore::GetMemoryAllocated() const {
    size_t total = rigidBodyPool.Bytes() + animatedBodyPool.Bytes() + particlePool.Bytes() +
                   terrainLeaves.Bytes() + terrainTriangles.Bytes() + nearTriangles.Bytes() + sensorTriangles.Bytes() +
                   sensorTriangleLines.Bytes() + lineTriangles.Bytes() +
                   terrainSeen.Bytes() + constraintSetPool.Bytes() +
                   constraintPool.Bytes() + controllerPool.Bytes() + stackNodePool.Bytes() + stackPool.Bytes() +
                   sensorPool.Bytes() + geometryPool.Bytes() + solveList.Bytes() + touchedStacks.Bytes() +
                   constraintRows.Bytes() + stackRecords.Bytes() + region.Bytes();
    return static_cast<u32>(total);
}
