#include "physics/terrain_tree.h"
#include "physics_test_util.h"
#include "terrain_test_util.h"

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

std::set<s32> QueryTriangles(const neTerrainTree& tree, const neV3& lo, const neV3& hi) {
    neGrowArray<const neTreeNode*> leaves;
    leaves.Reserve(16, nullptr, NE_GROW_DOUBLE);
    tree.Query(tree.Root(), leaves, lo, hi, 0);
    std::set<s32> found;
    for (s32 i = 0; i < leaves.Count(); ++i)
        for (s32 t = 0; t < leaves[i]->triangleCount; ++t) found.insert(leaves[i]->triangles[t]);
    return found;
}

// Checks that every triangle touching a query box comes back from the tree.
void ExpectQueriesFindEveryTouchingTriangle(const neTerrainTree& tree, std::mt19937& gen, f32 extent, f32 yLo,
                                            f32 yHi) {
    std::uniform_real_distribution<f32> at(-extent, extent), size(0.0f, 3.0f), y(yLo, yHi);
    for (int q = 0; q < 300; ++q) {
        neV3 lo = neMakeV3(at(gen), y(gen), at(gen));
        neV3 hi = lo + neMakeV3(size(gen), size(gen) * 0.5f, size(gen));
        std::set<s32> found = QueryTriangles(tree, lo, hi);
        for (s32 t = 0; t < tree.TriangleCount(); ++t) {
            if (tree.TriangleOverlapsBox(t, lo, hi)) {
                ASSERT_TRUE(found.count(t)) << "query " << q << " triangle " << t;
            }
        }
    }
}

int Depth(const neTerrainTree& tree, const neTreeNode& node) {
    int deepest = 0;
    for (s32 c : node.children)
        if (c != -1) deepest = std::max(deepest, 1 + Depth(tree, *tree.GetNode(c)));
    return deepest;
}

}  // namespace

TEST(TerrainTree, QueriesFindEveryTriangleTouchingTheBox) {
    std::mt19937 gen(7);
    TestTerrain terrain(24, 2.0f, [](f32 x, f32 z) { return std::sin(x * 0.3f) * 2 + std::cos(z * 0.2f); });
    neTriangleMesh mesh = terrain.Mesh();
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(mesh, nullptr, 200, -1));
    EXPECT_GT(tree.NodeCount(), 4);
    EXPECT_LE(Depth(tree, tree.Root()), NE_TREE_MAX_DEPTH);
    ExpectQueriesFindEveryTouchingTriangle(tree, gen, 26, -4, 3);
}

TEST(TerrainTree, FlatTerrainIsFoundByABoxTouchingThePlane) {
    std::mt19937 gen(8);
    TestTerrain terrain(16, 1.0f, FlatHeight);
    neTriangleMesh mesh = terrain.Mesh();
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(mesh, nullptr, 200, -1));
    EXPECT_GT(tree.NodeCount(), 4);  // the widening lets flat triangles split
    EXPECT_EQ(tree.Root().bounds[1][0], tree.Root().bounds[1][1]);
    std::set<s32> found = QueryTriangles(tree, neMakeV3(0.2f, 0, 0.2f), neMakeV3(0.4f, 1, 0.4f));
    EXPECT_FALSE(found.empty());
    ExpectQueriesFindEveryTouchingTriangle(tree, gen, 8, 0, 0);
}

TEST(TerrainTree, FewTrianglesMakeARootLeaf) {
    TestTerrain terrain(2, 1.0f, FlatHeight);  // 8 triangles
    neTriangleMesh mesh = terrain.Mesh();
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(mesh, nullptr, 200, -1));
    EXPECT_TRUE(tree.Root().IsLeaf());
    EXPECT_EQ(tree.Root().triangleCount, 8);
    EXPECT_EQ(tree.NodeCount(), 0);
}

