// The route map and the minimap. RenderRouteMap reads gRacePath and draws
// the route into gRouteMapTexture (race_targets.h). DrawRouteMapPreview draws the map texture
// in the current colour and blending. DrawMiniMap reads the route map,
// tex15 (disc colour and mask), tex12 (truck markers) and tex42 (marker
// shine) and draws at the current origin with blending on; it
// leaves unit 0 active, unit 1 off, the texture matrices reset, 2-D
// texturing and blending as it found them and colour white.
#include "ui/route_map.h"

#include <algorithm>
#include <cmath>

#include "framework/globals.h"
#include "framework/texture.h"
#include "framework/texture_roles.h"
#include "math/ne_math.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "ui/race_targets.h"

float gRouteMapOffsetX, gRouteMapOffsetY;
float gRouteMapRadius = 1.0f;

namespace {

constexpr float kRouteDotSize = 10.0f, kStartDotSize = 18.0f;  // texels
constexpr float kRouteGrey = 0.7f;
constexpr float kPreviewShift = 0.2636f;  // preview units per texel of the route's offset from the middle
constexpr float kPreviewTurnRate = 5.0f;  // degrees per menu-clock second
constexpr float kDegreesPerRadian = 57.3f;
constexpr float kDiscSize = 200.0f;       // frame units
constexpr float kDiscWindow = 0.25f;      // map units the disc spans
constexpr float kMarkerScale = 0.3515625f;  // frame units per world unit of a marker's offset
constexpr float kOpponentMarkerSize = 12.0f, kPlayerMarkerSize = 14.0f;
constexpr float kQuarterPi = NE_PI / 4;

// Unit 1 adds a menu texture's colour to unit 0's and multiplies the
// alphas; unit 0 stays active.
void AddOnUnit1(int texture) {
  GlActiveTexture(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  BindMenuTexture(texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_ADD);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, GL_MODULATE);
  GlActiveTexture(GL_TEXTURE0_ARB);
}

void EndUnit1() {
  GlActiveTexture(GL_TEXTURE1_ARB);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glDisable(GL_TEXTURE_2D);
  GlActiveTexture(GL_TEXTURE0_ARB);
}

// Four corners with their unit-0 and unit-1 coordinates.
void DrawTwoUnitQuad(const float corners[4][2], const float st0[4][2], const float st1[4][2]) {
  glBegin(GL_QUADS);
  for (int k = 0; k < 4; ++k) {
    GlMultiTexCoord3f(GL_TEXTURE0_ARB, st0[k][0], st0[k][1], 0);
    GlMultiTexCoord3f(GL_TEXTURE1_ARB, st1[k][0], st1[k][1], 0);
    glVertex2f(corners[k][0], corners[k][1]);
  }
  glEnd();
}

// A marker: its cell of tex12, then the same shape's shine cell with tex42
// added on unit 1, the shine sliding by w.
void DrawMarker(float size, float s0, float alpha, float w) {
  glColor4f(1, 1, 1, alpha);
  BindMenuTexture(kTruckMarkersTexture);
  DrawCentredQuad(size, size, s0, 0.5f, s0 + 0.5f, 1.0f);
  AddOnUnit1(kMarkerShineTexture);
  const float h = size / 2;
  const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
  const float cell[4][2] = {{s0, 0}, {s0 + 0.5f, 0}, {s0 + 0.5f, 0.5f}, {s0, 0.5f}};
  const float shine[4][2] = {{0, -w}, {1, -w}, {1, 0.125f - w}, {0, 0.125f - w}};
  DrawTwoUnitQuad(corners, cell, shine);
  EndUnit1();
}

// The route window around the player: the route map's alpha cuts the
// disc's colours out of tex15.
void DrawMapDisc(float u, float v, float turn, float alpha) {
  glColor4f(0, 0, 0, alpha);
  AddOnUnit1(kMiniMapDiscTexture);
  glBindTexture(GL_TEXTURE_2D, gRouteMapTexture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glTranslatef(u, v, 0);
  glRotatef(-turn, 0, 0, 1);
  glTranslatef(-kDiscWindow / 2, -kDiscWindow / 2, 0);
  glScalef(kDiscWindow, kDiscWindow, 1);
  glMatrixMode(GL_MODELVIEW);
  const float h = kDiscSize / 2;
  const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
  const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  DrawTwoUnitQuad(corners, st, st);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  EndUnit1();
}

}  // namespace

void RouteMapPoint(const neV3& world, float* u, float* v) {
  *u = world.x * kRouteMapScale + kRouteMapOriginU;
  *v = -world.z * kRouteMapScale + kRouteMapOriginV;
}

RouteFrame MeasureRoute(const Waypoint* points, int last) {
  RouteFrame frame;
  if (last < 0) return frame;
  float sumX = 0, sumY = 0;
  for (int i = 0; i <= last; ++i) {
    float u, v;
    RouteMapPoint(points[i].position, &u, &v);
    sumX += u * kRouteMapSize;
    sumY += v * kRouteMapSize;
  }
  frame.centreX = sumX / float(last + 1);
  frame.centreY = sumY / float(last + 1);
  for (int i = 0; i <= last; ++i) {
    float u, v;
    RouteMapPoint(points[i].position, &u, &v);
    frame.radius = std::max(frame.radius, std::hypot(u * kRouteMapSize - frame.centreX, v * kRouteMapSize - frame.centreY));
  }
  return frame;
}

float RoutePreviewScale(float radius) { return kRouteMapSize / 2 / std::max(radius, 1.0f); }

float OpponentMarkerAlpha(float distance, float alpha) {
  if (distance <= kMarkerFadeStart) return alpha;
  const float fade = 1 - (distance - kMarkerFadeStart) / (kMarkerFadeEnd - kMarkerFadeStart);
  return alpha * std::max(0.0f, fade);
}

void RenderRouteMap() {
  const int last = gRacePathLast;
  const RouteFrame frame = MeasureRoute(gRacePath, last);
  gRouteMapRadius = std::max(frame.radius, 1.0f);
  gRouteMapOffsetX = (kRouteMapSize / 2 - frame.centreX) * kPreviewShift;
  gRouteMapOffsetY = (kRouteMapSize / 2 - frame.centreY) * kPreviewShift;
  BeginRouteMapCanvas();
  // Overlapping dots add up to a bright line; the start is a white spot.
  for (int i = last; i >= 0; --i) {
    float u, v;
    RouteMapPoint(gRacePath[i].position, &u, &v);
    AddRouteDot(u * kRouteMapSize, v * kRouteMapSize, kRouteDotSize, kRouteGrey);
  }
  if (last >= 0) {
    float u, v;
    RouteMapPoint(gRacePath[0].position, &u, &v);
    LayRouteDot(u * kRouteMapSize, v * kRouteMapSize, kStartDotSize);
  }
  EndRouteMapCanvas();
}

void DrawRouteMapPreview(float x, float y, float halfSize) {
  const float s = RoutePreviewScale(gRouteMapRadius);
  WithGlCapabilities({{GL_TEXTURE_2D, true}}, [&] {
    glBindTexture(GL_TEXTURE_2D, gRouteMapTexture);
    glPushMatrix();
    glTranslatef(x, y, 0);
    glRotatef(kPreviewTurnRate * gMenuClock, 0, 0, 1);
    glTranslatef(gRouteMapOffsetX * s, gRouteMapOffsetY * s, 0);
    DrawCentredQuad(2 * halfSize * s, 2 * halfSize * s, 0, 0, 1, 1);
    glPopMatrix();
  });
}

void DrawMiniMap(const neV3 (&racerPositions)[kRacerCount], const neV3& playerForward, float alpha) {
  const neV3 worldX = neMakeV3(1, 0, 0);
  const float heading = -kDegreesPerRadian * HeadingDeltaNormalized(worldX, playerForward);
  const float turn = heading + 90.0f;
  float u, v;
  RouteMapPoint(racerPositions[0], &u, &v);
  WithGlCapabilities(kBlendedTexturing, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawMapDisc(u, v, turn, alpha);

    for (int i = 1; i < kRacerCount; ++i) {
      const neV3 d = racerPositions[i] - racerPositions[0];
      const float markerAlpha = OpponentMarkerAlpha(d.Length(), alpha);
      if (markerAlpha <= 0) continue;
      glPushMatrix();
      glRotatef(turn, 0, 0, 1);
      glTranslatef(d.x * kMarkerScale + kRouteMapOriginU, -d.z * kMarkerScale + kRouteMapOriginV, 0);
      const float w = 0.5f * std::sin(kQuarterPi * float(i) + 2.5f * gMenuClock - 3 * kQuarterPi);
      DrawMarker(kOpponentMarkerSize, 0.5f, markerAlpha, w);
      glPopMatrix();
    }
    const float w = 0.5f * std::sin(2.5f * gMenuClock - 3 * kQuarterPi - kQuarterPi);
    DrawMarker(kPlayerMarkerSize, 0.0f, alpha, w);
  });
  glColor4f(1, 1, 1, 1);
}
