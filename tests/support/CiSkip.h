// Tests that need a part some machines lack (headless OpenGL, a display driver): where it is
// missing they skip, but under CI=true they fail, so that a CI machine without it cannot pass
// unseen.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testsupport
{
// True when the CI variable is set to anything but empty, "0" or "false" (CI sets "true").
bool InCi();
} // namespace testsupport

// Skips the test with the message, or fails it under CI=true; returns from the function either way.
#define QL_SKIP_OR_FAIL_IN_CI(message)                                                                                 \
    do                                                                                                                 \
    {                                                                                                                  \
        const std::string qlMissing_ = (message);                                                                      \
        if (::testsupport::InCi())                                                                                     \
            GTEST_FAIL() << qlMissing_ << " (CI=true: a missing part fails the run)";                                  \
        GTEST_SKIP() << qlMissing_;                                                                                    \
    } while (false)
