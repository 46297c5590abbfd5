// A fresh sound system on a manual null device, in a temporary data folder.
#pragma once

#include "AudioBuilders.h"

#include "Os/ScopedEnv.h"

#include "Core/Base/Singletone.h"
#include "Core/Media/Sound/SoundSystem.h"
#include "Platform/Audio/AudioEngine.h"
#include "Platform/Audio/NullDevice.h"
#include "Platform/Audio/OggDecoder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>

namespace audiotest
{
class SoundFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base::SingletoneBase::DestroyAll();
        mInDir.emplace(mDir.Path());
        audio::SetDeviceFactory([]() -> std::unique_ptr<audio::Device> { return audio::NullDevice::Manual(); });
    }
    void TearDown() override
    {
        base::SingletoneBase::DestroyAll();
        audio::SetDeviceFactory(nullptr);
        mInDir.reset();
    }

    // SDL's real device on `driver` (and for "disk" the file it writes) for the rest of the test.
    void UseSdlDriver(const char* driver, const char* diskFile = nullptr)
    {
        mDriver.emplace("SDL_AUDIODRIVER", driver);
        mDiskFile.emplace("SDL_DISKAUDIOFILE", diskFile);
        audio::SetDeviceFactory(nullptr);
    }
    SoundSystem& Sys() { return *SoundSystem::Instance(); }
    // Renders frames on the mixing side, then lets the main thread handle what was queued.
    std::vector<float> Render(u32 frames)
    {
        std::vector<float> out(frames * 2);
        Sys().GetAudio().GetMixer().Render(out.data(), frames);
        Sys().Update();
        return out;
    }
    // Of the left side, from frame `from` on.
    static double Rms(const std::vector<float>& v, size_t from = 0)
    {
        const size_t to = v.size() / 2;
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += double(v[2 * i]) * v[2 * i];
        return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
    }
    // Writes a committed 44.1 kHz mono track to `path` and returns its decoded frames.
    std::vector<float> WriteTrack(const std::string& path, const std::string& track)
    {
        const std::string ogg = ReadTrack(track);
        mDir.Write(path, ogg);
        audio::Pcm pcm;
        std::string error;
        audio::DecodeOgg(ogg.data(), ogg.size(), pcm, error);
        return pcm.samples;
    }

    testsupport::TempDir mDir;
    std::optional<testsupport::InFolder> mInDir;
    std::optional<testos::ScopedEnv> mDriver, mDiskFile;
};
} // namespace audiotest
