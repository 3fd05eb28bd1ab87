// The shadow texture matrix: an eye-space point lands where projecting its
// world point through the sun's matrices does.
#include "render/shadow_matrix.h"

#include <gtest/gtest.h>

namespace {

TEST(ShadowTextureMatrix, MapsAnEyePointWhereTheLightProjectsItsWorldPoint) {
  Matrix4 lightProjection, lightView, cameraView;
  lightProjection.BuildPerspectiveMatrix(1.2f, 1.0f, 3000.0f, 100000.0f);
  lightView.BuildLookAtMatrix({2550, 3000, 2480}, {50, 0, -20}, {0, 1, 0});
  cameraView.BuildLookAtMatrix({10, 4, 30}, {40, 2, -20}, {0, 1, 0});
  Matrix4 texture = ShadowTextureMatrix(lightProjection, lightView, InverseRigidView(cameraView));
  const float points[][3] = {{50, 0, -20}, {60, 3, -10}, {30, -2, -35}};
  for (const auto& p : points) {
    float world[4] = {p[0], p[1], p[2], 1};
    float light[4] = {p[0], p[1], p[2], 1};
    TransformVector4(lightProjection * lightView, light);
    float eye[4] = {p[0], p[1], p[2], 1};
    TransformVector4(cameraView, eye);
    TransformVector4(texture, eye);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(eye[i] / eye[3], light[i] / light[3] * 0.5f + 0.5f, 1e-3f) << "axis " << i << " of " << world[0];
    EXPECT_GT(eye[0] / eye[3], 0.0f);  // the sun's target area lies on the map
    EXPECT_LT(eye[0] / eye[3], 1.0f);
  }
}

TEST(ShadowTextureMatrix, InverseViewUndoesARigidView) {
  Matrix4 view;
  view.BuildLookAtMatrix({3, 7, -2}, {-5, 1, 9}, {0, 1, 0});
  Matrix4 product = InverseRigidView(view) * view;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.m[i], i % 5 == 0 ? 1.0f : 0.0f, 1e-5f) << i;
}

}  // namespace
