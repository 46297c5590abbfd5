// UTF-8 conversion for platform calls, and file names kept byte for byte.
#include "Platform/Os/Text.h"

#include <utf8.h>

namespace os
{
namespace
{
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEscapeBase = 0xDC00;

bool IsCodePoint(char32_t cp) { return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF); }
} // namespace

std::string ToUtf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
    {
        auto cp = static_cast<char32_t>(c);
        if (!IsCodePoint(cp))
            cp = kReplacement;
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

std::wstring FromSystemPath(const std::string& bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    auto it = bytes.begin();
    const auto end = bytes.end();
    while (it != end)
    {
        const auto byte = static_cast<unsigned char>(*it);
        if (byte < 0x80)
        {
            out.push_back(static_cast<wchar_t>(byte));
            ++it;
            continue;
        }
        auto next = it;
        uint32_t cp = 0;
        // Overlong forms, encoded surrogates and values past U+10FFFF are invalid here too.
        if (utf8::internal::validate_next(next, end, cp) == utf8::internal::UTF8_OK)
        {
            out.push_back(static_cast<wchar_t>(cp));
            it = next;
        }
        else
        {
            out.push_back(static_cast<wchar_t>(kEscapeBase + byte));
            ++it;
        }
    }
    return out;
}

std::string SystemPath(const std::wstring& path)
{
    std::string out;
    out.reserve(path.size());
    for (wchar_t c : path)
    {
        auto cp = static_cast<char32_t>(c);
        if (IsEscapedByte(c))
        {
            out.push_back(static_cast<char>(cp - kEscapeBase));
            continue;
        }
        if (!IsCodePoint(cp))
            cp = kReplacement;
        utf8::unchecked::append(static_cast<uint32_t>(cp), std::back_inserter(out));
    }
    return out;
}
} // namespace os
