// Every displayed text by key.
#include "Source/TD/Data/LocalStrings.h"

#include "Core/File/FileSystem.h"
#include "Source/TD/Data/TDFileSource.h"
#include "Source/TD/Data/TDText.h"

LocalStrings::LocalStrings() { load(L"td/strings_en.csv"); }

void LocalStrings::load(std::wstring path) { loadText(TDFileSource::current().readFile(path)); }

void LocalStrings::loadText(const std::string& raw)
{
    std::string text = tdtext::sanitizeUtf8(tdDropBom(raw));
    for (std::string line : tdtext::split(tdtext::trimmed(text), '\n', true))
    {
        tdtext::trim(line);
        // One trailing CR belongs to the line ending, also on a line without ";".
        tdtext::dropTrailingCr(line);
        std::vector<std::string> fields = tdtext::split(line, ';', false, false);
        std::string key = fields[0];
        std::string value = fields.size() > 1 ? fields[1] : std::string();
        tdtext::dropTrailingCr(value);
        mTable[tdtext::utf8ToWide(key)] = tdtext::utf8ToWide(value);
    }
}

void LocalStrings::appendMissing(const std::wstring& key)
{
    // A key holding a line break or ";" would corrupt the file.
    if (key.empty() || key.find_first_of(L"\r\n;") != std::wstring::npos)
        return;
    // Only a loose file that is there grows; a failed append loses nothing the game needs.
    (void)file::AppendToFile(tdtext::utf8ToWide(mLooseFile), tdtext::wideToUtf8(key) + ";???\r\n");
}

std::wstring LocalStrings::get(std::wstring key)
{
    auto found = mTable.find(key);
    if (found == mTable.end())
    {
        appendMissing(key);
        found = mTable.emplace(key, key).first;
    }
    const std::wstring& text = found->second;
    if (text.size() <= 1 || text.find(L'\\') == std::wstring::npos)
        return text;
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'n')
        {
            result.push_back(L'\n');
            ++i;
        }
        else
            result.push_back(text[i]);
    }
    return result;
}
