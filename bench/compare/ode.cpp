// ODE behind the comparison's interface: double precision, QuickStep with
// auto-disable, a hash space, up to kMaxContacts contacts per pair, one
// thread; the terrain as a triangle-mesh geometry, the wheel lines as ray
// geometries tested against it alone.
#include "peer_world.h"

#include <ode/ode.h>

namespace compare {
namespace {

constexpr int kMaxContacts = 8;
// Below this approach speed a contact does not bounce (m/s).
constexpr dReal kBounceSpeed = 0.1;

neV3 Ne(const dReal* v) { return neMakeV3(static_cast<f32>(v[0]), static_cast<f32>(v[1]), static_cast<f32>(v[2])); }

struct OdeLibrary {
    OdeLibrary() { dInitODE2(0); }
    ~OdeLibrary() { dCloseODE(); }
};

class Ode : public PhysicsWorld {
public:
    explicit Ode(const neV3& gravity) {
        static OdeLibrary library;
        world_ = dWorldCreate();
        space_ = dHashSpaceCreate(nullptr);
        contacts_ = dJointGroupCreate(0);
        dWorldSetGravity(world_, gravity.x, gravity.y, gravity.z);
        dWorldSetAutoDisableFlag(world_, 1);
        ray_ = dCreateRay(nullptr, 1.0);
        dGeomRaySetClosestHit(ray_, 1);
    }
    ~Ode() override {
        dGeomDestroy(ray_);
        dJointGroupDestroy(contacts_);
        dSpaceDestroy(space_);
        if (meshData_) dGeomTriMeshDataDestroy(meshData_);
        dWorldDestroy(world_);
    }

    const char* Name() const override { return "ODE"; }

    void SetTerrain(const Mesh& mesh) override {
        const std::vector<f32> xyz = mesh.Coordinates();
        vertices_.assign(xyz.begin(), xyz.end());
        indices_.assign(mesh.indices.begin(), mesh.indices.end());
        meshData_ = dGeomTriMeshDataCreate();
        dGeomTriMeshDataBuildSingle(meshData_, vertices_.data(), 3 * sizeof(float),
                                    static_cast<int>(mesh.vertices.size()), indices_.data(),
                                    static_cast<int>(indices_.size()), 3 * sizeof(dTriIndex));
        terrain_ = dCreateTriMesh(space_, meshData_, nullptr, nullptr, nullptr);
    }

    int AddBody(const PeerBody& wanted) override {
        dBodyID body = dBodyCreate(world_);
        dGeomID geom;
        if (wanted.shape == Shape::Box) {
            geom = dCreateBox(space_, wanted.size.x, wanted.size.y, wanted.size.z);
            dGeomSetBody(geom, body);
        } else {
            geom = dCreateCapsule(space_, wanted.size.x, wanted.size.y);
            dGeomSetBody(geom, body);
            dMatrix3 toY;
            dRFromAxisAndAngle(toY, 1, 0, 0, M_PI / 2);  // ODE's capsules lie along z
            dGeomSetOffsetRotation(geom, toY);
        }
        if (wanted.geometryOffsetY != 0.0f) dGeomSetOffsetPosition(geom, 0, wanted.geometryOffsetY, 0);
        dMass m;
        dMassSetParameters(&m, wanted.mass, 0, 0, 0, wanted.inertia.x, wanted.inertia.y, wanted.inertia.z, 0, 0, 0);
        dBodySetMass(body, &m);
        dMatrix3 r;
        for (int row = 0; row < 3; ++row) {
            for (int c = 0; c < 3; ++c) r[row * 4 + c] = wanted.rot.M[c][row];
            r[row * 4 + 3] = 0;
        }
        dBodySetRotation(body, r);
        dBodySetPosition(body, wanted.pos.x, wanted.pos.y, wanted.pos.z);
        dBodySetLinearVel(body, wanted.velocity.x, wanted.velocity.y, wanted.velocity.z);
        dBodySetAngularVel(body, wanted.angularVelocity.x, wanted.angularVelocity.y, wanted.angularVelocity.z);
        bodies_.push_back(body);
        return static_cast<int>(bodies_.size()) - 1;
    }

