// Shared named resources: one object per name and kind, loading, unloading and the last release.
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

TEST_F(ResourceManagerTest, SameNameAndKindShareOneObjectUntilTheLastRelease)
{
    auto a = Manager().Get<FakeResource>(L"font");
    auto b = Manager().Get<FakeResource>(L"font");
    ASSERT_TRUE(a);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_EQ(a.UseCount(), 2);
    EXPECT_EQ(a->GetName(), L"font");
    EXPECT_FALSE(a->IsLoaded()); // Get does not load
    auto upper = Manager().Get<FakeResource>(L"Font");
    EXPECT_NE(upper.Get(), a.Get()) << "names differing in case are separate entries";
    auto other = Manager().Get<OtherResource>(L"font");
    EXPECT_NE(static_cast<FakeResource*>(other.Get()), a.Get());
    EXPECT_EQ(Manager().GetMap<OtherResource>().size(), 1u) << "each kind has its own table";
    other.Release();
    upper.Release();
    EXPECT_EQ(Manager().GetMap<OtherResource>().size(), 0u);
    gEvents.clear();

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

TEST_F(ResourceManagerTest, LoadAndUnloadRunOnceTheLastReleaseUnloadsAndFailuresAreHarmless)
{
    auto a = Manager().Get<FakeResource>(L"snd<1>");
    EXPECT_EQ(a->UnLoad(), QL_OK);
    EXPECT_NE(mLog.find(L"Trying to UnLoad already unloaded resource 'snd<1>'.\n"), std::wstring::npos) << mLog;
    gLoadResult = static_cast<QLResultEnum>(7);
    EXPECT_EQ(a->Load(), static_cast<QLResultEnum>(7)) << "a failing load returns its code";
    EXPECT_FALSE(a->IsLoaded());
    gLoadResult = QL_OK;
    ASSERT_EQ(a->Load(), QL_OK);
    EXPECT_TRUE(a->IsLoaded());
    EXPECT_EQ(a->Load(), QL_OK);
    EXPECT_NE(mLog.find(L"Trying to Load already loaded resource 'snd<1>'.\n"), std::wstring::npos) << mLog;
    EXPECT_NE(mHtml.find(L"<div class=\"block\">Trying to Load already loaded resource 'snd&lt;1&gt;'."),
              std::wstring::npos)
        << mHtml;
    ASSERT_EQ(a->UnLoad(), QL_OK);
    EXPECT_FALSE(a->IsLoaded());
    ASSERT_EQ(a->Load(), QL_OK);
    a = nullptr;
    EXPECT_EQ(gEvents, (std::vector<std::string>{"load snd<1>", "load snd<1>", "unload snd<1>", "load snd<1>",
                                                 "unload snd<1>", "delete snd<1>"}));

    // A failing unload keeps the entry; failed inits, unlisted and late objects are harmless.
    a = Manager().Get<FakeResource>(L"stuck");
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

    gEvents.clear();
    auto refused = Manager().Get<RefusingResource>(L"nope");
    EXPECT_FALSE(refused);
    EXPECT_EQ(Manager().GetMap<RefusingResource>().size(), 0u);
    EXPECT_EQ(gEvents, std::vector<std::string>{"delete nope"});
    EXPECT_NE(mLog.find(L"Cannot init resource 'nope'"), std::wstring::npos) << mLog;
    FakeResource loose;
    EXPECT_EQ(Manager().Destroy(&loose), QL_OK);
    EXPECT_EQ(gEvents.size(), 1u);

    auto survivor = Manager().Get<FakeResource>(L"late");
    FakeResource* late = survivor.Get();
    int* count = survivor.GetCountPointer();
    base::SingletoneBase::DestroyAll();
    EXPECT_FALSE(resource::ResourceManager::Exists());
    survivor.Release(); // left alone: no crash, no new manager
    EXPECT_FALSE(resource::ResourceManager::Exists());
    EXPECT_EQ(gEvents.size(), 1u) << "the late object is neither unloaded nor deleted";
    EXPECT_EQ(*count, 0);
    delete late; // the test cleans up what the process would leak at exit
    delete count;
}
