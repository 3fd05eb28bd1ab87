// The props: the 28 part models base/objects/object<T>part<P>.sbm, each
// centred on and sized to its part's box, textured through the shared prop
// atlas (tex21 colour, tex14 normal map) that every prop is drawn with; and
// the prop atlas itself.
#pragma once

#include <string>

#include "framework/vector_math.h"
#include "tools/ms3d_writer.h"
#include "world/city_object.h"  // the part tables: kPropTypesWithParts, kPropParts, PropPartCount

class PaintCanvas;

// The full size of a part's box, as the prop's physics bodies are built
// (zero for a part that does not exist).
Vector3 PropPartBox(int type, int part);
// Position of the part's box centre in the prop's frame (y up from the
// prop's rest point).
Vector3 PropPartOffset(int type, int part);

// The part model of a type's part: no material of its own, centred on the
// box; empty for a part that does not exist.
Ms3dFile MakePropPartModel(int type, int part);

// Paints the prop atlas (cells of the part models' materials) with its
// relief; tex21 is its colour and tex14 its normal map.
void PaintPropAtlas(PaintCanvas& canvas);

bool GeneratePropParts(const std::string& base);
