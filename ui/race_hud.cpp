// The race overlay. UpdateRaceHud reads the player's racer record, the
// racers' world matrices, the race flags and the crash effect while the
// worker waits; DrawRaceHud reads only what it took, and the scene, glow
// and HUD textures (tex05 panels, tex43 gauge back, tex36 face, tex38 and
// tex32 needles, tex41 lamp). It draws into the window in an 800 x 600
// frame and leaves depth testing on, blending off, rectangle texturing off,
// 2-D texturing on, the projection as it found it and colour white.
#include "ui/race_hud.h"

#include <algorithm>
#include <cmath>

#include "framework/font.h"
#include "framework/globals.h"
#include "framework/random.h"
#include "framework/sound.h"
#include "framework/texture_roles.h"
#include "math/ne_math.h"
#include "platform/gl.h"
#include "render/gl_state.h"
#include "render/race_view.h"
#include "ui/menu_draw.h"
#include "ui/menu_state.h"
#include "ui/page_backdrop.h"
#include "ui/race_finish.h"
#include "ui/race_targets.h"
#include "ui/route_map.h"
#include "world/race_state.h"

float gHudSpeed;
int32_t gCountdownStep;
HudView gHudView;

namespace {

constexpr float kCrashDecay = 0.0075f;   // crash strength lost per frame-factor unit
constexpr float kTurboAmber = 66.6f;     // the lamp turns amber from this turbo amount
constexpr float kSpeedEasing = 0.05f;    // share of the gap the speedometer closes per unit
// The gauge cluster's centre and the minimap's, before the sway.
constexpr float kGaugeX = 680.0f, kGaugeY = 95.0f;
constexpr float kMiniMapX = 120.0f, kMiniMapY = 105.0f;
constexpr float kCountdownX = 400.0f, kCountdownY = 450.0f;

struct Sway {
  float scale, drop;
};

// The cluster moves with the truck: it grows as the front wheels drop and
// sinks as the rear ones do.
Sway ClusterSway(const HudView& view) {
  return {((view.sway[0] + view.sway[1]) / 2 - 1) * 0.05f + 1, ((view.sway[2] + view.sway[3]) / 2 - 1) * 25};
}

// The countdown runs through the start hold and after it until its end,
// unless the player has finished.
bool CountdownRuns() {
  return (gStartHold || (gRacePhaseTime > 0 && gRacePhaseTime < kCountdownEnd)) && !gPlayerFinished;
}

void TakeHudView() {
  const Racer& player = gRacers[0];
  HudView& v = gHudView;
  v.revolutions = player.rpm;
  v.speed = player.velocity.Length();
  v.turbo = player.boost;
  v.boosting = player.boostForce > 1.0f;
  v.gear = player.gear;
  v.place = player.place;
  v.laps = player.laps;
  v.raceMinutes = player.raceMinutes, v.raceSeconds = player.raceSeconds, v.raceHundredths = player.raceHundredths;
  v.lapMinutes = player.lapMinutes, v.lapSeconds = player.lapSeconds, v.lapHundredths = player.lapHundredths;
  v.bestMinutes = player.bestLapMinutes, v.bestSeconds = player.bestLapSeconds;
  v.bestHundredths = player.bestLapHundredths;
  for (int w = 0; w < 4; ++w) v.sway[w] = player.suspension[w];
  for (int i = 0; i < kRacerCount; ++i) {
    const float* m = gSimRacerMatrix[i].m;
    v.position[i] = neMakeV3(m[12], m[13], m[14]);
  }
  const float* m0 = gSimRacerMatrix[0].m;
  v.playerAxisX = neMakeV3(m0[0], m0[1], m0[2]);
  v.finished = gPlayerFinished != 0;
  v.countdown = CountdownRuns();
  v.phaseTime = gRacePhaseTime;
}

// The countdown's clock, and the opponents' start at its release.
void RunCountdownClock() {
  if (!CountdownRuns()) return;
  const CountdownFrame frame = CountdownAt(gRacePhaseTime);
  if (frame.beepStep >= 0 && gCountdownStep == frame.beepStep && gSoundOn) {
    (frame.beepStep == 5 ? gSndCountdownGo : gSndCountdownBeep).Play();
    gCountdownStep += 1;
  }
  gRacePhaseTime = AdvanceCountdown(gRacePhaseTime, gFrameFactor);
  if (gRacePhaseTime > kCountdownRelease) gStartHold = 0;
}

// ---- Drawing ----

void SetLampColour(const HudView& view, float alpha) {
  if (view.boosting) {
    glColor4f(0.5f + 0.5f * std::sin(10 * gMenuClock), 0, 0, alpha);
  } else if (view.turbo < kTurboAmber) {
    glColor4f(0.748f, 0.935f, 0.055f, alpha);
  } else {
    glColor4f(1, 0.8f, 0, alpha);
  }
}

void DrawGaugeCluster(const HudView& view, const Sway& sway) {
  glPushMatrix();
  glTranslatef(kGaugeX, kGaugeY - sway.drop, 0);
  glScalef(sway.scale, sway.scale, 1);
  SetLampColour(view, 0.4f);
  BindMenuTexture(kGaugeBackTexture);
  DrawCentredQuad(240, 240, 0, 0, 1, 1);
  glColor4f(1, 1, 1, 1);
  BindMenuTexture(kGaugeFaceTexture);
  DrawCentredQuad(240, 240, 0, 0, 1, 1);

  glPushMatrix();
  glRotatef(150 - EngineNeedleAngle(view.revolutions), 0, 0, 1);
  glTranslatef(0, 26, 0);
  BindMenuTexture(kEngineNeedleTexture);
  DrawCentredQuad(50, 100, 0, 0, 1, 1);
  glPopMatrix();

  glPushMatrix();
  glTranslatef(-69.2f, 50.87f, 0);
  glRotatef(TurboNeedleAngle(view.turbo), 0, 0, 1);
  glTranslatef(0, 12.5f, 0);
  BindMenuTexture(kTurboNeedleTexture);
  DrawCentredQuad(25, 50, 0, 0, 1, 1);
  glPopMatrix();

  SetLampColour(view, 1);
  BindMenuTexture(kLampTilesTexture);
  DrawTexturedQuad(-29 - 9, 84 - 9, -29 + 9, 84 + 9, 0, 0, 1, 1);
  glColor4f(1, 1, 1, 1);
  DrawFontText(67.5f, 56, 3, 1, 1, 0.9f, true, kAlignCentre, "%s", GearText(view.gear));
  DrawFontText(24, -43, 0, 1, 2, 1.25f, false, kAlignLeft, "%03i", static_cast<int>(gHudSpeed));
  DrawFontText(27, -63, 0, 1, 1, 0.55f, false, kAlignLeft, "km/h");
  glPopMatrix();
}

void DrawTime(float x, float y, int minutes, int seconds, float hundredths) {
  DrawFontText(x, y, 1, 1, 2, 0.6f, true, kAlignLeft, "%2i:%02i.%02i", minutes, seconds, static_cast<int>(hundredths));
}

void DrawRaceTexts(const HudView& view, const Sway& sway) {
  glPushMatrix();
  glScalef(sway.scale, sway.scale, 1);
  const float h = sway.drop;
  DrawFontText(85, 525 - h, 1, 1, 2, 0.65f, true, kAlignLeft, "PLACE");
  DrawFontText(130, 525 - h, 3, 1, 1, 2.05f, true, kAlignLeft, "%2i", view.place);
  DrawFontText(165, 525 - h, 4, 1, 1, 0.98f, true, kAlignLeft, "/4");
  DrawFontText(85, 500 - h, 0, 1, 1, 0.65f, false, kAlignLeft, "Race");
  DrawTime(135, 500 - h, view.raceMinutes, view.raceSeconds, view.raceHundredths);
  DrawFontText(630, 525 - h, 1, 1, 2, 0.65f, true, kAlignLeft, "LAP");
  DrawFontText(675, 525 - h, 2, 1, 1, 2.05f, true, kAlignLeft, "%2i", std::max(1, view.laps));
  DrawFontText(710, 525 - h, 4, 1, 1, 0.98f, true, kAlignLeft, "/4");
  DrawFontText(630, 500 - h, 0, 1, 1, 0.65f, false, kAlignLeft, "Time");
  DrawTime(680, 500 - h, view.lapMinutes, view.lapSeconds, view.lapHundredths);
  DrawFontText(630, 485 - h, 0, 1, 1, 0.65f, false, kAlignLeft, "Best");
  DrawTime(680, 485 - h, view.bestMinutes, view.bestSeconds, view.bestHundredths);
  glPopMatrix();
}

void DrawStartCountdown(float phaseTime) {
  const CountdownFrame frame = CountdownAt(phaseTime);
  if (!frame.text) return;
  DrawFontText(kCountdownX, kCountdownY, 1, std::min(1.0f, frame.alpha), 1, frame.scale, false, kAlignCentre, "%s",
               frame.text);
}

}  // namespace

