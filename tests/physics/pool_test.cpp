#include "physics/pool.h"
#include "physics_test_util.h"

namespace {

struct Item {
    int value;
    Item* next;
    Item* prev;
};

}  // namespace

TEST(Pool, HandsOutEveryRecordOnceThenNothing) {
    nePool<Item> pool;
    ASSERT_TRUE(pool.Reserve(3, nullptr));
    Item* a = pool.Alloc();
    Item* b = pool.Alloc();
    Item* c = pool.Alloc();
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(pool.Alloc(), nullptr);
    EXPECT_EQ(pool.UsedCount(), 3);
    EXPECT_EQ(pool.FreeCount(), 0);
    EXPECT_EQ(pool.IndexOf(b), 1);
    // The used list runs in allocation order.
    EXPECT_EQ(pool.FirstUsed(), a);
    EXPECT_EQ(pool.NextUsed(a), b);
    EXPECT_EQ(pool.NextUsed(b), c);
    EXPECT_EQ(pool.NextUsed(c), nullptr);
}

TEST(Pool, FreedRecordIsHandedOutFirst) {
    nePool<Item> pool;
    ASSERT_TRUE(pool.Reserve(4, nullptr));
    Item* a = pool.Alloc();
    Item* b = pool.Alloc();
    pool.Alloc();
    ASSERT_TRUE(pool.Free(b));
    EXPECT_EQ(pool.Alloc(), b);
    ASSERT_TRUE(pool.Free(a));
    EXPECT_EQ(pool.Alloc(), a);
    // a went to the end of the used list.
    Item* last = nullptr;
    for (Item* i = pool.FirstUsed(); i; i = pool.NextUsed(i)) last = i;
    EXPECT_EQ(last, a);
}

TEST(Pool, InvalidAndDoubleFreesChangeNothing) {
    nePool<Item> pool;
    ASSERT_TRUE(pool.Reserve(2, nullptr));
    Item* a = pool.Alloc();
    Item outside{};
    EXPECT_FALSE(pool.Free(&outside));
    EXPECT_FALSE(pool.Free(reinterpret_cast<Item*>(reinterpret_cast<char*>(a) + 4)));
    EXPECT_FALSE(pool.Free(nullptr));
    EXPECT_TRUE(pool.Free(a));
    EXPECT_FALSE(pool.Free(a));
    EXPECT_EQ(pool.UsedCount(), 0);
    EXPECT_EQ(pool.FreeCount(), 2);
    EXPECT_FALSE(pool.IsInUse(a));
}

TEST(Pool, FailedAllocationLeavesAnEmptyPool) {
    CountingAllocator alloc;
    alloc.failNext = true;
    nePool<Item> pool;
    EXPECT_FALSE(pool.Reserve(10, &alloc));
    EXPECT_EQ(pool.Alloc(), nullptr);
}

TEST(GrowArray, GrowsByItsStepOrDoublesOrRefuses) {
    neGrowArray<int> fixed;
    ASSERT_TRUE(fixed.Reserve(2, nullptr, NE_GROW_NEVER));
    EXPECT_TRUE(fixed.Push(1));
    EXPECT_TRUE(fixed.Push(2));
    EXPECT_FALSE(fixed.Push(3));
    EXPECT_EQ(fixed.Count(), 2);

    neGrowArray<int> stepped;
    ASSERT_TRUE(stepped.Reserve(2, nullptr, 3));
    for (int i = 0; i < 3; ++i) stepped.Push(i);
    EXPECT_EQ(stepped.Capacity(), 5);
    EXPECT_EQ(stepped[2], 2);

    neGrowArray<int> doubling;
    ASSERT_TRUE(doubling.Reserve(2, nullptr, NE_GROW_DOUBLE));
    for (int i = 0; i < 5; ++i) doubling.Push(i * 10);
    EXPECT_EQ(doubling.Capacity(), 8);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(doubling[i], i * 10);
}

TEST(GrowArray, FailedGrowthKeepsTheOldContents) {
    CountingAllocator alloc;
    {
        neGrowArray<int> a;
        ASSERT_TRUE(a.Reserve(1, &alloc, NE_GROW_DOUBLE));
        a.Push(7);
        alloc.failNext = true;
        EXPECT_FALSE(a.Push(8));
        EXPECT_EQ(a.Count(), 1);
        EXPECT_EQ(a[0], 7);
        EXPECT_TRUE(a.Push(8));
    }
    EXPECT_EQ(alloc.outstanding, 0u);
    EXPECT_EQ(alloc.foreignFrees, 0);
}

TEST(GrowArray, WrapUsesExternalDataWithoutOwningIt) {
    int external[3] = {4, 5, 6};
    neGrowArray<int> a;
    a.Wrap(external, 3);
    EXPECT_EQ(a.Count(), 3);
    EXPECT_EQ(a[1], 5);
    EXPECT_FALSE(a.Push(1));
    a.Release();
    EXPECT_EQ(external[2], 6);
}

TEST(List, AppendsInsertsAndUnlinks) {
    Item a{1, nullptr, nullptr}, b{2, nullptr, nullptr}, c{3, nullptr, nullptr};
    neList<Item> list;
    list.Add(&a);
    list.Add(&c);
    list.InsertAfter(&a, &b);
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(list.first, &a);
    EXPECT_EQ(a.next, &b);
    EXPECT_EQ(b.next, &c);
    EXPECT_EQ(list.last, &c);
    list.Unlink(&a);
    EXPECT_EQ(list.first, &b);
    EXPECT_EQ(a.next, nullptr);
    list.InsertBefore(&b, &a);
    EXPECT_EQ(list.first, &a);
    list.Unlink(&c);
    EXPECT_EQ(list.last, &b);
    EXPECT_EQ(list.count, 2);
}

TEST(DefaultAllocator, TotalOnlyGrows) {
    neDefaultAllocator alloc;
    void* p = alloc.Alloc(100, 0);
    EXPECT_EQ(alloc.usedMemory, 100u);
    alloc.Free(p);
    EXPECT_EQ(alloc.usedMemory, 100u);
}
