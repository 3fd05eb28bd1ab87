// What the framework calls in the renderer per frame.
#pragma once

#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"  // the race frame and the projection
