// The renderer's entry points for the program's loop: the graphics
// resources, the race frame, and the view set-up for a window size.
#pragma once

#include "platform/gl.h"
#include "render/gl_resources.h"
#include "render/race_frame.h"
#include "render/race_projection.h"
