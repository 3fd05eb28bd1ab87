// The garage's sun shadow. Reads the garage models, the showroom truck's
// models, record and wheel scales, the brake disk model and the garage
// sun's matrices (gLightProjection, gLightView); draws depth only into
// gShadowMapTexture. Hands back what the race's shadow pass does: the
// window framebuffer, the window's viewport, the projection from before
// the pass, the modelview selected (identity), face culling on, no program.
#pragma once

#include "render/showroom_truck.h"

// The room (not its floor), its see-through parts cut as the colour passes
// cut them, the truck's body, lamps and glass at the origin, and its four
// wheels with their brake disks.
void RenderGarageShadowMap(const ShowroomTruck& truck);
