// Music changes, playlists, volumes, pause and sample sounds, rendered without a device.
#include "LogCapture.h"
#include "SoundFixture.h"

#include "Core/Base/Stream.h"
#include "Core/File/ArchiveBuilder.h"
#include "Core/File/FileManager.h"
#include "Core/Media/Sound/Sound.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>

using audiotest::SoundFixture;

namespace
{
constexpr u32 kFade = 44100; // one second

void ExpectFrames(const std::vector<float>& out, const std::vector<float>& track, size_t from, size_t count,
                  float gain = 1.0f)
{
    for (size_t i = 0; i < count; ++i)
        ASSERT_FLOAT_EQ(out[2 * i], track[from + i] * gain) << "frame " << i << " of the track's " << from + i;
}
} // namespace

class MusicTest : public SoundFixture
{
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        a = WriteTrack("music/a.ogg", "a440.ogg");
        b = WriteTrack("music/b.ogg", "b660.ogg");
        c = WriteTrack("music/c.ogg", "c880.ogg");
        shortTrack = WriteTrack("music/short.ogg", "short550.ogg");
    }
    // Asks for a track, then renders `frames` (Restart: after stopping the music).
    void Play(const std::string& name, u32 frames = 0)
    {
        Sys().PlayMusic(name);
        if (frames)
            Render(frames);
    }
    void Restart(const std::string& name, u32 frames = 0)
    {
        Sys().PlayMusic("");
        Play(name, frames);
    }
    std::vector<float> a, b, c, shortTrack;
};

TEST_F(MusicTest, PlaysFromTheFirstFramePausesAndIgnoresTheSameTrackUntilItEnds)
{
    Sys().SetMusicVolume(0.5f);
    Sys().PlayMusic("music/a.ogg");
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg");
    ExpectFrames(Render(2000), a, 0, 2000, 0.5f);

    Restart("music/a.ogg", 1000);
    Sys().Pause();
    EXPECT_EQ(Rms(Render(kFade)), 0.0);
    Sys().Resume();
    ExpectFrames(Render(100), a, 1000, 100, 0.5f);

    // The same track changes nothing while playing and restarts once ended.
    audio::ChannelId channel = Sys().GetMusicChannel();
    Sys().PlayMusic("music/a.ogg");
    EXPECT_EQ(Sys().GetMusicChannel(), channel);
    EXPECT_FALSE(Sys().IsFading());
    ExpectFrames(Render(100), a, 1100, 100, 0.5f);

    Restart("music/short.ogg", 10000);
    EXPECT_FALSE(Sys().GetAudio().IsActive(Sys().GetMusicChannel())) << "played once, no playlist";
    EXPECT_EQ(Rms(Render(1000)), 0.0);
    Sys().PlayMusic("music/short.ogg");
    ExpectFrames(Render(500), shortTrack, 0, 500, 0.5f);
}

