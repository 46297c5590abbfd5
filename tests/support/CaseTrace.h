// What a test program tells about its cases as they run, beside GoogleTest's own output.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace testsupport
{
// Writes "[ RUN      ] Suite.Case (at N s)" to stderr, unbuffered, as each case starts: with
// --gtest_brief the output of a program killed for time (CTest shows it) still names the case that
// was running and when it began.
class RunTrace : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart(const ::testing::TestInfo& info) override;

private:
    std::chrono::steady_clock::time_point mStart = std::chrono::steady_clock::now();
};

// Appends "Suite.Case seconds" for each case that ran to a file: the costs the shards are split by.
class CaseSeconds : public ::testing::EmptyTestEventListener
{
public:
    explicit CaseSeconds(std::string file) : mFile(std::move(file)) {}
    void OnTestEnd(const ::testing::TestInfo& info) override;

private:
    std::string mFile;
};
} // namespace testsupport
