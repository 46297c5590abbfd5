// Counted references: shared counts, assignment, moves, conversions and owner-kept counts.
#include "Core/Base/CountedPtr.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{
int gDeleted = 0;

struct Thing
{
    virtual ~Thing() { ++gDeleted; }
    int value = 7;
};
struct DerivedThing : Thing
{
};

// Handed back to a fake owner that keeps the count, as the resource manager does.
struct Owned : base::Destroyable
{
    int* count = new int(0);
    int destroyCalls = 0;
    void Destroy() override
    {
        ++destroyCalls;
        EXPECT_EQ(*count, 0);
    }
    ~Owned() override { delete count; }
};
} // namespace

TEST(CountedPtr, CopiesShareOneCountAssignmentReleasesAndTheLastReleaseDeletesOrGoesBackToTheOwner)
{
    gDeleted = 0;
    base::CountedPtr<Thing> a(new Thing);
    EXPECT_EQ(a.UseCount(), 1);
    {
        base::CountedPtr<Thing> b = a;
        base::CountedPtr<Thing> c(b);
        EXPECT_EQ(a.UseCount(), 3);
        EXPECT_EQ(b.Get(), a.Get());
    }
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(gDeleted, 0);
    a.Release();
    EXPECT_EQ(gDeleted, 1);
    EXPECT_FALSE(a);
    EXPECT_EQ(a.UseCount(), 0);
    a.Release(); // empty: nothing happens
    EXPECT_EQ(gDeleted, 1);

    // A destroyable object goes back to its owner, who keeps the count.
    Owned owned;
    base::CountedPtr<Owned> first(&owned, owned.count);
    base::CountedPtr<Owned> second(&owned, owned.count);
    EXPECT_EQ(*owned.count, 2);
    first.Release();
    EXPECT_EQ(owned.destroyCalls, 0);
    second.Release();
    EXPECT_EQ(owned.destroyCalls, 1);
    EXPECT_EQ(*owned.count, 0); // not freed by the reference

    // Assignment releases the old object, moves do not count, derived converts.
    gDeleted = 0;
    a = new Thing;
    base::CountedPtr<Thing> b(new Thing);
    b = a;
    EXPECT_EQ(gDeleted, 1);
    EXPECT_EQ(a.UseCount(), 2);
    a = new Thing; // fresh count for the new object
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(b.UseCount(), 1);
    a = nullptr;
    EXPECT_EQ(gDeleted, 2);
    EXPECT_EQ(a.GetCountPointer(), nullptr);

    a = new Thing;
    base::CountedPtr<Thing>& alias = a;
    a = alias;
    a = a.Get();
    EXPECT_EQ(gDeleted, 2);
    EXPECT_EQ(a.UseCount(), 1);
    EXPECT_EQ(a->value, 7);

    // Moves transfer without counting.
    b.Release();
    gDeleted = 0;
    b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(b.UseCount(), 1);
    std::vector<base::CountedPtr<Thing>> list;
    list.push_back(b);
    list.push_back(b);
    list.resize(10);
    EXPECT_EQ(b.UseCount(), 3);
    list.clear();
    b = base::CountedPtr<Thing>();
    EXPECT_EQ(gDeleted, 1);

    base::CountedPtr<DerivedThing> d(new DerivedThing);
    base::CountedPtr<Thing> t = d;
    EXPECT_EQ(d.UseCount(), 2);
    d.Release();
    EXPECT_EQ(gDeleted, 1);
    t.Release();
    EXPECT_EQ(gDeleted, 2);
}
