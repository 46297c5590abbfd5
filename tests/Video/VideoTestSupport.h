// Video test helpers: the committed test videos, a player harness over the recording device,
// a texture that cannot be locked, and colour checks.
#pragma once

#include "RenderTestSupport.h"

#include "Core/Media/Image/Image.h"
#include "Core/Media/Video/TheoraVideo.h"
#include "Core/Media/Video/TheoraVideoListener.h"
#include "Core/Render/Texture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace videotest
{
using Bytes = std::vector<u8>;

// The colours the test videos were drawn with (content/tools/video_frames.py): frame k has
// kSequence[k] in its top-left quadrant and the three fixed colours in the others.
extern const u32 kSequence[8];
constexpr u32 kTopRight = 0xFF5AC83C;
constexpr u32 kBottomLeft = 0xFF463CBE;
constexpr u32 kBottomRight = 0xFFF0F0F0;
constexpr int kPatternWidth = 40, kPatternHeight = 24;

std::string TestVideo(const std::string& name);       // tests/data/video/<name>
std::string ContentFile(const std::string& relative); // content/<relative>
Bytes ReadBytes(const std::string& path);

// Largest per-channel difference between two ARGB colours (alpha included).
int ColourDistance(u32 a, u32 b);
std::string Hex(u32 argb);
// Checks the four quadrant centres of a picture read through at(x, y) against the pattern of frame k.
void ExpectPattern(const std::function<u32(int, int)>& at, int k, int tolerance = 12);

// Ogg pages of a file: offset and length of each.
struct Page
{
    size_t mOffset;
    size_t mLength;
};
std::vector<Page> SplitPages(const Bytes& bytes);
// Recomputes the page's CRC after its bytes were changed.
void SetPageChecksum(Bytes& bytes, const Page& page);

// Counts the end notifications; may run an action (such as deleting the player) inside one.
class RecordingListener : public video::TheoraVideoListener
{
public:
    QLResultEnum OnVideoEnded(video::TheoraVideo* video) override
    {
        ++mEnded;
        mLast = video;
        if (mAction)
            mAction(video);
        return QL_OK;
    }
    int mEnded = 0;
    video::TheoraVideo* mLast = nullptr;
    std::function<void(video::TheoraVideo*)> mAction;
};

// A player with its listener, drawing into a dynamic texture of the recording device.
class PlayerFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens tests/data/video/<name> from memory and makes the image at the video's size.
    void OpenTest(const std::string& name);
    void OpenBytes(const Bytes& bytes, const std::string& name = "memory");
    void MakeImage(u32 width, u32 height);
    // The image's pixel as last uploaded to the device.
    u32 Pixel(int x, int y) const;
    std::vector<u32> Pixels() const;
    void ExpectPatternFrame(int k, int tolerance = 12) const
    {
        ExpectPattern([this](int x, int y) { return Pixel(x, y); }, k, tolerance);
    }

    rendertest::Harness mHarness{render::HeadlessWindow::Backend::Recording, 64, 64};
    RecordingListener mListener;
    std::unique_ptr<video::TheoraVideo> mVideo;
    std::unique_ptr<render::Image> mImage;
};
} // namespace videotest
