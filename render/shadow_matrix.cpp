#include "render/shadow_matrix.h"

Matrix4 InverseRigidView(const Matrix4& view) {
  const float* m = view.m;
  Matrix4 inverse;
  inverse.Set(m[0], m[1], m[2], -(m[12] * m[0] + m[13] * m[1] + m[14] * m[2]),  //
              m[4], m[5], m[6], -(m[12] * m[4] + m[13] * m[5] + m[14] * m[6]),  //
              m[8], m[9], m[10], -(m[12] * m[8] + m[13] * m[9] + m[14] * m[10]),  //
              0, 0, 0, 1);
  return inverse;
}

Matrix4 ShadowTextureMatrix(const Matrix4& lightProjection, const Matrix4& lightView, const Matrix4& inverseView) {
  // -1..1 to 0..1 on x, y and z.
  Matrix4 bias;
  bias.Set(0.5f, 0, 0, 0.5f,  //
           0, 0.5f, 0, 0.5f,  //
           0, 0, 0.5f, 0.5f,  //
           0, 0, 0, 1);
  return bias * lightProjection * lightView * inverseView;
}
