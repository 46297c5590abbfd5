// Small text helpers shared by the sheet, level and progress readers.
#include "Source/TD/Data/TDText.h"

#include <utf8.h>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace tdtext
{
namespace
{
bool isBlank(char c) { return c == ' ' || c == '\t'; }

i32 clampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<i32>(value);
}

float narrow(double value)
{
    if (std::isnan(value))
        return static_cast<float>(value);
    if (value > FLT_MAX)
        return INFINITY;
    if (value < -FLT_MAX)
        return -INFINITY;
    return static_cast<float>(value);
}

// strtoll that also reports whether any digit was read.
bool readInteger(const std::string& text, long long& out)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin)
        return false;
    out = value;
    return true;
}
} // namespace

void trim(std::string& text)
{
    size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && isBlank(text[last - 1]))
        --last;
    text = text.substr(first, last - first);
}

std::string trimmed(const std::string& text)
{
    std::string copy = text;
    trim(copy);
    return copy;
}

std::string removeBlanks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!isBlank(c))
            out.push_back(c);
    return out;
}

std::vector<std::string> split(const std::string& text, char delim, bool skipEmpty, bool trimPieces)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (true)
    {
        size_t found = text.find(delim, start);
        std::string piece = text.substr(start, found == std::string::npos ? std::string::npos : found - start);
        if (trimPieces)
            trim(piece);
        if (!(skipEmpty && piece.empty()))
            pieces.push_back(piece);
        if (found == std::string::npos)
            break;
        start = found + 1;
    }
    return pieces;
}

void dropTrailingCr(std::string& text)
{
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
}

i32 leadingInt(const std::string& text)
{
    long long value = 0;
    return readInteger(text, value) ? clampToInt(value) : 0;
}

float leadingFloat(const std::string& text) { return narrow(std::strtod(text.c_str(), nullptr)); }

bool parseInt(const std::string& text, i32& out)
{
    long long value = 0;
    if (!readInteger(text, value))
        return false;
    out = clampToInt(value);
    return true;
}

bool parseFloat(const std::string& text, float& out)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    double value = std::strtod(begin, &end);
    if (end == begin)
        return false;
    out = narrow(value);
    return true;
}

bool parseBool(const std::string& text, bool& out)
{
    std::string word = trimmed(text);
    if (word == "true")
    {
        out = true;
        return true;
    }
    if (word == "false")
    {
        out = false;
        return true;
    }
    i32 value = 0;
    if (!parseInt(word, value))
        return false;
    out = value != 0;
    return true;
}

i32 truncToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT_MAX;
    if (value <= -2147483648.0)
        return INT_MIN;
    return static_cast<i32>(value);
}

i32 truncToInt(float value) { return truncToInt(static_cast<double>(value)); }

std::string formatFixed(float value)
{
    double v = value;
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v > 0 ? "+INF" : "-INF";
    std::string out;
    if (v != 0.0 && v < 0.0)
        out.push_back('-');
    double magnitude = std::fabs(v) + 0.5 * std::pow(0.1, 6);
    double whole = std::floor(magnitude);
    double fraction = magnitude - whole;
    char digits[400];
    std::snprintf(digits, sizeof(digits), "%.0f", whole);
    out += digits;
    out.push_back('.');
    for (int i = 0; i < 6; ++i)
    {
        fraction *= 10.0;
        int digit = static_cast<int>(fraction);
        if (digit > 9)
            digit = 9;
        out.push_back(static_cast<char>('0' + digit));
        fraction -= digit;
    }
    return out;
}

std::string sanitizeUtf8(const std::string& text)
{
    if (utf8::is_valid(text.begin(), text.end()))
        return text;
    std::string fixed;
    utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(fixed));
    return fixed;
}

std::wstring utf8ToWide(const std::string& text)
{
    std::string valid = sanitizeUtf8(text);
    std::wstring out;
    utf8::utf8to32(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}

std::string wideToUtf8(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
    {
        u32 cp = static_cast<u32>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        utf8::append(static_cast<uint32_t>(cp), std::back_inserter(out));
    }
    return out;
}

std::wstring fillNumbers(const std::wstring& format, std::initializer_list<i32> numbers)
{
    std::wstring out;
    size_t from = 0;
    for (i32 n : numbers)
    {
        const size_t at = format.find(L"%d", from);
        if (at == std::wstring::npos)
            break;
        out += format.substr(from, at - from) + std::to_wstring(n);
        from = at + 2;
    }
    return out + format.substr(from);
}
} // namespace tdtext
