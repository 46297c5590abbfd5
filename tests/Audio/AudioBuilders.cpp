// Test audio: sine tracks encoded with libvorbisenc (also for the benchmarks) and WAV files by hand.
#include "AudioBuilders.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

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
    std::string data;
    for (i16 s : samples)
        PutU16(data, static_cast<u16>(s));
    return MakeWavRaw(data, 1, static_cast<u16>(channels), rate, 16);
}

std::string ReadTrack(const std::string& name)
{
    std::ifstream in(std::string(QL_SOURCE_DIR) + "/tests/Audio/data/" + name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string MakeOggSine(double seconds, u32 rate, u32 channels, double frequency, float quality)
{
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, static_cast<long>(channels), static_cast<long>(rate), quality) != 0)
        std::abort();
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1234);

    std::string out;
    auto writePage = [&out](const ogg_page& page) {
        out.append(reinterpret_cast<const char*>(page.header), static_cast<size_t>(page.header_len));
        out.append(reinterpret_cast<const char*>(page.body), static_cast<size_t>(page.body_len));
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page))
        writePage(page);

    long total = static_cast<long>(seconds * rate);
    long done = 0;
    bool eos = false;
    while (!eos)
    {
        long n = total - done < 1024 ? total - done : 1024;
        if (n > 0)
        {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (long i = 0; i < n; ++i)
            {
                float v = static_cast<float>(0.5 * std::sin(2.0 * M_PI * frequency * (done + i) / rate));
                for (u32 c = 0; c < channels; ++c)
                    buffer[c][i] = v;
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            done += n;
        }
        else
        {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1)
        {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet))
            {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page))
                {
                    writePage(page);
                    if (ogg_page_eos(&page))
                        eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
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
