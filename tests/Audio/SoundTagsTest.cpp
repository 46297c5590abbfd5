// The sound sheet and the tag registry, including the game's own sheet and sounds, and the menu
// music with a tag through SDL's disk audio driver.
#include "LogCapture.h"
#include "SoundFixture.h"

#include "Core/Media/Sound/Sound.h"
#include "Core/Media/Sound/SoundSheet.h"
#include "Core/Media/Sound/SoundTags.h"
#include "Core/Resource/ResourceManager.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

using audiotest::SoundFixture;
using k2::ParseSoundSheet;

TEST(SoundSheet, RowsGiveTagFileLevelAndGroup)
{
    // Each row as "tag|file|level|group".
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"buildTower;build.ogg;0.8;3;7;extra\nsimple;click;1;0\n", {"buildTower|build.ogg|0.8|3", "simple|click|1|0"}},
        {"# tag;file\n#old;gone.ogg;1;1\n  # indented;x\nkept;k.ogg\n", {"kept|k.ogg|0|0"}},
        {"  sell Tower ; sell .ogg ; 0. 5 ;\t2 \n", {"sellTower|sell.ogg|0.5|2"}},
        {"a;a.ogg\r\nb;b.ogg;1;4\r\nc;c.ogg\r\n", {"a|a.ogg|0|0", "b|b.ogg|1|4", "c|c.ogg|0|0"}},
        {"\xEF\xBB\xBF# tag;file\r\nsimple;click\r\n", {"simple|click|0|0"}},
        {"\xEF\xBB\xBF"
         "first;f.ogg\n",
         {"first|f.ogg|0|0"}},
        {"first;f.ogg;0.7;9\nsecond;s.ogg\nthird\n", {"first|f.ogg|0.7|9", "second|s.ogg|0|0", "third||0|0"}},
        {"", {}},
        {"\n\n  \r\n;x.ogg\n", {}},
        {"x;y.ogg\n\n\nz;w.ogg", {"x|y.ogg|0|0", "z|w.ogg|0|0"}},
    };
    for (const auto& [sheet, expected] : cases)
    {
        std::vector<std::string> rows;
        for (const auto& row : ParseSoundSheet(sheet))
        {
            std::ostringstream text;
            text << row.tag << '|' << row.file << '|' << row.level << '|' << row.group;
            rows.push_back(text.str());
        }
        EXPECT_EQ(rows, expected) << sheet;
    }
}

namespace
{
struct FixedVolumes : k2::SoundVolumeSource
{
    float GetSoundVolume() override { return sound; }
    float GetMusicVolume() override { return music; }
    float sound = 1.0f;
    float music = 1.0f;
};

// The numbers in one column of a game sheet (";" columns; headers and comments are not numbers).
std::vector<std::string> SheetIds(const std::string& path, size_t column)
{
    std::vector<std::string> ids;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        std::vector<std::string> cells(1);
        for (char c : line)
            if (c == ';')
                cells.emplace_back();
            else if (c != ' ' && c != '\r')
                cells.back() += c;
        if (column < cells.size() && !cells[column].empty() &&
            cells[column].find_first_not_of("0123456789") == std::string::npos)
            ids.push_back(cells[column]);
    }
    return ids;
}
} // namespace

