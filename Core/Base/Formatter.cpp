// Printf-style formatter for char and wchar_t: conversion parser and the integer, float and text writers.
#include "Core/Base/Formatter.h"

#include "Core/Base/Math.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace base
{
namespace
{
// Stages of a conversion's characters; they must not decrease.
enum Stage
{
    kInvalid = 0,
    kFlag = 1,
    kNumber = 2,
    kLength = 4,
    kConversion = 5,
};

template <class C> void AppendAscii(std::basic_string<C>& out, const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        out.push_back(static_cast<C>(text[i]));
}

template <class C> void AppendUnsigned(std::basic_string<C>& out, u64 value, u32 radix, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buffer[64];
    size_t n = 0;
    do
    {
        buffer[n++] = digits[value % radix];
        value /= radix;
    } while (value);
    while (n)
        out.push_back(static_cast<C>(buffer[--n]));
}

// Exact decimal digits of a non-negative whole double of any size.
template <class C> void AppendWhole(std::basic_string<C>& out, double whole)
{
    if (whole < 18446744073709551616.0)
    {
        AppendUnsigned(out, static_cast<u64>(whole), 10, false);
        return;
    }
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), whole, std::chars_format::fixed, 0);
    AppendAscii(out, buffer, static_cast<size_t>(result.ptr - buffer));
}

// magnitude x 0.1^exponent, split in two steps where one power of 0.1 would overflow.
double ScaleByTenth(double magnitude, int exponent)
{
    if (exponent < -300)
        return magnitude * math::Pow(0.1, -300) * math::Pow(0.1, exponent + 300);
    return magnitude * math::Pow(0.1, exponent);
}

int DecimalExponent(double magnitude) { return static_cast<int>(math::Floor(math::Log10(magnitude))); }

// Mantissa in [1, 10) rounded at the given number of fraction digits; adjusts the exponent when
// log10 or the rounding lands one decade off.
double RoundedMantissa(double magnitude, int& exponent, u32 fractionDigits)
{
    const double half = 0.5 * math::Pow(0.1, static_cast<double>(fractionDigits));
    double m = ScaleByTenth(magnitude, exponent) + half;
    for (int i = 0; i < 2; ++i)
    {
        if (m >= 10.0)
            ++exponent;
        else if (m < 1.0)
            --exponent;
        else
            break;
        m = ScaleByTenth(magnitude, exponent) + half;
    }
    return m;
}
} // namespace

template <class C>
Formatter<C>::Formatter(const C* format, String* output)
    : mOutput(output ? output : &mResult), mFormat(format ? format : String())
{
    mDone = ParseNext();
}

template <class C>
Formatter<C>::Formatter(const String& format, String* output) : mOutput(output ? output : &mResult), mFormat(format)
{
    mDone = ParseNext();
}

template <class C> Formatter<C>::Formatter(int width, int precision) : mOutput(&mResult)
{
    mWidth = std::min<u32>(width > 0 ? static_cast<u32>(width) : 0u, kMaxWidth);
    mPrecision = precision > 0 ? static_cast<u32>(precision) : 0u;
}

template <class C> void Formatter<C>::ResetConversion()
{
    mWidth = 0;
    mPrecision = 0;
    mZeroPad = false;
    mPlus = false;
    mSpace = false;
    mUpper = false;
    mAlternate = false;
    mFloatStyle = 0;
    mAlign = 0;
    mIntStyle = 0;
}

