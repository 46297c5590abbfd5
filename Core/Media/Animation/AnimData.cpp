// Reading animation files: counts are checked against the bytes left before anything is
// allocated, key times must be finite and in order, and meshes resolve through shared libraries.
#include "Core/Media/Animation/AnimData.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/File/ReadFile.h"
#include "Core/Media/Mesh/ByteReader.h"
#include "Core/Media/Mesh/MeshLibrary.h"
#include "Core/Resource/ResourceManager.h"

#include <cmath>

namespace animation
{
namespace
{
constexpr u64 kKeySize = 36;
constexpr u64 kEnvelopeHeadSize = 12;
// Three empty strings, four words and ten empty envelopes.
constexpr u64 kMinLayerSize = 3 * 4 + 4 * 4 + CHANNEL_COUNT * kEnvelopeHeadSize;

QLResultEnum Fail(const std::wstring& source, const char* what, size_t offset)
{
    QL_LOG(L"Animation '%s': %s at offset %d\n")
        << base::LogStyle::Error << source << what << static_cast<unsigned long long>(offset);
    return QL_FAIL;
}

QLResultEnum ReadEnvelope(lightwave::ByteReader& in, Envelope& envelope, const std::wstring& source)
{
    const size_t at = in.Offset();
    u32 count = 0;
    if (!in.ReadU32(count) || !in.ReadU32(envelope.mPre) || !in.ReadU32(envelope.mPost))
        return Fail(source, "envelope cut short", at);
    if (!in.Fits(count, kKeySize))
        return Fail(source, "key count beyond the end", at);
    envelope.mKeys.resize(count);
    float previous = -INFINITY;
    for (EnvelopeKey& key : envelope.mKeys)
    {
        const size_t keyAt = in.Offset();
        in.ReadF32(key.value);
        in.ReadF32(key.time);
        in.ReadU32(key.shape);
        for (float& p : key.p)
            in.ReadF32(p);
        in.ReadBytes(key.unused, sizeof(key.unused));
        // The evaluation walks keys as a sorted array.
        if (!std::isfinite(key.time) || key.time < previous)
            return Fail(source, "key time out of order", keyAt);
        previous = key.time;
    }
    return QL_OK;
}

QLResultEnum ReadLayer(lightwave::ByteReader& in, AnimLayer& layer, const std::wstring& source)
{
    const size_t at = in.Offset();
    u32 parent = 0, flag1 = 0, flag2 = 0, colour = 0;
    if (!in.ReadString(layer.mName) || !in.ReadString(layer.mLibrary) || !in.ReadString(layer.mMeshName) ||
        !in.ReadU32(parent) || !in.ReadU32(flag1) || !in.ReadU32(flag2) || !in.ReadU32(colour))
        return Fail(source, "layer record cut short", at);
    layer.mHasParent = parent != 0;
    layer.mParent = layer.mHasParent ? static_cast<int>(parent - 1) : 0;
    layer.mFlag1 = flag1 == 1;
    layer.mFlag2 = flag2 == 1;
    if (colour == 1)
    {
        layer.mColour = std::make_unique<ColourEnvelopes>();
        for (Envelope& envelope : layer.mColour->channels)
            if (ReadEnvelope(in, envelope, source) != QL_OK)
                return QL_FAIL;
    }
    for (Envelope& envelope : layer.mChannels)
        if (ReadEnvelope(in, envelope, source) != QL_OK)
            return QL_FAIL;
    return QL_OK;
}
} // namespace

AnimData::AnimData() = default;

AnimData::~AnimData() { Free(); }

void AnimData::Destroy() { resource::ResourceManager::ReleaseResource(this); }

void AnimData::Free()
{
    mLayers.clear();
    mLibraries.clear(); // the last reference hands a library back to the manager
    mTitle.clear();
    mStartTime = 0.0f;
    mEndTime = 0.0f;
}

QLResultEnum AnimData::DoLoad()
{
    Free();
    std::string bytes;
    if (!file::ReadWholeFile(*file::FileManager::Instance(), GetName(), bytes))
    {
        QL_LOG(L"Cannot read animation '%s'\n") << base::LogStyle::Error << GetName();
        return QL_FAIL;
    }
    QLResultEnum result = Parse(bytes.data(), bytes.size(), GetName());
    if (result == QL_OK)
        result = ResolveMeshes(file::GetDirectoryWithoutDrive(GetName()));
    if (result != QL_OK)
        Free();
    return result;
}

QLResultEnum AnimData::DoUnLoad()
{
    Free();
    return QL_OK;
}

QLResultEnum AnimData::Parse(const void* data, size_t size, const std::wstring& source)
{
    Free();
    lightwave::ByteReader in(data, size);
    i32 count = 0;
    if (!in.ReadString(mTitle) || !in.ReadF32(mStartTime) || !in.ReadF32(mEndTime) || !in.ReadI32(count))
    {
        Free();
        return Fail(source, "header cut short", in.Offset());
    }
    if (!std::isfinite(mStartTime) || !std::isfinite(mEndTime))
    {
        Free();
        return Fail(source, "start or end time not a number", 4 + mTitle.size());
    }
    if (count < 0 || !in.Fits(static_cast<u64>(count), kMinLayerSize))
    {
        Free();
        return Fail(source, "layer count beyond the end", in.Offset() - 4);
    }
    mLayers.reserve(static_cast<size_t>(count));
    for (i32 i = 0; i < count; ++i)
    {
        auto layer = std::make_unique<AnimLayer>(this);
        if (ReadLayer(in, *layer, source) != QL_OK)
        {
            Free();
            return QL_FAIL;
        }
        mLayers.push_back(std::move(layer));
    }
    return QL_OK;
}

QLResultEnum AnimData::ResolveMeshes(const std::wstring& folder)
{
    for (const std::unique_ptr<AnimLayer>& layer : mLayers)
    {
        layer->mMesh = nullptr;
        if (!layer->WantsMesh())
            continue;
        auto found = mLibraries.find(layer->mLibrary);
        if (found == mLibraries.end())
        {
            const std::wstring path = folder + base::StringToWString(layer->mLibrary, 0) + L".lib";
            base::CountedPtr<lightwave::MeshLibrary> library =
                resource::ResourceManager::Instance()->Get<lightwave::MeshLibrary>(path);
            if (!library)
                return QL_FAIL; // the manager logged it
            found = mLibraries.emplace(layer->mLibrary, library).first;
            library->SetRender(mRender);
            if (!library->IsLoaded())
            {
                const QLResultEnum result = library->Load();
                if (result != QL_OK)
                {
                    QL_LOG(L"Animation '%s': mesh library '%s' did not load\n")
                        << base::LogStyle::Error << GetName() << path;
                    return result;
                }
            }
        }
        layer->mMesh = found->second->FindMesh(layer->mMeshName);
        if (!layer->mMesh)
        {
            QL_LOG(L"Animation '%s': no mesh '%s' in library '%s'\n")
                << base::LogStyle::Error << GetName() << layer->mMeshName << layer->mLibrary;
            return QL_FAIL;
        }
    }
    return QL_OK;
}
} // namespace animation
