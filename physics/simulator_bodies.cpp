// The bodies' ties to the simulator: geometries and sensors come from the
// core's pools and go back when the body is freed, breaking off a geometry
// makes a new body, and a body's bounds and activity keep the region's
// records current.
#include "physics/body.h"
#include "physics/simulator_core.h"
#include "physics/stack.h"

#include <cmath>

neGeometry* neBody::AddGeometry() {
    neGeometry* g = sim->AllocGeometry();
    if (!g) return nullptr;
    g->SetDefaults();
    g->prev = geometryLast;
    g->next = nullptr;
    if (geometryLast)
        geometryLast->next = g;
    else
        geometryFirst = g;
    geometryLast = g;
    ++geometryCount;
    if (active && !regionRecord) sim->region.AddBody(this, nullptr);
    return g;
}

neSensor* neBody::AddSensor() {
    neSensor* s = sim->AllocSensor();
    if (!s) return nullptr;
    s->Reset();
    s->prev = sensorLast;
    if (sensorLast)
        sensorLast->next = s;
    else
        sensorFirst = s;
    sensorLast = s;
    ++sensorCount;
    return s;
}

neRigidBody* neBody::BreakGeometry(neGeometry* geometry) { return sim->CreateBodyFromBrokenGeometry(this, geometry); }

void neBody::UseCustomCollisionDetection(bool on, const neT3* box, f32 radius) {
    if (on) {
        if (box) boundingFrame = *box;
        boundingRadius = radius;
        customCollision = 1;
        if (active && !regionRecord) sim->region.AddBody(this, nullptr);
    } else {
        customCollision = 0;
        UpdateBoundingInfo();
        if (regionRecord && geometryCount == 0) sim->region.RemoveBody(this);
    }
}

void neBody::SetActive(bool on, neBody* hint) {
    if ((active != 0) == on) return;
    neBodyList* from = sim->ListOf(this, active != 0);
    neBodyList* to = sim->ListOf(this, on);
    from->Unlink(this);
    to->Add(this);
    if (!on) {
        if (regionRecord) sim->region.RemoveBody(this);
        active = 0;
    } else {
        if (HasCollisionShape()) sim->region.AddBody(this, hint);
        active = 1;
    }
}

void neBody::UpdateAabb() {
    if (!HasCollisionShape()) return;
    const neT3& t = *GetTransformPtr();
    neV3 centre = t.rot * boundingFrame.pos + t.pos;
    neV3 e0 = t.rot * boundingFrame.rot.M[0];
    neV3 e1 = t.rot * boundingFrame.rot.M[1];
    neV3 e2 = t.rot * boundingFrame.rot.M[2];
    neV3 half = neMakeV3(std::fabs(e0.x) + std::fabs(e1.x) + std::fabs(e2.x),
                         std::fabs(e0.y) + std::fabs(e1.y) + std::fabs(e2.y),
                         std::fabs(e0.z) + std::fabs(e1.z) + std::fabs(e2.z));
    minBound = centre - half;
    maxBound = centre + half;
    for (s32 a = 0; a < 3; ++a) {
        for (s32 end = 0; end < 2; ++end) {
            neEndPoint* point = endPoints[end == 0 ? a : 3 + a];
            const f32 value = end == 0 ? maxBound[a] : minBound[a];
            if (!point || point->value == value) continue;
            point->value = value;
            sim->region.MarkMoved(a, point);
        }
    }
    boundsTransform = t;
    boundsFrame = boundingFrame;
    boundsKnown = 1;
}

void neSimulatorCore::ReleaseBodyParts(neBody* body) {
    for (neSensor* s = body->sensorFirst; s;) {
        neSensor* following = s->next;
        sensorPool.Free(s);
        s = following;
    }
    body->sensorFirst = body->sensorLast = body->sensorCursor = nullptr;
    body->sensorCount = 0;

    if (body->regionRecord) region.RemoveBody(body);

    for (neGeometry* g = body->geometryFirst; g;) {
        neGeometry* following = g->next;
        geometryPool.Free(g);
        g = following;
    }
    body->geometryFirst = body->geometryLast = body->geometryCursor = nullptr;
    body->geometryCount = 0;

    // Entries of other bodies that rest on this one.
    while (body->supportedFirst) neUnlinkContactEntry(body->supportedFirst);

    neRigidBody* rigid = body->AsRigidBody();
    if (rigid) {
        for (neController* c = rigid->controllerFirst; c;) {
            neController* following = c->next;
            controllerPool.Free(c);
            c = following;
        }
        rigid->controllerFirst = rigid->controllerLast = rigid->controllerCursor = nullptr;
    }

    FreeBodyConstraints(body);
    if (neConstraintSet* set = body->constraintSet) {
        if (body->setPrev)
            body->setPrev->setNext = body->setNext;
        else
            set->firstBody = body->setNext;
        if (body->setNext)
            body->setNext->setPrev = body->setPrev;
        else
            set->lastBody = body->setPrev;
        --set->bodyCount;
        set->changed = 2;
        if (set->bodyCount <= 0) constraintSetPool.Free(set);
        body->constraintSet = nullptr;
        body->setNext = body->setPrev = nullptr;
    }

    if (rigid) {
        neStackRemoveBody(rigid);
        for (neContactEntry& e : rigid->contacts) neUnlinkContactEntry(&e);
    }
}
