// Placements shared by the engine's tests and benchmarks.
#pragma once

#include "math/ne_math.h"

// Turned by the angles (radians; x first, then y, then z), then moved to pos.
inline neT3 Placed(const neV3& pos, const neV3& angles = neMakeV3(0, 0, 0)) {
    neT3 t;
    t.SetIdentity();
    t.rot.RotateXYZ(angles);
    t.pos = pos;
    t.SetHomogeneous();
    return t;
}
