// Collision shapes fixed to a body, and the terrain's triangle records.
#pragma once

#include "math/ne_math.h"

// Shape codes of neGeometry::type.
enum neShapeType : s32 {
    NE_SHAPE_TRIANGLE = 2,       // one terrain triangle, only inside the terrain tests
    NE_SHAPE_BOX = 3,
    NE_SHAPE_SPHERE = 4,
    NE_SHAPE_CYLINDER = 5,       // axis along the frame's y column
    NE_SHAPE_TRIANGLE_LIST = 6,  // the terrain triangles near a body, only inside the terrain stage
    NE_SHAPE_POINT_SET = 7,      // nothing creates it; bounds and radius know it
    NE_SHAPE_CONVEX = 8,
};

// Start of a running minimum (and, negated, maximum) when boxes are folded
// together: farther than any world coordinate.
constexpr f32 NE_BOUNDS_START = 1.0e6f;

// Values of neTriangle::flags.
constexpr u32 NE_TRIANGLE_FULL_TEST = 0;
constexpr u32 NE_TRIANGLE_VERTICAL_TEST = 1;  // boxes only; any other value never collides

// One terrain triangle.
struct neTriangle {
    s32 indices[3] = {-1, -1, -1};  // vertex indices, in winding order
    s32 materialIndex = 0;          // ground material, reported with contacts and sensor hits
    u32 flags = NE_TRIANGLE_FULL_TEST;
    u32 userData = 0;               // reported with box-terrain contacts
};

// The terrain as the application hands it over. The engine copies it and
// keeps no pointer into it.
struct neTriangleMesh {
    neV3* vertices = nullptr;
    s32 vertexCount = 0;
    neTriangle* triangles = nullptr;
    s32 triangleCount = 0;
};

// Header of an application-owned convex data block (see SetConvex). The face
// planes, vertices, face, vertex and edge records follow it.
struct neConvexHeader {
    s32 faceCount;
    s32 vertexCount;
    s32 reserved[2];
};

// The shape's own numbers, by type. Setting a new shape overwrites them.
union neShapeData {
    struct {
        f32 hx, hy, hz;  // half extents
    } box;
    struct {
        f32 radius, radiusSq;
    } sphere;
    struct {
        f32 radius, radiusSq, halfHeight;
    } cylinder;
    struct {
        s32 indices[3];  // into triangleVertices
    } triangle;
    struct {
        const s32* indices;  // candidate triangle indices
        s32 indexCount;
        const neTriangle* triangles;
        // The normal of the tested body's terrain contact in the previous step
        // (world, unit; zero when it had none): a triangle turned towards it
        // keeps that facing; any other faces the shape's centre. Zero after
        // SetMesh.
        neV3 keptFacing;
        // Straight up, against gravity (world, unit; zero without gravity):
        // a shape whose centre lies beside a triangle, neither over nor under
        // it, is on the triangle's upper side. Zero after SetMesh.
        neV3 up;
    } mesh;
    struct {
        const neV3* points;
        s32 count;
    } pointSet;
    struct {
        const u8* block;         // the application's convex data block
        const neV3* vertices;    // block + 16 + 16 × faceCount
        s32 vertexCount;
    } convex;
};

// Breakage kinds of neGeometry::breakageKind.
constexpr s32 NE_BREAK_NEVER = 0;
constexpr s32 NE_BREAK_OFF = 1;
constexpr s32 NE_BREAK_OFF_ALT = 4;

// One collision shape of a body: its shape, its placement in the body's frame,
// its material and the parameters with which it may break off after a hit.
// A body's own bounding record has this form too.
struct neGeometry {
    neShapeData shape;
    neT3 frame;                 // placement in the body's frame
    f32 boundingRadius;         // length of the half extents; only the box setters write it
    f32 margin;                 // 0 for every created shape; widens a point set's bounds
    s32 type;                   // neShapeType
    s32 materialIndex;          // into the simulator's material table, stored unchecked
    u32 userData;
    neV3 breakagePieceInertia;  // diagonal inertia of the piece that breaks off
    neV3 breakageDirection;     // geometry frame; the impulse part across it breaks the shape
    f32 breakagePieceMass;
    f32 breakageThreshold;      // impulse (perpendicular part) at or above which it breaks
    f32 breakageImpulseShare;   // fraction of the impulse the piece takes along
    f32 breakageExtra;          // stored only
    s32 breakageKind;           // NE_BREAK_*
    const neV3* triangleVertices;  // types 2 and 6: the terrain's vertices

    // Links in the owning body's geometry list.
    neGeometry* next;
    neGeometry* prev;

    // A 1×1×1 box at the body's origin, material 0, default breakage values.
    void SetDefaults();

    void SetBoxSize(const neV3& size);
    void SetBoxSizeXYZ(f32 x, f32 y, f32 z);
    void SetBoxSizeRaw(f32 x, f32 y, f32 z);
    bool GetBoxSize(neV3& size) const;
    void SetCylinder(f32 diameter, f32 height);
    bool GetCylinder(f32& diameter, f32& height) const;
    void SetSphereDiameter(f32 diameter);
    void SetSphereRadius(f32 radius);
    bool GetSphereDiameter(f32& diameter) const;
    void SetConvex(const u8* block);
    bool GetConvex(const u8*& block) const;
    void SetTriangle(s32 i0, s32 i1, s32 i2, const neV3* vertices);
    void SetMesh(const s32* indices, s32 indexCount, const neTriangle* triangles, const neV3* vertices);

    void SetTransform(const neT3& t) { frame = t; }
    neT3 GetTransform() const { return frame; }
    void SetMaterialIndex(s32 index) { materialIndex = index; }
    s32 GetMaterialIndex() const { return materialIndex; }
    void SetUserData(u32 value) { userData = value; }
    u32 GetUserData() const { return userData; }
    s32 GetType() const { return type; }

    void SetBreakageKind(s32 kind) { breakageKind = kind; }
    s32 GetBreakageKind() const { return breakageKind; }
    void SetBreakagePieceMass(f32 mass) { breakagePieceMass = mass; }
    f32 GetBreakagePieceMass() const { return breakagePieceMass; }
    void SetBreakagePieceInertia(const neV3& inertia) { breakagePieceInertia = inertia; }
    neV3 GetBreakagePieceInertia() const { return breakagePieceInertia; }
    void SetBreakageThreshold(f32 threshold) { breakageThreshold = threshold; }
    f32 GetBreakageThreshold() const { return breakageThreshold; }
    void SetBreakageImpulseShare(f32 share) { breakageImpulseShare = share; }
    f32 GetBreakageImpulseShare() const { return breakageImpulseShare; }
    void SetBreakageDirection(const neV3& direction) { breakageDirection = direction; }
    neV3 GetBreakageDirection() const { return breakageDirection; }
    void SetBreakageExtra(f32 extra) { breakageExtra = extra; }
    f32 GetBreakageExtra() const { return breakageExtra; }

    // The frame for boxes, spheres and cylinders, the identity otherwise.
    neT3 GetShapeFrame() const;
    // Corners of the shape's box in the body's frame; other types leave
    // the outputs alone.
    void GetBoundingBox(neV3& minCorner, neV3& maxCorner) const;
    // Radius of the shape about the body's origin (0 for other types).
    f32 GetBoundingRadius() const;
    // Box only: mass from the density and the inertia about the body's origin.
    neM3 InertiaContribution(f32 density, f32& mass) const;
};
