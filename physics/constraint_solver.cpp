// The constraint solver's per-joint work: world frames and angles, anchors,
// the rows of each joint, limits, motors, damping and joint controllers.
#include "physics/constraint.h"

#include "physics/response.h"
#include "physics/simulator_core.h"

#include <cmath>
#include <cstring>

namespace {

constexpr f32 TWO_PI = 2.0f * NE_PI;
// A slider's limit row never asks for more correction than this per step.
constexpr f32 MAX_LINEAR_LIMIT_DEPTH = 0.05f;

neV3 Column(const neT3& t, s32 i) { return t.rot.M[i]; }

// Unit vector, or zero when the length counts as zero.
neV3 Normalised(const neV3& v) {
    neV3 n = v;
    return n.Normalize();
}

// The length of a joint's error, taken exactly: under the engine's usual
// zero (a squared length below 1e-6) every error shorter than a millimetre
// would count as none and never be corrected, and a hanging body would sag
// by that much.
f32 ErrorLength(const neV3& v) { return std::sqrt(v.Dot(v)); }

// Rotation by `angle` radians about the unit axis.
neM3 AxisAngle(const neV3& axis, f32 angle) {
    neQ q;
    f32 s = std::sin(angle * 0.5f);
    q.Set(axis.x * s, axis.y * s, axis.z * s, std::cos(angle * 0.5f));
    return q.ToM3();
}

neT3 TransformOf(neBody* body) {
    if (body) return *body->GetTransformPtr();
    neT3 identity;
    identity.SetIdentity();
    return identity;
}

}  // namespace

neT3 neConstraint::WorldFrameB() const { return bodyB ? TransformOf(bodyB) * frameB : frameB; }

void neConstraint::BuildAnchors() {
    const f32 h = length * 0.5f;
    if (type == NE_JOINT_BALL) {
        anchors[0].localA = frameA.pos;
        anchors[0].localB = frameB.pos;
        return;
    }
    const neV3 yA = Column(frameA, 1), yB = Column(frameB, 1);
    anchors[0].localA = frameA.pos + yA * h;
    anchors[1].localA = frameA.pos - yA * h;
    if (type == NE_JOINT_HINGE) {
        anchors[0].localB = frameB.pos + yB * h;
        anchors[1].localB = frameB.pos - yB * h;
    }
}

void neConstraint::PrepareFrames() {
    worldFrameA = TransformOf(bodyA) * frameA;
    worldFrameB = WorldFrameB();
    const neV3 xA = Column(worldFrameA, 0), yA = Column(worldFrameA, 1);
    const neV3 xB = Column(worldFrameB, 0), yB = Column(worldFrameB, 1);
    const f32 c = xA.Dot(xB);
    if (type == NE_JOINT_HINGE) {
        limit.axis = Normalised(yA + yB);
        if (std::fabs(c - 1.0f) < NE_ZERO) {
            angle = signedAngle = 0.0f;
        } else if (std::fabs(c + 1.0f) < NE_ZERO) {
            angle = NE_PI;
            signedAngle = -NE_PI;
        } else {
            const neV3 n = Normalised(xA.Cross(xB));
            const f32 a = neAcos(c);
            if (n.Dot(limit.axis) > 0.0f) {
                angle = signedAngle = a;
            } else {
                angle = TWO_PI - a;
                signedAngle = -a;
            }
        }
    } else if (type == NE_JOINT_BALL) {
        if (std::fabs(c - 1.0f) < NE_ZERO) {
            angle = 0.0f;
            limit.axis = yA;
        } else if (std::fabs(c + 1.0f) < NE_ZERO) {
            angle = NE_PI;
            limit.axis = yA;
        } else {
            limit.axis = Normalised(xA.Cross(xB));
            angle = neAcos(c);
        }
    } else {
        limit.axis = Normalised(yA + yB);
        angle = (worldFrameA.pos - worldFrameB.pos).Dot(yB);
    }
}

void neConstraint::UpdateAnchors() {
    const neT3 ta = TransformOf(bodyA);
    const neT3 tb = TransformOf(bodyB);
    for (s32 i = 0; i < rowCount; ++i) {
        anchors[i].worldA = ta * anchors[i].localA;
        if (type != NE_JOINT_SLIDER) anchors[i].worldB = bodyB ? tb * anchors[i].localB : anchors[i].localB;
    }
}

neCollisionResult* neConstraint::AppendRow(s32 kind) {
    neCollisionResult* row = simulator->constraintRows.Alloc();
    if (!row) return nullptr;
    std::memset(static_cast<void*>(row), 0, sizeof *row);
    row->kind = kind;
    row->bodyA = bodyA;
    row->bodyB = bodyB;
    return row;
}

