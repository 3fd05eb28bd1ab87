// The comparison's scenes. Every engine gets the same bodies, masses,
// inertia, friction and restitution, the same terrain triangles and the same
// truck wheel code; set-up and settling run outside the timed region.
#include "scenes.h"

#include "world/physics_constants.h"
#include "world/prop_parts.h"

#include <malloc.h>

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <span>

namespace compare {
namespace {

const neV3 kGravity = kGameGravity;
constexpr f32 kGameStep = kPhysicsSubStep;
constexpr f32 kFrameStep = 1.0f / 60.0f;        // a plain 60 Hz step, s
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- truck ----------------------------------------------------------------

// The game's truck: box, mass and wheel lines.
constexpr f32 kTruckMass = 100.0f;
const neV3 kTruckBox = neMakeV3(6.5f, 2.2f, 3.2f);
constexpr f32 kTruckBoxRaise = 0.6f;
constexpr f32 kFrontAxle = 2.0f, kRearAxle = 2.0f;
constexpr f32 kSpringFront = 2000.0f, kSpringRear = 2200.0f;  // N/m
constexpr f32 kDamper = 225.0f;                               // N·s/m
constexpr f32 kSpringFree = 0.25f;  // line depth without spring force, m
constexpr f32 kDrive = 300.0f;      // N

neM3 Identity() {
    neM3 m;
    m.SetIdentity();
    return m;
}

neM3 Yaw(f32 a) {
    neM3 m;
    m.RotateXYZ(neMakeV3(0, a, 0));
    return m;
}

}  // namespace

void WheelLine(int wheel, neV3& start, neV3& vector) {
    const f32 side = wheel % 2 == 0 ? 1.0f : -1.0f;
    start = neMakeV3(wheel < 2 ? kFrontAxle : -kRearAxle, -0.35f, 1.4f * side);
    vector = neMakeV3(0, -1, 0.15f * side);
}

void Truck::Forces(const Pose& pose, const neV3& velocity, const neV3& angularVelocity, const WheelHit hits[kWheels],
                   neV3& force, neV3& torque) const {
    force = torque = neMakeV3(0, 0, 0);
    const neV3 heading = pose.rot.M[0];
    for (int w = 0; w < kWheels; ++w) {
        const WheelHit& h = hits[w];
        if (!(h.depth > 0.0f)) continue;
        neV3 start, vector;
        WheelLine(w, start, vector);
        neV3 line = pose.rot * vector;
        line.Normalize();
        const neV3 r = pose.rot * start;
        const neV3 n = h.normal;
        const f32 spring = (w < 2 ? kSpringFront : kSpringRear) * std::fmax(h.depth - kSpringFree, 0.0f);
        const neV3 v = velocity + angularVelocity.Cross(r);
        const neV3 suspension = n * (spring * -line.Dot(n)) - n * (kDamper * v.Dot(n));
        neV3 lateral = v - n * v.Dot(n);
        lateral = lateral - heading * lateral.Dot(heading);
        const f32 slip = lateral.Length();
        neV3 grip = neMakeV3(0, 0, 0);
        if (slip > 0.0f)
            grip = lateral * ((slip < 1.0f ? -180.0f * std::sqrt(slip) : (w < 2 ? -225.0f : -180.0f)) / slip);
        neV3 along = heading - n * heading.Dot(n);
        along.Normalize();
        const neV3 push = along * (drive * (w < 2 ? 0.3f : 0.7f));
        const neV3 arm = h.point - pose.pos;
        force += suspension + grip + push;
        torque += r.Cross(suspension) + arm.Cross(grip + push);
    }
    const f32 speed = velocity.Length();
    if (speed > 0.0f) {
        const neV3 unit = velocity * (1.0f / speed);
        force += unit * (speed < 1.0f ? -200.0f * speed * speed : -0.12f * speed);
    }
    force = force * scale;
    torque = torque * scale;
}

namespace {

// ---- terrain ----------------------------------------------------------------

// A height field of square cells, two triangles each, centred on the origin.
struct Ground {
    int cells;
    f32 cell;
    std::vector<f32> heights;  // (cells + 1)² corner heights, row by row in z

    Ground(int n, f32 size, const std::function<f32(f32, f32)>& height) : cells(n), cell(size) {
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) heights.push_back(height(X(i), X(j)));
    }
    f32 X(int i) const { return (static_cast<f32>(i) - static_cast<f32>(cells) * 0.5f) * cell; }
    f32 At(int i, int j) const { return heights[static_cast<size_t>(j * (cells + 1) + i)]; }

