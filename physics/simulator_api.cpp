// The game's calls on the physics world, each handed to the engine's
// simulator that CreateSimulator made behind it.
#include "physics/simulator_core.h"

namespace {

neSimulatorCore* Core(neSimulator* sim) { return static_cast<neSimulatorCore*>(sim); }
const neSimulatorCore* Core(const neSimulator* sim) { return static_cast<const neSimulatorCore*>(sim); }

}  // namespace

neSimulator* neSimulator::CreateSimulator(const neSimulatorSizes& sizes, neAllocator* allocator, const neV3* gravity) {
    return neSimulatorCore::CreateSimulator(sizes, allocator, gravity);
}

void neSimulator::DestroySimulator(neSimulator* sim) { neSimulatorCore::DestroySimulator(Core(sim)); }

neRigidBody* neSimulator::CreateRigidBody() { return Core(this)->CreateRigidBody(); }
neRigidBody* neSimulator::CreateRigidParticle() { return Core(this)->CreateRigidParticle(); }
neAnimatedBody* neSimulator::CreateAnimatedBody() { return Core(this)->CreateAnimatedBody(); }
void neSimulator::FreeRigidBody(neBody* body) { Core(this)->FreeRigidBody(body); }
void neSimulator::FreeAnimatedBody(neBody* body) { Core(this)->FreeAnimatedBody(body); }

neConstraint* neSimulator::CreateConstraintWorld(neRigidBody* body) { return Core(this)->CreateConstraintWorld(body); }
neConstraint* neSimulator::CreateConstraint(neRigidBody* bodyA, neRigidBody* bodyB) {
    return Core(this)->CreateConstraint(bodyA, bodyB);
}
neConstraint* neSimulator::CreateConstraintAnimated(neRigidBody* rigidBody, neAnimatedBody* animatedBody) {
    return Core(this)->CreateConstraintAnimated(rigidBody, animatedBody);
}
void neSimulator::FreeConstraint(neConstraint* joint) { Core(this)->FreeConstraint(joint); }

neV3 neSimulator::GetGravity() const { return Core(this)->GetGravity(); }
void neSimulator::SetGravity(const neV3& g) { Core(this)->SetGravity(g); }
neCollisionTable* neSimulator::GetCollisionTable() { return Core(this)->GetCollisionTable(); }
bool neSimulator::SetMaterial(s32 index, f32 friction, f32 restitution) {
    return Core(this)->SetMaterial(index, friction, restitution);
}
bool neSimulator::GetMaterial(s32 index, f32& friction, f32& restitution) const {
    return Core(this)->GetMaterial(index, friction, restitution);
}
bool neSimulator::SetTerrainMesh(const neTriangleMesh* mesh) { return Core(this)->SetTerrainMesh(mesh); }
void neSimulator::FreeTerrainMesh() { Core(this)->FreeTerrainMesh(); }

void neSimulator::Advance(f32 time, s32 steps, neStepTimerRecord* record) { Core(this)->Advance(time, steps, record); }
void neSimulator::AdvanceMinMax(f32 time, f32 minStep, f32 maxStep, neStepTimerRecord* record) {
    Core(this)->AdvanceMinMax(time, minStep, maxStep, record);
}

neCollisionCallback neSimulator::SetCollisionCallback(neCollisionCallback fn) {
    return Core(this)->SetCollisionCallback(fn);
}
neCollisionCallback neSimulator::GetCollisionCallback() const { return Core(this)->GetCollisionCallback(); }
neBreakageCallback neSimulator::SetBreakageCallback(neBreakageCallback fn) {
    return Core(this)->SetBreakageCallback(fn);
}
neBreakageCallback neSimulator::GetBreakageCallback() const { return Core(this)->GetBreakageCallback(); }
neTerrainQueryCallback neSimulator::SetTerrainQueryCallback(neTerrainQueryCallback fn) {
    return Core(this)->SetTerrainQueryCallback(fn);
}
neTerrainQueryCallback neSimulator::GetTerrainQueryCallback() const { return Core(this)->GetTerrainQueryCallback(); }
neCustomCollisionCallback1 neSimulator::SetCustomCollisionCallback1(neCustomCollisionCallback1 fn) {
    return Core(this)->SetCustomCollisionCallback1(fn);
}
neCustomCollisionCallback1 neSimulator::GetCustomCollisionCallback1() const {
    return Core(this)->GetCustomCollisionCallback1();
}
neCustomCollisionCallback2 neSimulator::SetCustomCollisionCallback2(neCustomCollisionCallback2 fn) {
    return Core(this)->SetCustomCollisionCallback2(fn);
}
neCustomCollisionCallback2 neSimulator::GetCustomCollisionCallback2() const {
    return Core(this)->GetCustomCollisionCallback2();
}
neLogOutputCallback neSimulator::SetLogOutputCallback(neLogOutputCallback fn) {
    return Core(this)->SetLogOutputCallback(fn);
}
neLogOutputCallback neSimulator::GetLogOutputCallback() const { return Core(this)->GetLogOutputCallback(); }
s32 neSimulator::SetLogOutputLevel(s32 level) { return Core(this)->SetLogOutputLevel(level); }
neSimulatorSizes neSimulator::GetSizes() const { return Core(this)->GetSizes(); }
neSimulatorSizes neSimulator::GetPoolStats() const { return Core(this)->GetPoolStats(); }
u32 neSimulator::GetMemoryAllocated() const { return Core(this)->GetMemoryAllocated(); }
s32 neSimulator::GetStepCount() const { return Core(this)->GetStepCount(); }
