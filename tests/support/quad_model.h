// A flat quad as a MilkShape file, the model the reader and draw tests share.
#pragma once

#include "tools/ms3d_writer.h"

// The quad from (x0, y0) to (x1, y1) in the z = 0 plane, facing +z, as two
// triangles (0 1 2) and (0 2 3) over the corners counter-clockwise from
// (x0, y0); s runs with x and GL's t with y, from 0 to 1. One group
// "quad" of both triangles with material 0, and one material named "paint"
// with no texture names.
Ms3dFile QuadModelFile(float x0, float y0, float x1, float y1);
