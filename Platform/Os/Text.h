// UTF-8 at the platform's boundary (wide strings hold code points here).
#pragma once

#include <string>

namespace os
{
std::string ToUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD.
std::wstring FromUtf8(const std::string& text);

// A file name as the system's bytes and back, losslessly: valid UTF-8 is decoded, and each byte
// of an invalid sequence becomes the lone surrogate U+DC80..U+DCFF (as Python's "surrogateescape"
// does), which SystemPath turns back into that byte. Other characters that UTF-8 cannot hold
// become U+FFFD.
std::wstring FromSystemPath(const std::string& bytes);
std::string SystemPath(const std::wstring& path);
// The character stands for a byte of a file name that was not UTF-8.
inline bool IsEscapedByte(wchar_t c) { return c >= 0xDC80 && c <= 0xDCFF; }
} // namespace os
