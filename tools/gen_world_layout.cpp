#include "tools/gen_world_layout.h"

#include "framework/settings.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

namespace {

constexpr int kNodesPerSide = 5;        // junctions per side of the road lattice
constexpr int kFacesPerSide = kNodesPerSide - 1;
constexpr double kNodeSpan = 1350.0;    // junction lattice spans −span..span before jitter
constexpr double kNodeJitter = 50.0;    // units a junction moves off the lattice
constexpr double kEaseLength = 100.0;   // a bend eases off the edges' arcs over this run
constexpr double kMaxSagitta = 16.0;    // largest offset of an edge's middle from its chord
constexpr double kFlatBeside = 45.0;    // the ground follows the road's level this far out
constexpr double kHillsFrom = 140.0;    // full hills from this distance to a road
constexpr double kPlateauFlat = 40.0;   // level radius around each edge's middle (the grids)
constexpr double kPlateauBlend = 260.0; // the plateau meets the rolling level here
constexpr double kRimFrom = 1480.0;     // the rim of high hills starts here (max of |x|, |z|)
constexpr double kRimHeight = 232.0;    // height of the rim at the landscape's edge
constexpr double kLakeRadius = 230.0;
constexpr double kLakeDepth = 24.0;     // below the rolling level at the lake's middle
constexpr double kLakeBelowLevel = 6.0; // water level below the rolling level at the middle
constexpr double kBucket = 100.0;       // side of the road lookup's cells
constexpr int kBuckets = int(2 * kWorldHalfSize / kBucket);

// A small deterministic generator of its own, so the layout never depends
// on the game's shared random sequence.
struct Lcg {
  uint32_t state;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return double(state >> 8) / double(1u << 24);
  }
};

