// Sample resources: found with their extensions, read whole, decoded by the audio layer.
#include "Core/Media/Sound/ResourceSound.h"

#include "Core/Media/Sound/SoundSystem.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/Resource/ResourceManager.h"
#include "Platform/Audio/AudioEngine.h"

#include <memory>
#include <vector>

namespace resource
{
QLResultEnum ResourceSound::DoLoad()
{
    static const std::wstring kExtensions[] = {L"", L".ogg", L".wav"};
    std::unique_ptr<file::FileInfo> info(file::FileManager::Instance()->GetFileInfo(mName, kExtensions, 3));
    if (!info)
    {
        QL_LOG(L"Sound '%s' not found (tried .ogg and .wav)\n") << base::LogStyle::Error << mName;
        return QL_FAIL;
    }
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
    {
        QL_LOG(L"Cannot open sound '%s'\n") << base::LogStyle::Error << info->mPath;
        return QL_FAIL;
    }
    return LoadFromStream(*stream, info->mPath);
}

QLResultEnum ResourceSound::LoadFromStream(base::Stream& stream, const std::wstring& pathForLog)
{
    u32 size = stream.GetSize();
    std::vector<u8> buffer(static_cast<size_t>(size) + 1);
    u32 read = size ? stream.Read(buffer.data(), size) : 0;
    if (read != size)
    {
        QL_LOG(L"Short read of sound '%s': %u of %u bytes\n") << base::LogStyle::Error << pathForLog << read << size;
        return QL_FAIL;
    }
    audio::SampleId sample =
        SoundSystem::Instance()->GetAudio().LoadSample(buffer.data(), size, base::WideToUtf8(pathForLog));
    if (!sample)
        return QL_FAIL; // the audio layer logged why
    mSample = sample;
    return QL_OK;
}

QLResultEnum ResourceSound::DoUnLoad()
{
    // At exit the sound system may already be gone, and its samples with it.
    if (mSample && SoundSystem::Exists())
        SoundSystem::Instance()->GetAudio().FreeSample(mSample);
    mSample = 0;
    return QL_OK;
}

void ResourceSound::Destroy() { ResourceManager::ReleaseResource<ResourceSound>(this); }
} // namespace resource