TEST_F(MusicTest, FadesEmptyNamesPlaylistsMissingTracksVolumesAndThePack)
{
    Play("music/a.ogg", 4410);
    Sys().PlayMusic("music/b.ogg");
    EXPECT_TRUE(Sys().IsFading());
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg") << "the fading track stays current";
    EXPECT_EQ(Sys().GetNextMusic(), "music/b.ogg");

    // Ten blocks of 0.1 s: each quieter than the one before, the old track's frames scaled down.
    std::vector<float> fade;
    double previous = 1.0;
    for (int block = 0; block < 10; ++block)
    {
        auto out = Render(kFade / 10);
        fade.insert(fade.end(), out.begin(), out.end());
        double rms = Rms(out);
        EXPECT_LT(rms, previous) << "block " << block;
        previous = rms;
        if (block < 9)
        {
            EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg") << "no change before the fade's end";
        }
    }
    for (size_t i = 0; i < kFade; i += 1000)
        ASSERT_NEAR(fade[2 * i], a[4410 + i] * (1.0f - float(i + 1) / kFade), 1e-5f);
    EXPECT_NEAR(fade[2 * (kFade - 1)], 0.0f, 1e-6f) << "silent at the slide's end";

    // The notification was handled after the last block: the new track starts with the next frame.
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/b.ogg");
    EXPECT_FALSE(Sys().IsFading());
    ExpectFrames(Render(1000), b, 0, 1000);

    // A second request during the fade replaces the track that starts, and the music changes once.
    Restart("music/a.ogg", 1000);
    Play("music/b.ogg", 20000);
    Sys().PlayMusic("music/c.ogg");
    EXPECT_EQ(Sys().GetNextMusic(), "music/c.ogg");
    Render(kFade - 20000 - 1);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg") << "the second request did not restart the fade";
    Render(1);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/c.ogg");
    audio::ChannelId channel = Sys().GetMusicChannel();

    // One fade, one change: c plays on from where it is.
    auto out = Render(kFade);
    ExpectFrames(out, c, 0, kFade);
    EXPECT_EQ(Sys().GetMusicChannel(), channel);

    // An empty name stops at once, even during a fade.
    Restart("music/a.ogg", 1000);
    Sys().PlayMusic("");
    EXPECT_EQ(Sys().GetCurrentMusic(), "");
    EXPECT_EQ(Sys().GetMusicChannel(), 0u);
    EXPECT_EQ(Rms(Render(1000)), 0.0);
    EXPECT_EQ(Sys().GetAudio().GetMixer().VoiceCount(), 0u) << "the stream is freed";

    Play("music/a.ogg", 1000);
    Play("music/b.ogg", 10000);
    Sys().PlayMusic("");
    EXPECT_EQ(Sys().GetMusicChannel(), 0u);
    EXPECT_FALSE(Sys().IsFading());
    EXPECT_EQ(Rms(Render(2 * kFade)), 0.0) << "the dropped fade does not start its track";
    EXPECT_EQ(Sys().GetCurrentMusic(), "");

    // Asking for the fading track again keeps it.
    Play("music/a.ogg", 1000);
    Play("music/b.ogg", 10000);
    Sys().PlayMusic("music/a.ogg");
    EXPECT_FALSE(Sys().IsFading());
    ExpectFrames(Render(100), a, 11000, 100);
    Render(2 * kFade);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg");

    // A change asked for after that fades out once more, from the full volume over the whole second.
    Restart("music/a.ogg", 1000);
    Play("music/b.ogg", 10000);
    Sys().PlayMusic("music/a.ogg");
    ExpectFrames(Render(100), a, 11000, 100);
    Sys().PlayMusic("music/b.ogg");
    ASSERT_TRUE(Sys().IsFading());
    auto again = Render(kFade - 1);
    for (size_t i = 0; i < kFade - 1; i += 1000)
        ASSERT_NEAR(again[2 * i], a[11100 + i] * (1.0f - float(i + 1) / kFade), 1e-5f) << "frame " << i;
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg");
    Render(1);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/b.ogg");
    ExpectFrames(Render(100), b, 0, 100);

    // A track that ends during its fade can still be restarted and changed.
    Restart("music/short.ogg", 1000);
    Play("music/b.ogg", 10000); // the track ends while fading
    Sys().PlayMusic("music/short.ogg");
    EXPECT_FALSE(Sys().IsFading());
    ExpectFrames(Render(100), shortTrack, 0, 100);
    Render(2 * kFade);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/short.ogg") << "the dropped change does not come back";
    Sys().PlayMusic("music/a.ogg");
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg") << "an ended track is replaced at once";
    ExpectFrames(Render(100), a, 0, 100);

    // Playlists loop, advance and wrap.
    Sys().PlayMusic("");
    Sys().SetPlaylist({"music/short.ogg"});
    size_t frames = shortTrack.size();
    auto first = Render(static_cast<u32>(frames) + 10);
    ExpectFrames(first, shortTrack, 0, frames);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/short.ogg");
    ExpectFrames(Render(1000), shortTrack, 0, 1000);
    for (int loop = 0; loop < 5; ++loop)
        Render(static_cast<u32>(frames));
    EXPECT_GT(Rms(Render(1000)), 0.1);

    Sys().PlayMusic("");
    WriteTrack("music/short2.ogg", "short770.ogg");
    Sys().SetPlaylist({"music/short.ogg", "music/short2.ogg"});
    EXPECT_EQ(Sys().GetNextMusic(), "music/short2.ogg");
    Render(9000);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/short2.ogg");
    EXPECT_EQ(Sys().GetNextMusic(), "music/short.ogg");
    Render(5000);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/short.ogg");
    // PlayMusic drops the playlist: the track then plays once.
    Restart("music/short2.ogg", 5000);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/short2.ogg");
    EXPECT_FALSE(Sys().GetAudio().IsActive(Sys().GetMusicChannel()));

    Restart("music/short.ogg");
    Sys().SetPlaylist({"music/short.ogg"});
    Render(static_cast<u32>(shortTrack.size()) + 10);
    ExpectFrames(Render(100), shortTrack, 0, 100); // now it loops
    Play("music/short.ogg", static_cast<u32>(shortTrack.size()));
    EXPECT_EQ(Rms(Render(1000)), 0.0) << "played once: it ends";
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/short.ogg");

    // A missing track requested while another plays: after the fade there is no music, and nothing
    // is current.
    audiotest::LogCapture log;
    Restart("music/a.ogg");
    Play("music/missing.ogg", kFade);
    EXPECT_EQ(Sys().GetMusicChannel(), 0u);
    EXPECT_EQ(Sys().GetCurrentMusic(), "");
    EXPECT_EQ(log.Count("Music 'music/missing.ogg' not found"), 1);
    Sys().PlayMusic("music/a.ogg");
    ExpectFrames(Render(100), a, 0, 100);

    // Requested after a track ended: the old name must not hide a track with no channel.
    Restart("music/short.ogg", 10000);
    Sys().PlayMusic("music/missing.ogg");
    Sys().PlayMusic("music/short.ogg");
    ExpectFrames(Render(100), shortTrack, 0, 100);

    Sys().PlayMusic("");
    mDir.Write("music/bad.ogg", "OggS but not really");
    Sys().PlayMusic("music/bad.ogg");
    EXPECT_EQ(Sys().GetMusicChannel(), 0u);
    EXPECT_EQ(log.Count("Cannot play music 'music/bad.ogg'"), 1);

    // At half the music volume a fade runs from that half down to silence.
    Sys().SetMusicVolume(0.5f);
    Restart("music/a.ogg", 1000);
    Sys().PlayMusic("music/b.ogg");
    auto half = Render(kFade - 1);
    for (size_t i = 0; i < kFade - 1; i += 1000)
        ASSERT_NEAR(half[2 * i], a[1000 + i] * 0.5f * (1.0f - float(i + 1) / kFade), 1e-5f) << "frame " << i;
    Render(1);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/b.ogg");
    ExpectFrames(Render(100), b, 0, 100, 0.5f);
    Sys().PlayMusic("");
    Sys().SetMusicVolume(1.0f);

    // The music volume applies at once but lets a fade finish.
    Play("music/a.ogg", 100);
    Sys().SetMusicVolume(0.25f);
    ExpectFrames(Render(100), a, 100, 100, 0.25f);
    Play("music/b.ogg", 1000);
    Sys().SetMusicVolume(0.5f);
    Render(kFade - 1000);
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/b.ogg");
    ExpectFrames(Render(100), b, 0, 100, 0.5f);

    // Tracks stream from the pack.
    Sys().PlayMusic("");
    Sys().SetMusicVolume(1.0f);
    auto track = WriteTrack("packsrc/data/music/p.ogg", "half330.ogg");
    ASSERT_EQ(file::BuildPack(L"packsrc", L"data.dat"), QL_OK);
    std::filesystem::remove_all(mDir.Path() / "packsrc");
    file::FileManager::Instance()->mMounts[L"td/"] = L"data.dat";

    Sys().PlayMusic("td/data/music/p.ogg");
    ASSERT_NE(Sys().GetMusicChannel(), 0u);
    ExpectFrames(Render(20000), track, 0, 20000);
}

