// A sensor-borne box: a body of mass 100 carried by four downward line
// sensors through a spring-damper controller, the shape of a truck.
#pragma once

#include "physics/simulator_core.h"
#include "world/physics_constants.h"

#include <cmath>

struct SuspensionRig {
    static constexpr f32 kMass = 100.0f;
    static constexpr f32 kGravity = kGravityAcceleration;
    static constexpr f32 kSpring = 10000.0f;   // N/m per wheel
    static constexpr f32 kDamper = 1000.0f;    // N·s/m per wheel, critical for a quarter of the mass
};

// Where the box and its four wheel lines sit in the body's frame.
struct SuspensionShape {
    neV3 boxSize;
    neV3 boxOffset;
    neV3 starts[4];
    neV3 lines[4];  // each drops 1 m along the body's y

    // A 2 × 1 × 2 box with straight lines from its bottom corners.
    static SuspensionShape Simple() {
        const f32 w = 0.8f;
        SuspensionShape s{neMakeV3(2, 1, 2), neMakeV3(0, 0, 0), {}, {}};
        const f32 corners[4][2] = {{w, w}, {w, -w}, {-w, w}, {-w, -w}};
        for (int i = 0; i < 4; ++i) {
            s.starts[i] = neMakeV3(corners[i][0], -0.5f, corners[i][1]);
            s.lines[i] = neMakeV3(0, -1, 0);
        }
        return s;
    }
    // The racers' truck: a 6.5 × 2.2 × 3.2 box raised 0.6, lines starting
    // inside it and splayed outward.
    static SuspensionShape Truck() {
        SuspensionShape s{neMakeV3(6.5f, 2.2f, 3.2f), neMakeV3(0, 0.6f, 0), {}, {}};
        const f32 axle[4] = {2.2f, 2.2f, -2.2f, -2.2f};
        const f32 side[4] = {1.4f, -1.4f, 1.4f, -1.4f};
        for (int i = 0; i < 4; ++i) {
            s.starts[i] = neMakeV3(axle[i], -0.35f, side[i]);
            s.lines[i] = neMakeV3(0, -1, side[i] > 0 ? 0.15f : -0.15f);
        }
        return s;
    }
};

// Pushes along each wheel's detected normal with k·depth + c·(closing
// speed), holds the body on the ground with a friction force at its centre
// that stops its motion along the surface, and damps its spin.
class SuspensionController : public neRigidBodyControllerCallback {
public:
    void ControllerCallback(neRigidBodyController* controller, f32 dt) override {
        neRigidBody* body = controller->GetRigidBody();
        const neT3& t = *body->GetTransformPtr();
        neV3 force = neMakeV3(0, 0, 0), torque = neMakeV3(0, 0, 0), normal = neMakeV3(0, 0, 0);
        int touching = 0;
        body->BeginIterateSensor();
        while (neSensor* s = body->GetNextSensor()) {
            f32 depth = s->GetDetectDepth();
            if (depth <= 0.0f) continue;
            ++touching;
            neV3 n = s->GetDetectNormal();
            neV3 wheel = t * s->GetLinePos();
            neV3 arm = wheel - body->GetPos();
            f32 closing = -body->GetVelocityAtPoint(arm).Dot(n);
            neV3 f = n * (SuspensionRig::kSpring * depth + SuspensionRig::kDamper * closing);
            force += f;
            torque += arm.Cross(f);
            normal += n;
        }
        if (touching > 0) {
            normal.Normalize();
            // Static friction: cancel the motion and the pull of gravity along the surface.
            neV3 g = body->sim->GetGravity();
            neV3 v = body->GetVelocity();
            neV3 along = (v - normal * v.Dot(normal)) * (-body->GetMass() / dt);
            neV3 pull = (g - normal * g.Dot(normal)) * (-body->GetMass());
            force += along + pull;
            torque += body->GetAngularVelocity() * -200.0f;
        }
        controller->SetControllerForce(force);
        controller->SetControllerTorque(torque);
    }
};

inline neRigidBody* MakeSensorBorneBox(neSimulatorCore* sim, SuspensionController* controller,
                                       const SuspensionShape& shape = SuspensionShape::Simple()) {
    neRigidBody* body = sim->CreateRigidBody();
    body->SetMass(SuspensionRig::kMass);
    body->SetInertiaTensor(neBoxInertiaTensor(shape.boxSize * 0.75f, SuspensionRig::kMass));
    neGeometry* box = body->AddGeometry();
    box->SetBoxSize(shape.boxSize);
    neT3 frame;
    frame.SetIdentity();
    frame.pos.Set(shape.boxOffset.x, shape.boxOffset.y, shape.boxOffset.z);
    box->SetTransform(frame);
    box->SetMaterialIndex(1);
    for (int i = 0; i < 4; ++i) body->AddSensor()->SetLineSensor(shape.starts[i], shape.lines[i]);
    body->UpdateBoundingInfo();
    body->AddController(controller, 0);
    return body;
}

// The distance of the body's centre from the ground along the ground's
// normal at rest, on a slope of the given angle: the four springs carry
// m·g·cos(angle) with equal depths, and a line of length L that drops 1 m
// meets the ground after a drop of 1 − depth / L.
inline f32 PredictedRideHeight(const SuspensionShape& shape, f32 slope) {
    f32 depth = SuspensionRig::kMass * SuspensionRig::kGravity * std::cos(slope) / (4 * SuspensionRig::kSpring);
    f32 length = shape.lines[0].Length();
    return -shape.starts[0].y + 1.0f - depth / length;
}
