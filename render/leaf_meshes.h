// The world sections' triangles as the quadtree leaves hold them, fed to GL
// leaf by leaf for the passes that draw the world from a leaf list (shadow
// map, reflection cube). Reads the leaf records and the world models'
// groups and materials; issues vertices only inside the caller's batch and
// binds a group's texture on the active unit; changes no other state.
#pragma once

#include "world/quadtree.h"

// Corner attributes to send besides the position.
enum LeafAttributes : int {
  kLeafPositionOnly = 0,
  kLeafWithUv = 1,      // texture coordinate uv0
  kLeafWithNormal = 2,  // and the normal
};

// Sends the corners of one section's group over the listed leaves.
void EmitLeafTriangles(const NodeList& leaves, int section, int group, int attributes);

// Groups of the world model in `modelSlot` (0 when not loaded).
int WorldGroupCount(int modelSlot);
// Binds the texture of a group of the model in `modelSlot`, taken from the
// material table of the model in `materialSlot` by the group's material
// index, when it names a GL texture; otherwise keeps the binding.
void BindWorldGroupTexture(int modelSlot, int materialSlot, int group);
