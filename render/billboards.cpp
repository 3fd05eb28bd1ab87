#include "render/billboards.h"

#include "math/ne_math.h"

#include <cmath>

namespace {

constexpr float kThreeHalvesPi = 3 * NE_PI / 2;
constexpr float kTwoPi = 2 * NE_PI;

struct GrassClock {
  float baseRate, extraRate, amplitude;  // radians per frame-factor unit; sway units
};
constexpr GrassClock kGrassClocks[4] = {
    {0.0125f, 0.023f, 0.0875f},
    {0.014f, 0.012f, 0.0925f},
    {0.014f, 0.012f, 0.07f},
    {0.0125f, 0.01f, 0.06f},
};

struct TreeKind {
  int list;
  float c0, c1;  // atlas column
};
constexpr TreeKind kTreeKinds[2][kTreeKindsPerBatch] = {
    {{8, 0.5f, 0.75f}, {10, 0.75f, 1.0f}, {12, 0.0f, 0.25f}, {14, 0.25f, 0.5f}},
    {{9, 0.5f, 0.75f}, {11, 0.75f, 1.0f}, {13, 0.0f, 0.25f}, {15, 0.25f, 0.5f}},
};
constexpr float kTreeAxisScale = 2.9f;


void EmitCorner(const GrassItem& item, float s, float t, float r, const float tex1[3], const float colour[3],
                std::vector<BillboardVertex>& out) {
  out.push_back({{item.x, item.y, item.z},
                 {s, t, r, item.size},
                 {tex1[0], tex1[1], tex1[2]},
                 {colour[0], colour[1], colour[2]}});
}

}  // namespace

float gGrassSwayPhase[4] = {};
float gTreeSwayPhase[2] = {};

float AdvanceSwayPhase(float phase, float step, float extraStep) {
  phase += step;
  if (phase > NE_HALF_PI && phase < kThreeHalvesPi) phase += extraStep;
  while (phase > kTwoPi) phase -= kTwoPi;
  return phase;
}

void AdvanceGrassSway(float phase[4], float frameFactor) {
  for (int i = 0; i < 4; ++i)
    phase[i] = AdvanceSwayPhase(phase[i], frameFactor * kGrassClocks[i].baseRate,
                                frameFactor * kGrassClocks[i].extraRate);
}

void GrassSwayVectors(const float phase[4], float menuClock, Vector3 sway[kGrassKindCount]) {
  auto phased = [&](int clock, bool cosineZ) {
    float p = phase[clock];
    float a = (6 - std::sin(p)) * kGrassClocks[clock].amplitude;
    return Vector3(std::sin(p) * a, 0, (cosineZ ? std::cos(p) : std::sin(p)) * a);
  };
  auto timed = [&](float rate, float amp, float fx, float px, float fz, float pz) {
    float t = menuClock * rate;
    return Vector3(amp * std::sin(fx * t + px), 0, amp * std::cos(fz * t + pz));
  };
  sway[0] = phased(0, false);
  sway[1] = timed(1.8125f, 0.25f, 0.75f, 0.87f, 0.95f, 1.27f);
  sway[2] = phased(1, false);
  sway[3] = phased(2, false);
  sway[4] = timed(1.625f, 0.25f, 0.65f, 1.0f, 0.75f, 0.7f);
  sway[5] = timed(1.5f, 0.3f, 0.85f, 0.57f, 0.65f, 1.57f);
  sway[6] = timed(1.6875f, 0.3f, 0.95f, 0.4f, 0.8f, 0.6f);
  sway[7] = phased(3, true);
}

void BuildGrassStream(const NodeList& leaves, const QuadTreeList* records, const float* leafDistSq, float sightDistance,
                      const Vector3 sway[kGrassKindCount], std::vector<BillboardVertex>& out) {
  const float white[3] = {1, 1, 1};
  const float still[3] = {0, 0, 0};
  for (int n = 0; n < leaves.count; ++n) {
    const int index = leaves.leaf[n];
    const QuadTreeList& leaf = records[index];
    const float limit = sightDistance - kGrassLeafMargin;
    if (!leaf.grass || !(leafDistSq[index] < limit * limit)) continue;
    for (int kind = 0; kind < kGrassKindCount; ++kind) {
      float c0 = float(kind) / kGrassKindCount, c1 = float(kind + 1) / kGrassKindCount;
      const float tip[3] = {sway[kind].x, sway[kind].y, sway[kind].z};
      for (int i = 0; i < leaf.grass->count[kind]; ++i) {
        const GrassItem& item = leaf.grass->list[kind][i];
        EmitCorner(item, 1, 0, c1, still, white, out);
        EmitCorner(item, 0, 0, c0, still, white, out);
        EmitCorner(item, 0, 1, c0, tip, white, out);
        EmitCorner(item, 1, 1, c1, tip, white, out);
      }
    }
  }
}

float AdvanceTreeSway(float& phase, float frameFactor) {
  phase = AdvanceSwayPhase(phase, (0.01f + 0.007f * std::sin(0.28f * phase)) * frameFactor, 0.0065f * frameFactor);
  return 6 - std::sin(phase);
}

void TreeBillboardAxes(const Vector3& viewDirection, float phase, float amplitude, float leanFactor, Vector3& right,
                       Vector3& up) {
  Vector3 d(viewDirection.x, 0, viewDirection.z);
  float length = d.Length();
  d = length > 0 ? d * (1 / length) : Vector3();
  float lean = leanFactor * amplitude * std::sin(phase);
  up.Set(0, 1, 0);
  float ax = d.x * lean;
  up.Set(up.x, up.y * std::cos(ax) - up.z * std::sin(ax), up.z * std::cos(ax) + up.y * std::sin(ax));
  float az = d.z * lean;
  up.Set(up.x * std::cos(az) - up.y * std::sin(az), up.y * std::cos(az) + up.x * std::sin(az), up.z);
  up.Normalize();
  right = CrossProduct(up, d);
  float rightLength = right.Length();
  right = rightLength > 0 ? right * (kTreeAxisScale / rightLength) : Vector3();
  up = up * kTreeAxisScale;
}

void BuildTreeStream(int batch, const NodeList& leaves, const QuadTreeList* records, const float* leafDistSq,
                     float sightDistance,
                     float colour[3], std::vector<BillboardVertex>& out) {
  const float none[3] = {0, 0, 0};
  // The second batch swaps the quad's s so its atlas picture is mirrored.
  const float sLeft = batch == 0 ? 0.0f : 1.0f, sRight = 1 - sLeft;
  for (int n = 0; n < leaves.count; ++n) {
    const int index = leaves.leaf[n];
    const QuadTreeList& leaf = records[index];
    if (!leaf.grass || !(leafDistSq[index] < sightDistance * sightDistance)) continue;
    for (const TreeKind& kind : kTreeKinds[batch]) {
      bool tinted = kind.list == 11 || kind.list == 13;
      for (int i = 0; i < leaf.grass->count[kind.list]; ++i) {
        const GrassItem& item = leaf.grass->list[kind.list][i];
        if (tinted) {
          colour[0] = item.size;
          colour[1] = colour[2] = 1;
        }
        EmitCorner(item, sLeft, 0, kind.c0, none, colour, out);
        EmitCorner(item, sLeft, 1, kind.c0, none, colour, out);
        EmitCorner(item, sRight, 1, kind.c1, none, colour, out);
        EmitCorner(item, sRight, 0, kind.c1, none, colour, out);
      }
    }
  }
}
