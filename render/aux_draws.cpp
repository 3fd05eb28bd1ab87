// The sun flare, blob shadows and debug markers; see aux_draws.h for what
// they read, draw into and the GL state they leave.
#include "render/aux_draws.h"

#include <cmath>

#include "framework/texture.h"
#include "framework/globals.h"
#include "framework/texture_roles.h"
#include "platform/gl.h"
#include "render/car_lights.h"
#include "render/gl_state.h"
#include "render/race_camera.h"
#include "render/shaders.h"
#include "world/catalogue.h"
#include "world/race_path.h"

namespace {

// The flare's occlusion grid: offsets -4..4 in steps of 1/300 of the viewport.
constexpr int kFlareGridReach = 4;
constexpr float kFlareGridStep = 1.0f / 300.0f;
constexpr float kFlareGridShare = 1.0f / 81.0f;
constexpr float kFlareEdgeReach = 1.2f;  // visibility falls to 0 this far from the centre
constexpr float kFlareStrength = 0.75f;
constexpr int kGlowRimPoints = 64;

// The rings along the flare line: where on the line (a multiple of the
// sun's position from the centre), rim radius and rim colour.
struct FlareRing {
  float along, radius, rim[3];
};
constexpr FlareRing kFlareRings[] = {
    {0.7f, 0.2f, {1, 1, 1}},       {0.6f, 0.3f, {1, 0.5f, 0.5f}}, {0.4f, 0.4f, {1, 1, 1}},
    {0.3f, 0.6f, {1, 1, 0.5f}},    {0.2f, 0.5f, {1, 1, 1}},       {-0.1f, 0.4f, {0.5f, 1, 0.5f}},
    {-0.2f, 0.3f, {1, 1, 1}},      {-0.4f, 0.2f, {0.5f, 1, 0}},   {-0.6f, 0.4f, {1, 1, 1}},
    {-0.7f, 0.5f, {0.5f, 0.5f, 0}}, {-0.8f, 0.6f, {1, 1, 1}},     {-0.9f, 0.5f, {1, 0.5f, 0}},
    {-1.2f, 0.3f, {1, 1, 1}},
};

constexpr float kBlobLift = 0.05f, kBlobCornerHeight = 0.03f;

// The checkpoint beacon and the route signs, pulsing with their own clock.
constexpr float kPulsePerFrameFactor = 0.1f;
constexpr float kPulseBase = 1.1f, kPulseSwell = 0.1f;  // size factor b = base + swell sin(clock)
constexpr float kBeaconRise = 4.5f, kBeaconSize = 3.0f;
constexpr float kRouteSignAside = 11.5f, kRouteSignRise = 4.0f, kRouteSignHalf = 1.5f;
constexpr float kDegreesPerRadian = 57.2957f;
float gCheckpointPulseClock = 0;

constexpr double kSunMarkerRadius = 3.0, kSunMarkerRise = 4.0;
constexpr int kSunMarkerDivisions = 8;
constexpr double kWaypointRadius = 0.25;
constexpr int kWaypointDivisions = 4;

constexpr float kMarkerHalfSide = 0.25f, kMarkerDepth = 0.075f;
constexpr float kMarkerAmbient = 0.1f, kMarkerDiffuse = 0.2f, kMarkerGlowPerBrake = 2.0f;

constexpr int kLampTableRows = 6;
constexpr double kLampSphereRadius = 0.03;
constexpr int kLampSphereDivisions = 16;
constexpr float kLampSphereDrop = 0.05f;
constexpr float kLampColours[4][3] = {{1, 1, 1}, {1, 0.5f, 0.5f}, {1, 0, 0}, {0.4f, 0.4f, 0.4f}};

void BindTable(int index) {
  const uint32_t name = gTextures[index].glId;
  glBindTexture(GL_TEXTURE_2D, name == kNoTexture ? 0 : name);
}

float DepthAt(int x, int y) {
  float depth = 1.0f;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  return depth;
}

// A fan centred at (x, y) in one colour with its rim points in another.
void Fan(float x, float y, const float centre[4], const float rim[4], const float (*points)[2], int count) {
  glBegin(GL_TRIANGLE_FAN);
  glColor4fv(centre);
  glVertex2f(x, y);
  glColor4fv(rim);
  for (int i = 0; i <= count; ++i) glVertex2f(points[i % count][0], points[i % count][1]);
  glEnd();
}

void DrawFlareStreak(float x, float y, float v) {
  const float centre[4] = {0.9f, 1, 0, 0.5f * v}, rim[4] = {1, 1, 1, 0};
  const float points[4][2] = {{x + 2.5f * v, y}, {x, y + 0.1f * v}, {x - 2.5f * v, y}, {x, y - 0.1f * v}};
  Fan(x, y, centre, rim, points, 4);
}

void DrawFlareWash(float x, float y, float v) {
  glColor4f(1, 1, 1, 0.3f * v);
  glBegin(GL_QUADS);
  glVertex2f(x - 2, y - 2);
  glVertex2f(x + 2, y - 2);
  glVertex2f(x + 2, y + 2);
  glVertex2f(x - 2, y + 2);
  glEnd();
}

void DrawFlareGlow(float x, float y, float v) {
  const float centre[4] = {1, 1, 1, 1}, rim[4] = {1, 1, 0.5f, 0};
  float points[kGlowRimPoints][2];
  for (int i = 0; i < kGlowRimPoints; ++i) {
    const float angle = float(i) * 2.0f * float(M_PI) / kGlowRimPoints, radius = (i % 2 ? 1.0f : 1.2f) * v;
    points[i][0] = x + std::cos(angle) * radius;
    points[i][1] = y + std::sin(angle) * radius;
  }
  Fan(x, y, centre, rim, points, kGlowRimPoints);
}

void DrawFlareRings(float x, float y, float v) {
  for (const FlareRing& ring : kFlareRings) {
    const float cx = x * ring.along, cy = y * ring.along;
    const float centre[4] = {1, 1, 1, v}, rim[4] = {ring.rim[0], ring.rim[1], ring.rim[2], 0};
    float points[6][2];
    for (int i = 0; i < 6; ++i) {
      const float angle = float(i) * float(M_PI) / 3.0f;
      points[i][0] = cx + std::cos(angle) * ring.radius * v;
      points[i][1] = cy + std::sin(angle) * ring.radius * v;
    }
    Fan(cx, cy, centre, rim, points, 6);
  }
}

// Runs a draw with a fresh quadric of smooth normals and texture coordinates.
template <typename Draw>
void WithQuadric(Draw draw) {
  GLUquadric* quadric = gluNewQuadric();
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluQuadricTexture(quadric, GL_TRUE);
  draw(quadric);
  gluDeleteQuadric(quadric);
}

void SphereAt(GLUquadric* quadric, float x, float y, float z, double radius, int divisions) {
  glPushMatrix();
  glTranslatef(x, y, z);
  gluSphere(quadric, radius, divisions, divisions);
  glPopMatrix();
}

// The signs of the waypoints of two kinds, from the last point down.
void DrawRouteSigns(int last, int32_t kindA, int32_t kindB, float size) {
  for (int i = last; i >= 0; --i) {
    if (gRacePath[i].type != kindA && gRacePath[i].type != kindB) continue;
    const RouteSign sign = RouteSignAt(gRacePath, last, i);
    glPushMatrix();
    glTranslatef(sign.position.x, sign.position.y, sign.position.z);
    glRotatef(sign.degrees, 0, 1, 0);
    const float h = kRouteSignHalf * size;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-h, -h, 0);
    glTexCoord2f(1, 0);
    glVertex3f(h, -h, 0);
    glTexCoord2f(1, 1);
    glVertex3f(h, h, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-h, h, 0);
    glEnd();
    glPopMatrix();
  }
}

}  // namespace

