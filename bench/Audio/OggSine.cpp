// Long Ogg Vorbis sine tracks for the audio benchmarks, encoded with libvorbisenc.
#include "OggSine.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>

namespace audiobench
{
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
    auto writePage = [&out](const ogg_page& page)
    {
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
} // namespace audiobench