CountdownFrame CountdownAt(float t) {
  CountdownFrame f;
  static const char* const kDigits[3] = {"3", "2", "1"};
  for (int d = 0; d < 3; ++d) {
    const float end = 9.0f + float(d);
    if (t > end - 1 && t < end) {
      f.text = kDigits[d];
      f.alpha = 2 * (end - t);
      f.scale = 9 - 5 * (end - t);
      f.beepStep = 2 + d;
      return f;
    }
  }
  if (t > kCountdownRelease && t < kCountdownEnd) {
    const float u = t < 12.0f ? 12.0f - t : 0.0f;
    f.text = "START";
    f.alpha = 2 * u;
    f.scale = 8.5f - 5 * u;
    f.beepStep = 5;
  }
  return f;
}

float AdvanceCountdown(float t, float frameFactor) {
  t += 0.01f * std::min(frameFactor, kCountdownLongestFrame);
  return t >= kCountdownEnd ? 0.0f : t;
}

float EngineNeedleAngle(float revolutions) { return std::clamp((revolutions - 1000.0f) * 0.04f, 0.0f, 240.0f); }

float TurboNeedleAngle(float turbo) { return 159.0f - 2.11f * turbo; }

float SpeedometerTarget(float speed) { return (5.7f * speed + 0.025f * speed * speed) * 0.65f; }

