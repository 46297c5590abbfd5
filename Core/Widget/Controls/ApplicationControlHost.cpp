// The control host of the running game.
#include "Core/Widget/Controls/ApplicationControlHost.h"

#include "Core/Base/Log.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Resource/ResourceManager.h"
#include "Framework/GameApplication.h"

namespace gui
{
namespace
{
ControlHost* gHost = nullptr;
} // namespace

ControlHost* ControlHost::Get()
{
    if (!gHost)
    {
        static ApplicationControlHost application;
        gHost = &application;
    }
    return gHost;
}

void ControlHost::Set(ControlHost* host)
{
    gHost = host;
}

const wchar_t* const ApplicationControlHost::kDefaultFonts[6] = {
    L"td/data/fonts/main_32_1", L"td/data/fonts/main_32_2", L"td/data/fonts/main_42_1",
    L"td/data/fonts/main_42_2", L"td/data/fonts/main_42_3", L"td/data/fonts/main_80"};

render::Render* ApplicationControlHost::GetRender()
{
    framework::GameApplication* app = framework::GameApplication::Get();
    return app ? app->mRender : nullptr;
}

base::CountedPtr<render::Font> ApplicationControlHost::GetFont(u32 index)
{
    if (mFonts.empty() && !mTriedDefaults)
    {
        mTriedDefaults = true;
        for (const wchar_t* name : kDefaultFonts)
        {
            base::CountedPtr<render::BMFont> font =
                resource::ResourceManager::Instance()->Get<render::BMFont>(name);
            if (font && !font->IsLoaded())
            {
                font->SetRender(GetRender());
                if (font->Load())
                {
                    QL_LOG(L"Cannot load the font '%s'\n") << base::LogStyle::Error << name;
                    font = nullptr;
                }
            }
            mFonts.push_back(font);
        }
    }
    return index < mFonts.size() ? mFonts[index] : base::CountedPtr<render::Font>();
}

void ApplicationControlHost::PlaySound(const std::wstring& tag)
{
    k2::SoundTags::Instance()->Play(tag);
}

render::ParticleEmitter* ApplicationControlHost::CreateEmitter(const std::string& name)
{
    return render::ParticleSystem::Instance()->CreateEmitter(name);
}

bool ApplicationControlHost::IsWindowed()
{
    framework::GameApplication* app = framework::GameApplication::Get();
    return app ? app->mWindowed : true;
}

QLResultEnum ApplicationControlHost::SwitchScreenMode()
{
    framework::GameApplication* app = framework::GameApplication::Get();
    return app ? app->SwitchScreenMode() : QL_FAIL;
}

bool ApplicationControlHost::IsWindowLargerThanScreen()
{
    framework::GameApplication* app = framework::GameApplication::Get();
    return app && app->IsWindowLargerThanScreen();
}
} // namespace gui
