// Stages of the step whose real code lives with the joints. Until that code
// lands these keep the step running: no joint acts. Each definition here is
// deleted when its real one arrives.
#include "physics/constraint.h"
#include "physics/simulator.h"

void neSimulator::UpdateConstraints() {}
void neSimulator::SolveConstraints() {}
void neSimulator::AdvanceConstraintCounters() {}
void neSimulator::SolveConstraintSet(neConstraintSet* set, f32*, s32*) { set->solved = 1; }
