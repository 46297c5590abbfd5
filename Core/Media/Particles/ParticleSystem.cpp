// Loading the effect library: the file through the file manager, the folder walk that makes
// the templates, and the atlas images.
#include "Core/Media/Particles/ParticleSystem.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Resource/ResourceManager.h"
#include "Platform/Particles/EffectParser.h"
#include "Platform/Particles/Emitter.h"

namespace render
{
ParticleSystem::ParticleSystem() { ParticleEmitter::InstallRenderFunction(); }

ParticleSystem::~ParticleSystem()
{
    mTemplates.clear();
    UnloadAtlases();
}

QLResultEnum ParticleSystem::Load(const std::string& name, Render* render)
{
    const std::wstring path = base::Utf8ToWide(mFolder + name);
    static const std::wstring kExtensions[] = {L"", L".ptc"};
    std::unique_ptr<file::FileInfo> info(file::FileManager::Instance()->GetFileInfo(path, kExtensions, 2));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
    {
        QL_LOG(L"Particle file '%s' not found\n") << base::LogStyle::Error << path;
        return QL_FAIL;
    }
    const u32 size = stream->GetSize();
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    const u32 read = size ? stream->Read(buffer.data(), size) : 0;
    if (read != size)
    {
        QL_LOG(L"Short read of particle file '%s': %u of %u bytes\n")
            << base::LogStyle::Error << info->mPath << read << size;
        return QL_FAIL;
    }
    return LoadFromMemory(buffer.data(), size, base::WideToUtf8(info->mPath), render);
}

QLResultEnum ParticleSystem::LoadFromMemory(const char* data, size_t size, const std::string& fileName, Render* render)
{
    std::unique_ptr<particles::EffectFile> file = particles::ParseEffectFile(data, size, fileName);
    if (!file)
        return QL_FAIL; // the parser logged why; what an earlier load kept stays
    // A second load replaces the first, so texture numbers always match the atlas list.
    mTemplates.clear();
    UnloadAtlases();
    Walk(file->root, file->fileName, !file->atlases.empty());
    for (const particles::Atlas& atlas : file->atlases)
    {
        Image* image = nullptr;
        // Atlas names are UTF-8 like the rest of the file.
        if (render && !atlas.file.empty() &&
            LoadImage(render, base::Utf8ToWide(mFolder + atlas.file), nullptr, &image, nullptr) != QL_OK)
            image = nullptr; // the image loader logged why
        if (image)
            base::SingletoneBase::AddDependency(this, resource::ResourceManager::Instance());
        mAtlases.push_back(image);
    }
    return QL_OK;
}

void ParticleSystem::Walk(const particles::Folder& folder, const std::string& fileName, bool hasTextures)
{
    for (const particles::Entry& entry : folder.entries)
    {
        if (entry.IsFolder())
        {
            Walk(*entry.folder, fileName, hasTextures);
            continue;
        }
        if (!entry.emitter)
            continue; // refused by the parser
        auto emitter = std::make_unique<particles::Emitter>(entry.emitter, entry.emitter->seed);
        emitter->SetInterpolation(true);
        emitter->SetLoopMode(particles::LOOP_ONCE);
        // A later emitter of the same name replaces the earlier one.
        mTemplates[entry.name] = std::make_unique<ParticleEmitter>(std::move(emitter), hasTextures ? fileName : "");
    }
}

ParticleEmitter* ParticleSystem::CreateEmitter(const std::string& name) const
{
    auto it = mTemplates.find(name);
    if (it == mTemplates.end())
        return nullptr;
    return it->second->Clone().release();
}

ParticleEmitter* ParticleSystem::CreateEmitter(const std::wstring& name) const
{
    return CreateEmitter(base::WideToUtf8(name));
}

std::vector<std::string> ParticleSystem::GetEmitterNames() const
{
    std::vector<std::string> names;
    for (const auto& [name, emitter] : mTemplates)
        names.push_back(name);
    return names;
}

Image* ParticleSystem::GetAtlas(i32 index) const
{
    return index >= 0 && static_cast<size_t>(index) < mAtlases.size() ? mAtlases[index] : nullptr;
}

void ParticleSystem::UnloadAtlases() { mAtlases.clear(); }
} // namespace render