    Mesh ToMesh() const {
        Mesh m;
        for (int j = 0; j <= cells; ++j)
            for (int i = 0; i <= cells; ++i) m.vertices.push_back(neMakeV3(X(i), At(i, j), X(j)));
        auto index = [this](int i, int j) { return j * (cells + 1) + i; };
        for (int j = 0; j < cells; ++j)
            for (int i = 0; i < cells; ++i) {
                for (int k : {index(i, j), index(i, j + 1), index(i + 1, j)}) m.indices.push_back(k);
                for (int k : {index(i + 1, j), index(i, j + 1), index(i + 1, j + 1)}) m.indices.push_back(k);
            }
        return m;
    }

    // The mesh's own surface height under (x, z).
    f32 Height(f32 x, f32 z) const {
        const f32 u = x / cell + static_cast<f32>(cells) * 0.5f, w = z / cell + static_cast<f32>(cells) * 0.5f;
        int i = static_cast<int>(std::floor(u)), j = static_cast<int>(std::floor(w));
        if (i < 0 || j < 0 || i >= cells || j >= cells) return -1.0e9f;
        const f32 fu = u - static_cast<f32>(i), fw = w - static_cast<f32>(j);
        if (fu + fw <= 1.0f) return At(i, j) + (At(i + 1, j) - At(i, j)) * fu + (At(i, j + 1) - At(i, j)) * fw;
        return At(i + 1, j + 1) + (At(i, j + 1) - At(i + 1, j + 1)) * (1.0f - fu) +
               (At(i + 1, j) - At(i + 1, j + 1)) * (1.0f - fw);
    }
};

// Rolling country like the game's landscape: 256 × 256 cells of 2 m.
const Ground& GameGround() {
    static const Ground ground(256, 2.0f, [](f32 x, f32 z) {
        return 2.0f * std::sin(x * 0.031f) * std::cos(z * 0.027f) + 0.4f * std::sin(x * 0.11f + z * 0.07f);
    });
    return ground;
}

const Ground& FlatGround() {
    static const Ground ground(32, 2.0f, [](f32, f32) { return 0.0f; });
    return ground;
}

// Flat ground of fine 1 m cells: where thin bodies landing flat meet many
// triangles reaching past their edges.
const Ground& FineFlatGround() {
    static const Ground ground(64, 1.0f, [](f32, f32) { return 0.0f; });
    return ground;
}

// A bowl 64 m across, of 1 m cells whose corners stand up to 0.6 m apart:
// rough ground, where a body resting in a hollow has the steep triangles
// around it reaching above its centre.
const Ground& Bowl() {
    static const Ground ground(64, 1.0f, [](f32 x, f32 z) {
        const u32 bump = static_cast<u32>(std::lround(x) * 73856093) ^ static_cast<u32>(std::lround(z) * 19349663);
        return 0.01f * (x * x + z * z) + 0.6f * static_cast<f32>(bump % 1000u) / 1000.0f;
    });
    return ground;
}

// ---- bodies -----------------------------------------------------------------

neV3 TextbookBoxInertia(const neV3& size, f32 mass) {
    const f32 k = mass / 12.0f;
    return neMakeV3(k * (size.y * size.y + size.z * size.z), k * (size.x * size.x + size.z * size.z),
                    k * (size.x * size.x + size.y * size.y));
}

PeerBody BoxBody(const neV3& size, f32 mass, const neV3& pos, const neM3& rot, bool textbook) {
    PeerBody s;
    s.size = size;
    s.mass = mass;
    s.inertia = textbook ? TextbookBoxInertia(size, mass) : neBoxInertiaTensor(size, mass);
    s.pos = pos;
    s.rot = rot;
    return s;
}

PeerBody CapsuleBody(f32 radius, f32 length, f32 mass, const neV3& pos, const neM3& rot) {
    PeerBody s;
    s.shape = Shape::Capsule;
    s.size = neMakeV3(radius, length, radius);
    s.mass = mass;
    s.inertia = neCylinderInertiaTensor(radius * 2.0f, length + radius * 2.0f, mass);
    s.pos = pos;
    s.rot = rot;
    return s;
}

// A truck with its wheel code, standing on the ground at (x, z) facing +x
// turned by `yaw`.
int AddTruck(PhysicsWorld& world, Truck& truck, const Ground& ground, f32 x, f32 z, f32 yaw,
             const neV3& velocity = neMakeV3(0, 0, 0)) {
    PeerBody s;
    s.size = kTruckBox;
    s.mass = kTruckMass * truck.scale;
    s.inertia = neBoxInertiaTensor(neMakeV3(0.75f * 6.5f, 0.75f * 1.5f, 0.75f * 2.9f), s.mass);
    s.geometryOffsetY = kTruckBoxRaise;
    s.pos = neMakeV3(x, ground.Height(x, z) + 1.1f, z);
    s.rot = Yaw(yaw);
    s.velocity = velocity;
    const int body = world.AddBody(s);
    world.MakeTruck(body, &truck);
    return body;
}

bool Upright(const Pose& p) { return p.rot.M[1].y > 0.5f; }

// ---- running ------------------------------------------------------------------

double ThreadMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

// A timed phase that runs alike all through (bodies falling, trucks
// driving), or one that settles as it runs (towers coming to rest).
enum class Phase { Steady, Settling };

struct Runner {
    int stepLimit;
    int Steps(int wanted) const { return stepLimit > 0 && stepLimit < wanted ? stepLimit : wanted; }
    // Milliseconds per step over `steps` steps, after one untimed step in
    // which every engine takes in the bodies just added. The time is the
    // thread's own processor time: on a machine shared with other work,
    // the moments another process holds the core are not counted.
    double Timed(PhysicsWorld& w, int steps, f32 dt) const {
        w.Step(dt);
        steps = Steps(steps);
        if (steps <= 0) return kNaN;
        const double start = ThreadMilliseconds();
        for (int i = 0; i < steps; ++i) w.Step(dt);
        return (ThreadMilliseconds() - start) / steps;
    }
    void Run(PhysicsWorld& w, int steps, f32 dt) const {
        steps = Steps(steps);
        for (int i = 0; i < steps; ++i) w.Step(dt);
    }
    // Milliseconds per step of every world over `steps` steps (after one
    // untimed step each), the worlds stepped in turns: `rounds` rounds, in
    // each of which every world runs its next block of steps, one world after
    // another, so that a load coming and going on a shared machine falls on
    // every engine alike. A steady phase gives each engine's median block; a
    // phase that settles as it runs (towers coming to rest) the mean over all
    // its steps.
    std::vector<double> InTurns(const std::vector<PhysicsWorld*>& worlds, int steps, f32 dt, int rounds,
                                Phase phase) const {
        for (PhysicsWorld* w : worlds) w->Step(dt);
        steps = Steps(steps);
        if (steps <= 0) return std::vector<double>(worlds.size(), kNaN);
        rounds = std::min(rounds, steps);
        std::vector<std::vector<double>> blocks(worlds.size());
        std::vector<double> total(worlds.size(), 0.0);
        for (int r = 0; r < rounds; ++r) {
            const int block = steps * (r + 1) / rounds - steps * r / rounds;
            for (size_t k = 0; k < worlds.size(); ++k) {
                const double start = ThreadMilliseconds();
                for (int i = 0; i < block; ++i) worlds[k]->Step(dt);
                const double ms = ThreadMilliseconds() - start;
                blocks[k].push_back(ms / block);
                total[k] += ms;
            }
        }
        std::vector<double> perStep(worlds.size());
        for (size_t k = 0; k < worlds.size(); ++k) {
            if (phase == Phase::Settling) {
                perStep[k] = total[k] / steps;
                continue;
            }
            std::vector<double>& b = blocks[k];
            std::sort(b.begin(), b.end());
            const size_t middle = b.size() / 2;
            perStep[k] = b.size() % 2 == 1 ? b[middle] : 0.5 * (b[middle - 1] + b[middle]);
        }
        return perStep;
    }
};

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

constexpr double kMiB = 1024.0 * 1024.0;

// The rows being filled, one value per engine.
class Table {
public:
    void Set(const std::string& name, Unit unit, Engine e, double v) {
        for (Row& r : rows_)
            if (r.name == name) {
                r.value[static_cast<int>(e)] = v;
                return;
            }
        Row r{name, unit, {kNaN, kNaN, kNaN}};
        r.value[static_cast<int>(e)] = v;
        rows_.push_back(r);
    }
    std::vector<Row> Take() { return std::move(rows_); }

private:
    std::vector<Row> rows_;
};

struct Context {
    Runner run;
    Table& table;
    bool healthy = true;

