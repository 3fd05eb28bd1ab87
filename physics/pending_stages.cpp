// Stages of the step whose real code lives with the narrow phase, the
// collision response, the stacks and the joints. Until that code lands these
// keep the step running: no body-pair or body-terrain contact is found, no
// joint or stack acts, and no body is put to sleep by the rest test. Each
// definition here is deleted when its real one arrives.
#include "physics/simulator.h"

void neSimulator::CheckStacks() {}
void neSimulator::SolveStacks() {}

s32 neStackCheck(neRigidBody*) { return NE_SUPPORT_NONE; }
void neStackUpdateBody(neRigidBody*) {}
void neStackAddContact(neRigidBody*, const neRestingContact&) {}