TEST_F(SoundFixture, TagsPlayTheirFirstRowRestartShareSamplesLoopMusicAndAllOfTheGamesLoad)
{
    mDir.Write("td/data/sound/tone.wav", audiotest::MakeWav16(std::vector<i16>(1000, 16384), 1, 44100));
    mDir.Write("td/data/sound/other.wav", audiotest::MakeWav16(std::vector<i16>(1000, 8192), 1, 44100));
    k2::SoundTags& tags = *k2::SoundTags::Instance();
    FixedVolumes volumes;
    tags.SetVolumeSource(&volumes);
    mDir.Write("td/sounds_sheet.csv", "dup;;1;0\ndup;tone;1;0\ndup;other;1;0\nsilent;;0;0\n");
    EXPECT_TRUE(tags.Load(L"td/sounds_sheet.csv"));
    ASSERT_EQ(tags.GetEntries().size(), 4u);
    EXPECT_EQ(tags.GetEntries()[0]->sound, nullptr);
    EXPECT_TRUE(tags.Play(L"dup"));
    EXPECT_FLOAT_EQ(Render(1)[0], 0.5f) << "tone, not other";
    EXPECT_FALSE(tags.Play(L"silent")) << "a tag without a file is not playable";
    EXPECT_FALSE(tags.Play(L"unknown"));
    EXPECT_FALSE(tags.Play(L"DUP")) << "tags are case-sensitive";

    // A missing sample keeps its entry and plays nothing.
    audiotest::LogCapture log;
    mDir.Write("td/sounds_sheet.csv", "ghost;nowhere.ogg\n");
    tags.Load(L"td/sounds_sheet.csv");
    Render(1000);
    ASSERT_EQ(tags.GetEntries().size(), 1u);
    EXPECT_TRUE(tags.Play(L"ghost"));
    EXPECT_EQ(Rms(Render(100)), 0.0);
    EXPECT_EQ(log.Count("Sound 'td/data/sound/nowhere.ogg' not found"), 1);

    // Playing a sounding tag restarts it at the current volume.
    mDir.Write("td/sounds_sheet.csv", "hit;tone.wav\n");
    tags.Load(L"td/sounds_sheet.csv");
    volumes.sound = 0.5f;
    tags.Play(L"hit");
    Render(600);
    volumes.sound = 1.0f;
    tags.Play(L"hit");
    auto out = Render(1000);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 999], 0.5f) << "restarted, not overlapped: one channel per tag";

    // Without a volume source both volumes are full.
    Render(1000);
    tags.SetVolumeSource(nullptr);
    volumes.sound = 0.25f;
    tags.Play(L"hit");
    EXPECT_FLOAT_EQ(Render(1)[0], 0.5f);

    // Music loops at the player's music volume.
    Render(1000);
    tags.SetVolumeSource(&volumes);
    auto track = WriteTrack("td/data/music/loop.ogg", "short770.ogg");
    volumes.music = 0.5f;
    tags.PlayMusic(L"td/data/music/loop.ogg");
    out = Render(static_cast<u32>(track.size()) + 1);
    EXPECT_FLOAT_EQ(out[200], track[100] * 0.5f);
    EXPECT_EQ(Sys().GetCurrentMusic(), "td/data/music/loop.ogg");
    out = Render(100);
    EXPECT_FLOAT_EQ(out[0], track[0] * 0.5f) << "started again after its end";
    EXPECT_FLOAT_EQ(Sys().GetMusicVolume(), 0.5f);

    // Rows sharing a file share one sample, and reloading frees the unused ones.
    Sys().PlayMusic("");
    volumes.sound = 1.0f;
    mDir.Write("td/sounds_sheet.csv", "a;tone\nb;tone\nc;other\n");
    tags.Load(L"td/sounds_sheet.csv");
    EXPECT_EQ(Sys().GetAudio().SampleCount(), 2u);
    tags.Play(L"a");
    tags.Play(L"b");
    EXPECT_FLOAT_EQ(Render(1)[0], 1.0f) << "two channels of one sample sound together";

    mDir.Write("td/sounds_sheet.csv", "b;other\n");
    tags.Load(L"td/sounds_sheet.csv");
    ASSERT_EQ(tags.GetEntries().size(), 1u);
    EXPECT_FALSE(tags.Play(L"a"));
    EXPECT_TRUE(tags.Play(L"b"));
    EXPECT_EQ(Sys().GetAudio().SampleCount(), 1u);
    EXPECT_EQ(resource::ResourceManager::Instance()->GetMap<resource::ResourceSound>().size(), 1u);

    // A missing sheet gives no tags.
    EXPECT_TRUE(tags.Load(L"td/no_such_sheet.csv"));
    EXPECT_TRUE(tags.GetEntries().empty());
    EXPECT_FALSE(tags.Play(L"b"));
    tags.SetVolumeSource(nullptr); // the volumes go before the tags do

    // The game's own content: every tag it plays has a sound that loads.
    std::filesystem::current_path(std::filesystem::path(QL_SOURCE_DIR) / "content");
    audiotest::LogCapture gameLog;
    tags.Load(L"td/sounds_sheet.csv");
    ASSERT_FALSE(tags.GetEntries().empty());
    for (const k2::SoundTagEntry* entry : tags.GetEntries())
    {
        ASSERT_NE(entry->sound, nullptr);
        EXPECT_NE(entry->sound->GetChannel(), 0u) << base::WideToUtf8(entry->tag);
    }
    std::vector<std::wstring> fixed = {L"simple",  L"context_in",   L"context_out", L"buildTower", L"sellTower",
                                       L"buySpot", L"upgradeTower", L"winSound",    L"loseSound",  L"teleportEnemy"};
    for (const std::wstring& tag : fixed)
        EXPECT_TRUE(tags.Play(tag)) << base::WideToUtf8(tag);
    // The battle formats tags with the ids of the game's own sheets.
    struct Formatted
    {
        const char* sheet;
        size_t column;
        std::vector<std::string> tags;
    };
    const Formatted formatted[] = {{"td/towers_sheet.csv", 0, {"tower%shot"}},
                                   {"td/ammo_sheet.csv", 0, {"ammo%hit"}},
                                   {"td/units_sheet.csv", 0, {"enemy%hit", "enemy%die", "enemy%special"}},
                                   {"td/spells_sheet.csv", 4, {"spell%"}}};
    for (const Formatted& f : formatted)
    {
        std::vector<std::string> ids = SheetIds(f.sheet, f.column);
        EXPECT_GE(ids.size(), 3u) << f.sheet;
        for (const std::string& id : ids)
            for (std::string tag : f.tags)
            {
                tag.replace(tag.find('%'), 1, id);
                EXPECT_TRUE(tags.Play(base::Utf8ToWide(tag))) << tag << " (" << f.sheet << ")";
            }
    }
    EXPECT_EQ(gameLog.Count("not found"), 0) << gameLog.Text();
    EXPECT_GT(Rms(Render(4410)), 0.01);
}

