// Test entry: keeps every test away from the real home folder.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    static testsupport::TempDir home;
    setenv("XDG_DATA_HOME", (home.Path() / "xdg").c_str(), 1);
    setenv("HOME", (home.Path() / "home").c_str(), 1);
    std::filesystem::create_directories(home.Path() / "xdg");
    std::filesystem::create_directories(home.Path() / "home");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
