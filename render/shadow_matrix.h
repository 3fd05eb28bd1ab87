// The matrices that carry a lit fragment into the sun's shadow map. Pure
// maths on column-major matrices; no GL.
#pragma once

#include "framework/vector_math.h"

// The inverse of a rigid view (rotation and translation): the rotation
// transposed and the translation turned back. Exact only for rigid views,
// which every camera of the game is.
Matrix4 InverseRigidView(const Matrix4& view);

// Bias x lightProjection x lightView x inverseView: takes an eye-space
// point of the camera whose view inverseView undoes to shadow-map texture
// coordinates and depth (0..1 on x, y and z after the divide by w).
Matrix4 ShadowTextureMatrix(const Matrix4& lightProjection, const Matrix4& lightView, const Matrix4& inverseView);