float SunFlareVisibility(float* windowX, float* windowY) {
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble x = 0, y = 0, z = 0;
  gluProject(kSunPoint[0], kSunPoint[1], kSunPoint[2], model, projection, viewport, &x, &y, &z);
  *windowX = float(x);
  *windowY = float(y);
  const int left = viewport[0], bottom = viewport[1], width = viewport[2], height = viewport[3];
  if (x <= left || x >= left + width || y <= bottom || y >= bottom + height) return 0.0f;
  if (DepthAt(int(x), int(y)) < z) return 0.0f;
  float visibility = 0.0f;
  for (int i = -kFlareGridReach; i <= kFlareGridReach; ++i)
    for (int j = -kFlareGridReach; j <= kFlareGridReach; ++j) {
      const int sx = int(x + i * width * kFlareGridStep), sy = int(y + j * height * kFlareGridStep);
      if (sx < left || sx >= left + width || sy < bottom || sy >= bottom + height) continue;
      if (z <= DepthAt(sx, sy)) visibility += kFlareGridShare;
    }
  return visibility;
}

// Ends with texturing on and blending off whatever they were before: the
// draws after it expect them so.
void DrawSunFlare() {
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  float windowX = 0, windowY = 0;
  float v = SunFlareVisibility(&windowX, &windowY);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  const float x = 2.0f * (windowX - viewport[0]) / viewport[2] - 1.0f;
  const float y = 2.0f * (windowY - viewport[1]) / viewport[3] - 1.0f;
  v *= (kFlareEdgeReach - std::sqrt(x * x + y * y)) * kFlareStrength;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  WithGlCapabilities({{GL_DEPTH_TEST, false}, {GL_CULL_FACE, false}}, [x, y, v] {
    DrawFlareStreak(x, y, v);
    DrawFlareWash(x, y, v);
    DrawFlareGlow(x, y, v);
    DrawFlareRings(x, y, v);
  });
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glColor4f(1, 1, 1, 1);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void DrawBlobShadowsFrom(const BlobShadowCaster* casters, int count) {
  glDepthMask(GL_FALSE);
  WithGlCapabilities({{GL_BLEND, true}}, [&] {
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glColor4f(1, 1, 1, 1);
    BindTable(kBlobShadowTexture);
    for (int c = 0; c < count; ++c) {
      const BlobShadowCaster& caster = casters[c];
      const float* drop = caster.wheelDrop;
      glPushMatrix();
      glMultMatrixf(caster.matrix.m);
      glTranslatef(0, kBlobLift, 0);
      glBegin(GL_TRIANGLE_STRIP);
      glTexCoord2f(0, 0);
      glVertex3f(caster.rearX, kBlobCornerHeight - drop[2], caster.halfWidth);
      glTexCoord2f(1, 0);
      glVertex3f(caster.frontX, kBlobCornerHeight - drop[0], caster.halfWidth);
      glTexCoord2f(0, 1);
      glVertex3f(caster.rearX, kBlobCornerHeight - drop[3], -caster.halfWidth);
      glTexCoord2f(1, 1);
      glVertex3f(caster.frontX, kBlobCornerHeight - drop[1], -caster.halfWidth);
      glEnd();
      glPopMatrix();
    }
  });
  glDepthMask(GL_TRUE);
}

RouteSign RouteSignAt(const Waypoint* path, int last, int i) {
  const neV3 here = path[i].position, next = path[i < last ? i + 1 : 0].position;
  const neV3 along = SafeUnit(next - here);
  const neV3 side = SafeUnit(CrossV3(neMakeV3(0, 1, 0), along));
  const bool left = path[i].type == kWaypointMarkerA || path[i].type == kWaypointCheckpointMarkerA;
  RouteSign sign;
  sign.position = here + side * (left ? -kRouteSignAside : kRouteSignAside) + neMakeV3(0, kRouteSignRise, 0);
  sign.degrees = HeadingDelta(neMakeV3(1, 0, 0), along) * kDegreesPerRadian - 180.0f;
  return sign;
}

void DrawCheckpointMarker() {
  const int last = gRacePathLast;
  const int beacon = gRacers[0].nextCheckpoint;
  if (last < 0 || last >= kRacePathCapacity || beacon < 0 || beacon > last) return;
  gCheckpointPulseClock += kPulsePerFrameFactor * gFrameFactor;
  const float wave = std::sin(gCheckpointPulseClock);
  const float size = wave * kPulseSwell + kPulseBase;
  glDepthMask(GL_FALSE);
  WithGlCapabilities({{GL_CULL_FACE, false}, {GL_DEPTH_TEST, true}, {GL_BLEND, true}}, [&] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    BindTable(kHintBadgeTexture);
    glColor4f(1, 1, 1, 1);
    DrawBeam(gCameraEye, gRacePath[beacon].position + neMakeV3(0, kBeaconRise, 0), kBeaconSize * size);

    const float pulse = wave * 0.5f + 0.5f;
    glColor4f(1, 0.75f * pulse + 0.25f, pulse, 1);
    BindTable(kBlobShadowTexture);
    DrawRouteSigns(last, kWaypointMarkerA, kWaypointCheckpointMarkerA, size);
    DrawRouteSigns(last, kWaypointMarkerB, kWaypointCheckpointMarkerB, size);

    glColor4f(1, 1, 1, 1);
  });
  glDepthMask(GL_TRUE);
}

