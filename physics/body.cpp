#include "physics/body.h"

#include <cmath>
#include <cstring>

namespace {


void Widen(neV3& lo, neV3& hi, const neV3& p) {
    for (s32 a = 0; a < 3; ++a) {
        if (p[a] < lo[a]) lo[a] = p[a];
        if (p[a] > hi[a]) hi[a] = p[a];
    }
}

}  // namespace

void neBody::ResetBase(neSimulatorCore* owner, s32 bodyType) {
    sim = owner;
    type = bodyType;
    active = 1;
    index = 0;
    collisionID = 0;
    userData = 0;
    regionWord = 0;
    collideConnected = 0;
    geometryFirst = geometryLast = geometryCursor = nullptr;
    geometryCount = 0;
    sensorFirst = sensorLast = sensorCursor = nullptr;
    sensorCount = 0;
    bounding.SetDefaults();
    bounding.next = bounding.prev = nullptr;
    boundingRadius = 0.0f;
    boundingFrame.SetIdentity();
    boundingFrame.rot = bounding.frame.rot * 0.5f;  // the default 1×1×1 box
    customCollision = 0;
    minBound = maxBound = neMakeV3(0, 0, 0);
    boundsKnown = 0;
    regionRecord = nullptr;
    pendingState = NE_REGION_INSIDE;
    for (neEndPoint*& e : endPoints) e = nullptr;
    smoothedDisplacement = neMakeV3(0, 0, 0);
    supportedFirst = supportedLast = nullptr;
    supportedCount = 0;
    constraintSet = nullptr;
    setNext = setPrev = nullptr;
    constraintFirst = constraintLast = nullptr;
    constraintCount = 0;
    next = prev = nullptr;
}

neAnimatedBody* neBody::AsAnimatedBody() {
    return type == NE_BODY_ANIMATED ? static_cast<neAnimatedBody*>(this) : nullptr;
}

neRigidBody* neBody::AsRigidBody() { return type == NE_BODY_RIGID ? static_cast<neRigidBody*>(this) : nullptr; }

neT3* neBody::GetTransformPtr() {
    if (type == NE_BODY_RIGID) return &static_cast<neRigidBody*>(this)->state.transform;
    return &static_cast<neAnimatedBody*>(this)->transform;
}

neGeometry* neBody::GetNextGeometry() {
    neGeometry* g = geometryCursor;
    if (g) geometryCursor = g->next;
    return g;
}

neSensor* neBody::GetNextSensor() {
    neSensor* s = sensorCursor;
    if (s) sensorCursor = s->next;
    return s;
}

void neBody::UpdateBoundingInfo() {
    if (customCollision) return;  // the application's box stands
    if (geometryCount == 0 && sensorCount == 0) return;

    // The bounding record: the geometries only.
    neV3 lo = neMakeV3(NE_BOUNDS_START, NE_BOUNDS_START, NE_BOUNDS_START);
    neV3 hi = -lo;
    if (geometryCount > 0) {
        f32 radius = 0.0f;
        for (neGeometry* g = geometryFirst; g; g = g->next) {
            f32 r = g->GetBoundingRadius();
            if (r > radius) radius = r;
            neV3 gMin = lo, gMax = hi;
            g->GetBoundingBox(gMin, gMax);
            Widen(lo, hi, gMin);
            Widen(lo, hi, gMax);
        }
        boundingRadius = radius;
        if (geometryCount == 1 && geometryFirst->type == NE_SHAPE_BOX) {
            neGeometry* keepNext = bounding.next;
            neGeometry* keepPrev = bounding.prev;
            bounding = *geometryFirst;
            bounding.next = keepNext;
            bounding.prev = keepPrev;
        } else {
            neV3 half = (hi - lo) * 0.5f;
            bounding.frame.rot.SetIdentity();
            bounding.SetBoxSizeRaw(half.x * 2.0f, half.y * 2.0f, half.z * 2.0f);
            bounding.frame.pos = lo + half;
            bounding.frame.SetHomogeneous();
        }
    }

    if (sensorCount == 0) {
        // The world box is the bounding record itself: a rotated box when the
        // body has a single box.
        boundingFrame.rot.M[0] = bounding.frame.rot.M[0] * bounding.shape.box.hx;
        boundingFrame.rot.M[1] = bounding.frame.rot.M[1] * bounding.shape.box.hy;
        boundingFrame.rot.M[2] = bounding.frame.rot.M[2] * bounding.shape.box.hz;
        boundingFrame.pos = bounding.frame.pos;
        boundingFrame.SetHomogeneous();
        return;
    }
    // With sensors the world box covers both ends of every line too.
    for (neSensor* s = sensorFirst; s; s = s->next) {
        Widen(lo, hi, s->linePos);
        Widen(lo, hi, s->linePos + s->lineVector);
    }
    neV3 half = (hi - lo) * 0.5f;
    boundingFrame.rot.SetIdentity();
    boundingFrame.rot.M[0] *= half.x;
    boundingFrame.rot.M[1] *= half.y;
    boundingFrame.rot.M[2] *= half.z;
    boundingFrame.pos = lo + half;
    boundingFrame.SetHomogeneous();
}

