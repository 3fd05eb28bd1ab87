// Helpers shared by the engine's tests.
#pragma once

#include "physics/simulator_core.h"
#include "terrain_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// Collects the simulator's log messages.
struct LogCapture {
    static std::vector<std::string>& Messages() {
        static std::vector<std::string> messages;
        return messages;
    }
    static void Record(const char* message) { Messages().push_back(message); }
    explicit LogCapture(neSimulatorCore* sim, s32 level = 1) {
        Messages().clear();
        sim->SetLogOutputCallback(Record);
        sim->SetLogOutputLevel(level);
    }
};

// Counts the bytes it hands out and takes back; refuses the next request when
// failNext is set.
class CountingAllocator : public neAllocator {
public:
    void* Alloc(size_t size, s32) override {
        if (failNext) {
            failNext = false;
            return nullptr;
        }
        void* p = std::malloc(size);
        if (p) {
            blocks[p] = size;
            outstanding += size;
        }
        return p;
    }
    void Free(void* block) override {
        auto it = blocks.find(block);
        if (it == blocks.end()) {
            ++foreignFrees;
            return;
        }
        outstanding -= it->second;
        blocks.erase(it);
        std::free(block);
    }
    std::map<void*, size_t> blocks;
    size_t outstanding = 0;
    int foreignFrees = 0;
    bool failNext = false;
};

// A simulator with small pools, destroyed with the test.
struct SimulatorHolder {
    explicit SimulatorHolder(const neSimulatorSizes& sizes = neSimulatorSizes(), const neV3* gravity = nullptr,
                             neAllocator* allocator = nullptr)
        : sim(neSimulatorCore::CreateSimulator(sizes, allocator, gravity)) {}
    ~SimulatorHolder() { neSimulatorCore::DestroySimulator(sim); }
    neSimulatorCore* operator->() { return sim; }
    neSimulatorCore* sim;
};

// Hands the simulator flat ground at height 0: cells × cells squares of side
// `cell` (m), every triangle of the material. False when it is refused. The
// simulator keeps its own copy, so the mesh need not outlive the call.
inline bool SetFlatGround(neSimulatorCore* sim, int cells, f32 cell, s32 material = 0) {
    TestTerrain ground(cells, cell, FlatHeight, material);
    neTriangleMesh mesh = ground.Mesh();
    return sim->SetTerrainMesh(&mesh);
}

// A body without geometry at pos: the mass (kg) and a unit box's inertia, its
// world inertia ready for use before the first step.
inline neRigidBody* MakeBody(neSimulatorCore* sim, const neV3& pos, f32 mass = 1.0f) {
    neRigidBody* body = sim->CreateRigidBody();
    body->SetMass(mass);
    body->SetInertiaTensor(neBoxInertiaTensorXYZ(1, 1, 1, mass));
    body->SetPos(pos);
    body->UpdateRotationAndInertia();
    return body;
}

// A box body of the size (m) and mass (kg) at pos, its world inertia ready
// for use before the first step.
inline neRigidBody* MakeBox(neSimulatorCore* sim, const neV3& pos, const neV3& size = neMakeV3(1, 1, 1), f32 mass = 1.0f) {
    neRigidBody* box = sim->CreateRigidBody();
    neGeometry* g = box->AddGeometry();
    g->SetBoxSize(size);
    box->UpdateBoundingInfo();
    box->SetMass(mass);
    box->SetInertiaTensor(neBoxInertiaTensor(size, mass));
    box->SetPos(pos);
    box->UpdateRotationAndInertia();  // the world inverse inertia would follow only at the next step
    return box;
}

// A weightless 0.2 m box carrying one line sensor from `start` along `line`
// (body frame, m), at the origin.
inline neRigidBody* SensorCar(neSimulatorCore* sim, const neV3& start, const neV3& line) {
    neRigidBody* car = sim->CreateRigidBody();
    car->AddGeometry()->SetBoxSize(neMakeV3(0.2f, 0.2f, 0.2f));
    car->AddSensor()->SetLineSensor(start, line);
    car->UpdateBoundingInfo();
    car->GravityEnable(false);
    return car;
}

inline bool Finite(const neV3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

inline void ExpectV3Near(const neV3& a, const neV3& b, f32 tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

// A controller callback that records every call.
class RecordingCallback : public neRigidBodyControllerCallback {
public:
    void ControllerCallback(neRigidBodyController* controller, f32 timeStep) override {
        steps.push_back(controller->GetRigidBody()->sim->GetStepCount());
        timeSteps.push_back(timeStep);
        if (onCall) onCall(controller);
    }
    std::vector<s32> steps;
    std::vector<f32> timeSteps;
    void (*onCall)(neRigidBodyController*) = nullptr;
};