    std::unique_ptr<PhysicsWorld> World(Engine e, int bodies, bool gameSizes = false) const {
        return MakeWorld(e, kGravity, OurSizes{bodies, gameSizes});
    }
    void Check(const PhysicsWorld& w) {
        if (!w.Healthy()) healthy = false;
    }
};

// One world per engine of a scene whose timed phase runs in turns.
struct Worlds {
    std::vector<Engine> engines;
    std::vector<std::unique_ptr<PhysicsWorld>> owned;

    Worlds(const Context& c, const std::vector<Engine>& wanted, int bodies) {
        for (Engine e : wanted)
            if (auto w = c.World(e, bodies)) {
                engines.push_back(e);
                owned.push_back(std::move(w));
            }
    }
    size_t Count() const { return owned.size(); }
    PhysicsWorld& operator[](size_t k) { return *owned[k]; }
    std::vector<PhysicsWorld*> All() const {
        std::vector<PhysicsWorld*> all;
        for (const auto& w : owned) all.push_back(w.get());
        return all;
    }
};

// ---- A: free bodies -------------------------------------------------------------

void SceneFreeBodies(Context& c, const std::vector<Engine>& engines) {
    constexpr int kSide = 10;
    Worlds worlds(c, engines, kSide * kSide * kSide);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        std::mt19937 rng(1);
        std::uniform_real_distribution<f32> spin(-2.0f, 2.0f);
        for (int i = 0; i < kSide * kSide * kSide; ++i) {
            PeerBody s = BoxBody(neMakeV3(1, 1, 1), 1.0f,
                                 neMakeV3(2.5f * (i % kSide), 100.0f + 2.5f * (i / kSide % kSide), 2.5f * (i / 100)),
                                 Identity(), true);
            s.angularVelocity = neMakeV3(spin(rng), spin(rng), spin(rng));
            worlds[k].AddBody(s);
        }
    }
    const std::vector<double> ms = c.run.InTurns(worlds.All(), 300, kFrameStep, 6, Phase::Steady);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        c.table.Set("A: 1000 free bodies, 1/60 s", Unit::Milliseconds, worlds.engines[k], ms[k]);
        c.Check(worlds[k]);
    }
}

