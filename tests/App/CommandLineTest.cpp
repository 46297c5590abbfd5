// Command-line options: which argument lists are recognised, and their decoding from UTF-8.
#include "Core/App/CommandLine.h"

#include <gtest/gtest.h>

using app::CommandLine;

TEST(CommandLine, RecognisesEachOptionOnlyAsTheWholeList)
{
    struct Case
    {
        std::vector<std::wstring> args;
        CommandLine::Mode mode;
        std::wstring value;
    };
    const Case cases[] = {
        {{}, CommandLine::DEFAULT, L""},
        {{L"--data_path", L"build/data/"}, CommandLine::DATA_PATH, L"build/data/"},
        {{L"--pack", L"td"}, CommandLine::PACK, L"td"},
        {{L"--data_path"}, CommandLine::MALFORMED, L""},
        {{L"--data_path", L"a", L"b"}, CommandLine::MALFORMED, L""},
        {{L"--pack"}, CommandLine::MALFORMED, L""},
        {{L"--pack", L"a", L"--data_path", L"b"}, CommandLine::MALFORMED, L""},
        {{L"--fullscreen"}, CommandLine::DEFAULT, L""},           // anything else leaves the defaults
        {{L"x", L"--data_path", L"b"}, CommandLine::DEFAULT, L""}, // only as the first argument
        {{L"--DATA_PATH", L"b"}, CommandLine::DEFAULT, L""},       // case matters
    };
    for (const Case& c : cases)
    {
        const CommandLine line = CommandLine::Parse(c.args);
        EXPECT_EQ(line.mode, c.mode) << c.args.size();
        EXPECT_EQ(line.value, c.value);
        EXPECT_EQ(line.error.empty(), c.mode != CommandLine::MALFORMED);
    }
}

TEST(CommandLine, ArgumentsAreDecodedFromUtf8WithoutTheProgramName)
{
    char prog[] = "brackenmoor";
    char a[] = "--data_path";
    char b[] = "/tmp/D\xC3\xA4ta";
    char* argv[] = {prog, a, b, nullptr};
    const auto args = app::ArgumentsFromMain(3, argv);
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[1], L"/tmp/D\u00e4ta");
}
