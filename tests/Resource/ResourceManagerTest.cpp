#include "Core/Resource/ResourceManager.h"
#include "Core/Base/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> gEvents;
QLResultEnum gLoadResult = QL_OK;
QLResultEnum gUnloadResult = QL_OK;

struct FakeResource : resource::Resource
{
    ~FakeResource() override { gEvents.push_back("delete " + Narrow()); }
    void Destroy() override { resource::ResourceManager::ReleaseResource(this); }
    QLResultEnum DoLoad() override
    {
        gEvents.push_back("load " + Narrow());
        return gLoadResult;
    }
    QLResultEnum DoUnLoad() override
    {
        gEvents.push_back("unload " + Narrow());
        return gUnloadResult;
    }
    std::string Narrow() const { return std::string(mName.begin(), mName.end()); }
};

// A second kind keeps its own table.
struct OtherResource : FakeResource
{
    void Destroy() override { resource::ResourceManager::ReleaseResource(this); }
};

// Refuses every name.
struct RefusingResource : FakeResource
{
    void Destroy() override { resource::ResourceManager::ReleaseResource(this); }

protected:
    QLResultEnum OnInit() override { return QL_FAIL; }
};

struct CaptureOutput : base::LogOutput
{
    explicit CaptureOutput(std::wstring* sink) : mSink(sink) {}
    void Write(const std::wstring& text) override { *mSink += text; }
    std::wstring* mSink;
};

class ResourceManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        gEvents.clear();
        gLoadResult = gUnloadResult = QL_OK;
        base::MainLog::Instance()->AddPlainOutput(new CaptureOutput(&mLog));
        base::MainLog::Instance()->AddHtmlOutput(new CaptureOutput(&mHtml));
        mLog.clear();
    }
    void TearDown() override { base::SingletoneBase::DestroyAll(); }

    resource::ResourceManager& Manager() { return *resource::ResourceManager::Instance(); }
    size_t TableSize() { return Manager().GetMap<FakeResource>().size(); }

    std::wstring mLog;
    std::wstring mHtml;
};
} // namespace

TEST_F(ResourceManagerTest, SameNameSharesOneObjectUntilTheLastRelease)
{
    auto a = Manager().Get<FakeResource>(L"font");
    auto b = Manager().Get<FakeResource>(L"font");
    ASSERT_TRUE(a);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_EQ(a.UseCount(), 2);
    EXPECT_EQ(a->GetName(), L"font");
    EXPECT_FALSE(a->IsLoaded()); // Get does not load

    a.Release();
    EXPECT_EQ(TableSize(), 1u);
    EXPECT_TRUE(gEvents.empty());
    b.Release();
    EXPECT_EQ(TableSize(), 0u);
    EXPECT_EQ(gEvents, std::vector<std::string>{"delete font"});

    auto c = Manager().Get<FakeResource>(L"font");
    EXPECT_EQ(c.UseCount(), 1);
    EXPECT_EQ(TableSize(), 1u);
}

TEST_F(ResourceManagerTest, LastReleaseOfALoadedResourceUnloadsBeforeDeleting)
{
    auto a = Manager().Get<FakeResource>(L"tex");
    ASSERT_EQ(a->Load(), QL_OK);
    EXPECT_TRUE(a->IsLoaded());
    a = nullptr;
    EXPECT_EQ(gEvents, (std::vector<std::string>{"load tex", "unload tex", "delete tex"}));
}

TEST_F(ResourceManagerTest, SecondLoadOnlyLogs)
{
    auto a = Manager().Get<FakeResource>(L"snd<1>");
    ASSERT_EQ(a->Load(), QL_OK);
    EXPECT_EQ(a->Load(), QL_OK);
    EXPECT_EQ(gEvents, std::vector<std::string>{"load snd<1>"});
    EXPECT_NE(mLog.find(L"Trying to Load already loaded resource 'snd<1>'.\n"), std::wstring::npos) << mLog;
    EXPECT_NE(mHtml.find(L"<div class=\"block\">Trying to Load already loaded resource 'snd&lt;1&gt;'."),
              std::wstring::npos)
        << mHtml;
}