void DrawSunMarker() {
  glColor3ub(255, 255, 128);
  glDisable(GL_TEXTURE_2D);
  WithQuadric([](GLUquadric* quadric) {
    SphereAt(quadric, kSunPoint[0], kSunPoint[1] + float(kSunMarkerRise), kSunPoint[2], kSunMarkerRadius,
             kSunMarkerDivisions);
  });
  glEnable(GL_TEXTURE_2D);  // on whatever it was before: the draws after it expect texturing
  glColor4f(1, 1, 1, 1);
}

void DrawWaypointSpheres() {
  BindTable(kFont1SheetTexture);
  const int last = gRacePathLast < kRacePathCapacity ? gRacePathLast : kRacePathCapacity - 1;
  WithQuadric([last](GLUquadric* quadric) {
    for (int i = 0; i <= last; ++i) {
      const neV3& p = gRacePath[i].position;
      SphereAt(quadric, p.x, p.y, p.z, kWaypointRadius, kWaypointDivisions);
    }
  });
}

void DrawTexturedMarker(int slot) {
  // Unit 0 is left textured for the lit pass that follows, as it expects.
  WithGlCapabilities({{GL_CULL_FACE, false}}, [slot] {
    GlActiveTexture(GL_TEXTURE0_ARB);
    BindTable(kGlowSquareTexture);
    glUseProgramObjectARB(gTransparencyProgram.object);
    SetShaderUniforms(kProgTransparency);
    glUniform1fARB(gTransparencyProgram.matAmbient, kMarkerAmbient);
    glUniform1fARB(gTransparencyProgram.matDiffuse, kMarkerDiffuse);
    if (slot >= 0 && slot < kRacerCount)
      glUniform1fARB(gTransparencyProgram.emissive, kMarkerGlowPerBrake * gRacers[slot].brakeGlow);
    const float h = kMarkerHalfSide;
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(-h, -h, kMarkerDepth);
    glTexCoord2f(1, 0);
    glVertex3f(h, -h, kMarkerDepth);
    glTexCoord2f(1, 1);
    glVertex3f(h, h, kMarkerDepth);
    glTexCoord2f(0, 1);
    glVertex3f(-h, h, kMarkerDepth);
    glEnd();
    glUseProgramObjectARB(gLightProgram.object);
    GlActiveTexture(GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
  });
}

int LampTableRow(int catalogueIndex) {
  const int row = catalogueIndex % kLampTableRows;
  return row < 0 ? row + kLampTableRows : row;
}

void DrawLampPointSpheres() {
  WithGlUnitCapabilities({{GL_TEXTURE2_ARB, GL_TEXTURE_2D, false},
                          {GL_TEXTURE1_ARB, GL_TEXTURE_2D, false},
                          {GL_TEXTURE0_ARB, GL_TEXTURE_2D, false}},
                         [] {
    const float(*lamps)[4][3] = gOpticaLamps[LampTableRow(gPlayerCarIndex)];
    WithQuadric([lamps](GLUquadric* quadric) {
      for (int i = 0; i < 4; ++i) {
        glColor3fv(kLampColours[i]);
        const float* p = lamps[i][0];
        for (float side : {1.0f, -1.0f})
          SphereAt(quadric, p[0], p[1] - kLampSphereDrop, side * p[2], kLampSphereRadius, kLampSphereDivisions);
      }
    });
    glColor4f(1, 1, 1, 1);
  });
}
