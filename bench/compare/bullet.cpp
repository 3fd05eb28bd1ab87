// Bullet behind the comparison's interface: single precision, a discrete
// dynamics world with its default broad phase and solver, one thread, the
// terrain as a bounding-volume-tree triangle mesh, the wheel lines as ray
// tests against the terrain alone (as our line sensors see only it).
#include "peer_world.h"

#include <btBulletDynamicsCommon.h>

namespace compare {
namespace {

constexpr int kBodyGroup = 1;
constexpr int kTerrainGroup = 2;

// Every contact gets the shared friction and restitution, whatever the pair.
btScalar FixedFriction(const btCollisionObject*, const btCollisionObject*) { return kFriction; }
btScalar FixedRestitution(const btCollisionObject*, const btCollisionObject*) { return kRestitution; }

btVector3 Bt(const neV3& v) { return btVector3(v.x, v.y, v.z); }
neV3 Ne(const btVector3& v) { return neMakeV3(v.x(), v.y(), v.z()); }

class Bullet : public PhysicsWorld {
public:
    explicit Bullet(const neV3& gravity)
        : dispatcher_(&configuration_), world_(&dispatcher_, &broadphase_, &solver_, &configuration_) {
        world_.setGravity(Bt(gravity));
        gCalculateCombinedFrictionCallback = FixedFriction;
        gCalculateCombinedRestitutionCallback = FixedRestitution;
    }
    ~Bullet() override {
        for (int i = world_.getNumCollisionObjects() - 1; i >= 0; --i)
            world_.removeCollisionObject(world_.getCollisionObjectArray()[i]);
    }

    const char* Name() const override { return "Bullet"; }

    void SetTerrain(const Mesh& mesh) override {
        const std::vector<f32> xyz = mesh.Coordinates();
        vertices_.assign(xyz.begin(), xyz.end());
        indices_.assign(mesh.indices.begin(), mesh.indices.end());
        meshData_ = std::make_unique<btTriangleIndexVertexArray>(
            static_cast<int>(indices_.size() / 3), indices_.data(), 3 * static_cast<int>(sizeof(int)),
            static_cast<int>(mesh.vertices.size()), vertices_.data(), 3 * static_cast<int>(sizeof(btScalar)));
        terrainShape_ = std::make_unique<btBvhTriangleMeshShape>(meshData_.get(), true);
        btRigidBody::btRigidBodyConstructionInfo info(0.0f, nullptr, terrainShape_.get());
        terrain_ = std::make_unique<btRigidBody>(info);
        world_.addRigidBody(terrain_.get(), kTerrainGroup, kBodyGroup);
    }

    int AddBody(const PeerBody& wanted) override {
        std::unique_ptr<btCollisionShape> shape;
        if (wanted.shape == Shape::Box)
            shape = std::make_unique<btBoxShape>(Bt(wanted.size * 0.5f));
        else
            shape = std::make_unique<btCapsuleShape>(wanted.size.x, wanted.size.y);
        btCollisionShape* used = shape.get();
        shapes_.push_back(std::move(shape));
        if (wanted.geometryOffsetY != 0.0f) {
            auto compound = std::make_unique<btCompoundShape>();
            compound->addChildShape(btTransform(btQuaternion::getIdentity(), btVector3(0, wanted.geometryOffsetY, 0)),
                                    used);
            used = compound.get();
            shapes_.push_back(std::move(compound));
        }
        const neM3& r = wanted.rot;
        btMatrix3x3 basis(r.M[0].x, r.M[1].x, r.M[2].x, r.M[0].y, r.M[1].y, r.M[2].y, r.M[0].z, r.M[1].z,
                          r.M[2].z);
        btRigidBody::btRigidBodyConstructionInfo info(wanted.mass, nullptr, used, Bt(wanted.inertia));
        info.m_startWorldTransform = btTransform(basis, Bt(wanted.pos));
        auto body = std::make_unique<btRigidBody>(info);
        body->setLinearVelocity(Bt(wanted.velocity));
        body->setAngularVelocity(Bt(wanted.angularVelocity));
        world_.addRigidBody(body.get(), kBodyGroup, kBodyGroup | kTerrainGroup);
        bodies_.push_back(std::move(body));
        return static_cast<int>(bodies_.size()) - 1;
    }

    void MakeTruck(int body, Truck* truck) override {
        trucks_.push_back({body, truck});
        bodies_[static_cast<size_t>(body)]->setActivationState(DISABLE_DEACTIVATION);
    }

    void Step(f32 dt) override {
        for (const TruckBody& t : trucks_) DriveTruck(t);
        world_.stepSimulation(dt, 0);
    }

    Pose GetPose(int index) const override {
        const btTransform& t = bodies_[static_cast<size_t>(index)]->getCenterOfMassTransform();
        Pose p;
        p.pos = Ne(t.getOrigin());
        for (int c = 0; c < 3; ++c) p.rot.M[c] = Ne(t.getBasis().getColumn(c));
        return p;
    }
    neV3 GetVelocity(int index) const override {
        return Ne(bodies_[static_cast<size_t>(index)]->getLinearVelocity());
    }
    bool IsAsleep(int index) const override {
        return bodies_[static_cast<size_t>(index)]->getActivationState() == ISLAND_SLEEPING;
    }

private:
    struct TruckBody {
        int body;
        Truck* truck;
    };

    void DriveTruck(const TruckBody& t) {
        btRigidBody* body = bodies_[static_cast<size_t>(t.body)].get();
        const Pose pose = GetPose(t.body);
        WheelHit hits[kWheels];
        for (int w = 0; w < kWheels; ++w) {
            neV3 start, vector;
            WheelLine(w, start, vector);
            const neV3 from = pose.rot * start + pose.pos;
            const neV3 to = from + pose.rot * vector;
            btCollisionWorld::ClosestRayResultCallback ray(Bt(from), Bt(to));
            ray.m_collisionFilterGroup = kBodyGroup;
            ray.m_collisionFilterMask = kTerrainGroup;
            world_.rayTest(Bt(from), Bt(to), ray);
            if (!ray.hasHit()) continue;
            hits[w].depth = (1.0f - ray.m_closestHitFraction) * vector.Length();
            hits[w].normal = Ne(ray.m_hitNormalWorld);
            hits[w].point = Ne(ray.m_hitPointWorld);
        }
        neV3 force, torque;
        t.truck->Forces(pose, GetVelocity(t.body), Ne(body->getAngularVelocity()), hits, force, torque);
        body->applyCentralForce(Bt(force));
        body->applyTorque(Bt(torque));
    }

    btDefaultCollisionConfiguration configuration_;
    btCollisionDispatcher dispatcher_;
    btDbvtBroadphase broadphase_;
    btSequentialImpulseConstraintSolver solver_;
    btDiscreteDynamicsWorld world_;
    std::vector<btScalar> vertices_;
    std::vector<int> indices_;
    std::unique_ptr<btTriangleIndexVertexArray> meshData_;
    std::unique_ptr<btBvhTriangleMeshShape> terrainShape_;
    std::unique_ptr<btRigidBody> terrain_;
    std::vector<std::unique_ptr<btCollisionShape>> shapes_;
    std::vector<std::unique_ptr<btRigidBody>> bodies_;
    std::vector<TruckBody> trucks_;
};

}  // namespace

std::unique_ptr<PhysicsWorld> MakeBullet(const neV3& gravity) { return std::make_unique<Bullet>(gravity); }

}  // namespace compare
