// The Theora reader feeds the Ogg sync state 8192 bytes at a time: a long video read through
// sources that deliver other amounts per read (so pages straddle every feed) decodes to the same
// frames, and a reopened decoder does it again.
#include "VideoTestSupport.h"

#include "Core/Base/Stream.h"
#include "Core/Media/Video/TheoraDecoder.h"
#include "support/TrickleStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
struct Decoded
{
    std::vector<i64> numbers;
    std::vector<u64> pictures; // a hash of each frame's three planes
    int errors = 0;
};

u64 HashPlane(u64 h, const u8* plane, std::ptrdiff_t stride, u32 width, u32 height)
{
    for (u32 row = 0; row < height; ++row)
        for (u32 x = 0; x < width; ++x)
            h = (h ^ plane[static_cast<std::ptrdiff_t>(row) * stride + x]) * 1099511628211ull;
    return h;
}

// Every frame of the stream, decoded to its end.
Decoded DecodeAll(video::TheoraDecoder& decoder, base::Stream* stream)
{
    Decoded out;
    if (decoder.Open(stream, L"intro") != QL_OK)
        return out;
    for (int guard = 0; guard < 100000; ++guard)
    {
        const video::TheoraDecoder::Result result = decoder.DecodeFrame();
        if (result == video::TheoraDecoder::Result::End)
            break;
        if (result == video::TheoraDecoder::Result::Error)
        {
            ++out.errors;
            continue;
        }
        out.numbers.push_back(decoder.GetFrameNumber());
        u64 h = 1469598103934665603ull;
        if (decoder.HasPicture())
        {
            const video::YuvPicture p = decoder.GetPicture();
            const u32 w = decoder.GetCodedWidth(), hgt = decoder.GetCodedHeight();
            h = HashPlane(h, p.mY, p.mYStride, w, hgt);
            h = HashPlane(h, p.mU, p.mUvStride, w >> p.mChromaShiftX, hgt >> p.mChromaShiftY);
            h = HashPlane(h, p.mV, p.mUvStride, w >> p.mChromaShiftX, hgt >> p.mChromaShiftY);
        }
        out.pictures.push_back(h);
    }
    return out;
}
} // namespace

TEST(TheoraReads, AVideoFedInPiecesOfAnySizeDecodesToTheSameFramesAndAgainWhenReopened)
{
    const videotest::Bytes bytes = videotest::ReadBytes(videotest::ContentFile("td/video/intro.ogv"));
    const std::string intro(bytes.begin(), bytes.end());
    ASSERT_GT(intro.size(), 8u * 8192u) << "spans many feeds";

    video::TheoraDecoder decoder;
    const Decoded whole = DecodeAll(decoder, new base::MemoryStream(intro.data(), static_cast<u32>(intro.size())));
    ASSERT_GT(whole.numbers.size(), 10u);
    EXPECT_EQ(whole.errors, 0);
    for (size_t i = 1; i < whole.numbers.size(); ++i)
        ASSERT_EQ(whole.numbers[i], whole.numbers[i - 1] + 1) << "frame " << i << ": no frame lost or repeated";
    EXPECT_GT(std::count_if(whole.pictures.begin() + 1, whole.pictures.end(),
                            [&](u64 h) { return h != whole.pictures.front(); }),
              0)
        << "the pictures change, so the comparison below means something";

    // Pieces smaller than a feed, one short of and one past it, and single bytes; each on the
    // same decoder, reopened, and on a fresh one.
    for (u32 most : {8191u, 8193u, 1000u, 1u})
    {
        SCOPED_TRACE(most);
        const Decoded again = DecodeAll(decoder, new TrickleStream(intro, most));
        EXPECT_EQ(again.errors, 0);
        EXPECT_EQ(again.numbers, whole.numbers);
        EXPECT_EQ(again.pictures, whole.pictures);
    }
    video::TheoraDecoder fresh;
    const Decoded framed =
        DecodeAll(fresh, new base::FrameStream(std::make_unique<TrickleStream>(std::string(4099, 'z') + intro, 4097),
                                               4099, static_cast<u32>(intro.size())));
    EXPECT_EQ(framed.numbers, whole.numbers) << "inside a pack";
    EXPECT_EQ(framed.pictures, whole.pictures) << "inside a pack";
}