TEST_F(SoundFixture, MenuMusicAndATagReachTheDiskDriver)
{
    std::string path = (mDir.Path() / "out.raw").string();
    UseSdlDriver("disk", path.c_str());
    // The disk driver waits 2 ms a buffer instead of the buffer's own time: many times faster
    // than real time, and the test waits for what was written, never for the clock.
    testos::ScopedEnv fast("SDL_DISKAUDIODELAY", "2");
    std::filesystem::current_path(std::filesystem::path(QL_SOURCE_DIR) / "content");

    // What the device wrote (16-bit stereo frames at 44.1 kHz) from its first sound on: it
    // writes silence until then.
    auto heard = [&]
    {
        const std::string bytes = testsupport::ReadBytes(path);
        std::vector<float> samples;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        {
            const i16 sample = static_cast<i16>(static_cast<u16>(u8(bytes[i]) | u8(bytes[i + 1]) << 8));
            if (sample != 0 || !samples.empty())
                samples.push_back(static_cast<float>(sample) / 32768.0f);
        }
        samples.resize(samples.size() - samples.size() % 2);
        return samples;
    };
    constexpr size_t kSecond = 44100 * 2;
    std::vector<float> raw;
    {
        ASSERT_TRUE(Sys().GetAudio().HasOutput());
        k2::SoundTags& tags = *k2::SoundTags::Instance();
        tags.Load(L"td/sounds_sheet.csv");
        tags.PlayMusic(L"td/data/music/main_menu.ogg");
        EXPECT_TRUE(tags.Play(L"buildTower"));
        // The game's frame loop, one update a frame, until a second of sound was written.
        for (int frame = 0; frame < 2000 && raw.size() < kSecond; ++frame)
        {
            Sys().Update();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            raw = heard();
        }
        EXPECT_EQ(Sys().GetCurrentMusic(), "td/data/music/main_menu.ogg");
        base::SingletoneBase::DestroyAll(); // closes the device
    }
    ASSERT_GE(raw.size(), kSecond);
    raw.resize(kSecond);
    EXPECT_GT(Rms(raw), 0.02) << "not silent";
    EXPECT_GT(Rms(raw, 44100 * 8 / 10), 0.02) << "the music goes on after the tag's sound";
}
