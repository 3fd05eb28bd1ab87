// Surface materials and the collision table: what happens when two things touch.
#pragma once

#include "math/ne_math.h"

constexpr s32 NE_MATERIAL_COUNT = 256;
constexpr f32 NE_DEFAULT_FRICTION = 0.5f;
constexpr f32 NE_DEFAULT_RESTITUTION = 0.4f;

// One entry of the simulator's material table.
struct neMaterial {
    f32 friction = NE_DEFAULT_FRICTION;
    f32 restitution = NE_DEFAULT_RESTITUTION;
    f32 extra = 1.0f;  // stored, read by nothing; 0 through the public setter
};

// Bits of a collision-table entry.
constexpr s32 NE_RESPONSE_IMPULSE = 1;   // apply the collision response
constexpr s32 NE_RESPONSE_CALLBACK = 2;  // call the collision callback

// For each pair of collision IDs 0..63 whether to respond and whether to tell
// the application; ID -1 on one side selects the other side's per-ID entry,
// which is also what a body meets the terrain under. IDs outside -1..63 are
// ignored by Set and read as 0.
class neCollisionTable {
public:
    static constexpr s32 MAX_ID = 64;

    neCollisionTable() { Reset(); }

    void Set(s32 id1, s32 id2, s32 value);
    // The pair entry; 0 for IDs outside 0..63.
    s32 Get(s32 id1, s32 id2) const;
    // The engine's lookup: -1 selects the other side's per-ID entry.
    s32 GetImpl(s32 id1, s32 id2) const;
    // The entry a body of this ID meets the terrain under.
    s32 GetTerrain(s32 id) const;
    s32 GetMaxCollisionID() const { return MAX_ID; }
    void Reset();

private:
    static bool IsValidID(s32 id) { return id >= 0 && id < MAX_ID; }
    s32 pairs_[MAX_ID][MAX_ID];
    s32 perID_[MAX_ID];
};
