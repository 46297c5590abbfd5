// Printf-style formatter: what one conversion sets (flags, width, precision, style, the invalid
// mark) must not reach the conversions after it in the same format, nor the next formatter.
#include "Core/Base/Formatter.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
template <class C, class... A> std::basic_string<C> Format(const C* format, A... args)
{
    base::Formatter<C> f(format);
    if constexpr (sizeof...(args) > 0)
        (f << ... << args);
    f.Finish();
    return f.GetResult();
}
} // namespace

TEST(FormatterSequence, EachConversionStartsFromPlainDefaults)
{
    // Each pair: a conversion with a flag, then a bare one of the same kind that must stay plain.
    EXPECT_EQ(Format(L"%-5d|%d|", 1, 2), L"1    |2|") << "left alignment";
    EXPECT_EQ(Format(L"%=5d|%3d|", 1, 2), L"  1  |  2|") << "centring";
    EXPECT_EQ(Format(L"%05d|%3d|", 1, 2), L"00001|  2|") << "zero padding";
    EXPECT_EQ(Format(L"%+d|%d|", 1, 2), L"+1|2|") << "plus sign";
    EXPECT_EQ(Format(L"% d|%d|", 1, 2), L" 1|2|") << "space sign";
    EXPECT_EQ(Format(L"%8d|%d|", 1, 2), L"       1|2|") << "width";
    EXPECT_EQ(Format(L"%#x|%d|%x|", 255, 255, 255), L"0xff|255|ff|") << "alternate form and hexadecimal";
    EXPECT_EQ(Format(L"%X|%x|", 255, 255), L"FF|ff|") << "upper case";
    EXPECT_EQ(Format(L"%o|%d|", 8, 8), L"10|8|") << "octal";
    EXPECT_EQ(Format(L"%b|%d|", 5, 5), L"101|5|") << "binary";
    EXPECT_EQ(Format(L"%.2f|%f|", 1.5, 1.5), L"1.50|1.500000|") << "precision";
    EXPECT_EQ(Format(L"%e|%g|", 1234.5, 1234.5), L"1.234500e+003|1234.5|") << "exponent style";
    EXPECT_EQ(Format(L"%f|%g|", 0.5, 0.5), L"0.500000|0.5|") << "fixed style";
    EXPECT_EQ(Format(L"%E|%e|", 0.1, 0.1), L"1.000000E-001|1.000000e-001|") << "upper-case exponent";
    EXPECT_EQ(Format(L"%G|%g|", 1e-5, 1e-5), L"1E-005|1e-005|") << "upper-case general";
    EXPECT_EQ(Format(L"%-6s|%s|", L"ab", L"cd"), L"ab    |cd|") << "text alignment";

    // A float's style does not reach an integer, nor an integer's base a float.
    EXPECT_EQ(Format(L"%e|%d|", 2.0, 7), L"2.000000e+000|7|");
    EXPECT_EQ(Format(L"%x|%f|%d|", 255, 0.25, 255), L"ff|0.250000|255|");
    EXPECT_EQ(Format(L"%08.3f|%d|%f|", 3.14159, 4, 2.0), L"   3.142|4|2.000000|");

    // Every flag at once (zero padding keeps the field right-aligned), then plain conversions of
    // each kind.
    EXPECT_EQ(Format(L"%#+-012.3X|%d|%f|%s|", 255, 255, 0.5, L"t"), L"0x00000000FF|255|0.500000|t|");
    EXPECT_EQ(Format("%#+-012.3X|%d|%f|%s|", 255, 255, 0.5, "t"), "0x00000000FF|255|0.500000|t|") << "narrow twin";

    // An invalid conversion's flags go with it; the mark itself stays for the whole format.
    base::Formatter<wchar_t> bad(L"%+08q|%d|%x|");
    bad << 5 << 255;
    EXPECT_TRUE(bad.IsInvalid());
    EXPECT_EQ(bad.GetResult(), L"q|5|ff|");

    // A new formatter after an invalid one starts clean.
    base::Formatter<wchar_t> good(L"%d");
    good << 3;
    EXPECT_FALSE(good.IsInvalid());
    EXPECT_EQ(good.GetResult(), L"3");

    // Width and precision of the format-less formatter apply to its one value only.
    base::Formatter<wchar_t> once(6, 2);
    once << 3.14159 << 2.5;
    EXPECT_EQ(once.GetResult(), L"   3.1");
}
