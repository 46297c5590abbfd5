// The game's menu music and a sound tag through SDL's disk audio driver, checked with sox.
#include "SoundFixture.h"
#include "SoxCheck.h"

#include "Core/Media/Sound/SoundTags.h"

#include <chrono>
#include <thread>

using audiotest::SoundFixture;

TEST_F(SoundFixture, MenuMusicAndATagReachTheDiskDriver)
{
    if (!audiotest::HaveSox())
        GTEST_SKIP() << "sox is not installed";
    std::string path = (mDir.Path() / "out.raw").string();
    audiotest::ScopedAudioDriver driver("disk", path);
    audio::SetDeviceFactory(nullptr); // the real (SDL) device
    std::filesystem::current_path(std::filesystem::path(QL_SOURCE_DIR) / "content");

    auto start = std::chrono::steady_clock::now();
    {
        ASSERT_TRUE(Sys().GetAudio().HasOutput());
        k2::SoundTags& tags = *k2::SoundTags::Instance();
        tags.Load(L"td/sounds_sheet.csv");
        tags.PlayMusic(L"td/data/music/main_menu.ogg");
        EXPECT_TRUE(tags.Play(L"buildTower"));
        // The game's frame loop: one update a frame.
        while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500))
        {
            Sys().Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        EXPECT_EQ(Sys().GetCurrentMusic(), "td/data/music/main_menu.ogg");
        base::SingletoneBase::DestroyAll(); // closes the device
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    auto all = audiotest::MeasureRaw(path);
    ASSERT_TRUE(all.ok);
    EXPECT_GT(all.seconds, 0.5 * wall) << "the driver writes at the pace of real time";
    EXPECT_LT(all.seconds, wall + 0.5);
    EXPECT_GT(all.rms, 0.02) << "not silent";
    auto tail = audiotest::MeasureRaw(path, "trim 0.8");
    EXPECT_GT(tail.rms, 0.02) << "the music goes on after the tag's sound";
}
