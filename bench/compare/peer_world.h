// The comparison benchmark's view of a physics engine: what a scene needs
// to build itself, step and read back, the same for our engine and for the
// two established peers. One implementation per engine; the scenes, the
// truck's wheel code and the measurements are shared (scenes.cpp).
#pragma once

#include "math/ne_math.h"

#include <memory>
#include <vector>

namespace compare {

// A triangle mesh in world coordinates, wound counter-clockwise from above.
struct Mesh {
    std::vector<neV3> vertices;
    std::vector<s32> indices;  // three per triangle

    // The vertices' x, y and z one after another, as the peers take them.
    std::vector<f32> Coordinates() const {
        std::vector<f32> xyz;
        for (const neV3& v : vertices) xyz.insert(xyz.end(), {v.x, v.y, v.z});
        return xyz;
    }
};

// Friction and restitution of every contact, in every engine.
constexpr f32 kFriction = 0.6f;
constexpr f32 kRestitution = 0.1f;

enum class Shape { Box, Capsule };

struct PeerBody {
    Shape shape = Shape::Box;
    neV3 size = neMakeV3(1, 1, 1);  // box: full size; capsule: x radius, y length of the axis segment (along body y)
    f32 mass = 1.0f;
    neV3 inertia = neMakeV3(1, 1, 1);  // body-space diagonal
    neV3 pos = neMakeV3(0, 0, 0);
    neM3 rot = [] {
        neM3 m;
        m.SetIdentity();
        return m;
    }();
    neV3 velocity = neMakeV3(0, 0, 0);
    neV3 angularVelocity = neMakeV3(0, 0, 0);
    f32 geometryOffsetY = 0.0f;  // the shape sits this far up the body's y axis
};

struct Pose {
    neV3 pos;
    neM3 rot;  // columns: the body's x, y and z axes in the world
};

// One wheel line's detection: how far the line reaches beyond the ground.
struct WheelHit {
    f32 depth = 0.0f;  // 0: no ground within the line
    neV3 normal = neMakeV3(0, 1, 0);
    neV3 point = neMakeV3(0, 0, 0);
};

constexpr int kWheels = 4;

// The wheel code of a sensor-borne truck, shared by every engine: it reads
// the four line detections and gives the force and torque for the next step.
struct Truck {
    f32 drive = 0.0f;  // forward force, N
    f32 scale = 1.0f;  // every wheel force times this: a heavier truck on the same ride
    virtual ~Truck() = default;
    void Forces(const Pose& pose, const neV3& velocity, const neV3& angularVelocity, const WheelHit hits[kWheels],
                neV3& force, neV3& torque) const;
};

// Start and vector of each wheel line, in the truck body's frame.
void WheelLine(int wheel, neV3& start, neV3& vector);

class PhysicsWorld {
public:
    virtual ~PhysicsWorld() = default;
    virtual const char* Name() const = 0;
    virtual void SetTerrain(const Mesh& mesh) = 0;
    virtual int AddBody(const PeerBody& wanted) = 0;
    // The body becomes a truck: four wheel lines driven by `truck`.
    virtual void MakeTruck(int body, Truck* truck) = 0;
    virtual void Step(f32 dt) = 0;
    virtual Pose GetPose(int body) const = 0;
    virtual neV3 GetVelocity(int body) const = 0;
    virtual bool IsAsleep(int body) const = 0;
    // False when the engine reported a pool overflow or another fault.
    virtual bool Healthy() const { return true; }
};

enum class Engine { Ours, Bullet, Ode };
constexpr Engine kEngines[] = {Engine::Ours, Engine::Bullet, Engine::Ode};
constexpr int kEngineCount = 3;
const char* EngineName(Engine e);

// Our simulator's pools: sized for `bodies`, or as the game sizes them.
struct OurSizes {
    int bodies = 0;
    bool game = false;
};

// A new empty world; null when the engine is not built into this benchmark.
std::unique_ptr<PhysicsWorld> MakeWorld(Engine e, const neV3& gravity, const OurSizes& sizes);
std::unique_ptr<PhysicsWorld> MakeOurs(const neV3& gravity, const OurSizes& sizes);
std::unique_ptr<PhysicsWorld> MakeBullet(const neV3& gravity);
std::unique_ptr<PhysicsWorld> MakeOde(const neV3& gravity);

}  // namespace compare
