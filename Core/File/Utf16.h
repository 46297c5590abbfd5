// UTF-16 code units for names stored in packs, and the ordering of names by those units.
#pragma once

#include <string>

namespace file
{
// wchar_t holds UTF-32 here; pack names and their order are defined over UTF-16 units.
std::u16string ToUtf16(const std::wstring& text);
// Unpaired surrogates are kept as they are, so every name survives a round trip.
std::wstring FromUtf16(const std::u16string& units);

// Compares unit by unit as unsigned 16-bit values; a prefix sorts before the longer name.
int CompareUtf16(const std::wstring& a, const std::wstring& b);

struct Utf16Less
{
    bool operator()(const std::wstring& a, const std::wstring& b) const { return CompareUtf16(a, b) < 0; }
};
} // namespace file