void neConstraint::BuildRows() {
    const neV3 posA = bodyA->GetPos();
    neRigidBody* rigidB = GetRigidBodyB();
    const neV3 originB = worldFrameB.pos, axisB = Column(worldFrameB, 1);
    for (s32 i = 0; i < rowCount; ++i) {
        neJointAnchor& anchor = anchors[i];
        const bool slider = type == NE_JOINT_SLIDER;
        if (slider) anchor.worldB = originB + axisB * (anchor.worldA - originB).Dot(axisB);
        neCollisionResult* row = AppendRow(slider ? NE_IMPULSE_POINT_ON_AXIS : NE_IMPULSE_POINT_JOINT);
        if (!row) return;
        row->pointA = anchor.worldA - posA;
        row->pointB = rigidB ? anchor.worldB - rigidB->GetPos() : anchor.worldB;
        row->worldPointA = anchor.worldA - anchor.worldB;
        if (slider) {
            row->rowValue = ErrorLength(row->worldPointA);
            row->worldPointB = axisB;
        } else {
            row->worldPointB = anchor.worldB;
            row->depth = ErrorLength(row->worldPointA);
        }
        neUpdateMatrices(*row, false, false);
    }
    if (limit.enabled || (type == NE_JOINT_BALL && limit2.enabled)) LimitRows();
    if (motor.enabled) MotorRow(1);
    if (motor2.enabled) MotorRow(2);
}

void neConstraint::LimitRows() {
    limit.active = 0;
    limit2.active = 0;
    if (type == NE_JOINT_SLIDER) {
        if (limit.enabled) LinearLimitRow();
        return;
    }
    if (limit.enabled) AngularLimitRow();
    if (type == NE_JOINT_BALL && limit2.enabled) TwistLimitRow();
}

// The angles grow as B turns about the axis relative to A, while the rows
// measure A's spin relative to B's: the angular rows carry their axes
// negated, so that a limit pushes back into its range and a positive motor
// target turns the joint toward its upper limit.

void neConstraint::AngularLimitRow() {
    const bool useSigned = type == NE_JOINT_HINGE && limit.lower <= 0.0f;
    const f32 m = useSigned ? signedAngle : angle;
    if (m < limit.lower) {
        limit.side = 1;
        limit.error = m - limit.lower;
    } else if (m > limit.upper) {
        limit.side = 0;
        limit.error = m - limit.upper;
    } else {
        return;
    }
    neCollisionResult* row = AppendRow(NE_IMPULSE_ANGULAR_LIMIT);
    if (!row) return;
    limit.active = 1;
    row->localPointB = -limit.axis;
    row->depth = limit.error;
    neUpdateMatrices(*row, false, false);
}

void neConstraint::LinearLimitRow() {
    const neV3 yB = Column(worldFrameB, 1);
    const f32 p = (worldFrameA.pos - worldFrameB.pos).Dot(yB);
    f32 direction;
    if (p > limit.upper) {
        limit.side = 0;
        limit.error = p - limit.upper;
        direction = 1.0f;
    } else if (p < limit.lower) {
        limit.side = 1;
        limit.error = limit.lower - p;
        direction = -1.0f;
    } else {
        return;
    }
    neCollisionResult* row = AppendRow(NE_IMPULSE_LINEAR_LIMIT);
    if (!row) return;
    limit.active = 1;
    // Measured at A's joint origin, on both bodies.
    const neRigidBody* rigidB = GetRigidBodyB();
    row->pointA = worldFrameA.pos - bodyA->GetPos();
    row->pointB = rigidB ? worldFrameA.pos - rigidB->GetPos() : worldFrameA.pos;
    row->depth = limit.error < MAX_LINEAR_LIMIT_DEPTH ? limit.error : MAX_LINEAR_LIMIT_DEPTH;
    row->worldPointB = yB * direction;
    neUpdateMatrices(*row, false, false);
}

