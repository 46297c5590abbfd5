// UTF-32 <-> UTF-16 for pack names, and UTF-16 unit ordering.
#include "Core/File/Utf16.h"

#include <algorithm>

namespace file
{
namespace
{
// Appends the UTF-16 units of one code point; values that are no code point pass as one unit
// (truncated), as they would in a 16-bit wide string.
template <class Out> void AppendUnits(char32_t c, Out&& out)
{
    if (c >= 0x10000 && c <= 0x10FFFF)
    {
        c -= 0x10000;
        out(static_cast<char16_t>(0xD800 + (c >> 10)));
        out(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
    else
    {
        out(static_cast<char16_t>(c & 0xFFFF));
    }
}
} // namespace

std::u16string ToUtf16(const std::wstring& text)
{
    std::u16string result;
    result.reserve(text.size());
    for (wchar_t c : text)
        AppendUnits(static_cast<char32_t>(c), [&](char16_t u) { result.push_back(u); });
    return result;
}

std::wstring FromUtf16(const std::u16string& units)
{
    std::wstring result;
    result.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i)
    {
        char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
        {
            char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            result.push_back(static_cast<wchar_t>(c));
            ++i;
        }
        else
        {
            result.push_back(static_cast<wchar_t>(u));
        }
    }
    return result;
}

int CompareUtf16(const std::wstring& a, const std::wstring& b)
{
    // Code points below U+D800 compare the same in both encodings: the common case.
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        char32_t x = static_cast<char32_t>(a[i]);
        char32_t y = static_cast<char32_t>(b[i]);
        if (x == y)
            continue;
        if (x < 0xD800 && y < 0xD800)
            return x < y ? -1 : 1;
        std::u16string ua, ub;
        AppendUnits(x, [&](char16_t u) { ua.push_back(u); });
        AppendUnits(y, [&](char16_t u) { ub.push_back(u); });
        size_t m = std::min(ua.size(), ub.size());
        for (size_t k = 0; k < m; ++k)
            if (ua[k] != ub[k])
                return ua[k] < ub[k] ? -1 : 1;
        // Equal leading units (a truncated value against its lower unit): fall back to the rest.
        if (ua.size() != ub.size())
            return ua.size() < ub.size() ? -1 : 1;
        return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}
} // namespace file
