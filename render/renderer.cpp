// The renderer's values that the framework's debug text reads.
#include "render/renderer.h"

float gGaragePitch, gGarageYaw, gGarageZoom;