// Returns true when the format is used up, false when a conversion waits for its argument.
template <class C> bool Formatter<C>::ParseNext()
{
    using Unit = std::make_unsigned_t<C>;
    const size_t end = mFormat.size();
    while (mPos < end)
    {
        const C c = mFormat[mPos];
        if (c != C('%'))
        {
            mOutput->push_back(c);
            ++mPos;
            continue;
        }
        ResetConversion();
        const size_t start = mPos++;
        if (mPos == end)
        {
            mOutput->push_back(c); // a trailing "%" stays
            return true;
        }

        int stage = kFlag;
        bool precision = false;
        u64 width = 0;
        u64 digits = 0;
        bool invalid = false;
        while (mPos < end)
        {
            const C ch = mFormat[mPos];
            const u32 code = static_cast<Unit>(ch);
            int s = kInvalid;
            if (code >= 1 && code <= 127)
            {
                switch (static_cast<char>(code))
                {
                case '-':
                    s = kFlag;
                    mAlign = 1;
                    break;
                case '=':
                    s = kFlag;
                    mAlign = 2;
                    break;
                case '+':
                    s = kFlag;
                    mPlus = true;
                    break;
                case ' ':
                    s = kFlag;
                    mSpace = true;
                    break;
                case '#':
                    s = kFlag;
                    mAlternate = true;
                    break;
                case '.':
                    s = precision ? kInvalid : kNumber;
                    precision = true;
                    break;
                case 'h':
                case 'l':
                case 'L': s = kLength; break;
                case 'd':
                case 'i':
                case 'u':
                case 'c':
                case 's':
                case 'p':
                case 'n': s = kConversion; break;
                case 'x':
                    s = kConversion;
                    mIntStyle = 1;
                    break;
                case 'X':
                    s = kConversion;
                    mIntStyle = 1;
                    mUpper = true;
                    break;
                case 'o':
                    s = kConversion;
                    mIntStyle = 2;
                    break;
                case 'b':
                    s = kConversion;
                    mIntStyle = 3;
                    break;
                case 'e':
                    s = kConversion;
                    mFloatStyle = 1;
                    break;
                case 'E':
                    s = kConversion;
                    mFloatStyle = 1;
                    mUpper = true;
                    break;
                case 'f':
                    s = kConversion;
                    mFloatStyle = 2;
                    break;
                case 'g': s = kConversion; break;
                case 'G':
                    s = kConversion;
                    mUpper = true;
                    break;
                default:
                    if (code >= '0' && code <= '9')
                    {
                        if (code == '0' && stage < kNumber)
                        {
                            s = kFlag;
                            mZeroPad = true;
                            break;
                        }
                        s = kNumber;
                        u64& target = precision ? digits : width;
                        target = std::min<u64>(target * 10 + (code - '0'), 1000000);
                    }
                    break;
                }
            }
            if (s == kInvalid || s < stage)
            {
                // Drop the conversion, keep the offending character ("%%" writes "%").
                mOutput->push_back(ch);
                if (!(code == '%' && mPos == start + 1))
                    mInvalid = true;
                ++mPos;
                invalid = true;
                break;
            }
            stage = s;
            ++mPos;
            if (s == kConversion)
            {
                mWidth = static_cast<u32>(std::min<u64>(width, kMaxWidth));
                mPrecision = static_cast<u32>(digits);
                return false;
            }
        }
        if (!invalid)
        {
            // The format ended inside a conversion: only its last character survives. No character
            // was invalid, so the flag stays as it was.
            mOutput->push_back(mFormat[end - 1]);
        }
    }
    ResetConversion();
    return true;
}

template <class C> void Formatter<C>::Finish()
{
    if (mPos < mFormat.size())
        mOutput->append(mFormat, mPos, String::npos);
    mPos = static_cast<u32>(mFormat.size());
    mDone = true;
}

template <class C> void Formatter<C>::FreeResult()
{
    String().swap(mResult);
    String().swap(mFormat);
    mPos = 0;
    mDone = true;
}

template <class C> template <class F> Formatter<C>& Formatter<C>::Argument(F write)
{
    if (mDone)
        return *this;
    write();
    mDone = ParseNext();
    return *this;
}

template <class C> void Formatter<C>::WritePadded(const String& text)
{
    if (mWidth <= text.size())
    {
        mOutput->append(text);
        return;
    }
    const size_t gap = mWidth - text.size();
    const size_t before = mAlign == 1 ? 0 : mAlign == 2 ? gap / 2 : gap;
    mOutput->append(before, C(' '));
    mOutput->append(text);
    mOutput->append(gap - before, C(' '));
}

template <class C> void Formatter<C>::WriteInteger(u64 magnitude, bool negative, bool isSigned, u64 pattern)
{
    String sign;
    String prefix;
    String digits;
    switch (mIntStyle)
    {
    case 1:
        AppendUnsigned(digits, pattern, 16, mUpper);
        if (mAlternate)
            AppendAscii(prefix, mUpper ? "0X" : "0x", 2);
        break;
    case 2:
        AppendUnsigned(digits, pattern, 8, false);
        if (mAlternate)
            digits.insert(digits.begin(), C('0'));
        break;
    case 3: AppendUnsigned(digits, pattern, 2, false); break;
    default:
        AppendUnsigned(digits, magnitude, 10, false);
        if (negative)
            sign.push_back(C('-'));
        else if (isSigned && mPlus)
            sign.push_back(C('+'));
        else if (isSigned && mSpace)
            sign.push_back(C(' '));
        break;
    }

    const size_t length = sign.size() + prefix.size() + digits.size();
    if (!mZeroPad || mWidth <= length)
    {
        WritePadded(sign + prefix + digits);
        return;
    }
    // Zero padding is always right-aligned: sign or "0x" first, then zeros, then the digits.
    mOutput->append(sign);
    if (!prefix.empty())
        AppendAscii(*mOutput, "0x", 2);
    mOutput->append(mWidth - length, C('0'));
    mOutput->append(digits);
}

template <class C> void Formatter<C>::AppendFixed(String& out, double rounded, u32 precision) const
{
    double whole = math::Floor(rounded);
    AppendWhole(out, whole);
    out.push_back(C('.'));
    double fraction = rounded - whole;
    for (u32 i = 0; i < precision; ++i)
    {
        fraction *= 10.0;
        const double digit = std::min(math::Floor(fraction), 9.0);
        fraction -= digit;
        out.push_back(static_cast<C>('0' + static_cast<int>(digit)));
    }
}