// ---- B: sensor-borne trucks -----------------------------------------------------

// Timed over 1000 steps in 10 rounds of turns.
void SceneTrucks(Context& c, const std::vector<Engine>& engines, int count) {
    const Ground& ground = GameGround();
    Worlds worlds(c, engines, count);
    std::vector<std::vector<Truck>> trucks(worlds.Count(), std::vector<Truck>(static_cast<size_t>(count)));
    for (size_t k = 0; k < worlds.Count(); ++k) {
        PhysicsWorld& w = worlds[k];
        w.SetTerrain(ground.ToMesh());
        for (int i = 0; i < count; ++i)
            AddTruck(w, trucks[k][static_cast<size_t>(i)], ground, -100.0f, -120.0f + 15.0f * i, 0);
        c.run.Run(w, 200, kGameStep);
        for (Truck& t : trucks[k]) t.drive = kDrive;
    }
    const std::string name = "B: " + std::to_string(count) + (count == 1 ? " truck" : " trucks");
    const std::vector<double> ms = c.run.InTurns(worlds.All(), 1000, kGameStep, 10, Phase::Steady);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        const Engine e = worlds.engines[k];
        c.table.Set(name + ", game step", Unit::Milliseconds, e, ms[k]);
        int upright = 0;
        for (int i = 0; i < count; ++i) upright += Upright(worlds[k].GetPose(i)) ? 1 : 0;
        c.table.Set(name + ": upright", Unit::Count, e, upright);
        c.Check(worlds[k]);
    }
}

// One truck parked on flat ground: its ride height (checked equal before
// the trucks are timed) and how far it creeps in 60 s.
void SceneParkedTruck(Context& c, Engine e) {
    const Ground& ground = FlatGround();
    auto w = c.World(e, 1);
    if (!w) return;
    w->SetTerrain(ground.ToMesh());
    Truck truck;
    AddTruck(*w, truck, ground, 0, 0, 0.3f);
    c.run.Run(*w, 400, kGameStep);
    const Pose settled = w->GetPose(0);
    c.table.Set("Truck: ride height", Unit::Metres, e, settled.pos.y);
    c.run.Run(*w, static_cast<int>(60.0f / kGameStep), kGameStep);
    const neV3 moved = w->GetPose(0).pos - settled.pos;
    c.table.Set("Truck: drift in 60 s", Unit::Metres, e, moved.Length());
    c.Check(*w);
}

// ---- C: towers and a pyramid ------------------------------------------------------

constexpr int kTowers = 10, kTowerHeight = 10;

