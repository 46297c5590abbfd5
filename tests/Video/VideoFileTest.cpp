// Videos from files: packed through the file manager, damaged and cut-short files, and the
// game's intro.
#include "VideoTestSupport.h"

#include "../Audio/LogCapture.h"
#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Platform/Audio/OggDecoder.h"
#include "support/TempDir.h"

#include <filesystem>

using namespace videotest;
namespace fs = std::filesystem;

namespace
{
class VideoFiles : public PlayerFixture
{
protected:
    void SetUp() override
    {
        PlayerFixture::SetUp();
        mInDir.emplace(mDir.Path());
    }
    void TearDown() override
    {
        mInDir.reset();
        file::FileManager::Instance()->mMounts.clear();
        PlayerFixture::TearDown();
    }
    testsupport::TempDir mDir;
    std::optional<testsupport::InFolder> mInDir;
    audiotest::LogCapture mLog;
};

// The identification header sits at the start of the first page's body (one segment): picture
// size in macroblocks at 10, in pixels at 14, frame rate at 22 (big-endian fields).
Bytes WithHeader(Bytes bytes, size_t at, std::initializer_list<u8> values)
{
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(28 + at));
    SetPageChecksum(bytes, SplitPages(bytes)[0]);
    return bytes;
}

TEST_F(VideoFiles, MissingWrongOrCutFilesAreRefusedAndLoggedAndCutOrDamagedFramesPlayToTheEnd)
{
    EXPECT_EQ(QL_FAIL, mVideo->Open(L"td/video/none.ogv"));
    EXPECT_EQ(1, mLog.Count("none.ogv"));
    EXPECT_TRUE(mVideo->IsEnded());
    EXPECT_EQ(0, mVideo->GetWidth());
    EXPECT_EQ(QL_OK, mVideo->Update(1.0f, nullptr));
    EXPECT_EQ(0, mListener.mEnded);
    auto open = [&](const Bytes& bytes)
    { return mVideo->Open(new base::MemoryStream(bytes.data(), static_cast<u32>(bytes.size())), L"memory"); };
    // The intro's sound track (Ogg, but Vorbis only), text and nothing.
    EXPECT_EQ(QL_FAIL, open(ReadBytes(ContentFile("td/video/intro.ogg"))));
    EXPECT_EQ(QL_FAIL, open(Bytes(20, 'x')));
    EXPECT_EQ(QL_FAIL, open(Bytes()));
    EXPECT_EQ(3, mLog.Count("no Theora stream"));
    EXPECT_TRUE(mVideo->IsEnded());
    // Header claims are checked before the decoder is made.
    const Bytes whole = ReadBytes(TestVideo("pattern_420.ogv"));
    ASSERT_EQ(QL_OK, open(WithHeader(whole, 0, {0x80}))) << "an unchanged header still opens";
    // 8192 x 8192 pixels at offset 0, 0: a valid header, refused here rather than allocated.
    EXPECT_EQ(QL_FAIL, open(WithHeader(whole, 10, {0x02, 0x00, 0x02, 0x00, 0x00, 0x20, 0x00, 0x00, 0x20, 0x00, 0, 0})));
    EXPECT_EQ(1, mLog.Count("unsupported picture size 8192 x 8192")) << mLog.Text();
    // No frame rate.
    EXPECT_EQ(QL_FAIL, open(WithHeader(whole, 22, {0, 0, 0, 0})));
    EXPECT_TRUE(mVideo->IsEnded());

    // A file cut inside its headers is refused; one cut inside its frames plays to the end.
    const std::vector<Page> pages = SplitPages(whole);
    ASSERT_GE(pages.size(), 3u);
    for (size_t cut = 1; cut < whole.size(); cut += cut < pages[2].mOffset ? 37 : 53)
    {
        Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        if (cut < pages[2].mOffset)
        {
            // Every cut before the first data page loses a header.
            EXPECT_EQ(QL_FAIL, open(part)) << cut;
            continue;
        }
        mListener.mEnded = 0;
        OpenBytes(part, "cut");
        for (int step = 0; step < 20 && !mVideo->IsEnded(); ++step)
            (void)mVideo->Update(0.1f, mImage.get());
        EXPECT_TRUE(mVideo->IsEnded()) << cut;
        EXPECT_EQ(1, mListener.mEnded) << cut;
    }
    EXPECT_GT(mLog.Count("the file ends inside the headers"), 0);

    // Damaged frames are reported and playing goes on to the end. Every other data page's packets
    // are scrambled; with the checksum mended they reach the decoder, without it libogg drops the
    // page as a gap.
    for (bool mended : {true, false})
    {
        mListener.mEnded = 0;
        const int logged = mLog.Count("bad packet") + mLog.Count("no picture");
        Bytes damaged = whole;
        for (size_t i = 2; i < pages.size(); i += 2)
        {
            const size_t body = pages[i].mOffset + 27 + damaged[pages[i].mOffset + 26];
            for (size_t b = body + 1; b < pages[i].mOffset + pages[i].mLength; b += 3)
                damaged[b] ^= 0x5A;
            if (mended)
                SetPageChecksum(damaged, pages[i]);
        }
        OpenBytes(damaged, "damaged");
        int failures = 0;
        for (int step = 0; step < 40 && !mVideo->IsEnded(); ++step)
            failures += mVideo->Update(0.1f, mImage.get()) != QL_OK;
        EXPECT_TRUE(mVideo->IsEnded()) << mended;
        EXPECT_EQ(1, mListener.mEnded) << mended;
        EXPECT_EQ(failures, mLog.Count("bad packet") + mLog.Count("no picture") - logged) << mended;
        EXPECT_TRUE(mended || failures == 0) << "dropped pages are gaps, not damaged packets";
    }
}