// Splitting stops at depth five however many triangles a node holds, and
// wherever one quadrant would take every triangle of its node.
TEST(TerrainTree, SplitsStopAtDepthFiveAndWhereAQuadrantTakesEverything) {
    TestTerrain dense(96, 0.5f, [](f32 x, f32 z) { return 0.05f * x - 0.03f * z; });
    neTriangleMesh mesh = dense.Mesh();
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(mesh, nullptr, 200, -1));
    int crowdedLeavesAtFive = 0;
    for (s32 i = 0; i < tree.NodeCount(); ++i) {
        const neTreeNode* node = tree.GetNode(i);
        int depth = 1;
        for (s32 p = node->parent; p != NE_TREE_ROOT; p = tree.GetNode(p)->parent) ++depth;
        EXPECT_LE(depth, NE_TREE_MAX_DEPTH);
        if (depth == NE_TREE_MAX_DEPTH && node->triangleCount >= NE_TREE_MIN_SPLIT) ++crowdedLeavesAtFive;
    }
    EXPECT_GT(crowdedLeavesAtFive, 0);

    // Twelve large triangles over one another: every quadrant of the root
    // meets all of them, so the root keeps them as a leaf.
    neV3 vertices[3] = {neMakeV3(-10, 0, -10), neMakeV3(-10, 0, 10), neMakeV3(10, 0, 0)};
    std::vector<neTriangle> layers(12);
    for (neTriangle& t : layers) {
        t.indices[0] = 0;
        t.indices[1] = 1;
        t.indices[2] = 2;
    }
    neTriangleMesh stacked{vertices, 3, layers.data(), 12};
    ASSERT_TRUE(tree.Build(stacked, nullptr, 200, -1));
    EXPECT_TRUE(tree.Root().IsLeaf());
    EXPECT_EQ(tree.Root().triangleCount, 12);
}

TEST(TerrainTree, BadMeshesAreRefusedAndTheOldTreeStays) {
    TestTerrain terrain(4, 1.0f, [](f32, f32) { return 1.0f; });
    neTriangleMesh mesh = terrain.Mesh();
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(mesh, nullptr, 200, -1));
    const s32 count = tree.TriangleCount();

    neTriangleMesh empty = mesh;
    empty.triangleCount = 0;
    EXPECT_FALSE(tree.Build(empty, nullptr, 200, -1));
    neTriangleMesh noVertices = mesh;
    noVertices.vertices = nullptr;
    EXPECT_FALSE(tree.Build(noVertices, nullptr, 200, -1));
    std::vector<neTriangle> bad = terrain.triangles;
    bad[5].indices[1] = static_cast<s32>(terrain.vertices.size());
    neTriangleMesh outOfRange = mesh;
    outOfRange.triangles = bad.data();
    EXPECT_FALSE(tree.Build(outOfRange, nullptr, 200, -1));
    bad[5].indices[1] = -1;
    EXPECT_FALSE(tree.Build(outOfRange, nullptr, 200, -1));
    EXPECT_EQ(tree.TriangleCount(), count);
    EXPECT_FALSE(QueryTriangles(tree, neMakeV3(-1, 0, -1), neMakeV3(1, 2, 1)).empty());
}

TEST(TerrainTree, FreeAndRebuildReleaseEverything) {
    CountingAllocator alloc;
    TestTerrain terrain(20, 1.0f, [](f32 x, f32) { return x * 0.1f; });
    neTriangleMesh mesh = terrain.Mesh();
    {
        neTerrainTree tree;
        ASSERT_TRUE(tree.Build(mesh, &alloc, 10, -1));
        ASSERT_TRUE(tree.Build(mesh, &alloc, 10, -1));
        tree.Free();
        EXPECT_EQ(alloc.outstanding, 0u);
        ASSERT_TRUE(tree.Build(mesh, &alloc, 10, -1));
    }
    EXPECT_EQ(alloc.outstanding, 0u);
}

TEST(TerrainTree, FullNodeArrayThatCannotGrowEndsInLeaves) {
    std::mt19937 gen(9);
    TestTerrain terrain(24, 2.0f, [](f32 x, f32 z) { return std::sin(x + z); });
    neTriangleMesh mesh = terrain.Mesh();
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(mesh, nullptr, 3, 0));
    EXPECT_EQ(tree.NodeCount(), 3);
    ExpectQueriesFindEveryTouchingTriangle(tree, gen, 26, -2, 2);
}