void neConstraint::TwistLimitRow() {
    const f32 bound = limit2.lower;
    const neV3 xB = Column(worldFrameB, 0);
    const neV3 zA = Column(worldFrameA, 2), zB = Column(worldFrameB, 2);
    // The cone rotation carries xA onto xB about the limit axis; what is
    // left between zA so carried and zB is the twist about xB.
    const neM3 cone = AxisAngle(limit.axis, angle);
    const neV3 carried = cone * zA;
    const f32 c = carried.Dot(zB);
    f32 t;
    if (std::fabs(c - 1.0f) < NE_ZERO) {
        t = 0.0f;
    } else if (std::fabs(c + 1.0f) < NE_ZERO) {
        t = NE_PI;
    } else {
        t = neAcos(c);
        if (Normalised(carried.Cross(zB)).Dot(xB) < 0.0f) t = -t;
    }
    f32 error;
    if (t > bound)
        error = t - bound;
    else if (t < -bound)
        error = t + bound;
    else
        return;
    neCollisionResult* row = AppendRow(NE_IMPULSE_TWIST_LIMIT);
    if (!row) return;
    limit2.active = 1;
    limit2.error = error;
    row->localPointA = -Column(worldFrameA, 0);
    row->localPointB = -xB;
    row->depth = error;
    row->twistError = error;
    neUpdateMatrices(*row, false, false);
}

void neConstraint::MotorRow(s32 which) {
    const neJointMotor& m = which == 1 ? motor : motor2;
    if (type == NE_JOINT_BALL) return;
    if (which == 1 && limit.enabled && limit.active) {
        if (limit.side == 1 && m.targetSpeed < 0.0f) return;
        if (limit.side == 0 && m.targetSpeed > 0.0f) return;
    }
    const bool hinge = type == NE_JOINT_HINGE;
    neCollisionResult* row = AppendRow(hinge ? NE_IMPULSE_ANGULAR_MOTOR : NE_IMPULSE_LINEAR_MOTOR);
    if (!row) return;
    const neV3 yA = Column(worldFrameA, 1), yB = Column(worldFrameB, 1);
    row->localPointA = hinge ? -yA : yB;
    row->localPointB = hinge ? -yB : yB;
    row->rowValue = m.targetSpeed;
    row->depth = m.maximum;
    neUpdateMatrices(*row, false, false);
}

void neConstraint::ApplyDamping() {
    neRigidBody* rigidB = GetRigidBodyB();
    neV3 w;
    if (type == NE_JOINT_BALL) {
        w = rigidB ? bodyA->angularVelocity - rigidB->angularVelocity : bodyA->angularVelocity;
    } else if (type == NE_JOINT_HINGE) {
        const neV3 axis = bodyA->GetRotationM3() * Column(frameA, 1);
        const neV3 relative = rigidB ? bodyA->angularVelocity - rigidB->angularVelocity : bodyA->angularVelocity;
        w = axis * relative.Dot(axis);
    } else {
        return;  // a slider has no relative turn to damp
    }
    // The torque may at most stop the relative turn within the step: an
    // explicit damping torque larger than that (a light body, a stiff
    // damping) would reverse the turn and grow with every step.
    neV3 t = w * damping;
    const f32 w2 = w.Dot(w);
    if (w2 > 0.0f) {
        const neV3 unit = w * (1.0f / std::sqrt(w2));
        f32 k = unit.Dot(bodyA->worldInvInertia * unit);
        if (rigidB) k += unit.Dot(rigidB->worldInvInertia * unit);
        const f32 stopping = k > 0.0f ? std::sqrt(w2) / (k * simulator->stepTime) : 0.0f;
        if (damping * std::sqrt(w2) > stopping) t = unit * stopping;
    }
    bodyA->jointTorque -= t;
    if (rigidB) rigidB->jointTorque += t;
}

void neConstraint::RunControllers() {
    neRigidBody* rigidB = GetRigidBodyB();
    for (neController* c = controllers; c;) {
        neController* following = c->next;
        if (c->CountDown() && c->jointCallback) c->jointCallback->ControllerCallback(c, simulator->stepTime);
        // Into the controller sums, which the next integration reads; the
        // step's own accumulators are cleared before they would act.
        bodyA->controllerForce += c->force;
        bodyA->controllerTorque += c->torque;
        if (rigidB) {
            rigidB->controllerForce += c->force2;
            rigidB->controllerTorque += c->torque2;
        }
        c = following;
    }
}

// ---- the set ---------------------------------------------------------------

void neConstraintSet::Solve(f32* tolerance, s32* iterations) {
    for (neConstraint* c = firstConstraint; c; c = c->next) {
        if (!c->enabled) continue;
        c->PrepareFrames();
        c->UpdateAnchors();
        c->BuildRows();
        if (*tolerance == -1.0f) {
            *tolerance = c->tolerance;
        } else if (c->tolerance > 0.0f && c->tolerance < *tolerance) {
            *tolerance = c->tolerance;
        }
        if (c->iterationCount > *iterations) *iterations = c->iterationCount;
    }
    solved = 1;
}
