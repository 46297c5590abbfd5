// Skinned controls over the demo options layout on the recording device: the control host of the
// resources (its images made on the test renderer), no game settings, a board that counts the
// presses reaching it, and helpers that click through the frame manager.
#pragma once

#include "Graphics/GraphicsFixture.h"

#include "Core/Base/Singletone.h"
#include "Core/File/FileManager.h"
#include "Core/Layer/Layer.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Widget/BaseBoard.h"
#include "Core/Widget/Controls/ButtonListener.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/Controls/ResourceControlHost.h"
#include "Core/Widget/FrameManager.h"
#include "Platform/Audio/NullDevice.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace controlstest
{
struct HostOnTestRender : gui::ResourceControlHost
{
    render::Render* GetRender() override { return render; }
    render::Render* render = nullptr;
};

// Records the buttons clicked and answers with a chosen result.
struct ClickLog : widget::ButtonListener
{
    QLResultEnum OnClick(widget::Button* button) override
    {
        clicks.push_back(button);
        return result;
    }
    std::vector<widget::Button*> clicks;
    QLResultEnum result = QL_OK;
};

// A board counting the presses that reach it (the walk fell through to it).
struct CountingBoard : widget::BaseBoard
{
    QLResultEnum OnPress(const math::Point3&, u32) override
    {
        ++presses;
        return QL_OK;
    }
    int presses = 0;
};

class SkinnedFixture : public graphicstest::GraphicsFixture
{
protected:
    void SetUp() override
    {
        GraphicsFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        base::SingletoneBase::DestroyAll();
        audio::SetDeviceFactory([]() -> std::unique_ptr<audio::Device> { return audio::NullDevice::Manual(); });
        mOldPath = std::filesystem::current_path();
        std::filesystem::current_path(QL_CONTENT_DIR);
        file::RegisterImageContainers();
        mHost.render = mRender;
        gui::ControlHost::Set(&mHost);
        gui::GameSettings::Set(nullptr);
        mLayout.reset(file::FileManager::Instance()->OpenImageContainer(L"td/options"));
        ASSERT_NE(mLayout, nullptr);
        mBoard = new CountingBoard();
        mBoard->SetRect(0, 0, 1024, 768);
        EXPECT_EQ(QL_OK, mManager.Add(mBoard, false, true, false));
    }
    void TearDown() override
    {
        (void)mManager.RemoveAllFrames(false, false);
        if (mBoard)
        {
            EXPECT_EQ(QL_OK, mBoard->RemoveAllChildren(true, true, true));
        }
        delete mBoard;
        mLayout.reset();
        (void)mManager.RemoveAllFrames(true, false);
        mManager.DeleteQueued();
        gui::ControlHost::Set(nullptr);
        mHost.SetFonts({});
        base::SingletoneBase::DestroyAll();
        audio::SetDeviceFactory(nullptr);
        if (!mOldPath.empty())
            std::filesystem::current_path(mOldPath);
        GraphicsFixture::TearDown();
    }

    // The centre of a layer in screen space (its tree's root at the origin).
    static math::Point2 CentreOf(layer::Layer* layer)
    {
        float x = 0, y = 0;
        for (layer::Layer* l = layer; l; l = l->GetParent())
        {
            x += l->mPosition.x;
            y += l->mPosition.y;
        }
        return {x, y};
    }
    void Click(const math::Point2& p)
    {
        EXPECT_EQ(QL_OK, mManager.OnMouseMove(p));
        EXPECT_EQ(QL_OK, mManager.OnMouseDown(p, 1));
        EXPECT_EQ(QL_OK, mManager.OnMouseUp(p, 1));
    }
    void Tick(float dt) { EXPECT_EQ(QL_OK, mManager.Tick(dt)); }

    HostOnTestRender mHost;
    std::unique_ptr<file::ImageContainer> mLayout;
    CountingBoard* mBoard = nullptr;
    widget::FrameManager mManager;
    std::filesystem::path mOldPath;
};
} // namespace controlstest