// Claims more bytes than it holds, as a truncated pack entry would.
struct ShortStream : base::MemoryStream
{
    using base::MemoryStream::MemoryStream;
    u32 GetSize() override { return base::MemoryStream::GetSize() + 10; }
};

TEST_F(SoundFixture, SamplesAreFoundByNameSharedPlayedAtTheirVolumesAndSilentWhenMissingOrDamaged)
{
    const auto make = [&](const std::string& name) { return std::unique_ptr<Sound>(Sys().CreateSound(name)); };
    const auto writeWav = [&](const std::string& path, i16 value, size_t frames)
    { mDir.Write(path, audiotest::MakeWav16(std::vector<i16>(frames, value), 1, 44100)); };
    writeWav("snd/both.wav", 8192, 1000);
    mDir.Write("snd/both.ogg", audiotest::ReadTrack("short770.ogg"));
    writeWav("snd/wavonly.wav", 8192, 1000);

    auto both = make("snd/both");
    both->Play();
    EXPECT_NE(Render(1)[0], 0.25f) << "the Ogg file is taken";
    both->Stop();

    auto wav = make("snd/wavonly");
    wav->Play();
    EXPECT_FLOAT_EQ(Render(1)[0], 0.25f);

    auto exact = make("snd/wavonly.wav");
    EXPECT_NE(exact->GetChannel(), 0u) << "a name with its extension is found as given";
    both.reset();
    wav.reset();
    exact.reset();

    writeWav("snd/shared.wav", 100, 10);
    auto first = make("snd/shared");
    auto second = make("snd/shared");
    EXPECT_EQ(first->GetResource(), second->GetResource());
    EXPECT_NE(first->GetChannel(), second->GetChannel());
    auto& map = resource::ResourceManager::Instance()->GetMap<resource::ResourceSound>();
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(*map.begin()->second.second, 2);
    EXPECT_EQ(Sys().GetAudio().SampleCount(), 1u);
    first.reset();
    EXPECT_EQ(Sys().GetAudio().SampleCount(), 1u);
    second.reset();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(Sys().GetAudio().SampleCount(), 0u);
    EXPECT_EQ(Sys().GetAudio().GetMixer().VoiceCount(), 0u);

    // Play, stop and volumes.
    writeWav("snd/tone.wav", 16384, 1000);
    auto sound = make("snd/tone");
    EXPECT_FALSE(sound->IsPlaying());
    sound->Play();
    EXPECT_TRUE(sound->IsPlaying());
    Render(1000);
    EXPECT_FALSE(sound->IsPlaying());
    sound->Play();
    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_EQ(Rms(Render(100)), 0.0);

    writeWav("snd/long.wav", 16384, 44100);
    auto slow = make("snd/long");
    slow->SetVolume(0.5f);
    slow->Play();
    EXPECT_FLOAT_EQ(Render(1)[0], 0.25f);
    slow->SetVolume(1.0f, 0.1f); // 4410 frames
    auto out = Render(4410);
    EXPECT_LT(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 4409], 0.5f);
    slow->Stop();

    writeWav("snd/reg.wav", 16384, 100);
    Sound* registered = Sys().CreateSound("snd/reg");
    Sys().AddSound(registered);
    Sys().SetSoundVolume(0.5f);
    registered->Play();
    EXPECT_FLOAT_EQ(Render(1)[0], 0.25f);
    Sys().RemoveSound(registered); // deletes it
    Sys().RemoveSound(registered); // not there any more: nothing
    sound.reset();
    slow.reset();
    EXPECT_EQ(Sys().GetAudio().GetMixer().VoiceCount(), 0u);

    // A missing, damaged or short sample gives a silent sound.
    audiotest::LogCapture log;
    auto missing = make("snd/nothing");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->GetChannel(), 0u);
    missing->Play();
    missing->SetVolume(0.5f, 1.0f);
    EXPECT_FALSE(missing->IsPlaying());
    EXPECT_EQ(log.Count("Sound 'snd/nothing' not found"), 1);

    mDir.Write("snd/broken.ogg", "OggS\x00\x02 broken");
    auto broken = make("snd/broken");
    EXPECT_EQ(broken->GetChannel(), 0u);
    EXPECT_FALSE(broken->GetResource()->IsLoaded()) << "a sample the decoder refuses is a failed load";
    EXPECT_EQ(log.Count("Cannot decode sound 'snd/broken.ogg'"), 1);

    const std::string bytes = audiotest::MakeWav16({1, 2, 3}, 1, 44100);
    ShortStream stream(bytes.data(), static_cast<u32>(bytes.size()));
    resource::ResourceSound sample;
    EXPECT_EQ(sample.LoadFromStream(stream, L"x.wav"), QL_FAIL);
    EXPECT_EQ(sample.GetSample(), 0u);
    EXPECT_EQ(log.Count("Short read of sound 'x.wav'"), 1);
    base::MemoryStream whole(bytes.data(), static_cast<u32>(bytes.size()));
    EXPECT_EQ(sample.LoadFromStream(whole, L"x.wav"), QL_OK);
    EXPECT_NE(sample.GetSample(), 0u);
    EXPECT_EQ(QL_OK, sample.DoUnLoad());
}

TEST_F(SoundFixture, WithoutASoundDeviceEverythingRunsSilentAfterOneLogLine)
{
    audiotest::LogCapture log;
    UseSdlDriver("no-such-driver"); // a device that cannot open
    WriteTrack("music/a.ogg", "half330.ogg");
    mDir.Write("snd/x.wav", audiotest::MakeWav16({1, 2, 3}, 1, 44100));
    Sys().PlayMusic("music/a.ogg");
    std::unique_ptr<Sound> sound(Sys().CreateSound("snd/x"));
    sound->Play();
    Sys().PlayMusic("music/a.ogg");
    Sys().Pause();
    Sys().Resume();
    for (int i = 0; i < 3; ++i)
        Sys().Update();
    EXPECT_EQ(Sys().GetCurrentMusic(), "music/a.ogg");
    EXPECT_FALSE(Sys().GetAudio().HasOutput());
    EXPECT_EQ(Sys().GetAudio().GetDevice().Name(), "null");
    EXPECT_EQ(log.Count("No sound device"), 1);
    EXPECT_EQ(log.Count("no-such-driver"), 1) << "the device's reason is logged: " << log.Text();
}