TEST_F(ResourceManagerTest, UnloadOfAnUnloadedResourceOnlyLogs)
{
    auto a = Manager().Get<FakeResource>(L"mesh");
    EXPECT_EQ(a->UnLoad(), QL_OK);
    EXPECT_TRUE(gEvents.empty());
    EXPECT_NE(mLog.find(L"Trying to UnLoad already unloaded resource 'mesh'.\n"), std::wstring::npos) << mLog;
    ASSERT_EQ(a->Load(), QL_OK);
    ASSERT_EQ(a->UnLoad(), QL_OK);
    EXPECT_FALSE(a->IsLoaded());
}

TEST_F(ResourceManagerTest, FailingLoadReturnsItsCodeAndStaysUnloaded)
{
    gLoadResult = static_cast<QLResultEnum>(7);
    auto a = Manager().Get<FakeResource>(L"bad");
    EXPECT_EQ(a->Load(), static_cast<QLResultEnum>(7));
    EXPECT_FALSE(a->IsLoaded());
    gLoadResult = QL_OK;
    EXPECT_EQ(a->Load(), QL_OK);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"load bad", "load bad"}));
}

TEST_F(ResourceManagerTest, FailingUnloadKeepsTheEntry)
{
    auto a = Manager().Get<FakeResource>(L"stuck");
    ASSERT_EQ(a->Load(), QL_OK);
    FakeResource* object = a.Get();
    gUnloadResult = QL_FAIL;
    a.Release();
    EXPECT_EQ(TableSize(), 1u);
    EXPECT_TRUE(object->IsLoaded());

    // A new reference revives it; the next last release succeeds.
    auto b = Manager().Get<FakeResource>(L"stuck");
    EXPECT_EQ(b.Get(), object);
    EXPECT_EQ(b.UseCount(), 1);
    gUnloadResult = QL_OK;
    b.Release();
    EXPECT_EQ(TableSize(), 0u);
    EXPECT_EQ(gEvents.back(), "delete stuck");
}

TEST_F(ResourceManagerTest, NamesDifferingInCaseAreSeparateEntries)
{
    auto lower = Manager().Get<FakeResource>(L"td/a.png");
    auto upper = Manager().Get<FakeResource>(L"td/A.png");
    EXPECT_NE(lower.Get(), upper.Get());
    EXPECT_EQ(TableSize(), 2u);
}

TEST_F(ResourceManagerTest, EachKindHasItsOwnTable)
{
    auto fake = Manager().Get<FakeResource>(L"x");
    auto other = Manager().Get<OtherResource>(L"x");
    EXPECT_NE(static_cast<FakeResource*>(other.Get()), fake.Get());
    EXPECT_EQ(TableSize(), 1u);
    EXPECT_EQ(Manager().GetMap<OtherResource>().size(), 1u);
    other.Release();
    EXPECT_EQ(Manager().GetMap<OtherResource>().size(), 0u);
    EXPECT_EQ(TableSize(), 1u);
}

TEST_F(ResourceManagerTest, FailedInitGivesAnEmptyReferenceAndNoEntry)
{
    auto refused = Manager().Get<RefusingResource>(L"nope");
    EXPECT_FALSE(refused);
    EXPECT_EQ(Manager().GetMap<RefusingResource>().size(), 0u);
    EXPECT_EQ(gEvents, std::vector<std::string>{"delete nope"});
    EXPECT_NE(mLog.find(L"Cannot init resource 'nope'"), std::wstring::npos) << mLog;
}

TEST_F(ResourceManagerTest, DestroyOfAnUnlistedObjectIsHarmless)
{
    FakeResource loose;
    EXPECT_EQ(Manager().Destroy(&loose), QL_OK);
    EXPECT_TRUE(gEvents.empty());
}

TEST_F(ResourceManagerTest, ReferenceOutlivingTheManagerIsReleasedSafely)
{
    auto survivor = Manager().Get<FakeResource>(L"late");
    FakeResource* object = survivor.Get();
    int* count = survivor.GetCountPointer();
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(resource::ResourceManager::Exists());
    survivor.Release(); // left alone: no crash, no new manager
    EXPECT_FALSE(resource::ResourceManager::Exists());
    EXPECT_TRUE(gEvents.empty());
    EXPECT_EQ(*count, 0);
    delete object; // the test cleans up what the process would leak at exit
    delete count;
}