double SmoothStep(double a, double b, double v) {
  const double t = std::clamp((v - a) / (b - a), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

struct Point {
  double x, z;
};
Point operator-(Point a, Point b) { return {a.x - b.x, a.z - b.z}; }
Point operator+(Point a, Point b) { return {a.x + b.x, a.z + b.z}; }
Point operator*(Point a, double s) { return {a.x * s, a.z * s}; }
double Length(Point a) { return std::hypot(a.x, a.z); }
Point Unit(Point a) { return a * (1.0 / Length(a)); }
double Cross(Point a, Point b) { return a.x * b.z - a.z * b.x; }
double Dot(Point a, Point b) { return a.x * b.x + a.z * b.z; }

// Value noise with smooth interpolation, about 0..1.
double Hash(int i, int j, uint32_t seed) {
  uint32_t h = uint32_t(i) * 374761393u + uint32_t(j) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return double((h ^ (h >> 16)) & 0xffffff) / double(0xffffff);
}
double ValueNoise(double x, double z, uint32_t seed) {
  const int i = int(std::floor(x)), j = int(std::floor(z));
  const double fx = x - i, fz = z - j;
  const double sx = fx * fx * (3 - 2 * fx), sz = fz * fz * (3 - 2 * fz);
  const double a = Hash(i, j, seed), b = Hash(i + 1, j, seed);
  const double c = Hash(i, j + 1, seed), d = Hash(i + 1, j + 1, seed);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sz;
}

struct Layout {
  Point nodes[kNodesPerSide * kNodesPerSide];
  std::vector<Point> plateaus;  // the middles of the edges
  Point lake{0, 0};
  double lakeLevel = 0;
  std::vector<std::vector<float>> pieceX, pieceZ;
  std::vector<float> pieceLift;
  // Road segments by lookup cell: (piece, first point of the segment).
  std::vector<std::pair<int, int>> buckets[kBuckets * kBuckets];
  std::vector<float> grid;  // (kGroundCells + 1)² ground heights, row by row in z
};

int NodeIndex(int i, int j) { return i * kNodesPerSide + j; }

// The rolling level the roads follow: long waves, then levelled round the
// middle of every edge so that each straight can hold a starting grid.
double RollingLevel(double x, double z) {
  return 70.0 + 34.0 * std::sin(x / 560.0 + 1.3) * std::cos(z / 650.0 + 0.4) +
         18.0 * std::sin((x - 0.6 * z) / 800.0 + 2.1);
}

double RoadLevel(const Layout& layout, double x, double z) {
  double level = RollingLevel(x, z);
  for (const Point& p : layout.plateaus) {
    const double r = std::hypot(x - p.x, z - p.z);
    if (r >= kPlateauBlend) continue;
    const double b = 1.0 - SmoothStep(kPlateauFlat, kPlateauBlend, r);
    level += b * (RollingLevel(p.x, p.z) - level);
  }
  return level;
}

double Hills(double x, double z) {
  double sum = 0, amplitude = 1, scale = 1.0 / 420.0, total = 0;
  for (int octave = 0; octave < 4; ++octave) {
    sum += amplitude * ValueNoise(x * scale, z * scale, 17u + octave);
    total += amplitude;
    amplitude *= 0.45;
    scale *= 2.1;
  }
  const double v = sum / total;  // about 0.2..0.8
  return 130.0 * std::max(0.0, v - 0.32);
}

// Squared distance from p to segment a..b.
double SegmentDistanceSq(Point p, Point a, Point b) {
  const Point ab = b - a;
  const double len2 = Dot(ab, ab);
  double t = len2 > 0 ? Dot(p - a, ab) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const Point q = a + ab * t - p;
  return Dot(q, q);
}

double RoadDistance(const Layout& layout, double x, double z) {
  const int bi = std::clamp(int((x + kWorldHalfSize) / kBucket), 0, kBuckets - 1);
  const int bj = std::clamp(int((z + kWorldHalfSize) / kBucket), 0, kBuckets - 1);
  const auto& bucket = layout.buckets[bi * kBuckets + bj];
  double best = 1e30;
  const Point p{x, z};
  auto test = [&](int piece, int k) {
    const auto& px = layout.pieceX[size_t(piece)];
    const auto& pz = layout.pieceZ[size_t(piece)];
    best = std::min(best, SegmentDistanceSq(p, {px[size_t(k)], pz[size_t(k)]}, {px[size_t(k + 1)], pz[size_t(k + 1)]}));
  };
  if (!bucket.empty()) {
    for (const auto& [piece, k] : bucket) test(piece, k);
  } else {
    for (size_t piece = 0; piece < layout.pieceX.size(); ++piece)
      for (size_t k = 0; k + 1 < layout.pieceX[piece].size(); ++k) test(int(piece), int(k));
  }
  return std::sqrt(best);
}

double NaturalHeight(const Layout& layout, double x, double z) {
  const double d = RoadDistance(layout, x, z);
  const double level = RoadLevel(layout, x, z);
  const double away = SmoothStep(kFlatBeside, kHillsFrom, d);
  const double lakeR = std::hypot(x - layout.lake.x, z - layout.lake.z);
  const double bowl = 1.0 - SmoothStep(0.0, kLakeRadius, lakeR);
  const double hills = Hills(x, z) * SmoothStep(kLakeRadius, kLakeRadius + 160.0, lakeR);
  double h = level + away * (hills - kLakeDepth * bowl);
  const double rim = SmoothStep(kRimFrom, kWorldHalfSize - 10.0, std::max(std::fabs(x), std::fabs(z)));
  h += rim * (kRimHeight - 12.0 * ValueNoise(x / 90.0, z / 90.0, 5u) - h);
  return std::clamp(h, -18.0, 248.0);
}

// The boundary of a set of lattice faces, as a cycle of junctions.
std::vector<int> BoundaryCycle(const std::vector<std::pair<int, int>>& faces) {
  std::map<std::pair<int, int>, int> edgeUse;
  auto addEdge = [&](int a, int b) { ++edgeUse[{std::min(a, b), std::max(a, b)}]; };
  for (const auto& [i, j] : faces) {
    const int c[4] = {NodeIndex(i, j), NodeIndex(i + 1, j), NodeIndex(i + 1, j + 1), NodeIndex(i, j + 1)};
    for (int k = 0; k < 4; ++k) addEdge(c[k], c[(k + 1) % 4]);
  }
  std::map<int, std::vector<int>> next;
  for (const auto& [edge, uses] : edgeUse) {
    if (uses != 1) continue;
    next[edge.first].push_back(edge.second);
    next[edge.second].push_back(edge.first);
  }
  std::vector<int> cycle{next.begin()->first};
  int previous = -1;
  while (true) {
    const auto& options = next[cycle.back()];
    const int step = options[0] != previous ? options[0] : options[1];
    if (step == cycle.front()) break;
    previous = cycle.back();
    cycle.push_back(step);
  }
  return cycle;
}

// A road between two junctions: a long, gentle arc (a parabola over the
// chord, nearly a circle of radius chord² / 8 sagitta), never quite straight.
struct EdgeCurve {
  int a = 0, b = 0;
  double sagitta = 0;  // offset of the middle to the chord's left, units
};

// The point `s` units along the edge from junction `from` (one of its ends).
Point EdgePoint(const Layout& layout, const EdgeCurve& edge, int from, double s) {
  const Point pa = layout.nodes[edge.a], pb = layout.nodes[edge.b];
  const double length = Length(pb - pa);
  const double u = from == edge.a ? s / length : 1.0 - s / length;
  const Point along = Unit(pb - pa), left{-along.z, along.x};
  return pa + (pb - pa) * u + left * (4 * edge.sagitta * u * (1 - u));
}

// The edge's direction at junction `from`, pointing into the edge.
Point EdgeDirection(const Layout& layout, const EdgeCurve& edge, int from) {
  return Unit(EdgePoint(layout, edge, from, 0.5) - layout.nodes[from]);
}

// The bend at junction `node` between the edges to `from` and `to`: a run
// that eases off each edge's arc onto its tangent, then a circular bend of
// kBendRadius, travelled from `in` toward `out`.
std::vector<Point> JunctionCurve(const Layout& layout, const EdgeCurve& in, const EdgeCurve& out, int node) {
  const Point n = layout.nodes[node];
  const Point din = EdgeDirection(layout, in, node) * -1.0, dout = EdgeDirection(layout, out, node);
  const double turn = std::atan2(Cross(din, dout), Dot(din, dout));
  const double tangent = kBendRadius * std::tan(std::fabs(turn) / 2);
  std::vector<Point> line;
  for (double s = tangent + kEaseLength; s > tangent; s -= 1.0) {
    const Point arc = EdgePoint(layout, in, node, s), straight = n - din * s;
    line.push_back(arc + (straight - arc) * SmoothStep(tangent + kEaseLength, tangent, s));
  }
  const Point a = n - din * tangent;
  line.push_back(a);
  const double side = turn > 0 ? 1.0 : -1.0;  // turning toward the left of the travel
  const Point centre = a + Point{-din.z * side, din.x * side} * kBendRadius;
  const double start = std::atan2(a.z - centre.z, a.x - centre.x);
  const int steps = int(std::fabs(turn) * kBendRadius);
  for (int k = 1; k <= steps; ++k) {
    const double angle = start + turn * k / steps;
    line.push_back({centre.x + kBendRadius * std::cos(angle), centre.z + kBendRadius * std::sin(angle)});
  }
  if (steps == 0) line.push_back(n + dout * tangent);
  for (double s = tangent + 1.0; s <= tangent + kEaseLength; s += 1.0) {
    const Point arc = EdgePoint(layout, out, node, s), straight = n + dout * s;
    line.push_back(arc + (straight - arc) * SmoothStep(tangent + kEaseLength, tangent, s));
  }
  return line;
}

// Where the junction curve at `node` hands over to the edge's own arc.
double HandOver(const Layout& layout, const EdgeCurve& in, const EdgeCurve& out, int node) {
  const Point din = EdgeDirection(layout, in, node) * -1.0, dout = EdgeDirection(layout, out, node);
  const double turn = std::atan2(Cross(din, dout), Dot(din, dout));
  return kBendRadius * std::tan(std::fabs(turn) / 2) + kEaseLength;
}

// Dense straight runs between the points of a polyline, so the arc-length
// resampling below sees straights as finely as bends.
std::vector<double> RunLengths(const std::vector<Point>& line) {
  std::vector<double> along(line.size(), 0.0);
  for (size_t i = 1; i < line.size(); ++i) along[i] = along[i - 1] + Length(line[i] - line[i - 1]);
  return along;
}

Point PointAlong(const std::vector<Point>& line, const std::vector<double>& along, double s, size_t* segment) {
  while (*segment + 2 < line.size() && along[*segment + 1] < s) ++*segment;
  const size_t i = *segment;
  const double span = std::max(1e-9, along[i + 1] - along[i]);
  const double t = std::clamp((s - along[i]) / span, 0.0, 1.0);
  return line[i] + (line[i + 1] - line[i]) * t;
}

// The faces of the 30 loops: shapes of one to four lattice faces, placed
// over the lattice and picked in a fixed order.
std::vector<std::vector<std::pair<int, int>>> LoopFaces() {
  const std::vector<std::vector<std::pair<int, int>>> shapes = {
      {{0, 0}},                                   // one face
      {{0, 0}, {1, 0}}, {{0, 0}, {0, 1}},         // two
      {{0, 0}, {1, 0}, {2, 0}}, {{0, 0}, {0, 1}, {0, 2}},
      {{0, 0}, {1, 0}, {0, 1}}, {{0, 0}, {1, 0}, {1, 1}}, {{1, 0}, {0, 1}, {1, 1}}, {{0, 0}, {0, 1}, {1, 1}},
      {{0, 0}, {1, 0}, {0, 1}, {1, 1}},           // four
      {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}},
      {{0, 0}, {1, 0}, {2, 0}, {2, 1}}, {{0, 0}, {0, 1}, {1, 1}, {2, 1}},
      {{0, 0}, {1, 0}, {2, 0}, {1, 1}}, {{0, 1}, {1, 1}, {2, 1}, {1, 0}},
      {{0, 0}, {1, 0}, {1, 1}, {2, 1}}, {{0, 1}, {1, 1}, {1, 0}, {2, 0}},
      {{0, 0}, {0, 1}, {0, 2}, {1, 2}}, {{1, 0}, {1, 1}, {1, 2}, {0, 0}},
  };
  std::vector<std::vector<std::pair<int, int>>> all;
  for (const auto& shape : shapes) {
    int w = 0, h = 0;
    for (const auto& [i, j] : shape) w = std::max(w, i + 1), h = std::max(h, j + 1);
    for (int oi = 0; oi + w <= kFacesPerSide; ++oi)
      for (int oj = 0; oj + h <= kFacesPerSide; ++oj) {
        std::vector<std::pair<int, int>> placed;
        for (const auto& [i, j] : shape) placed.emplace_back(i + oi, j + oj);
        all.push_back(placed);
      }
  }
  // A fixed shuffle spreads the races over sizes and places.
  Lcg random{20261207u};
  for (size_t i = all.size(); i > 1; --i) std::swap(all[i - 1], all[size_t(random.Next() * double(i))]);
  return all;
}

struct Loops {
  std::vector<std::vector<Point>> centrelines;  // by race − 1
};

struct Network {
  std::vector<EdgeCurve> edges;
  std::map<std::pair<int, int>, int> edgeIndex;  // (lower, higher junction) → edge
  const EdgeCurve& Between(int u, int v) const { return edges[size_t(edgeIndex.at({std::min(u, v), std::max(u, v)}))]; }
};

// A loop's centreline round a cycle of junctions, starting in the middle
// of its first edge. Appends the bends it takes (junction, neighbours).
std::vector<Point> LoopCentreline(const Layout& layout, const Network& network, const std::vector<int>& cycle,
                                  std::vector<std::tuple<int, int, int>>* bends) {
  const size_t n = cycle.size();
  auto node = [&](size_t k) { return cycle[k % n]; };
  auto handOver = [&](size_t k) {  // at junction k of the cycle
    return HandOver(layout, network.Between(node(k + n - 1), node(k)), network.Between(node(k), node(k + 1)), node(k));
  };
  auto chord = [&](size_t k) { return Length(layout.nodes[node(k + 1)] - layout.nodes[node(k)]); };
  std::vector<Point> line;
  auto edgeRun = [&](size_t k, double from, double to) {
    const EdgeCurve& edge = network.Between(node(k), node(k + 1));
    for (double s = from; s < to; s += 1.0) line.push_back(EdgePoint(layout, edge, node(k), s));
  };
  edgeRun(0, chord(0) / 2, chord(0) - handOver(1));
  for (size_t k = 1; k <= n; ++k) {
    const EdgeCurve& in = network.Between(node(k - 1), node(k));
    const EdgeCurve& out = network.Between(node(k), node(k + 1));
    const std::vector<Point> bend = JunctionCurve(layout, in, out, node(k));
    line.insert(line.end(), bend.begin(), bend.end());
    bends->emplace_back(node(k), std::min(node(k - 1), node(k + 1)), std::max(node(k - 1), node(k + 1)));
    if (k < n) edgeRun(k, handOver(k), chord(k) - handOver(k + 1));
  }
  edgeRun(0, handOver(0), chord(0) / 2);
  line.push_back(line.front());
  return line;
}

void BuildLayout(Layout& layout, Loops& loops) {
  Lcg random{4242u};
  for (int i = 0; i < kNodesPerSide; ++i)
    for (int j = 0; j < kNodesPerSide; ++j) {
      const double x = -kNodeSpan + 2 * kNodeSpan * i / kFacesPerSide + kNodeJitter * (2 * random.Next() - 1);
      const double z = -kNodeSpan + 2 * kNodeSpan * j / kFacesPerSide + kNodeJitter * (2 * random.Next() - 1);
      layout.nodes[NodeIndex(i, j)] = {x, z};
    }
  // Edges, each bowed a little to one side, and a plateau in the middle of each.
  Network network;
  for (int i = 0; i < kNodesPerSide; ++i)
    for (int j = 0; j < kNodesPerSide; ++j)
      for (const auto& [ni, nj] : {std::pair{i + 1, j}, std::pair{i, j + 1}}) {
        if (ni >= kNodesPerSide || nj >= kNodesPerSide) continue;
        EdgeCurve edge;
        edge.a = NodeIndex(i, j);
        edge.b = NodeIndex(ni, nj);
        edge.sagitta = kMaxSagitta * (0.5 + 0.5 * random.Next()) * (random.Next() < 0.5 ? -1 : 1);
        network.edgeIndex[{edge.a, edge.b}] = int(network.edges.size());
        network.edges.push_back(edge);
        const double length = Length(layout.nodes[edge.b] - layout.nodes[edge.a]);
        layout.plateaus.push_back(EdgePoint(layout, edge, edge.a, length / 2));
      }
  // The lake lies in the middle of one face, away from every road.
  layout.lake = (layout.nodes[NodeIndex(1, 2)] + layout.nodes[NodeIndex(2, 2)] + layout.nodes[NodeIndex(2, 3)] +
                 layout.nodes[NodeIndex(1, 3)]) * 0.25;
  layout.lakeLevel = RollingLevel(layout.lake.x, layout.lake.z) - kLakeBelowLevel;

  // Loops first: their bends become road pieces too.
  std::vector<std::tuple<int, int, int>> bends;
  const auto faceSets = LoopFaces();
  for (size_t candidate = 0; loops.centrelines.size() < size_t(kTrackCount) && candidate < faceSets.size();
       ++candidate) {
    std::vector<std::tuple<int, int, int>> loopBends;
    std::vector<int> cycle = BoundaryCycle(faceSets[candidate]);
    const int race = int(loops.centrelines.size()) + 1;
    if (race % 2 == 0) std::reverse(cycle.begin(), cycle.end());
    std::rotate(cycle.begin(), cycle.begin() + (race * 7) % int(cycle.size()), cycle.end());
    std::vector<Point> line = LoopCentreline(layout, network, cycle, &loopBends);
    const int last = int(std::lround(RunLengths(line).back() / kPathSpacing)) - 1;
    if (last < 200 || last > 1150) continue;
    loops.centrelines.push_back(line);
    bends.insert(bends.end(), loopBends.begin(), loopBends.end());
  }

  // Road pieces: every edge, then every bend a race takes, once each.
  auto addPiece = [&](const std::vector<Point>& line, float lift) {
    std::vector<float> xs, zs;
    for (const Point& p : line) xs.push_back(float(p.x)), zs.push_back(float(p.z));
    layout.pieceX.push_back(xs);
    layout.pieceZ.push_back(zs);
    layout.pieceLift.push_back(lift);
  };
  for (const EdgeCurve& edge : network.edges) {
    const Point a = layout.nodes[edge.a], b = layout.nodes[edge.b];
    const double length = Length(b - a);
    const int steps = int(std::ceil(length / 8.0));
    std::vector<Point> line;
    for (int k = 0; k <= steps; ++k) line.push_back(EdgePoint(layout, edge, edge.a, length * k / steps));
    const bool alongX = std::fabs(a.x - b.x) > std::fabs(a.z - b.z);
    addPiece(line, alongX ? kRoadSurfaceLift : kRoadSurfaceLift + 0.01f);
  }
  std::sort(bends.begin(), bends.end());
  bends.erase(std::unique(bends.begin(), bends.end()), bends.end());
  for (const auto& [node, p, q] : bends)
    addPiece(JunctionCurve(layout, network.Between(p, node), network.Between(node, q), node), kRoadSurfaceLift + 0.02f);

  // The lookup cells: each segment in every cell within reach of a query
  // that the ground's shape cares about.
  const double reach = kHillsFrom + kBucket;
  for (size_t piece = 0; piece < layout.pieceX.size(); ++piece) {
    const auto& px = layout.pieceX[piece];
    const auto& pz = layout.pieceZ[piece];
    for (size_t k = 0; k + 1 < px.size(); ++k) {
      const double x0 = std::min(px[k], px[k + 1]) - reach, x1 = std::max(px[k], px[k + 1]) + reach;
      const double z0 = std::min(pz[k], pz[k + 1]) - reach, z1 = std::max(pz[k], pz[k + 1]) + reach;
      const int i0 = std::max(0, int((x0 + kWorldHalfSize) / kBucket));
      const int i1 = std::min(kBuckets - 1, int((x1 + kWorldHalfSize) / kBucket));
      const int j0 = std::max(0, int((z0 + kWorldHalfSize) / kBucket));
      const int j1 = std::min(kBuckets - 1, int((z1 + kWorldHalfSize) / kBucket));
      for (int i = i0; i <= i1; ++i)
        for (int j = j0; j <= j1; ++j) layout.buckets[i * kBuckets + j].emplace_back(int(piece), int(k));
    }
  }

  layout.grid.resize(size_t(kGroundCells + 1) * (kGroundCells + 1));
  for (int j = 0; j <= kGroundCells; ++j)
    for (int i = 0; i <= kGroundCells; ++i)
      layout.grid[size_t(j) * (kGroundCells + 1) + i] =
          float(NaturalHeight(layout, -kWorldHalfSize + i * kGroundCell, -kWorldHalfSize + j * kGroundCell));
}

struct World {
  Layout layout;
  Loops loops;
};

const World& TheWorld() {
  static World* world = nullptr;
  static std::once_flag once;
  std::call_once(once, [] {
    world = new World;
    BuildLayout(world->layout, world->loops);
  });
  return *world;
}

}  // namespace

