// The props: the 28 part models base/objects/object<T>part<P>.sbm, each
// centred on and sized to its part's box, textured through the shared prop
// atlas (tex21 colour, tex14 normal map) that every prop is drawn with; and
// the prop atlas itself.
#pragma once

#include <string>

#include "framework/vector_math.h"
#include "tools/ms3d_writer.h"

class PaintCanvas;

// Prop types with parts.
inline constexpr int kPropTypesWithParts = 18;

// Parts of each type and the full size of each part's box, as the props'
// physics bodies are built (types 18 and above have none).
int PropPartCount(int type);
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
