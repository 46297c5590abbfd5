// Delegates to members and free functions: subobjects, lifetimes and reset.
#include "Core/Base/Delegate.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
struct Primary
{
    virtual ~Primary() = default;
    int primaryValue = 1;
};

struct Secondary
{
    virtual ~Secondary() = default;
    int secondaryValue = 20;
    int Add(int a, int b) { return secondaryValue + a + b; }
    const Secondary* Self() { return this; }
};

struct Both : Primary, Secondary
{
};

struct Counter : base::Trackable
{
    int calls = 0;
    int last = 0;
    void Tick() { ++calls; }
    void Take(int v) { last = v; }
    std::string Join(const std::string& a, int b) { return a + std::to_string(b + calls); }
};

// Not trackable: only Reset can stop the calls.
struct Plain
{
    int value = 3;
    int Get() { return value; }
};

int gFreeCalls = 0;
int Multiply(int a, int b)
{
    ++gFreeCalls;
    return a * b;
}
void Bump() { ++gFreeCalls; }
} // namespace

TEST(Delegate, MembersRunOnTheirSubobjectThroughAnyInterfaceAndResetNullOrAGoneObjectMakeInvokeANoOp)
{
    Both both;
    base::MemberDelegate2<Both, int, int, int> add(&both, &Both::Add);
    EXPECT_EQ(add.Invoke(1, 2), 23);

    base::MemberDelegate0<Both, const Secondary*> self(&both, &Both::Self);
    EXPECT_EQ(self.Invoke(), static_cast<Secondary*>(&both));
    EXPECT_NE(static_cast<const void*>(self.Invoke()), static_cast<const void*>(&both));

    Plain p;
    base::MemberDelegate0<Plain, int> get(&p, &Plain::Get);
    EXPECT_EQ(get.Invoke(), 3);
    get.Reset();
    EXPECT_FALSE(get.IsValid());
    EXPECT_EQ(get.Invoke(), 0);

    gFreeCalls = 0;
    base::StaticDelegate2<int, int, int> mul(&Multiply);
    mul.Reset();
    EXPECT_EQ(mul.Invoke(2, 3), 0);
    EXPECT_EQ(gFreeCalls, 0);

    base::MemberDelegate1<Counter, int, void> none(nullptr, &Counter::Take);
    none.Invoke(5);
    EXPECT_FALSE(none.IsValid());
    base::StaticDelegate2<int, int, int> noFunction(nullptr);
    EXPECT_EQ(noFunction.Invoke(1, 2), 0);

    // A call after the object is gone does nothing, but a copy has its own lifetime.
    auto* c = new Counter;
    base::MemberDelegate2<Counter, const std::string&, int, std::string> join(c, &Counter::Join);
    base::MemberDelegate0<Counter, void> tick(c, &Counter::Tick);
    EXPECT_EQ(join.Invoke("a", 1), "a1");
    EXPECT_TRUE(tick.IsValid());
    delete c;
    EXPECT_FALSE(tick.IsValid());
    tick.Invoke(); // would be a use after free without the alive token
    EXPECT_EQ(join.Invoke("a", 1), "");

    auto* original = new Counter;
    Counter copy = *original;
    base::MemberDelegate0<Counter, void> onCopy(&copy, &Counter::Tick);
    delete original;
    onCopy.Invoke();
    EXPECT_EQ(copy.calls, 1);

    // Called through the abstract interfaces.
    Counter counter;
    std::unique_ptr<base::Delegate0<void>> tickAny(new base::MemberDelegate0<Counter, void>(&counter, &Counter::Tick));
    std::unique_ptr<base::Delegate1<int, void>> take(
        new base::MemberDelegate1<Counter, int, void>(&counter, &Counter::Take));
    std::unique_ptr<base::Delegate2<const std::string&, int, std::string>> joinAny(
        new base::MemberDelegate2<Counter, const std::string&, int, std::string>(&counter, &Counter::Join));
    tickAny->Invoke();
    tickAny->Invoke();
    take->Invoke(9);
    EXPECT_EQ(counter.calls, 2);
    EXPECT_EQ(counter.last, 9);
    EXPECT_EQ(joinAny->Invoke("n=", 1), "n=3");

    std::unique_ptr<base::Delegate0<void>> bump(new base::StaticDelegate0<void>(&Bump));
    gFreeCalls = 0;
    bump->Invoke();
    EXPECT_EQ(gFreeCalls, 1);
}
