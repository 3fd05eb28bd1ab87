// Our engine behind the comparison's interface, used as a new user would:
// boxes and capsules with material 0, the terrain as one triangle mesh, the
// trucks' wheel lines as line sensors read in a controller callback.
#include "peer_world.h"
#include "physics/simulator.h"
#include "world/physics_constants.h"

#include <cstdio>

namespace compare {
namespace {

// Set when any simulator logs a message: every message at level 1 is a
// pool running out, which fails the run.
bool gLogged = false;

void OnLog(const char* message) {
    gLogged = true;
    std::fprintf(stderr, "our engine: %s", message);
}

class WheelCallback : public neRigidBodyControllerCallback {
public:
    explicit WheelCallback(Truck* truck) : truck_(truck) {}
    void ControllerCallback(neRigidBodyController* controller, f32) override {
        neRigidBody* body = controller->GetRigidBody();
        WheelHit hits[kWheels];
        body->BeginIterateSensor();
        for (int w = 0; w < kWheels; ++w) {
            neSensor* s = body->GetNextSensor();
            hits[w].depth = s->GetDetectDepth();
            hits[w].normal = s->GetDetectNormal();
            hits[w].point = s->GetDetectContactPoint();
        }
        const Pose pose{body->GetPos(), body->GetRotationM3()};
        neV3 force, torque;
        truck_->Forces(pose, body->GetVelocity(), body->GetAngularVelocity(), hits, force, torque);
        controller->SetControllerForce(force);
        controller->SetControllerTorque(torque);
    }

private:
    Truck* truck_;
};

class Ours : public PhysicsWorld {
public:
    Ours(const neV3& gravity, const OurSizes& wanted) {
        neSimulatorSizes sizes;
        if (wanted.game) {
            sizes = RaceSimulatorSizes(kCityCarSlotCount);  // a race's, with the most traffic
        } else {
            sizes.rigidBodiesCount = sizes.geometriesCount = wanted.bodies;
            sizes.animatedBodiesCount = sizes.rigidParticleCount = 0;
            sizes.overlapPairsCount = wanted.bodies * 8 + 64;
            sizes.controllersCount = wanted.bodies;
            sizes.sensorsCount = wanted.bodies * kWheels;
        }
        sim_ = neSimulator::CreateSimulator(sizes, nullptr, &gravity);
        sim_->SetLogOutputCallback(OnLog);
        sim_->SetLogOutputLevel(1);
        sim_->SetMaterial(0, kFriction, kRestitution);
        gLogged = false;
    }
    ~Ours() override { neSimulator::DestroySimulator(sim_); }

    const char* Name() const override { return "ours"; }

    void SetTerrain(const Mesh& mesh) override {
        std::vector<neTriangle> triangles(mesh.indices.size() / 3);
        for (size_t t = 0; t < triangles.size(); ++t)
            for (int k = 0; k < 3; ++k) triangles[t].indices[k] = mesh.indices[3 * t + k];
        neTriangleMesh m{const_cast<neV3*>(mesh.vertices.data()), static_cast<s32>(mesh.vertices.size()),
                         triangles.data(), static_cast<s32>(triangles.size())};
        sim_->SetTerrainMesh(&m);
    }

    int AddBody(const PeerBody& wanted) override {
        neRigidBody* body = sim_->CreateRigidBody();
        if (!body) {
            gLogged = true;
            return -1;
        }
        neGeometry* g = body->AddGeometry();
        if (wanted.shape == Shape::Box)
            g->SetBoxSize(wanted.size);
        else
            g->SetCylinder(wanted.size.x * 2.0f, wanted.size.y);
        neT3 frame;
        frame.SetIdentity();
        frame.pos.y = wanted.geometryOffsetY;
        g->SetTransform(frame);
        g->SetMaterialIndex(0);
        body->UpdateBoundingInfo();
        body->SetInertiaTensor(wanted.inertia);
        body->SetMass(wanted.mass);
        body->SetRotation(wanted.rot);
        body->SetPos(wanted.pos);
        body->SetVelocity(wanted.velocity);
        neM3 inertia;
        inertia.SetIdentity();
        for (int k = 0; k < 3; ++k) inertia.M[k][k] = wanted.inertia[k];
        const neM3 worldInertia = wanted.rot * inertia * [&] {
            neM3 t;
            t.SetTranspose(wanted.rot);
            return t;
        }();
        body->SetAngularMomentum(worldInertia * wanted.angularVelocity);
        bodies_.push_back(body);
        return static_cast<int>(bodies_.size()) - 1;
    }

    void MakeTruck(int index, Truck* truck) override {
        neRigidBody* body = bodies_[static_cast<size_t>(index)];
        for (int w = 0; w < kWheels; ++w) {
            neV3 start, vector;
            WheelLine(w, start, vector);
            body->AddSensor()->SetLineSensor(start, vector);
        }
        body->UpdateBoundingInfo();
        callbacks_.push_back(std::make_unique<WheelCallback>(truck));
        body->AddController(callbacks_.back().get(), 0);
        body->SetSleepingParameter(0.01f);
    }

    void Step(f32 dt) override { sim_->Advance(dt, 1); }

    Pose GetPose(int index) const override {
        const neRigidBody* b = bodies_[static_cast<size_t>(index)];
        return Pose{b->GetPos(), b->GetRotationM3()};
    }
    neV3 GetVelocity(int index) const override { return bodies_[static_cast<size_t>(index)]->GetVelocity(); }
    bool IsAsleep(int index) const override { return bodies_[static_cast<size_t>(index)]->IsIdle(); }
    bool Healthy() const override { return !gLogged; }

private:
    neSimulator* sim_ = nullptr;
    std::vector<neRigidBody*> bodies_;
    std::vector<std::unique_ptr<WheelCallback>> callbacks_;
};

}  // namespace

std::unique_ptr<PhysicsWorld> MakeOurs(const neV3& gravity, const OurSizes& sizes) {
    return std::make_unique<Ours>(gravity, sizes);
}

}  // namespace compare
