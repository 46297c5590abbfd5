// The size a BMP, GIF, JPEG, PNG or TGA file declares in its header, read before any decoder
// allocates for it.
#pragma once

#include "Core/Base/Types.h"

#include <string>
#include <vector>

namespace base
{
class Stream;
}

namespace render
{
// Sides above this are refused before decoding: a few bytes could otherwise ask for gigabytes.
constexpr u32 kMaxImageSide = 8192;

struct ImageDimensions
{
    u32 width = 0;
    u32 height = 0;
};

// False when the header is too short or not of the format the extension names.
bool ReadImageDimensions(const u8* data, size_t size, const std::wstring& extension, ImageDimensions& out);
// Reads the sides and logs why a file is refused: no readable header, or a side of 0 or above the
// limit.
bool CheckImageDimensions(const u8* data, size_t size, const std::wstring& extension);
// The whole file from the stream, when it can be read and its header passes the check above;
// false (with a log line) otherwise.
bool ReadLooseImage(base::Stream* stream, const std::wstring& extension, std::vector<u8>& bytes);
} // namespace render
