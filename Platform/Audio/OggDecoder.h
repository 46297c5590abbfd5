// Ogg Vorbis through libvorbisfile: whole files from memory, and streams over a byte source.
#pragma once

#include "Platform/Audio/FrameSource.h"
#include "Platform/Audio/Pcm.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform
{
class ByteSource;
}

namespace audio
{
bool IsOgg(const void* data, size_t size);
// Decodes the whole file. More than two channels keep the first two.
bool DecodeOgg(const void* data, size_t size, Pcm& out, std::string& error);

// Decodes as it is read, at the file's own rate, always giving stereo frames. The stream is not
// owned and must outlive the decoder; it is read, sought and told through the engine's calls.
class VorbisStream : public FrameSource
{
public:
    ~VorbisStream() override;
    // Null when the stream holds no Ogg Vorbis data (`error` says why).
    static std::unique_ptr<VorbisStream> Open(platform::ByteSource* stream, std::string& error);

    u32 Read(float* stereo, u32 frames) override;
    bool Rewind() override;
    u32 SampleRate() const override { return mRate; }
    u32 Channels() const { return mChannels; }
    // Length in frames at the file's rate, or 0 when unknown.
    u64 LengthFrames() const { return mLength; }

private:
    VorbisStream() = default;
    struct State;
    std::unique_ptr<State> mState;
    u32 mRate = 0;
    u32 mChannels = 0;
    u64 mLength = 0;
};
} // namespace audio