// Ten towers of ten unit boxes, each box turned and shifted by up to 2 mm:
// timed at the game's sub-step; at 1/60 s only the towers standing count.
void SceneTowers(Context& c, const std::vector<Engine>& engines, bool textbook, f32 dt) {
    const Ground& ground = FlatGround();
    Worlds worlds(c, engines, kTowers * kTowerHeight);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        worlds[k].SetTerrain(ground.ToMesh());
        std::mt19937 rng(7);
        std::uniform_real_distribution<f32> jitter(-0.002f, 0.002f);
        for (int t = 0; t < kTowers; ++t)
            for (int h = 0; h < kTowerHeight; ++h)
                worlds[k].AddBody(BoxBody(neMakeV3(1, 1, 1), 1.0f,
                                          neMakeV3(-22.5f + 5.0f * t + jitter(rng), 0.5f + h * 1.0f, jitter(rng)),
                                          Yaw(jitter(rng)), textbook));
    }
    const std::string name = textbook ? "C: towers, textbook inertia" : "C: towers, engine's inertia";
    const std::string step = dt == kGameStep ? "game step" : "1/60 s";
    const std::vector<double> ms = c.run.InTurns(worlds.All(), static_cast<int>(20.0f / dt), dt, 10, Phase::Settling);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        const Engine e = worlds.engines[k];
        if (dt == kGameStep) c.table.Set(name + ", game step", Unit::Milliseconds, e, ms[k]);
        // Standing: the top box still at its height and over the tower's base.
        int standing = 0;
        f32 drift = 0.0f;
        for (int t = 0; t < kTowers; ++t) {
            const Pose top = worlds[k].GetPose(t * kTowerHeight + kTowerHeight - 1);
            const f32 dx = top.pos.x - (-22.5f + 5.0f * t), dz = top.pos.z;
            const f32 off = std::sqrt(dx * dx + dz * dz);
            const bool up = top.pos.y > kTowerHeight - 1.0f && off < 0.5f;
            standing += up ? 1 : 0;
            if (up) drift = std::fmax(drift, off);
        }
        c.table.Set(name + ": standing after 20 s, " + step, Unit::Count, e, standing);
        c.table.Set(name + ": largest sideways creep of a standing top, " + step, Unit::Metres, e, drift);
        c.Check(worlds[k]);
    }
}

void ScenePyramid(Context& c, const std::vector<Engine>& engines) {
    constexpr int kBase = 10, kBoxes = kBase * (kBase + 1) / 2;
    const Ground& ground = FlatGround();
    Worlds worlds(c, engines, kBoxes);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        worlds[k].SetTerrain(ground.ToMesh());
        for (int row = 0; row < kBase; ++row)
            for (int i = 0; i < kBase - row; ++i)
                worlds[k].AddBody(BoxBody(neMakeV3(1, 1, 1), 1.0f,
                                          neMakeV3(-0.5f * (kBase - row - 1) + 1.0f * i * 1.02f, 0.5f + row, 0),
                                          Identity(), false));
    }
    const std::vector<double> ms =
        c.run.InTurns(worlds.All(), static_cast<int>(20.0f / kGameStep), kGameStep, 10, Phase::Settling);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        const Engine e = worlds.engines[k];
        c.table.Set("C: pyramid of 55, game step", Unit::Milliseconds, e, ms[k]);
        c.table.Set("C: pyramid: top height after 20 s", Unit::Metres, e, worlds[k].GetPose(kBoxes - 1).pos.y);
        c.Check(worlds[k]);
    }
}

// A unit box at rest on flat ground: how deep it sits.
void SceneRest(Context& c, Engine e) {
    const Ground& ground = FlatGround();
    auto w = c.World(e, 1);
    if (!w) return;
    w->SetTerrain(ground.ToMesh());
    w->AddBody(BoxBody(neMakeV3(1, 1, 1), 1.0f, neMakeV3(0.3f, 0.5f, 0.2f), Identity(), false));
    c.run.Run(*w, static_cast<int>(5.0f / kGameStep), kGameStep);
    c.table.Set("Box at rest: depth", Unit::Metres, e, 0.5f - w->GetPose(0).pos.y);
    c.Check(*w);
}

// ---- D: the game's load -------------------------------------------------------------

constexpr int kProps = 1000;
constexpr int kGameTrucks = 4;