TEST(TerrainTree, TriangleBoxOverlapCountsTouching) {
    neV3 v0 = neMakeV3(0, 0, 0), v1 = neMakeV3(1, 0, 0), v2 = neMakeV3(0, 1, 0);
    EXPECT_TRUE(neTriBoxOverlap(neMakeV3(2, 0, 0), neMakeV3(1, 0.1f, 0.1f), v0, v1, v2));
    EXPECT_FALSE(neTriBoxOverlap(neMakeV3(2.01f, 0, 0), neMakeV3(1, 0.1f, 0.1f), v0, v1, v2));
    EXPECT_TRUE(neTriBoxOverlap(neMakeV3(0.25f, 0.25f, 0.5f), neMakeV3(0.1f, 0.1f, 0.5f), v0, v1, v2));
    EXPECT_FALSE(neTriBoxOverlap(neMakeV3(0.25f, 0.25f, 0.6f), neMakeV3(0.1f, 0.1f, 0.5f), v0, v1, v2));
    // Beyond the hypotenuse: only the edge axis separates.
    EXPECT_FALSE(neTriBoxOverlap(neMakeV3(0.7f, 0.7f, 0), neMakeV3(0.1f, 0.1f, 0.1f), v0, v1, v2));
}

TEST(TerrainTree, SimulatorKeepsAnEarlierTerrainWhenANewOneIsRefused) {
    SimulatorHolder sim;
    TestTerrain terrain(4, 1.0f, FlatHeight);
    neTriangleMesh mesh = terrain.Mesh();
    EXPECT_TRUE(sim->SetTerrainMesh(&mesh));
    EXPECT_FALSE(sim->SetTerrainMesh(nullptr));
    neTriangleMesh broken = mesh;
    broken.vertexCount = 0;
    EXPECT_FALSE(sim->SetTerrainMesh(&broken));
    EXPECT_EQ(sim->region.Terrain().TriangleCount(), 32);
    sim->FreeTerrainMesh();
    EXPECT_TRUE(sim->region.Terrain().IsEmpty());
}

// A leaf's cells hand over exactly the triangles a scan of the whole leaf
// finds on their footprints, in the leaf's order: boxes of every size,
// inside the leaf, across its edges and beyond it, points included.
TEST(TerrainTree, LeafCellsFindWhatAFullScanFindsInTheSameOrder) {
    // Leaves of more than 64 triangles (more than one mask word), and a
    // mesh small enough to be a single leaf at the root.
    TestTerrain rolling(192, 1.0f, [](f32 x, f32 z) { return std::sin(x * 0.3f) * 2 + std::cos(z * 0.2f); });
    TestTerrain one(2, 3.0f, FlatHeight);
    std::mt19937 gen(11);
    for (TestTerrain* terrain : {&rolling, &one}) {
        neTerrainTree tree;
        ASSERT_TRUE(tree.Build(terrain->Mesh(), nullptr, 200, -1));
        std::vector<const neTreeNode*> leaves;
        for (s32 n = NE_TREE_ROOT; n < tree.NodeCount(); ++n)
            if (tree.GetNode(n)->IsLeaf()) leaves.push_back(tree.GetNode(n));
        ASSERT_FALSE(leaves.empty());
        EXPECT_GT(leaves.front()->triangleCount, terrain == &one ? 0 : NE_TREE_MASK_BITS);
        std::uniform_real_distribution<f32> at(-0.2f, 1.2f), size(0.0f, 6.0f);
        size_t nonEmpty = 0;
        for (int q = 0; q < 400; ++q) {
            const neTreeNode& leaf = *leaves[static_cast<size_t>(q) % leaves.size()];
            auto across = [&](s32 a) { return leaf.bounds[a][0] + at(gen) * (leaf.bounds[a][1] - leaf.bounds[a][0]); };
            const neV3 lo = neMakeV3(across(0), -10.0f, across(2));
            const neV3 hi = lo + (q % 4 == 0 ? neMakeV3(0, 20, 0) : neMakeV3(size(gen), 20.0f, size(gen)));
            std::vector<s32> scanned, found;
            for (s32 p = 0; p < leaf.triangleCount; ++p) {
                const neTriangleFootprint& f = tree.Footprints()[leaf.triangles[p]];
                if (!(f.maxX < lo.x || f.minX > hi.x || f.maxZ < lo.z || f.minZ > hi.z))
                    scanned.push_back(leaf.triangles[p]);
            }
            tree.ForEachNear(leaf, lo, hi, [&](s32 index, const neTriangleFootprint&) { found.push_back(index); });
            ASSERT_EQ(found, scanned) << "query " << q;
            nonEmpty += found.empty() ? 0 : 1;
        }
        EXPECT_GT(nonEmpty, 200u);
    }
}

