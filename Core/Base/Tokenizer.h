// Splits 8-bit text at one delimiter into trimmed tokens; blank trimming and character removal helpers.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace base
{
// Removes leading and trailing blanks and tabs.
void Trim(std::string& text);
// Appends every character of input except `character` to output.
void RemoveChar(const std::string& input, char character, std::string& output);

class Tokenizer
{
public:
    // The text is trimmed first. With skipEmpty, empty tokens are passed over.
    Tokenizer(const std::string& text, char delimiter, bool skipEmpty);

    // The next trimmed token into out (may be null to skip it); false when none is left.
    bool NextToken(std::string* out);
    // The number of tokens of the whole text, cached. When empty tokens are skipped they are read
    // from the start (the read position is kept); else the delimiters plus one.
    int count();
    // Next token through atoi / atof; the target keeps its value when no token is left.
    Tokenizer& operator>>(int& value);
    Tokenizer& operator>>(float& value);

private:
    static constexpr u32 kEnd = 0xFFFFFFFFu;

    std::string mText;
    char mDelimiter;
    u32 mPosition = 0;
    bool mSkipEmpty;
    int mCount = -1; // not counted yet
};
} // namespace base
