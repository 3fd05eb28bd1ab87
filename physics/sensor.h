// Line sensors: a segment fixed to a body that reports, after the collision
// stages of a step, the deepest surface it crosses.
#pragma once

#include "math/ne_math.h"

struct neBody;
struct neRigidBody;
struct neAnimatedBody;

struct neSensor {
    neV3 linePos;        // start of the segment, body space
    neV3 lineVector;     // start to end, body space
    neV3 lineUnitVector; // zero when the line is too short
    f32 lineLength;      // 0 when the line is too short
    s32 userData;
    neV3 detectNormal;        // world, facing the line's start
    neV3 detectContactPoint;  // world
    f32 detectDepth;          // length of the segment beyond the surface; 0 = nothing
    s32 detectMaterial;
    neBody* detectedBody;     // the body hit, null for the terrain or nothing
    neSensor* next;           // links in the body's sensor list
    neSensor* prev;

    void Reset();  // a fresh sensor: zero line, no detection
    void SetLineSensor(const neV3& pos, const neV3& lineVector);
    neV3 GetLinePos() const { return linePos; }
    neV3 GetLineVector() const { return lineVector; }
    neV3 GetLineUnitVector() const { return lineUnitVector; }
    void SetUserData(s32 value) { userData = value; }
    s32 GetUserData() const { return userData; }
    f32 GetDetectDepth() const { return detectDepth; }
    neV3 GetDetectNormal() const { return detectNormal; }
    neV3 GetDetectContactPoint() const { return detectContactPoint; }
    s32 GetDetectMaterial() const { return detectMaterial; }
    // The detected body when it is rigid / animated, null otherwise (also for
    // the terrain and for no hit).
    neRigidBody* GetDetectRigidBody() const;
    neAnimatedBody* GetDetectAnimatedBody() const;
    // Forgets the step's detection (normal, point and material stay).
    void ClearDetection() {
        detectDepth = 0.0f;
        detectedBody = nullptr;
    }
};

struct neGeometry;

// Widening of a line's box (m) before triangles are culled by it, so that
// rounding in the crossing point never drops a triangle the full test finds.
constexpr f32 NE_LINE_BOX_MARGIN = 1.0e-3f;
// Line boxes a body's terrain triangles are sorted against for its sensors.
constexpr s32 NE_SENSOR_LINE_BOXES = 8;

// The world box around one or more segments, widened by the margin. A
// triangle whose three corners all lie beyond one of its faces meets none of
// them: a truck's wheel line meets a handful of the hundreds of triangles
// its body gathers.
struct neLineBox {
    neV3 lo, hi;
    bool empty = true;

    void Add(const neV3& start, const neV3& vector);
    // True when the triangle abc lies wholly beyond one face of the box.
    bool Misses(const neV3& a, const neV3& b, const neV3& c) const {
        return (a.x < lo.x && b.x < lo.x && c.x < lo.x) || (a.x > hi.x && b.x > hi.x && c.x > hi.x) ||
               (a.y < lo.y && b.y < lo.y && c.y < lo.y) || (a.y > hi.y && b.y > hi.y && c.y > hi.y) ||
               (a.z < lo.z && b.z < lo.z && c.z < lo.z) || (a.z > hi.z && b.z > hi.z && c.z > hi.z);
    }
};

// Tests one sensor, placed by its body's transform, against one geometry
// placed by `frame`. A sensor keeps its deepest detection of the step;
// `other` is stored as the detected body (null for the terrain).
void neCollideSensorGeometry(neSensor& sensor, const neT3& bodyTransform, const neGeometry& geometry,
                             const neT3& frame, neBody* other);
// One line (start and vector in the geometry's frame) against one geometry,
// whose world rotation is given. Boxes and terrain triangle sets only; false
// and nothing written for every other shape or a miss.
struct neLineHit {
    f32 depth;
    neV3 normal;        // world, facing the line's start
    neV3 contactPoint;  // in the geometry's frame
    s32 material;
};
bool neCollideLineGeometry(const neV3& start, const neV3& vector, f32 length, const neGeometry& geometry,
                           const neM3& rotation, neLineHit& hit);
