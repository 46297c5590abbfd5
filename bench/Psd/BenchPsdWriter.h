// Writes large layered PSD documents for the benchmarks: sprites over a background, RLE or ZIP.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <utility>
#include <vector>

namespace psdbench
{
// A width x height RGB document with `sprites` layers of up to 256 x 256 over a full background.
// compression: 1 PackBits, 2 ZIP (layers; the composite uses the same unless it is ZIP, then RLE).
// A flat background (one colour, as painted art often starts) packs into long runs.
std::string MakeLayeredDocument(u32 width, u32 height, u32 sprites, u16 compression, bool flatBackground = false);
// A width x height RGB document as GIMP 2.10 writes it: an opaque "Background" (three channels),
// then `layers` layers of painted shapes (filled ellipses with a vertical gradient and a soft
// edge, 96-384 px, alpha first), every channel PackBits, each record with the 'luni' and 'lclr'
// blocks GIMP adds, resolution, layer-state and ICC resources and a PackBits composite.
std::string MakeGimpDocument(u32 width, u32 height, u32 layers);
// Bytes of decoded pixels the reader holds for it (layers and the composite).
u64 GimpDecodedBytes(u32 width, u32 height, u32 layers);
// A document without layers: only the composite, PackBits.
std::string MakeCompositeOnly(u32 width, u32 height);
// The deflate streams of every layer channel of the ZIP document, with their decoded sizes.
std::vector<std::pair<std::string, u64>> ZipChannelStreams(u32 width, u32 height, u32 sprites);
// Bytes of decoded pixels the reader holds for a document made above.
u64 DecodedBytes(u32 width, u32 height, u32 sprites);
} // namespace psdbench
