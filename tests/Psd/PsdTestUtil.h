// Helpers shared by the PSD tests: loading from bytes, owning documents, reading PNGs.
#pragma once

#include "Core/Psd/Document.h"
#include "PsdBuilder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace psdtest
{
struct DocumentDeleter
{
    void operator()(psd::Document* d) const { psd::FreeDocument(d); }
};
typedef std::unique_ptr<psd::Document, DocumentDeleter> DocPtr;

// Loads from an in-memory engine stream; the status is stored in *status.
DocPtr LoadBytes(const std::string& bytes, i32* status = nullptr);
DocPtr LoadFile(const std::filesystem::path& path, i32* status = nullptr);

struct Image
{
    u32 mWidth = 0, mHeight = 0;
    std::vector<u32> mPixels; // 0xAARRGGBB; 16-bit samples give their high byte
    std::vector<u32> mScaled; // 16-bit samples divided by 257 (ImageMagick's reduction to 8 bits)
};
// Reads a PNG with libpng; false when it cannot be read.
bool ReadPng(const std::filesystem::path& path, Image& out);

// A document with one empty layer carrying the given additional records.
DocPtr LoadLayerWithExtra(const std::string& extra, i32* status = nullptr);

// A layer whose channels are raw planes of one value each (-1 alpha, then red, green, blue).
LayerSpec RawRgbaLayer(i32 top, i32 left, i32 height, i32 width, u8 r, u8 g, u8 b, u8 a, const std::string& name);
} // namespace psdtest
