// Command-line parsing.
#include "Core/App/CommandLine.h"

#include "Core/Base/StringConvert.h"
#include "Platform/Os/Text.h"

namespace app
{
CommandLine CommandLine::Parse(const std::vector<std::wstring>& arguments)
{
    CommandLine line;
    if (arguments.empty())
        return line;
    const std::wstring& option = arguments.front();
    if (option != L"--data_path" && option != L"--pack")
        return line;
    // The packs of a data folder named on the command line.
    if (option == L"--data_path" && arguments.size() == 4 && arguments[2] == L"--pack")
    {
        line.mode = PACK;
        line.dataPath = arguments[1];
        line.value = arguments[3];
        return line;
    }
    if (arguments.size() != 2)
    {
        line.mode = MALFORMED;
        line.error = option == L"--pack" ? L"--pack takes exactly one value and nothing after it"
                                         : L"--data_path takes exactly one value, then nothing or --pack VALUE";
        return line;
    }
    line.mode = option == L"--data_path" ? DATA_PATH : PACK;
    line.value = arguments[1];
    if (line.mode == DATA_PATH)
        line.dataPath = line.value;
    return line;
}

const wchar_t* CommandLine::Usage() { return L"usage: brackenmoor [--data_path FOLDER] [--pack VALUE]"; }

std::vector<std::wstring> ArgumentsFromMain(int argc, char** argv)
{
    std::vector<std::wstring> out;
    for (int i = 1; i < argc; ++i)
        out.push_back(os::FromSystemPath(argv[i])); // file names among them: kept byte for byte
    return out;
}
} // namespace app
