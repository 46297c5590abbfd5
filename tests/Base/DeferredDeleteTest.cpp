#include "Core/Base/DeferredDelete.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

class DeferredDeleteTest : public ::testing::Test
{
protected:
    void SetUp() override { gLog.clear(); }
};
} // namespace

TEST_F(DeferredDeleteTest, DeletesInQueueOrderAndEmptiesTheQueue)
{
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
}

TEST_F(DeferredDeleteTest, QueueingTwiceDeletesOnce)
{
    base::DeferredDeleteManager m;
    Item* item = new Item("once");
    m.QueueDelete(item);
    m.QueueDelete(item);
    EXPECT_TRUE(m.IsQueued(item));
    EXPECT_EQ(m.GetQueuedCount(), 1u);
    m.DeleteQueued();
    EXPECT_EQ(gLog, std::vector<std::string>{"once"});
}

TEST_F(DeferredDeleteTest, ObjectsQueuedByADestructorGoInTheSamePass)
{
    base::DeferredDeleteManager m;
    Item* later = new Item("later");
    m.QueueDelete(new Item("first", &m, later));
    m.DeleteQueued();
    EXPECT_EQ(gLog, (std::vector<std::string>{"first", "later"}));
    EXPECT_EQ(m.GetQueuedCount(), 0u);
}

TEST_F(DeferredDeleteTest, RequeueingAPendingObjectFromADestructorDeletesItOnce)
{
    base::DeferredDeleteManager m;
    Item* second = new Item("second");
    m.QueueDelete(new Item("first", &m, second));
    m.QueueDelete(second);
    m.DeleteQueued();
    EXPECT_EQ(gLog, (std::vector<std::string>{"first", "second"}));
}

TEST_F(DeferredDeleteTest, ManagerDeletesWhatIsLeftWhenItGoes)
{
    {
        base::DeferredDeleteManager m;
        m.QueueDelete(new Item("left"));
    }
    EXPECT_EQ(gLog, std::vector<std::string>{"left"});
}
