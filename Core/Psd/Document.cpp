// Loading and freeing documents: the section sequence and failure reporting.
#include "Core/Psd/Document.h"

#include "Core/Base/Log.h"
#include "Core/Psd/LoadContext.h"
#include "Core/Psd/StdioStream.h"

#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>

namespace psd
{
Contour::Contour()
{
    for (int i = 0; i < 256; ++i)
        mTable[i] = static_cast<u8>(i);
}

const TypedEntry* LayerRecord::FindEntry(u32 kind) const
{
    for (i32 i = 0; i < mTypedCount; ++i)
        if (mTypedKinds[i] == kind)
            return mTypedEntries[i].get();
    return nullptr;
}

void StoreEntry(LayerRecord& layer, u32 kind, std::unique_ptr<TypedEntry> entry)
{
    if (layer.mTypedCount >= kMaxTypedEntries)
        return;
    layer.mTypedKinds[layer.mTypedCount] = kind;
    layer.mTypedEntries[layer.mTypedCount] = std::move(entry);
    ++layer.mTypedCount;
}

i32 LoadContext::Fail(i32 status, const char* what)
{
    if (!mLogged)
    {
        mLogged = true;
        QL_LOG(L"PSD '%s': %s at offset %llu (status %d)\n")
            << base::LogStyle::Error << mName << what << static_cast<unsigned long long>(mReader.Position()) << status;
    }
    return status;
}

i32 LoadContext::CheckOverrun(const char* where)
{
    if (mReader.Overrun())
        return Fail(kReadError, where);
    return kOk;
}

void LoadContext::ReleaseWorkBuffers()
{
    mChannel.Release();
    mScratch.Release();
    std::vector<u8>().swap(mRow);
}

bool LoadContext::Reserve(u64 bytes, const char* what)
{
    if (mBudget.Take(bytes))
        return true;
    Fail(kOutOfMemory, (std::string(what) + " would pass the memory limit").c_str());
    return false;
}

bool LoadContext::Grow(WorkBuffer& buffer, u64 size, const char* what)
{
    if (buffer.Grow(size))
        return true;
    Fail(kOutOfMemory, (std::string(what) + " would pass the memory limit").c_str());
    return false;
}

namespace
{
i32 RunSections(LoadContext& ctx)
{
    typedef i32 (*SectionReader)(LoadContext&);
    static const SectionReader kSections[] = {ReadHeader, ReadColourModeData, ReadImageResources,
                                              ReadLayerAndMaskSection, ReadImageData};
    static const i32 kGeneric[] = {kHeaderGeneric, kColourModeGeneric, kResourcesGeneric, kLayersGeneric,
                                   kImageDataGeneric};
    for (int state = 0; state < 5; ++state)
    {
        if (ctx.mReader.Length() < 1)
            return ctx.Fail(kReadError, "empty file");
        i32 status = kSections[state](ctx);
        if (status == kBadState)
            status = kGeneric[state];
        if (status != kOk)
            return status;
    }
    return kOk;
}

i32 LoadFrom(Document** out, base::Stream& stream, const std::string& name, const LoadLimits& limits)
{
    std::unique_ptr<Document> document(new (std::nothrow) Document());
    if (!document)
        return kOutOfMemory;
    i32 status;
    {
        LoadContext ctx(stream, *document, name, limits);
        try
        {
            status = RunSections(ctx);
        }
        catch (const std::bad_alloc&)
        {
            status = ctx.Fail(kOutOfMemory, "out of memory");
        }
        catch (const std::length_error&)
        {
            status = ctx.Fail(kOutOfMemory, "out of memory");
        }
        if (status != kOk && !ctx.Failed())
            ctx.Fail(status, "load failed");
    }
    if (status != kOk)
    {
        *out = nullptr;
        return status;
    }
    *out = document.release();
    return kOk;
}
} // namespace

i32 LoadDocument(Document** out, const char* path, const LoadLimits& limits)
{
    if (!out)
        return kNullDocument;
    if (!path)
        return kCannotOpen;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
    {
        QL_LOG(L"PSD '%s': cannot open\n") << base::LogStyle::Error << path;
        return kCannotOpen;
    }
    StdioStream stream(file);
    return LoadFrom(out, stream, path, limits);
}

i32 LoadDocument(Document** out, base::Stream& stream, const LoadLimits& limits)
{
    if (!out)
        return kNullDocument;
    return LoadFrom(out, stream, "<stream>", limits);
}

i32 FreeDocument(Document* document)
{
    if (!document)
        return kNullDocument;
    delete document;
    return kOk;
}
} // namespace psd