void SceneGameLoad(Context& c, Engine e) {
    const Ground& ground = GameGround();
    const size_t heapBefore = HeapInUse();
    auto w = c.World(e, 0, true);
    if (!w) return;
    w->SetTerrain(ground.ToMesh());
    std::vector<Truck> trucks(kGameTrucks);
    for (int i = 0; i < kGameTrucks; ++i)
        AddTruck(*w, trucks[static_cast<size_t>(i)], ground, -120.0f, -6.0f - 12.0f * i, 0.05f * i);
    std::mt19937 rng(3);
    std::uniform_real_distribution<f32> turn(-3.14159f, 3.14159f);
    int bodies = kGameTrucks;
    // Props along the trucks' way: 40 rows of 25, 8 m apart.
    for (int p = 0; p < kProps; ++p) {
        const f32 x = -100.0f + 8.0f * static_cast<f32>(p % 40), z = -100.0f + 8.0f * static_cast<f32>(p / 40);
        const neM3 yaw = Yaw(turn(rng));
        const int type = p % kPropTypesWithParts;
        for (const PropPart& part : std::span(kPropParts[type], static_cast<size_t>(PropPartCount(type)))) {
            const neV3 at = yaw * part.offset;
            const neV3 pos = neMakeV3(x + at.x, ground.Height(x, z) + part.offset.y + 0.3f, z + at.z);
            PeerBody s = BoxBody(part.boxSize, part.mass, pos, yaw, false);
            s.inertia = neBoxInertiaTensor(part.inertiaBox, part.mass);
            w->AddBody(s);
            ++bodies;
        }
    }
    c.run.Run(*w, 100, kGameStep);
    for (Truck& t : trucks) t.drive = kDrive;
    c.table.Set("D: game load, game step", Unit::Milliseconds, e, c.run.Timed(*w, 600, kGameStep));
    for (Truck& t : trucks) t.drive = 0.0f;
    c.run.Run(*w, 1500, kGameStep);
    int asleep = 0;
    for (int b = kGameTrucks; b < bodies; ++b) asleep += w->IsAsleep(b) ? 1 : 0;
    c.table.Set("D: game load settled, game step", Unit::Milliseconds, e, c.run.Timed(*w, 300, kGameStep));
    c.table.Set("D: props asleep when settled (of " + std::to_string(bodies - kGameTrucks) + ")", Unit::Count, e,
                asleep);
    c.table.Set("D: memory", Unit::MiB, e, static_cast<double>(HeapInUse() - heapBefore) / kMiB);
    int upright = 0, below = 0;
    for (int i = 0; i < kGameTrucks; ++i) upright += Upright(w->GetPose(i)) ? 1 : 0;
    for (int b = kGameTrucks; b < bodies; ++b) {
        const Pose p = w->GetPose(b);
        below += p.pos.y < ground.Height(p.pos.x, p.pos.z) ? 1 : 0;
    }
    c.table.Set("D: trucks upright", Unit::Count, e, upright);
    c.table.Set("D: props below the ground", Unit::Count, e, below);
    c.Check(*w);
}

// ---- E: random bodies over a bowl ------------------------------------------------------

void SceneRandomBodies(Context& c, const std::vector<Engine>& engines, f32 dt) {
    constexpr int kBodies = 200;
    const Ground& ground = Bowl();
    Worlds worlds(c, engines, kBodies);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        worlds[k].SetTerrain(ground.ToMesh());
        std::mt19937 rng(11);
        std::uniform_real_distribution<f32> unit(0.0f, 1.0f);
        auto range = [&](f32 lo, f32 hi) { return lo + (hi - lo) * unit(rng); };
        for (int i = 0; i < kBodies; ++i) {
            neM3 rot;
            rot.RotateXYZ(neMakeV3(range(-3, 3), range(-3, 3), range(-3, 3)));
            const f32 x = range(-18, 18), z = range(-18, 18);
            const neV3 pos = neMakeV3(x, ground.Height(x, z) + range(1.5f, 6), z);
            PeerBody s;
            const int kind = i % 3;
            if (kind == 0) {
                s = BoxBody(neMakeV3(range(0.3f, 1.5f), range(0.3f, 1.5f), range(0.3f, 1.5f)), range(1, 20), pos, rot,
                            false);
            } else if (kind == 1) {
                s = BoxBody(neMakeV3(range(1, 2), 0.2f, range(1, 2)), range(1, 20), pos, rot, false);
            } else {
                s = CapsuleBody(range(0.15f, 0.4f), range(0.3f, 1.2f), range(1, 20), pos, rot);
            }
            s.velocity = neMakeV3(range(-3, 3), range(-3, 0), range(-3, 3));
            s.angularVelocity = neMakeV3(range(-3, 3), range(-3, 3), range(-3, 3));
            worlds[k].AddBody(s);
        }
    }
    const std::string step = dt == kGameStep ? "game step" : "1/60 s";
    const std::vector<double> ms = c.run.InTurns(worlds.All(), 1000000 / kBodies, dt, 10, Phase::Settling);
    for (size_t k = 0; k < worlds.Count(); ++k) {
        const Engine e = worlds.engines[k];
        if (dt == kGameStep)
            c.table.Set("E: 200 random bodies over a rough bowl, game step", Unit::Milliseconds, e, ms[k]);
        int below = 0;
        for (int b = 0; b < kBodies; ++b) {
            const Pose p = worlds[k].GetPose(b);
            below += p.pos.y < ground.Height(p.pos.x, p.pos.z) ? 1 : 0;
        }
        c.table.Set("E: bodies below the ground after 10^6 body-steps, " + step, Unit::Count, e, below);
        c.Check(worlds[k]);
    }
}

