// UTF-8 conversion for platform calls.
#include "Platform/Os/Text.h"

#include <utf8.h>

namespace os
{
std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
    {
        auto cp = static_cast<char32_t>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        utf8::unchecked::append(static_cast<uint32_t>(cp), std::back_inserter(out));
    }
    return out;
}

std::wstring FromUtf8(const std::string& text)
{
    std::string valid;
    utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(valid));
    std::wstring out;
    utf8::unchecked::utf8to32(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}
} // namespace os
