// Contact-entry bookkeeping shared by body release and the stacks.
#include "physics/stack.h"

#include "physics/body.h"
#include "physics/simulator.h"

void neUnlinkContactEntry(neContactEntry* entry) {
    if (entry->kind == NE_ENTRY_FREE) return;
    if (neBody* other = entry->other) {
        if (entry->prev)
            entry->prev->next = entry->next;
        else
            other->supportedFirst = entry->next;
        if (entry->next)
            entry->next->prev = entry->prev;
        else
            other->supportedLast = entry->prev;
        --other->supportedCount;
    }
    entry->next = entry->prev = nullptr;
    entry->kind = NE_ENTRY_FREE;
    entry->step = 0;
    entry->other = nullptr;
}

void neStackRemoveBody(neRigidBody* body) {
    neStackNode* node = body->stackNode;
    if (!node) return;
    if (neStack* stack = node->stack) {
        if (node->prev)
            node->prev->next = node->next;
        else
            stack->first = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            stack->last = node->prev;
        --stack->count;
    }
    body->stackNode = nullptr;
    body->sim->stackNodePool.Free(node);
}
