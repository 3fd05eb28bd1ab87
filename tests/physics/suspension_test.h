// A sensor-borne box: a body of mass 100 carried by four downward line
// sensors through a spring-damper controller, the shape of a truck.
#pragma once

#include "physics/simulator.h"

#include <cmath>

struct SuspensionSpec {
    static constexpr f32 kMass = 100.0f;
    static constexpr f32 kGravity = 8.5f;
    static constexpr f32 kSpring = 10000.0f;   // N/m per wheel
    static constexpr f32 kDamper = 1000.0f;    // N·s/m per wheel, critical for a quarter of the mass
    static constexpr f32 kLineStart = -0.5f;   // body-space y of the wheel lines' starts
    static constexpr f32 kLineLength = 1.0f;
    static constexpr f32 kHalfTrack = 0.8f;    // x and z of the wheels
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
            neV3 f = n * (SuspensionSpec::kSpring * depth + SuspensionSpec::kDamper * closing);
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

inline neRigidBody* MakeSensorBorneBox(neSimulator* sim, SuspensionController* controller) {
    neRigidBody* body = sim->CreateRigidBody();
    body->SetMass(SuspensionSpec::kMass);
    body->SetInertiaTensor(neBoxInertiaTensor(neMakeV3(2, 1, 2), SuspensionSpec::kMass));
    body->AddGeometry()->SetBoxSize(neMakeV3(2, 1, 2));
    const f32 w = SuspensionSpec::kHalfTrack;
    const f32 corners[4][2] = {{w, w}, {w, -w}, {-w, w}, {-w, -w}};
    for (const auto& c : corners)
        body->AddSensor()->SetLineSensor(neMakeV3(c[0], SuspensionSpec::kLineStart, c[1]),
                                         neMakeV3(0, -SuspensionSpec::kLineLength, 0));
    body->UpdateBoundingInfo();
    body->AddController(controller, 0);
    return body;
}

// The distance of the body's centre from the ground along the ground's
// normal at rest, on a slope of the given angle: the four springs carry
// m·g·cos(angle).
inline f32 PredictedRideHeight(f32 slope) {
    f32 depth = SuspensionSpec::kMass * SuspensionSpec::kGravity * std::cos(slope) / (4 * SuspensionSpec::kSpring);
    return SuspensionSpec::kLineLength - SuspensionSpec::kLineStart - depth;
}
