// libvorbisfile glue: memory and engine-stream callbacks.
#include "Platform/Audio/OggDecoder.h"

#include "Platform/Base/ByteSource.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

namespace audio
{
namespace
{
// Vorbis's longest block: the most one packet can add.
constexpr size_t kLongestBlock = 8192;

struct MemorySource
{
    const u8* data;
    size_t size;
    size_t position;
};

size_t MemRead(void* ptr, size_t size, size_t count, void* user)
{
    auto* m = static_cast<MemorySource*>(user);
    if (size == 0)
        return 0;
    size_t want = size * count;
    size_t left = m->size - m->position;
    size_t n = want < left ? want : left;
    std::memcpy(ptr, m->data + m->position, n);
    m->position += n;
    return n / size;
}

int MemSeek(void* user, ogg_int64_t offset, int whence)
{
    auto* m = static_cast<MemorySource*>(user);
    ogg_int64_t base = whence == SEEK_SET ? 0
                                          : (whence == SEEK_CUR ? static_cast<ogg_int64_t>(m->position)
                                                                : static_cast<ogg_int64_t>(m->size));
    ogg_int64_t target = base + offset;
    if (target < 0 || target > static_cast<ogg_int64_t>(m->size))
        return -1;
    m->position = static_cast<size_t>(target);
    return 0;
}

long MemTell(void* user) { return static_cast<long>(static_cast<MemorySource*>(user)->position); }

size_t StreamRead(void* ptr, size_t size, size_t count, void* user)
{
    if (size == 0)
        return 0;
    size_t want = size * count;
    if (want > 0x7FFFFFFF)
        want = 0x7FFFFFFF;
    u32 n = static_cast<platform::ByteSource*>(user)->Read(ptr, static_cast<u32>(want));
    return n / size;
}

// Seeks always go from the beginning: the engine's origin 2 means size - 1 + offset for memory and
// frame streams, so the end is computed from GetSize here.
int StreamSeek(void* user, ogg_int64_t offset, int whence)
{
    auto* s = static_cast<platform::ByteSource*>(user);
    ogg_int64_t size = s->GetSize();
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = s->Seek(0, 1);
    else if (whence == SEEK_END)
        base = size;
    ogg_int64_t target = base + offset;
    if (target < 0 || target > size || target > 0x7FFFFFFF)
        return -1;
    return s->Seek(static_cast<i32>(target), 0) == static_cast<u32>(target) ? 0 : -1;
}

long StreamTell(void* user) { return static_cast<long>(static_cast<platform::ByteSource*>(user)->Seek(0, 1)); }

const char* OvError(int code)
{
    switch (code)
    {
    case OV_EREAD: return "read error";
    case OV_ENOTVORBIS: return "not Vorbis data";
    case OV_EVERSION: return "Vorbis version mismatch";
    case OV_EBADHEADER: return "bad Vorbis header";
    case OV_EFAULT: return "decoder fault";
    default: return "cannot open Ogg Vorbis data";
    }
}
} // namespace

bool IsOgg(const void* data, size_t size) { return size >= 4 && std::memcmp(data, "OggS", 4) == 0; }

bool DecodeOgg(const void* data, size_t size, Pcm& out, std::string& error)
{
    MemorySource source{static_cast<const u8*>(data), size, 0};
    ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
    OggVorbis_File file;
    int rc = ov_open_callbacks(&source, &file, nullptr, 0, callbacks);
    if (rc != 0)
    {
        error = OvError(rc);
        return false;
    }
    vorbis_info* info = ov_info(&file, -1);
    if (!info || info->channels < 1 || info->rate < 1)
    {
        ov_clear(&file);
        error = "bad Vorbis stream info";
        return false;
    }
    u32 channels = static_cast<u32>(info->channels);
    u32 keep = channels >= 2 ? 2 : 1;
    out.rate = static_cast<u32>(info->rate);
    out.channels = keep;
    out.samples.clear();
    ogg_int64_t total = ov_pcm_total(&file, -1);
    if (total > 0 && total < (1 << 26))
        out.samples.reserve(static_cast<size_t>(total) * keep);
    // Damaged pages may decode to more than the stream declares: stop one long block past it.
    const size_t limit = total > 0 && static_cast<u64>(total) + kLongestBlock < kMaxSampleFrames
                             ? static_cast<size_t>(total) + kLongestBlock
                             : kMaxSampleFrames;

    int section = 0;
    for (;;)
    {
        float** pcm = nullptr;
        long n = ov_read_float(&file, &pcm, 4096, &section);
        if (n == OV_HOLE)
            continue;
        if (n < 0)
        {
            ov_clear(&file);
            error = "damaged Vorbis data";
            return false;
        }
        if (n == 0)
            break;
        if (out.samples.size() / keep + static_cast<size_t>(n) > limit)
        {
            ov_clear(&file);
            error = limit == kMaxSampleFrames ? "too long to decode whole" : "runs past the length its pages declare";
            return false;
        }
        vorbis_info* link = ov_info(&file, section);
        u32 linkChannels = link ? static_cast<u32>(link->channels) : channels;
        for (long i = 0; i < n; ++i)
        {
            out.samples.push_back(pcm[0][i]);
            if (keep == 2)
                out.samples.push_back(linkChannels >= 2 ? pcm[1][i] : pcm[0][i]);
        }
    }
    ov_clear(&file);
    for (float& s : out.samples)
        s = s < -1.0f ? -1.0f : (s > 1.0f ? 1.0f : s);
    return true;
}

struct VorbisStream::State
{
    OggVorbis_File file;
};

VorbisStream::~VorbisStream()
{
    if (mState)
        ov_clear(&mState->file);
}

std::unique_ptr<VorbisStream> VorbisStream::Open(platform::ByteSource* stream, std::string& error)
{
    if (!stream)
    {
        error = "no stream";
        return nullptr;
    }
    std::unique_ptr<VorbisStream> result(new VorbisStream());
    auto state = std::make_unique<State>();
    ov_callbacks callbacks{StreamRead, StreamSeek, nullptr, StreamTell};
    stream->Seek(0, 0);
    int rc = ov_open_callbacks(stream, &state->file, nullptr, 0, callbacks);
    if (rc != 0)
    {
        error = OvError(rc);
        return nullptr;
    }
    vorbis_info* info = ov_info(&state->file, -1);
    if (!info || info->channels < 1 || info->rate < 1)
    {
        ov_clear(&state->file);
        error = "bad Vorbis stream info";
        return nullptr;
    }
    result->mRate = static_cast<u32>(info->rate);
    result->mChannels = static_cast<u32>(info->channels);
    ogg_int64_t total = ov_pcm_total(&state->file, -1);
    result->mLength = total > 0 ? static_cast<u64>(total) : 0;
    result->mState = std::move(state);
    return result;
}

u32 VorbisStream::Read(float* stereo, u32 frames)
{
    u32 done = 0;
    int failures = 0;
    while (done < frames)
    {
        float** pcm = nullptr;
        int section = 0;
        u32 want = frames - done;
        long n = ov_read_float(&mState->file, &pcm, static_cast<int>(want > 4096 ? 4096 : want), &section);
        if (n == OV_HOLE && ++failures < 8)
            continue;
        if (n <= 0)
            break; // end of stream or damaged data: either way the track is over
        vorbis_info* link = ov_info(&mState->file, section);
        bool two = link && link->channels >= 2;
        for (long i = 0; i < n; ++i)
        {
            float l = pcm[0][i];
            float r = two ? pcm[1][i] : l;
            stereo[2 * (done + i)] = l < -1.0f ? -1.0f : (l > 1.0f ? 1.0f : l);
            stereo[2 * (done + i) + 1] = r < -1.0f ? -1.0f : (r > 1.0f ? 1.0f : r);
        }
        done += static_cast<u32>(n);
    }
    return done;
}

bool VorbisStream::Rewind() { return ov_pcm_seek(&mState->file, 0) == 0; }
} // namespace audio