namespace {

std::vector<const neTreeNode*> Leaves(const neGrowArray<const neTreeNode*>& found) {
    std::vector<const neTreeNode*> leaves;
    for (s32 i = 0; i < found.Count(); ++i) leaves.push_back(found[i]);
    return leaves;
}

}  // namespace

// A body moving a little each step: the search that starts from the leaf
// its last search found alone gives the leaves the descent from the root
// gives, in the same order, for boxes within that leaf, across its edges,
// beside it, above and below the ground.
TEST(TerrainTree, ASearchFromTheLastLeafFindsWhatTheDescentFinds) {
    TestTerrain rolling(96, 1.0f, [](f32 x, f32 z) { return std::sin(x * 0.3f) * 2 + std::cos(z * 0.2f); });
    neTerrainTree tree;
    ASSERT_TRUE(tree.Build(rolling.Mesh(), nullptr, 200, -1));
    std::mt19937 gen(5);
    std::uniform_real_distribution<f32> step(-0.5f, 0.5f), size(0.1f, 2.5f);
    const neTreeNode* guess = nullptr;
    neV3 at = neMakeV3(0, 0, 0);
    int guessed = 0;
    for (int q = 0; q < 2000; ++q) {
        at = at + neMakeV3(step(gen), 0, step(gen));
        at.x = std::clamp(at.x, -50.0f, 50.0f);
        at.z = std::clamp(at.z, -50.0f, 50.0f);
        // Mostly reaching the ground; every fifth box high above it.
        const neV3 lo = neMakeV3(at.x, q % 5 == 0 ? 4.0f : -4.0f, at.z);
        const neV3 hi = lo + neMakeV3(size(gen), q % 5 == 0 ? 1.0f : 8.0f, size(gen));
        neGrowArray<const neTreeNode*> descent, near;
        descent.Reserve(16, nullptr, NE_GROW_DOUBLE);
        near.Reserve(16, nullptr, NE_GROW_DOUBLE);
        tree.Query(tree.Root(), descent, lo, hi, 0);
        guessed += guess && Leaves(descent) == std::vector<const neTreeNode*>{guess} ? 1 : 0;
        guess = tree.QueryNear(guess, near, lo, hi);
        ASSERT_EQ(Leaves(near), Leaves(descent)) << "query " << q;
        EXPECT_EQ(guess, descent.Count() == 1 ? descent[0] : guess) << "query " << q;
    }
    EXPECT_GT(guessed, 100) << guessed;  // the guess did its work often
}

// Reads a body's wheel line in the step, where the detection is kept.
struct LineReader : neRigidBodyControllerCallback {
    f32 depth = -1.0f;
    void ControllerCallback(neRigidBodyController* controller, f32) override {
        neRigidBody* body = controller->GetRigidBody();
        body->BeginIterateSensor();
        depth = body->GetNextSensor()->GetDetectDepth();
    }
};

// The simulator drops the leaf a body's last search found when the terrain
// is replaced: a hovering body's wheel line reads the new ground.
TEST(TerrainTree, ABodyFindsTheNewGroundAfterTheTerrainIsReplaced) {
    SimulatorHolder sim;
    TestTerrain high(8, 4.0f, [](f32, f32) { return 2.0f; });
    TestTerrain low(8, 4.0f, [](f32, f32) { return 1.5f; });
    neTriangleMesh mesh = high.Mesh();
    ASSERT_TRUE(sim->SetTerrainMesh(&mesh));
    neRigidBody* body = MakeBox(sim.sim, neMakeV3(1.3f, 3.5f, 0.7f));
    body->AddSensor()->SetLineSensor(neMakeV3(0, 0, 0), neMakeV3(0, -2, 0));
    body->UpdateBoundingInfo();
    body->GravityEnable(false);
    LineReader reader;
    body->AddController(&reader, 0);
    for (int i = 0; i < 3; ++i) sim->Advance(0.01f, 1);
    EXPECT_NEAR(reader.depth, 0.5f, 1e-4f);
    mesh = low.Mesh();
    ASSERT_TRUE(sim->SetTerrainMesh(&mesh));
    sim->Advance(0.01f, 1);
    EXPECT_NEAR(reader.depth, 0.0f, 1e-4f);
    body->SetPos(neMakeV3(1.3f, 3.0f, 0.7f));
    sim->Advance(0.01f, 1);
    EXPECT_NEAR(reader.depth, 0.5f, 1e-4f);
}
