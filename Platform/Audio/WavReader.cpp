// RIFF/WAVE decoding from memory.
#include "Platform/Audio/WavReader.h"

#include <cstring>

namespace audio
{
namespace
{
u32 ReadU32(const u8* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<u32>(p[3]) << 24); }
u16 ReadU16(const u8* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }

constexpr u16 kFormatPcm = 1;
constexpr u16 kFormatFloat = 3;
constexpr u16 kFormatExtensible = 0xFFFE;

float DecodeSample(const u8* p, u16 bits, bool isFloat)
{
    if (isFloat)
    {
        float v;
        std::memcpy(&v, p, 4);
        if (!(v == v))
            return 0.0f; // NaN
        return v < -1.0f ? -1.0f : (v > 1.0f ? 1.0f : v);
    }
    switch (bits)
    {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16: return static_cast<i16>(ReadU16(p)) / 32768.0f;
    case 24:
    {
        i32 v = static_cast<i32>((p[0] << 8) | (p[1] << 16) | (static_cast<u32>(p[2]) << 24)) >> 8;
        return v / 8388608.0f;
    }
    default: return static_cast<i32>(ReadU32(p)) / 2147483648.0f;
    }
}
} // namespace

bool IsWav(const void* data, size_t size)
{
    const u8* p = static_cast<const u8*>(data);
    return size >= 12 && std::memcmp(p, "RIFF", 4) == 0 && std::memcmp(p + 8, "WAVE", 4) == 0;
}

bool ReadWav(const void* data, size_t size, Pcm& out, std::string& error)
{
    const u8* bytes = static_cast<const u8*>(data);
    if (!IsWav(data, size))
    {
        error = "not a RIFF/WAVE file";
        return false;
    }
    u16 format = 0, channels = 0, bits = 0, blockAlign = 0;
    u32 rate = 0;
    bool haveFormat = false;
    const u8* pcm = nullptr;
    size_t pcmSize = 0;

    size_t pos = 12;
    while (pos + 8 <= size)
    {
        const u8* chunk = bytes + pos;
        size_t length = ReadU32(chunk + 4);
        size_t available = size - pos - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0)
        {
            if (length < 16 || length > available)
            {
                error = "short fmt chunk";
                return false;
            }
            format = ReadU16(chunk + 8);
            channels = ReadU16(chunk + 10);
            rate = ReadU32(chunk + 12);
            blockAlign = ReadU16(chunk + 20);
            bits = ReadU16(chunk + 22);
            if (format == kFormatExtensible && length >= 40)
                format = ReadU16(chunk + 8 + 24); // first two bytes of the sub-format GUID
            haveFormat = true;
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
        {
            // Writers that stream sometimes leave the length unset: take what is there.
            pcm = chunk + 8;
            pcmSize = length < available ? length : available;
            break;
        }
        if (length > available)
            break;
        pos += 8 + length + (length & 1);
    }

    if (!haveFormat)
    {
        error = "no fmt chunk";
        return false;
    }
    if (!pcm)
    {
        error = "no data chunk";
        return false;
    }
    bool isFloat = format == kFormatFloat;
    if (format != kFormatPcm && !isFloat)
    {
        error = "unsupported encoding " + std::to_string(format);
        return false;
    }
    if ((isFloat && bits != 32) || (!isFloat && bits != 8 && bits != 16 && bits != 24 && bits != 32))
    {
        error = "unsupported sample size " + std::to_string(bits);
        return false;
    }
    if (channels == 0 || rate == 0 || rate > 384000)
    {
        error = "bad channel count or rate";
        return false;
    }
    size_t bytesPerSample = bits / 8;
    // The frame size comes from the channel count when the header's block size is too small; it
    // is kept in size_t, since channels x bytes can exceed 16 bits.
    size_t frameBytes = static_cast<size_t>(channels) * bytesPerSample;
    if (blockAlign > frameBytes)
        frameBytes = blockAlign;

    size_t frames = pcmSize / frameBytes;
    u32 keep = channels >= 2 ? 2 : 1;
    out.rate = rate;
    out.channels = keep;
    out.samples.resize(frames * keep);
    for (size_t f = 0; f < frames; ++f)
    {
        const u8* frame = pcm + f * frameBytes;
        for (u32 c = 0; c < keep; ++c)
            out.samples[f * keep + c] = DecodeSample(frame + c * bytesPerSample, bits, isFloat);
    }
    return true;
}
} // namespace audio