TEST_F(VideoFiles, TheIntroStreamsFromThePackForFiveSecondsWithATitleInTheMiddleAndAsLongASoundTrack)
{
    // As the game opens it: "td/video/intro.ogv" from the pack mounted under "td/".
    EXPECT_LT(fs::file_size(ContentFile("td/video/intro.ogv")), 1024u * 1024u);
    fs::create_directories("td/video");
    fs::copy_file(ContentFile("td/video/intro.ogv"), "td/video/intro.ogv");
    ASSERT_EQ(QL_OK, file::BuildPack(L"td", L"data.dat"));
    fs::remove_all("td");
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";
    ASSERT_EQ(QL_OK, mVideo->Open(L"td/video/intro.ogv"));
    MakeImage(static_cast<u32>(mVideo->GetWidth()), static_cast<u32>(mVideo->GetHeight()));
    EXPECT_EQ(std::make_pair(640, 360), std::make_pair(mVideo->GetWidth(), mVideo->GetHeight()));
    EXPECT_FLOAT_EQ(0.04f, mVideo->GetFrameDuration());

    auto average = [&](int x0, int y0, int w, int h)
    {
        const std::vector<u32> pixels = Pixels();
        double sum = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
            {
                const u32 p = pixels[static_cast<size_t>(y * 640 + x)];
                sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
            }
        return sum / (3.0 * w * h);
    };
    float clock = 0.0f;
    for (float at : {0.05f, 2.5f, 4.97f})
    {
        ASSERT_EQ(QL_OK, mVideo->Update(at - clock, mImage.get()));
        clock = at;
        if (at < 0.1f || at > 4.9f)
            EXPECT_LT(average(0, 0, 640, 360), 12.0) << "faded to black at " << at;
        else
            EXPECT_GT(average(200, 90, 240, 50), 60.0) << "the title is lit at " << at;
    }
    for (int step = 0; step < 10 && !mVideo->IsEnded(); ++step)
        ASSERT_EQ(QL_OK, mVideo->Update(0.04f, mImage.get()));
    EXPECT_EQ(1, mListener.mEnded);
    EXPECT_NEAR(5.0f, mVideo->GetClock(), 0.1f);

    // Its sound track is Vorbis music as long as the picture.
    const Bytes bytes = ReadBytes(ContentFile("td/video/intro.ogg"));
    base::MemoryStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    std::string error;
    std::unique_ptr<audio::VorbisStream> track = audio::VorbisStream::Open(&stream, error);
    ASSERT_NE(nullptr, track) << error;
    ASSERT_GT(track->SampleRate(), 0u);
    EXPECT_NEAR(5.0, static_cast<double>(track->LengthFrames()) / track->SampleRate(), 0.05);
    std::vector<float> stereo(2 * 4096);
    double energy = 0.0;
    for (u32 got; (got = track->Read(stereo.data(), 4096)) > 0;)
        for (u32 i = 0; i < 2 * got; ++i)
            energy += static_cast<double>(stereo[i]) * stereo[i];
    EXPECT_GT(energy, 1.0) << "audible";
}
} // namespace
