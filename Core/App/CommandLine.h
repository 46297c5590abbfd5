// The program's arguments: "--data_path FOLDER", "--pack VALUE" or "--data_path FOLDER --pack
// VALUE", only as the whole list.
#pragma once

#include <string>
#include <vector>

namespace app
{
struct CommandLine
{
    enum Mode
    {
        DEFAULT,   // any list that does not start with a recognised option
        DATA_PATH, // "--data_path" FOLDER
        PACK,      // "--pack" VALUE, after "--data_path" FOLDER or alone
        MALFORMED, // a recognised option without exactly one value after it
    };
    Mode mode = DEFAULT;
    std::wstring value;
    std::wstring dataPath; // the FOLDER of "--data_path"; empty without it
    std::wstring error;    // why a malformed list was refused

    static CommandLine Parse(const std::vector<std::wstring>& arguments);
    static const wchar_t* Usage();
};

// Arguments without the program name, decoded from UTF-8 (bad bytes become U+FFFD).
std::vector<std::wstring> ArgumentsFromMain(int argc, char** argv);
} // namespace app
