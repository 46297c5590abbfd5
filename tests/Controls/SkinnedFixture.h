// Skinned controls over the demo layouts on the recording device: a host that records sounds
// and screen-mode switches, game settings that record what the dialogs store, and helpers that
// click through the frame manager.
#pragma once

#include "Graphics/GraphicsFixture.h"

#include "Core/Base/Singletone.h"
#include "Core/Layer/Layer.h"
#include "Core/Media/Container/ImageContainers.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/FrameManager.h"
#include "Platform/Audio/NullDevice.h"

#include <filesystem>
#include <string>
#include <vector>

namespace controlstest
{
struct RecordingHost : gui::ControlHost
{
    render::Render* GetRender() override { return render; }
    base::CountedPtr<render::Font> GetFont(u32) override { return {}; }
    void PlaySound(const std::wstring& tag) override { sounds.push_back(tag); }
    render::ParticleEmitter* CreateEmitter(const std::string& name) override
    {
        emitters.push_back(name);
        return nullptr;
    }
    bool IsWindowed() override { return windowed; }
    QLResultEnum SwitchScreenMode() override
    {
        ++switches;
        windowed = !windowed;
        return QL_OK;
    }
    bool IsWindowLargerThanScreen() override { return larger; }

    render::Render* render = nullptr;
    std::vector<std::wstring> sounds;
    std::vector<std::string> emitters;
    bool windowed = true;
    bool larger = false;
    int switches = 0;
};

struct RecordingSettings : gui::GameSettings
{
    float GetSoundVolume() override { return sound; }
    float GetMusicVolume() override { return music; }
    void SetSoundVolume(float v) override
    {
        sound = v;
        ++saves;
    }
    void SetMusicVolume(float v) override
    {
        music = v;
        ++saves;
    }
    void EnableDebugKeys() override { ++debugKeys; }
    void OnMessageBoxResult(const std::wstring& command) override { commands.push_back(command); }
    std::wstring GetText(const std::wstring& key) override { return L"<" + key + L">"; }

    float sound = 1.0f;
    float music = 1.0f;
    int saves = 0;
    int debugKeys = 0;
    std::vector<std::wstring> commands;
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
        audio::SetDeviceFactory([]() -> std::unique_ptr<audio::Device>
                                      { return audio::NullDevice::Manual(); });
        mOldPath = std::filesystem::current_path();
        std::filesystem::current_path(QL_CONTENT_DIR);
        file::RegisterImageContainers();
        mHost.render = mRender;
        gui::ControlHost::Set(&mHost);
        gui::GameSettings::Set(&mSettings);
    }
    void TearDown() override
    {
        (void)mManager.RemoveAllFrames(true, false);
        mManager.DeleteQueued();
        gui::GameSettings::Set(nullptr);
        gui::ControlHost::Set(nullptr);
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

    RecordingHost mHost;
    RecordingSettings mSettings;
    widget::FrameManager mManager;
    std::filesystem::path mOldPath;
};
} // namespace controlstest