template <class C> void Formatter<C>::AppendExponent(String& out, int exponent) const
{
    out.push_back(mUpper ? C('E') : C('e'));
    out.push_back(exponent < 0 ? C('-') : C('+'));
    const u32 value = static_cast<u32>(exponent < 0 ? -exponent : exponent);
    String digits;
    AppendUnsigned(digits, value, 10, false);
    if (digits.size() < 3)
        out.append(3 - digits.size(), C('0'));
    out.append(digits);
}

template <class C> void Formatter<C>::WriteFloat(double value)
{
    String text;
    if (std::isnan(value))
    {
        AppendAscii(text, "NaN", 3);
        WritePadded(text);
        return;
    }
    if (std::isinf(value))
    {
        AppendAscii(text, value < 0 ? "-INF" : "+INF", 4);
        WritePadded(text);
        return;
    }

    u32 precision = std::min(mPrecision, kMaxPrecision);
    if (precision == 0)
        precision = 6;
    const double magnitude = std::fabs(value);
    if (magnitude != 0.0)
    {
        if (value < 0)
            text.push_back(C('-'));
        else if (mPlus)
            text.push_back(C('+'));
        else if (mSpace)
            text.push_back(C(' '));
    }

    if (mFloatStyle == 2)
    {
        AppendFixed(text, magnitude + 0.5 * math::Pow(0.1, static_cast<double>(precision)), precision);
    }
    else if (mFloatStyle == 1)
    {
        int exponent = 0;
        double mantissa = 0.5 * math::Pow(0.1, static_cast<double>(precision));
        if (magnitude != 0.0)
        {
            exponent = DecimalExponent(magnitude);
            mantissa = RoundedMantissa(magnitude, exponent, precision);
        }
        AppendFixed(text, mantissa, precision);
        AppendExponent(text, exponent);
    }
    else if (magnitude == 0.0)
    {
        text.push_back(C('0'));
    }
    else
    {
        // General: `precision` significant digits, trailing zeros dropped.
        int exponent = DecimalExponent(magnitude);
        double m = RoundedMantissa(magnitude, exponent, precision - 1);
        char digits[kMaxPrecision];
        const double first = std::min(math::Floor(m), 9.0);
        digits[0] = static_cast<char>('0' + static_cast<int>(first));
        m -= first;
        for (u32 i = 1; i < precision; ++i)
        {
            m *= 10.0;
            const double digit = std::min(math::Floor(m), 9.0);
            m -= digit;
            digits[i] = static_cast<char>('0' + static_cast<int>(digit));
        }
        size_t count = precision;
        const bool exponentForm = exponent >= static_cast<int>(precision) || exponent < -4;
        // Digits before the point are never dropped.
        const size_t keep = exponentForm || exponent < 0 ? 1 : static_cast<size_t>(exponent) + 1;
        while (count > keep && digits[count - 1] == '0')
            --count;
        if (exponentForm)
        {
            text.push_back(static_cast<C>(digits[0]));
            if (count > 1)
            {
                text.push_back(C('.'));
                AppendAscii(text, digits + 1, count - 1);
            }
            AppendExponent(text, exponent);
        }
        else if (exponent < 0)
        {
            AppendAscii(text, "0.", 2);
            text.append(static_cast<size_t>(-exponent - 1), C('0'));
            AppendAscii(text, digits, count);
        }
        else
        {
            const size_t whole = static_cast<size_t>(exponent) + 1;
            AppendAscii(text, digits, whole);
            if (count > whole)
            {
                text.push_back(C('.'));
                AppendAscii(text, digits + whole, count - whole);
            }
        }
    }
    WritePadded(text);
}

template <class C> Formatter<C>& Formatter<C>::operator<<(int value)
{
    return Argument(
        [&]
        {
            const i64 v = value;
            WriteInteger(static_cast<u64>(v < 0 ? -v : v), v < 0, true, static_cast<u32>(value));
        });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(unsigned value)
{
    return Argument([&] { WriteInteger(value, false, false, value); });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(long long value)
{
    return Argument(
        [&]
        {
            // The magnitude of the most negative value does not fit its own type.
            const u64 magnitude = value < 0 ? 0 - static_cast<u64>(value) : static_cast<u64>(value);
            WriteInteger(magnitude, value < 0, true, static_cast<u64>(value));
        });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(unsigned long long value)
{
    return Argument([&] { WriteInteger(value, false, false, value); });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(long value) { return *this << static_cast<long long>(value); }

template <class C> Formatter<C>& Formatter<C>::operator<<(unsigned long value)
{
    return *this << static_cast<unsigned long long>(value);
}

template <class C> Formatter<C>& Formatter<C>::operator<<(float value)
{
    return Argument([&] { WriteFloat(static_cast<double>(value)); });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(double value)
{
    return Argument([&] { WriteFloat(value); });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(const C* text)
{
    return Argument([&] { WritePadded(text ? String(text) : String()); });
}

template <class C> Formatter<C>& Formatter<C>::operator<<(const String& text)
{
    return Argument([&] { WritePadded(text); });
}

template class Formatter<char>;
template class Formatter<wchar_t>;
} // namespace base
