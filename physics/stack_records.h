// Records of the resting-contact stacks: the three contact entries of each
// rigid body, the stack nodes and the stack headers.
#pragma once

#include "math/ne_math.h"

struct neBody;
struct neRigidBody;
struct neStack;

// Kinds of a contact entry.
constexpr s32 NE_ENTRY_FREE = 0;
constexpr s32 NE_ENTRY_ON_RIGID = 1;      // the other body is rigid
constexpr s32 NE_ENTRY_ON_STATIC = 2;     // the other body is the terrain or animated
constexpr s32 NE_ENTRY_PERMANENT = 3;     // a permanent support

// One contact on which a rigid body rests. Points and normal are kept in the
// bodies' own spaces; the world values are refreshed from both transforms.
struct neContactEntry {
    neV3 pointOnBody;       // body space
    neV3 pointOnOther;      // the other body's space
    neV3 worldPointOnBody;
    neV3 worldPointOnOther;
    neV3 difference;        // worldPointOnBody − worldPointOnOther
    neV3 normal;            // the other body's space
    neV3 worldNormal;
    f32 depth;              // the entry with the smallest depth is replaced first
    f32 separation;         // difference · worldNormal
    f32 sliding;            // squared length of difference across the normal
    s32 values[2];          // copied through (material indices)
    s32 kind;               // NE_ENTRY_*
    neBody* other;          // never null for a used entry: the terrain is a body
    neContactEntry* next;   // links in the other body's supported list
    neContactEntry* prev;
    neRigidBody* owner;
    s32 step;               // the simulator's step count when filled
};

// A rigid body's place in a stack.
struct neStackNode {
    s32 visited;
    s32 base;         // brought in as another body's support, no contact of its own yet
    s32 unsupported;  // the last validation kept no entry
    neStack* stack;
    neRigidBody* body;
    neStackNode* next;
    neStackNode* prev;
};

// A group of rigid bodies connected through contact entries.
struct neStack {
    neStackNode* first;
    neStackNode* last;
    s32 count;
    s32 builtIn;  // non-zero only in the simulator's built-in header
    s32 queued;   // waiting in the step's list of stacks to solve
    s32 stepWord; // cleared by every step
    neStack* next;
    neStack* prev;
};