bool neBody::BoundsCurrent() {
    return boundsKnown && std::memcmp(&boundsTransform, GetTransformPtr(), sizeof(neT3)) == 0 &&
           std::memcmp(&boundsFrame, &boundingFrame, sizeof(neT3)) == 0;
}

void neBody::ClearSensorDetections() {
    for (neSensor* s = sensorFirst; s; s = s->next) s->ClearDetection();
}

// ---- animated bodies ----

void neAnimatedBody::Reset(neSimulatorCore* owner) {
    ResetBase(owner, NE_BODY_ANIMATED);
    transform.SetIdentity();
    moved = 0;
}

void neAnimatedBody::SetPos(const neV3& p) {
    transform.pos.Set(p.x, p.y, p.z);
    UpdateAabb();
    moved = 1;
}

void neAnimatedBody::SetRotationM3(const neM3& m) {
    transform.rot.SetColumns(m.M[0], m.M[1], m.M[2]);
    moved = 1;
}

void neAnimatedBody::SetRotationQ(const neQ& q) {
    neM3 m = q.ToM3();
    transform.rot.SetColumns(m.M[0], m.M[1], m.M[2]);
    moved = 1;
}

neQ neAnimatedBody::GetRotationQ() const {
    neQ q;
    q.SetupFromMatrix3(transform.rot);
    return q;
}

// ---- sensors against bodies ----

neRigidBody* neSensor::GetDetectRigidBody() const {
    return detectedBody ? detectedBody->AsRigidBody() : nullptr;
}

neAnimatedBody* neSensor::GetDetectAnimatedBody() const {
    return detectedBody ? detectedBody->AsAnimatedBody() : nullptr;
}

void neCollideSensor(neSensor& s, const neT3& bodyTransform, neBody* other, const neT3& otherTransform,
                     const neGeometry* terrain) {
    if (terrain) {
        neT3 identity;
        identity.SetIdentity();
        neCollideSensorGeometry(s, bodyTransform, *terrain, identity, other);
    } else if (other->geometryCount == 1) {
        neCollideSensorGeometry(s, bodyTransform, other->bounding, otherTransform * other->bounding.frame, other);
    } else {
        for (neGeometry* g = other->geometryFirst; g; g = g->next)
            neCollideSensorGeometry(s, bodyTransform, *g, otherTransform * g->frame, other);
    }
}

void neCollideSensors(neBody* body, const neT3& bodyTransform, neBody* other, const neT3& otherTransform) {
    for (neSensor* s = body->sensorFirst; s; s = s->next) neCollideSensor(*s, bodyTransform, other, otherTransform, nullptr);
}
