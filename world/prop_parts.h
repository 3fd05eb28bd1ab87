// The prop types' boxes: what each type of loose track object is built
// from. Shared by the props' bodies, the generator that models them and
// the physics comparison bench, so that all three build the same props.
#pragma once

#include "math/ne_math.h"

#include <cstdint>

inline constexpr int kMaxPropParts = 10;
inline constexpr int kPropTypeCount = 30;  // marker groups 0..29; 18 and above have no parts
inline constexpr int kPropTypesWithParts = 18;

// One box of a prop type.
struct PropPart {
  neV3 boxSize;         // full size of the box
  neV3 inertiaBox;      // the box the inertia is taken from
  neV3 offset;          // the part body's position in the prop's frame
  neV3 geometryOffset;  // the box within the body
  float mass;
  uint8_t closesBody;   // the next part starts a new body
};

namespace prop_shapes {

constexpr neV3 V(float x, float y, float z) { return neV3{x, y, z, 0.0f}; }

constexpr PropPart Part(neV3 box, neV3 inertia, neV3 offset, float mass) {
  return PropPart{box, inertia, offset, V(0, 0, 0), mass, 1};
}

// The prop shapes: a barrel, a crate and its stacks, a fence, a barrier, a
// row of three barrels, a pole.
constexpr PropPart kBarrel = Part(V(0.96f, 1.64f, 0.96f), V(0.96f, 1.63f, 0.96f), V(0, 0.82f, 0), 20);
constexpr PropPart kCrate = Part(V(2.64f, 1, 2.64f), V(2.64f, 1, 2.64f), V(0, 0.5f, 0), 40);
constexpr PropPart kFence = Part(V(5, 1.36f, 0.7f), V(5, 1.36f, 0.7f), V(0, 0.68f, 0), 10);
constexpr PropPart kBarrier = Part(V(4.6f, 1.4f, 0.8f), V(4.6f, 1.4f, 0.8f), V(0, 0.7f, 0), 10);
constexpr PropPart kBarrelLeft = Part(V(0.96f, 1.64f, 0.96f), V(0.96f, 1.63f, 0.96f), V(1.1f, 0.82f, 0), 20);
constexpr PropPart kBarrelRight = Part(V(0.96f, 1.64f, 0.96f), V(0.96f, 1.63f, 0.96f), V(-1.1f, 0.82f, 0), 20);
constexpr PropPart kPole = Part(V(1.15f, 6, 1.15f), V(1.15f, 6, 1.15f), V(0, 3, 0), 30);

inline constexpr PropPart kPropParts[kPropTypeCount][kMaxPropParts] = {
    {kBarrel},
    {kBarrel},
    {kBarrel},
    {kCrate, Part(V(2.64f, 1, 2.64f), V(2.64f, 1, 2.64f), V(0, 1.5f, 0.25f), 40)},
    {kCrate, Part(V(2.3f, 2.3f, 1), V(2.3f, 2.3f, 1), V(0, 2.15f, 0), 40)},
    {kCrate, Part(V(2.64f, 2.64f, 1), V(2.64f, 2.64f, 1), V(0, 1.32f, 1.82f), 40)},
    {kCrate, Part(V(2.64f, 1, 2.64f), V(2.64f, 1, 2.64f), V(0, 1.5f, 0.55f), 40)},
    {kFence},
    {kFence},
    {kFence},
    {kBarrier},
    {kBarrier},
    {kBarrier},
    {kBarrier},
    {kBarrel, kBarrelLeft, kBarrelRight},
    {kBarrel, kBarrelLeft, kBarrelRight},
    {kBarrel, kBarrelLeft, kBarrelRight},
    {kPole},
};

}  // namespace prop_shapes

using prop_shapes::kPropParts;

inline constexpr int32_t kPropPartCounts[kPropTypeCount] = {1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3, 1};

// Parts of a prop type; 0 for a type outside the table.
constexpr int PropPartCount(int type) { return type >= 0 && type < kPropTypeCount ? kPropPartCounts[type] : 0; }