const char* GearText(int gear) {
  static const char* const kGears[7] = {"R", "N", "1", "2", "3", "4", "5"};
  return gear >= -1 && gear <= 5 ? kGears[gear + 1] : "N";
}

void UpdateRaceHud() {
  TakeHudView();
  const float factor = gRaceViewCopies.frameFactor;
  if (gCrashEffect > 0) gCrashEffect -= kCrashDecay * factor;
  if (gCrashEffect < 0) gCrashEffect = 0;
  gHudView.crash = gCrashEffect;
  const float target = SpeedometerTarget(gHudView.speed);
  gHudSpeed += (target > gHudSpeed ? 1.0f : -1.0f) * std::fabs(target - gHudSpeed) * kSpeedEasing * factor;
  RunCountdownClock();
  if (gPlayerFinished) DrawRaceFinish();
}

void DrawRaceHud() {
  const HudView& view = gHudView;
  BeginOverlayFrame();
  DrawRaceScene(1 - std::cos(view.crash * NE_PI / 2));
  WithGlCapabilities(kBlendedTexturing, [&view] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    DrawSidePanels(1, 1, 1, 0.85f);
    const Sway sway = ClusterSway(view);
    if (!view.finished) DrawGaugeCluster(view, sway);
    DrawRaceTexts(view, sway);
    glPushMatrix();
    glTranslatef(kMiniMapX, kMiniMapY - sway.drop, 0);
    glScalef(sway.scale, sway.scale, 1);
    DrawMiniMap(view.position, view.playerAxisX, 1.0f);
    glPopMatrix();
    if (view.countdown) DrawStartCountdown(view.phaseTime);
  });
  glColor4f(1, 1, 1, 1);
  EndOverlayFrame();
}

namespace {

constexpr int kRingQuadTexture = 49;
constexpr int kRingQuads = 100;
constexpr float kRingBlue[3] = {0.12f, 0.22f, 0.9f};
constexpr float kRingWhiteFrom = 90.0f;  // shown value from which the ring pulses white

// The ring's state between frames; the jitter is drawn once.
struct RingGauge {
  bool jittered = false;
  float radius[kRingQuads], size[kRingQuads];
  float shown = 0, spin = 0;
};
RingGauge gRing;

float Jitter() { return 0.15f * float(10 - Random() % 21); }

}  // namespace

float StepRingValue(float shown, float turbo, float frameFactor) {
  return shown > turbo ? turbo : std::min(turbo, shown + 0.75f * frameFactor);
}

void DrawRingGauge() {
  RingGauge& ring = gRing;
  if (!ring.jittered) {
    for (int i = 0; i < kRingQuads; ++i) {
      ring.radius[i] = -90.0f + Jitter();
      ring.size[i] = 7.0f + Jitter();
    }
    ring.jittered = true;
  }
  ring.shown = StepRingValue(ring.shown, gHudView.turbo, gFrameFactor);
  ring.spin += 0.2f * gFrameFactor;
  const float white = ring.shown > kRingWhiteFrom
                          ? (ring.shown - kRingWhiteFrom) / (100.0f - kRingWhiteFrom) * (0.5f + 0.5f * std::sin(10 * gMenuClock))
                          : 0.0f;
  WithGlCapabilities(kBlendedTexturing, [&ring, white] {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    BindMenuTexture(kRingQuadTexture);
    const int count = std::clamp(int(ring.shown), 0, kRingQuads);
    for (int i = 0; i < count; ++i) {
      const float alpha = 0.775f + 0.05f * std::sin(0.15f * i);
      glColor4f(kRingBlue[0] + (1 - kRingBlue[0]) * white, kRingBlue[1] + (1 - kRingBlue[1]) * white,
                kRingBlue[2] + (1 - kRingBlue[2]) * white, alpha);
      glPushMatrix();
      glRotatef(1.3635f * i - 209.5f, 0, 0, 1);
      glTranslatef(0, ring.radius[i], 0);
      glRotatef(i % 2 == 1 ? ring.spin : -0.8f * ring.spin, 0, 0, 1);
      DrawCentredQuad(ring.size[i], ring.size[i], 0, 0, 1, 1);
      glPopMatrix();
    }
  });
  glColor4f(1, 1, 1, 1);
}
