// UTF-8 at the platform's boundary (wide strings hold code points here).
#pragma once

#include <string>

namespace os
{
std::string ToUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD.
std::wstring FromUtf8(const std::string& text);
} // namespace os
