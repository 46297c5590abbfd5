// Ogg demultiplexing and Theora decoding of one picture stream, read from an engine stream.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Media/Video/YuvPicture.h"

#include <ogg/ogg.h>
#include <theora/theora.h>

#include <memory>
#include <string>

namespace base
{
class Stream;
}

namespace video
{
class TheoraDecoder
{
public:
    enum class Result
    {
        Frame, // a frame was decoded (its picture may be absent: see HasPicture)
        End,   // the stream ran out (the last picture stays until Close)
        Error, // a damaged packet; the next call tries the following one
    };

    // Pictures larger than this along either axis are refused (memory for damaged headers).
    static constexpr u32 kMaxSide = 4096;
    // A granule position further ahead than this many frames is taken as damage, not a gap.
    static constexpr i64 kMaxFrameGap = 1024;

    TheoraDecoder();
    ~TheoraDecoder();
    TheoraDecoder(const TheoraDecoder&) = delete;
    TheoraDecoder& operator=(const TheoraDecoder&) = delete;

    // Reads up to the three Theora headers and sets the decoder up. Takes the stream in every
    // case; `name` is for the log. 1 (logged) when no playable Theora stream is found.
    QLResultEnum Open(base::Stream* stream, const std::wstring& name);
    // Decodes the next frame, reading pages as needed.
    Result DecodeFrame();
    // Releases the libraries' state and the stream; closing a closed decoder does nothing.
    void Close();

    bool IsOpen() const { return mSource != nullptr; }
    // The visible picture (the header's picture region, not the coded frame).
    u32 GetWidth() const { return mInfo.frame_width; }
    u32 GetHeight() const { return mInfo.frame_height; }
    // The coded frame, a multiple of 16 along each axis.
    u32 GetCodedWidth() const { return mInfo.width; }
    u32 GetCodedHeight() const { return mInfo.height; }
    float GetFrameDuration() const { return mFrameDuration; }
    u32 GetDecodedCount() const { return mDecoded; }
    // The last decoded frame's number from the stream's granule positions (0 first), -1 before.
    i64 GetFrameNumber() const { return mFrameNumber; }
    // False until a frame with picture data has been decoded.
    bool HasPicture() const { return mHasPicture; }
    // The last decoded picture, cropped to the visible region.
    YuvPicture GetPicture() const;

private:
    // One read of up to 8192 bytes into the sync state; the count read (0 at the end).
    u32 Feed();
    QLResultEnum ReadHeaders();
    QLResultEnum Fail(const wchar_t* why);
    void SyncGranule();

    ogg_stream_state mStreamState;
    ogg_sync_state mSync;
    ogg_page mPage;
    ogg_packet mPacket;
    theora_comment mComment;
    theora_info mInfo;
    theora_state mState;
    yuv_buffer mPicture;
    float mFrameDuration = 0.0f;
    u32 mDecoded = 0;
    std::unique_ptr<base::Stream> mSource;

    std::wstring mName;
    i64 mFrameNumber = -1;
    bool mHasPicture = false;
    bool mStreamFound = false;
    bool mExhausted = false;
};
} // namespace video
