// Fuzzes the Ogg demultiplexer and Theora decoder over arbitrary bytes: headers, every frame
// converted into a picture-sized buffer, and the player's clock over the same bytes.
#include "Core/Base/Stream.h"
#include "Core/Media/Video/TheoraDecoder.h"
#include "Core/Media/Video/TheoraVideo.h"
#include "Core/Media/Video/YuvPicture.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
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
            player.Update(0.25f, nullptr);
    return 0;
}