// ---- drops and the knock -------------------------------------------------------------

constexpr int kDrops = 6;

// Six thin slabs dropped flat from 1 m, or six capsules lying down from
// 1.5 m, onto fine flat ground; counts those that end below it.
void SceneDrops(Context& c, Engine e, bool slab, f32 dt) {
    const Ground& ground = FineFlatGround();
    auto w = c.World(e, kDrops);
    if (!w) return;
    w->SetTerrain(ground.ToMesh());
    neM3 lying;
    lying.RotateXYZ(neMakeV3(0, 0, 1.5707963f));
    for (int i = 0; i < kDrops; ++i) {
        const f32 x = -27.0f + 9.37f * i, z = 21.0f - 7.77f * i;
        const f32 floor = ground.Height(x, z);
        w->AddBody(slab ? BoxBody(neMakeV3(2, 0.2f, 2), 5.0f, neMakeV3(x, floor + 1.1f, z), Yaw(0.4f * i), false)
                        : CapsuleBody(0.15f, 0.6f, 2.0f, neMakeV3(x, floor + 1.65f, z), lying * Yaw(0.4f * i)));
    }
    c.run.Run(*w, static_cast<int>(3.0f / dt), dt);
    int below = 0;
    for (int i = 0; i < kDrops; ++i) {
        const Pose p = w->GetPose(i);
        below += p.pos.y < ground.Height(p.pos.x, p.pos.z) ? 1 : 0;
    }
    const std::string name = std::string(slab ? "Slabs" : "Capsules") + " through the ground (of 6), " +
                             (dt == kGameStep ? "game step" : "1/60 s");
    c.table.Set(name, Unit::Count, e, below);
    c.Check(*w);
}

// Four heavy trucks (1500 kg, springs and drive scaled with the mass) at
// `speed` into a 30 kg crate each, resting on the ground for 3 s first, at
// different offsets, low enough that the truck's body meets the crate's top
// half. The crate should take the momentum the truck loses: the figure is
// the truck's loss (its slowest within 0.3 s of the hit) over the crate's
// gain (its top speed), the worst of the four; about 1 is a fair knock.
void SceneKnock(Context& c, Engine e, f32 speed) {
    constexpr int kPairs = 4;
    constexpr f32 kCrateMass = 30.0f, kTruckScale = 15.0f;
    const int kAfterHit = static_cast<int>(0.3f / kGameStep);
    const Ground& ground = FlatGround();
    auto w = c.World(e, 2 * kPairs);
    if (!w) return;
    w->SetTerrain(ground.ToMesh());
    std::vector<Truck> trucks(kPairs);
    for (Truck& t : trucks) t.scale = kTruckScale;
    for (int i = 0; i < kPairs; ++i)
        w->AddBody(BoxBody(neMakeV3(1, 1, 1), kCrateMass,
                           neMakeV3(10.0f, 0.5f, -12.0f + 8.0f * i + 0.5f * (i - 1.5f)), Identity(), false));
    c.run.Run(*w, static_cast<int>(3.0f / kGameStep), kGameStep);
    for (int i = 0; i < kPairs; ++i)
        AddTruck(*w, trucks[static_cast<size_t>(i)], ground, 2.0f, -12.0f + 8.0f * i, 0, neMakeV3(speed, 0, 0));
    f32 crateTop[kPairs] = {}, truckBefore[kPairs] = {}, truckLeast[kPairs] = {};
    int hitAt[kPairs] = {-1, -1, -1, -1};
    const int steps = c.run.Steps(static_cast<int>(4.0f / kGameStep));
    for (int s = 0; s < steps; ++s) {
        f32 truckSpeed[kPairs];
        for (int i = 0; i < kPairs; ++i) truckSpeed[i] = w->GetVelocity(kPairs + i).x;
        w->Step(kGameStep);
        for (int i = 0; i < kPairs; ++i) {
            const f32 v = w->GetVelocity(i).Length();
            crateTop[i] = std::fmax(crateTop[i], v);
            if (hitAt[i] < 0 && v > 0.05f) {
                hitAt[i] = s;
                truckBefore[i] = truckLeast[i] = truckSpeed[i];
            }
            if (hitAt[i] >= 0 && s < hitAt[i] + kAfterHit)
                truckLeast[i] = std::fmin(truckLeast[i], w->GetVelocity(kPairs + i).x);
        }
    }
    f32 worst = 0.0f;
    int upright = 0;
    for (int i = 0; i < kPairs; ++i) {
        const f32 lost = (truckBefore[i] - truckLeast[i]) * kTruckMass * kTruckScale;
        const f32 gained = crateTop[i] * kCrateMass;
        worst = std::fmax(worst, gained > 0.0f ? lost / gained : std::numeric_limits<f32>::infinity());
        upright += Upright(w->GetPose(kPairs + i)) ? 1 : 0;
    }
    const std::string name = "Knock at " + std::to_string(static_cast<int>(speed)) + " m/s";
    c.table.Set(name + ": truck's loss ÷ crate's gain of momentum, worst of 4", Unit::Ratio, e, worst);
    c.table.Set(name + ": trucks upright (of 4)", Unit::Count, e, upright);
    c.Check(*w);
}

}  // namespace

