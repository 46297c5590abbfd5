// Every displayed text by key, from "td/strings_en.csv"; a missing key is appended to the loose
// file (when it exists) so that translators find it.
#pragma once

#include "Core/Base/Singletone.h"

#include <map>
#include <set>
#include <string>

class LocalStrings : public base::Singletone<LocalStrings>
{
public:
    LocalStrings();

    // The text of key with backslash-n expanded to a line break; a missing key gives the key
    // itself and is appended once to the loose strings file.
    std::wstring get(std::wstring key);
    // Adds "key;value" lines (UTF-8, signature dropped, later lines win; invalid UTF-8 replaced).
    void loadText(const std::string& text);
    void load(std::wstring path);

    // Where missing keys are appended; the file is never created.
    void setLooseFile(const std::string& path) { mLooseFile = path; }
    const std::map<std::wstring, std::wstring>& table() const { return mTable; }

private:
    void appendMissing(const std::wstring& key);

    std::map<std::wstring, std::wstring> mTable;
    std::string mLooseFile = "td/strings_en.csv";
};
