// The "layers.xml" description of an image folder: one "Layer" element per image file.
//
// <Document><Layers><Layer name="play" x="10" y="20" width="64" height="32" opacity="255" ind="0"
//   atlas="atlas.png" tu1="0.25" tv1="0.5" tu2="0.75" tv2="1.0"/>...</Layers></Document>
// Names and the atlas file name are UTF-8; the atlas corners count v from the bottom.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace file
{
struct LayersXmlEntry
{
    std::wstring mName;
    i32 mX = 0, mY = 0, mWidth = 0, mHeight = 0; // source pixels
    u32 mOpacity = 255;                          // when absent: opaque
    u32 mIndex = 0;                              // when absent: the entry's place in the file
    bool mInAtlas = false;
    std::wstring mAtlas; // relative to the folder
    float mU1 = 0.0f, mV1 = 0.0f, mU2 = 0.0f, mV2 = 0.0f;
};

// Parses the text (it need not be zero-terminated). The entries come in file order; the walk
// stops at the first "Layer" without a name. The root may be "Layers" itself or hold it.
// QL_FAIL with the cause in `error` when the text is not XML or has no "Layers" element.
QLResultEnum ParseLayersXml(const char* text, size_t size, std::vector<LayersXmlEntry>& out, std::string& error);
} // namespace file