const char* EngineName(Engine e) {
    switch (e) {
        case Engine::Ours: return "ours";
        case Engine::Bullet: return "Bullet";
        default: return "ODE";
    }
}

std::unique_ptr<PhysicsWorld> MakeWorld(Engine e, const neV3& gravity, const OurSizes& sizes) {
    switch (e) {
        case Engine::Ours: return MakeOurs(gravity, sizes);
#ifdef COMPARE_WITH_BULLET
        case Engine::Bullet: return MakeBullet(gravity);
#endif
#ifdef COMPARE_WITH_ODE
        case Engine::Ode: return MakeOde(gravity);
#endif
        default: return nullptr;
    }
}

std::vector<Row> RunAll(const RunOptions& options, bool& healthy) {
    Table table;
    Context c{Runner{options.stepLimit}, table};
    // Keyed by the letter of the table's rows (T the parked truck, R the box
    // at rest, S the drops, K the knock), so that one group can run alone.
    // A scene takes the engines to run: those timed in turns build a world
    // for each first; the others run one engine after another.
    using Engines = const std::vector<Engine>&;
    auto each = [](std::function<void(Engine)> scene) {
        return [scene](Engines engines) {
            for (Engine e : engines) scene(e);
        };
    };
    const std::vector<std::pair<char, std::function<void(Engines)>>> scenes = {
        {'A', [&](Engines e) { SceneFreeBodies(c, e); }},
        {'T', each([&](Engine e) { SceneParkedTruck(c, e); })},
        {'B', [&](Engines e) { SceneTrucks(c, e, 1); }},
        {'B', [&](Engines e) { SceneTrucks(c, e, 4); }},
        {'B', [&](Engines e) { SceneTrucks(c, e, 16); }},
        {'C', [&](Engines e) { SceneTowers(c, e, false, kGameStep); }},
        {'C', [&](Engines e) { SceneTowers(c, e, true, kGameStep); }},
        {'C', [&](Engines e) { SceneTowers(c, e, false, kFrameStep); }},
        {'C', [&](Engines e) { SceneTowers(c, e, true, kFrameStep); }},
        {'C', [&](Engines e) { ScenePyramid(c, e); }},
        {'R', each([&](Engine e) { SceneRest(c, e); })},
        {'D', each([&](Engine e) { SceneGameLoad(c, e); })},
        {'E', [&](Engines e) { SceneRandomBodies(c, e, kGameStep); }},
        {'E', [&](Engines e) { SceneRandomBodies(c, e, kFrameStep); }},
        {'S', each([&](Engine e) { SceneDrops(c, e, true, kFrameStep); })},
        {'S', each([&](Engine e) { SceneDrops(c, e, true, kGameStep); })},
        {'S', each([&](Engine e) { SceneDrops(c, e, false, kFrameStep); })},
        {'S', each([&](Engine e) { SceneDrops(c, e, false, kGameStep); })},
        {'K', each([&](Engine e) { SceneKnock(c, e, 3.0f); })},
        {'K', each([&](Engine e) { SceneKnock(c, e, 15.0f); })},
    };
    std::vector<Engine> engines;
    for (Engine e : kEngines)
        if (options.engines & (1 << static_cast<int>(e))) engines.push_back(e);
    for (size_t i = 0; i < scenes.size(); ++i) {
        if (!options.only.empty() && options.only.find(scenes[i].first) == std::string::npos) continue;
        scenes[i].second(engines);
        std::fprintf(stderr, "scene %zu of %zu done\n", i + 1, scenes.size());
    }
    healthy = c.healthy;
    return table.Take();
}

}  // namespace compare
