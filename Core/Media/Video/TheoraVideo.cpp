// The video player: clock, due frames and the upload into the image.
#include "Core/Media/Video/TheoraVideo.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Video/TheoraDecoder.h"
#include "Core/Media/Video/TheoraVideoListener.h"
#include "Core/Render/Texture.h"

#include <algorithm>
#include <cmath>

namespace video
{
TheoraVideo::TheoraVideo(TheoraVideoListener* listener) : mListener(listener) {}

TheoraVideo::~TheoraVideo() = default;

QLResultEnum TheoraVideo::Open(const std::wstring& path)
{
    std::unique_ptr<file::FileInfo> info(file::FileManager::Instance()->GetFileInfo(path));
    base::Stream* stream = info ? info->Open() : nullptr;
    if (!stream)
    {
        Close();
        QL_LOG(L"Video '%s' not found\n") << base::LogStyle::Error << path;
        return QL_FAIL;
    }
    return Open(stream, path);
}

QLResultEnum TheoraVideo::Open(base::Stream* stream, const std::wstring& name)
{
    Close();
    mDecoder = std::make_unique<TheoraDecoder>();
    if (mDecoder->Open(stream, name) != QL_OK)
    {
        mDecoder.reset();
        return QL_FAIL;
    }
    mFrameDuration = mDecoder->GetFrameDuration();
    mWidth = static_cast<i32>(mDecoder->GetWidth());
    mHeight = static_cast<i32>(mDecoder->GetHeight());
    mClock = 0.0f;
    mFrameIndex = 0;
    mEnded = false;
    return QL_OK;
}

void TheoraVideo::Close()
{
    mDecoder.reset();
    mEnded = true;
    mWidth = mHeight = 0;
}

QLResultEnum TheoraVideo::Update(float seconds, render::Image* image)
{
    if (!mDecoder || mEnded)
        return QL_OK;
    if (std::isfinite(seconds) && seconds > 0.0f) // time never runs back, nor turns into NaN
        mClock += seconds;
    // Truncated; kept inside u32 however short a frame the header claims.
    const double slots = std::floor(static_cast<double>(mClock) / mFrameDuration);
    const u32 due = !(slots > 0.0) ? 0u : slots >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(slots);
    bool fresh = false; // a decoded picture waits to be shown
    while (due > mFrameIndex)
    {
        const TheoraDecoder::Result result = mDecoder->DecodeFrame();
        if (result == TheoraDecoder::Result::Error)
            return QL_FAIL;
        if (result == TheoraDecoder::Result::End)
        {
            // The last frames may have fallen due together with the end: show the last one.
            if (fresh && image)
                (void)Show(*image);
            mEnded = true;
            mDecoder.reset();
            // The listener may delete this player: nothing may follow.
            if (mListener)
                return mListener->OnVideoEnded(this);
            return QL_OK;
        }
        fresh |= mDecoder->HasPicture();
        // Frame numbers follow the granule positions, so a gap of lost pages skips slots.
        const u32 number = static_cast<u32>(std::min<i64>(mDecoder->GetFrameNumber(), 0xFFFFFFFEll));
        mFrameIndex = std::max(mFrameIndex + 1, number + 1);
    }
    // Only the last due frame is converted.
    return fresh && image ? Show(*image) : QL_OK;
}

QLResultEnum TheoraVideo::Show(render::Image& image)
{
    render::Texture* texture = image.GetTexture();
    if (!texture)
        return QL_FAIL;
    const YuvPicture picture = mDecoder->GetPicture();
    if (texture->CanLock())
    {
        u32 count = 0, pitch = 0;
        void* bits = nullptr;
        QLResultEnum result = image.Lock(&count, &pitch, &bits);
        if (result != QL_OK)
            return result;
        const u32 rows = pitch >= 4 ? count / (pitch / 4) : 0;
        ConvertToArgb(picture, bits, pitch, texture->GetWidth(), std::min(rows, texture->GetHeight()));
        return image.Unlock();
    }
    const u32 width = static_cast<u32>(std::max(image.GetWidth(), 0));
    const u32 height = static_cast<u32>(std::max(image.GetHeight(), 0));
    mFrameBuffer.resize(static_cast<size_t>(width) * height);
    ConvertToArgb(picture, mFrameBuffer.data(), width * 4, width, height);
    return image.Update(mFrameBuffer.data());
}
} // namespace video