float GroundHeight(float x, float z) {
  const Layout& layout = TheWorld().layout;
  const float u = std::clamp((x + kWorldHalfSize) / kGroundCell, 0.0f, float(kGroundCells) - 1e-3f);
  const float v = std::clamp((z + kWorldHalfSize) / kGroundCell, 0.0f, float(kGroundCells) - 1e-3f);
  const int i = int(u), j = int(v);
  const float fu = u - i, fv = v - j;
  auto h = [&](int a, int b) { return layout.grid[size_t(j + b) * (kGroundCells + 1) + (i + a)]; };
  // Each cell is split along its (i + 1, j)–(i, j + 1) diagonal, as the
  // ground mesh is.
  if (fu + fv <= 1.0f) return h(0, 0) + fu * (h(1, 0) - h(0, 0)) + fv * (h(0, 1) - h(0, 0));
  return h(1, 1) + (1 - fu) * (h(0, 1) - h(1, 1)) + (1 - fv) * (h(1, 0) - h(1, 1));
}

float GroundGridHeight(int i, int j) {
  i = std::clamp(i, 0, kGroundCells);
  j = std::clamp(j, 0, kGroundCells);
  return TheWorld().layout.grid[size_t(j) * (kGroundCells + 1) + size_t(i)];
}

float LandscapeNoise(float u, float v, uint32_t seed) { return float(ValueNoise(u, v, seed)); }

