// SDL's audio driver chosen for a test, and the raw output of its disk driver measured.
#include "DiskAudio.h"

#include "Core/Base/Types.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace audiotest
{
RawStat MeasureRaw(const std::string& path, double skipSeconds)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    RawStat stat;
    stat.ok = !bytes.empty();
    const size_t samples = bytes.size() / 2;
    stat.seconds = static_cast<double>(samples) / 2.0 / 44100.0;
    double sum = 0.0;
    const size_t from = std::min(samples, static_cast<size_t>(skipSeconds * 44100.0) * 2);
    for (size_t i = from; i < samples; ++i)
    {
        i16 sample = 0;
        std::memcpy(&sample, &bytes[2 * i], 2);
        sum += static_cast<double>(sample) * sample;
    }
    stat.rms = samples > from ? std::sqrt(sum / static_cast<double>(samples - from)) / 32768.0 : 0.0;
    return stat;
}

} // namespace audiotest
