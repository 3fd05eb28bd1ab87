#include "physics_test_util.h"

TEST(Materials, IndicesOutsideTheTableAreRefused) {
    SimulatorHolder sim;
    f32 friction = -1, restitution = -1;
    EXPECT_TRUE(sim->GetMaterial(17, friction, restitution));
    EXPECT_FLOAT_EQ(friction, 0.5f);
    EXPECT_FLOAT_EQ(restitution, 0.4f);
    EXPECT_TRUE(sim->SetMaterial(255, 0.9f, 0.1f));
    EXPECT_FALSE(sim->SetMaterial(256, 0.9f, 0.1f));
    EXPECT_FALSE(sim->SetMaterial(-1, 0.9f, 0.1f));
    friction = restitution = 7;
    EXPECT_FALSE(sim->GetMaterial(256, friction, restitution));
    EXPECT_EQ(friction, 7);
    EXPECT_TRUE(sim->GetMaterial(255, friction, restitution));
    EXPECT_FLOAT_EQ(friction, 0.9f);
    f32 extra = 0;
    EXPECT_TRUE(sim->GetMaterialImpl(255, friction, restitution, extra));
    EXPECT_EQ(extra, 0.0f);
    EXPECT_TRUE(sim->GetMaterialImpl(3, friction, restitution, extra));
    EXPECT_EQ(extra, 1.0f);
}

TEST(Materials, OutOfRangeIndexReadsTheDefaultMaterial) {
    SimulatorHolder sim;
    sim->SetMaterial(0, 0.1f, 0.2f);
    EXPECT_FLOAT_EQ(sim->MaterialAt(300).friction, 0.5f);
    EXPECT_FLOAT_EQ(sim->MaterialAt(-4).restitution, 0.4f);
    EXPECT_FLOAT_EQ(sim->MaterialAt(0).friction, 0.1f);
}

TEST(CollisionTable, SetIsSymmetricAndMinusOneSelectsPerIdEntries) {
    neCollisionTable table;
    table.Set(3, 5, 2);
    EXPECT_EQ(table.Get(5, 3), 2);
    EXPECT_EQ(table.GetImpl(3, 5), 2);
    table.Set(0, -1, 3);
    EXPECT_EQ(table.GetTerrain(0), 3);
    EXPECT_EQ(table.GetImpl(-1, 0), 3);
    EXPECT_EQ(table.GetImpl(0, -1), 3);
    table.Set(-1, 7, 0);
    EXPECT_EQ(table.GetImpl(7, -1), 0);
    EXPECT_EQ(table.GetImpl(-1, -1), 0);
    table.Set(-1, -1, 3);  // nothing
    table.Reset();
    EXPECT_EQ(table.Get(3, 5), 1);
    EXPECT_EQ(table.GetTerrain(0), 1);
}

TEST(CollisionTable, IdsOutsideTheTableAreIgnoredAndReadAsZero) {
    neCollisionTable table;
    table.Set(64, 0, 3);
    table.Set(0, 64, 3);
    table.Set(-2, 1, 3);
    table.Set(100, -1, 3);
    table.Set(-1, -5, 3);
    EXPECT_EQ(table.Get(64, 0), 0);
    EXPECT_EQ(table.Get(0, 64), 0);
    EXPECT_EQ(table.Get(-3, 0), 0);
    EXPECT_EQ(table.GetImpl(70, 1), 0);
    EXPECT_EQ(table.GetTerrain(-1), 0);
    EXPECT_EQ(table.GetTerrain(64), 0);
    // Nothing valid was changed.
    for (s32 i = 0; i < 64; ++i) {
        EXPECT_EQ(table.Get(i, 0), 1);
        EXPECT_EQ(table.GetTerrain(i), 1);
    }
}
