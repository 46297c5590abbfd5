// Tokenizer over 8-bit text, with the blank-trimming helpers the sheet readers use.
#include "Core/Base/Tokenizer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace base
{
namespace
{
constexpr const char* kBlanks = " \t";
}

void Trim(std::string& text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
    {
        text.clear();
        return;
    }
    const size_t last = text.find_last_not_of(kBlanks);
    text.erase(last + 1);
    text.erase(0, first);
}

void RemoveChar(const std::string& input, char character, std::string& output)
{
    output.reserve(output.size() + input.size());
    for (char c : input)
        if (c != character)
            output.push_back(c);
}

Tokenizer::Tokenizer(const std::string& text, char delimiter, bool skipEmpty)
    : mText(text), mDelimiter(delimiter), mSkipEmpty(skipEmpty)
{
    Trim(mText);
}

bool Tokenizer::NextToken(std::string* out)
{
    while (mPosition != kEnd)
    {
        const size_t start = mPosition;
        const size_t found = mText.find(mDelimiter, start);
        const size_t stop = found == std::string::npos ? mText.size() : found;
        bool empty;
        if (out)
        {
            out->assign(mText, start, stop - start);
            Trim(*out);
            empty = out->empty();
        }
        else
        {
            const size_t content = mText.find_first_not_of(kBlanks, start);
            empty = content == std::string::npos || content >= stop;
        }
        // Texts beyond 4 GiB are not split; the end marker must stay distinct from a position.
        mPosition = found == std::string::npos || found + 1 >= kEnd ? kEnd : static_cast<u32>(found + 1);
        if (!(mSkipEmpty && empty))
            return true;
    }
    return false;
}

int Tokenizer::count()
{
    if (mCount >= 0)
        return mCount;
    if (mSkipEmpty)
    {
        const u32 position = mPosition;
        mPosition = 0;
        mCount = 0;
        while (NextToken(nullptr))
            ++mCount;
        mPosition = position;
    }
    else
        mCount = static_cast<int>(std::count(mText.begin(), mText.end(), mDelimiter)) + 1;
    return mCount;
}

Tokenizer& Tokenizer::operator>>(int& value)
{
    std::string token;
    if (NextToken(&token))
    {
        // atoi's leading-digits rule, clamped instead of wrapping on out-of-range numbers.
        const long long parsed = std::strtoll(token.c_str(), nullptr, 10);
        value = static_cast<int>(std::clamp<long long>(parsed, INT_MIN, INT_MAX));
    }
    return *this;
}

Tokenizer& Tokenizer::operator>>(float& value)
{
    std::string token;
    if (NextToken(&token))
        value = static_cast<float>(std::atof(token.c_str()));
    return *this;
}
} // namespace base