float DistanceToRoad(float x, float z) { return float(RoadDistance(TheWorld().layout, x, z)); }

float LakeLevel() { return float(TheWorld().layout.lakeLevel); }

bool IsUnderWater(float x, float z) {
  const Layout& layout = TheWorld().layout;
  if (std::hypot(x - layout.lake.x, z - layout.lake.z) > kLakeRadius) return false;
  return GroundHeight(x, z) < LakeLevel();
}

void LakeCircle(float* x, float* z, float* radius) {
  const Layout& layout = TheWorld().layout;
  *x = float(layout.lake.x);
  *z = float(layout.lake.z);
  *radius = float(kLakeRadius);
}

int RoadPieceCount() { return int(TheWorld().layout.pieceX.size()); }

RoadPiece GetRoadPiece(int index) {
  const Layout& layout = TheWorld().layout;
  RoadPiece piece;
  if (index < 0 || index >= RoadPieceCount()) return piece;
  piece.pointCount = int(layout.pieceX[size_t(index)].size());
  piece.x = layout.pieceX[size_t(index)].data();
  piece.z = layout.pieceZ[size_t(index)].data();
  piece.lift = layout.pieceLift[size_t(index)];
  return piece;
}

int32_t MakeWorldRacePath(int race, Waypoint* points) {
  const World& world = TheWorld();
  if (race < 1 || race > int(world.loops.centrelines.size())) return -1;
  const std::vector<Point>& line = world.loops.centrelines[size_t(race - 1)];
  const std::vector<double> along = RunLengths(line);
  const int count = std::clamp(int(std::lround(along.back() / kPathSpacing)), 101, kRacePathCapacity);
  size_t segment = 0;
  for (int k = 0; k < count; ++k) {
    const Point p = PointAlong(line, along, along.back() * k / count, &segment);
    Waypoint& w = points[k];
    w.position.x = float(p.x);
    w.position.z = float(p.z);
    w.position.y = GroundHeight(w.position.x, w.position.z) + kRoadSurfaceLift + kPathHeightAboveRoad;
    w.position.w = 0.0f;
    w.type = kWaypointPlain;
  }
  MarkCheckpoints(points, count - 1);
  return count - 1;
}
