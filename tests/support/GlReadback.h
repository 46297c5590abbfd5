// Frames drawn on headless OpenGL read back as pixels, and compared with stored reference pictures.
#pragma once

#include "Core/Base/Types.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace render
{
class RenderDX9;
}

namespace testsupport
{
// Ends the scene, plays the frame and reads the back buffer (0xAARRGGBB, top row first).
std::vector<u32> ReadFrame(render::RenderDX9* render, u32 width, u32 height);

// Every channel within `tolerance` (blending and filtering round).
::testing::AssertionResult Near(u32 expected, u32 actual, int tolerance = 2);

// Compares a frame with the PNG at `path`: at most `allowedDifferent` pixels may have a channel
// more than `tolerance` apart. With QL_UPDATE_REFERENCES set the frame becomes the reference;
// on a mismatch the frame is written beside the test's working folder to look at.
::testing::AssertionResult MatchesReference(const std::vector<u32>& pixels, u32 width, u32 height,
                                            const std::string& path, int tolerance, u32 allowedDifferent = 0);
} // namespace testsupport
