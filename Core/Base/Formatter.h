// Printf-style formatter: arguments are streamed in one by one and the argument's type decides how it is written.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace base
{
// Format syntax: "%" [flags - = + space # 0] [width] [.precision] [h l L] letter.
// The letter only picks the style within the argument's kind: d i u c s p n default,
// x X hexadecimal, o octal, b binary, e E exponent, f fixed, g G general.
// An argument beyond the last conversion is ignored; Finish copies what is left of the format.
template <class C> class Formatter
{
public:
    using String = std::basic_string<C>;
    static constexpr u32 kMaxWidth = 4096;  // widths come from localised text: keep them sane
    static constexpr u32 kMaxPrecision = 7; // floats never show more fraction digits

    // output: a caller's string to append to instead of the formatter's own result.
    explicit Formatter(const C* format, String* output = nullptr);
    explicit Formatter(const String& format, String* output = nullptr);
    // No format: the next value is written with this width and precision.
    Formatter(int width, int precision);
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    Formatter& operator<<(int value);
    Formatter& operator<<(unsigned value);
    Formatter& operator<<(long value);
    Formatter& operator<<(unsigned long value);
    Formatter& operator<<(long long value);
    Formatter& operator<<(unsigned long long value);
    Formatter& operator<<(float value);
    Formatter& operator<<(double value);
    Formatter& operator<<(const C* text); // null writes as empty
    Formatter& operator<<(const String& text);

    // Appends the rest of the format unparsed (after too few arguments).
    void Finish();
    void FreeResult();

    const String& GetResult() const { return *mOutput; }
    bool IsDone() const { return mDone; }
    // Set by a conversion with an invalid character; a format ending inside a conversion leaves it alone.
    bool IsInvalid() const { return mInvalid; }

private:
    bool ParseNext();
    void ResetConversion();
    void WritePadded(const String& text);
    void WriteInteger(u64 magnitude, bool negative, bool isSigned, u64 pattern);
    void WriteFloat(double value);
    void AppendFixed(String& out, double rounded, u32 precision) const;
    void AppendExponent(String& out, int exponent) const;
    template <class F> Formatter& Argument(F write);

    u32 mWidth = 0;
    u32 mPrecision = 0;
    bool mZeroPad = false;
    bool mPlus = false;
    bool mSpace = false;
    bool mUpper = false;
    bool mAlternate = false;
    u32 mFloatStyle = 0; // 0 general, 1 exponent, 2 fixed
    u32 mAlign = 0;      // 0 right, 1 left, 2 centred
    u32 mIntStyle = 0;   // 0 decimal, 1 hexadecimal, 2 octal, 3 binary
    String* mOutput;
    String mFormat;
    u32 mPos = 0;
    bool mInvalid = false;
    bool mDone = false;
    String mResult;
};

extern template class Formatter<char>;
extern template class Formatter<wchar_t>;
} // namespace base
