// Plays an Ogg Theora file into an image: frames fall due with the clock, the last due one is
// converted into the image's texture, and the listener hears when the stream has ended.
#pragma once

#include "Core/Base/Types.h"

#include <memory>
#include <string>
#include <vector>

namespace base
{
class Stream;
}
namespace render
{
class Image;
}

namespace video
{
class TheoraDecoder;
class TheoraVideoListener;

class TheoraVideo
{
public:
    explicit TheoraVideo(TheoraVideoListener* listener);
    ~TheoraVideo();
    TheoraVideo(const TheoraVideo&) = delete;
    TheoraVideo& operator=(const TheoraVideo&) = delete;

    // Opens the file through the file manager (loose or in a pack) and starts at time 0.
    // 1 (logged) when it is missing or holds no playable Theora stream; the player is then ended.
    QLResultEnum Open(const std::wstring& path);
    // The same over a stream, which the player takes in every case.
    QLResultEnum Open(base::Stream* stream, const std::wstring& name);
    // Stops: releases the decoder and ends without telling the listener.
    void Close();

    // The visible picture size; 0 when nothing is open.
    i32 GetWidth() const { return mWidth; }
    i32 GetHeight() const { return mHeight; }
    float GetFrameDuration() const { return mFrameDuration; }
    float GetClock() const { return mClock; }
    // How many frame slots have passed (the next frame to show has this number).
    u32 GetFrameIndex() const { return mFrameIndex; }
    bool IsEnded() const { return mEnded; }

    // Advances the clock, decodes the frames now due and writes the last of them into the image
    // (none when image is null). Frame k falls due once k + 1 frame durations have passed, so
    // each frame is shown for one duration; the stream's granule positions number the frames. At the end of the stream
    // the listener is told once and this returns at once. 1 for a damaged packet (the next call goes on after it) or
    // the texture's failure code.
    QLResultEnum Update(float seconds, render::Image* image);

private:
    QLResultEnum Show(render::Image& image);

    TheoraVideoListener* mListener;
    std::unique_ptr<TheoraDecoder> mDecoder;
    float mFrameDuration = 0.06f;
    float mClock = 0.0f;
    u32 mFrameIndex = 0;
    bool mEnded = true;
    std::vector<u32> mFrameBuffer; // for textures that cannot be locked
    i32 mWidth = 0;
    i32 mHeight = 0;
};
} // namespace video
