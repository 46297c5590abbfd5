// Characters a stored profile name may hold, and the repair of those it may not.
#include "Core/File/ProfileName.h"

namespace file
{
bool IsProfileNameCharacter(wchar_t c)
{
    const unsigned long u = static_cast<unsigned long>(c);
    return u >= 0x20 && !(u >= 0xD800 && u <= 0xDFFF) && u != 0xFFFE && u != 0xFFFF && u <= 0x10FFFF;
}

bool CleanProfileName(std::wstring& name)
{
    bool replaced = false;
    for (wchar_t& c : name)
        if (!IsProfileNameCharacter(c))
        {
            c = kNameReplacement;
            replaced = true;
        }
    return replaced;
}

size_t ReplaceNulReferences(std::string& text)
{
    static const std::string kReplacement = "&#xFFFE;";
    size_t count = 0;
    for (size_t at = text.find("&#"); at != std::string::npos; at = text.find("&#", at + 1))
    {
        size_t digits = at + 2;
        const bool hex = digits < text.size() && (text[digits] == 'x' || text[digits] == 'X');
        if (hex)
            ++digits;
        size_t end = digits;
        while (end < text.size() && text[end] == '0')
            ++end;
        // Only zeros, at least one, then the end of the reference.
        if (end == digits || end >= text.size() || text[end] != ';')
            continue;
        text.replace(at, end + 1 - at, kReplacement);
        ++count;
    }
    return count;
}

bool ReplaceNulMarks(std::string& text)
{
    static const std::string kMark = "\xEF\xBF\xBE", kReplacement = "\xEF\xBF\xBD";
    bool replaced = false;
    for (size_t at = text.find(kMark); at != std::string::npos; at = text.find(kMark, at + kReplacement.size()))
    {
        text.replace(at, kMark.size(), kReplacement);
        replaced = true;
    }
    return replaced;
}
} // namespace file
