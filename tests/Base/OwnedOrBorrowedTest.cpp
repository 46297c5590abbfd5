// Owned or borrowed pointers: who deletes what when the object is replaced, handed back or let go.
#include "Core/Base/OwnedOrBorrowed.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
struct Tracked
{
    explicit Tracked(std::vector<int>& deaths, int id) : mDeaths(deaths), mId(id) {}
    ~Tracked()
    {
        mDeaths.push_back(mId);
        if (mSlot && mSeen)
            *mSeen = mSlot->get();
    }
    std::vector<int>& mDeaths;
    int mId;
    // Where the slot points while this object is being destroyed.
    const base::OwnedOrBorrowed<Tracked>* mSlot = nullptr;
    Tracked** mSeen = nullptr;
};
} // namespace

TEST(OwnedOrBorrowed, DeletesOnlyWhatItOwnsWhenReplacedOrDestroyed)
{
    std::vector<int> deaths;
    Tracked borrowed(deaths, 0);
    {
        base::OwnedOrBorrowed<Tracked> slot;
        slot.reset(new Tracked(deaths, 1), true);
        EXPECT_TRUE(slot.owns());
        slot.borrow(&borrowed);
        EXPECT_EQ(deaths, std::vector<int>{1}) << "the owned object goes when another replaces it";
        EXPECT_EQ(slot.get(), &borrowed);
        EXPECT_FALSE(slot.owns());
        slot.own(std::make_unique<Tracked>(deaths, 2));
        EXPECT_EQ(deaths, std::vector<int>{1}) << "a borrowed object is never deleted";
        slot.reset(nullptr, true);
        EXPECT_EQ(deaths, (std::vector<int>{1, 2}));
        EXPECT_FALSE(slot);
        slot.own(std::make_unique<Tracked>(deaths, 3));
    }
    EXPECT_EQ(deaths, (std::vector<int>{1, 2, 3})) << "the owned object goes with the slot";
}

TEST(OwnedOrBorrowed, GivingTheSameObjectAgainOnlyChangesWhoDeletesIt)
{
    std::vector<int> deaths;
    auto* object = new Tracked(deaths, 1);
    std::unique_ptr<Tracked> back;
    {
        base::OwnedOrBorrowed<Tracked> slot;
        slot.reset(object, true);
        slot.reset(object, true);
        EXPECT_TRUE(deaths.empty()) << "taking over what it already owns keeps it alive";
        slot.reset(object, false);
        EXPECT_TRUE(deaths.empty());
        EXPECT_FALSE(slot.owns());
        slot.reset(object, true);
        back = slot.release();
        EXPECT_EQ(back.get(), object);
        EXPECT_EQ(slot.get(), object) << "still pointed at, now only borrowed";
        EXPECT_FALSE(slot.owns());
    }
    EXPECT_TRUE(deaths.empty()) << "a slot that handed its object back leaves it alive";
    {
        base::OwnedOrBorrowed<Tracked> slot;
        slot.own(std::move(back));
        Tracked* dying = slot.get();
        slot.forget();
        EXPECT_FALSE(slot);
        back.reset(dying);
    }
    EXPECT_TRUE(deaths.empty()) << "a forgotten object is left to whoever destroys it";
    back.reset();
    EXPECT_EQ(deaths, std::vector<int>{1});
}

TEST(OwnedOrBorrowed, AReplacedObjectFindsItsSuccessorInPlaceWhenItGoes)
{
    std::vector<int> deaths;
    Tracked* seen = nullptr;
    base::OwnedOrBorrowed<Tracked> slot;
    slot.own(std::make_unique<Tracked>(deaths, 1));
    slot->mSlot = &slot;
    slot->mSeen = &seen;
    Tracked next(deaths, 2);
    slot.reset(&next, false);
    EXPECT_EQ(deaths, std::vector<int>{1});
    EXPECT_EQ(seen, &next) << "a destructor that looks back at its holder must not find itself";
}
