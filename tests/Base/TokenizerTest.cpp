// Tokenizer splitting rules, number reads, and the trimming helpers.
#include "Core/Base/Tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Split(const std::string& text, char delimiter, bool skipEmpty)
{
    base::Tokenizer tokenizer(text, delimiter, skipEmpty);
    const int counted = tokenizer.count();
    std::vector<std::string> tokens;
    std::string token;
    while (tokenizer.NextToken(&token))
        tokens.push_back(token);
    EXPECT_FALSE(tokenizer.NextToken(&token)) << "stays finished";
    EXPECT_EQ(counted, static_cast<int>(tokens.size())) << "count() agrees with the tokens read";
    return tokens;
}

using Tokens = std::vector<std::string>;
} // namespace

TEST(Tokenizer, SplitsSkipsReadsNumbersAndTrims)
{
    struct Case
    {
        const char* text;
        char delimiter;
        bool skipEmpty;
        Tokens tokens;
    };
    const Case cases[] = {
        {"first\n\nthird", '\n', true, {"first", "third"}},
        {"first\n \t \nthird\n", '\n', true, {"first", "third"}},
        {"a;;b;", ';', false, {"a", "", "b", ""}}, // the last empty field counts
        {";", ';', false, {"", ""}},                      {" a ; b ", ';', false, {"a", "b"}},
        {"\t x y \t;", ';', false, {"x y", ""}},
        {"  a;b;  ", ';', false, {"a", "b", ""}}, // trailing blanks go before splitting
        {"", ';', false, {""}},                           {"  \t", ';', false, {""}},
        {"", ';', true, {}},                              {";;;", ';', true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.text, c.delimiter, c.skipEmpty), c.tokens) << "'" << c.text << "'";

    // Skipping judges emptiness, numbers read leading digits, trimming takes blanks only.
    base::Tokenizer tokenizer("a; ;b", ';', true);
    EXPECT_TRUE(tokenizer.NextToken(nullptr));
    EXPECT_EQ(tokenizer.count(), 2) << "counting keeps the read position";
    std::string token;
    ASSERT_TRUE(tokenizer.NextToken(&token));
    EXPECT_EQ(token, "b");

    base::Tokenizer blanks(" ; \t;x", ';', true);
    EXPECT_TRUE(blanks.NextToken(nullptr)) << "skips two blank fields, lands on x";
    EXPECT_FALSE(blanks.NextToken(nullptr));

    base::Tokenizer numbers("12abc;-7; 2.5 ;x;99999999999", ';', false);
    int a = 0, b = 0, d = 5, e = 0, past = 42;
    float c = 0;
    numbers >> a >> b >> c >> d >> e >> past;
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_FLOAT_EQ(c, 2.5f);
    EXPECT_EQ(d, 0) << "text that is no number reads 0";
    EXPECT_EQ(e, 2147483647) << "out of range clamps";
    EXPECT_EQ(past, 42) << "past the end the target keeps its value";
    float f = 1.25f;
    numbers >> f;
    EXPECT_EQ(f, 1.25f);

    std::string text = " \t a b\n \t";
    base::Trim(text);
    EXPECT_EQ(text, "a b\n");
    std::string blank = " \t ";
    base::Trim(blank);
    EXPECT_EQ(blank, "");

    std::string out = ">";
    base::RemoveChar(" 1 ; 2 ;3 ", ' ', out);
    EXPECT_EQ(out, ">1;2;3");
}

