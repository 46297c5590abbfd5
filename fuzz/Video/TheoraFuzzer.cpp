// Fuzzes the Ogg demultiplexer and Theora decoder over arbitrary bytes: headers, every frame
// converted into a picture-sized buffer, and the player's clock over the same bytes. Each input
// runs twice: as it is, and with every page checksum mended, so that mutations get past libogg
// into the Theora headers and packets.
#include "Core/Base/Stream.h"
#include "Core/Media/Video/TheoraDecoder.h"
#include "Core/Media/Video/TheoraVideo.h"
#include "Core/Media/Video/YuvPicture.h"

#include <vector>

namespace
{
void MendChecksums(std::vector<u8>& bytes)
{
    size_t at = 0;
    while (at + 27 <= bytes.size() && bytes[at] == 'O' && bytes[at + 1] == 'g' && bytes[at + 2] == 'g' &&
           bytes[at + 3] == 'S')
    {
        const size_t segments = bytes[at + 26];
        size_t length = 27 + segments;
        if (at + length > bytes.size())
            return;
        for (size_t i = 0; i < segments; ++i)
            length += bytes[at + 27 + i];
        if (at + length > bytes.size())
            return;
        u8* page = bytes.data() + at;
        page[22] = page[23] = page[24] = page[25] = 0;
        u32 crc = 0;
        for (size_t i = 0; i < length; ++i)
        {
            crc ^= static_cast<u32>(page[i]) << 24;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
        for (int i = 0; i < 4; ++i)
            page[22 + i] = static_cast<u8>(crc >> (8 * i));
        at += length;
    }
}

void Run(const uint8_t* data, size_t size)
{
    {
        video::TheoraDecoder decoder;
        if (decoder.Open(new base::MemoryStream(data, static_cast<u32>(size)), L"fuzz") == QL_OK)
        {
            std::vector<u32> pixels(static_cast<size_t>(decoder.GetWidth()) * decoder.GetHeight());
            for (int frame = 0; frame < 64; ++frame)
            {
                const video::TheoraDecoder::Result result = decoder.DecodeFrame();
                if (result == video::TheoraDecoder::Result::End)
                    break;
                if (result == video::TheoraDecoder::Result::Frame && decoder.HasPicture())
                    video::ConvertToArgb(decoder.GetPicture(), pixels.data(), decoder.GetWidth() * 4,
                                         decoder.GetWidth(), decoder.GetHeight());
            }
        }
    }
    video::TheoraVideo player(nullptr);
    if (player.Open(new base::MemoryStream(data, static_cast<u32>(size)), L"fuzz") == QL_OK)
        for (int step = 0; step < 16 && !player.IsEnded(); ++step)
            (void)player.Update(0.25f, nullptr);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Run(data, size);
    std::vector<u8> mended(data, data + size);
    MendChecksums(mended);
    Run(mended.data(), mended.size());
    return 0;
}
