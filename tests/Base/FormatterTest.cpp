// Printf-style formatter: the conversion table, floats, bad formats and argument mismatches.
#include "Core/Base/Formatter.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <limits>
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

struct Case
{
    const wchar_t* format;
    double value; // used when isFloat
    long long integer;
    bool isFloat;
    const wchar_t* expected;
};

Case I(const wchar_t* format, long long v, const wchar_t* expected) { return {format, 0, v, false, expected}; }
Case F(const wchar_t* format, double v, const wchar_t* expected) { return {format, v, 0, true, expected}; }
} // namespace

TEST(Formatter, ConversionTableAndArgumentTypes)
{
    const Case cases[] = {
        I(L"%d items", 5, L"5 items"),
        I(L"%-4d|", 5, L"5   |"),
        I(L"%=5d", 5, L"  5  "),
        I(L"%=6d|", 5, L"  5   |"),
        I(L"%05d", -42, L"-0042"),
        I(L"%5d", -42, L"  -42"),
        I(L"%+d", 7, L"+7"),
        I(L"% d", 7, L" 7"),
        I(L"%+05d", 7, L"+0007"),
        I(L"%x", -1, L"ffffffff"),
        I(L"%#X", 255, L"0XFF"),
        I(L"%#08X", 255, L"0x0000FF"),
        I(L"%#x", 255, L"0xff"),
        I(L"%+x", 255, L"ff"),
        I(L"%o", 8, L"10"),
        I(L"%#o", 8, L"010"),
        I(L"%b", 5, L"101"),
        I(L"%b", -1, L"11111111111111111111111111111111"),
        I(L"%ld", 12, L"12"),
        I(L"%hd", 12, L"12"),
        I(L"%s", 42, L"42"),
        I(L"%c", 65, L"65"),
        I(L"%2d", 12345, L"12345"),
        F(L"%.2f", 3.14159, L"3.14"),
        F(L"%.0f", 2.5, L"2.500000"),
        F(L"%.9f", 1.0 / 3.0, L"0.3333333"),
        F(L"%f", 1.5, L"1.500000"),
        F(L"%f", -0.0, L"0.000000"),
        F(L"%+.1f", 2.26, L"+2.3"),
        F(L"%8.3f|", 3.14159, L"   3.142|"),
        F(L"%-8.3f|", 3.14159, L"3.142   |"),
        F(L"%08.3f", 3.14159, L"   3.142"),
        F(L"%.1f", 4294967296.5, L"4294967296.5"),
        F(L"%.1f", 1e20, L"100000000000000000000.0"),
        F(L"%g", 0.5, L"0.5"),
        F(L"%g", 2.0, L"2"),
        F(L"%g", 1000000.0, L"1e+006"),
        F(L"%g", 123456.0, L"123456"),
        F(L"%g", 0.0001, L"0.0001"),
        F(L"%g", 100.0, L"100"),
        F(L"%g", 100.5, L"100.5"),
        F(L"%.3g", 0.012345, L"0.0123"),
        F(L"%.1g", 0.96, L"1"),
        F(L"%g", 0.00001, L"1e-005"),
        F(L"%G", 0.00001, L"1E-005"),
        F(L"%g", 0.0, L"0"),
        F(L"%g", -1.25, L"-1.25"),
        F(L"%g", 9.9999999, L"10"),
        F(L"%g", 1.5e300, L"1.5e+300"),
        F(L"%e", 0.0, L"0.000000e+000"),
        F(L"%e", 0.1, L"1.000000e-001"),
        F(L"%e", 1234.5, L"1.234500e+003"),
        F(L"%E", -1234.5, L"-1.234500E+003"),
        F(L"%e", 9.9999999, L"1.000000e+001"),
        F(L"%.2e", 5e-310, L"5.00e-310"),
        F(L"%d", 2.5, L"2.5"),
        F(L"%f", std::numeric_limits<double>::quiet_NaN(), L"NaN"),
        F(L"%5f", std::numeric_limits<double>::infinity(), L" +INF"),
        F(L"%f", -std::numeric_limits<double>::infinity(), L"-INF"),
    };
    for (const Case& c : cases)
    {
        const std::wstring got = c.isFloat ? Format(c.format, c.value) : Format(c.format, static_cast<int>(c.integer));
        EXPECT_EQ(got, c.expected) << "format '" << std::string(c.format, c.format + std::wcslen(c.format)) << "'";
    }

    // The argument type decides the writer; the narrow twin matches.
    EXPECT_EQ(Format(L"[%s]", std::wstring(L"text")), L"[text]");
    EXPECT_EQ(Format(L"[%8s]", L"ab"), L"[      ab]");
    EXPECT_EQ(Format(L"[%-5s]", L"ab"), L"[ab   ]");
    EXPECT_EQ(Format(L"[%=5s]", L"ab"), L"[ ab  ]");
    EXPECT_EQ(Format(L"[%05.1s]", L"ab"), L"[   ab]") << "no precision or zeros for text";
    EXPECT_EQ(Format(L"[%d]", static_cast<const wchar_t*>(nullptr)), L"[]");
    EXPECT_EQ(Format(L"%f", 3), L"3");
    EXPECT_EQ(Format(L"%x", 2.0f), L"2");
    EXPECT_EQ(Format(L"%+u", 7u), L"7") << "unsigned numbers get no sign";
    EXPECT_EQ(Format(L"%u", 4294967295u), L"4294967295");
    EXPECT_EQ(Format(L"%d", -2147483647 - 1), L"-2147483648");
    EXPECT_EQ(Format(L"%d", std::numeric_limits<long long>::min()), L"-9223372036854775808");
    EXPECT_EQ(Format(L"%x", -1LL), L"ffffffffffffffff");
    EXPECT_EQ(Format(L"%d", std::numeric_limits<unsigned long>::max()), L"18446744073709551615");
    EXPECT_EQ(Format(L"%d", size_t{12}), L"12");
    EXPECT_EQ(Format(L"%.3f", 0.1f), L"0.100");

    EXPECT_EQ(Format("tower%dshot", 3), "tower3shot");
    EXPECT_EQ(Format("%#08X|%-6.2f|%s", 255, 2.5, "ok"), "0x0000FF|2.50  |ok");
    EXPECT_EQ(Format("x%\xc3\xa9%d", 1), "x\xc3\xa9"
                                         "1")
        << "bytes above 127 end a conversion";
    EXPECT_EQ(Format("%g", 1234567.0), "1.23457e+006");

    // Percent signs, invalid conversions, argument-count mismatches and bounded widths.
    base::Formatter<wchar_t> percent(L"100%%");
    EXPECT_TRUE(percent.IsDone());
    EXPECT_FALSE(percent.IsInvalid());
    EXPECT_EQ(percent.GetResult(), L"100%");

    base::Formatter<wchar_t> star(L"%*d");
    EXPECT_TRUE(star.IsDone());
    EXPECT_TRUE(star.IsInvalid());
    star << 5;
    EXPECT_EQ(star.GetResult(), L"*d");

    EXPECT_EQ(Format(L"%-%", 1), L"%") << "a late percent is invalid";
    EXPECT_EQ(Format(L"%5-d|%d", 1), L"-d|1") << "stages must not decrease";
    EXPECT_EQ(Format(L"%1.2.3f|%d", 1), L".3f|1") << "a second point is invalid";
    EXPECT_EQ(Format(L"%ld%q", 1), L"1q");
    EXPECT_EQ(Format(L"50%"), L"50%") << "a trailing percent stays";
    EXPECT_EQ(Format(L"a%-5"), L"a5") << "only the last character of an unfinished conversion stays";
    // Only an invalid character sets the flag: an unfinished conversion does not, nor clears it.
    for (const wchar_t* unfinished : {L"a%-5", L"%12", L"%.", L"width %08.3"})
    {
        base::Formatter<wchar_t> f(unfinished);
        EXPECT_TRUE(f.IsDone());
        EXPECT_FALSE(f.IsInvalid()) << std::string(unfinished, unfinished + std::wcslen(unfinished));
    }
    base::Formatter<wchar_t> both(L"%*d %12");
    EXPECT_TRUE(both.IsInvalid());
    EXPECT_EQ(both.GetResult(), L"*d 2");
    EXPECT_EQ(Format(L"x%\u00e9y%d", 3), L"x\u00e9y3");

    EXPECT_EQ(Format(L"%d and %d", 1, 2, 3, 4), L"1 and 2");
    // The conversion left waiting is dropped; later ones appear as written.
    EXPECT_EQ(Format(L"%d and %d, %s!", 1), L"1 and , %s!");
    EXPECT_EQ(Format(L"no conversions", 1, 2.0, L"x"), L"no conversions");

    base::Formatter<wchar_t> f(L"a=%d b=%5.2f");
    f << 1;
    EXPECT_FALSE(f.IsDone());
    EXPECT_EQ(f.GetResult(), L"a=1 b=");
    f.Finish();
    EXPECT_EQ(f.GetResult(), L"a=1 b=");
    f << 2.0;
    EXPECT_EQ(f.GetResult(), L"a=1 b=") << "nothing is written after Finish";

    base::Formatter<wchar_t> g(L"%s: %d%% (%d)");
    g << L"hp";
    g.Finish();
    EXPECT_EQ(g.GetResult(), L"hp: %% (%d)");

    // Large widths and values stay bounded; the other constructors work.
    EXPECT_EQ(Format(L"%999999999d", 1).size(), base::Formatter<wchar_t>::kMaxWidth);
    EXPECT_EQ(Format(L"%99999999999999999999999999d", 1).size(), base::Formatter<wchar_t>::kMaxWidth);
    EXPECT_EQ(Format(L"%.99999999999999999999f", 0.5), L"0.5000000");

    EXPECT_EQ(Format(L"%.1f", 2147483648.0), L"2147483648.0");
    EXPECT_EQ(Format(L"%.1f", -3e9), L"-3000000000.0");
    const std::wstring huge = Format(L"%.1f", 1e300);
    EXPECT_EQ(huge.size(), 303u);
    EXPECT_EQ(huge.substr(0, 2), L"10");
    EXPECT_EQ(Format(L"%.1f", std::numeric_limits<double>::max()).size(), 311u);

    base::Formatter<wchar_t> general(6, 2);
    general << 3.14159;
    EXPECT_TRUE(general.IsDone());
    EXPECT_EQ(general.GetResult(), L"   3.1") << "general style: two significant digits";

    base::Formatter<char> narrow(-3, -1);
    narrow << 7;
    EXPECT_EQ(narrow.GetResult(), "7");

    std::wstring target = L">";
    base::Formatter<wchar_t> into(L"%d<", &target);
    into << 9;
    EXPECT_EQ(target, L">9<");
    EXPECT_EQ(&into.GetResult(), &target);
}

// What one conversion sets (flags, width, precision, style, the invalid mark) must not reach the
// conversions after it in the same format, nor the next formatter.
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
