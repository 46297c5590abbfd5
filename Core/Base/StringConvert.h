// Conversion between 8-bit and wide strings.
#pragma once

#include <string>

namespace base
{
// Modes: 0 byte by byte (sign-extending, as a 16-bit wchar_t would: 0xE9 -> 0xFFE9),
// 1 UTF-8, 2 ANSI code page and 3 OEM code page (both UTF-8 here); any other mode gives "".
// Invalid UTF-8 never throws: bad sequences become U+FFFD and the fault is logged.
std::wstring StringToWString(const std::string& text, int mode = 1);
std::string WStringToString(const std::wstring& text, int mode = 1);

// Shorthands for mode 1.
inline std::wstring Utf8ToWide(const std::string& text) { return StringToWString(text, 1); }
inline std::string WideToUtf8(const std::wstring& text) { return WStringToString(text, 1); }
} // namespace base
