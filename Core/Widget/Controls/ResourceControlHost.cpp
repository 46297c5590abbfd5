// The installed control host, and the host over the resources alone.
#include "Core/Widget/Controls/ResourceControlHost.h"

#include "Core/Base/Log.h"
#include "Core/Media/Font/BMFont.h"
#include "Core/Media/Particles/ParticleSystem.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Resource/ResourceManager.h"

namespace gui
{
namespace
{
ControlHost* gHost = nullptr;
ControlHost* gFallback = nullptr;
} // namespace

ControlHost* ControlHost::Get()
{
    if (gHost)
        return gHost;
    if (!gFallback)
    {
        static ResourceControlHost resources;
        gFallback = &resources;
    }
    return gFallback;
}

void ControlHost::Set(ControlHost* host) { gHost = host; }

void ControlHost::SetFallback(ControlHost* host) { gFallback = host; }

const wchar_t* const ResourceControlHost::kDefaultFonts[6] = {L"td/data/fonts/main_32_1", L"td/data/fonts/main_32_2",
                                                              L"td/data/fonts/main_42_1", L"td/data/fonts/main_42_2",
                                                              L"td/data/fonts/main_42_3", L"td/data/fonts/main_80"};

base::CountedPtr<render::Font> ResourceControlHost::GetFont(u32 index)
{
    if (mFonts.empty() && !mTriedDefaults)
    {
        mTriedDefaults = true;
        for (const wchar_t* name : kDefaultFonts)
        {
            base::CountedPtr<render::BMFont> font = resource::ResourceManager::Instance()->Get<render::BMFont>(name);
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

void ResourceControlHost::PlaySound(const std::wstring& tag) { k2::SoundTags::Instance()->Play(tag); }

render::ParticleEmitter* ResourceControlHost::CreateEmitter(const std::string& name)
{
    return render::ParticleSystem::Instance()->CreateEmitter(name);
}
} // namespace gui
