// Conversion between 8-bit and wide (UTF-32) strings; bad input becomes U+FFFD and is logged.
#include "Core/Base/StringConvert.h"

#include "Core/Base/Log.h"
#include "Core/Base/Types.h"

#include <utf8.h>

#include <iterator>

namespace base
{
namespace
{
constexpr u32 kReplacement = 0xFFFD;

// Set while a conversion fault is being logged: the log converts text itself, and must not
// report its own conversions again.
thread_local bool tReporting = false;

void ReportFault(const wchar_t* format, size_t offset, size_t length)
{
    if (tReporting)
        return;
    tReporting = true;
    QL_LOG(format) << LogStyle::Error << static_cast<unsigned long long>(offset)
                   << static_cast<unsigned long long>(length);
    tReporting = false;
}

bool IsCodePoint(u32 cp) { return cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF); }

std::wstring Utf8ToUtf32(const std::string& text)
{
    std::wstring result(text.size(), L'\0');
    size_t n = 0;
    auto it = text.begin();
    const auto end = text.end();
    try
    {
        while (it != end)
        {
            const u8 byte = static_cast<u8>(*it);
            if (byte < 0x80)
            {
                result[n++] = static_cast<wchar_t>(byte);
                ++it;
            }
            else
            {
                result[n++] = static_cast<wchar_t>(utf8::next(it, end));
            }
        }
        result.resize(n);
        return result;
    }
    catch (const utf8::exception&)
    {
        // Repaired below.
    }
    const auto invalid = utf8::find_invalid(text.begin(), text.end());
    ReportFault(L"Invalid UTF-8 at byte %u of %u: bad sequences replaced with U+FFFD\n",
                static_cast<size_t>(invalid - text.begin()), text.size());
    std::string repaired;
    repaired.reserve(text.size() + 8);
    utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(repaired), kReplacement);
    result.clear();
    utf8::unchecked::utf8to32(repaired.begin(), repaired.end(), std::back_inserter(result));
    return result;
}

std::string Utf32ToUtf8(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    size_t firstBad = text.size();
    for (size_t i = 0; i < text.size(); ++i)
    {
        u32 cp = static_cast<u32>(text[i]);
        if (cp < 0x80)
        {
            result.push_back(static_cast<char>(cp));
            continue;
        }
        if (!IsCodePoint(cp))
        {
            if (firstBad == text.size())
                firstBad = i;
            cp = kReplacement;
        }
        utf8::unchecked::append(cp, std::back_inserter(result));
    }
    if (firstBad != text.size())
        ReportFault(L"Invalid code point at character %u of %u: replaced with U+FFFD\n", firstBad, text.size());
    return result;
}
} // namespace

std::wstring StringToWString(const std::string& text, int mode)
{
    switch (mode)
    {
    case 0:
    {
        // As a 16-bit signed char widening would: bytes 0x80..0xFF become 0xFF80..0xFFFF.
        std::wstring result(text.size(), L'\0');
        for (size_t i = 0; i < text.size(); ++i)
        {
            const u8 byte = static_cast<u8>(text[i]);
            result[i] = static_cast<wchar_t>(byte < 0x80 ? byte : 0xFF00u | byte);
        }
        return result;
    }
    case 1:
    case 2: // the ANSI and OEM code pages are UTF-8 here
    case 3: return Utf8ToUtf32(text);
    default: return std::wstring();
    }
}

std::string WStringToString(const std::wstring& text, int mode)
{
    switch (mode)
    {
    case 0:
    {
        std::string result(text.size(), '\0');
        for (size_t i = 0; i < text.size(); ++i)
            result[i] = static_cast<char>(static_cast<u32>(text[i]) & 0xFF);
        return result;
    }
    case 1:
    case 2:
    case 3: return Utf32ToUtf8(text);
    default: return std::string();
    }
}
} // namespace base