    void MakeTruck(int body, Truck* truck) override {
        trucks_.push_back({body, truck});
        dBodySetAutoDisableFlag(bodies_[static_cast<size_t>(body)], 0);
    }

    void Step(f32 dt) override {
        for (const TruckBody& t : trucks_) DriveTruck(t);
        dSpaceCollide(space_, this, &Ode::Near);
        dWorldQuickStep(world_, dt);
        dJointGroupEmpty(contacts_);
    }

    Pose GetPose(int index) const override {
        dBodyID b = bodies_[static_cast<size_t>(index)];
        const dReal* r = dBodyGetRotation(b);
        Pose p;
        p.pos = Ne(dBodyGetPosition(b));
        for (int c = 0; c < 3; ++c)
            p.rot.M[c] = neMakeV3(static_cast<f32>(r[c]), static_cast<f32>(r[4 + c]), static_cast<f32>(r[8 + c]));
        return p;
    }
    neV3 GetVelocity(int index) const override { return Ne(dBodyGetLinearVel(bodies_[static_cast<size_t>(index)])); }
    bool IsAsleep(int index) const override { return !dBodyIsEnabled(bodies_[static_cast<size_t>(index)]); }

private:
    struct TruckBody {
        int body;
        Truck* truck;
    };

    static void Near(void* data, dGeomID a, dGeomID b) {
        Ode* self = static_cast<Ode*>(data);
        dBodyID ba = dGeomGetBody(a), bb = dGeomGetBody(b);
        if (!ba && !bb) return;
        dContact contact[kMaxContacts];
        const int n = dCollide(a, b, kMaxContacts, &contact[0].geom, sizeof(dContact));
        for (int i = 0; i < n; ++i) {
            contact[i].surface.mode = dContactBounce | dContactApprox1;
            contact[i].surface.mu = kFriction;
            contact[i].surface.bounce = kRestitution;
            contact[i].surface.bounce_vel = kBounceSpeed;
            dJointID j = dJointCreateContact(self->world_, self->contacts_, &contact[i]);
            dJointAttach(j, ba, bb);
        }
    }

    void DriveTruck(const TruckBody& t) {
        dBodyID body = bodies_[static_cast<size_t>(t.body)];
        const Pose pose = GetPose(t.body);
        WheelHit hits[kWheels];
        for (int w = 0; w < kWheels; ++w) {
            neV3 start, vector;
            WheelLine(w, start, vector);
            const neV3 from = pose.rot * start + pose.pos;
            neV3 dir = pose.rot * vector;
            const f32 length = dir.Length();
            dir *= 1.0f / length;
            dGeomRaySetLength(ray_, length);
            dGeomRaySet(ray_, from.x, from.y, from.z, dir.x, dir.y, dir.z);
            dContactGeom hit;
            if (dCollide(ray_, terrain_, 1, &hit, sizeof hit) < 1) continue;
            hits[w].depth = length - static_cast<f32>(hit.depth);
            hits[w].normal = Ne(hit.normal);
            if (hits[w].normal.Dot(dir) > 0.0f) hits[w].normal = -hits[w].normal;
            hits[w].point = Ne(hit.pos);
        }
        neV3 force, torque;
        t.truck->Forces(pose, GetVelocity(t.body), Ne(dBodyGetAngularVel(body)), hits, force, torque);
        dBodyAddForce(body, force.x, force.y, force.z);
        dBodyAddTorque(body, torque.x, torque.y, torque.z);
    }

    dWorldID world_;
    dSpaceID space_;
    dJointGroupID contacts_;
    dGeomID ray_;
    dGeomID terrain_ = nullptr;
    dTriMeshDataID meshData_ = nullptr;
    std::vector<float> vertices_;
    std::vector<dTriIndex> indices_;
    std::vector<dBodyID> bodies_;
    std::vector<TruckBody> trucks_;
};

}  // namespace

std::unique_ptr<PhysicsWorld> MakeOde(const neV3& gravity) { return std::make_unique<Ode>(gravity); }

}  // namespace compare
