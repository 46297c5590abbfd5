// Object lifetimes: singletons deleted in creation order unless a dependency comes first, and
// deferred deletion in queue order, once each.
#include "Core/Base/Singletone.h"
#include "Core/Base/DeferredDelete.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> gDeleted;

struct Alpha : base::Singletone<Alpha>
{
    ~Alpha() override { gDeleted.push_back("Alpha"); }
};
struct Beta : base::Singletone<Beta>
{
    ~Beta() override { gDeleted.push_back("Beta"); }
};
// Gamma uses Alpha.
struct Gamma : base::Singletone<Gamma>
{
    ~Gamma() override { gDeleted.push_back("Gamma"); }
    std::vector<base::SingletoneBase*> GetDependencies() override { return {Alpha::Instance()}; }
};
struct CycleB;
struct CycleA : base::Singletone<CycleA>
{
    ~CycleA() override { gDeleted.push_back("CycleA"); }
    std::vector<base::SingletoneBase*> GetDependencies() override;
};
struct CycleB : base::Singletone<CycleB>
{
    ~CycleB() override { gDeleted.push_back("CycleB"); }
    std::vector<base::SingletoneBase*> GetDependencies() override { return {CycleA::Instance()}; }
};
std::vector<base::SingletoneBase*> CycleA::GetDependencies() { return {CycleB::Instance()}; }
} // namespace

TEST(Singletone, OneInstanceDeletedInCreationOrderUnlessADependencyComesFirstEvenInCycles)
{
    base::SingletoneBase::DestroyAll();
    gDeleted.clear();
    Alpha* a = Alpha::Instance();
    EXPECT_EQ(a, Alpha::Instance());
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(Alpha::Exists());
    EXPECT_EQ(gDeleted, std::vector<std::string>{"Alpha"});

    using Names = std::vector<std::string>;
    struct Case
    {
        const char* what;
        void (*create)();
        Names deleted;
    };
    const Case cases[] = {
        {"unconstrained: creation order",
         []
         {
             Alpha::Instance();
             Beta::Instance();
         },
         {"Alpha", "Beta"}},
        {"dependent created last moves in front",
         []
         {
             Alpha::Instance();
             Gamma::Instance();
         },
         {"Gamma", "Alpha"}},
        {"dependency created later",
         []
         {
             Gamma::Instance(); // creates Alpha only when asked for its dependencies
             Alpha::Instance();
         },
         {"Gamma", "Alpha"}},
        {"explicit pair",
         []
         {
             Alpha* alpha = Alpha::Instance();
             base::SingletoneBase::AddDependency(Beta::Instance(), alpha); // Beta uses Alpha
         },
         {"Beta", "Alpha"}},
    };
    for (const Case& c : cases)
    {
        gDeleted.clear();
        c.create();
        base::SingletoneBase::DestroyAll();
        EXPECT_EQ(gDeleted, c.deleted) << c.what;
    }

    // Pairs with an unregistered member change nothing; cycles still delete everything.
    gDeleted.clear();
    a = Alpha::Instance();
    Beta* b = Beta::Instance();
    auto* outside = reinterpret_cast<base::SingletoneBase*>(&gDeleted); // never registered
    base::SingletoneBase::AddDependency(b, outside);
    base::SingletoneBase::AddDependency(outside, a);
    base::SingletoneBase::DestroyAll();
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"Alpha", "Beta"}));
    gDeleted.clear();
    CycleA::Instance();
    CycleB::Instance();
    testing::internal::CaptureStderr();
    base::SingletoneBase::DestroyAll();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(gDeleted.size(), 2u);
}

namespace
{
std::vector<std::string> gLog;

struct Item : base::DeferredDeletable
{
    explicit Item(std::string n, base::DeferredDeleteManager* m = nullptr, Item* requeue = nullptr)
        : name(std::move(n)), manager(m), toQueue(requeue)
    {
    }
    ~Item() override
    {
        gLog.push_back(name);
        if (manager && toQueue)
            manager->QueueDelete(toQueue);
    }
    std::string name;
    base::DeferredDeleteManager* manager;
    Item* toQueue;
};
} // namespace

TEST(DeferredDelete, DeletesInQueueOrderOnceEachEvenWhenQueuedByADestructor)
{
    gLog.clear();
    base::DeferredDeleteManager m;
    m.QueueDelete(new Item("a"));
    m.QueueDelete(nullptr);
    m.QueueDelete(new Item("b"));
    EXPECT_EQ(m.GetQueuedCount(), 2u);
    EXPECT_TRUE(gLog.empty());
    m.DeleteQueued();
    EXPECT_EQ(gLog, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(m.GetQueuedCount(), 0u);
    m.DeleteQueued();
    EXPECT_EQ(gLog.size(), 2u);

    Item* item = new Item("once");
    m.QueueDelete(item);
    m.QueueDelete(item);
    EXPECT_TRUE(m.IsQueued(item));
    EXPECT_EQ(m.GetQueuedCount(), 1u);
    m.DeleteQueued();
    EXPECT_EQ(gLog, (std::vector<std::string>{"a", "b", "once"}));
    {
        base::DeferredDeleteManager left;
        left.QueueDelete(new Item("left"));
    }
    EXPECT_EQ(gLog.back(), "left");

    // Objects queued by a destructor go in the same pass, once.
    gLog.clear();
    Item* later = new Item("later");
    m.QueueDelete(new Item("first", &m, later));
    m.DeleteQueued();
    EXPECT_EQ(gLog, (std::vector<std::string>{"first", "later"}));
    EXPECT_EQ(m.GetQueuedCount(), 0u);

    // Requeueing an object still pending from a destructor deletes it once.
    Item* second = new Item("second");
    m.QueueDelete(new Item("first", &m, second));
    m.QueueDelete(second);
    m.DeleteQueued();
    EXPECT_EQ(gLog, (std::vector<std::string>{"first", "later", "first", "second"}));
}
