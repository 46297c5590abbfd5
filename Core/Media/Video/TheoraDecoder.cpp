// Theora over Ogg with libogg and libtheora's legacy decoding interface.
#include "Core/Media/Video/TheoraDecoder.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"

#include <theora/theoradec.h>

#include <algorithm>
#include <cstring>

namespace video
{
namespace
{
constexpr u32 kReadSize = 8192;
}

TheoraDecoder::TheoraDecoder()
{
    // Every record starts zeroed, so Close can clear them whether or not they were set up.
    std::memset(&mStreamState, 0, sizeof(mStreamState));
    std::memset(&mSync, 0, sizeof(mSync));
    std::memset(&mPage, 0, sizeof(mPage));
    std::memset(&mPacket, 0, sizeof(mPacket));
    std::memset(&mComment, 0, sizeof(mComment));
    std::memset(&mInfo, 0, sizeof(mInfo));
    std::memset(&mState, 0, sizeof(mState));
    std::memset(&mPicture, 0, sizeof(mPicture));
}

TheoraDecoder::~TheoraDecoder() { Close(); }

void TheoraDecoder::Close()
{
    if (!mSource)
        return;
    ogg_stream_clear(&mStreamState);
    theora_clear(&mState);
    theora_comment_clear(&mComment);
    theora_info_clear(&mInfo);
    ogg_sync_clear(&mSync);
    std::memset(&mStreamState, 0, sizeof(mStreamState));
    std::memset(&mSync, 0, sizeof(mSync));
    std::memset(&mPage, 0, sizeof(mPage));
    std::memset(&mPacket, 0, sizeof(mPacket));
    std::memset(&mComment, 0, sizeof(mComment));
    std::memset(&mInfo, 0, sizeof(mInfo));
    std::memset(&mState, 0, sizeof(mState));
    std::memset(&mPicture, 0, sizeof(mPicture));
    mSource.reset();
    mStreamFound = false;
    mHasPicture = false;
    mExhausted = false;
}

u32 TheoraDecoder::Feed()
{
    char* buffer = ogg_sync_buffer(&mSync, kReadSize);
    if (!buffer)
        return 0;
    const u32 count = mSource->Read(buffer, kReadSize);
    ogg_sync_wrote(&mSync, count);
    return count;
}

QLResultEnum TheoraDecoder::Fail(const wchar_t* why)
{
    QL_LOG(L"Video '%s': %s\n") << base::LogStyle::Error << mName << why;
    Close();
    return QL_FAIL;
}

QLResultEnum TheoraDecoder::Open(base::Stream* stream, const std::wstring& name)
{
    Close();
    mSource.reset(stream);
    mName = name;
    mDecoded = 0;
    mFrameNumber = -1;
    mFrameDuration = 0.0f;
    if (!mSource)
        return QL_FAIL;
    ogg_sync_init(&mSync);
    theora_info_init(&mInfo);
    theora_comment_init(&mComment);
    return ReadHeaders();
}

QLResultEnum TheoraDecoder::ReadHeaders()
{
    // The beginning-of-stream pages: the first whose first packet is a Theora header is ours.
    int headers = 0;
    bool scanning = true;
    while (scanning)
    {
        if (Feed() == 0)
            return Fail(mStreamFound ? L"the file ends inside the headers" : L"no Theora stream");
        for (;;)
        {
            const int got = ogg_sync_pageout(&mSync, &mPage);
            if (got == 0)
                break;
            if (got < 0)
                continue; // bytes skipped to the next page
            if (!ogg_page_bos(&mPage))
            {
                scanning = false; // this page is dealt with below
                break;
            }
            ogg_stream_state probe;
            ogg_stream_init(&probe, ogg_page_serialno(&mPage));
            ogg_stream_pagein(&probe, &mPage);
            if (ogg_stream_packetout(&probe, &mPacket) != 1)
            {
                ogg_stream_clear(&probe);
                return Fail(L"a damaged first page");
            }
            if (!mStreamFound && theora_decode_header(&mInfo, &mComment, &mPacket) >= 0)
            {
                mStreamState = probe; // takes over the probe's buffers
                mStreamFound = true;
                headers = 1;
            }
            else
                ogg_stream_clear(&probe);
        }
    }
    if (!mStreamFound)
        return Fail(L"no Theora stream");

    // The comment and setup headers follow in the Theora stream's pages.
    ogg_stream_pagein(&mStreamState, &mPage); // refused when the page belongs to another stream
    while (headers < 3)
    {
        for (;;)
        {
            const int got = ogg_stream_packetout(&mStreamState, &mPacket);
            if (got == 0)
                break;
            if (got < 0)
                return Fail(L"a gap in the headers");
            if (theora_decode_header(&mInfo, &mComment, &mPacket) < 0)
                return Fail(L"a bad Theora header");
            if (++headers == 3)
                break;
        }
        if (headers == 3)
            break;
        const int got = ogg_sync_pageout(&mSync, &mPage);
        if (got > 0)
            ogg_stream_pagein(&mStreamState, &mPage);
        else if (got == 0 && Feed() == 0)
            return Fail(L"the file ends inside the headers");
    }

    if (mInfo.frame_width == 0 || mInfo.frame_height == 0 || mInfo.width > kMaxSide || mInfo.height > kMaxSide)
    {
        QL_LOG(L"Video '%s': unsupported picture size %u x %u\n")
            << base::LogStyle::Error << mName << mInfo.frame_width << mInfo.frame_height;
        Close();
        return QL_FAIL;
    }
    if (mInfo.fps_numerator == 0 || mInfo.fps_denominator == 0)
        return Fail(L"no frame rate");
    if (theora_decode_init(&mState, &mInfo) < 0)
        return Fail(L"the decoder refuses the headers");
    mFrameDuration = static_cast<float>(static_cast<double>(mInfo.fps_denominator) / mInfo.fps_numerator);
    return QL_OK;
}

void TheoraDecoder::SyncGranule()
{
    // Only the last packet of a page carries its granule position; it tells the frame's number,
    // so a gap of lost pages moves the count on. Implausible jumps are damage and are ignored.
    if (mPacket.granulepos < 0)
        return;
    const i64 frame = theora_granule_frame(&mState, mPacket.granulepos);
    const i64 expected = mFrameNumber + 1;
    if (frame < expected || frame > expected + kMaxFrameGap)
        return;
    ogg_int64_t granule = mPacket.granulepos;
    theora_control(&mState, TH_DECCTL_SET_GRANPOS, &granule, sizeof(granule));
}

TheoraDecoder::Result TheoraDecoder::DecodeFrame()
{
    if (!mSource || mExhausted)
        return Result::End;
    for (;;)
    {
        const int got = ogg_stream_packetout(&mStreamState, &mPacket);
        if (got > 0)
            break;
        if (got < 0)
            continue; // a gap: pages were lost; the next packet follows
        // Pages already read come first: the last read of a file often holds several.
        bool paged = false;
        for (int page; (page = ogg_sync_pageout(&mSync, &mPage)) != 0;)
            if (page > 0)
                paged |= ogg_stream_pagein(&mStreamState, &mPage) == 0;
        if (!paged && Feed() == 0)
        {
            mExhausted = true;
            return Result::End;
        }
    }

    const i64 expected = mFrameNumber + 1;
    SyncGranule();
    if (mPacket.bytes == 0 && !mHasPicture)
    {
        // Repeats the previous frame, and there is none yet: the time passes with no picture.
        mFrameNumber = expected;
        ++mDecoded;
        return Result::Frame;
    }
    if (theora_decode_packetin(&mState, &mPacket) < 0)
    {
        QL_LOG(L"Video '%s': bad packet after frame %lld\n")
            << base::LogStyle::Error << mName << static_cast<long long>(mFrameNumber);
        return Result::Error;
    }
    if (theora_decode_YUVout(&mState, &mPicture) < 0)
    {
        QL_LOG(L"Video '%s': no picture for frame %lld\n")
            << base::LogStyle::Error << mName << static_cast<long long>(expected);
        return Result::Error;
    }
    const i64 frame = theora_granule_frame(&mState, mState.granulepos);
    mFrameNumber = (frame >= expected && frame <= expected + kMaxFrameGap) ? frame : expected;
    mHasPicture = true;
    ++mDecoded;
    return Result::Frame;
}

YuvPicture TheoraDecoder::GetPicture() const
{
    YuvPicture picture;
    if (!mHasPicture)
        return picture;
    picture.mY = mPicture.y;
    picture.mU = mPicture.u;
    picture.mV = mPicture.v;
    picture.mYStride = mPicture.y_stride;
    picture.mUvStride = mPicture.uv_stride;
    picture.mChromaShiftX = mPicture.uv_width < mPicture.y_width ? 1 : 0;
    picture.mChromaShiftY = mPicture.uv_height < mPicture.y_height ? 1 : 0;
    // The header keeps the visible region inside the coded frame; clip anyway.
    const u32 codedWidth = static_cast<u32>(mPicture.y_width), codedHeight = static_cast<u32>(mPicture.y_height);
    picture.mX = std::min(mInfo.offset_x, codedWidth);
    picture.mY0 = std::min(mInfo.offset_y, codedHeight);
    picture.mWidth = std::min(mInfo.frame_width, codedWidth - picture.mX);
    picture.mHeight = std::min(mInfo.frame_height, codedHeight - picture.mY0);
    return picture;
}
} // namespace video
