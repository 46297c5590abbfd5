// State shared by the section readers during one load: the reader, the document, work buffers.
#pragma once

#include "Core/Psd/Budget.h"
#include "Core/Psd/Channels.h"
#include "Core/Psd/Document.h"
#include "Core/Psd/Reader.h"
#include "Core/Psd/WorkBuffer.h"

#include <string>

namespace psd
{
struct LoadContext
{
    LoadContext(base::Stream& stream, Document& document, const std::string& name, const LoadLimits& limits)
        : mReader(stream), mDoc(document), mName(name),
          mBudget(limits.mMaxPixelBytes != 0 ? limits.mMaxPixelBytes : kDefaultMaxPixelBytes)
    {
    }

    // Logs the first failure of the load with its cause and offset, and returns the status.
    i32 Fail(i32 status, const char* what);
    // -5 (logged) when a read ran past the end of the data, else 0.
    i32 CheckOverrun(const char* where);
    // Takes bytes from the budget before what is named is allocated; false (-4 logged, "<what>
    // would pass the memory limit") when they do not fit.
    bool Reserve(u64 bytes, const char* what);
    // Grows a work buffer within the budget; false (-4 logged) when it does not fit.
    bool Grow(WorkBuffer& buffer, u64 size, const char* what);
    bool Failed() const { return mLogged; }
    // Frees the channel work buffers (their bytes go back to the budget).
    void ReleaseWorkBuffers();

    Reader mReader;
    Document& mDoc;
    std::string mName;
    // What the load holds: every decoded area (pixels, masks, alpha channels, colour planes,
    // pattern channels, the thumbnail), the layer records and the work buffers. Not charged: row
    // buffers (at most one row) and the short-lived copies of one block of file bytes (an image
    // resource, an additional layer record, the composite's row counts), bounded by what was read.
    Budget mBudget;
    u64 mLayerBytes = 0; // charged for the current layer records and what they keep
    bool mLogged = false;
    bool mNegativeLayerCount = false;

    // Channel decoder storage, reused across layers.
    WorkBuffer mChannel{mBudget}; // one decoded channel image
    WorkBuffer mScratch{mBudget}; // one channel's (or a whole layer's, or the composite's) compressed bytes
    std::vector<u8> mRow;         // one row on its way into a pixel lane
    ZipInflater mInflater;
};

// Section readers, called in file order.
i32 ReadHeader(LoadContext& ctx);
i32 ReadColourModeData(LoadContext& ctx);
i32 ReadImageResources(LoadContext& ctx);
i32 ReadLayerAndMaskSection(LoadContext& ctx);
i32 ReadImageData(LoadContext& ctx);

// Layer info (also the body of an "Lr16" block).
i32 ReadLayerInfo(LoadContext& ctx);
// One layer's channel image data, after all records were read.
i32 ReadLayerChannels(LoadContext& ctx, LayerRecord& layer);
// One pattern of a "Patt" or "Pat2" block; end is the block's end.
i32 ReadPattern(LoadContext& ctx, u64 end);
// Handler of one additional layer record; data reads only that record's bytes.
i32 ReadAdditionalRecord(LoadContext& ctx, LayerRecord& layer, u32 key, Reader& data);
// The blend-mode value of a 4-character key (unknown keys give normal).
u32 BlendModeFromKey(u32 key);
// Points each layer at its enclosing group start.
void AssignParentGroups(std::vector<LayerRecord>& layers);
struct PixelFormat;
// The pixel format of the document's mode and depth for an area of the given size.
PixelFormat DocumentFormat(const Document& doc, u32 width, u32 height);
// Keeps a parsed typed entry; one past the 20 slots is dropped.
void StoreEntry(LayerRecord& layer, u32 kind, std::unique_ptr<TypedEntry> entry);
} // namespace psd
