// Names of a PSD document's layers as images: each layer under the path of its groups.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace psd
{
struct Document;
struct LayerRecord;
} // namespace psd

namespace file
{
struct PsdNamedLayer
{
    std::wstring mName; // group path + layer name, e.g. "menu/play"
    i32 mLayer = 0;     // index of the record in the document (0 is the bottom-most)
};

// The layer's own name: the Unicode name when the file stores one, else the 8-bit name read as
// Latin-1 (what editors write there when they also write the Unicode one).
std::wstring PsdLayerName(const psd::LayerRecord& layer);

// Every layer that is an image, top-most first down to record 1: the bottom-most record (the
// background, or the flattened image of a file without layers) is never one. Group starts push
// their name, group ends pop it (an end without a start is ignored); the rest are named by the
// open groups joined with "/" and their own name.
std::vector<PsdNamedLayer> NamePsdLayers(const psd::Document& document);
} // namespace file
