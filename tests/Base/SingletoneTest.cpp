#include "Core/Base/Singletone.h"

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
struct CycleA;
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

class SingletoneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        gDeleted.clear();
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }
};
} // namespace

TEST_F(SingletoneTest, InstanceIsCreatedOnceAndClearedOnDeletion)
{
    Alpha* a = Alpha::Instance();
    EXPECT_EQ(a, Alpha::Instance());
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(Alpha::Exists());
    EXPECT_EQ(gDeleted, std::vector<std::string>{"Alpha"});
}

TEST_F(SingletoneTest, DeletionOrderFollowsCreationUnlessADependencyComesFirst)
{
    using Names = std::vector<std::string>;
    struct Case
    {
        const char* what;
        void (*create)();
        Names deleted;
    };
    const Case cases[] = {
        {"unconstrained: creation order", [] {
             Alpha::Instance();
             Beta::Instance();
         }, {"Alpha", "Beta"}},
        {"dependent created last moves in front", [] {
             Alpha::Instance();
             Gamma::Instance();
         }, {"Gamma", "Alpha"}},
        {"dependency created later", [] {
             Gamma::Instance(); // creates Alpha only when asked for its dependencies
             Alpha::Instance();
         }, {"Gamma", "Alpha"}},
        {"explicit pair",
         [] {
             Alpha* alpha = Alpha::Instance();
             base::SingletoneBase::AddDependency(Beta::Instance(), alpha); // Beta uses Alpha
         }, {"Beta", "Alpha"}},
    };
    for (const Case& c : cases)
    {
        gDeleted.clear();
        c.create();
        base::SingletoneBase::DestroyAll();
        EXPECT_EQ(gDeleted, c.deleted) << c.what;
    }
}

TEST_F(SingletoneTest, PairWithUnregisteredMemberChangesNothing)
{
    Alpha* a = Alpha::Instance();
    Beta* b = Beta::Instance();
    auto* outside = reinterpret_cast<base::SingletoneBase*>(&gDeleted); // never registered
    base::SingletoneBase::AddDependency(b, outside);
    base::SingletoneBase::AddDependency(outside, a);
    base::SingletoneBase::DestroyAll();
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(SingletoneTest, DependencyCycleStillDeletesEverything)
{
    CycleA::Instance();
    CycleB::Instance();
    testing::internal::CaptureStderr();
    base::SingletoneBase::DestroyAll();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(gDeleted.size(), 2u);
}
