// Test audio: WAV files by hand, the committed Ogg tracks and a scripted frame source.
#include "AudioBuilders.h"

#include "support/TempDir.h"

namespace audiotest
{
namespace
{
void PutU32(std::string& s, u32 v)
{
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void PutU16(std::string& s, u16 v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
} // namespace

std::string MakeWavRaw(const std::string& data, u16 format, u16 channels, u32 rate, u16 bits, bool extensible)
{
    std::string fmt;
    PutU16(fmt, extensible ? 0xFFFE : format);
    PutU16(fmt, channels);
    PutU32(fmt, rate);
    PutU32(fmt, rate * channels * (bits / 8));
    PutU16(fmt, static_cast<u16>(channels * (bits / 8)));
    PutU16(fmt, bits);
    if (extensible)
    {
        PutU16(fmt, 22);
        PutU16(fmt, bits);
        PutU32(fmt, 3);
        PutU16(fmt, format); // sub-format GUID begins with the format tag
        fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    std::string out = "RIFF";
    PutU32(out, static_cast<u32>(4 + 8 + fmt.size() + 8 + data.size()));
    out += "WAVE";
    out += "fmt ";
    PutU32(out, static_cast<u32>(fmt.size()));
    out += fmt;
    out += "data";
    PutU32(out, static_cast<u32>(data.size()));
    out += data;
    return out;
}

std::string MakeWav16(const std::vector<i16>& samples, u32 channels, u32 rate)
{
    // The samples' bytes as they lie in memory: little-endian, as the file keeps them.
    const std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * sizeof(i16));
    return MakeWavRaw(data, 1, static_cast<u16>(channels), rate, 16);
}

std::string ReadTrack(const std::string& name)
{
    return testsupport::ReadBytes(std::string(QL_SOURCE_DIR) + "/tests/Audio/data/" + name);
}

u32 RampSource::Read(float* stereo, u32 frames)
{
    u32 n = 0;
    while (n < frames && mPosition < mLength)
    {
        stereo[2 * n] = stereo[2 * n + 1] = Value(mPosition);
        ++mPosition;
        ++n;
    }
    return n;
}
} // namespace audiotest
