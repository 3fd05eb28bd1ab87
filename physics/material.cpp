#include "physics/material.h"

void neCollisionTable::Reset() {
    for (auto& row : pairs_)
        for (s32& entry : row) entry = NE_RESPONSE_IMPULSE;
    for (s32& entry : perID_) entry = NE_RESPONSE_IMPULSE;
}

void neCollisionTable::Set(s32 id1, s32 id2, s32 value) {
    if (id1 == -1 && id2 == -1) return;
    if (id2 == -1) {
        if (IsValidID(id1)) perID_[id1] = value;
    } else if (id1 == -1) {
        if (IsValidID(id2)) perID_[id2] = value;
    } else if (IsValidID(id1) && IsValidID(id2)) {
        pairs_[id1][id2] = value;
        pairs_[id2][id1] = value;
    }
}

s32 neCollisionTable::Get(s32 id1, s32 id2) const {
    if (!IsValidID(id1) || !IsValidID(id2)) return 0;
    return pairs_[id1][id2];
}

s32 neCollisionTable::GetImpl(s32 id1, s32 id2) const {
    if (id1 == -1) return id2 == -1 ? 0 : GetTerrain(id2);
    if (id2 == -1) return GetTerrain(id1);
    return Get(id1, id2);
}

s32 neCollisionTable::GetTerrain(s32 id) const { return IsValidID(id) ? perID_[id] : 0; }
